// The character sheet: every element of its table at its place with its text and font, and
// the boxes filled from the record by the sheet's rules.
#include <QtTest>

#include <QLineEdit>
#include <QPainter>

#include "forms/sheet/OutputForm.h"
#include "forms/viewers/ViewSecret.h"
#include "gui/SysColors.h"
#include "model/modTarvock.h"
#include "model/SheetLayout.h"
#include "platform/Twips.h"

using namespace quelvane;

Q_DECLARE_METATYPE(QList<int>)

namespace {

// The skills box as designed: column, row, caption (with "&&"), underlined, box, field.
struct SkillLine {
    int column;
    int row;
    const char *caption;
    bool underlined;
    const char *box;
    const char *field;
};
const SkillLine kSkillLines[] = {
    {1, 0, "Chutzpah Skill Base:", true, "txtChutzpahSkillBase", "ChuBase"},
    {1, 1, "Bootlicking:", false, "txtBootlicking", "Bootlicking"},
    {1, 2, "Bribery:", false, "txtBribery", "Bribery"},
    {1, 3, "Con:", false, "txtCon", "Con"},
    {1, 4, "Fast Talk:", false, "txtFastTalk", "FastTalk"},
    {1, 5, "Forgery:", false, "txtForgery", "Forgery"},
    {1, 6, "Interrogation:", false, "txtInterrogation", "Interrogation"},
    {1, 7, "Intimidation:", false, "txtIntimidation", "Intimidation"},
    {1, 8, "Motivation:", false, "txtMotivation", "Motivation"},
    {1, 9, "Oratory:", false, "txtOratory", "Oratory"},
    {1, 10, "Psychescan:", false, "txtPsychescan", "Psychescan"},
    {1, 11, "Spurious Logic:", false, "txtSpuriousLogic", "SpuriousLogic"},
    {1, 12, "Agility Skill Base:", true, "txtAgilitySkillBase", "AglBase"},
    {1, 13, "Force Sword:", false, "txtForceSword", "ForceSword"},
    {1, 14, "Grenade:", false, "txtGrenade", "Grenade"},
    {1, 15, "Neurowhip:", false, "txtNeurowhip", "Neurowhip"},
    {1, 16, "Prim Melee Wpns:", false, "txtPrimMelee", "PrimMelee"},
    {1, 17, "Truncheon:", false, "txtTruncheon", "Truncheon"},
    {1, 18, "Unarmed:", false, "txtUnarmed", "Unarmed"},
    {1, 19, "Dexterity Skill Base:", true, "txtDexteritySkillBase", "DexBase"},
    {1, 20, "Energy Weapons:", false, "txtEnergyWeapons", "EnergyWeapons"},
    {1, 21, "Field Weapons:", false, "txtFieldWeapons", "FieldWeapons"},
    {1, 22, "Laser Weapons:", false, "txtLaserWeapons", "LaserWeapons"},
    {1, 23, "Prim Missle Wpns:", false, "txtMissle", "Missle"},
    {1, 24, "Projectile Weapons", false, "txtProjectileWeapons", "ProjectileWeapons"},
    {1, 25, "Vehicle Aim Wpns:", false, "txtVehicleAimedWeapons", "VehicleAimedWeapons"},
    {1, 26, "Vehicle Field Wpns:", false, "txtVehicleFieldWeapons", "VehicleFieldWeapons"},
    {1, 27, "Vehicle Lnch Wpns:", false, "txtVehicleLaunchedWeapons", "VehicleLaunchedWeapons"},
    {2, 0, "Mech Skill Base:", true, "txtMechanicalSkillBase", "MechBase"},
    {2, 1, "Autocar Op. && Maint.:", false, "txtAutocar", "Autocar"},
    {2, 2, "Copter Op. && Maint.:", false, "txtCopter", "Copter"},
    {2, 3, "Crawler Op. && Maint.:", false, "txtCrawler", "Crawler"},
    {2, 4, "Docbot Op. && Maint.:", false, "txtDocbot", "Docbot"},
    {2, 5, "Flybot Op. && Maint.:", false, "txtFlybot", "Flybot"},
    {2, 6, "Habitat Engineering:", false, "txtHabitat", "Habitat"},
    {2, 7, "Hover Op. && Maint.:", false, "txtHover", "Hover"},
    {2, 8, "Jackobot Op/Maint.:", false, "txtJackobot", "Jackobot"},
    {2, 9, "Scrubot Op. && Maint.:", false, "txtScrubot", "Scrubot"},
    {2, 10, "Transbot Op/Maint.:", false, "txtTransbot", "Transbot"},
    {2, 11, "Vulturecraft Op/Maint:", false, "txtVulturecraft", "Vulturecraft"},
    {2, 12, "Moxie Skill Base:", true, "txtMoxieSkillBase", "MoxBase"},
    {2, 13, "Biochem. Therapy:", false, "txtBiochemical", "Biochemical"},
    {2, 14, "Biosciences:", false, "txtBiosciences", "Biosciences"},
    {2, 15, "Chemical Eng:", false, "txtChemical", "Chemical"},
    {2, 16, "Data Analysis:", false, "txtAnalysis", "Analysis"},
    {2, 17, "Data Search:", false, "txtSearch", "Search"},
    {2, 18, "Demolition:", false, "txtDemolition", "Demolition"},
    {2, 19, "Electronic Eng:", false, "txtElectronic", "Electronic"},
    {2, 20, "Mechanical Eng:", false, "txtMechanical", "Mechanical"},
    {2, 21, "Medical:", false, "txtMedical", "Medical"},
    {2, 22, "Nuclear Eng:", false, "txtNuclear", "Nuclear"},
    {2, 23, "Security", false, "txtSecurity", "Security"},
    {2, 24, "Stealth:", false, "txtStealth", "Stealth"},
    {2, 25, "Surveillance:", false, "txtSurveillance", "Surveillance"},
    // Moved up from below the panel to the column's next free row.
    {2, 26, "Survival", false, "txtSurvival", "Survival"},
};

// The attributes box: label caption, box, field, label and box rectangles.
struct AttributeCell {
    const char *caption;
    const char *box;
    const char *field;
    QList<int> label;
    QList<int> rect;
};
const AttributeCell kAttributeCells[] = {
    {"Strength:", "txtStrength", "Strength", {360, 6000, 1335, 255}, {1800, 5955, 495, 360}},
    {"Carrying Capacity:", "txtCarry", "Carry", {2640, 6000, 1695, 255}, {4320, 5955, 495, 360}},
    {"Damage Bonus:", "txtDamage", "Damage", {2640, 6360, 1695, 255}, {4320, 6360, 495, 360}},
    {"Endurance:", "txtEndurance", "Endurance", {360, 6840, 1335, 255}, {1800, 6840, 495, 360}},
    {"Macho Bonus:", "txtMacho", "Macho", {2640, 6840, 1695, 255}, {4320, 6840, 495, 360}},
    {"Agility:", "txtAgility", "Agility", {360, 7320, 1335, 255}, {1800, 7320, 495, 360}},
    {"Agility Skill Base:", "txtAglBase", "AglBase", {2640, 7320, 1695, 255}, {4320, 7320, 495, 360}},
    {"Dexterity:", "txtDexterity", "Dexterity", {360, 7800, 1335, 255}, {1800, 7800, 495, 360}},
    {"Dex Skill Base:", "txtDexBase", "DexBase", {2640, 7800, 1695, 255}, {4320, 7800, 495, 360}},
    {"Moxie:", "txtMoxie", "Moxie", {360, 8280, 1335, 255}, {1800, 8280, 495, 360}},
    {"Moxie Skill Base:", "txtMoxBase", "MoxBase", {2640, 8280, 1695, 255}, {4320, 8280, 495, 360}},
    {"Chutzpah:", "txtChutzpah", "Chutzpah", {360, 8760, 1335, 255}, {1800, 8760, 495, 360}},
    {"Chu Skill Base:", "txtChuBase", "ChuBase", {2640, 8760, 1695, 255}, {4320, 8760, 495, 360}},
    {"Mechanical Apt.:", "txtMechApt", "MechApt", {360, 9240, 1335, 255}, {1800, 9240, 495, 360}},
    {"Mech Skill Base:", "txtMechBase", "MechBase", {2640, 9240, 1695, 255}, {4320, 9240, 495, 360}},
    {"Power:", "txtPower", "Power", {360, 9720, 1335, 255}, {1800, 9720, 495, 360}},
};

QList<int> Twips(const QWidget *widget)
{
    const TwipsRect r = ToTwips(widget->geometry());
    return {r.left, r.top, r.width, r.height};
}

QList<int> Twips(const TwipsRect &r)
{
    return {r.left, r.top, r.width, r.height};
}

// The caption or rectangle of that name, or the field whose box has it.
const sheet::Entry &Element(const QString &name)
{
    const sheet::Entry *entry = sheet::FindEntry(name.toStdString());
    static const sheet::Entry none = {};
    return entry ? *entry : none;
}

// The current row's labelled box as the sheet shows every one: the label named for its box
// ("lbl" for "txt") with the row's caption at `label`, in 9.75 points; the box at `rect`,
// centred. Columns: caption, box, label, rect.
void CheckLabelledBox(const sheet::Entry &shown)
{
    QFETCH(QString, caption);
    QFETCH(QString, box);
    QFETCH(QList<int>, label);
    QFETCH(QList<int>, rect);
    QCOMPARE(QString(shown.name), QStringLiteral("lbl") + box.mid(3));
    QCOMPARE(QString(shown.caption), caption);
    QCOMPARE(Twips(shown.rect), label);
    QCOMPARE(shown.font.points, 9.75);
    QCOMPARE(Twips(shown.boxRect), rect);
    QCOMPARE(shown.boxAlign, Align::Centre);
}

QStringList BoxNames()
{
    QStringList names;
    for (const sheet::Entry &entry : sheet::SheetEntries()) {
        if (entry.kind == sheet::Kind::Field)
            names << QString::fromLatin1(entry.box);
    }
    return names;
}

// One pixel is 15 twips: the designed values round to the nearest pixel.
bool NearTwips(const QList<int> &actual, const QList<int> &designed)
{
    return qAbs(actual[0] - designed[0]) <= 8 && qAbs(actual[1] - designed[1]) <= 8
        && qAbs(actual[2] - designed[2]) <= 15 && qAbs(actual[3] - designed[3]) <= 15;
}

QString Describe(const QList<int> &r)
{
    return QStringLiteral("%1, %2, %3 x %4").arg(r[0]).arg(r[1]).arg(r[2]).arg(r[3]);
}

int16_t &NumberField(CharacterRecordType &record, const char *name)
{
    const int index = FieldIndex(name);
    Q_ASSERT(index >= 0 && kFields[index].kind == FieldKind::Number);
    return record.*(kFields[index].number);
}

// Every number field a value of its own, negatives included, and every text its own text.
CharacterRecordType DistinctRecord()
{
    CharacterRecordType record;
    for (int i = 0; i < kFieldCount; ++i) {
        if (kFields[i].kind == FieldKind::Number)
            record.*(kFields[i].number) = int16_t(i % 3 == 0 ? -(i + 1) : 100 + i);
        else
            record.*(kFields[i].text) = std::string("text of ") + kFields[i].name;
    }
    return record;
}

} // namespace

class TestOutputForm : public QObject {
    Q_OBJECT

    OutputForm *form_ = nullptr;

    QString Box(const QString &name) const { return form_->Text(name); }

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init()
    {
        CharacterRecord = {};
        form_ = new OutputForm;
    }

    void cleanup()
    {
        delete form_;
        form_ = nullptr;
        CharacterRecord = {};
    }

    void windowIsTheHiddenSheetOfItsDesignedSize()
    {
        QCOMPARE(form_->objectName(), QString("OutputForm"));
        QCOMPARE(form_->windowTitle(), QString("Quelvane Character Sheet"));
        QVERIFY(form_->isWindow());
        QVERIFY(!form_->isVisible());
        const TwipsRect client = ToTwips(QRect(QPoint(), form_->size()));
        QCOMPARE(client.width, 11340);
        QCOMPARE(client.height, 11115);
        QCOMPARE(form_->Picture1->objectName(), QString("Picture1"));
        QVERIFY(NearTwips(Twips(form_->Picture1), {0, 0, 13230, 11330}));
        QCOMPARE(form_->Picture1->palette().color(QPalette::Window), SystemColor(SysColor::WindowBackground));
        QVERIFY(form_->Picture1->autoFillBackground());
    }

    void everyElementStandsOnThePanel()
    {
        QVERIFY(sheet::SheetEntries().size() > 80);
        for (const sheet::Entry &entry : sheet::SheetEntries()) {
            QList<TwipsRect> rects = {entry.rect};
            if (entry.kind == sheet::Kind::Field)
                rects << entry.boxRect;
            // Everything printed lies between Left 120 and 11055, Top 0 and 11055.
            for (const TwipsRect &r : rects) {
                QVERIFY2(r.left >= 120 && r.right() <= 11055 && r.top >= 0 && r.bottom() <= 11055,
                         qPrintable(QString(entry.name) + ": " + Describe(Twips(r))));
            }
        }
    }

    void titleAndHeadings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("rect");
        QTest::addColumn<qreal>("points");
        QTest::addRow("title") << "lblTitle" << "Quelvane Character Sheet" << QList<int>{120, 0, 10935, 855} << 36.0;
        QTest::addRow("Identification") << "lblIdentification" << "Identification" << QList<int>{120, 1680, 5055, 495} << 18.0;
        QTest::addRow("Secret Stuff") << "lblSecretStuff" << "Secret Stuff" << QList<int>{120, 3720, 5055, 495} << 18.0;
        QTest::addRow("Attributes") << "lblAttributes" << "Attributes" << QList<int>{120, 5400, 5055, 495} << 18.0;
    }
    void titleAndHeadings()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QList<int>, rect);
        QFETCH(qreal, points);
        const sheet::Entry &label = Element(name);
        QCOMPARE(label.kind, sheet::Kind::Caption);
        QCOMPARE(QString(label.caption), text);
        QCOMPARE(Twips(label.rect), rect);
        QCOMPARE(label.font.points, points);
        QCOMPARE(label.font.style, unsigned(Bold | Italic));
        QCOMPARE(label.captionAlign, Align::Centre);
        // A single line around the whole label.
        QVERIFY(label.framed);
    }

    void rectangles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("rect");
        QTest::addRow("player box") << "Shape4" << QList<int>{120, 960, 5055, 615};
        QTest::addRow("identification box") << "Shape2" << QList<int>{120, 2160, 5055, 1455};
        QTest::addRow("secrets box") << "Shape5" << QList<int>{120, 4200, 5055, 1095};
        QTest::addRow("attributes box") << "Shape1" << QList<int>{120, 5880, 5055, 5175};
        QTest::addRow("skills box") << "Shape3" << QList<int>{5280, 840, 5775, 10215};
    }
    void rectangles()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, rect);
        const sheet::Entry &shape = Element(name);
        QCOMPARE(shape.kind, sheet::Kind::Rectangle);
        QCOMPARE(Twips(shape.rect), rect);

        // Drawn as an unfilled rectangle in the window-text colour: the middle of its left
        // edge is marked, the middle of the rectangle is not.
        QImage image(form_->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        form_->DrawSheet(painter, QRectF(QPointF(), QSizeF(form_->size())));
        painter.end();
        const QRect area = ToPixels({rect[0], rect[1], rect[2], rect[3]});
        QCOMPARE(QColor(image.pixel(area.left(), area.center().y())), SystemColor(SysColor::WindowText));
        QCOMPARE(QColor(image.pixel(area.right(), area.center().y())), SystemColor(SysColor::WindowText));
        if (name == "Shape4") // the player box holds only the empty txtPlayer: its middle is white
            QCOMPARE(QColor(image.pixel(area.left() + 4, area.center().y())), SystemColor(SysColor::WindowBackground));
    }

    void identityAndSecrets_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<int>>("label");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<int>>("rect");
        QTest::addRow("Player") << "Player:" << QList<int>{360, 1200, 615, 255} << "txtPlayer" << QList<int>{1200, 1080, 3855, 375};
        QTest::addRow("Name") << "Name:" << QList<int>{240, 2400, 615, 255} << "txtName" << QList<int>{1560, 2280, 3495, 375};
        QTest::addRow("Security Clearance") << "Security Clearance:  (IR)  R  O  Y  G  B  I  V  (UV)"
                                            << QList<int>{240, 2760, 4695, 255} << QString() << QList<int>{};
        QTest::addRow("Service Group") << "Service Group:" << QList<int>{240, 3240, 1215, 255} << "txtService" << QList<int>{1560, 3120, 3495, 375};
        QTest::addRow("Secret Society") << "Secret Society:" << QList<int>{240, 4440, 1215, 255} << "txtSecretSociety" << QList<int>{1560, 4320, 3495, 375};
        QTest::addRow("Mutation") << "Mutation:" << QList<int>{240, 4920, 1215, 255} << "txtMutation" << QList<int>{1560, 4800, 3495, 375};
    }
    void identityAndSecrets()
    {
        QFETCH(QString, caption);
        QFETCH(QList<int>, label);
        QFETCH(QString, box);
        QFETCH(QList<int>, rect);
        const sheet::Entry *shown = nullptr;
        for (const sheet::Entry &candidate : sheet::SheetEntries()) {
            if (candidate.caption && caption == QLatin1String(candidate.caption))
                shown = &candidate;
        }
        QVERIFY2(shown, qPrintable(caption));
        QCOMPARE(Twips(shown->rect), label);
        QCOMPARE(shown->font.family, Family::MsSansSerif);
        QCOMPARE(shown->font.points, 9.75);
        QCOMPARE(shown->font.style, unsigned(Regular));
        QCOMPARE(shown->ink, SysColor::WindowText);
        if (box.isEmpty()) {
            QCOMPARE(shown->kind, sheet::Kind::Caption);
            return;
        }
        QCOMPARE(QString(shown->box), box);
        QCOMPARE(Twips(shown->boxRect), rect);
        QCOMPARE(shown->boxFont.points, 9.75);
        QCOMPARE(shown->boxAlign, Align::Left);
    }

    void attributes_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<int>>("label");
        QTest::addColumn<QList<int>>("rect");
        for (const AttributeCell &cell : kAttributeCells)
            QTest::addRow("%s", cell.box) << cell.caption << cell.box << cell.label << cell.rect;
    }
    void attributes()
    {
        QFETCH(QString, box);
        const sheet::Entry &shown = Element(box);
        CheckLabelledBox(shown);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(shown.font.style, unsigned(Regular));
        // "Power:" keeps the default label colour, the button-text colour, and its own font.
        QCOMPARE(shown.ink, box == "txtPower" ? SysColor::ButtonText : SysColor::WindowText);
        QCOMPARE(shown.font.family, box == "txtPower" ? Family::MsSansSerif : Family::Arial);
        QCOMPARE(shown.boxFont.points, 9.75);
    }

    void skillColumns_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("underlined");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<int>>("label");
        QTest::addColumn<QList<int>>("rect");
        for (const SkillLine &line : kSkillLines) {
            const int top = 960 + 360 * line.row;
            const int labelLeft = line.column == 1 ? 5640 : 8520;
            const int boxLeft = line.column == 1 ? 7560 : 10440;
            QTest::addRow("column %d row %d: %s", line.column, line.row, line.box)
                << QString(line.caption) << line.underlined << line.box
                << QList<int>{labelLeft, top, 1935, 255} << QList<int>{boxLeft, top, 495, 315};
        }
    }
    void skillColumns()
    {
        QFETCH(bool, underlined);
        QFETCH(QString, box);
        const sheet::Entry &shown = Element(box);
        CheckLabelledBox(shown);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(bool(shown.font.style & Underline), underlined);
        QCOMPARE(shown.font.family, Family::Arial);
        // Inside the skills box.
        const TwipsRect skills = Element("Shape3").rect;
        QVERIFY(skills.Contains(shown.rect) && skills.Contains(shown.boxRect));
    }

    void sheetHasOneBoxPerFieldAndThePlayerBox()
    {
        // 16 attribute boxes, 5 group bases, 50 skills, name, service, mutation, society, player.
        QCOMPARE(BoxNames().size(), 16 + 5 + 50 + 4 + 1);
        QCOMPARE(BoxNames().removeDuplicates(), 0);
    }

    void fillShowsEachFieldInItsBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        for (const AttributeCell &cell : kAttributeCells)
            QTest::addRow("%s", cell.box) << cell.box << cell.field;
        for (const SkillLine &line : kSkillLines)
            QTest::addRow("%s", line.box) << line.box << line.field;
    }
    void fillShowsEachFieldInItsBox()
    {
        QFETCH(QString, box);
        QFETCH(QString, field);
        CharacterRecord = DistinctRecord();
        form_->Form_Load();
        const int16_t value = NumberField(CharacterRecord, field.toLatin1().constData());
        QCOMPARE(Box(box), QString::number(value));
    }

    void fillShowsTheTexts()
    {
        CharacterRecord = DistinctRecord();
        form_->Form_Load();
        QCOMPARE(Box("txtName"), QString("text of Name"));
        QCOMPARE(Box("txtService"), QString("text of Service"));
        QCOMPARE(Box("txtMutation"), QString("text of Mutant"));
        QCOMPARE(Box("txtSecretSociety"), QString("text of Secret"));
        QCOMPARE(Box("txtPlayer"), QString());
    }

    void textsDecodeAsInTheViewers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addRow("Windows-1252 umlaut") << QByteArray("M\xFCller") << QStringLiteral("M\u00FCller");
        QTest::addRow("UTF-8 umlaut") << QByteArray("M\xC3\xBCller") << QStringLiteral("M\u00FCller");
        QTest::addRow("Windows-1252 euro and curly quotes")
            << QByteArray("\x80 \x93x\x94") << QStringLiteral("\u20AC \u201Cx\u201D");
        QTest::addRow("a byte Windows-1252 leaves unassigned") << QByteArray("a\x81") << QStringLiteral("a\u0081");
        QTest::addRow("a UTF-8 sequence cut short") << QByteArray("Caf\xC3") << QStringLiteral("Caf\u00C3");
        QTest::addRow("plain ASCII") << QByteArray("ABC-R-CEA") << QStringLiteral("ABC-R-CEA");
    }
    void textsDecodeAsInTheViewers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        CharacterRecord.Name = bytes.toStdString();
        CharacterRecord.Mutant = bytes.toStdString();
        CharacterRecord.Secret = bytes.toStdString();
        CharacterRecord.Service = "Internal Security";
        CharacterRecord.Cover = bytes.toStdString();
        form_->Form_Load();
        QCOMPARE(Box("txtName"), shown);
        QCOMPARE(Box("txtMutation"), shown);
        QCOMPARE(Box("txtSecretSociety"), shown);
        QCOMPARE(Box("txtService"), shown + " (IS)");
        // The same text in the secrets viewer.
        ViewSecret viewer;
        viewer.Form_Load();
        QCOMPARE(viewer.findChild<QLineEdit *>("txtName")->text(), shown);
        QCOMPARE(viewer.findChild<QLineEdit *>("txtCover")->text(), shown);
    }

    void serviceGroupRule_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("cover");
        QTest::addColumn<QString>("shown");
        QTest::addRow("agent: cover with (IS)") << "Internal Security" << "Armed Forces" << "Armed Forces (IS)";
        QTest::addRow("other letter case: unchanged") << "internal security" << "Armed Forces" << "internal security";
        QTest::addRow("trailing blank: unchanged") << "Internal Security " << "Armed Forces" << "Internal Security ";
        QTest::addRow("agent with a one-space cover") << "Internal Security" << " " << "  (IS)";
        QTest::addRow("agent with an empty cover") << "Internal Security" << "" << " (IS)";
        QTest::addRow("not an agent: service as is") << "Technical Services" << " " << "Technical Services";
        QTest::addRow("nothing yet") << "" << "" << "";
    }
    void serviceGroupRule()
    {
        QFETCH(QString, service);
        QFETCH(QString, cover);
        QFETCH(QString, shown);
        CharacterRecord.Service = service.toStdString();
        CharacterRecord.Cover = cover.toStdString();
        form_->Form_Load();
        QCOMPARE(Box("txtService"), shown);
        // An agent's true service is printed nowhere.
        if (service == "Internal Security") {
            for (const QString &box : BoxNames())
                QVERIFY(!Box(box).contains("Internal Security"));
        }
    }

    void beforeAnyCharacterZerosAndEmptyBoxes()
    {
        form_->Form_Load();
        int zeros = 0;
        for (const QString &name : BoxNames()) {
            if (name == "txtPlayer" || name == "txtName" || name == "txtService" || name == "txtMutation"
                || name == "txtSecretSociety") {
                QVERIFY2(Box(name).isEmpty(), qPrintable(name));
            } else {
                QCOMPARE(Box(name), QString("0"));
                ++zeros;
            }
        }
        QCOMPARE(zeros, 71);
    }

    void numbersPrintAsPlainDecimal_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::addRow("negative") << -3 << "-3";
        QTest::addRow("zero") << 0 << "0";
        QTest::addRow("two digits") << 10 << "10";
        QTest::addRow("smallest") << -32768 << "-32768";
        QTest::addRow("largest") << 32767 << "32767";
    }
    void numbersPrintAsPlainDecimal()
    {
        QFETCH(int, value);
        QFETCH(QString, shown);
        CharacterRecord.Strength = int16_t(value);
        CharacterRecord.Survival = int16_t(value);
        CharacterRecord.MoxBase = int16_t(value);
        form_->Form_Load();
        QCOMPARE(Box("txtStrength"), shown);
        QCOMPARE(Box("txtSurvival"), shown);
        // A skill base shows twice: in the attributes box and at the head of its group.
        QCOMPARE(Box("txtMoxBase"), shown);
        QCOMPARE(Box("txtMoxieSkillBase"), shown);
    }

    void boxesAreFilledInTheDesignedOrder()
    {
        // The sheet fills its boxes in the order of its table.
        const QStringList filled = BoxNames().filter(QRegularExpression("^(?!txtPlayer$)"));

        QStringList expected;
        for (const char *name : {"Strength", "Endurance", "Agility", "Dexterity", "Moxie", "Chutzpah", "MechApt",
                                 "Power", "Carry", "Damage", "Macho", "AglBase", "DexBase", "MoxBase", "ChuBase",
                                 "MechBase"})
            expected << QStringLiteral("txt") + name;
        expected << "txtName" << "txtService" << "txtMutation" << "txtSecretSociety";
        // Groups in record order (agility, chutzpah, dexterity, mechanical, moxie), base first.
        const char *groupBases[] = {"txtAgilitySkillBase", "txtChutzpahSkillBase", "txtDexteritySkillBase",
                                    "txtMechanicalSkillBase", "txtMoxieSkillBase"};
        const int groupStarts[] = {13, 1, 20, 1, 13}; // rows of each group's first skill
        const int groupColumns[] = {1, 1, 1, 2, 2};
        const int groupSizes[] = {6, 11, 8, 11, 14};
        for (int g = 0; g < 5; ++g) {
            expected << groupBases[g];
            for (int s = 0; s < groupSizes[g]; ++s) {
                for (const SkillLine &line : kSkillLines) {
                    if (line.column == groupColumns[g] && line.row == groupStarts[g] + s)
                        expected << line.box;
                }
            }
        }
        QCOMPARE(expected.size(), 16 + 4 + 5 + 50);
        QCOMPARE(filled, expected);
    }

    void fillReadsOnlyTheGivenRecord()
    {
        CharacterRecordType other = DistinctRecord();
        other.Name = "ZZZ-R-ZZZ";
        form_->Fill(other);
        QCOMPARE(Box("txtName"), QString("ZZZ-R-ZZZ"));
        QCOMPARE(CharacterRecord, CharacterRecordType{});
    }
};

QTEST_MAIN(TestOutputForm)
#include "test_output_form.moc"
