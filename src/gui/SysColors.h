// The desktop colour scheme's named colours (model/Design.h) as this desktop has them.
#pragma once

#include <QColor>

#include "model/Design.h"

namespace quelvane {

QColor SystemColor(SysColor which);

// The colour as the standard (light) scheme has it, the one the forms were designed against.
QColor StandardSystemColor(SysColor which);

// How far apart two colours are for reading: the ratio of their relative luminances, each
// plus 0.05, lighter over darker; 1 for the same colour, 21 for black and white.
double ContrastRatio(const QColor &a, const QColor &b);

// Below this a text is hard to read against its background.
inline constexpr double kReadableContrast = 4.5;

} // namespace quelvane
