#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>
#include <vector>

#include "gui/Fonts.h"
#include "gui/SysColors.h"
#include "platform/Controls.h"
#include "platform/Twips.h"
#include "TabWalk.h"

using namespace quelvane;
using enum ControlKind;

namespace {

std::unique_ptr<QWidget> FormWith(std::span<const Control> controls)
{
    auto form = std::make_unique<QWidget>();
    form->resize(600, 400);
    BuildControls(form.get(), controls);
    return form;
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void tabFollowsTheTabIndexNotTheTable_data()
    {
        QTest::addColumn<QList<int>>("tabIndices"); // of the buttons a, b, c and the box d
        QTest::addColumn<QStringList>("order");
        QTest::addRow("as listed") << QList<int>{0, 1, 2, 3} << QStringList{"a", "b", "c", "d"};
        QTest::addRow("listed backwards") << QList<int>{3, 2, 1, 0} << QStringList{"d", "c", "b", "a"};
        QTest::addRow("box between buttons") << QList<int>{0, 2, 3, 1} << QStringList{"a", "d", "b", "c"};
        QTest::addRow("gaps in the numbers") << QList<int>{10, 5, 7, 20} << QStringList{"b", "c", "a", "d"};
    }
    void tabFollowsTheTabIndexNotTheTable()
    {
        QFETCH(QList<int>, tabIndices);
        QFETCH(QStringList, order);
        const std::vector<Control> table = {
            {Label, "lblFirst", "Caption", {0, 0, 1000, 300}},
            {CommandButton, "a", "A", {0, 400, 1000, 300}, tabIndices[0]},
            {CommandButton, "b", "B", {0, 800, 1000, 300}, tabIndices[1]},
            {CommandButton, "c", "C", {0, 1200, 1000, 300}, tabIndices[2]},
            {TextBox, "d", "D:", {0, 1600, 1000, 300}, tabIndices[3]},
        };
        auto form = FormWith(table);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), order.first());
        QCOMPARE(TabRound(order.size()), order);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
        QCOMPARE(form->findChild<QLabel *>("lblFirst")->focusPolicy(), Qt::NoFocus);
    }

    void captionsShowAsDesigned_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::addRow("label: doubled ampersand is one") << int(Label) << "Autocar Op. && Maint.:" << "Autocar Op. & Maint.:";
        QTest::addRow("label: a lone ampersand marks nothing") << int(Label) << "&Load" << "Load";
        QTest::addRow("label: markup stays text") << int(Label) << "<b>Bold</b>" << "<b>Bold</b>";
        QTest::addRow("button keeps its access key") << int(CommandButton) << "E&xit" << "E&xit";
        QTest::addRow("box: caption is its name, trimmed") << int(TextBox) << "Name: " << "Name:";
    }
    void captionsShowAsDesigned()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        const QByteArray designed = caption.toUtf8();
        const Control table[] = {{ControlKind(kind), "control", designed.constData(), {0, 0, 3000, 300}}};
        auto form = FormWith(table);
        QWidget *control = form->findChild<QWidget *>("control");
        QVERIFY(control);
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->text(), shown);
        } else if (auto *button = qobject_cast<QPushButton *>(control)) {
            QCOMPARE(button->text(), shown);
        } else {
            auto *box = qobject_cast<QLineEdit *>(control);
            QVERIFY(box);
            QCOMPARE(box->accessibleName(), shown);
            QVERIFY(box->text().isEmpty());
        }
    }

    void placesFontsAndColoursComeFromTheTable()
    {
        const Control table[] = {
            {Label, "lblGreen", "Green", {240, 120, 1440, 375}, kNoTab, SansSerif(9.75, Bold | Underline),
             Align::Right, kDesignGreen, FixedColour(10, 20, 30)},
            {Label, "lblPlain", "Plain", {240, 600, 1440, 375}},
            {Line, "Line1", nullptr, {120, 1800, 5549, 0}, kNoTab, kDefaultFont, {}, FixedColour(128, 128, 128), {}, Plain, 2},
        };
        auto form = FormWith(table);
        auto *green = form->findChild<QLabel *>("lblGreen");
        // 96 dots to the inch: 15 twips a pixel.
        QCOMPARE(green->geometry(), QRect(16, 8, 96, 25));
        QCOMPARE(green->alignment(), Qt::AlignRight | Qt::AlignTop);
        QVERIFY(green->font().bold());
        QVERIFY(green->font().underline());
        QCOMPARE(green->font().pointSizeF(), 9.75);
        QCOMPARE(green->palette().color(QPalette::WindowText), QColor(0, 192, 0));
        QCOMPARE(green->palette().color(QPalette::Window), QColor(10, 20, 30));
        QVERIFY(green->autoFillBackground());

        auto *plain = form->findChild<QLabel *>("lblPlain");
        QCOMPARE(plain->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText));
        QVERIFY(!plain->autoFillBackground());
        QCOMPARE(plain->font().pointSizeF(), 8.25);
        QVERIFY(!plain->font().bold());

        // A line is as thick as its pixel width, whatever the DPI, and runs its length.
        auto *line = form->findChild<QWidget *>("Line1");
        QCOMPARE(line->geometry(), QRect(8, 120, 370, 2));
        const QImage drawn = line->grab().toImage();
        QCOMPARE(drawn.pixelColor(drawn.width() / 2, 1), QColor(128, 128, 128));
    }

    void labelsStandAtTheTopBoxesInTheMiddle_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("side");
        QTest::addColumn<Qt::Alignment>("expected");
        const auto row = [](const char *name, ControlKind kind, Align side, Qt::Alignment expected) {
            QTest::addRow("%s", name) << int(kind) << int(side) << expected;
        };
        row("label, left: top left", Label, Align::Left, Qt::AlignLeft | Qt::AlignTop);
        row("label, centre: top centre", Label, Align::Centre, Qt::AlignHCenter | Qt::AlignTop);
        row("label, right: top right", Label, Align::Right, Qt::AlignRight | Qt::AlignTop);
        row("box, left: middle left", TextBox, Align::Left, Qt::AlignLeft | Qt::AlignVCenter);
        row("box, centre: middle centre", TextBox, Align::Centre, Qt::AlignHCenter | Qt::AlignVCenter);
        row("box, right: middle right", TextBox, Align::Right, Qt::AlignRight | Qt::AlignVCenter);
    }
    void labelsStandAtTheTopBoxesInTheMiddle()
    {
        QFETCH(int, kind);
        QFETCH(int, side);
        QFETCH(Qt::Alignment, expected);
        const Control table[] = {{.kind = ControlKind(kind), .name = "Control1", .caption = "Text",
                                  .rect = {0, 0, 2000, 900}, .alignment = Align(side)}};
        auto form = FormWith(table);
        QWidget *control = form->findChild<QWidget *>("Control1");
        if (auto *box = qobject_cast<QLineEdit *>(control))
            QCOMPARE(box->alignment(), expected);
        else
            QCOMPARE(qobject_cast<QLabel *>(control)->alignment(), expected);
    }

    void pictureReportsAClickReleasedOnIt_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releasedAt");
        QTest::addColumn<int>("clicks");
        QTest::addRow("left, released on it") << int(Qt::LeftButton) << QPoint(10, 10) << 1;
        QTest::addRow("left, dragged off before release") << int(Qt::LeftButton) << QPoint(200, 200) << 0;
        QTest::addRow("right button") << int(Qt::RightButton) << QPoint(10, 10) << 0;
    }
    void pictureReportsAClickReleasedOnIt()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releasedAt);
        QFETCH(int, clicks);
        const Control table[] = {{Picture, "Image1", nullptr, {600, 1080, 1440, 1320}}};
        auto form = FormWith(table);
        auto *picture = form->findChild<PictureBox *>("Image1");
        QVERIFY(picture);
        QVERIFY(picture->hasScaledContents());
        QSignalSpy clicked(picture, &PictureBox::clicked);
        const auto mouse = Qt::MouseButton(button);
        QTest::mousePress(picture, mouse, {}, QPoint(10, 10));
        QTest::mouseRelease(picture, mouse, {}, releasedAt);
        QCOMPARE(clicked.count(), clicks);
    }

    // The scheme's "window text" is a designed background. Under the scheme of the palette
    // below, the label's pixels must show the green on a background it can be read on.
    void fixedTextStaysReadableOnASchemeColour_data()
    {
        QTest::addColumn<QColor>("windowText"); // the scheme's
        QTest::addColumn<QColor>("background"); // what the label must show
        QTest::addRow("dark navy, readable: kept") << QColor(0, 0, 96) << QColor(0, 0, 96);
        QTest::addRow("dark scheme's light grey: standard black instead") << QColor(238, 238, 236) << QColor(Qt::black);
        QTest::addRow("mid grey, 2.6:1: standard black instead") << QColor(128, 128, 128) << QColor(Qt::black);
    }
    void fixedTextStaysReadableOnASchemeColour()
    {
        QFETCH(QColor, windowText);
        QFETCH(QColor, background);
        const QPalette saved = QApplication::palette();
        QPalette scheme = saved;
        scheme.setColor(QPalette::WindowText, windowText);
        QApplication::setPalette(scheme);
        const Control table[] = {
            {Label, "Label1", "WAJ-R-JRE created.", {0, 0, 3000, 600}, kNoTab, SansSerif(8.25, Bold),
             Align::Left, kDesignGreen, SchemeColour(SysColor::WindowText)},
        };
        auto form = FormWith(table);
        QApplication::setPalette(saved);
        const QImage shown = form->findChild<QLabel *>("Label1")->grab().toImage();
        // Bottom right: below and after the one line of text.
        const QColor corner = shown.pixelColor(shown.width() - 2, shown.height() - 2);
        QCOMPARE(corner, background);
        // The text's own pixels: the most saturated green in the picture.
        QColor ink = corner;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                if (c.green() - c.red() > ink.green() - ink.red())
                    ink = c;
            }
        }
        QCOMPARE(ink, QColor(0, 192, 0));
        QVERIFY2(ContrastRatio(ink, corner) >= 4.5, qPrintable(QString::number(ContrastRatio(ink, corner))));
    }

    void contrastRatio_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::addRow("black on white: 21") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        // Worked by hand: grey 128 is 0.2158 luminance, (1.05)/(0.2658).
        QTest::addRow("white on mid grey: 3.95") << QColor(Qt::white) << QColor(128, 128, 128) << 3.95;
    }
    void contrastRatio()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(qAbs(ContrastRatio(a, b) - ratio) < 0.01, qPrintable(QString::number(ContrastRatio(a, b))));
    }

    void wrappingLabelBreaksAWordTooLongForALine()
    {
        // A file name with no blank, dash or slash to break at: its end must not be cut off.
        const Control table[] = {
            {Label, "Label1", nullptr, {0, 0, 2000, 1200}, kNoTab, kDefaultFont, Align::Left,
             FixedColour(0, 0, 0), FixedColour(255, 255, 255), WordWrap},
        };
        auto form = FormWith(table);
        auto *label = form->findChild<QLabel *>("Label1");
        label->setText(QStringLiteral("QuelvaneCadrelantWithAFileNameLongerThanAnyLineOfTheLabel.tbl"));
        const QImage drawn = label->grab().toImage();
        const auto inkInRow = [&](int y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (drawn.pixelColor(x, y).lightness() < 128)
                    return true;
            }
            return false;
        };
        const int lineHeight = QFontMetrics(label->font()).lineSpacing();
        // Ink on the second line: the name went on there.
        bool secondLine = false;
        for (int y = lineHeight; y < 2 * lineHeight; ++y)
            secondLine = secondLine || inkInRow(y);
        QVERIFY(secondLine);
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
