#include "sheet/SheetPdfWriter.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "sheet/SheetPainter.h"

namespace quelvane {
namespace {

constexpr int kDotsPerInch = 1200;

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool WriteSheetsPdf(QIODevice &device, const std::vector<CharacterRecordType> &records, const QPageSize &paper,
                    QString *error, const PageProgress &progress)
{
    if (records.empty())
        return Fail(error, QStringLiteral("There is no character to put on a sheet."));
    if (!device.isWritable())
        return Fail(error, QStringLiteral("The PDF cannot be written: the file is not open for writing."));
    QPdfWriter writer(&device);
    writer.setResolution(kDotsPerInch);
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QString::fromLatin1(sheet::kSheetCaption));
    writer.setCreator(QStringLiteral("quelvane-roll"));

    QPainter painter;
    if (!painter.begin(&writer))
        return Fail(error, QStringLiteral("The PDF could not be started."));
    const QPageLayout layout = writer.pageLayout();
    const QRectF full(layout.fullRectPixels(kDotsPerInch));
    const QRectF printable(layout.paintRectPixels(kDotsPerInch));
    const int total = int(records.size());
    for (int i = 0; i < total; ++i) {
        if (i > 0 && !writer.newPage()) {
            painter.end();
            return Fail(error, QStringLiteral("Page %1 could not be started.").arg(i + 1));
        }
        painter.save();
        painter.translate(-printable.topLeft()); // the device's origin is the printable corner
        DrawSheetOnPage(painter, full, printable, kDotsPerInch, FillSheet(records[size_t(i)]));
        painter.restore();
        if (progress)
            progress(i + 1, total);
    }
    if (!painter.end())
        return Fail(error, QStringLiteral("The PDF could not be finished."));
    return true;
}

} // namespace quelvane
