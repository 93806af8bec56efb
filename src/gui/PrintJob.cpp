#include "gui/PrintJob.h"

#include <QIODevice>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "model/SetError.h"

namespace quelvane {

QPageLayout PdfPageLayout(const QPageSize &paper)
{
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF(12, 18, 12, 18), QPageLayout::Point);
}

bool PrintOnDevice(QPagedPaintDevice &device, const PrintJob &job, QString *error)
{
    if (job.pageCount < 1 || !job.drawPage)
        return SetError(error, QStringLiteral("There is nothing to print."));
    QPainter painter;
    if (!painter.begin(&device))
        return SetError(error, QStringLiteral("The print job could not be started."));
    const int dpi = device.logicalDpiX();
    const QPageLayout layout = device.pageLayout();
    PrintPage page;
    page.dotsPerInch = dpi;
    page.paper = QRectF(layout.fullRectPixels(dpi));
    page.printable = QRectF(layout.paintRectPixels(dpi));
    for (int i = 0; i < job.pageCount; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return SetError(error, QStringLiteral("Page %1 could not be started.").arg(i + 1));
        }
        painter.save();
        // The device puts the origin at the printable area's corner; drawers work on paper.
        painter.translate(-page.printable.topLeft());
        job.drawPage(painter, page, i);
        painter.restore();
    }
    if (!painter.end())
        return SetError(error, QStringLiteral("The print job could not be finished."));
    return true;
}

bool PrintToPdf(QIODevice &device, const QPageLayout &layout, int dotsPerInch, const PrintJob &job,
                QString *error)
{
    if (!device.isWritable())
        return SetError(error, QStringLiteral("The PDF cannot be written: the file is not open for writing."));
    QPdfWriter writer(&device);
    writer.setResolution(dotsPerInch);
    writer.setPageLayout(layout);
    writer.setTitle(job.title);
    return PrintOnDevice(writer, job, error); // ending the painter writes the trailer
}

} // namespace quelvane
