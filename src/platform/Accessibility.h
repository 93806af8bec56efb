// What a screen reader is told beyond what the widgets say of themselves.
#pragma once

class QLabel;
class QWidget;

namespace quelvane {

// A top-level window listed and announced as a window (a frame); a plain widget would be a
// "filler". Before the window's first accessible use, so in its constructor.
void ExposeAsFrame(QWidget *window);

// A label whose new texts a screen reader speaks wherever the focus is: a notification, as
// the desktop's own pop-up messages are. Before the label's first accessible use.
void ExposeAsNotice(QLabel *label);

// Has a screen reader speak the notice's current text now.
void Announce(QLabel *notice);

} // namespace quelvane
