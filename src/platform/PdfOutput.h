// A print job drawn as a PDF into any device: a buffer that goes to the print system, or a
// file that is already open. Needs a QGuiApplication (offscreen will do).
#pragma once

#include <QPageLayout>
#include <QString>

#include "platform/Printer.h"

class QIODevice;

namespace quelvane {

// Draws every page of `job` on `layout` (its margins are the printable area the drawer is
// given) at `dotsPerInch`, into `device`, which must be open for writing. False with a reason
// when the job cannot be drawn. The PDF engine does not report failed writes: a caller that
// writes to a file checks the file's own error state.
bool PrintToPdf(QIODevice &device, const QPageLayout &layout, int dotsPerInch, const PrintJob &job,
                QString *error);

} // namespace quelvane
