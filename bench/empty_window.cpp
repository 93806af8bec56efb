// The start-up baseline: the least a Qt Widgets program does to show one window, shown the
// way the main window is (borderless, fixed size, same place), with nothing in it.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    // The main window's rectangle at 96 DPI.
    window.setGeometry(175, 91, 321, 319);
    window.setFixedSize(window.size());
    window.show();
    return QApplication::exec();
}
