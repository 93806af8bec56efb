#include "forms/sheet/OutputForm.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

#include <limits>
#include <QPainter>
#include <QPicture>
#include <algorithm>

#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Printer.h"
#include "platform/RecordText.h"
#include "platform/SysColors.h"
#include "platform/Twips.h"

namespace quelvane {

const QString OutputForm::kCaption = QStringLiteral("Quelvane Character Sheet");

namespace {

using R = CharacterRecordType;
using NumberField = int16_t R::*;

// Fields 1 to 16: the attributes, derived values and skill bases.
constexpr int kAttributeFieldCount = 16;

// ---- The sheet as designed, in twips ----

constexpr TwipsRect kClientArea = {0, 0, OutputForm::kClientWidth, OutputForm::kClientHeight};
constexpr TwipsRect kPicture1 = {0, 0, 13230, 11330};

struct FrameLabel {
    const char *name;
    const char *text;
    TwipsRect rect;
};
constexpr FrameLabel kTitle = {"lblTitle", "Quelvane Character Sheet", {120, 0, 10935, 855}};
constexpr FrameLabel kHeadings[] = {
    {"lblIdentification", "Identification", {120, 1680, 5055, 495}},
    {"lblSecretStuff", "Secret Stuff", {120, 3720, 5055, 495}},
    {"lblAttributes", "Attributes", {120, 5400, 5055, 495}},
};

struct ShapeSpec {
    const char *name;
    TwipsRect rect;
};
constexpr ShapeSpec kShapes[] = {
    {"Shape4", {120, 960, 5055, 615}},   // player
    {"Shape2", {120, 2160, 5055, 1455}}, // identification
    {"Shape5", {120, 4200, 5055, 1095}}, // secrets
    {"Shape1", {120, 5880, 5055, 5175}}, // attributes
    {"Shape3", {5280, 840, 5775, 10215}}, // skills
};

// Identity and secrets: labels 255 high, boxes 375 high.
struct IdentityRow {
    const char *label;
    int labelLeft, labelTop, labelWidth;
    const char *box; // nullptr: a printed line only
    int boxLeft, boxTop, boxWidth;
};
constexpr int kIdentityLabelHeight = 255;
constexpr int kIdentityBoxHeight = 375;
constexpr IdentityRow kIdentityRows[] = {
    {"Player:", 360, 1200, 615, "txtPlayer", 1200, 1080, 3855},
    {"Name:", 240, 2400, 615, "txtName", 1560, 2280, 3495},
    {"Security Clearance:  (IR)  R  O  Y  G  B  I  V  (UV)", 240, 2760, 4695, nullptr, 0, 0, 0},
    {"Service Group:", 240, 3240, 1215, "txtService", 1560, 3120, 3495},
    {"Secret Society:", 240, 4440, 1215, "txtSecretSociety", 1560, 4320, 3495},
    {"Mutation:", 240, 4920, 1215, "txtMutation", 1560, 4800, 3495},
};

// Attributes box: two pairs of columns.
struct AttributeCell {
    const char *label; // nullptr: an empty cell
    const char *box;
    NumberField field;
};
struct AttributeRow {
    int boxTop;
    int labelTop;
    AttributeCell first;
    AttributeCell second;
};
struct AttributeColumn {
    int labelLeft, labelWidth, boxLeft;
};
constexpr AttributeColumn kAttributeColumns[] = {{360, 1335, 1800}, {2640, 1695, 4320}};
constexpr int kAttributeLabelHeight = 255;
constexpr int kAttributeBoxWidth = 495;
constexpr int kAttributeBoxHeight = 360;
constexpr AttributeRow kAttributeRows[] = {
    {5955, 6000, {"Strength:", "txtStrength", &R::Strength}, {"Carrying Capacity:", "txtCarry", &R::Carry}},
    {6360, 6360, {nullptr, nullptr, nullptr}, {"Damage Bonus:", "txtDamage", &R::Damage}},
    {6840, 6840, {"Endurance:", "txtEndurance", &R::Endurance}, {"Macho Bonus:", "txtMacho", &R::Macho}},
    {7320, 7320, {"Agility:", "txtAgility", &R::Agility}, {"Agility Skill Base:", "txtAglBase", &R::AglBase}},
    {7800, 7800, {"Dexterity:", "txtDexterity", &R::Dexterity}, {"Dex Skill Base:", "txtDexBase", &R::DexBase}},
    {8280, 8280, {"Moxie:", "txtMoxie", &R::Moxie}, {"Moxie Skill Base:", "txtMoxBase", &R::MoxBase}},
    {8760, 8760, {"Chutzpah:", "txtChutzpah", &R::Chutzpah}, {"Chu Skill Base:", "txtChuBase", &R::ChuBase}},
    {9240, 9240, {"Mechanical Apt.:", "txtMechApt", &R::MechApt}, {"Mech Skill Base:", "txtMechBase", &R::MechBase}},
    {9720, 9720, {"Power:", "txtPower", &R::Power}, {nullptr, nullptr, nullptr}},
};
// "Power:" was drawn with another font and the default label colour.
constexpr const char *kPowerBox = "txtPower";

// Skills box: row k of a column stands at Top 960 + 360 k.
struct SkillRow {
    const char *label;
    bool groupBase; // underlined heading row of a group
    const char *box;
    NumberField field;
};
struct SkillColumn {
    int labelLeft, boxLeft;
    const SkillRow *rows;
    int rowCount;
};
constexpr int kSkillFirstTop = 960;
constexpr int kSkillRowStep = 360;
constexpr int kSkillLabelWidth = 1935;
constexpr int kSkillLabelHeight = 255;
constexpr int kSkillBoxWidth = 495;
constexpr int kSkillBoxHeight = 315;

constexpr SkillRow kFirstSkillColumn[] = {
    {"Chutzpah Skill Base:", true, "txtChutzpahSkillBase", &R::ChuBase},
    {"Bootlicking:", false, "txtBootlicking", &R::Bootlicking},
    {"Bribery:", false, "txtBribery", &R::Bribery},
    {"Con:", false, "txtCon", &R::Con},
    {"Fast Talk:", false, "txtFastTalk", &R::FastTalk},
    {"Forgery:", false, "txtForgery", &R::Forgery},
    {"Interrogation:", false, "txtInterrogation", &R::Interrogation},
    {"Intimidation:", false, "txtIntimidation", &R::Intimidation},
    {"Motivation:", false, "txtMotivation", &R::Motivation},
    {"Oratory:", false, "txtOratory", &R::Oratory},
    {"Psychescan:", false, "txtPsychescan", &R::Psychescan},
    {"Spurious Logic:", false, "txtSpuriousLogic", &R::SpuriousLogic},
    {"Agility Skill Base:", true, "txtAgilitySkillBase", &R::AglBase},
    {"Force Sword:", false, "txtForceSword", &R::ForceSword},
    {"Grenade:", false, "txtGrenade", &R::Grenade},
    {"Neurowhip:", false, "txtNeurowhip", &R::Neurowhip},
    {"Prim Melee Wpns:", false, "txtPrimMelee", &R::PrimMelee},
    {"Truncheon:", false, "txtTruncheon", &R::Truncheon},
    {"Unarmed:", false, "txtUnarmed", &R::Unarmed},
    {"Dexterity Skill Base:", true, "txtDexteritySkillBase", &R::DexBase},
    {"Energy Weapons:", false, "txtEnergyWeapons", &R::EnergyWeapons},
    {"Field Weapons:", false, "txtFieldWeapons", &R::FieldWeapons},
    {"Laser Weapons:", false, "txtLaserWeapons", &R::LaserWeapons},
    {"Prim Missle Wpns:", false, "txtMissle", &R::Missle},
    {"Projectile Weapons", false, "txtProjectileWeapons", &R::ProjectileWeapons},
    {"Vehicle Aim Wpns:", false, "txtVehicleAimedWeapons", &R::VehicleAimedWeapons},
    {"Vehicle Field Wpns:", false, "txtVehicleFieldWeapons", &R::VehicleFieldWeapons},
    {"Vehicle Lnch Wpns:", false, "txtVehicleLaunchedWeapons", &R::VehicleLaunchedWeapons},
};

constexpr SkillRow kSecondSkillColumn[] = {
    {"Mech Skill Base:", true, "txtMechanicalSkillBase", &R::MechBase},
    {"Autocar Op. && Maint.:", false, "txtAutocar", &R::Autocar},
    {"Copter Op. && Maint.:", false, "txtCopter", &R::Copter},
    {"Crawler Op. && Maint.:", false, "txtCrawler", &R::Crawler},
    {"Docbot Op. && Maint.:", false, "txtDocbot", &R::Docbot},
    {"Flybot Op. && Maint.:", false, "txtFlybot", &R::Flybot},
    {"Habitat Engineering:", false, "txtHabitat", &R::Habitat},
    {"Hover Op. && Maint.:", false, "txtHover", &R::Hover},
    {"Jackobot Op/Maint.:", false, "txtJackobot", &R::Jackobot},
    {"Scrubot Op. && Maint.:", false, "txtScrubot", &R::Scrubot},
    {"Transbot Op/Maint.:", false, "txtTransbot", &R::Transbot},
    {"Vulturecraft Op/Maint:", false, "txtVulturecraft", &R::Vulturecraft},
    {"Moxie Skill Base:", true, "txtMoxieSkillBase", &R::MoxBase},
    {"Biochem. Therapy:", false, "txtBiochemical", &R::Biochemical},
    {"Biosciences:", false, "txtBiosciences", &R::Biosciences},
    {"Chemical Eng:", false, "txtChemical", &R::Chemical},
    {"Data Analysis:", false, "txtAnalysis", &R::Analysis},
    {"Data Search:", false, "txtSearch", &R::Search},
    {"Demolition:", false, "txtDemolition", &R::Demolition},
    {"Electronic Eng:", false, "txtElectronic", &R::Electronic},
    {"Mechanical Eng:", false, "txtMechanical", &R::Mechanical},
    {"Medical:", false, "txtMedical", &R::Medical},
    {"Nuclear Eng:", false, "txtNuclear", &R::Nuclear},
    {"Security", false, "txtSecurity", &R::Security},
    {"Stealth:", false, "txtStealth", &R::Stealth},
    {"Surveillance:", false, "txtSurveillance", &R::Surveillance},
    // Designed below the panel, where it never reached the page; here it takes the
    // column's next free row, inside the skills box.
    {"Survival", false, "txtSurvival", &R::Survival},
};

constexpr SkillColumn kSkillColumns[] = {
    {5640, 7560, kFirstSkillColumn, int(std::size(kFirstSkillColumn))},
    {8520, 10440, kSecondSkillColumn, int(std::size(kSecondSkillColumn))},
};

// Each group's base heads its rows in the skills box.
struct GroupBaseBox {
    NumberField base;
    const char *box;
};
constexpr GroupBaseBox kGroupBaseBoxes[] = {
    {&R::AglBase, "txtAgilitySkillBase"},
    {&R::ChuBase, "txtChutzpahSkillBase"},
    {&R::DexBase, "txtDexteritySkillBase"},
    {&R::MechBase, "txtMechanicalSkillBase"},
    {&R::MoxBase, "txtMoxieSkillBase"},
};

// "txtStrength" -> "lblStrength".
QString LabelNameFor(const char *boxName)
{
    return QStringLiteral("lbl") + QLatin1String(boxName + 3);
}

// A text box as the sheet prints it: flat single-line border, one line of text, clipped.
class SheetBox final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        const int margin = TwipsToPixels(30);
        const QRect textArea = rect().adjusted(margin, 1, -margin, -1);
        painter.save();
        painter.setClipRect(textArea);
        painter.setPen(palette().color(QPalette::Text));
        painter.setFont(font());
        painter.drawText(textArea, int(alignment()) | Qt::TextSingleLine, text());
        painter.restore();
        painter.setPen(QPen(SystemColor(SysColor::WindowText), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

// An unfilled rectangle drawn with a one-pixel line in the window-text colour.
class SheetShape final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(SystemColor(SysColor::WindowText), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

// The stand-in font runs a little wider than the designed one: a caption that would be cut
// off is condensed just enough to fit its label.
void FitCaption(QLabel *label)
{
    const int available = label->contentsRect().width();
    QFont font = label->font();
    int stretch = 100;
    while (stretch > 80 && QFontMetrics(font).horizontalAdvance(label->text()) > available) {
        --stretch;
        font.setStretch(stretch);
    }
    label->setFont(font);
}

QLabel *AddLabel(QWidget *parent, const QString &name, const char *text, const TwipsRect &rect,
                 const QFont &font, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    QLabel *label = MakeLabel(parent, "", QLatin1String(text), rect, font, alignment);
    label->setObjectName(name);
    FitCaption(label);
    SetColors(label, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    return label;
}

QLabel *AddFramedLabel(QWidget *parent, const FrameLabel &entry, const QFont &font)
{
    QLabel *label = AddLabel(parent, QLatin1String(entry.name), entry.text, entry.rect, font,
                             Qt::AlignHCenter | Qt::AlignTop);
    label->setFrameShape(QFrame::Box);
    label->setFrameShadow(QFrame::Plain);
    label->setLineWidth(1);
    return label;
}

QLineEdit *AddBox(QWidget *parent, const char *name, const TwipsRect &rect, const QFont &font,
                  Qt::Alignment alignment)
{
    auto *box = new SheetBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(font);
    box->setAlignment(alignment | Qt::AlignVCenter);
    box->setFrame(false);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setMaxLength(std::numeric_limits<int>::max()); // never cut a text from the record
    SetColors(box, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    PlaceTwips(box, rect);
    return box;
}

} // namespace

QRectF SheetPlacement(const QSizeF &sheet, const QRectF &paper, const QRectF &printable)
{
    if (sheet.isEmpty() || printable.isEmpty())
        return {};
    qreal scale = 1;
    if (sheet.width() > printable.width() || sheet.height() > printable.height())
        scale = std::min(printable.width() / sheet.width(), printable.height() / sheet.height());
    const QSizeF size = sheet * scale;
    qreal left = paper.left() + (paper.width() - size.width()) / 2;
    left = std::max(printable.left(), std::min(left, printable.right() - size.width()));
    return QRectF(QPointF(left, printable.top()), size);
}

OutputForm::OutputForm(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("OutputForm"));
    setWindowTitle(kCaption);
    SetColors(this, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    resize(ToPixels(kClientArea).size());

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    SetColors(Picture1, SystemColor(SysColor::WindowText), SystemColor(SysColor::WindowBackground));
    PlaceTwips(Picture1, kPicture1);

    // Stacking as designed: rectangles at the bottom, labels over them, boxes on top.
    for (const ShapeSpec &entry : kShapes) {
        auto *shape = new SheetShape(Picture1);
        shape->setObjectName(QLatin1String(entry.name));
        PlaceTwips(shape, entry.rect);
    }

    AddFramedLabel(Picture1, kTitle, Arial(36, Bold | Italic));
    for (const FrameLabel &heading : kHeadings)
        AddFramedLabel(Picture1, heading, MsSansSerif(18, Bold | Italic));

    const QFont identityFont = MsSansSerif(9.75);
    for (const IdentityRow &row : kIdentityRows) {
        const QString name = row.box ? LabelNameFor(row.box) : QStringLiteral("lblSecurityClearance");
        AddLabel(Picture1, name, row.label,
                 {row.labelLeft, row.labelTop, row.labelWidth, kIdentityLabelHeight}, identityFont);
    }

    const QFont arial = Arial(9.75);
    const QFont underlined = Arial(9.75, Underline);
    for (const AttributeRow &row : kAttributeRows) {
        const AttributeCell *cells[] = {&row.first, &row.second};
        for (int c = 0; c < 2; ++c) {
            const AttributeCell &cell = *cells[c];
            if (!cell.label)
                continue;
            const AttributeColumn &column = kAttributeColumns[c];
            const bool power = qstrcmp(cell.box, kPowerBox) == 0;
            QLabel *label = AddLabel(Picture1, LabelNameFor(cell.box), cell.label,
                                     {column.labelLeft, row.labelTop, column.labelWidth, kAttributeLabelHeight},
                                     power ? MsSansSerif(9.75) : arial);
            if (power)
                SetColors(label, SystemColor(SysColor::ButtonText), SystemColor(SysColor::WindowBackground));
        }
    }

    for (const SkillColumn &column : kSkillColumns) {
        for (int k = 0; k < column.rowCount; ++k) {
            const SkillRow &row = column.rows[k];
            const int top = kSkillFirstTop + kSkillRowStep * k;
            AddLabel(Picture1, LabelNameFor(row.box), row.label,
                     {column.labelLeft, top, kSkillLabelWidth, kSkillLabelHeight},
                     row.groupBase ? underlined : arial);
        }
    }

    // The boxes, over everything else.
    for (const IdentityRow &row : kIdentityRows) {
        if (row.box)
            AddBox(Picture1, row.box, {row.boxLeft, row.boxTop, row.boxWidth, kIdentityBoxHeight},
                   identityFont, Qt::AlignLeft);
    }
    for (const AttributeRow &row : kAttributeRows) {
        const AttributeCell *cells[] = {&row.first, &row.second};
        for (int c = 0; c < 2; ++c) {
            if (cells[c]->box)
                AddBox(Picture1, cells[c]->box,
                       {kAttributeColumns[c].boxLeft, row.boxTop, kAttributeBoxWidth, kAttributeBoxHeight},
                       arial, Qt::AlignHCenter);
        }
    }
    for (const SkillColumn &column : kSkillColumns) {
        for (int k = 0; k < column.rowCount; ++k) {
            AddBox(Picture1, column.rows[k].box,
                   {column.boxLeft, kSkillFirstTop + kSkillRowStep * k, kSkillBoxWidth, kSkillBoxHeight},
                   arial, Qt::AlignHCenter);
        }
    }

    txtName_ = Box("txtName");
    txtService_ = Box("txtService");
    txtMutation_ = Box("txtMutation");
    txtSecretSociety_ = Box("txtSecretSociety");

    // The order the boxes are filled in: the sixteen numbers of the record first, then
    // (after the texts) the skills group by group, each group's base ahead of its skills.
    auto attributeBox = [](NumberField field) -> const char * {
        for (const AttributeRow &row : kAttributeRows) {
            for (const AttributeCell *cell : {&row.first, &row.second}) {
                if (cell->field && cell->field == field)
                    return cell->box;
            }
        }
        return nullptr;
    };
    auto skillBox = [](NumberField field) -> const char * {
        for (const SkillColumn &column : kSkillColumns) {
            for (int k = 0; k < column.rowCount; ++k) {
                if (column.rows[k].field == field)
                    return column.rows[k].box;
            }
        }
        return nullptr;
    };
    for (int i = 0; i < kAttributeFieldCount; ++i)
        numberBoxes_.emplace_back(Box(attributeBox(kFields[i].number)), kFields[i].number);
    for (const SkillGroup &group : kSkillGroups) {
        for (const GroupBaseBox &base : kGroupBaseBoxes) {
            if (base.base == group.base)
                numberBoxes_.emplace_back(Box(base.box), group.base);
        }
        for (int n = group.firstSkill; n <= group.lastSkill; ++n) {
            const NumberField field = kFields[kFirstSkillField + n - 1].number;
            numberBoxes_.emplace_back(Box(skillBox(field)), field);
        }
    }
}

QLineEdit *OutputForm::Box(const char *name) const
{
    QLineEdit *box = name ? Picture1->findChild<QLineEdit *>(QLatin1String(name)) : nullptr;
    Q_ASSERT_X(box, "OutputForm", name ? name : "a field without a box");
    return box;
}

void OutputForm::Form_Load()
{
    Fill(CharacterRecord);
}

void OutputForm::Fill(const CharacterRecordType &record)
{
    constexpr size_t kAttributeCount = kAttributeFieldCount;
    auto setNumber = [&record](const std::pair<QLineEdit *, NumberField> &entry) {
        entry.first->setText(QString::fromStdString(NumberText(record.*(entry.second))));
    };
    for (size_t i = 0; i < kAttributeCount; ++i)
        setNumber(numberBoxes_[i]);
    txtName_->setText(RecordText(record.Name));
    txtService_->setText(RecordText(ServiceGroupText(record)));
    txtMutation_->setText(RecordText(record.Mutant));
    txtSecretSociety_->setText(RecordText(record.Secret));
    for (size_t i = kAttributeCount; i < numberBoxes_.size(); ++i)
        setNumber(numberBoxes_[i]);
}

void OutputForm::DrawSheet(QPainter &painter, const QRectF &target)
{
    const QSize source = size();
    // Recorded first: rendered straight onto a printer, widgets are rasterised into one
    // bitmap; replayed from a picture they stay text and lines at any resolution.
    QPicture picture;
    {
        QPainter recorder(&picture);
        // Children only: the panel paints the page's background; the window's own is grey.
        render(&recorder, QPoint(), QRegion(QRect(QPoint(), source)), QWidget::DrawChildren);
    }
    // Playing a picture already scales it from its own DPI to the device's.
    const qreal played = qreal(painter.device()->logicalDpiX()) / picture.logicalDpiX();
    const qreal playedY = qreal(painter.device()->logicalDpiY()) / picture.logicalDpiY();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / source.width() / played, target.height() / source.height() / playedY);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

void OutputForm::DrawOnPage(QPainter &painter, const PrintPage &page)
{
    // Twips to the inch on paper, whatever the screen's pixels were.
    const qreal dotsPerTwip = page.dotsPerInch / kTwipsPerInch;
    const QSizeF designed(kClientWidth * dotsPerTwip, kClientHeight * dotsPerTwip);
    DrawSheet(painter, SheetPlacement(designed, page.paper, page.printable));
}

bool OutputForm::PrintForm(QString *error)
{
    return PrintOn(CurrentPrinter(), error);
}

bool OutputForm::PrintToPdf(const QString &path, QString *error)
{
    // The paper a printer of this locale would have; the sheet keeps its designed size on both.
    PdfFilePrinter file(path, QPageLayout(LocalePaperSize(), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    return PrintOn(file, error);
}

bool OutputForm::PrintOn(PrinterBackend &printer, QString *error)
{
    PrintJob job;
    job.title = kCaption;
    job.pageCount = 1;
    job.drawPage = [this](QPainter &painter, const PrintPage &page, int) { DrawOnPage(painter, page); };
    return printer.Print(job, error);
}

} // namespace quelvane
