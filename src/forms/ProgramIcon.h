// The program's own icon, shared by Main and the about box.
#pragma once

#include <QPixmap>

namespace quelvane {

// The program's own 64 x 64 icon.
QPixmap ProgramIcon();

} // namespace quelvane
