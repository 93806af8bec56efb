// Windows of one designed size that keep it where Qt draws their title bars itself.
#pragma once

class QWidget;

namespace quelvane {

// Fixes the window's inside at its current size. Where Qt draws the frame itself (native
// Wayland without the compositor's decorations), Qt makes that frame only when the window is
// first shown, after it has told the compositor the size limits without the frame; the
// compositor then holds frame and inside together to the inside's size, and the frame's height
// is cut from the inside. The limits are told again once the frame exists.
void FixSizeAsDesigned(QWidget *window);

} // namespace quelvane
