// Character sheets as a PDF file, for batch output without a printer or a display.
#pragma once

#include <QPageSize>
#include <QString>
#include <vector>

class QIODevice;

#include "model/modTarvock.h"

namespace quelvane {

// Writes one sheet per record, one page each, into the PDF file at `path` (on `paper`, each
// sheet at its designed size), drawn by the same sheet and code that the Print command uses.
// The file is replaced only when every page is written. Needs a QApplication; the offscreen
// platform will do. Leaves CharacterRecord and the program's own sheet window alone. On
// failure returns false and, when `error` is given, says why.
bool RenderSheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper = QPageSize(QPageSize::A4));

// The same PDF, written into `device` (open for writing) as it is drawn, with no file of its
// own beside it. The caller checks a file's own error state: the PDF engine reports none.
bool RenderSheetsToPdf(QIODevice &device, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper = QPageSize(QPageSize::A4));

} // namespace quelvane
