// Main's picture opens the about box.
#include "forms/FormInstance.h"
#include "forms/about/frmAbout.h"
#include "forms/main/MainWindow.h"
#include "platform/Stacking.h"

namespace quelvane {

void MainWindow::Image1_Click()
{
    // No owner, modal for the whole program: returns once the box has been closed.
    frmAbout *about = FormInstance<frmAbout>::Get();
    KeepAboveOnWayland(about, this);
    about->exec();
}

} // namespace quelvane
