// Load and Save: the character file through Main's file dialog. Each leaves the status line
// to its caller. A Cancel, and a failed Load of a file chosen in the dialog, end silently; a
// failed Save is told in a message box, since the user would otherwise believe it kept.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace quelvane {

class CommonDialog;

// Asks for a file through `dialog` and writes the record into it; the path written, or
// nothing. The old file, if any, keeps its bytes on failure, which a message names with the
// system's reason.
std::optional<QString> SaveCharacterFile(CommonDialog &dialog);

// Asks through `dialog` for a character file to load; the chosen path, or nothing.
std::optional<QString> ChooseCharacterFile(CommonDialog &dialog);

// Silent: the file was chosen in the dialog, and nothing is lost when it cannot be read.
// Told: the file came from the command line or another start of the program, where a window
// with no change would leave the user guessing.
enum class LoadFailure { Silent, Told };

// Closes the viewers and the sheet, then reads the file at `path` into the record; true when
// all 71 fields were read (only then does the record change). An empty file is told in a
// message box; any other failure only when `failure` is Told, with the file and the reason.
// The path is in the file system's own bytes, which need not be UTF-8.
bool LoadCharacterFile(const QByteArray &nativePath, LoadFailure failure = LoadFailure::Silent);

} // namespace quelvane
