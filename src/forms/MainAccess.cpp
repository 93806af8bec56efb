#include "forms/MainAccess.h"

#include <QPointer>
#include <QWidget>

#include "platform/Stacking.h"

namespace quelvane {
namespace {

// A guarded pointer: a Main deleted without being unregistered is not shown.
QPointer<QWidget> g_main;

} // namespace

QWidget *MainForm()
{
    return g_main;
}

void SetMainForm(QWidget *form)
{
    g_main = form;
}

void ShowMain()
{
    if (QWidget *main = MainForm())
        BringToFront(main);
}

} // namespace quelvane
