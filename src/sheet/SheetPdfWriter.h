// Character sheets as a PDF written into any device: Qt GUI only, no printer, no display.
#pragma once

#include <QPageSize>
#include <QString>
#include <functional>
#include <vector>

#include "gui/PrintJob.h"
#include "model/modTarvock.h"

class QIODevice;

namespace quelvane {

// Called after each page with the pages done and the pages in all.
using PageProgress = std::function<void(int done, int total)>;

// One sheet per record, one page each, every sheet at its designed size, as the window's PDF
// and quelvane-roll draw them. `records` must outlive the job.
PrintJob SheetsJob(const std::vector<CharacterRecordType> &records, const PageProgress &progress = {});

// Writes SheetsJob(records) into `device` (open for writing) on `paper`. Needs a
// QGuiApplication; the offscreen platform will do. On failure returns false and, when `error`
// is given, says why; what was written to the device by then is the caller's to throw away.
bool WriteSheetsPdf(QIODevice &device, const std::vector<CharacterRecordType> &records, const QPageSize &paper,
                    QString *error, const PageProgress &progress = {});

} // namespace quelvane
