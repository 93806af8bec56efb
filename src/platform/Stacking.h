// Keeping windows above one another where the desktop, not the program, stacks them.
#pragma once

class QWidget;

namespace quelvane {

// On native Wayland the compositor places and stacks every window, and keeps a window above
// another only when told that it belongs to it. There, gives `dialog` the window of `owner`
// as its transient parent, so a click on the owner cannot bury it, and gives the focus back to
// the dialog while it is shown modal and another of the program's windows takes it. Elsewhere it does nothing:
// X window managers already keep a modal box above the program's windows, and a transient
// parent would move the box from its place over the owner. Call before the dialog is shown.
void KeepAboveOnWayland(QWidget *dialog, QWidget *owner);

// Shows a window, raises it above the program's others and gives it the focus.
void BringToFront(QWidget *window);

} // namespace quelvane
