// Load and Save: the character file through Main's file dialog. Each ends silently on any
// failure, the user's Cancel included, and leaves the status line to its caller.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quelvane {

class CommonDialog;

// Asks for a file through `dialog` and writes the record into it; the path written, or
// nothing. The old file, if any, keeps its bytes on failure.
std::optional<QString> SaveCharacterFile(CommonDialog &dialog);

// Asks through `dialog` for a character file to load; the chosen path, or nothing.
std::optional<QString> ChooseCharacterFile(CommonDialog &dialog);

// Closes the viewers and the sheet, then reads the file at `path` into the record; true when
// all 71 fields were read (only then does the record change). An empty file is told in a
// message box. The path is in the file system's own bytes.
bool LoadCharacterFile(const QByteArray &nativePath);

} // namespace quelvane
