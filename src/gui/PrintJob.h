// A job of pages and the one loop that draws it on any paged device: a printer, or a PDF in
// any QIODevice. Qt GUI only, so that quelvane-roll draws its PDF the same way.
#pragma once

#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QPainter;

namespace quelvane {

// The resolution of every PDF the programs write.
inline constexpr int kPdfDotsPerInch = 1200;

// A PDF page as the programs lay it out, in portrait: the printable area keeps 12 points to
// the sides (the sheet, 567 points wide, still fits A4 at its own size) and 18 to the top
// and bottom, so that a home printer, which cannot print up to the paper's edge, cuts nothing.
QPageLayout PdfPageLayout(const QPageSize &paper);

// The page a drawer paints on. Device units; the painter's origin is the paper's top-left
// corner, and only the printable part of the paper is marked.
struct PrintPage {
    QRectF paper;
    QRectF printable;
    qreal dotsPerInch = 0;
};

struct PrintJob {
    QString title; // the document name the print system shows and files the job under
    int pageCount = 1;
    std::function<void(QPainter &painter, const PrintPage &page, int pageIndex)> drawPage;
};

// Runs a job on a device that is ready for painting (a printer or a PDF writer).
bool PrintOnDevice(QPagedPaintDevice &device, const PrintJob &job, QString *error);

// Draws every page of `job` on `layout` (its margins are the printable area the drawer is
// given) at `dotsPerInch`, into `device`, which must be open for writing. False with a reason
// when the job cannot be drawn. The PDF engine does not report failed writes: a caller that
// writes to a file checks the file's own error state.
bool PrintToPdf(QIODevice &device, const QPageLayout &layout, int dotsPerInch, const PrintJob &job,
                QString *error);

} // namespace quelvane
