#include "platform/Stacking.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace quelvane {

void KeepAboveOnWayland(QWidget *dialog, QWidget *owner)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    // Both need their native windows for one to name the other.
    dialog->winId();
    owner->window()->winId();
    dialog->windowHandle()->setTransientParent(owner->window()->windowHandle());
}

} // namespace quelvane
