// Texts of the record are bytes: UTF-8 from this program, or an 8-bit code page from a file
// written elsewhere. This turns them into something readable on screen.
#pragma once

#include <string_view>

#include <QString>

namespace quelvane {

// Valid UTF-8 is decoded as such; anything else is read as Windows-1252, the code page such
// files most likely come from, so no byte turns into a replacement mark.
QString RecordText(std::string_view bytes);

} // namespace quelvane
