#include "forms/sheet/SheetPdf.h"

#include "platform/Printer.h"
#include "sheet/SheetPdfWriter.h"

namespace quelvane {

bool RenderSheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records,
                       QString *error, const QPageSize &paper)
{
    if (records.empty()) {
        if (error)
            *error = QStringLiteral("There is no character to put on a sheet.");
        return false;
    }
    PdfFilePrinter file(path, PdfPageLayout(paper));
    return file.Print(SheetsJob(records), error);
}

} // namespace quelvane
