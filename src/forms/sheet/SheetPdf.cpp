#include "forms/sheet/SheetPdf.h"

#include "forms/sheet/OutputForm.h"
#include "platform/Printer.h"

namespace quelvane {

bool RenderSheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper)
{
    if (records.empty()) {
        if (error)
            *error = QStringLiteral("There is no character to put on a sheet.");
        return false;
    }
    OutputForm sheet;
    PrintJob job;
    job.title = OutputForm::kCaption;
    job.pageCount = int(records.size());
    job.drawPage = [&](QPainter &painter, const PrintPage &page, int index) {
        sheet.Fill(records[size_t(index)]);
        sheet.DrawOnPage(painter, page);
    };
    PdfFilePrinter file(path, QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    return file.Print(job, error);
}

} // namespace quelvane
