// Input meant to break the program: files that change under the dialog, paths too long for
// the system, texts full of markup and control characters. Nothing may crash, nothing may be
// lost, and every text shows literally.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "GuiFixture.h"
#include "TestFiles.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "model/Random.h"
#include "forms/FormInstance.h"
#include "forms/sheet/OutputForm.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewStats.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/Twips.h"
#include "sheet/SheetPdfWriter.h"

using namespace quelvane;
using namespace quelvane::testing;

namespace {

// Sheets into a PDF file as the programs make them: the sheets' job on the PDF file printer.
bool SheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records, QString *error)
{
    return PdfFilePrinter(path, PdfPageLayout(QPageSize(QPageSize::A4))).Print(SheetsJob(records), error);
}

// Answers with a path and, at the moment the user would press OK, does something to the file.
class MeddlingFileDialog final : public FileDialogBackend {
public:
    std::optional<QString> Show(QWidget *, const FileDialogRequest &) override
    {
        if (meddle)
            meddle();
        return answer;
    }
    std::optional<QString> answer;
    std::function<void()> meddle;
};

// Pixels of the designed green text (0, 192, 0), or anti-aliased shades of it on black, in
// `area` of a widget as painted.
int GreenTextPixels(QWidget *widget, const QRect &area)
{
    const QImage image = widget->grab().toImage();
    const QRect inside = area.intersected(image.rect());
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.green() >= 96 && pixel.red() < 64 && pixel.blue() < 64)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT

    std::optional<MainFixture> gui_;
    MeddlingFileDialog meddling_;
    std::optional<Override<FileDialogBackend>> meddlingInPlace_;

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init()
    {
        QVERIFY(gui_.emplace(Generated(21)).dir.isValid());
        meddling_.answer.reset();
        meddling_.meddle = nullptr;
        meddlingInPlace_.emplace(FileDialogSeam, meddling_);
        gui_->main->SetStatus("before");
    }

    void cleanup()
    {
        meddlingInPlace_.reset();
        gui_.reset();
    }

    void fileChangedUnderTheDialogFailsQuietly_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addRow("deleted") << "delete";
        QTest::addRow("replaced by a FIFO") << "fifo";
        QTest::addRow("replaced by a folder") << "folder";
        QTest::addRow("cut short") << "truncate";
        QTest::addRow("emptied") << "empty";
    }
    void fileChangedUnderTheDialogFailsQuietly()
    {
        QFETCH(QString, change);
        const QString path = gui_->dir.filePath("hero.tbl");
        QVERIFY(Put(path, QByteArray::fromStdString(WriteCharacterText(Generated(22)))));
        const CharacterRecordType before = CharacterRecord;
        meddling_.answer = path;
        meddling_.meddle = [&] {
            QFile::remove(path);
            const QByteArray native = QFile::encodeName(path);
            if (change == "fifo")
                ::mkfifo(native.constData(), 0644);
            else if (change == "folder")
                QDir().mkdir(path);
            else if (change == "truncate")
                Put(path, "12\r\n13\r\n");
            else if (change == "empty")
                Put(path, "");
        };
        gui_->main->cmdLoad->click();
        QVERIFY(CharacterRecord == before);
        if (change == "empty") {
            // An empty file is the one failure that speaks.
            QCOMPARE(gui_->messages.shown.size(), 1);
            QCOMPARE(gui_->messages.shown.first().text, QString("No records in data file."));
        } else {
            QVERIFY(gui_->messages.shown.isEmpty());
        }
        QCOMPARE(gui_->main->Label1->text(), QString("before"));
    }

    // The save is told (the system's "File name too long"), the load stays silent.
    void pathsTooLongFailQuietly_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addRow("a name of 300 characters") << "name";
        QTest::addRow("a path of 5000 characters") << "path";
    }
    void pathsTooLongFailQuietly()
    {
        QFETCH(QString, shape);
        const QString path = shape == "name" ? gui_->dir.filePath(QString(300, 'n') + ".tbl")
                                             : gui_->dir.path() + QString("/d").repeated(2500) + "/x.tbl";
        const CharacterRecordType before = CharacterRecord;
        meddling_.answer = path;
        gui_->main->cmdSave->click();
        QCOMPARE(gui_->main->Label1->text(), QString("before"));
        QCOMPARE(gui_->messages.shown.size(), 1);
        QVERIFY2(gui_->messages.shown[0].text.contains("File name too long"), qPrintable(gui_->messages.shown[0].text));
        meddling_.answer = path;
        gui_->main->cmdLoad->click();
        QVERIFY(CharacterRecord == before);
        QCOMPARE(gui_->main->Label1->text(), QString("before"));
        QCOMPARE(gui_->messages.shown.size(), 1);
        QCOMPARE(QDir(gui_->dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    // A NUL byte would mark the file as binary; every other control byte is kept.
    void controlBytesAndInvalidUtf8SurviveLoadAndSave()
    {
        CharacterRecordType odd = Generated(23);
        odd.Name = "N\x01L-R-\xff\xfe";
        odd.Service = "Caf\xe9 & <b>Bar</b>";
        odd.Secret = std::string(5000, '\x01');
        const QString in = gui_->dir.filePath("odd.tbl");
        const QString out = gui_->dir.filePath("again.tbl");
        QVERIFY(Put(in, QByteArray::fromStdString(WriteCharacterText(odd))));
        meddling_.answer = in;
        gui_->main->cmdLoad->click();
        QVERIFY(CharacterRecord == odd);
        meddling_.answer = out;
        gui_->main->cmdSave->click();
        QCOMPARE(Contents(out), Contents(in));
        QCOMPARE(gui_->main->Label1->text(), out + " saved.");
    }

    void hostileTextsShowLiterally_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("wraps"); // in the status line, with no blank to wrap at
        QTest::addRow("bold markup") << QByteArray("<b>BOLD</b>") << false;
        QTest::addRow("an image tag") << QByteArray("<img src=\"file:///etc/passwd\">") << false;
        QTest::addRow("a link") << QByteArray("<a href=\"http://example.org\">click</a>") << false;
        QTest::addRow("ampersands") << QByteArray("R&D && &amp; &x") << false;
        QTest::addRow("control characters") << QByteArray("tab\tbell\abackspace\bescape\x1b[31m") << false;
        QTest::addRow("a right-to-left override") << QByteArray("abc\xe2\x80\xaetxt.exe") << false;
        QTest::addRow("100000 characters") << QByteArray(100000, 'W') << true;
    }
    void hostileTextsShowLiterally()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, wraps);
        const QString shown = QString::fromUtf8(text);

        // In the status line, through a file path.
        gui_->main->SetStatus(shown + " loaded.");
        QCOMPARE(gui_->main->Label1->textFormat(), Qt::PlainText);
        QCOMPARE(gui_->main->Label1->text(), shown + " loaded.");
        gui_->main->show();
        QVERIFY(QTest::qWaitForWindowExposed(gui_->main.get()));
        // Painted, in green, inside the frame; a word longer than the line goes on to the next.
        const QRect inside = gui_->main->Label1->contentsRect();
        const int lineHeight = QFontMetrics(gui_->main->Label1->font()).lineSpacing();
        const QRect firstLine(inside.left(), inside.top(), inside.width(), lineHeight);
        const QRect below(inside.left(), inside.top() + lineHeight, inside.width(), inside.height() - lineHeight);
        QVERIFY(GreenTextPixels(gui_->main->Label1, firstLine) > 0);
        if (wraps)
            QVERIFY(GreenTextPixels(gui_->main->Label1, below) > 0);

        // In the viewers, through the record.
        CharacterRecord.Name = text.toStdString();
        CharacterRecord.Service = text.toStdString();
        CharacterRecord.Secret = text.toStdString();
        auto *secrets = FormInstance<ViewSecret>::Get();
        secrets->show();
        for (const char *box : {"txtName", "txtService", "txtSecret"}) {
            auto *edit = secrets->findChild<QLineEdit *>(box);
            QVERIFY(edit);
            QCOMPARE(edit->text(), shown);
        }
        for (const char *box : {"txtName", "txtService", "txtSecret"}) {
            auto *edit = secrets->findChild<QLineEdit *>(box);
            QVERIFY2(GreenTextPixels(edit, edit->rect()) > 0, box);
        }
        for (QLabel *label : secrets->findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);

        // On the sheet, and on paper.
        auto *sheet = FormInstance<OutputForm>::Get();
        for (const char *box : {"txtName", "txtService", "txtSecretSociety"})
            QCOMPARE(sheet->Text(box), shown);
        const QString pdf = gui_->dir.filePath("sheet.pdf");
        QString error;
        QVERIFY2(SheetsToPdf(pdf, {CharacterRecord}, &error), qPrintable(error));
        // Printable ASCII comes back from the PDF as it went in; the rest is only drawn.
        const bool plain = std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
        if (plain && text.size() < 40) {
            QProcess pdftotext;
            pdftotext.start("pdftotext", {"-layout", pdf, "-"});
            QVERIFY(pdftotext.waitForFinished(20000));
            const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput());
            QVERIFY2(printed.contains(shown.left(12)), qPrintable(printed.left(400)));
        }
    }
};

QTEST_MAIN(TestHostileInput)
#include "test_hostile_input.moc"
