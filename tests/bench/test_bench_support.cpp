#include <QtTest>

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "CommandTimer.h"
#include "Coverage.h"
#include "Stats.h"

using namespace quelvane::bench;

namespace {

// Remembers whether it has been painted; each paint takes `paintTime`.
class PaintedWidget final : public QWidget {
public:
    bool painted = false;
    std::chrono::milliseconds paintTime{0};

protected:
    void paintEvent(QPaintEvent *) override;
};

class PaintedDialog final : public QDialog {
public:
    bool painted = false;

protected:
    void paintEvent(QPaintEvent *) override { painted = true; }
};

void BusyFor(std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
    }
}

void PaintedWidget::paintEvent(QPaintEvent *)
{
    BusyFor(paintTime);
    painted = true;
}

} // namespace

class TestBenchSupport : public QObject {
    Q_OBJECT

private slots:
    void percentileIsNearestRank_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("p");
        QTest::addColumn<double>("expected");
        QTest::addRow("p90 of ten: the ninth") << QList<double>{10, 1, 9, 2, 8, 3, 7, 4, 6, 5} << 90.0 << 9.0;
        QTest::addRow("p50 of four: the second") << QList<double>{4, 3, 2, 1} << 50.0 << 2.0;
        QTest::addRow("p0: the smallest") << QList<double>{3, 1, 2} << 0.0 << 1.0;
        QTest::addRow("p100: the largest") << QList<double>{3, 1, 2} << 100.0 << 3.0;
        QTest::addRow("p91 of ten rounds up to the tenth") << QList<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 91.0 << 10.0;
        QTest::addRow("one value") << QList<double>{7} << 90.0 << 7.0;
    }
    void percentileIsNearestRank()
    {
        QFETCH(QList<double>, values);
        QFETCH(double, p);
        QFETCH(double, expected);
        QCOMPARE(Percentile(std::vector<double>(values.begin(), values.end()), p), expected);
    }

    void medianOfOddAndEvenCounts_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("expected");
        QTest::addRow("odd: the middle one") << QList<double>{5, 1, 3} << 3.0;
        QTest::addRow("even: mean of the middle two") << QList<double>{4, 1, 3, 2} << 2.5;
        QTest::addRow("outlier does not move it") << QList<double>{1, 1, 1000, 1, 2} << 1.0;
    }
    void medianOfOddAndEvenCounts()
    {
        QFETCH(QList<double>, values);
        QFETCH(double, expected);
        QCOMPARE(Median(std::vector<double>(values.begin(), values.end())), expected);
    }

    void noSamplesGiveNoFigure()
    {
        QVERIFY(std::isnan(Median({})));
        QVERIFY(std::isnan(Percentile({}, 90)));
        Row row{"r", "h", "ms"};
        row.limit = 16;
        SetSamples(row, {});
        QCOMPARE(row.reps, 0);
        QVERIFY(!row.Met());
    }

    void goalIsJudgedByItsKind_data()
    {
        QTest::addColumn<double>("median");
        QTest::addColumn<double>("baseline");
        QTest::addColumn<double>("limit");
        QTest::addColumn<bool>("ratio");
        QTest::addColumn<bool>("met");
        QTest::addRow("absolute, under") << 15.9 << double(NAN) << 16.0 << false << true;
        QTest::addRow("absolute, at the limit") << 16.0 << double(NAN) << 16.0 << false << true;
        QTest::addRow("absolute, over") << 16.1 << double(NAN) << 16.0 << false << false;
        QTest::addRow("ratio, under") << 120.0 << 100.0 << 1.3 << true << true;
        QTest::addRow("ratio, over") << 131.0 << 100.0 << 1.3 << true << false;
        QTest::addRow("ratio without a baseline") << 1.0 << double(NAN) << 1.3 << true << false;
        QTest::addRow("ratio against a zero baseline") << 1.0 << 0.0 << 1.3 << true << false;
        QTest::addRow("ratio, a small median is not an absolute pass") << 1.2 << 0.5 << 1.3 << true << false;
    }
    void goalIsJudgedByItsKind()
    {
        QFETCH(double, median);
        QFETCH(double, baseline);
        QFETCH(double, limit);
        QFETCH(bool, ratio);
        QFETCH(bool, met);
        Row row{"r", "h", "ms"};
        row.median = median;
        row.baseline = baseline;
        row.limit = limit;
        row.kind = ratio ? LimitKind::Ratio : LimitKind::Absolute;
        QCOMPARE(row.Met(), met);
    }

    void rowLineKeepsItsColumns()
    {
        Row row{"first\topen", "click,\nthen wait", "ms"};
        SetSamples(row, {3, 1, 2, 10});
        row.baseline = 2;
        row.limit = 1.3;
        row.kind = LimitKind::Ratio;
        const QStringList fields = QString::fromStdString(ToLine(row)).split('\t');
        QCOMPARE(fields.size(), 10);
        QCOMPARE(fields[0], QString("first open"));
        QCOMPARE(fields[1], QString("click, then wait"));
        QCOMPARE(fields[3].toDouble(), 2.5);
        QCOMPARE(fields[4].toDouble(), 10.0);
        QCOMPARE(fields[5], QString("4"));
        QCOMPARE(fields[8], QString("ratio"));
        QCOMPARE(fields[9], QString("-"));
    }

    void rowsAreAppended()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("rows.tsv").toStdString();
        Row a{"a", "h", "ms"};
        Row b{"b", "h", "ms"};
        QVERIFY(AppendRow(path, a));
        QVERIFY(AppendRow(path, b));
        std::ifstream in(path);
        std::string first, second, third;
        QVERIFY(std::getline(in, first) && std::getline(in, second));
        QVERIFY(!std::getline(in, third));
        QCOMPARE(first.substr(0, 2), std::string("a\t"));
        QCOMPARE(second.substr(0, 2), std::string("b\t"));
    }

    void windowCountsAsPaintedOnceEveryPixelIs_data()
    {
        // A 10 x 8 window at (100, 50) in root coordinates; rectangles as x, y, w, h.
        QTest::addColumn<QList<QList<int>>>("rects");
        QTest::addColumn<bool>("painted");
        QTest::addRow("the whole window at once") << QList<QList<int>>{{100, 50, 10, 8}} << true;
        QTest::addRow("larger than the window") << QList<QList<int>>{{0, 0, 500, 500}} << true;
        QTest::addRow("two halves") << QList<QList<int>>{{100, 50, 5, 8}, {105, 50, 5, 8}} << true;
        QTest::addRow("overlapping halves") << QList<QList<int>>{{100, 50, 6, 8}, {104, 50, 6, 8}} << true;
        QTest::addRow("the same half twice") << QList<QList<int>>{{100, 50, 5, 8}, {100, 50, 5, 8}} << false;
        QTest::addRow("last column missing") << QList<QList<int>>{{100, 50, 9, 8}} << false;
        QTest::addRow("last row missing") << QList<QList<int>>{{100, 50, 10, 7}} << false;
        QTest::addRow("one pixel off to the right") << QList<QList<int>>{{101, 50, 10, 8}} << false;
        QTest::addRow("beside the window only") << QList<QList<int>>{{110, 50, 10, 8}, {90, 50, 10, 8}} << false;
        QTest::addRow("nothing drawn") << QList<QList<int>>{} << false;
        QTest::addRow("empty rectangle") << QList<QList<int>>{{100, 50, 0, 0}} << false;
    }
    void windowCountsAsPaintedOnceEveryPixelIs()
    {
        QFETCH(QList<QList<int>>, rects);
        QFETCH(bool, painted);
        Coverage coverage;
        coverage.Reset(100, 50, 10, 8);
        for (const QList<int> &r : rects)
            coverage.Mark(r[0], r[1], r[2], r[3]);
        QCOMPARE(coverage.Complete(), painted);
    }

    void pixelsLeftCountsEachPixelOnce()
    {
        Coverage coverage;
        coverage.Reset(0, 0, 4, 4);
        QCOMPARE(coverage.PixelsLeft(), size_t(16));
        coverage.Mark(0, 0, 2, 2);
        coverage.Mark(1, 1, 2, 2);
        QCOMPARE(coverage.PixelsLeft(), size_t(16 - 7));
        // A new window starts from nothing.
        coverage.Reset(0, 0, 2, 2);
        QCOMPARE(coverage.PixelsLeft(), size_t(4));
        QVERIFY(!coverage.Complete());
    }

    void aWindowOfNoSizeIsNeverPainted()
    {
        Coverage coverage;
        coverage.Reset(0, 0, 0, 0);
        QVERIFY(!coverage.Mark(0, 0, 10, 10));
    }

    void measureWaitsForTheWindowItShowsToBePainted()
    {
        // The paint is slow, so a figure taken before it ends is too small.
        PaintedWidget window;
        window.paintTime = std::chrono::milliseconds(30);
        CommandTimer timer;
        const double ms = timer.Measure([&] { window.show(); });
        QVERIFY(window.painted);
        QVERIFY(timer.LastPaintCount() >= 1);
        QVERIFY2(ms >= 30, qPrintable(QString::number(ms)));
    }

    void measureWaitsForWorkTheClickPosted()
    {
        // A chain of queued steps and a deferred delete: none may be left when Measure returns.
        int steps = 0;
        QPointer<QObject> doomed = new QObject;
        std::function<void()> step = [&] {
            if (++steps < 20)
                QTimer::singleShot(0, step);
            else
                doomed->deleteLater();
        };
        CommandTimer timer;
        timer.Measure([&] { QTimer::singleShot(0, step); });
        QCOMPARE(steps, 20);
        QVERIFY(doomed.isNull());
    }

    void measureCoversTheWholeHandler()
    {
        CommandTimer timer;
        const double ms = timer.Measure([] { BusyFor(std::chrono::milliseconds(20)); });
        QVERIFY2(ms >= 20, qPrintable(QString::number(ms)));
    }

    void aModalDialogIsTimedUntilShownAndClosedUntimed()
    {
        QPointer<PaintedDialog> dialog = new PaintedDialog;
        bool visibleWhenIdle = false;
        bool paintedWhenIdle = false;
        bool returnedFromExec = false;
        CommandTimer timer;
        const double ms = timer.Measure(
            [&] {
                dialog->exec();
                returnedFromExec = true;
            },
            [&] {
                visibleWhenIdle = dialog->isVisible();
                paintedWhenIdle = dialog->painted;
                // Closing is not part of the figure.
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
                dialog->reject();
            });
        QVERIFY(visibleWhenIdle);
        QVERIFY(paintedWhenIdle);
        QVERIFY(returnedFromExec);
        QVERIFY2(ms < 60, qPrintable(QString::number(ms)));
        delete dialog;
    }

    void aClickThatDoesNothingIsIdleAtOnce()
    {
        CommandTimer timer;
        timer.Measure([] {});
        QCOMPARE(timer.LastPaintCount(), 0);
    }
};

QTEST_MAIN(TestBenchSupport)
#include "test_bench_support.moc"
