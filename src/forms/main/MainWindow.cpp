#include "forms/main/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "forms/about/frmAbout.h"
#include "forms/Forms.h"
#include "forms/main/CharacterFileCommands.h"
#include "forms/ProgramIcon.h"
#include "forms/sheet/PrintCommand.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "gui/Fonts.h"
#include "gui/SysColors.h"
#include "model/modTarvock.h"
#include "platform/Accessibility.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

namespace quelvane {

const QString MainWindow::kWelcome = QStringLiteral("Welcome to the Quelvane Cadrelant Generator.");

namespace {

using enum ControlKind;

constexpr Font kFont = SansSerif(8.25, Bold);

// The status line wraps; a long path has no blanks to wrap at, so it wraps anywhere rather
// than running out of the box.
constexpr Control kControls[] = {
    {.kind = Label, .name = "Label1", .rect = {240, 240, 4335, 735}, .font = kFont,
     .text = kDesignGreen, .background = SchemeColour(SysColor::WindowText),
     .style = WordWrap | Border},
    {.kind = Picture, .name = "Image1", .rect = {600, 1080, 1440, 1320}},
    Button("cmdGenerate", "Generate &New Cadrelant", {2520, 1080, 2055, 615}, 0, kFont),
    Button("cmdLoad", "&Load Cadrelant", {2520, 1800, 2055, 615}, 1, kFont),
    Button("cmdSave", "&Save Cadrelant", {2520, 2520, 2055, 615}, 2, kFont),
    Button("cmdPrint", "&Print Cadrelant", {2520, 3240, 2055, 615}, 3, kFont),
    Button("cmdStats", "View &Attributes", {240, 2520, 2055, 615}, 4, kFont),
    Button("cmdSkills", "View S&kills", {240, 3240, 2055, 615}, 5, kFont),
    Button("cmdExit", "E&xit", {2520, 3960, 2055, 615}, 6, kFont),
    Button("cmdSecret", "View Se&cret Stuff", {240, 3960, 2055, 615}, 7, kFont),
};

constexpr TwipsRect kWindow = {2625, 1365, 4815, 4785};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Main"));
    ExposeAsFrame(this);
    setWindowTitle(ProgramTitle());
    setWindowIcon(ProgramWindowIcon());
    SetColors(this, SystemColor(SysColor::WindowText), Qt::black);
    PlaceTwips(this, kWindow);
    setFixedSize(size());

    BuildControls(this, kControls);
    Label1 = FindControl<QLabel>(this, "Label1");
    ExposeAsNotice(Label1);
    Image1 = FindControl<PictureBox>(this, "Image1");
    Image1->setPixmap(ProgramIcon());
    connect(Image1, &PictureBox::clicked, this, &MainWindow::Image1_Click);
    cmdGenerate = ConnectButton(this, "cmdGenerate", &MainWindow::cmdGenerate_Click);
    cmdLoad = ConnectButton(this, "cmdLoad", &MainWindow::cmdLoad_Click);
    cmdSave = ConnectButton(this, "cmdSave", &MainWindow::cmdSave_Click);
    cmdPrint = ConnectButton(this, "cmdPrint", &MainWindow::cmdPrint_Click);
    cmdStats = ConnectButton(this, "cmdStats", &MainWindow::cmdStats_Click);
    cmdSkills = ConnectButton(this, "cmdSkills", &MainWindow::cmdSkills_Click);
    cmdExit = ConnectButton(this, "cmdExit", &MainWindow::cmdExit_Click);
    cmdSecret = ConnectButton(this, "cmdSecret", &MainWindow::cmdSecret_Click);
    SetStatus(kWelcome);

    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
}

void MainWindow::SetStatus(const QString &text)
{
    Label1->setText(text);
    Label1->setToolTip(text);
    // Spoken wherever the focus is: the command's own button keeps it.
    Announce(Label1);
}

void MainWindow::cmdGenerate_Click()
{
    UnloadViewersAndSheet();
    CharacterRecord.Name.clear();
    GenerateCharacter();
    SetStatus(QString::fromStdString(CharacterRecord.Name) + QStringLiteral(" created."));
}

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

void MainWindow::cmdPrint_Click()
{
    if (const auto status = PrintCharacterSheet(this, CommonDialog1->FileName))
        SetStatus(*status);
}

void MainWindow::cmdSave_Click()
{
    SaveCharacter();
}

void MainWindow::SaveCharacter()
{
    if (const auto path = SaveCharacterFile(*CommonDialog1))
        SetStatus(*path + QStringLiteral(" saved."));
}

void MainWindow::cmdLoad_Click()
{
    if (const auto path = ChooseCharacterFile(*CommonDialog1))
        LoadCharacter(QFile::encodeName(*path), LoadFailure::Silent);
}

void MainWindow::LoadAtStart(const QByteArray &nativePath)
{
    // In the file system's bytes throughout: a name that is not UTF-8 still loads, and shows
    // as the desktop shows it.
    QByteArray absolute = nativePath;
    if (!absolute.startsWith('/'))
        absolute.prepend(QFile::encodeName(QDir::currentPath()) + '/');
    // Latin-1 maps byte to character and back, so the cleaning keeps every byte.
    absolute = QDir::cleanPath(QString::fromLatin1(absolute)).toLatin1();
    CommonDialog1->FileName = QFile::decodeName(absolute);
    LoadCharacter(absolute, LoadFailure::Told);
}

void MainWindow::LoadCharacter(const QByteArray &nativePath, LoadFailure failure)
{
    if (LoadCharacterFile(nativePath, failure))
        SetStatus(QFile::decodeName(nativePath) + QStringLiteral(" loaded."));
}

void MainWindow::Image1_Click()
{
    ShowAboutBox(this);
}

void MainWindow::cmdExit_Click()
{
    UnloadAllForms();
    QApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closed by the window manager (Alt+F4): end the program as Exit does, never leave an
    // invisible process behind with hidden windows.
    event->accept();
    cmdExit_Click();
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // F1 opens the about box, as a click on the picture does: the picture takes no focus.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        Image1_Click();
        return;
    }
    // A focused button takes Enter itself; Exit is the button that Enter presses when the
    // focus is on no button at all. Esc does nothing here: a stray Esc should not end the
    // program without a question.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !qobject_cast<QPushButton *>(focusWidget())) {
        cmdExit->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quelvane
