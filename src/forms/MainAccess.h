// How the other windows reach Main without knowing its class: the application registers the
// one Main here, and a viewer's Main Menu button asks for it by this function alone.
#pragma once

class QWidget;

namespace quelvane {

// The one Main of the program; null before the application has made it and after it is gone.
QWidget *MainForm();
void SetMainForm(QWidget *form);

// Shows Main, raised and active; does nothing when there is no Main.
void ShowMain();

} // namespace quelvane
