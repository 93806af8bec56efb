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

// The green of every label and box: red 0, green 192, blue 0.
inline QColor DesignGreen() { return QColor(0, 192, 0); }

} // namespace quelvane
