#include "platform/SysColors.h"

#include <QApplication>
#include <QPalette>

namespace quelvane {

QColor SystemColor(SysColor which)
{
    const QPalette palette = QApplication::palette();
    switch (which) {
    case SysColor::WindowBackground:
        return palette.color(QPalette::Base);
    case SysColor::WindowText:
    case SysColor::MenuText:
        return palette.color(QPalette::WindowText);
    case SysColor::WindowFrame:
        // Qt has no frame role; the standard scheme draws frames black.
        return palette.color(QPalette::Shadow);
    case SysColor::ButtonText:
        return palette.color(QPalette::ButtonText);
    }
    return Qt::black;
}

} // namespace quelvane
