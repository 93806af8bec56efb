// Printing the sheet: the Print command, where the sheet lands on a page, and sheets written
// to PDF through a printer device, read back with the poppler tools.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "GuiFixture.h"
#include "forms/FormInstance.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "forms/sheet/OutputForm.h"
#include "TestFiles.h"
#include "model/modTarvock.h"
#include "platform/CupsJob.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/MountGuard.h"
#include "platform/Printer.h"
#include "platform/Twips.h"
#include "sheet/SheetPdfWriter.h"

using namespace quelvane;

namespace {

// Sheets into a PDF file as the programs make them: the sheets' job on the PDF file printer.
bool SheetsToPdf(const QString &path, const std::vector<CharacterRecordType> &records, QString *error)
{
    return PdfFilePrinter(path, PdfPageLayout(QPageSize(QPageSize::A4))).Print(SheetsJob(records), error);
}

QString Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PageCount(const QString &pdf)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
            .match(Run("pdfinfo", {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Text of one page, runs of blanks made single.
QString PageText(const QString &pdf, int page)
{
    const QString text = Run("pdftotext", {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    return QString(text).replace(QRegularExpression(" +"), " ");
}

CharacterRecordType Agent(const char *name)
{
    CharacterRecordType record;
    record.Name = name;
    record.Service = "Internal Security";
    record.Cover = "Armed Forces";
    record.Mutant = "Charm";
    record.Secret = "Psion";
    record.Strength = 17;
    record.Survival = 9;
    return record;
}

int g_umaskCalls = 0;

} // namespace

// Every umask call of this process, Qt's included, passes through here: the mask is one for
// all threads, so the PDF writer must never change it, not even for a moment.
extern "C" mode_t umask(mode_t mask) noexcept
{
    ++g_umaskCalls;
    return mode_t(::syscall(SYS_umask, mask));
}

class TestSheetPrint : public QObject {
    Q_OBJECT

    std::optional<testing::MainFixture> gui_;
    std::optional<RecordingPrinter> printer_;
    std::optional<Override<PrinterBackend>> printing_;
    QTemporaryDir dir_;

    // Print with no default printer, the question and the save dialog answered in turn.
    void PrintWithoutPrinter(bool save, const std::optional<QString> &path)
    {
        printer_->noDefaultPrinter = true;
        gui_->messages.answers = {save};
        gui_->dialog.answers = {path};
        gui_->main->cmdPrint->click();
    }

    QString SheetBox(const char *name) const
    {
        OutputForm *sheet = FormInstance<OutputForm>::IfLoaded();
        return sheet ? sheet->Text(QLatin1String(name)) : QStringLiteral("<no sheet>");
    }

private slots:
    void initTestCase()
    {
        SetLogicalDpiForTesting(96);
        QVERIFY(dir_.isValid());
    }

    void init()
    {
        gui_.emplace();
        printing_.emplace(PrinterSeam, printer_.emplace());
    }

    void cleanup()
    {
        gui_.reset();
        printing_.reset();
        printer_.reset();
    }

    // ---- The Print command ----

    void printSendsOnePageAndReportsIt()
    {
        QVERIFY(!FormInstance<OutputForm>::IsLoaded());
        gui_->main->cmdPrint->click();
        QCOMPARE(printer_->titles, QStringList{"Quelvane Character Sheet"});
        QCOMPARE(printer_->pages.size(), 1);
        QVERIFY(!printer_->pages.first().isNull());
        QCOMPARE(gui_->main->Label1->text(), QString("Quelvane Character Sheet printed."));
        QVERIFY(gui_->messages.shown.isEmpty());
        QVERIFY(gui_->dialog.asked.isEmpty());
        // Loaded by the print and kept, never shown.
        QVERIFY(FormInstance<OutputForm>::IsLoaded());
        QVERIFY(!FormInstance<OutputForm>::IfLoaded()->isVisible());
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    }

    void printBeforeAnyCharacterShowsZeros()
    {
        gui_->main->cmdPrint->click();
        QCOMPARE(SheetBox("txtName"), QString());
        QCOMPARE(SheetBox("txtStrength"), QString("0"));
        QCOMPARE(SheetBox("txtSurvival"), QString("0"));
        QCOMPARE(gui_->main->Label1->text(), QString("Quelvane Character Sheet printed."));
    }

    void secondPrintDoesNotReadTheRecordAgain()
    {
        CharacterRecord = Agent("AAA-R-AAA");
        gui_->main->cmdPrint->click();
        OutputForm *first = FormInstance<OutputForm>::IfLoaded();
        // Only Generate and Load change the record in the program; a change behind the
        // sheet's back shows that the second print does not fill it again.
        CharacterRecord.Name = "BBB-R-BBB";
        gui_->main->cmdPrint->click();
        QCOMPARE(FormInstance<OutputForm>::IfLoaded(), first);
        QCOMPARE(SheetBox("txtName"), QString("AAA-R-AAA"));
        QCOMPARE(printer_->pages.size(), 2);
    }

    void generateClosesTheSheetSoTheNextPrintShowsTheNewCharacter()
    {
        gui_->main->cmdPrint->click();
        QVERIFY(FormInstance<OutputForm>::IsLoaded());
        gui_->main->cmdGenerate->click();
        QVERIFY(!FormInstance<OutputForm>::IsLoaded());
        gui_->main->cmdPrint->click();
        QCOMPARE(SheetBox("txtName"), QString::fromStdString(CharacterRecord.Name));
        QCOMPARE(SheetBox("txtStrength"), QString::number(CharacterRecord.Strength));
    }

    void closingWindowsBeforeANewRecordClosesTheSheet()
    {
        gui_->main->cmdPrint->click();
        UnloadViewersAndSheet();
        QVERIFY(!FormInstance<OutputForm>::IsLoaded());
        // Closing a sheet that is not loaded does nothing.
        UnloadViewersAndSheet();
        QVERIFY(!FormInstance<OutputForm>::IsLoaded());
    }

    void failedPrintSaysWhyAndKeepsTheStatusLine()
    {
        gui_->main->SetStatus("ABC-R-DEF created.");
        printer_->failure = "The printer is out of paper.";
        gui_->main->cmdPrint->click();
        QCOMPARE(gui_->messages.shown.size(), 1);
        const MessageRequest &message = gui_->messages.shown.first();
        QCOMPARE(message.title, QString("Quelvane Cadrelant Generator"));
        QCOMPARE(message.icon, MessageIcon::Exclamation);
        QVERIFY2(message.text.contains("could not be printed"), qPrintable(message.text));
        QVERIFY2(message.text.contains("The printer is out of paper."), qPrintable(message.text));
        QCOMPARE(gui_->main->Label1->text(), QString("ABC-R-DEF created."));
        QVERIFY(!FormInstance<OutputForm>::IfLoaded()->isVisible());

        // Once the printer works again, printing does.
        printer_->failure.clear();
        gui_->main->cmdPrint->click();
        QCOMPARE(gui_->main->Label1->text(), QString("Quelvane Character Sheet printed."));
    }

    void withoutAnyPrinterTheRealPrintOffersAPdf()
    {
        // main() points the print system at a scheduler that is not there.
        printing_.reset();
        gui_->main->SetStatus("ABC-R-DEF created.");
        gui_->main->cmdPrint->click(); // no answer queued: Cancel
        QCOMPARE(gui_->messages.shown.size(), 1);
        const MessageRequest &question = gui_->messages.shown.first();
        QVERIFY2(question.text.contains("There is no default printer"), qPrintable(question.text));
        QVERIFY2(question.text.contains("Save the sheet as a PDF file instead?"), qPrintable(question.text));
        QCOMPARE(question.title, QString("Quelvane Cadrelant Generator"));
        QCOMPARE(question.accept, QString("&Save as PDF..."));
        QVERIFY(gui_->dialog.asked.isEmpty());
        QCOMPARE(gui_->main->Label1->text(), QString("ABC-R-DEF created."));
        gui_->main->cmdGenerate->click();
        QVERIFY(gui_->main->Label1->text().endsWith(" created."));
        QVERIFY(gui_->main->Label1->text() != QString("ABC-R-DEF created."));
    }

    void jobWithoutASchedulerIsNotTakenForPrinted()
    {
        // main() points the print system at a scheduler that is not there.
        QString error;
        QVERIFY(!SubmitPdf("PDF", "%PDF-1.4\n%%EOF\n", "Quelvane Character Sheet", &error));
        QVERIFY2(!error.isEmpty(), "no reason given");
        QVERIFY2(error.contains("\"PDF\""), qPrintable(error)); // the reason names the printer
    }

    // ---- No default printer: the sheet as a PDF file ----

    void noPrinterSavesTheSheetAsAOnePagePdf()
    {
        QTemporaryDir here; // a folder of its own: its listing is checked
        const QString path = here.filePath("sheet one.pdf");
        QVERIFY(testing::Put(path, "an older file"));
        CharacterRecord = Agent("PDF-R-ONE");
        PrintWithoutPrinter(true, path);

        QCOMPARE(gui_->messages.shown.size(), 1);
        QCOMPARE(gui_->dialog.asked.size(), 1);
        const FileDialogRequest &request = gui_->dialog.asked.first();
        QCOMPARE(request.kind, FileDialogKind::Save);
        QCOMPARE(request.filters, QStringList{"PDF Files (*.pdf)"});
        QCOMPARE(request.defaultSuffix, QString("pdf"));
        QVERIFY(BehaviourForFlags(request.kind, request.flags).confirmOverwrite);
        QVERIFY(printer_->titles.isEmpty());
        QCOMPARE(PageCount(path), 1);
        for (const char *shown : {"Quelvane Character Sheet", "PDF-R-ONE", "Armed Forces (IS)"})
            QVERIFY2(PageText(path, 1).contains(shown), shown);
        QCOMPARE(gui_->main->Label1->text(), "Quelvane Character Sheet saved to " + path + ".");
        QCOMPARE(testing::Entries(here.path()), QStringList{"sheet one.pdf"});
        QVERIFY(!FormInstance<OutputForm>::IfLoaded()->isVisible());
    }

    void noPrinterPdfIsOnTheLocalesPaper()
    {
        // The rule itself, A4 included, is tested through quelvane-roll; here, that the
        // window's PDF follows it.
        QTemporaryDir here;
        QVERIFY(testing::MakeLetterPaperLocale(here.path(), "letterland"));
        const QByteArray saved[] = {qgetenv("LOCPATH"), qgetenv("LC_ALL"), qgetenv("LC_PAPER")};
        const bool had[] = {qEnvironmentVariableIsSet("LOCPATH"), qEnvironmentVariableIsSet("LC_ALL"),
                            qEnvironmentVariableIsSet("LC_PAPER")};
        qputenv("LOCPATH", QFile::encodeName(here.path()));
        qunsetenv("LC_ALL");
        qputenv("LC_PAPER", "letterland");

        const QString path = here.filePath("sheet.pdf");
        PrintWithoutPrinter(true, path);

        const char *names[] = {"LOCPATH", "LC_ALL", "LC_PAPER"};
        for (int i = 0; i < 3; ++i)
            had[i] ? qputenv(names[i], saved[i]) : qunsetenv(names[i]);
        QVERIFY(Run("pdfinfo", {path}).contains(QRegularExpression("Page size:\\s+612 x 792 pts")));
    }

    void noPrinterFirstOffersTheNameBesideTheCharacterFile_data()
    {
        QTest::addColumn<QString>("characterFile");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("offered");
        QTest::addRow("after a load or save") << "/home/u/chars/hero.tbl" << "ABC-R-DEF" << "/home/u/chars/ABC-R-DEF.pdf";
        QTest::addRow("no character file yet") << "" << "ABC-R-DEF" << "ABC-R-DEF.pdf";
        QTest::addRow("no character yet") << "" << "" << "Cadrelant.pdf";
        QTest::addRow("folder parts of a name stay out") << "/home/u/chars/hero.tbl" << "../../tmp/x/Innocent" << "/home/u/chars/Innocent.pdf";
        QTest::addRow("an absolute name stays in the folder") << "/home/u/chars/hero.tbl" << "/etc/cron.d/job" << "/home/u/chars/job.pdf";
        QTest::addRow("a name of dots only") << "" << "../.." << "Cadrelant.pdf";
        QTest::addRow("a hidden name is shown") << "" << ".secret" << "secret.pdf";
        QTest::addRow("a line end in a name") << "" << "A\nB" << "A_B.pdf";
        QTest::addRow("a backslash is part of the name") << "" << "A\\B" << "A\\B.pdf";
    }
    void noPrinterFirstOffersTheNameBesideTheCharacterFile()
    {
        QFETCH(QString, characterFile);
        QFETCH(QString, name);
        QFETCH(QString, offered);
        gui_->main->CommonDialog1->FileName = characterFile;
        CharacterRecord.Name = name.toStdString();
        PrintWithoutPrinter(true, std::nullopt);
        QCOMPARE(gui_->dialog.asked.value(0).startName, offered);
        QCOMPARE(gui_->main->CommonDialog1->FileName, characterFile); // Load and Save keep theirs
    }

    void noPrinterCancelChangesNothing_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addRow("Cancel in the message") << false;
        QTest::addRow("Cancel in the save dialog") << true;
    }
    void noPrinterCancelChangesNothing()
    {
        QFETCH(bool, save);
        QTemporaryDir here;
        QVERIFY(testing::Put(here.filePath("kept.pdf"), "old bytes"));
        gui_->main->SetStatus("CAN-R-CEL created.");
        PrintWithoutPrinter(save, std::nullopt);
        QCOMPARE(gui_->messages.shown.size(), 1);
        QCOMPARE(gui_->dialog.asked.size(), save ? 1 : 0);
        QCOMPARE(gui_->main->Label1->text(), QString("CAN-R-CEL created."));
        QCOMPARE(testing::Entries(here.path()), QStringList{"kept.pdf"});
        QCOMPARE(testing::Contents(here.filePath("kept.pdf")), QByteArray("old bytes"));
    }

    void noPrinterFailedSaveSaysSoAndKeepsTheOldFile()
    {
        if (const QString why = testing::MountGuard::Unavailable(); !why.isEmpty())
            QSKIP(qPrintable("needs a read-only folder: " + why));
        const QString folder = dir_.filePath("locked");
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + "/sheet.pdf";
        QVERIFY(testing::Put(path, "old bytes"));
        testing::MountGuard readOnly;
        if (!readOnly.ReadOnly(folder))
            QSKIP(qPrintable("cannot mount a read-only folder here: " + readOnly.error()));
        gui_->main->SetStatus("OLD-R-OLD created.");
        PrintWithoutPrinter(true, path);
        QCOMPARE(gui_->messages.shown.size(), 2);
        const MessageRequest &told = gui_->messages.shown.last();
        QVERIFY2(told.text.startsWith("The character sheet could not be saved."), qPrintable(told.text));
        // The file and the system's reason, as a failed Save names them.
        QVERIFY2(told.text.contains(path) && told.text.contains("Read-only file system"), qPrintable(told.text));
        QCOMPARE(told.title, QString("Quelvane Cadrelant Generator"));
        QCOMPARE(told.icon, MessageIcon::Exclamation);
        QVERIFY(told.accept.isEmpty());
        QCOMPARE(gui_->main->Label1->text(), QString("OLD-R-OLD created."));
        QCOMPARE(testing::Entries(folder), QStringList{"sheet.pdf"});
        QCOMPARE(testing::Contents(path), QByteArray("old bytes"));
    }

    void printThatCannotStartIsAFailure()
    {
        // Without a destination Qt's printer becomes a PDF writer that cannot open its file;
        // painting then never starts and must not count as printed.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir_.filePath("missing/folder/job.pdf"));
        bool drawn = false;
        PrintJob job{"Quelvane Character Sheet", 1, [&drawn](QPainter &, const PrintPage &, int) { drawn = true; }};
        QString error;
        QVERIFY(!PrintOnDevice(printer, job, &error));
        QVERIFY(!drawn);
        QVERIFY2(error.contains("could not be started"), qPrintable(error));
    }

    // ---- Where the sheet lands on a page ----

    void placement_data()
    {
        // Units of 1/1000 inch; the sheet is 7.875 x 7.719 inches.
        QTest::addColumn<QRectF>("paper");
        QTest::addColumn<QRectF>("printable");
        QTest::addColumn<QRectF>("expected");
        const QRectF a4(0, 0, 8268, 11693);
        QTest::addRow("A4, narrow margins: designed size, centred, at the top")
            << a4 << a4.adjusted(139, 139, -139, -139) << QRectF(196.5, 139, 7875, 7719);
        QTest::addRow("A4 without margins: designed size from the top edge")
            << a4 << a4 << QRectF(196.5, 0, 7875, 7719);
        QTest::addRow("A4, half-inch margins: scaled to the printable width")
            << a4 << a4.adjusted(500, 500, -500, -500) << QRectF(500, 500, 7268, 7719 * 7268.0 / 7875);
        QTest::addRow("A4 landscape: scaled to the printable height")
            << QRectF(0, 0, 11693, 8268) << QRectF(500, 500, 10693, 7268)
            << QRectF((11693 - 7875 * 7268.0 / 7719) / 2, 500, 7875 * 7268.0 / 7719, 7268);
        QTest::addRow("wide left margin: kept inside the printable area")
            << a4 << QRectF(300, 100, 7968, 11400) << QRectF(300, 100, 7875, 7719);
        QTest::addRow("exactly as wide as the printable area")
            << a4 << QRectF(196.5, 50, 7875, 11000) << QRectF(196.5, 50, 7875, 7719);
        QTest::addRow("US Letter: designed size, centred")
            << QRectF(0, 0, 8500, 11000) << QRectF(250, 250, 8000, 10500) << QRectF(312.5, 250, 7875, 7719);
    }
    void placement()
    {
        QFETCH(QRectF, paper);
        QFETCH(QRectF, printable);
        QFETCH(QRectF, expected);
        const QRectF placed = SheetPlacement(QSizeF(7875, 7719), paper, printable);
        QVERIFY2(qAbs(placed.left() - expected.left()) < 0.01 && qAbs(placed.top() - expected.top()) < 0.01
                     && qAbs(placed.width() - expected.width()) < 0.01
                     && qAbs(placed.height() - expected.height()) < 0.01,
                 qPrintable(QString("%1, %2, %3 x %4").arg(placed.left()).arg(placed.top()).arg(placed.width()).arg(placed.height())));
        QVERIFY(printable.adjusted(-0.01, -0.01, 0.01, 0.01).contains(placed));
    }

    void printedPageIsDrawnForThePrintersResolution()
    {
        // The recording printer plays a 600-dpi A4 page: the drawing covers the sheet's
        // marks at 600 / 1440 dots per twip, however many pixels the screen gave the window.
        gui_->main->cmdPrint->click();
        const QRect drawn = printer_->pages.first().boundingRect();
        const qreal dotsPerTwip = 600.0 / 1440;
        const qreal left = (8.2677 * 600 - 11340 * dotsPerTwip) / 2;
        QVERIFY2(qAbs(drawn.left() - left) <= 3 && drawn.top() <= 3, qPrintable(QString("%1, %2").arg(drawn.left()).arg(drawn.top())));
        QVERIFY2(qAbs(drawn.width() - 11340 * dotsPerTwip) <= 6 && qAbs(drawn.height() - 11115 * dotsPerTwip) <= 6,
                 qPrintable(QString("%1 x %2").arg(drawn.width()).arg(drawn.height())));
    }

    // ---- Sheets as a PDF file ----

    void pdfHasOnePageOfTextPerCharacter()
    {
        const QString path = dir_.filePath("three.pdf");
        const std::vector<CharacterRecordType> records = {Agent("ONE-R-AAA"), Agent("TWO-R-BBB"), Agent("SIX-R-CCC")};
        QString error;
        QVERIFY2(SheetsToPdf(path, records, &error), qPrintable(error));
        QCOMPARE(PageCount(path), 3);
        QVERIFY(Run("pdfinfo", {path}).contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842(\\.\\d+)? pts")));
        for (int page = 1; page <= 3; ++page) {
            const QString text = PageText(path, page);
            QVERIFY2(text.contains(QString::fromStdString(records[size_t(page - 1)].Name)), qPrintable(text));
            for (const char *caption : {"Quelvane Character Sheet", "Identification", "Secret Stuff", "Attributes",
                                        "Security Clearance: (IR) R O Y G B I V (UV)", "Autocar Op. & Maint.:",
                                        "Chutzpah Skill Base:", "Survival", "Armed Forces (IS)", "Psion", "Charm"})
                QVERIFY2(text.contains(caption), caption);
            QVERIFY(!text.contains("&&"));
            QVERIFY(!text.contains("Internal Security"));
        }
        // Vector drawing: no picture of the window anywhere in the file.
        const QStringList images = Run("pdfimages", {"-list", path}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 2); // the list's two heading lines only
        QVERIFY(Run("pdffonts", {path}).contains("LiberationSans"));
    }

    void pdfShowsTextsDecodedAsOnScreen()
    {
        // A file from a Windows editor in its code page beside one in UTF-8.
        CharacterRecordType record = Agent("M\xFCller-R-AAA");
        record.Secret = "Fran\xC3\xA7ois";
        record.Cover = "Caf\xE9 Staff";
        const QString path = dir_.filePath("decoded.pdf");
        QString error;
        QVERIFY2(SheetsToPdf(path, {record}, &error), qPrintable(error));
        const QString text = PageText(path, 1);
        for (const QString &shown : {QStringLiteral("M\u00FCller-R-AAA"), QStringLiteral("Fran\u00E7ois"),
                                     QStringLiteral("Caf\u00E9 Staff (IS)")})
            QVERIFY2(text.contains(shown), qPrintable(shown + " not in: " + text));
        QVERIFY(!text.contains(QChar(0xFFFD)));
    }

    void pdfSheetHasItsDesignedSizeOnThePage()
    {
        const QString path = dir_.filePath("size.pdf");
        QString error;
        QVERIFY2(SheetsToPdf(path, {Agent("SIZ-R-EEE")}, &error), qPrintable(error));
        Run("pdftoppm", {"-r", "144", "-png", "-singlefile", path, dir_.filePath("size")});
        const QImage page = QImage(dir_.filePath("size.png")).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!page.isNull());
        QVERIFY(qAbs(page.width() - 8.2677 * 144) <= 1); // A4
        int left_ = page.width(), top = page.height(), right = -1, bottom = -1;
        for (int y = 0; y < page.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(page.constScanLine(y));
            for (int x = 0; x < page.width(); ++x) {
                if (qGray(line[x]) < 128) {
                    left_ = std::min(left_, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        const QRect marks(QPoint(left_, top), QPoint(right, bottom));
        // Marks from twips 120 to 11055 across, 0 to 11055 down, a tenth of a pixel per twip;
        // the 11340-twip client area centred on the page, 18 points (36 pixels) from its top.
        const qreal left = (page.width() - 1134) / 2.0 + 12;
        QVERIFY2(qAbs(marks.left() - left) <= 2, qPrintable(QString::number(marks.left())));
        QVERIFY2(qAbs(marks.top() - 36) <= 2, qPrintable(QString::number(marks.top())));
        QVERIFY2(qAbs(marks.width() - 1093.5) <= 3, qPrintable(QString::number(marks.width())));
        QVERIFY2(qAbs(marks.height() - 1105.5) <= 3, qPrintable(QString::number(marks.height())));
    }

    void pdfLeavesTheProgramsRecordAndSheetAlone()
    {
        CharacterRecord = Agent("OWN-R-REC");
        QString error;
        QVERIFY(SheetsToPdf(dir_.filePath("alone.pdf"), {Agent("OTH-R-ERS")}, &error));
        QCOMPARE(CharacterRecord, Agent("OWN-R-REC"));
        QVERIFY(!FormInstance<OutputForm>::IsLoaded());
    }

    void pdfFailuresSayWhy_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("records");
        QTest::addRow("no characters") << "empty.pdf" << 0;
        QTest::addRow("folder missing") << "missing/folder/sheet.pdf" << 1;
    }
    void pdfFailuresSayWhy()
    {
        QFETCH(QString, path);
        QFETCH(int, records);
        const QString full = dir_.filePath(path);
        QString error;
        QVERIFY(!SheetsToPdf(full, std::vector<CharacterRecordType>(size_t(records)), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(full));
    }

    void pdfGetsTheModeOfANewFileAndLeavesTheUmaskAlone_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::addRow("umask 022") << 0022 << 0644;
        QTest::addRow("umask 077") << 0077 << 0600;
        QTest::addRow("umask 002") << 0002 << 0664;
    }
    void pdfGetsTheModeOfANewFileAndLeavesTheUmaskAlone()
    {
        QFETCH(int, mask);
        QFETCH(int, mode);
        const QString path = dir_.filePath("mode.pdf");
        QFile::remove(path);
        const mode_t before = ::umask(mode_t(mask));
        g_umaskCalls = 0;
        QString error;
        const bool written = SheetsToPdf(path, {Agent("MOD-R-EEE")}, &error);
        const int calls = g_umaskCalls;
        ::umask(before);
        QVERIFY2(written, qPrintable(error));
        QCOMPARE(calls, 0);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
    }

    void pdfReplacesAnOldFileWhole()
    {
        const QString path = dir_.filePath("again.pdf");
        QString error;
        QVERIFY(SheetsToPdf(path, {Agent("OLD-R-AAA"), Agent("OLD-R-BBB")}, &error));
        QVERIFY(SheetsToPdf(path, {Agent("NEW-R-CCC")}, &error));
        QCOMPARE(PageCount(path), 1);
        QVERIFY(PageText(path, 1).contains("NEW-R-CCC"));
        // No partial files left beside it.
        QCOMPARE(QDir(dir_.path()).entryList({"again.pdf*"}, QDir::Files), QStringList{"again.pdf"});
    }
};

int main(int argc, char *argv[])
{
    // Only a scheduler that does not exist: no printer of this machine or its user is used,
    // and the real backend meets "no default printer".
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("CUPS_SERVER", (home.path() + "/no-scheduler.sock").toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    QApplication app(argc, argv);
    TestSheetPrint test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sheet_print.moc"
