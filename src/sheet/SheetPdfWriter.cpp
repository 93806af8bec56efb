#include "sheet/SheetPdfWriter.h"

#include <QPageLayout>

#include "model/SetError.h"
#include "sheet/SheetPainter.h"

namespace quelvane {

PrintJob SheetsJob(const std::vector<CharacterRecordType> &records, const PageProgress &progress)
{
    PrintJob job;
    job.title = QString::fromLatin1(sheet::kSheetCaption);
    job.pageCount = int(records.size());
    job.drawPage = [&records, progress](QPainter &painter, const PrintPage &page, int index) {
        DrawSheetOnPage(painter, page.paper, page.printable, page.dotsPerInch, FillSheet(records[size_t(index)]));
        if (progress)
            progress(index + 1, int(records.size()));
    };
    return job;
}

bool WriteSheetsPdf(QIODevice &device, const std::vector<CharacterRecordType> &records, const QPageSize &paper,
                    QString *error, const PageProgress &progress)
{
    if (records.empty())
        return SetError(error, QStringLiteral("There is no character to put on a sheet."));
    return PrintToPdf(device, PdfPageLayout(paper), kPdfDotsPerInch,
                      SheetsJob(records, progress), error);
}

} // namespace quelvane
