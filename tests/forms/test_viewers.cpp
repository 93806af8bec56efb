#include <QtTest>

#include <QStyle>
#include <QStyleOptionFrame>

#include <limits>

#include <QAccessible>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "gui/Fonts.h"
#include "GuiFixture.h"
#include "model/modTarvock.h"
#include "platform/Twips.h"
#include "TabWalk.h"

using namespace quelvane;

namespace {

// One pixel is 15 twips: designed places round to the nearest pixel.
bool NearTwips(const QRect &pixels, const QRect &twips, QString *why)
{
    const TwipsRect r = ToTwips(pixels);
    const bool ok = qAbs(r.left - twips.x()) <= 8 && qAbs(r.top - twips.y()) <= 8
        && qAbs(r.width - twips.width()) <= 15 && qAbs(r.height - twips.height()) <= 15;
    *why = QString("at %1,%2 %3x%4 twips, designed %5,%6 %7x%8")
               .arg(r.left).arg(r.top).arg(r.width).arg(r.height)
               .arg(twips.x()).arg(twips.y()).arg(twips.width()).arg(twips.height());
    return ok;
}

const QColor kGreen(0, 192, 0);

enum CaptionStyle { BoldCaption, HeadingCaption, SkillCaption };

int16_t &NumberField(const char *name)
{
    const int index = FieldIndex(name);
    Q_ASSERT(index >= 0 && kFields[index].kind == FieldKind::Number);
    return CharacterRecord.*(kFields[index].number);
}

std::string &TextField(const char *name)
{
    const int index = FieldIndex(name);
    Q_ASSERT(index >= 0 && kFields[index].kind == FieldKind::Text);
    return CharacterRecord.*(kFields[index].text);
}

// Every number field a different value, a third of them negative.
void FillRecordWithDistinctNumbers()
{
    for (int i = 0; i < kFieldCount; ++i) {
        if (kFields[i].kind == FieldKind::Number)
            CharacterRecord.*(kFields[i].number) = int16_t(i % 3 == 0 ? -(i + 1) : i * 3);
    }
    CharacterRecord.Name = "ABC-R-DEF";
    CharacterRecord.Service = "HPD & MC";
    CharacterRecord.Cover = " ";
    CharacterRecord.Mutant = "Telepathy";
    CharacterRecord.Secret = "Psion";
}

} // namespace

class TestViewers : public QObject {
    Q_OBJECT

    std::optional<testing::MainFixture> gui_;
    QStringList destroyed_;

    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // Every top-level window of that name that still exists.
    static QList<QWidget *> Windows(const QString &name)
    {
        FlushDeletes();
        QList<QWidget *> found;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name)
                found << w;
        return found;
    }

    static QWidget *Loaded(const QString &name)
    {
        if (name == "ViewStats")
            return FormInstance<ViewStats>::IfLoaded();
        if (name == "ViewSkills")
            return FormInstance<ViewSkills>::IfLoaded();
        if (name == "ViewSecret")
            return FormInstance<ViewSecret>::IfLoaded();
        if (name == "Main")
            return MainForm();
        return nullptr;
    }

    // Opens a viewer the way a user does: its button on Main.
    QWidget *Open(const QString &name)
    {
        const char *button = name == "ViewStats" ? "cmdStats" : name == "ViewSkills" ? "cmdSkills" : "cmdSecret";
        gui_->main->findChild<QPushButton *>(button)->click();
        return Loaded(name);
    }

    static QLineEdit *Box(QWidget *window, const char *name) { return window->findChild<QLineEdit *>(name); }

    // The designed tables, written out as the windows were drawn.
    static void AddCaptionedColumns()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QRect>("captionTwips");
        QTest::addColumn<QRect>("boxTwips");
        QTest::addColumn<int>("style");
        QTest::addColumn<QColor>("captionBack");

        struct Cell {
            int top;
            const char *box;
            const char *shown;
        };
        // Attributes: two columns, rows 480 apart.
        const Cell statsLeft[] = {{120, "txtStrength", "Strength:"},       {1080, "txtEndurance", "Endurance:"},
                                  {1560, "txtAgility", "Agility:"},        {2040, "txtDexterity", "Dexterity:"},
                                  {2520, "txtMoxie", "Moxie:"},            {3000, "txtChutzpah", "Chutzpah:"},
                                  {3480, "txtMechApt", "Mechanical Apt.:"}, {3960, "txtPower", "Power:"}};
        const Cell statsRight[] = {{120, "txtCarry", "Carrying Capacity:"},
                                   {600, "txtDamage", "Damage Bonus:"},
                                   {1080, "txtMacho", "Macho Bonus:"},
                                   {1560, "txtAglBase", "Agility Skill Base:"},
                                   {2040, "txtDexBase", "Dexterity Skill Base:"},
                                   {2520, "txtMoxBase", "Moxie Skill Base:"},
                                   {3000, "txtChuBase", "Chutzpah Skill Base:"},
                                   {3480, "txtMechBase", "Mechanical Skill Base:"}};
        for (const Cell &c : statsLeft)
            QTest::addRow("ViewStats %s", c.box) << "ViewStats" << c.box << c.shown << QRect(0, c.top, 1935, 375)
                                                 << QRect(2040, c.top, 495, 285) << int(BoldCaption) << QColor(Qt::black);
        for (const Cell &c : statsRight)
            QTest::addRow("ViewStats %s", c.box) << "ViewStats" << c.box << c.shown << QRect(2880, c.top, 2415, 375)
                                                 << QRect(5400, c.top, 495, 285) << int(BoldCaption) << QColor(Qt::black);

        // Skills: three screen columns; headings are the bases.
        struct SkillCell {
            int top;
            const char *box;
            const char *shown;
            bool heading = false;
            int wideLeft = 0;
        };
        const SkillCell column1[] = {
            {120, "txtAgilityBase", "Agility Skill Base:", true}, {480, "txtForceSword", "Force Sword:"},
            {840, "txtGrenade", "Grenade:"}, {1200, "txtNeurowhip", "Neurowhip:"},
            {1560, "txtPrimMelee", "Primitive Melee Weapons:"}, {1920, "txtTruncheon", "Truncheon:"},
            {2280, "txtUnarmed", "Unarmed:"}, {2760, "txtChuBase", "Chutzpah Skill Base:", true},
            {3120, "txtBootlicking", "Bootlicking:"}, {3480, "txtBribery", "Bribery:"}, {3840, "txtCon", "Con:"},
            {4200, "txtFastTalk", "Fast Talk:"}, {4560, "txtForgery", "Forgery:"},
            {4920, "txtInterrogation", "Interrogation:"}, {5280, "txtIntimidation", "Intimidation:"},
            {5640, "txtMotivation", "Motivation:"}, {6000, "txtOratory", "Oratory:"},
            {6360, "txtPsychescan", "Psychescan:"}, {6720, "txtSpuriousLogic", "Spurious Logic:"}};
        const SkillCell column2[] = {
            {120, "txtDexBase", "Dexterity Skill Base:", true}, {480, "txtEnergyWeapons", "Energy Weapons:"},
            {840, "txtFieldWeapons", "Field Weapons:"}, {1200, "txtLaserWeapons", "Laser Weapons:"},
            {1560, "txtMissle", "Primitive Missle Weapons:"}, {1920, "txtProjectileWeapons", "Projectile Weapons"},
            {2280, "txtVehicleAimedWeapons", "Vehicle Aimed Weapons:"},
            {2640, "txtVehicleFieldWeapons", "Vehicle Field Weapons:"},
            {3000, "txtVehicleLaunchedWeapons", "Vehicle Launched Weapons:", false, 3360},
            {3480, "txtMechBase", "Mechanical Skill Base:", true}, {3840, "txtAutocar", "Autocar Op. & Maint.:"},
            {4200, "txtCopter", "Copter Op. & Maint.:"}, {4560, "txtCrawler", "Crawler Op. & Maint.:"},
            {4920, "txtDocbot", "Docbot Op. & Maint.:"}, {5280, "txtFlybot", "Flybot Op. & Maint.:"},
            {5640, "txtHabitat", "Habitat Engineering:"}, {6000, "txtHover", "Hover Op. & Maint.:"},
            {6360, "txtJackobot", "Jackobot Op. & Maint.:"}, {6720, "txtScrubot", "Scrubot Op. & Maint.:"},
            {7080, "txtTransbot", "Transbot Op. & Maint.:"}, {7440, "txtVulturecraft", "Vulturecraft Op. & Maint.:"}};
        const SkillCell column3[] = {
            {120, "txtMoxBase", "Moxie Skill Base:", true}, {480, "txtBiochemical", "Biochemical Therapy:"},
            {840, "txtBiosciences", "Biosciences:"}, {1200, "txtChemical", "Chemical Engineering:"},
            {1560, "txtAnalysis", "Data Analysis:"}, {1920, "txtSearch", "Data Search:"},
            {2280, "txtDemolition", "Demolition:"}, {2640, "txtElectronic", "Electronic Engineering:"},
            {3000, "txtMechanical", "Mechanical Engineering:", false, 6720}, {3360, "txtMedical", "Medical:"},
            {3720, "txtNuclear", "Nuclear Engineering:"}, {4080, "txtSecurity", "Security"},
            {4440, "txtStealth", "Stealth:"}, {4800, "txtSurveillance", "Surveillance:"},
            {5160, "txtSurvival", "Survival"}};
        struct SkillColumn {
            int left, width, boxLeft;
            const SkillCell *begin, *end;
        };
        const SkillColumn skillColumns[] = {{240, 2415, 2760, std::begin(column1), std::end(column1)},
                                            {3600, 2415, 6120, std::begin(column2), std::end(column2)},
                                            {6840, 2175, 9120, std::begin(column3), std::end(column3)}};
        for (const SkillColumn &col : skillColumns) {
            for (const SkillCell *c = col.begin; c != col.end; ++c) {
                const int right = col.left + col.width;
                const int left = c->wideLeft ? c->wideLeft : col.left;
                QTest::addRow("ViewSkills %s", c->box)
                    << "ViewSkills" << c->box << c->shown << QRect(left, c->top, right - left, 375)
                    << QRect(col.boxLeft, c->top, 495, 285) << int(c->heading ? HeadingCaption : SkillCaption)
                    << QColor(Qt::black);
            }
        }

        // Secrets: captions end together at 1815, with a trailing blank.
        struct SecretCell {
            int top;
            const char *box;
            const char *shown;
            int left, width;
        };
        const SecretCell secrets[] = {{50, "txtName", "Name: ", 165, 1650},
                                      {500, "txtSecret", "Secret Society: ", 165, 1650},
                                      {1000, "txtMutant", "Mutant Power: ", 300, 1515},
                                      {1500, "txtService", "Service Group: ", 195, 1620},
                                      {2000, "txtCover", "Cover: ", 1065, 750}};
        for (const SecretCell &c : secrets)
            QTest::addRow("ViewSecret %s", c.box) << "ViewSecret" << c.box << c.shown << QRect(c.left, c.top, c.width, 240)
                                                  << QRect(1920, c.top, 4575, 285) << int(BoldCaption)
                                                  << QColor(Qt::black);
    }

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init()
    {
        gui_.emplace();
        gui_->main->show();
        QVERIFY(QTest::qWaitForWindowExposed(gui_->main.get()));
    }

    void cleanup()
    {
        gui_.reset();
        FlushDeletes();
    }

    // Screen readers list and announce windows by role: each viewer is a frame with its title
    // (Main: tests/e2e/screen_reader.sh).
    void windowsAreFramesWithTheirTitles_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addRow("attributes") << "ViewStats" << "View Attributes";
        QTest::addRow("skills") << "ViewSkills" << "View Skills";
        QTest::addRow("secrets") << "ViewSecret" << "View Secrets";
    }
    void windowsAreFramesWithTheirTitles()
    {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QWidget *shown = Open(window);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(shown);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Window);
        QCOMPARE(accessible->text(QAccessible::Name), name);
    }

    void windowHasItsTitleSizePlaceAndFrame_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QRect>("insideTwips");
        QTest::addRow("attributes") << "ViewStats" << "View Attributes" << QRect(1275, 1830, 6405, 5100);
        QTest::addRow("skills") << "ViewSkills" << "View Skills" << QRect(1560, 615, 9810, 7800);
        QTest::addRow("secrets") << "ViewSecret" << "View Secrets" << QRect(2280, 1500, 6690, 3180);
    }
    void windowHasItsTitleSizePlaceAndFrame()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);
        QFETCH(QRect, insideTwips);
        QWidget *w = Open(window);
        QVERIFY(w);
        QCOMPARE(w->objectName(), window);
        QCOMPARE(w->windowTitle(), title);
        QString why;
        QVERIFY2(NearTwips(w->geometry(), insideTwips, &why), qPrintable(why));
        // Fixed size: it cannot be resized.
        QCOMPARE(w->minimumSize(), w->size());
        QCOMPARE(w->maximumSize(), w->size());
        // A title bar with a close box only.
        const Qt::WindowFlags flags = w->windowFlags();
        QVERIFY(flags & Qt::Window);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::FramelessWindowHint));
        QCOMPARE(w->palette().color(QPalette::Window), QColor(Qt::black));
        QVERIFY(w->autoFillBackground());
    }

    void captionAndBoxAtTheirPlacesAndNamed_data() { AddCaptionedColumns(); }
    void captionAndBoxAtTheirPlacesAndNamed()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, shown);
        QFETCH(QRect, captionTwips);
        QFETCH(QRect, boxTwips);
        QFETCH(int, style);
        QFETCH(QColor, captionBack);
        FillRecordWithDistinctNumbers();
        QWidget *w = Open(window);
        QString why;

        auto *label = w->findChild<QLabel *>("lbl" + box.mid(3));
        QVERIFY2(label, qPrintable("no caption for " + box));
        QCOMPARE(label->text(), shown);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        // No buddy: a label's "&" then marks no letter and underlines nothing.
        QVERIFY(!label->buddy());
        QVERIFY(label->alignment() & Qt::AlignRight);
        QVERIFY2(NearTwips(label->geometry(), captionTwips, &why), qPrintable("caption " + why));
        QCOMPARE(label->font().family(), QString("Liberation Sans"));
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QCOMPARE(label->font().bold(), style != SkillCaption);
        QCOMPARE(label->font().underline(), style == HeadingCaption);
        QCOMPARE(label->palette().color(QPalette::WindowText), kGreen);
        QCOMPARE(label->palette().color(QPalette::Window), captionBack);
        QVERIFY(label->autoFillBackground());
        // The whole caption fits its label.
        const QFontMetrics metrics(label->font());
        const int textWidth = metrics.horizontalAdvance(shown);
        QVERIFY2(textWidth <= label->contentsRect().width(),
                 qPrintable(QString("%1 px of text in %2 px").arg(textWidth).arg(label->contentsRect().width())));
        QVERIFY(metrics.height() <= label->contentsRect().height());

        QLineEdit *edit = Box(w, qPrintable(box));
        QVERIFY2(edit, qPrintable(box));
        QVERIFY2(NearTwips(edit->geometry(), boxTwips, &why), qPrintable("box " + why));
        QVERIFY(edit->alignment() & Qt::AlignLeft);
        QVERIFY(!edit->isReadOnly());
        QCOMPARE(edit->maxLength(), std::numeric_limits<int>::max()); // no length limit
        QCOMPARE(edit->font().pointSizeF(), 8.25);
        QVERIFY(!edit->font().bold());
        QCOMPARE(edit->palette().color(QPalette::Text), kGreen);
        QCOMPARE(edit->palette().color(QPalette::Base), QColor(Qt::black));
        // The box sits right of its caption, on the same top.
        QVERIFY(label->geometry().right() < edit->geometry().left());
        QCOMPARE(label->y(), edit->y());
        // A screen reader announces the caption with the value: "Strength: 14".
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(edit);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), shown.trimmed());
        QCOMPARE(accessible->text(QAccessible::Value), edit->text());
    }

    void onlyTheDesignedControlsExist_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("boxes");
        QTest::addRow("attributes: 16 boxes") << "ViewStats" << 16;
        QTest::addRow("skills: 55 boxes") << "ViewSkills" << 55;
        QTest::addRow("secrets: 5 boxes") << "ViewSecret" << 5;
    }
    void onlyTheDesignedControlsExist()
    {
        QFETCH(QString, window);
        QFETCH(int, boxes);
        QWidget *w = Open(window);
        QCOMPARE(w->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly).size(), boxes);
        QCOMPARE(w->findChildren<QLabel *>(Qt::FindDirectChildrenOnly).size(), boxes);
        QCOMPARE(w->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly).size(), 3);
    }

    void buttonsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::addRow("attributes View Skills") << "ViewStats" << "cmdViewSkills" << "View Skills" << QRect(360, 4440, 1815, 495);
        QTest::addRow("attributes View Secrets") << "ViewStats" << "cmdViewSecrets" << "View Secrets" << QRect(2400, 4440, 1815, 495);
        QTest::addRow("attributes Main Menu") << "ViewStats" << "cmdMainMenu" << "Main Menu" << QRect(4440, 4440, 1815, 495);
        QTest::addRow("skills View Attributes") << "ViewSkills" << "cmdViewAttributes" << "View Attributes" << QRect(7680, 5880, 1815, 495);
        QTest::addRow("skills View Secrets") << "ViewSkills" << "cmdViewSecrets" << "View Secrets" << QRect(7680, 6480, 1815, 495);
        QTest::addRow("skills Main Menu") << "ViewSkills" << "cmdMainMenu" << "Main Menu" << QRect(7680, 7080, 1815, 495);
        QTest::addRow("secrets View Attributes") << "ViewSecret" << "cmdViewAttributes" << "View Attributes" << QRect(240, 2500, 1815, 495);
        QTest::addRow("secrets View Skills") << "ViewSecret" << "cmdViewSkills" << "View Skills" << QRect(2280, 2500, 1815, 495);
        QTest::addRow("secrets Main Menu") << "ViewSecret" << "cmdMainMenu" << "Main Menu" << QRect(4320, 2500, 1815, 495);
    }
    void buttonsAtTheirPlaces()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        auto *b = Open(window)->findChild<QPushButton *>(button);
        QVERIFY(b);
        QCOMPARE(b->text(), caption);
        QVERIFY(b->shortcut().isEmpty());
        QString why;
        QVERIFY2(NearTwips(b->geometry(), twips, &why), qPrintable(why));
        QCOMPARE(b->font().pointSizeF(), 8.25);
        QVERIFY(b->font().bold());
        QVERIFY(QFontMetrics(b->font()).horizontalAdvance(caption) + 8 <= b->width());
    }

    void focusStartsAndTabsInTheDesignedOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("order");
        QTest::addRow("attributes: Strength last")
            << "ViewStats"
            << QStringList{"cmdViewSkills", "cmdViewSecrets", "cmdMainMenu", "txtAgility", "txtDexterity",
                           "txtMoxie", "txtChutzpah", "txtMechApt", "txtPower", "txtCarry", "txtDamage",
                           "txtMacho", "txtAglBase", "txtDexBase", "txtMoxBase", "txtChuBase", "txtMechBase",
                           "txtEndurance", "txtStrength"};
        QTest::addRow("skills: Primitive Melee Weapons last")
            << "ViewSkills"
            << QStringList{"cmdMainMenu", "cmdViewSecrets", "cmdViewAttributes",
                           "txtAgilityBase", "txtForceSword", "txtGrenade", "txtNeurowhip", "txtTruncheon",
                           "txtUnarmed", "txtChuBase", "txtBootlicking", "txtBribery", "txtCon", "txtFastTalk",
                           "txtForgery", "txtInterrogation", "txtIntimidation", "txtMotivation", "txtOratory",
                           "txtPsychescan", "txtSpuriousLogic", "txtDexBase", "txtEnergyWeapons",
                           "txtFieldWeapons", "txtLaserWeapons", "txtMissle", "txtProjectileWeapons",
                           "txtVehicleAimedWeapons", "txtVehicleFieldWeapons", "txtVehicleLaunchedWeapons",
                           "txtMechBase", "txtAutocar", "txtCopter", "txtCrawler", "txtDocbot", "txtFlybot",
                           "txtHabitat", "txtHover", "txtJackobot", "txtScrubot", "txtTransbot",
                           "txtVulturecraft", "txtMoxBase", "txtBiochemical", "txtBiosciences", "txtChemical",
                           "txtAnalysis", "txtSearch", "txtDemolition", "txtElectronic", "txtMechanical",
                           "txtMedical", "txtNuclear", "txtSecurity", "txtStealth", "txtSurveillance",
                           "txtSurvival", "txtPrimMelee"};
        QTest::addRow("secrets: Name last")
            << "ViewSecret"
            << QStringList{"cmdMainMenu", "cmdViewAttributes", "cmdViewSkills", "txtSecret", "txtMutant",
                           "txtService", "txtCover", "txtName"};
    }
    void focusStartsAndTabsInTheDesignedOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, order);
        QWidget *w = Open(window);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), order.first());
        // Tab all the way round, back to the start.
        QCOMPARE(TabRound(order.size()), order);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    }

    void enterAndEscPressOnlyTheFocusedButton_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown"); // the window in front afterwards
        QTest::addRow("attributes: Enter in a box") << "ViewStats" << "txtStrength" << int(Qt::Key_Return) << "ViewStats";
        QTest::addRow("attributes: Esc in a box") << "ViewStats" << "txtPower" << int(Qt::Key_Escape) << "ViewStats";
        QTest::addRow("attributes: Esc on View Skills") << "ViewStats" << "cmdViewSkills" << int(Qt::Key_Escape) << "ViewStats";
        QTest::addRow("attributes: Enter on View Skills") << "ViewStats" << "cmdViewSkills" << int(Qt::Key_Return) << "ViewSkills";
        QTest::addRow("skills: Enter in a box") << "ViewSkills" << "txtSurvival" << int(Qt::Key_Enter) << "ViewSkills";
        QTest::addRow("skills: Esc on Main Menu") << "ViewSkills" << "cmdMainMenu" << int(Qt::Key_Escape) << "ViewSkills";
        QTest::addRow("skills: Enter on View Secrets") << "ViewSkills" << "cmdViewSecrets" << int(Qt::Key_Return) << "ViewSecret";
        QTest::addRow("secrets: Enter in a box") << "ViewSecret" << "txtName" << int(Qt::Key_Return) << "ViewSecret";
        QTest::addRow("secrets: Esc in a box") << "ViewSecret" << "txtCover" << int(Qt::Key_Escape) << "ViewSecret";
        QTest::addRow("secrets: Enter on Main Menu") << "ViewSecret" << "cmdMainMenu" << int(Qt::Key_Return) << "Main";
    }
    void enterAndEscPressOnlyTheFocusedButton()
    {
        QFETCH(QString, window);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, shown);
        QWidget *w = Open(window);
        QVERIFY(QTest::qWaitForWindowActive(w));
        auto *target = w->findChild<QWidget *>(focus);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(w->isVisible(), shown == window);
        QVERIFY(Loaded(shown));
        QVERIFY(Loaded(shown)->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), Loaded(shown));
    }

    void viewButtonsShowTheirViewerModelessWithoutOwner_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addRow("View Attributes") << "ViewStats";
        QTest::addRow("View Skills") << "ViewSkills";
        QTest::addRow("View Secret Stuff") << "ViewSecret";
    }
    void viewButtonsShowTheirViewerModelessWithoutOwner()
    {
        QFETCH(QString, window);
        QVERIFY(!Loaded(window));
        QWidget *w = Open(window);
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QVERIFY(w->isWindow());
        QVERIFY(!w->parentWidget());
        QCOMPARE(w->windowModality(), Qt::NonModal);
        QVERIFY(!QApplication::activeModalWidget());
        // Main stays visible and usable beside it.
        QVERIFY(gui_->main->isVisible());
        QVERIFY(gui_->main->isEnabled());
        QTRY_COMPARE(QApplication::activeWindow(), w);
    }

    void navigationHidesThisAndShowsTheTarget_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::addRow("attributes -> skills") << "ViewStats" << "cmdViewSkills" << "ViewSkills";
        QTest::addRow("attributes -> secrets") << "ViewStats" << "cmdViewSecrets" << "ViewSecret";
        QTest::addRow("attributes -> Main") << "ViewStats" << "cmdMainMenu" << "Main";
        QTest::addRow("skills -> attributes") << "ViewSkills" << "cmdViewAttributes" << "ViewStats";
        QTest::addRow("skills -> secrets") << "ViewSkills" << "cmdViewSecrets" << "ViewSecret";
        QTest::addRow("skills -> Main") << "ViewSkills" << "cmdMainMenu" << "Main";
        QTest::addRow("secrets -> attributes") << "ViewSecret" << "cmdViewAttributes" << "ViewStats";
        QTest::addRow("secrets -> skills") << "ViewSecret" << "cmdViewSkills" << "ViewSkills";
        QTest::addRow("secrets -> Main") << "ViewSecret" << "cmdMainMenu" << "Main";
    }
    void navigationHidesThisAndShowsTheTarget()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(QString, target);
        FillRecordWithDistinctNumbers();
        QWidget *w = Open(window);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QVERIFY(!Loaded(target) || target == "Main");
        w->findChild<QPushButton *>(button)->click();
        // Hidden, not closed.
        QVERIFY(!w->isVisible());
        QCOMPARE(Loaded(window), w);
        QWidget *shown = Loaded(target);
        QVERIFY(shown);
        QVERIFY(shown->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), shown);
        if (target == "Main") {
            QVERIFY(gui_->main->isAncestorOf(QApplication::focusWidget()));
        } else {
            // A target loaded by the button fills itself from the record.
            QVERIFY(!shown->parentWidget());
            const QList<QLineEdit *> boxes = shown->findChildren<QLineEdit *>();
            QVERIFY(std::any_of(boxes.begin(), boxes.end(), [](QLineEdit *b) { return !b->text().isEmpty(); }));
        }
        QCOMPARE(Windows(window).size(), 1);
    }

    void openingTwiceGivesOneWindow_data() { viewButtonsShowTheirViewerModelessWithoutOwner_data(); }
    void openingTwiceGivesOneWindow()
    {
        QFETCH(QString, window);
        QWidget *first = Open(window);
        QWidget *second = Open(window);
        QCOMPARE(second, first);
        QCOMPARE(Windows(window).size(), 1);
        // From another viewer too.
        Open(window == "ViewStats" ? "ViewSkills" : "ViewStats")
            ->findChild<QPushButton *>(window == "ViewStats" ? "cmdViewAttributes"
                                       : window == "ViewSkills" ? "cmdViewSkills" : "cmdViewSecrets")
            ->click();
        QCOMPARE(Loaded(window), first);
        QCOMPARE(Windows(window).size(), 1);
    }

    void beforeAnyGenerateBoxesShowZerosAndEmptyTexts_data() { viewButtonsShowTheirViewerModelessWithoutOwner_data(); }
    void beforeAnyGenerateBoxesShowZerosAndEmptyTexts()
    {
        QFETCH(QString, window);
        const QList<QLineEdit *> boxes = Open(window)->findChildren<QLineEdit *>();
        QVERIFY(!boxes.isEmpty());
        for (QLineEdit *box : boxes)
            QCOMPARE(box->text(), window == "ViewSecret" ? QString() : QString("0"));
    }

    void eachBoxShowsItsOwnField_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        const char *stats[][2] = {{"txtStrength", "Strength"}, {"txtEndurance", "Endurance"},
                                  {"txtAgility", "Agility"},   {"txtDexterity", "Dexterity"},
                                  {"txtMoxie", "Moxie"},       {"txtChutzpah", "Chutzpah"},
                                  {"txtMechApt", "MechApt"},   {"txtPower", "Power"},
                                  {"txtCarry", "Carry"},       {"txtDamage", "Damage"},
                                  {"txtMacho", "Macho"},       {"txtAglBase", "AglBase"},
                                  {"txtDexBase", "DexBase"},   {"txtMoxBase", "MoxBase"},
                                  {"txtChuBase", "ChuBase"},   {"txtMechBase", "MechBase"}};
        for (auto &[box, field] : stats)
            QTest::addRow("ViewStats %s", box) << "ViewStats" << box << field;
        // Skills: each box is txt + its field, except the agility base's.
        QTest::addRow("ViewSkills txtAgilityBase") << "ViewSkills" << "txtAgilityBase" << "AglBase";
        for (const char *field : {"ChuBase", "DexBase", "MechBase", "MoxBase"})
            QTest::addRow("ViewSkills txt%s", field) << "ViewSkills" << QString("txt") + field << field;
        for (int i = kFirstSkillField; i < kFieldCount; ++i)
            QTest::addRow("ViewSkills txt%s", kFields[i].name) << "ViewSkills" << QString("txt") + kFields[i].name
                                                              << kFields[i].name;
        for (const char *field : {"Name", "Service", "Cover", "Mutant", "Secret"})
            QTest::addRow("ViewSecret txt%s", field) << "ViewSecret" << QString("txt") + field << field;
    }
    void eachBoxShowsItsOwnField()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, field);
        FillRecordWithDistinctNumbers();
        // Distinct texts too, so a swapped box shows.
        for (const char *name : {"Name", "Service", "Cover", "Mutant", "Secret"})
            TextField(name) = std::string("text of ") + name;
        QLineEdit *edit = Box(Open(window), qPrintable(box));
        QVERIFY(edit);
        const int index = FieldIndex(field.toStdString());
        QVERIFY(index >= 0);
        const QString expected = kFields[index].kind == FieldKind::Number
            ? QString::number(CharacterRecord.*(kFields[index].number))
            : "text of " + field;
        QCOMPARE(edit->text(), expected);
    }

    void numbersShowAsPlainDecimal_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::addRow("negative attribute") << "ViewStats" << "txtStrength" << "Strength" << -4 << "-4";
        QTest::addRow("zero bonus") << "ViewStats" << "txtDamage" << "Damage" << 0 << "0";
        QTest::addRow("two digits") << "ViewStats" << "txtCarry" << "Carry" << 25 << "25";
        QTest::addRow("largest") << "ViewStats" << "txtPower" << "Power" << 32767 << "32767";
        QTest::addRow("smallest") << "ViewSkills" << "txtForceSword" << "ForceSword" << -32768 << "-32768";
        QTest::addRow("negative base") << "ViewSkills" << "txtAgilityBase" << "AglBase" << -1 << "-1";
        QTest::addRow("thousands have no separator") << "ViewSkills" << "txtSurvival" << "Survival" << 1234 << "1234";
    }
    void numbersShowAsPlainDecimal()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(QString, shown);
        NumberField(qPrintable(field)) = int16_t(value);
        QCOMPARE(Box(Open(window), qPrintable(box))->text(), shown);
    }

    void textsShowExactlyAsStored_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addRow("cover of a non-agent: one blank") << "Cover" << QByteArray(" ") << " ";
        QTest::addRow("ampersand unchanged") << "Service" << QByteArray("HPD & MC") << "HPD & MC";
        QTest::addRow("cover with ampersand") << "Cover" << QByteArray("Research & Design") << "Research & Design";
        QTest::addRow("double ampersand stays double") << "Secret" << QByteArray("A && B") << "A && B";
        QTest::addRow("empty name") << "Name" << QByteArray() << "";
        QTest::addRow("blanks kept") << "Mutant" << QByteArray("  Telepathy ") << "  Telepathy ";
        QTest::addRow("markup is not read") << "Name" << QByteArray("<b>X</b>") << "<b>X</b>";
        QTest::addRow("internal security, no marker") << "Service" << QByteArray("Internal Security") << "Internal Security";
        QTest::addRow("UTF-8 letter") << "Name" << QByteArray("J\xc3\xa9r\xc3\xb4me") << QString::fromUtf8("J\xc3\xa9r\xc3\xb4me");
        QTest::addRow("8-bit code page letter") << "Name" << QByteArray("J\xe9r\xf4me") << QString::fromUtf8("J\xc3\xa9r\xc3\xb4me");
    }
    void textsShowExactlyAsStored()
    {
        QFETCH(QString, field);
        QFETCH(QByteArray, stored);
        QFETCH(QString, shown);
        TextField(qPrintable(field)) = stored.toStdString();
        QLineEdit *edit = Box(Open("ViewSecret"), qPrintable("txt" + field));
        QCOMPARE(edit->text(), shown);
        QCOMPARE(edit->displayText(), shown);
    }

    void hiddenViewerKeepsItsTexts_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("other");
        QTest::addRow("attributes") << "ViewStats" << "txtStrength" << "txtPower";
        QTest::addRow("skills") << "ViewSkills" << "txtPrimMelee" << "txtSurvival";
        QTest::addRow("secrets") << "ViewSecret" << "txtCover" << "txtName";
    }
    void hiddenViewerKeepsItsTexts()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(QString, other);
        FillRecordWithDistinctNumbers();
        QWidget *w = Open(window);
        QLineEdit *edit = Box(w, qPrintable(box));
        const QString otherBefore = Box(w, qPrintable(other))->text();
        edit->clear();
        QTest::keyClicks(edit, "typed 42");
        w->findChild<QPushButton *>("cmdMainMenu")->click();
        QVERIFY(!w->isVisible());
        // The record changes behind its back; a loaded viewer does not read it again.
        CharacterRecord = {};
        QCOMPARE(Open(window), w);
        QVERIFY(w->isVisible());
        QCOMPARE(edit->text(), QString("typed 42"));
        QCOMPARE(Box(w, qPrintable(other))->text(), otherBefore);
    }

    void closeBoxDiscardsAndNextOpenRefills_data() { hiddenViewerKeepsItsTexts_data(); }
    void closeBoxDiscardsAndNextOpenRefills()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QPointer<QWidget> w = Open(window);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::keyClicks(Box(w, qPrintable(box)), "typed");
        // The way the desktop's close box asks.
        QVERIFY(w->windowHandle()->close());
        QVERIFY(!Loaded(window));
        FlushDeletes();
        QVERIFY(w.isNull());
        QVERIFY(Windows(window).isEmpty());
        // Main is untouched and the program goes on.
        QVERIFY(gui_->main->isVisible());

        FillRecordWithDistinctNumbers();
        QWidget *again = Open(window);
        QVERIFY(again);
        const QString expected = window == "ViewSecret" ? QString(" ") // the cover
                                                        : QString::number(NumberField(qPrintable(box.mid(3))));
        QCOMPARE(Box(again, qPrintable(box))->text(), expected);
    }

    void typedTextChangesNothingElse()
    {
        FillRecordWithDistinctNumbers();
        const CharacterRecordType before = CharacterRecord;
        QWidget *stats = Open("ViewStats");
        QWidget *skills = Open("ViewSkills");
        QWidget *secret = Open("ViewSecret");
        const QString skillsBase = Box(skills, "txtAgilityBase")->text();
        // The agility base is on both number viewers; typing into one leaves the other.
        QTest::keyClicks(Box(stats, "txtAglBase"), "99");
        QTest::keyClicks(Box(skills, "txtForceSword"), "7");
        QTest::keyClicks(Box(secret, "txtName"), "X");
        QCOMPARE(Box(skills, "txtAgilityBase")->text(), skillsBase);
        QVERIFY(CharacterRecord == before);
        // A later load still reads the record, not the boxes.
        UnloadViewersAndSheet();
        QCOMPARE(Box(Open("ViewStats"), "txtAglBase")->text(), QString::number(before.AglBase));
    }

    void generateClosesTheViewersInOrder()
    {
        destroyed_.clear();
        for (const char *name : {"ViewSecret", "ViewStats", "ViewSkills"}) {
            QWidget *w = Open(name);
            connect(w, &QObject::destroyed, this, [this, name] { destroyed_ << name; });
        }
        // A hidden viewer is loaded too and goes the same way.
        FormInstance<ViewSkills>::IfLoaded()->cmdMainMenu->click();
        QTest::keyClicks(Box(Loaded("ViewStats"), "txtStrength"), "typed");

        gui_->main->cmdGenerate->click();
        FlushDeletes();
        QCOMPARE(destroyed_, (QStringList{"ViewStats", "ViewSkills", "ViewSecret"}));
        for (const char *name : {"ViewStats", "ViewSkills", "ViewSecret"}) {
            QVERIFY(!Loaded(name));
            QVERIFY(Windows(name).isEmpty());
        }
        // Opened again, they show the new character.
        QCOMPARE(Box(Open("ViewStats"), "txtStrength")->text(), QString::number(CharacterRecord.Strength));
        QCOMPARE(Box(Open("ViewSecret"), "txtName")->text(), QString::fromStdString(CharacterRecord.Name));
        QCOMPARE(Box(Open("ViewSkills"), "txtUnarmed")->text(), QString::number(CharacterRecord.Unarmed));
    }

    void closingWhatIsNotLoadedDoesNothing()
    {
        UnloadViewersAndSheet();
        QWidget *skills = Open("ViewSkills");
        FormInstance<ViewStats>::Unload();
        FormInstance<ViewSecret>::Unload();
        QCOMPARE(Loaded("ViewSkills"), skills);
        UnloadViewersAndSheet();
        UnloadViewersAndSheet();
        QVERIFY(!Loaded("ViewSkills"));
        QVERIFY(Open("ViewSkills"));
    }

    void nameCaptionTakesTheMenuTextColour()
    {
        // Black and black in the standard scheme; another scheme tells them apart.
        const QPalette standard = QApplication::palette();
        QPalette scheme = standard;
        scheme.setColor(QPalette::WindowText, QColor(0, 0, 128));
        QApplication::setPalette(scheme);
        QWidget *w = Open("ViewSecret");
        QApplication::setPalette(standard);
        QCOMPARE(w->findChild<QLabel *>("lblName")->palette().color(QPalette::Window), QColor(0, 0, 128));
        for (const char *label : {"lblSecret", "lblMutant", "lblService", "lblCover"})
            QCOMPARE(w->findChild<QLabel *>(label)->palette().color(QPalette::Window), QColor(Qt::black));
    }

    void viewersStayOpenSideBySide()
    {
        QWidget *stats = Open("ViewStats");
        QWidget *skills = Open("ViewSkills");
        QVERIFY(stats->isVisible());
        QVERIFY(skills->isVisible());
        // A viewer's own button hides only that viewer.
        FormInstance<ViewSkills>::IfLoaded()->cmdViewSecrets->click();
        QVERIFY(stats->isVisible());
        QVERIFY(!skills->isVisible());
        QVERIFY(Loaded("ViewSecret")->isVisible());
    }

    // A value wider than its box is set smaller and shown whole; one that fits keeps the
    // designed font.
    void valuesShowWholeInTheirBox_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("designedFont");
        QTest::addRow("-32768 in txtStrength") << "ViewStats" << "txtStrength" << -32768 << false;
        QTest::addRow("-32768 in txtForceSword") << "ViewSkills" << "txtForceSword" << -32768 << false;
        QTest::addRow("5 in txtStrength") << "ViewStats" << "txtStrength" << 5 << true;
        QTest::addRow("-3 in txtForceSword") << "ViewSkills" << "txtForceSword" << -3 << true;
    }
    void valuesShowWholeInTheirBox()
    {
        QFETCH(QString, window);
        QFETCH(QString, box);
        QFETCH(int, value);
        QFETCH(bool, designedFont);
        CharacterRecord.Strength = int16_t(value);
        CharacterRecord.ForceSword = int16_t(value);
        QWidget *viewer = Open(window);
        QVERIFY(viewer);
        QLineEdit *edit = Box(viewer, box.toLatin1().constData());
        QVERIFY(edit);
        QCOMPARE(edit->text(), QString::number(value));
        // The room QLineEdit gives its text: the contents less two pixels each side.
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() - 4;
        const qreal needed = QFontMetricsF(edit->font()).horizontalAdvance(edit->text());
        QVERIFY2(needed <= room, qPrintable(QString("%1 px in %2").arg(needed).arg(room)));
        QCOMPARE(edit->font() == MsSansSerif(8.25), designedFont);
    }
};

QTEST_MAIN(TestViewers)
#include "test_viewers.moc"
