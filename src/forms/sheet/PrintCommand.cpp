// Main's Print command: the sheet goes to the default printer.
#include "forms/FormInstance.h"
#include "forms/main/MainWindow.h"
#include "forms/sheet/OutputForm.h"
#include "platform/MessageBox.h"

namespace quelvane {

void MainWindow::cmdPrint_Click()
{
    // Loading fills the sheet; a sheet already loaded prints what it was filled with.
    OutputForm *sheet = FormInstance<OutputForm>::Get();
    QString reason;
    if (!sheet->PrintForm(&reason)) {
        ShowMessage(QStringLiteral("The character sheet could not be printed.\n\n%1").arg(reason),
                    ProgramTitle(), MessageIcon::Exclamation);
        return;
    }
    SetStatus(QStringLiteral("Quelvane Character Sheet printed."));
}

} // namespace quelvane
