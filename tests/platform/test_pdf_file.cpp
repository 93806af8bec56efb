// The PDF file backend writes through the one file writer: whatever stood at the path keeps
// what makes it the user's file.
#include <QtTest>

#include <QPainter>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "platform/Printer.h"

using namespace quelvane;
using namespace quelvane::testing;

namespace {

PrintJob OnePageJob()
{
    PrintJob job;
    job.title = QStringLiteral("Quelvane Character Sheet");
    job.drawPage = [](QPainter &painter, const PrintPage &page, int) {
        painter.drawText(page.printable, QStringLiteral("HERO-R-ONE"));
    };
    return job;
}

struct stat StatOf(const QString &path, bool follow = true)
{
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    if ((follow ? ::stat(native.constData(), &info) : ::lstat(native.constData(), &info)) != 0)
        info.st_ino = 0;
    return info;
}

} // namespace

class TestPdfFile : public QObject {
    Q_OBJECT

private slots:
    void pdfKeepsWhatMakesTheFileTheUsers_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addRow("new file") << "new";
        QTest::addRow("a 0600 file stays 0600") << "private";
        QTest::addRow("a symbolic link stays a link") << "link";
        QTest::addRow("hard links are not split") << "hard link";
    }
    void pdfKeepsWhatMakesTheFileTheUsers()
    {
        QFETCH(QString, setup);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sheet = dir.filePath("sheet.pdf");
        const QString real = setup == "link" ? dir.filePath("real.pdf") : sheet;
        if (setup != "new") {
            QVERIFY(Put(real, "old"));
            QCOMPARE(::chmod(QFile::encodeName(real).constData(), setup == "private" ? 0600 : 0640), 0);
        }
        if (setup == "link")
            QCOMPARE(::symlink("real.pdf", QFile::encodeName(sheet).constData()), 0);
        if (setup == "hard link")
            QCOMPARE(::link(QFile::encodeName(sheet).constData(), QFile::encodeName(dir.filePath("twin.pdf")).constData()), 0);
        const QStringList before = Entries(dir.path());
        const struct stat old = StatOf(real);

        PdfFilePrinter printer(sheet);
        QString error;
        QVERIFY2(printer.Print(OnePageJob(), &error), qPrintable(error));

        QVERIFY(Contents(real).startsWith("%PDF-"));
        QVERIFY(Contents(real).trimmed().endsWith("%%EOF"));
        QCOMPARE(S_ISLNK(StatOf(sheet, false).st_mode), setup == "link");
        if (setup == "hard link")
            QCOMPARE(Contents(dir.filePath("twin.pdf")), Contents(sheet));
        if (setup != "new")
            QCOMPARE(StatOf(real).st_mode & 07777, old.st_mode & 07777);
        // Nothing beside it: no "sheet.pdf.<hex>" or other staging file.
        QCOMPARE(Entries(dir.path()), setup == "new" ? QStringList{"sheet.pdf"} : before);
    }

    void failedPdfReportsWhyAndKeepsTheFolder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir("sheet.pdf"));
        PdfFilePrinter printer(dir.filePath("sheet.pdf"));
        QString error;
        QVERIFY(!printer.Print(OnePageJob(), &error));
        QVERIFY2(error.contains("sheet.pdf cannot be written"), qPrintable(error));
        QCOMPARE(Entries(dir.path()), QStringList{"sheet.pdf"});
    }
};

QTEST_MAIN(TestPdfFile)
#include "test_pdf_file.moc"
