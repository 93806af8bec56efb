// Main's Print command: the sheet goes to the default printer, or into a PDF file when there
// is none.
#include <QFileInfo>

#include "forms/FormInstance.h"
#include "forms/main/MainWindow.h"
#include "forms/sheet/OutputForm.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"

namespace quelvane {
namespace {

// The part of a Name that can stand as a file name in the proposed folder: a loaded Name may
// hold anything, "../../tmp/x/Innocent" included, and must not move the file elsewhere.
QString PdfFileStem(const QString &name)
{
    QString stem = name.section(QLatin1Char('/'), -1);
    for (QChar &c : stem) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('_');
    }
    // Leading dots would make ".." or a hidden file.
    while (stem.startsWith(QLatin1Char('.')))
        stem.remove(0, 1);
    return stem;
}

} // namespace

void MainWindow::cmdPrint_Click()
{
    // Loading fills the sheet; a sheet already loaded prints what it was filled with.
    OutputForm *sheet = FormInstance<OutputForm>::Get();
    if (!CurrentPrinter().HasDefaultPrinter()) {
        SaveSheetAsPdf(sheet);
        return;
    }
    QString reason;
    if (!sheet->PrintForm(&reason)) {
        ShowMessage(QStringLiteral("The character sheet could not be printed.\n\n%1").arg(reason),
                    ProgramTitle(), MessageIcon::Exclamation);
        return;
    }
    SetStatus(QStringLiteral("Quelvane Character Sheet printed."));
}

void MainWindow::SaveSheetAsPdf(OutputForm *sheet)
{
    if (!AskMessage(QStringLiteral("There is no default printer to print the character sheet on: "
                                   "none is set up, or the print system cannot be reached.\n\n"
                                   "Save the sheet as a PDF file instead?"),
                    ProgramTitle(), MessageIcon::Exclamation, QStringLiteral("&Save as PDF...")))
        return;
    // A dialog of its own: Load and Save keep offering the character file.
    if (!pdfDialog_) {
        pdfDialog_ = new CommonDialog(this);
        pdfDialog_->setObjectName(QStringLiteral("PdfDialog"));
        pdfDialog_->Filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
        pdfDialog_->FilterIndex = 1;
        pdfDialog_->Flags = kHideReadOnly | kOverwritePrompt;
        pdfDialog_->DefaultExt = QStringLiteral("pdf");
    }
    if (pdfDialog_->FileName.isEmpty()) {
        // First time: the character's name, beside its character file when there is one.
        const QString name = PdfFileStem(QString::fromStdString(CharacterRecord.Name));
        pdfDialog_->FileName = (name.isEmpty() ? QStringLiteral("Cadrelant") : name) + QStringLiteral(".pdf");
        if (!CommonDialog1->FileName.isEmpty())
            pdfDialog_->FileName.prepend(QFileInfo(CommonDialog1->FileName).absolutePath() + QLatin1Char('/'));
    }
    if (!pdfDialog_->ShowSave())
        return;
    const QString path = pdfDialog_->FileName;
    QString reason;
    if (!sheet->PrintToPdf(path, &reason)) {
        ShowMessage(QStringLiteral("The character sheet could not be saved.\n\n%1").arg(reason),
                    ProgramTitle(), MessageIcon::Exclamation);
        return;
    }
    SetStatus(QStringLiteral("Quelvane Character Sheet saved to %1.").arg(path));
}

} // namespace quelvane
