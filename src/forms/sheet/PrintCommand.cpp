#include "forms/sheet/PrintCommand.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QWidget>

#include "forms/FormInstance.h"
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

// A dialog of its own on the owner: Load and Save keep offering the character file, and this
// one keeps the last PDF chosen.
CommonDialog *PdfDialog(QWidget *owner)
{
    const QString name = QStringLiteral("PdfDialog");
    if (auto *dialog = owner->findChild<CommonDialog *>(name, Qt::FindDirectChildrenOnly))
        return dialog;
    auto *dialog = new CommonDialog(owner);
    dialog->setObjectName(name);
    dialog->Filter = QStringLiteral("PDF Files (*.pdf)|*.pdf");
    dialog->FilterIndex = 1;
    dialog->Flags = kHideReadOnly | kOverwritePrompt;
    dialog->DefaultExt = QStringLiteral("pdf");
    return dialog;
}

std::optional<QString> SaveSheetAsPdf(OutputForm *sheet, QWidget *owner, const QString &characterFile)
{
    if (!AskMessage(QStringLiteral("There is no default printer to print the character sheet on: "
                                   "none is set up, or the print system cannot be reached.\n\n"
                                   "Save the sheet as a PDF file instead?"),
                    ProgramTitle(), MessageIcon::Exclamation, QStringLiteral("&Save as PDF...")))
        return std::nullopt;
    CommonDialog *dialog = PdfDialog(owner);
    if (dialog->FileName.isEmpty()) {
        // First time: the character's name, beside its character file when there is one.
        const QString name = PdfFileStem(QString::fromStdString(CharacterRecord.Name));
        dialog->FileName = (name.isEmpty() ? QStringLiteral("Cadrelant") : name) + QStringLiteral(".pdf");
        if (!characterFile.isEmpty())
            dialog->FileName.prepend(QFileInfo(characterFile).absolutePath() + QLatin1Char('/'));
    }
    if (!dialog->ShowSave())
        return std::nullopt;
    const QString path = dialog->FileName;
    QString reason;
    if (!sheet->PrintToPdf(path, &reason)) {
        ShowMessage(QStringLiteral("The character sheet could not be saved.\n\n%1").arg(reason),
                    ProgramTitle(), MessageIcon::Exclamation);
        return std::nullopt;
    }
    return QStringLiteral("Quelvane Character Sheet saved to %1.").arg(path);
}

} // namespace

std::optional<QString> PrintCharacterSheet(QWidget *owner, const QString &characterFile)
{
    // The window keeps taking clicks while the print system is asked; a second Print then
    // does nothing rather than start a second job.
    static bool printing = false;
    if (printing)
        return std::nullopt;
    printing = true;
    const auto done = qScopeGuard([] { printing = false; });

    const bool hasPrinter = CurrentPrinter().HasDefaultPrinter();
    if (PrintWaitAbandoned())
        return std::nullopt;
    // Loading fills the sheet; a sheet already loaded prints what it was filled with. Taken
    // after the wait, which a Generate or Load may have used to close it.
    OutputForm *sheet = FormInstance<OutputForm>::Get();
    if (!hasPrinter)
        return SaveSheetAsPdf(sheet, owner, characterFile);
    QString reason;
    if (!sheet->PrintForm(&reason)) {
        if (PrintWaitAbandoned())
            return std::nullopt;
        ShowMessage(QStringLiteral("The character sheet could not be printed.\n\n%1").arg(reason),
                    ProgramTitle(), MessageIcon::Exclamation);
        return std::nullopt;
    }
    return QStringLiteral("Quelvane Character Sheet printed.");
}

} // namespace quelvane
