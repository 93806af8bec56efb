// The Print command: the sheet goes to the default printer, or into a PDF file when there
// is none.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace quelvane {

// Prints the sheet, loading it first if need be (a loaded sheet prints what it was filled
// with). Without a default printer it offers a PDF file instead, through a file dialog kept on
// `owner`; the first one proposed stands beside `characterFile` when that is set. Returns the
// status line's new text, or nothing when the user cancelled or it failed (the failure has
// been told in a message box).
std::optional<QString> PrintCharacterSheet(QWidget *owner, const QString &characterFile);

} // namespace quelvane
