// frmAbout: the program's title, version, author and notice, and the system-information button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quelvane {

// "Version " and the three numbers, each in decimal, separated by dots.
QString VersionText(int major, int minor, int revision);

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

    static const QString kAuthorLine;
    static const QString kDisclaimer;

    void Form_Load();

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Esc, and a close by the system, press OK.
    void reject() override;
};

// Shows the about box modal for the whole program, loading it on first use, and returns once
// it has been closed. `over` is the window it was opened from: on Wayland the box is kept
// above it.
void ShowAboutBox(QWidget *over);

} // namespace quelvane
