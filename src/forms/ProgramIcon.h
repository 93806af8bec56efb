// The program's own icon, shared by Main and the about box.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quelvane {

// The program's own 64 x 64 icon.
QPixmap ProgramIcon();

// The windows' icon: the 64 x 64 picture, and the same design drawn at 128 and 256 for
// screens that scale, where the small one would be blown up into blocks.
QIcon ProgramWindowIcon();

} // namespace quelvane
