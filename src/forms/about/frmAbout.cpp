#include "forms/about/frmAbout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "forms/FormInstance.h"
#include "forms/about/SysInfo.h"
#include "forms/ProgramIcon.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/Stacking.h"
#include "platform/SysColors.h"
#include "version.h"

namespace quelvane {

const QString frmAbout::kAuthorLine =
    QStringLiteral("The Quelvane Cadrelant Generator developers");
const QString frmAbout::kDisclaimer = QStringLiteral(
    "Program (c) the Quelvane Cadrelant Generator developers. The game Quelvane is (c) its "
    "publisher, who neither made nor endorses this program.");

namespace {

// A straight line of the form, drawn in one colour and a pen width in pixels.
class LineControl final : public QWidget {
public:
    LineControl(QWidget *parent, const QColor &color) : QWidget(parent), color_(color)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), color_);
    }

private:
    QColor color_;
};

struct LabelSpec {
    QLabel *frmAbout::*member;
    const char *name;
    const QString *text;
    TwipsRect rect;
};

const QString kTitle = QStringLiteral("Quelvane Cadrelant Generator");

const LabelSpec kLabels[] = {
    {&frmAbout::lblTitle, "lblTitle", &kTitle, {2400, 240, 2925, 480}},
    {&frmAbout::lblVersion, "lblVersion", nullptr, {2400, 780, 3075, 225}},
    {&frmAbout::Label1, "Label1", &frmAbout::kAuthorLine, {2400, 1200, 3015, 375}},
    {&frmAbout::lblDisclaimer, "lblDisclaimer", &frmAbout::kDisclaimer, {255, 2040, 3510, 825}},
};

struct ButtonSpec {
    QPushButton *frmAbout::*member;
    const char *name;
    const char *caption;
    TwipsRect rect;
};

// In tab order.
constexpr ButtonSpec kButtons[] = {
    {&frmAbout::cmdOK, "cmdOK", "OK", {4200, 2040, 1260, 345}},
    {&frmAbout::cmdSysInfo, "cmdSysInfo", "&System Info...", {4200, 2520, 1245, 345}},
};

struct LineSpec {
    int x1, y1, x2, y2;
    QRgb color;
    int widthPixels;
};

// Members 0 and 1 of Line1: a white and a grey rule above the notice.
constexpr LineSpec kLines[] = {
    {120, 1800, 5669, 1800, qRgb(255, 255, 255), 2},
    {120, 1920, 5684, 1920, qRgb(128, 128, 128), 1},
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
constexpr TwipsRect kImage1 = {360, 120, 1680, 1560};

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
    setWindowIcon(QIcon(ProgramIcon()));
    setAccessibleName(QStringLiteral("About ") + kTitle);
    SetColors(this, SystemColor(SysColor::ButtonText), SystemColor(SysColor::WindowText));
    // Size only: the dialog centres itself when it is shown.
    setFixedSize(ToPixels(kInside).size());

    const QFont font = MsSansSerif(8.25);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ProgramIcon());
    Image1->setScaledContents(true);
    PlaceTwips(Image1, kImage1);

    for (const LabelSpec &entry : kLabels) {
        QLabel *label = MakeLabel(this, entry.name, entry.text ? *entry.text : QString(), entry.rect,
                                  font, Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        SetColors(label, DesignGreen(), SystemColor(SysColor::MenuText));
        this->*(entry.member) = label;
    }
    FitText(Label1);
    FitText(lblDisclaimer);

    for (size_t i = 0; i < std::size(kLines); ++i) {
        const LineSpec &entry = kLines[i];
        auto *line = new LineControl(this, QColor(entry.color));
        line->setObjectName(QStringLiteral("Line1"));
        const QRect from = ToPixels({entry.x1, entry.y1, entry.x2 - entry.x1, 0});
        line->setGeometry(from.left(), from.top(), from.width(), entry.widthPixels);
        Line1[i] = line;
    }

    QWidget *previous = nullptr;
    for (const ButtonSpec &entry : kButtons) {
        QPushButton *button = MakeButton(this, entry.name, QLatin1String(entry.caption), entry.rect, font);
        this->*(entry.member) = button;
        if (previous)
            setTabOrder(previous, button);
        previous = button;
    }
    cmdOK->setDefault(true);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
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
