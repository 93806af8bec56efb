#include "platform/Stacking.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace quelvane {

namespace {
const char *const kFocusBack = "quelvaneFocusBack";
}

void KeepAboveOnWayland(QWidget *dialog, QWidget *owner)
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    // Both need their native windows for one to name the other.
    dialog->winId();
    owner->window()->winId();
    dialog->windowHandle()->setTransientParent(owner->window()->windowHandle());
    // A click on a window the box blocks gives that window the focus, and the compositor
    // tells no one that the box is modal: hand the focus back, as X window managers do.
    if (dialog->property(kFocusBack).toBool())
        return;
    dialog->setProperty(kFocusBack, true);
    QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, dialog, [dialog](QWindow *focus) {
        if (focus && focus != dialog->windowHandle() && dialog->isVisible() && dialog->isModal())
            dialog->activateWindow();
    });
}

void BringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace quelvane
