// The progress line of a long --pdf run: only on a terminal, only after a second, cleared.
#include <QtTest>

#include "roll/PdfProgress.h"

using quelvane::roll::PdfProgress;

class TestPdfProgress : public QObject {
    Q_OBJECT

private slots:
    void shownOnATerminalAfterASecond_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QList<qint64>>("times"); // elapsed ms after pages 1, 2, 3...
        QTest::addColumn<QString>("written");
        QTest::addRow("a pipe: nothing, however long")
            << false << QList<qint64>{500, 1500, 3000} << QString();
        QTest::addRow("a short run: nothing") << true << QList<qint64>{100, 400, 900} << QString();
        QTest::addRow("a long run: from the first page past a second, then cleared")
            << true << QList<qint64>{600, 1200, 1900}
            << QString("\rquelvane-roll: 2 pages done of 3|\rquelvane-roll: 3 pages done of 3|"
                       "\r                                \r|");
        QTest::addRow("ten times a second at most, the last page always")
            << true << QList<qint64>{1000, 1050, 1099, 1100}
            << QString("\rquelvane-roll: 1 pages done of 4|\rquelvane-roll: 4 pages done of 4|"
                       "\r                                \r|");
    }
    void shownOnATerminalAfterASecond()
    {
        QFETCH(bool, terminal);
        QFETCH(QList<qint64>, times);
        QFETCH(QString, written);
        QString got;
        PdfProgress progress(terminal, [&](const std::string &text) { got += QString::fromStdString(text) + '|'; });
        for (int i = 0; i < times.size(); ++i)
            progress.Update(i + 1, int(times.size()), times[i]);
        progress.Finish();
        QCOMPARE(got, written);
    }

    void aShorterLineCoversTheLongerOne()
    {
        QString got;
        PdfProgress progress(true, [&](const std::string &text) { got += QString::fromStdString(text) + '|'; });
        progress.Update(10, 10, 2000);
        progress.Update(9, 10, 2500); // as if the count went down: the old digits are blanked
        QCOMPARE(got, QString("\rquelvane-roll: 10 pages done of 10|\rquelvane-roll: 9 pages done of 10 |"));
    }
};

QTEST_GUILESS_MAIN(TestPdfProgress)
#include "test_pdf_progress.moc"
