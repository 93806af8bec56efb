#include "forms/about/frmAbout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "forms/about/SysInfo.h"
#include "forms/FormInstance.h"
#include "forms/ProgramIcon.h"
#include "gui/Fonts.h"
#include "gui/SysColors.h"
#include "platform/Controls.h"
#include "platform/FixedSize.h"
#include "platform/MessageBox.h"
#include "platform/Stacking.h"
#include "version.h"

namespace quelvane {

const QString frmAbout::kAuthorLine =
    QStringLiteral("The Quelvane Cadrelant Generator developers");
const QString frmAbout::kDisclaimer = QStringLiteral(
    "Program (c) the Quelvane Cadrelant Generator developers. The game Quelvane is (c) its "
    "publisher, who neither made nor endorses this program.");

namespace {

using enum ControlKind;

constexpr const char *kTitle = "Quelvane Cadrelant Generator";

// Green on the menu-text colour, wrapping.
constexpr Control AboutLabel(const char *name, const char *caption, TwipsRect rect)
{
    return {.kind = Label, .name = name, .caption = caption, .rect = rect, .text = kDesignGreen,
            .background = SchemeColour(SysColor::MenuText), .style = WordWrap};
}

// In tab order where they take the focus. The two members of Line1: a white and a grey rule
// above the notice, from (left, top) to (left + width, top).
constexpr Control kControls[] = {
    {.kind = Picture, .name = "Image1", .rect = {360, 120, 1680, 1560}},
    AboutLabel("lblTitle", kTitle, {2400, 240, 2925, 480}),
    AboutLabel("lblVersion", nullptr, {2400, 780, 3075, 225}),
    AboutLabel("Label1", nullptr, {2400, 1200, 3015, 375}),
    AboutLabel("lblDisclaimer", nullptr, {255, 2040, 3510, 825}),
    Button("cmdOK", "OK", {4200, 2040, 1260, 345}, 0),
    Button("cmdSysInfo", "&System Info...", {4200, 2520, 1245, 345}, 1),
    {.kind = Line, .name = "Line1", .rect = {120, 1800, 5669 - 120, 0},
     .text = FixedColour(255, 255, 255), .border = 2},
    {.kind = Line, .name = "Line1", .rect = {120, 1920, 5684 - 120, 0},
     .text = FixedColour(128, 128, 128), .border = 1},
};

// The author line and the notice are our own texts in labels of the designed size: one that
// would wrap past the bottom of its label is set a quarter point smaller at a time rather
// than clipped.
void FitText(QLabel *label)
{
    QFont font = label->font();
    const QRect room = label->contentsRect();
    const auto fits = [&] {
        const QRect needed = QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, label->text());
        return needed.height() <= room.height() && needed.width() <= room.width();
    };
    while (!fits() && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}

constexpr TwipsRect kInside = {0, 0, 5730, 2970};

} // namespace

QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

frmAbout::frmAbout(QWidget *parent)
    // A fixed frame without caption or buttons; no owner, and every other window waits.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowModality(Qt::ApplicationModal);
    setWindowIcon(ProgramWindowIcon());
    setAccessibleName(QStringLiteral("About ") + QLatin1String(kTitle));
    SetColors(this, SystemColor(SysColor::ButtonText), SystemColor(SysColor::WindowText));
    // Size only: the dialog centres itself when it is shown.
    resize(ToPixels(kInside).size());
    FixSizeAsDesigned(this);

    BuildControls(this, kControls);
    Image1 = FindControl<QLabel>(this, "Image1");
    lblTitle = FindControl<QLabel>(this, "lblTitle");
    lblVersion = FindControl<QLabel>(this, "lblVersion");
    Label1 = FindControl<QLabel>(this, "Label1");
    lblDisclaimer = FindControl<QLabel>(this, "lblDisclaimer");
    cmdOK = ConnectButton(this, "cmdOK", &frmAbout::cmdOK_Click);
    cmdSysInfo = ConnectButton(this, "cmdSysInfo", &frmAbout::cmdSysInfo_Click);

    Image1->setPixmap(ProgramIcon());
    Label1->setText(kAuthorLine);
    lblDisclaimer->setText(kDisclaimer);
    FitText(Label1);
    FitText(lblDisclaimer);
    cmdOK->setDefault(true);
}

void frmAbout::Form_Load()
{
    lblVersion->setText(VersionText(QUELVANE_VERSION_MAJOR, QUELVANE_VERSION_MINOR,
                                    QUELVANE_VERSION_PATCH));
}

void frmAbout::cmdOK_Click()
{
    // Discarded once its modal loop has ended; the next opening loads it afresh.
    FormInstance<frmAbout>::Forget(this);
    done(QDialog::Accepted);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::reject()
{
    cmdOK->click();
}

void ShowAboutBox(QWidget *over)
{
    // No owner, modal for the whole program.
    frmAbout *about = FormInstance<frmAbout>::Get();
    KeepAboveOnWayland(about, over);
    about->exec();
}

} // namespace quelvane
