#include "forms/main/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextOption>

#include "forms/Forms.h"
#include "forms/ProgramIcon.h"
#include "forms/about/frmAbout.h"
#include "forms/main/CharacterFileCommands.h"
#include "forms/main/ClickableImage.h"
#include "forms/sheet/PrintCommand.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "model/modTarvock.h"
#include "platform/Controls.h"
#include "platform/FileDialog.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/SysColors.h"

namespace quelvane {

const QString MainWindow::kWelcome = QStringLiteral("Welcome to the Quelvane Cadrelant Generator.");

namespace {

// The status line. A long path has no blanks to wrap at, so it wraps anywhere rather than
// running out of the box.
class StatusLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(area), text(), option);
        drawFrame(&painter);
    }
};

struct ButtonSpec {
    QPushButton *MainWindow::*member;
    const char *name;
    const char *caption;
    TwipsRect rect;
};

// In tab order.
constexpr ButtonSpec kButtons[] = {
    {&MainWindow::cmdGenerate, "cmdGenerate", "Generate &New Cadrelant", {2520, 1080, 2055, 615}},
    {&MainWindow::cmdLoad, "cmdLoad", "&Load Cadrelant", {2520, 1800, 2055, 615}},
    {&MainWindow::cmdSave, "cmdSave", "&Save Cadrelant", {2520, 2520, 2055, 615}},
    {&MainWindow::cmdPrint, "cmdPrint", "&Print Cadrelant", {2520, 3240, 2055, 615}},
    {&MainWindow::cmdStats, "cmdStats", "View &Attributes", {240, 2520, 2055, 615}},
    {&MainWindow::cmdSkills, "cmdSkills", "View S&kills", {240, 3240, 2055, 615}},
    {&MainWindow::cmdExit, "cmdExit", "E&xit", {2520, 3960, 2055, 615}},
    {&MainWindow::cmdSecret, "cmdSecret", "View Se&cret Stuff", {240, 3960, 2055, 615}},
};

constexpr TwipsRect kWindow = {2625, 1365, 4815, 4785};
constexpr TwipsRect kLabel1 = {240, 240, 4335, 735};
constexpr TwipsRect kImage1 = {600, 1080, 1440, 1320};

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(ProgramTitle());
    setWindowIcon(QIcon(ProgramIcon()));
    SetColors(this, SystemColor(SysColor::WindowText), Qt::black);
    PlaceTwips(this, kWindow);
    setFixedSize(size());

    const QFont font = MsSansSerif(8.25, Bold);

    Label1 = new StatusLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(font);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFrameShape(QFrame::Box);
    Label1->setLineWidth(1);
    Label1->setContentsMargins(2, 1, 2, 1);
    SetColors(Label1, DesignGreen(), SystemColor(SysColor::WindowText));
    PlaceTwips(Label1, kLabel1);
    SetStatus(kWelcome);

    Image1 = new ClickableImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ProgramIcon());
    Image1->setScaledContents(true);
    PlaceTwips(Image1, kImage1);

    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));

    QWidget *previous = nullptr;
    for (const ButtonSpec &entry : kButtons) {
        QPushButton *button = MakeButton(this, entry.name, QLatin1String(entry.caption), entry.rect, font);
        this->*(entry.member) = button;
        if (previous)
            setTabOrder(previous, button);
        previous = button;
    }

    connect(cmdGenerate, &QPushButton::clicked, this, &MainWindow::cmdGenerate_Click);
    connect(cmdStats, &QPushButton::clicked, this, &MainWindow::cmdStats_Click);
    connect(cmdSkills, &QPushButton::clicked, this, &MainWindow::cmdSkills_Click);
    connect(cmdSecret, &QPushButton::clicked, this, &MainWindow::cmdSecret_Click);
    connect(cmdExit, &QPushButton::clicked, this, &MainWindow::cmdExit_Click);
    connect(Image1, &ClickableImage::clicked, this, &MainWindow::Image1_Click);
    connect(cmdLoad, &QPushButton::clicked, this, &MainWindow::cmdLoad_Click);
    connect(cmdSave, &QPushButton::clicked, this, &MainWindow::cmdSave_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &MainWindow::cmdPrint_Click);

    cmdGenerate->setFocus();
}

void MainWindow::SetStatus(const QString &text)
{
    Label1->setText(text);
    Label1->setToolTip(text);
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
        LoadCharacter(*path);
}

void MainWindow::LoadAtStart(const QString &path)
{
    CommonDialog1->FileName = QFileInfo(path).absoluteFilePath();
    LoadCharacter(CommonDialog1->FileName);
}

void MainWindow::LoadCharacter(const QString &path)
{
    if (LoadCharacterFile(path))
        SetStatus(path + QStringLiteral(" loaded."));
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
