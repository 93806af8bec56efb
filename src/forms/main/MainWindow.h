// Main: the start-up window and the program's only command centre.
#pragma once

#include <QWidget>

#include "forms/MainAccess.h"
#include "forms/main/CharacterFileCommands.h"

class QLabel;
class QPushButton;

namespace quelvane {

class PictureBox;
class CommonDialog;

class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    PictureBox *Image1 = nullptr;
    QPushButton *cmdGenerate = nullptr;
    QPushButton *cmdLoad = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdStats = nullptr;
    QPushButton *cmdSkills = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdSecret = nullptr;
    CommonDialog *CommonDialog1 = nullptr; // shared by Load and Save

    // The status line: plain text only.
    void SetStatus(const QString &text);

    static const QString kWelcome;

    // The command line's FILE: loaded as Load Cadrelant loads a chosen file, and offered by
    // the file dialog afterwards as if it had been chosen there. A relative path is taken from
    // the current folder. A file that cannot be loaded is told in a message box.
    void LoadAtStart(const QByteArray &nativePath);

public slots:
    void cmdGenerate_Click();
    void cmdStats_Click();
    void cmdSkills_Click();
    void cmdSecret_Click();
    void cmdPrint_Click();
    void cmdExit_Click();
    void cmdLoad_Click();
    void cmdSave_Click();
    void Image1_Click();

private:
    void SaveCharacter();
    void LoadCharacter(const QByteArray &nativePath, LoadFailure failure);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace quelvane
