#include <QApplication>

#include "forms/Forms.h"
#include "forms/main/MainWindow.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quelvane"));

    int status = 0;
    {
        quelvane::MainWindow main;
        quelvane::SetMainForm(&main);
        main.show();
        status = QApplication::exec();
        quelvane::UnloadAllForms();
        quelvane::SetMainForm(nullptr);
    }
    return status;
}
