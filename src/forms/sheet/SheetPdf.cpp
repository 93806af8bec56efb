#include "forms/sheet/SheetPdf.h"

#include "platform/Printer.h"
#include "sheet/SheetPainter.h"

namespace quelvane {

bool RenderSheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper)
{
    if (records.empty()) {
        if (error)
            *error = QStringLiteral("There is no character to put on a sheet.");
        return false;
    }
    PrintJob job;
    job.title = QString::fromLatin1(sheet::kSheetCaption);
    job.pageCount = int(records.size());
    job.drawPage = [&](QPainter &painter, const PrintPage &page, int index) {
        DrawSheetOnPage(painter, page.paper, page.printable, page.dotsPerInch, FillSheet(records[size_t(index)]));
    };
    PdfFilePrinter file(path, QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    return file.Print(job, error);
}

} // namespace quelvane
