#include <QtTest>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include <map>
#include <memory>

#include "GuiFixture.h"
#include "ScriptedRandom.h"
#include "forms/Forms.h"
#include "forms/ProgramIcon.h"
#include "forms/main/MainWindow.h"
#include "model/modTarvock.h"
#include "platform/Controls.h"
#include "platform/Twips.h"

using namespace quelvane;

class TestMainWindow : public QObject {
    Q_OBJECT

    std::optional<testing::MainFixture> gui_;

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init() { gui_.emplace(); }
    void cleanup() { gui_.reset(); }

    void windowIsBorderlessAtItsDesignedPlace()
    {
        QCOMPARE(gui_->main->objectName(), QString("Main"));
        QVERIFY(gui_->main->windowFlags() & Qt::FramelessWindowHint);
        const TwipsRect r = ToTwips(gui_->main->geometry());
        QCOMPARE(r.left, 2625);
        QCOMPARE(r.top, 1365);
        QCOMPARE(r.width, 4815);
        QCOMPARE(r.height, 4785);
        QCOMPARE(gui_->main->palette().color(QPalette::Window), QColor(Qt::black));
    }

    void controlsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<int>>("twips");
        QTest::addRow("Label1") << "Label1" << QString() << QList<int>{240, 240, 4335, 735};
        QTest::addRow("Image1") << "Image1" << QString() << QList<int>{600, 1080, 1440, 1320};
        QTest::addRow("cmdGenerate") << "cmdGenerate" << "Generate &New Cadrelant" << QList<int>{2520, 1080, 2055, 615};
        QTest::addRow("cmdLoad") << "cmdLoad" << "&Load Cadrelant" << QList<int>{2520, 1800, 2055, 615};
        QTest::addRow("cmdSave") << "cmdSave" << "&Save Cadrelant" << QList<int>{2520, 2520, 2055, 615};
        QTest::addRow("cmdPrint") << "cmdPrint" << "&Print Cadrelant" << QList<int>{2520, 3240, 2055, 615};
        QTest::addRow("cmdStats") << "cmdStats" << "View &Attributes" << QList<int>{240, 2520, 2055, 615};
        QTest::addRow("cmdSkills") << "cmdSkills" << "View S&kills" << QList<int>{240, 3240, 2055, 615};
        QTest::addRow("cmdExit") << "cmdExit" << "E&xit" << QList<int>{2520, 3960, 2055, 615};
        QTest::addRow("cmdSecret") << "cmdSecret" << "View Se&cret Stuff" << QList<int>{240, 3960, 2055, 615};
    }
    void controlsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QList<int>, twips);
        auto *widget = gui_->main->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        const TwipsRect r = ToTwips(widget->geometry());
        // One pixel is 15 twips: the table's values round to the nearest pixel.
        QVERIFY(qAbs(r.left - twips[0]) <= 8);
        QVERIFY(qAbs(r.top - twips[1]) <= 8);
        QVERIFY(qAbs(r.width - twips[2]) <= 15);
        QVERIFY(qAbs(r.height - twips[3]) <= 15);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->font().pointSizeF(), 8.25);
            QVERIFY(button->font().bold());
            QCOMPARE(button->font().family(), QString("Liberation Sans"));
            // The caption, without its access-key mark, fits inside the button's face.
            const QFontMetrics metrics(button->font());
            const int textWidth = metrics.horizontalAdvance(LabelCaptionText(caption));
            QVERIFY2(textWidth + 8 <= button->width(),
                     qPrintable(QString("%1: %2 px in %3").arg(name).arg(textWidth).arg(button->width())));
        }
    }

    void tabOrderAndInitialFocus()
    {
        const char *order[] = {"cmdGenerate", "cmdLoad", "cmdSave", "cmdPrint",
                               "cmdStats", "cmdSkills", "cmdExit", "cmdSecret"};
        QWidget *w = gui_->main->cmdGenerate;
        for (const char *name : order) {
            QCOMPARE(w->objectName(), QString(name));
            w = w->nextInFocusChain();
        }
        gui_->main->show();
        QVERIFY(QTest::qWaitForWindowExposed(gui_->main.get()));
        gui_->main->activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), gui_->main->cmdGenerate);
    }

    void accessKeysAreTheMarkedLetters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addRow("Generate: Alt+N") << "cmdGenerate" << QKeySequence(Qt::ALT | Qt::Key_N);
        QTest::addRow("Load: Alt+L") << "cmdLoad" << QKeySequence(Qt::ALT | Qt::Key_L);
        QTest::addRow("Save: Alt+S") << "cmdSave" << QKeySequence(Qt::ALT | Qt::Key_S);
        QTest::addRow("Print: Alt+P") << "cmdPrint" << QKeySequence(Qt::ALT | Qt::Key_P);
        QTest::addRow("Attributes: Alt+A") << "cmdStats" << QKeySequence(Qt::ALT | Qt::Key_A);
        QTest::addRow("Skills: Alt+K") << "cmdSkills" << QKeySequence(Qt::ALT | Qt::Key_K);
        QTest::addRow("Exit: Alt+X") << "cmdExit" << QKeySequence(Qt::ALT | Qt::Key_X);
        QTest::addRow("Secret: Alt+C") << "cmdSecret" << QKeySequence(Qt::ALT | Qt::Key_C);
    }
    void accessKeysAreTheMarkedLetters()
    {
        // The real key presses are driven end to end under Xvfb.
        QFETCH(QString, name);
        QFETCH(QKeySequence, keys);
        auto *button = gui_->main->findChild<QPushButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->shortcut(), keys);
    }

    void enterAndSpacePressTheFocusedButton_data()
    {
        QTest::addColumn<QString>("focus"); // empty: no button has the focus
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("pressed"); // empty: none
        const char *buttons[] = {"cmdGenerate", "cmdLoad", "cmdSave", "cmdPrint",
                                 "cmdStats", "cmdSkills", "cmdExit", "cmdSecret"};
        for (const char *name : buttons) {
            QTest::addRow("Enter on %s", name) << name << int(Qt::Key_Return) << name;
            QTest::addRow("Space on %s", name) << name << int(Qt::Key_Space) << name;
        }
        QTest::addRow("keypad Enter on cmdLoad") << "cmdLoad" << int(Qt::Key_Enter) << "cmdLoad";
        QTest::addRow("Esc on cmdGenerate") << "cmdGenerate" << int(Qt::Key_Escape) << "";
        QTest::addRow("Esc on cmdExit") << "cmdExit" << int(Qt::Key_Escape) << "";
        QTest::addRow("Enter with no button focused: Exit") << "" << int(Qt::Key_Return) << "cmdExit";
    }
    void enterAndSpacePressTheFocusedButton()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(QString, pressed);
        // Only which button is pressed matters here; the commands themselves are tested apart.
        std::map<QString, std::unique_ptr<QSignalSpy>> spies;
        for (QPushButton *button : gui_->main->findChildren<QPushButton *>()) {
            QObject::disconnect(button, &QPushButton::clicked, gui_->main.get(), nullptr);
            spies[button->objectName()] = std::make_unique<QSignalSpy>(button, &QPushButton::clicked);
        }
        gui_->main->show();
        QVERIFY(QTest::qWaitForWindowActive(gui_->main.get()));
        QWidget *target = gui_->main.get();
        if (focus.isEmpty()) {
            QApplication::focusWidget()->clearFocus();
            QTRY_COMPARE(QApplication::focusWidget(), nullptr);
        } else {
            target = gui_->main->findChild<QPushButton *>(focus);
            target->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), target);
        }
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(spies.size(), size_t(8));
        for (const auto &[name, spy] : spies)
            QVERIFY2(spy->count() == (name == pressed ? 1 : 0), qPrintable(name));
    }

    void statusLineStartsWithTheWelcome()
    {
        QCOMPARE(gui_->main->Label1->text(), QString("Welcome to the Quelvane Cadrelant Generator."));
        QCOMPARE(gui_->main->Label1->textFormat(), Qt::PlainText);
        QCOMPARE(gui_->main->Label1->palette().color(QPalette::WindowText), QColor(0, 192, 0));
        QCOMPARE(gui_->main->Label1->frameShape(), QFrame::Box);
        // The welcome line, wrapped, fits the label's height.
        const QFontMetrics metrics(gui_->main->Label1->font());
        const QRect needed = metrics.boundingRect(gui_->main->Label1->contentsRect(), Qt::TextWordWrap,
                                                  gui_->main->Label1->text());
        QVERIFY(needed.height() <= gui_->main->Label1->contentsRect().height());
        QVERIFY(needed.width() <= gui_->main->Label1->contentsRect().width());
    }

    void generateWritesTheNewName()
    {
        gui_->main->cmdGenerate->click();
        const QString name = QString::fromStdString(CharacterRecord.Name);
        QCOMPARE(name.size(), 9);
        QCOMPARE(gui_->main->Label1->text(), name + " created.");
    }

    void generateTwiceReplacesTheName()
    {
        testing::ScriptedRandom random;
        testing::GenerationScript first;
        testing::GenerationScript second;
        second.nameRolls = {{26, 26}, {21, 26}, {26, 26}, {26, 26}, {26, 26}, {4, 5}};
        first.Load(random);
        second.Load(random);
        const Override scope(RandomSourceSeam, random);
        gui_->main->cmdGenerate->click();
        QCOMPARE(gui_->main->Label1->text(), QString("ABC-R-CEA created."));
        gui_->main->cmdGenerate->click();
        QCOMPARE(QString::fromStdString(CharacterRecord.Name), QString("ZUZ-R-ZZO"));
        QCOMPARE(gui_->main->Label1->text(), QString("ZUZ-R-ZZO created."));
        QCOMPARE(random.reseeds, 2);
    }

    void statusLineNeverReadsRichText()
    {
        gui_->main->SetStatus("<b>bold</b> &amp; <img src=x>");
        QCOMPARE(gui_->main->Label1->textFormat(), Qt::PlainText);
        QCOMPARE(gui_->main->Label1->text(), QString("<b>bold</b> &amp; <img src=x>"));
    }

    // No letter touches the status line's frame: the pixels just inside it stay background.
    void statusTextKeepsClearOfItsFrame()
    {
        gui_->main->SetStatus("/WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
        const QImage shown = gui_->main->Label1->grab().toImage();
        // The frame: the outermost green ring of the label.
        QRect frame;
        for (int y = 0; y < shown.height() && frame.isNull(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixelColor(x, y) == QColor(0, 192, 0)) {
                    frame.setTopLeft({x, y});
                    break;
                }
        QVERIFY(!frame.isNull());
        frame.setBottomRight({shown.width() - 1 - frame.left(), shown.height() - 1 - frame.top()});
        const QColor background = shown.pixelColor(frame.left() + 1, frame.bottom() - 1);
        const QRect inside = frame.adjusted(1, 1, -1, -1);
        QStringList touching;
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (shown.pixelColor(x, inside.top()) != background)
                touching << QString("top at %1").arg(x);
        }
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            if (shown.pixelColor(inside.left(), y) != background)
                touching << QString("left at %1").arg(y);
            if (shown.pixelColor(inside.right(), y) != background)
                touching << QString("right at %1").arg(y);
        }
        QVERIFY2(touching.isEmpty(), qPrintable(touching.join(", ")));
    }

    // On a screen that scales by two, the window icon comes from a picture of the same design
    // drawn at that size, not from the small one blown up.
    void windowIconHasTheDesignAtTwiceTheSize()
    {
        const QIcon icon = gui_->main->windowIcon();
        QVERIFY2(icon.availableSizes().contains(QSize(128, 128)), qPrintable(QDebug::toString(icon.availableSizes())));
        const QImage large = icon.pixmap(QSize(128, 128), 1.0).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(large.size(), QSize(128, 128));
        // Blown up, every two-by-two block would be one colour.
        int blocksWithDetail = 0;
        for (int y = 0; y < 128; y += 2)
            for (int x = 0; x < 128; x += 2)
                blocksWithDetail += large.pixel(x, y) != large.pixel(x + 1, y + 1);
        QVERIFY2(blocksWithDetail > 200, qPrintable(QString::number(blocksWithDetail)));
        // The same picture: brought down to 64, close to the 64 x 64 one, pixel for pixel.
        const QImage small = ProgramIcon().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage down = large.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        qint64 difference = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QColor a = small.pixelColor(x, y);
                const QColor b = down.pixelColor(x, y);
                difference += qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
            }
        const double perChannel = double(difference) / (64 * 64 * 3);
        QVERIFY2(perChannel < 24, qPrintable(QString::number(perChannel)));
    }

    void pictureShowsTheIcon()
    {
        QVERIFY(!ProgramIcon().isNull());
        QCOMPARE(ProgramIcon().size(), QSize(64, 64));
        QVERIFY(gui_->main->Image1->hasScaledContents());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
