// Main's view buttons: each shows its viewer modeless and without an owner, loading it on
// first use; a loaded viewer comes back unchanged.
#include "forms/main/MainWindow.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"

namespace quelvane {

void MainWindow::cmdStats_Click()
{
    ViewerWindow::ShowForm<ViewStats>();
}

void MainWindow::cmdSkills_Click()
{
    ViewerWindow::ShowForm<ViewSkills>();
}

void MainWindow::cmdSecret_Click()
{
    ViewerWindow::ShowForm<ViewSecret>();
}

} // namespace quelvane
