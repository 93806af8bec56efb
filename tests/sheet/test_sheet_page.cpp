// The printed sheet as its reader sees it: the words on the PDF page and where they stand,
// read back with pdftotext, against positions worked out by hand from the designed twips
// (20 twips to the point; on A4 the 567-point-wide sheet starts 14.14 points from the left,
// and on every paper 18 points from the top, clear of what a home printer cannot reach).
#include <QtTest>

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>

#include "sheet/SheetPdfWriter.h"

using namespace quelvane;

namespace {

// Where the sheet's top edge stands on the page, in points.
constexpr qreal kSheetTop = 18;
// The least room a home printer needs to every edge of the paper, in points.
constexpr qreal kLeastMargin = 12;

struct Word {
    QString text;
    QRectF box; // points, from the page's top-left corner
};
struct Line {
    QString text;
    QList<Word> words;
};

QString Unescape(QString text)
{
    return text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'")
        .replace("&amp;", "&");
}

// The first page's lines, as pdftotext -bbox-layout finds them.
QList<Line> ReadPage(const QString &pdf, QString *problem)
{
    QProcess tool;
    tool.start("pdftotext", {"-bbox-layout", "-f", "1", "-l", "1", pdf, "-"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0) {
        *problem = "pdftotext failed: " + QString::fromUtf8(tool.readAllStandardError());
        return {};
    }
    const QString xml = QString::fromUtf8(tool.readAllStandardOutput());
    static const QRegularExpression lineRe("<line[^>]*>(.*?)</line>", QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression wordRe(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">(.*?)</word>");
    QList<Line> lines;
    for (auto l = lineRe.globalMatch(xml); l.hasNext();) {
        Line line;
        for (auto w = wordRe.globalMatch(l.next().captured(1)); w.hasNext();) {
            const auto m = w.next();
            const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
            const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
            line.words.append({Unescape(m.captured(5)), QRectF(topLeft, bottomRight)});
        }
        QStringList texts;
        for (const Word &word : line.words)
            texts << word.text;
        line.text = texts.join(' ');
        lines.append(line);
    }
    return lines;
}

// Where the whole phrase stands on one line (its words' joint box); of several, the one
// whose top-left corner is nearest `near`.
std::optional<Word> Find(const QList<Line> &lines, const QString &phrase, QPointF near = {})
{
    std::optional<Word> best;
    const QStringList parts = phrase.split(' ', Qt::SkipEmptyParts);
    for (const Line &line : lines) {
        for (qsizetype i = 0; i + parts.size() <= line.words.size(); ++i) {
            bool all = true;
            for (qsizetype k = 0; k < parts.size() && all; ++k)
                all = line.words[i + k].text == parts[k];
            if (all) {
                Word found = line.words[i];
                found.box.setRight(line.words[i + parts.size() - 1].box.right());
                const auto distance = [&](const Word &w) { return (w.box.topLeft() - near).manhattanLength(); };
                if (!best || distance(found) < distance(*best))
                    best = found;
            }
        }
    }
    return best;
}

CharacterRecordType SampleRecord()
{
    CharacterRecordType record;
    record.Name = "ABC-R-XYZ";
    record.Service = "Internal Security";
    record.Cover = "Armed Forces";
    record.Strength = -32768;
    record.Survival = 32767;
    record.Mutant = "Charm";
    record.Secret = "Pro Tech";
    return record;
}

} // namespace

class TestSheetPage : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QList<Line> lines_;

    // Writes the sheet of `record` on `paper` and reads its first page back.
    bool Print(const CharacterRecordType &record, const QPageSize &paper = QPageSize(QPageSize::A4))
    {
        QFile file(dir_.filePath("sheet.pdf"));
        QString error;
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || !WriteSheetsPdf(file, {record}, paper, &error)) {
            qWarning() << "not written:" << error << file.errorString();
            return false;
        }
        file.close();
        QString problem;
        lines_ = ReadPage(file.fileName(), &problem);
        if (!problem.isEmpty())
            qWarning() << problem;
        return !lines_.isEmpty();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    // Where a caption's first word begins: Left and Top of its label, in points on A4.
    void captionsStandWhereDesigned_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<qreal>("left");
        QTest::addColumn<qreal>("top");
        QTest::addRow("Player (360, 1200)") << "Player:" << 32.14 << 60.0;
        QTest::addRow("Name (240, 2400)") << "Name:" << 26.14 << 120.0;
        QTest::addRow("Security Clearance (240, 2760)") << "Security Clearance: (IR) R O Y G B I V (UV)" << 26.14 << 138.0;
        QTest::addRow("Strength, first row lower (360, 6000)") << "Strength:" << 32.14 << 300.0;
        QTest::addRow("Damage Bonus (2640, 6360)") << "Damage Bonus:" << 146.14 << 318.0;
        QTest::addRow("Power (360, 9720)") << "Power:" << 32.14 << 486.0;
        QTest::addRow("Chutzpah Skill Base, column 1 row 0") << "Chutzpah Skill Base:" << 296.14 << 48.0;
        QTest::addRow("Projectile Weapons, no colon, row 24") << "Projectile Weapons" << 296.14 << 480.0;
        QTest::addRow("Autocar, one ampersand, column 2 row 1") << "Autocar Op. & Maint.:" << 440.14 << 66.0;
        QTest::addRow("Security, no colon, column 2 row 23") << "Security" << 440.14 << 462.0;
        QTest::addRow("Survival, the column's next free row") << "Survival" << 440.14 << 516.0;
        QTest::addRow("Secret Stuff heading, centred in 120..5175") << "Secret Stuff" << -1.0 << 186.75;
    }
    void captionsStandWhereDesigned()
    {
        QFETCH(QString, caption);
        QFETCH(qreal, left);
        QFETCH(qreal, top);
        top += kSheetTop;
        QVERIFY(Print(SampleRecord()));
        const std::optional<Word> word = Find(lines_, caption, QPointF(left, top));
        QVERIFY2(word, qPrintable(caption));
        if (left >= 0)
            QVERIFY2(qAbs(word->box.left() - left) < 1.5, qPrintable(QString::number(word->box.left())));
        else // centred headings: the middle of the label, (120 + 5175) / 2 twips
            QVERIFY2(qAbs(word->box.center().x() - 146.52) < 2, qPrintable(QString::number(word->box.center().x())));
        // The text line's top is the label's top; a heading's sits below its one-pixel frame.
        QVERIFY2(word->box.top() >= top - 1 && word->box.top() < top + 2.5,
                 qPrintable(QString::number(word->box.top())));
    }

    void titleIsCentredAcrossTheSheet()
    {
        QVERIFY(Print(SampleRecord()));
        const std::optional<Word> title = Find(lines_, "Quelvane Character Sheet");
        QVERIFY(title);
        // Label 120..11055 twips: its middle at 279.4 + 14.1 points.
        QVERIFY2(qAbs(title->box.center().x() - 293.51) < 2, qPrintable(QString::number(title->box.center().x())));
        QVERIFY(title->box.height() > 30); // 36 points
    }

    // A number or text wider than its box is shown whole, inside the box.
    void textsWiderThanTheirBoxShowWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("boxLeft");
        QTest::addColumn<qreal>("boxRight");
        QTest::addColumn<qreal>("boxTop");
        // txtStrength 1800..2295 twips, Top 5955; txtSurvival 10440..10935, Top 10320;
        // txtName 1560..5055, Top 2280; txtService likewise at Top 3120.
        QTest::addRow("-32768 in txtStrength") << "-32768" << 104.14 << 128.89 << 297.75;
        QTest::addRow("32767 in txtSurvival") << "32767" << 536.14 << 560.89 << 516.0;
        QTest::addRow("a name longer than txtName")
            << "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW-R-WWW" << 92.14 << 266.89 << 114.0;
        QTest::addRow("the cover with (IS)") << "Armed Forces (IS)" << 92.14 << 266.89 << 156.0;
    }
    void textsWiderThanTheirBoxShowWhole()
    {
        QFETCH(QString, text);
        QFETCH(qreal, boxLeft);
        QFETCH(qreal, boxRight);
        QFETCH(qreal, boxTop);
        boxTop += kSheetTop;
        CharacterRecordType record = SampleRecord();
        if (text.contains("-R-"))
            record.Name = text.toStdString();
        QVERIFY(Print(record));
        const std::optional<Word> whole = Find(lines_, text);
        QVERIFY2(whole, qPrintable(text + " is not on the page whole"));
        QVERIFY2(whole->box.left() >= boxLeft && whole->box.right() <= boxRight,
                 qPrintable(QString("%1..%2").arg(whole->box.left()).arg(whole->box.right())));
        QVERIFY2(whole->box.top() >= boxTop && whole->box.top() < boxTop + 18, qPrintable(QString::number(whole->box.top())));
    }

    // Every word keeps room to every edge of the paper, and the sheet stands at its own size,
    // centred across and at the same height on both papers: each caption where it is on the
    // sheet.
    void marginsOnEveryPaper_data()
    {
        QTest::addColumn<int>("paperId");
        QTest::addColumn<qreal>("side"); // (paper width - 567) / 2
        QTest::addRow("A4: 595.28 x 841.89") << int(QPageSize::A4) << 14.14;
        QTest::addRow("Letter: 612 x 792") << int(QPageSize::Letter) << 22.5;
    }
    void marginsOnEveryPaper()
    {
        QFETCH(int, paperId);
        QFETCH(qreal, side);
        const QPageSize paper{QPageSize::PageSizeId(paperId)};
        QVERIFY(Print(SampleRecord(), paper));
        const QRectF page(QPointF(), paper.size(QPageSize::Point));
        const QRectF allowed = page.adjusted(kLeastMargin, kLeastMargin, -kLeastMargin, -kLeastMargin);
        int words = 0;
        for (const Line &line : lines_) {
            for (const Word &word : line.words) {
                QVERIFY2(allowed.contains(word.box),
                         qPrintable(QString("%1 at %2,%3..%4,%5").arg(word.text).arg(word.box.left())
                                        .arg(word.box.top()).arg(word.box.right()).arg(word.box.bottom())));
                ++words;
            }
        }
        QVERIFY(words > 100);
        // The title's label spans the sheet from 120 to 11055 twips; Player's stands at (360, 1200).
        const std::optional<Word> title = Find(lines_, "Quelvane Character Sheet");
        QVERIFY(title);
        QVERIFY2(qAbs(title->box.center().x() - (279.38 + side)) < 2, qPrintable(QString::number(title->box.center().x())));
        const std::optional<Word> player = Find(lines_, "Player:");
        QVERIFY(player);
        QVERIFY2(qAbs(player->box.left() - (18 + side)) < 1.5, qPrintable(QString::number(player->box.left())));
        QVERIFY2(player->box.top() >= 60 + kSheetTop - 1 && player->box.top() < 60 + kSheetTop + 2.5,
                 qPrintable(QString::number(player->box.top())));
    }

    void internalSecurityIsPrintedNowhere()
    {
        QVERIFY(Print(SampleRecord()));
        for (const Line &line : lines_)
            QVERIFY2(!line.text.contains("Internal"), qPrintable(line.text));
    }

    void everyPageIsOneSheetAndProgressCountsThem()
    {
        QBuffer buffer;
        QVERIFY(buffer.open(QIODevice::WriteOnly));
        QList<int> seen;
        QString error;
        std::vector<CharacterRecordType> records(3, SampleRecord());
        records[1].Name = "SEC-O-ND";
        QVERIFY(WriteSheetsPdf(buffer, records, QPageSize(QPageSize::Letter), &error,
                               [&](int done, int total) { seen << done << total; }));
        QCOMPARE(seen, (QList<int>{1, 3, 2, 3, 3, 3}));
        QFile file(dir_.filePath("three.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(buffer.data());
        file.close();
        QProcess tool;
        tool.start("pdftotext", {"-f", "2", "-l", "2", file.fileName(), "-"});
        QVERIFY(tool.waitForFinished(30000));
        const QString second = QString::fromUtf8(tool.readAllStandardOutput());
        QVERIFY2(second.contains("SEC-O-ND") && !second.contains("ABC-R-XYZ"), qPrintable(second.left(300)));
        QProcess info;
        info.start("pdfinfo", {file.fileName()});
        QVERIFY(info.waitForFinished(30000));
        const QString about = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(about.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(about));
        QVERIFY2(about.contains(QRegularExpression("Page size:\\s+612 x 792 pts")), qPrintable(about));
    }

    void refusesWhatItCannotWrite()
    {
        QString error;
        QBuffer closed;
        QVERIFY(!WriteSheetsPdf(closed, {SampleRecord()}, QPageSize(QPageSize::A4), &error));
        QVERIFY2(error.contains("not open for writing"), qPrintable(error));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(!WriteSheetsPdf(buffer, {}, QPageSize(QPageSize::A4), &error));
        QCOMPARE(error, QString("There is no character to put on a sheet."));
        QCOMPARE(buffer.size(), 0);
    }
};

QTEST_MAIN(TestSheetPage)
#include "test_sheet_page.moc"
