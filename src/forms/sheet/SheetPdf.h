// Character sheets as a PDF file, for batch output without a printer or a display.
#pragma once

#include <QPageSize>
#include <QString>
#include <vector>


#include "model/modTarvock.h"

namespace quelvane {

// Writes one sheet per record, one page each, into the PDF file at `path` (on `paper`, each
// sheet at its designed size), drawn by the same painter as the Print command.
// The file is replaced only when every page is written. Needs a QApplication; the offscreen
// platform will do. Leaves CharacterRecord and the program's own sheet window alone. On
// failure returns false and, when `error` is given, says why.
bool RenderSheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper = QPageSize(QPageSize::A4));

} // namespace quelvane
