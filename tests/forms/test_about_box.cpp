#include <QtTest>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "GuiFixture.h"
#include "forms/FormInstance.h"
#include "forms/Forms.h"
#include "forms/about/frmAbout.h"
#include "forms/main/MainWindow.h"
#include "gui/SysColors.h"
#include "platform/Controls.h"
#include "model/modTarvock.h"
#include "platform/MemoryRegistry.h"
#include "platform/MessageBox.h"
#include "platform/Programs.h"
#include "platform/Twips.h"
#include "version.h"

using namespace quelvane;

namespace {

using About = FormInstance<frmAbout>;

void VerifyNear(const TwipsRect &actual, const QList<int> &twips, const QString &what)
{
    // One pixel is 15 twips: the designed values round to the nearest pixel.
    const QString detail = QStringLiteral("%1: %2,%3 %4x%5").arg(what).arg(actual.left)
                               .arg(actual.top).arg(actual.width).arg(actual.height);
    QVERIFY2(qAbs(actual.left - twips[0]) <= 8, qPrintable(detail));
    QVERIFY2(qAbs(actual.top - twips[1]) <= 8, qPrintable(detail));
    QVERIFY2(qAbs(actual.width - twips[2]) <= 15, qPrintable(detail));
    QVERIFY2(qAbs(actual.height - twips[3]) <= 15, qPrintable(detail));
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

    std::optional<testing::MainFixture> gui_;

    frmAbout *ShownAbout()
    {
        frmAbout *about = About::Get();
        about->show();
        about->activateWindow();
        if (!QTest::qWaitForWindowActive(about))
            return nullptr;
        return about;
    }

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init() { gui_.emplace(); }

    void cleanup()
    {
        gui_.reset();
        QVERIFY(!About::IsLoaded());
    }

    void fixedFrameOfTheDesignedSize()
    {
        frmAbout *about = About::Get();
        QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
        const TwipsRect inside = ToTwips(QRect(QPoint(), about->size()));
        VerifyNear(inside, {0, 0, 5730, 2970}, QStringLiteral("client area"));
        QCOMPARE(about->minimumSize(), about->maximumSize());
        QCOMPARE(about->windowTitle(), QString());
        const Qt::WindowFlags flags = about->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::WindowTitleHint));
        QVERIFY(!(flags & Qt::FramelessWindowHint));
        QCOMPARE(about->palette().color(QPalette::Window), SystemColor(SysColor::WindowText));
        QVERIFY(about->parentWidget() == nullptr);
        QCOMPARE(about->windowModality(), Qt::ApplicationModal);
    }

    void elementsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("twips");
        QTest::addRow("Image1") << "Image1" << QString() << QList<int>{360, 120, 1680, 1560};
        QTest::addRow("lblTitle") << "lblTitle" << "Quelvane Cadrelant Generator" << QList<int>{2400, 240, 2925, 480};
        QTest::addRow("lblVersion") << "lblVersion" << "Version " QUELVANE_VERSION_STRING << QList<int>{2400, 780, 3075, 225};
        QTest::addRow("Label1") << "Label1" << "The Quelvane Cadrelant Generator developers" << QList<int>{2400, 1200, 3015, 375};
        QTest::addRow("lblDisclaimer") << "lblDisclaimer"
                                   << "Program (c) the Quelvane Cadrelant Generator developers. The game Quelvane is "
                                      "(c) its publisher, who neither made nor endorses this program."
                                   << QList<int>{255, 2040, 3510, 825};
        QTest::addRow("cmdOK") << "cmdOK" << "OK" << QList<int>{4200, 2040, 1260, 345};
        QTest::addRow("cmdSysInfo") << "cmdSysInfo" << "&System Info..." << QList<int>{4200, 2520, 1245, 345};
    }
    void elementsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QList<int>, twips);
        frmAbout *about = About::Get();
        auto *widget = about->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        VerifyNear(ToTwips(widget->geometry()), twips, name);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            QCOMPARE(button->text(), text);
            return;
        }
        auto *label = qobject_cast<QLabel *>(widget);
        QVERIFY(label);
        if (name == QStringLiteral("Image1"))
            return;
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 192, 0));
        QCOMPARE(label->palette().color(QPalette::Window), SystemColor(SysColor::MenuText));
        // A long text may be set a little smaller to fit, never unreadably small.
        QCOMPARE(label->font().family(), QString("Liberation Sans"));
        QVERIFY2(label->font().pointSizeF() >= 7.5 && label->font().pointSizeF() <= 8.25,
                 qPrintable(QString::number(label->font().pointSizeF())));
        // Wrapped at word boundaries, the whole text fits in its label.
        const QRect needed = QFontMetrics(label->font())
                                 .boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
        QVERIFY2(needed.height() <= label->contentsRect().height()
                     && needed.width() <= label->contentsRect().width(),
                 qPrintable(QStringLiteral("%1 needs %2x%3").arg(name).arg(needed.width()).arg(needed.height())));
    }

    void versionComesFromTheProjectVersion_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("text");
        QTest::addRow("1.0.0") << 1 << 0 << 0 << "Version 1.0.0";
        QTest::addRow("numbers of two digits") << 2 << 10 << 31 << "Version 2.10.31";
        QTest::addRow("no leading zeros") << 0 << 7 << 100 << "Version 0.7.100";
    }
    void versionComesFromTheProjectVersion()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, text);
        QCOMPARE(VersionText(major, minor, revision), text);
    }

    void formLoadWritesTheVersionOnly()
    {
        frmAbout fresh;
        QCOMPARE(fresh.lblVersion->text(), QString());
        const QString title = fresh.lblTitle->text();
        fresh.Form_Load();
        QCOMPARE(fresh.lblVersion->text(), QStringLiteral("Version " QUELVANE_VERSION_STRING));
        QCOMPARE(fresh.lblTitle->text(), title);
    }

    void pictureIsTheMainWindowIcon()
    {
        frmAbout *about = About::Get();
        const QPixmap shown = about->Image1->pixmap();
        QCOMPARE(shown.toImage(), gui_->main->Image1->pixmap().toImage());
        QCOMPARE(shown.size(), QSize(64, 64));
        QVERIFY(about->Image1->hasScaledContents());
    }

    void drawnAsDesigned()
    {
        frmAbout *about = About::Get();
        const QImage image = about->grab().toImage();
        const auto at = [&](int xTwips, int yTwips, int dy = 0) {
            return QColor(image.pixel(TwipsToPixels(xTwips), TwipsToPixels(yTwips) + dy));
        };
        // Line1(0) white and two pixels thick, Line1(1) grey and one pixel, from 120 twips on.
        QCOMPARE(about->findChildren<QWidget *>(QStringLiteral("Line1")).size(), 2);
        QCOMPARE(at(3000, 1800), QColor(255, 255, 255));
        QCOMPARE(at(3000, 1800, 1), QColor(255, 255, 255));
        QCOMPARE(at(3000, 1800, 2), SystemColor(SysColor::WindowText));
        QCOMPARE(at(3000, 1920), QColor(128, 128, 128));
        QCOMPARE(at(3000, 1920, 1), SystemColor(SysColor::WindowText));
        QCOMPARE(at(5600, 1800), QColor(255, 255, 255));
        QCOMPARE(at(60, 1800), SystemColor(SysColor::WindowText));
        // Background and green label text.
        QCOMPARE(at(60, 60), SystemColor(SysColor::WindowText));
        bool green = false;
        const QRect title = about->lblTitle->geometry();
        for (int y = title.top(); y <= title.bottom() && !green; ++y)
            for (int x = title.left(); x <= title.right() && !green; ++x)
                green = qGreen(image.pixel(x, y)) > 128 && qRed(image.pixel(x, y)) < 64
                        && qBlue(image.pixel(x, y)) < 64;
        QVERIFY2(green, "no green text in the title");
    }

    void okIsDefaultAndFirstInTabOrder()
    {
        frmAbout *about = ShownAbout();
        QVERIFY(about);
        QVERIFY(about->cmdOK->isDefault());
        QTRY_COMPARE(QApplication::focusWidget(), about->cmdOK);
        QCOMPARE(about->cmdOK->nextInFocusChain(), about->cmdSysInfo);
        QTest::keyClick(about->cmdOK, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), about->cmdSysInfo);
        QTest::keyClick(about->cmdSysInfo, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), about->cmdOK);
        QCOMPARE(about->cmdSysInfo->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
    }

    void closedAndDiscarded_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addRow("Esc on OK") << "cmdOK" << int(Qt::Key_Escape);
        QTest::addRow("Esc on System Info") << "cmdSysInfo" << int(Qt::Key_Escape);
        QTest::addRow("Enter on OK") << "cmdOK" << int(Qt::Key_Return);
        QTest::addRow("keypad Enter on OK") << "cmdOK" << int(Qt::Key_Enter);
        QTest::addRow("Space on OK") << "cmdOK" << int(Qt::Key_Space);
        QTest::addRow("click on OK") << "cmdOK" << 0;
    }
    void closedAndDiscarded()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        frmAbout *about = ShownAbout();
        QVERIFY(about);
        auto *target = about->findChild<QPushButton *>(focus);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QPointer<frmAbout> watch = about;
        if (key)
            QTest::keyClick(target, Qt::Key(key));
        else
            QTest::mouseClick(target, Qt::LeftButton);
        QVERIFY(!About::IsLoaded());
        QTRY_VERIFY(watch.isNull());
        QVERIFY(gui_->messages.shown.isEmpty());
        QVERIFY(gui_->starter.asked.isEmpty());
    }

    void reopeningLoadsAfresh()
    {
        frmAbout *first = ShownAbout();
        QVERIFY(first);
        first->lblVersion->setText(QStringLiteral("stale"));
        first->cmdOK->click();
        QTRY_VERIFY(!About::IsLoaded());
        frmAbout *second = About::Get();
        QCOMPARE(second->lblVersion->text(), QStringLiteral("Version " QUELVANE_VERSION_STRING));
    }

    void systemInfoButtonKeepsTheBoxOpen_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("key");
        QTest::addRow("click, program found") << true << 0;
        QTest::addRow("Enter on the button, program found") << true << int(Qt::Key_Return);
        QTest::addRow("click, nothing found") << false << 0;
    }
    void systemInfoButtonKeepsTheBoxOpen()
    {
        QFETCH(bool, installed);
        QFETCH(int, key);
        if (installed)
            gui_->registry.SetValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                               "PATH", kRegSz, QByteArray("/opt/info/sysinfo\0", 18));
        frmAbout *about = ShownAbout();
        QVERIFY(about);
        about->cmdSysInfo->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), about->cmdSysInfo);
        if (key)
            QTest::keyClick(about->cmdSysInfo, Qt::Key(key));
        else
            QTest::mouseClick(about->cmdSysInfo, Qt::LeftButton);
        QCOMPARE(gui_->starter.asked, installed ? QStringList{"/opt/info/sysinfo"} : QStringList{});
        QCOMPARE(gui_->messages.shown.size(), installed ? 0 : 1);
        QVERIFY(about->isVisible());
        QCOMPARE(About::IfLoaded(), about);
    }

    // A click on the picture opens the box; so does F1, from wherever the focus is on Main.
    void pictureOpensTheBoxModally_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addRow("click on the picture") << "click";
        QTest::addRow("F1 on Generate") << "F1";
    }
    void pictureOpensTheBoxModally()
    {
        QFETCH(QString, how);
        gui_->main->show();
        QVERIFY(QTest::qWaitForWindowExposed(gui_->main.get()));
        QWindow *mainWindow = gui_->main->windowHandle();
        const QPoint generate = gui_->main->cmdGenerate->geometry().center();

        bool checked = false;
        bool visible = false;
        QWidget *modal = nullptr;
        QWidget *parent = gui_->main.get();
        QString nameWhileOpen;
        QTimer::singleShot(0, this, [&] {
            frmAbout *about = About::IfLoaded();
            if (about && QTest::qWaitForWindowExposed(about)) {
                visible = about->isVisible();
                modal = QApplication::activeModalWidget() == about ? about : nullptr;
                parent = about->parentWidget();
                // A click on Main's Generate button does not get through.
                QTest::mouseClick(mainWindow, Qt::LeftButton, {}, generate);
                nameWhileOpen = QString::fromStdString(CharacterRecord.Name);
                checked = true;
            }
            if (about)
                QTest::keyClick(about, Qt::Key_Escape);
        });
        // Whatever happens above, never leave a test blocked in the modal loop.
        QTimer::singleShot(10000, this, [] {
            if (frmAbout *about = About::IfLoaded())
                about->done(QDialog::Rejected);
        });

        if (how == "F1") {
            QApplication::setActiveWindow(gui_->main.get());
            QTRY_COMPARE(QApplication::focusWidget(), gui_->main->cmdGenerate);
            QTest::keyClick(gui_->main->cmdGenerate, Qt::Key_F1);
        } else {
            QTest::mouseClick(gui_->main->Image1, Qt::LeftButton);
        }
        // The click's handler has returned: the box was closed and is discarded.
        QVERIFY(checked);
        QVERIFY(visible);
        QVERIFY(modal);
        QVERIFY(parent == nullptr);
        QCOMPARE(nameWhileOpen, QString());
        QVERIFY(!About::IsLoaded());

        // Now the same click reaches Generate.
        QTest::mouseClick(mainWindow, Qt::LeftButton, {}, generate);
        QCOMPARE(QString::fromStdString(CharacterRecord.Name).size(), 9);
    }
};

QTEST_MAIN(TestAboutBox)
#include "test_about_box.moc"
