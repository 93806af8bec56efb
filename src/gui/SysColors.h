// The desktop colour scheme's named colours, as the forms were designed against them.
#pragma once

#include <QColor>

namespace quelvane {

enum class SysColor {
    WindowBackground,
    WindowText,
    WindowFrame,
    ButtonText,
    MenuText,
};

QColor SystemColor(SysColor which);

// The colour as the standard (light) scheme has it, the one the forms were designed against.
QColor StandardSystemColor(SysColor which);

// How far apart two colours are for reading: the ratio of their relative luminances, each
// plus 0.05, lighter over darker; 1 for the same colour, 21 for black and white.
double ContrastRatio(const QColor &a, const QColor &b);

// Below this a text is hard to read against its background.
inline constexpr double kReadableContrast = 4.5;

} // namespace quelvane
