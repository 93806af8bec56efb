#include "forms/sheet/SheetPdf.h"

#include "forms/sheet/OutputForm.h"
#include "platform/PdfOutput.h"
#include "platform/Printer.h"

namespace quelvane {

namespace {

// One page per record, each filled into the one sheet just before it is drawn.
PrintJob SheetsJob(OutputForm &sheet, const std::vector<CharacterRecordType> &records)
{
    PrintJob job;
    job.title = OutputForm::kCaption;
    job.pageCount = int(records.size());
    job.drawPage = [&sheet, &records](QPainter &painter, const PrintPage &page, int index) {
        sheet.Fill(records[size_t(index)]);
        sheet.DrawOnPage(painter, page);
    };
    return job;
}

bool NoRecords(const std::vector<CharacterRecordType> &records, QString *error)
{
    if (!records.empty())
        return false;
    if (error)
        *error = QStringLiteral("There is no character to put on a sheet.");
    return true;
}

} // namespace

bool RenderSheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper)
{
    if (NoRecords(records, error))
        return false;
    OutputForm sheet;
    PdfFilePrinter file(path, QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    return file.Print(SheetsJob(sheet, records), error);
}

bool RenderSheetsToPdf(QIODevice &device, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper)
{
    if (NoRecords(records, error))
        return false;
    OutputForm sheet;
    return PrintToPdf(device, QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)),
                      PdfFilePrinter::kDotsPerInch, SheetsJob(sheet, records), error);
}

} // namespace quelvane
