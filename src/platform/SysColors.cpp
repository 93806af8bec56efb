#include "platform/SysColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace quelvane {

QColor SystemColor(SysColor which)
{
    const QPalette palette = QGuiApplication::palette();
    switch (which) {
    case SysColor::WindowBackground:
        return palette.color(QPalette::Base);
    case SysColor::WindowText:
    case SysColor::MenuText:
        return palette.color(QPalette::WindowText);
    case SysColor::WindowFrame:
        // Qt has no frame role, and Fusion's Shadow is mid-grey; the standard scheme draws
        // window frames black.
        return QColor(Qt::black);
    case SysColor::ButtonText:
        return palette.color(QPalette::ButtonText);
    }
    return Qt::black;
}

} // namespace quelvane
