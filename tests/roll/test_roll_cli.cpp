// quelvane-roll as a user runs it: a real process, its exit status and its two streams.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <signal.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "RollProcess.h"
#include "TestFiles.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "roll/OutputFiles.h"
#include "roll/RollCommand.h"
#include "roll/SheetText.h"
#include "version.h"

using namespace quelvane;

namespace {

using Run = testing::RollRun;

Run RollProcess(const QStringList &args, const QString &stdoutFile = {})
{
    return testing::RunRollProcess(args, stdoutFile);
}

QByteArray ReadFile(const QString &path) { return testing::ReadWholeFile(path); }

// Standard output of a helper program (pdfinfo, pdftotext); a marker when it failed.
QString Tool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return "<" + program + " failed>";
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList FilesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot,
                               QDir::Name);
}

// The seed the program reported on standard error.
QString SeedLine(const QByteArray &err)
{
    const QRegularExpressionMatch match =
        QRegularExpression("^quelvane-roll: seed (\\d+)$", QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(err));
    return match.hasMatch() ? match.captured(1) : QString();
}

// Starts quelvane-roll with every signal at its default, whatever this test inherited (a
// background job ignores SIGINT), and its standard output a pipe that nobody reads: once the
// pipe is full the run cannot finish, so it is still running when a signal comes.
void StartRoll(QProcess &process, const QStringList &args)
{
    process.setChildProcessModifier([] {
        for (int signal : {SIGPIPE, SIGTERM, SIGINT, SIGHUP})
            ::signal(signal, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
    });
    process.start(QStringLiteral(QUELVANE_ROLL_BIN), args);
}

// Polls `dir` until it holds at least `count` entries ending with `suffix`; false after a
// minute.
bool WaitForEntries(const QString &dir, const QString &suffix, int count = 1)
{
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        const QStringList names = FilesIn(dir);
        if (std::count_if(names.begin(), names.end(), [&](const QString &name) { return name.endsWith(suffix); }) >= count)
            return true;
        QThread::msleep(5); // no event loop here: the run's standard output stays unread
    }
    return false;
}

} // namespace

class TestRollCli : public QObject {
    Q_OBJECT

private slots:
    void goldenSheetsForOneSeed()
    {
        // Pins the generator's stream and the text layout: the same bytes on every machine.
        const QByteArray golden = ReadFile(QStringLiteral(QUELVANE_ROLL_DATA "/seed-42-count-2.txt"));
        QVERIFY(!golden.isEmpty());
        const Run two = RollProcess({"--seed", "42", "-n", "2"});
        QCOMPARE(two.status, 0);
        QCOMPARE(two.out, golden);
        QCOMPARE(SeedLine(two.err), QString("42"));
        // One character is the first sheet of the two.
        const Run one = RollProcess({"--seed=42"});
        QCOMPARE(one.status, 0);
        QVERIFY(golden.startsWith(one.out));
        QCOMPARE(golden.at(one.out.size()), '\n');
    }

    void clockSeedIsPrintedAndRepeatsTheRoll()
    {
        const Run first = RollProcess({"-n", "3"});
        QCOMPARE(first.status, 0);
        const QString seed = SeedLine(first.err);
        QVERIFY2(!seed.isEmpty(), first.err.constData());
        const Run again = RollProcess({"-n", "3", "--seed", seed});
        QCOMPARE(again.out, first.out);
        const Run other = RollProcess({"-n", "3"});
        QVERIFY(SeedLine(other.err) != seed);
        QVERIFY(other.out != first.out);
    }

    void filesHoldTheCharacterFileBytes()
    {
        QTemporaryDir parent;
        QVERIFY(parent.isValid());
        const QDir dir(parent.filePath("clones")); // missing: the run makes it
        const Run run = RollProcess({"--seed", "2718", "-n", "6", "-o", dir.path()});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.endsWith("\nquelvane-roll: 6 files written to " + dir.path().toUtf8() + "\n"));
        const auto records = roll::RollCharacters(2718, 6);
        QCOMPARE(FilesIn(dir.path()).size(), 6);
        for (const CharacterRecordType &record : records) {
            const QString path = dir.filePath(QString::fromStdString(roll::CharacterFileName(record.Name)));
            const QByteArray bytes = ReadFile(path);
            QCOMPARE(bytes, QByteArray::fromStdString(WriteCharacterText(record)));
            QCOMPARE(bytes.count("\r\n"), kFieldCount);
            QVERIFY(bytes.endsWith("\r\n"));
        }
    }

    void secondRunAddsASuffixInsteadOfReplacing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList args{"--seed", "99", "-n", "2", "-o", dir.path()};
        QCOMPARE(RollProcess(args).status, 0);
        const QStringList before = FilesIn(dir.path());
        QCOMPARE(before.size(), 2);
        // Hand-edit one file: a second run must not touch it.
        {
            QFile edited(dir.filePath(before[0]));
            QVERIFY(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
            edited.write("edited by hand");
        }
        QCOMPARE(RollProcess(args).status, 0);
        const QStringList after = FilesIn(dir.path());
        QCOMPARE(after.size(), 4);
        QCOMPARE(ReadFile(dir.filePath(before[0])), QByteArray("edited by hand"));
        for (const QString &name : before) {
            const QString copy = name.chopped(4) + "-2.tbl";
            QVERIFY2(after.contains(copy), qPrintable(copy));
            if (name != before[0])
                QCOMPARE(ReadFile(dir.filePath(copy)), ReadFile(dir.filePath(name)));
        }
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args"); // "DIR" is a fresh empty folder, "FILE" a file in it
        QTest::addColumn<QString>("message");
        QTest::addRow("unknown option") << QStringList{"--team"} << "unknown option '--team'";
        QTest::addRow("unknown short option") << QStringList{"-z"} << "unknown option '-z'";
        QTest::addRow("stray argument") << QStringList{"5"} << "unexpected argument '5'";
        QTest::addRow("count zero") << QStringList{"-n", "0", "-o", "DIR"} << "count 0 is out of range";
        QTest::addRow("count too large") << QStringList{"-o", "DIR", "--count", "10001"} << "count 10001 is out of range";
        QTest::addRow("count not a number") << QStringList{"-n", "many", "-o", "DIR"} << "count 'many' is not a whole number";
        QTest::addRow("count missing") << QStringList{"-o", "DIR", "-n"} << "option '-n' needs a value";
        QTest::addRow("seed not a number") << QStringList{"--seed", "abc", "-o", "DIR"} << "seed 'abc' is not a whole number";
        QTest::addRow("seed negative") << QStringList{"--seed=-5", "-o", "DIR"} << "seed '-5' is not a whole number";
        QTest::addRow("seed too large") << QStringList{"--seed", "99999999999999999999", "-o", "DIR"} << "seed 99999999999999999999 is too large";
        QTest::addRow("folder two levels down") << QStringList{"-o", "DIR/none/deeper"} << "cannot write to folder 'DIR/none/deeper': No such file or directory";
        QTest::addRow("new folder, bad PDF path") << QStringList{"-o", "DIR/new", "--pdf", "DIR/new/none/x.pdf"} << "cannot write PDF 'DIR/new/none/x.pdf': No such file or directory";
        QTest::addRow("folder is a file") << QStringList{"-o", "FILE"} << "cannot write to folder 'FILE': not a folder";
        QTest::addRow("unwritable folder") << QStringList{"-o", "/sys"} << "cannot write to folder '/sys': Permission denied";
        QTest::addRow("json given a value") << QStringList{"--json=no", "-o", "DIR"} << "option '--json' takes no value";
        QTest::addRow("PDF in a missing folder") << QStringList{"-o", "DIR", "--pdf", "DIR/none/x.pdf"} << "cannot write PDF 'DIR/none/x.pdf': No such file or directory";
        QTest::addRow("PDF path is a folder") << QStringList{"--pdf", "DIR"} << "cannot write PDF 'DIR': a folder";
        QTest::addRow("PDF path ends in a slash") << QStringList{"--pdf", "DIR/new/"} << "cannot write PDF 'DIR/new/': not a file name";
        QTest::addRow("PDF below a file") << QStringList{"--pdf", "FILE/x.pdf"} << "cannot write PDF 'FILE/x.pdf': Not a directory";
        QTest::addRow("PDF in an unwritable folder") << QStringList{"-o", "DIR", "--pdf", "/sys/x.pdf"} << "cannot write PDF '/sys/x.pdf': Permission denied";
        QTest::addRow("PDF onto a device") << QStringList{"--pdf", "/dev/null"} << "cannot write PDF '/dev/null': not a regular file";
        QTest::addRow("PDF without a name") << QStringList{"-o", "DIR", "--pdf="} << "option '--pdf' needs a file name";
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString work = dir.filePath("work");
        QVERIFY(QDir().mkdir(work));
        const QString file = dir.filePath("FILE.txt");
        QFile(file).open(QIODevice::WriteOnly);
        for (QString &arg : args) {
            arg.replace("DIR", work).replace("FILE", file);
        }
        message.replace("DIR", work).replace("FILE", file);

        const Run run = RollProcess(args);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QByteArray());
        // One line, naming the problem.
        QVERIFY2(run.err.startsWith("quelvane-roll: " + message.toUtf8()), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        // Nothing half-written.
        QCOMPARE(FilesIn(work), QStringList());
        QCOMPARE(FilesIn(dir.path()), QStringList({"FILE.txt", "work"}));
    }

    // A PDF that exists but may not be written stops the run before anything is written, as
    // any other bad PDF path does. Root passes permission bits, so for root it is immutable.
    void unwritablePdfIsBadInput()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString work = dir.filePath("work"), pdf = dir.filePath("ro.pdf");
        QVERIFY(QDir().mkdir(work));
        QVERIFY(testing::Put(pdf, "an older PDF"));
        QVERIFY(QFile::setPermissions(pdf, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        struct Immutable {
            QByteArray path;
            bool set(bool on)
            {
                const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
                int flags = 0;
                bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
                flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
                done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
                if (fd >= 0)
                    ::close(fd);
                return done;
            }
            ~Immutable() { set(false); }
        } immutable{QFile::encodeName(pdf)};
        if (::geteuid() == 0 && !immutable.set(true))
            QSKIP("this file system cannot make a file immutable, and root writes any other");

        const Run run = RollProcess({"-n", "3", "-o", work, "--pdf", pdf});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.startsWith("quelvane-roll: cannot write PDF '" + QFile::encodeName(pdf) + "': "),
                 run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(FilesIn(work), QStringList());
        QCOMPARE(testing::Contents(pdf), QByteArray("an older PDF"));
    }

    // A signal ends a run as a failure does: everything it wrote is taken back, and the run
    // dies of that signal. The signal comes once the first character file is there, or, for
    // --pdf, once all of them are: the PDF is being drawn then.
    void signalTakesBackTheRun_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<bool>("folderExists");
        QTest::addRow("SIGTERM while the files are written") << SIGTERM << false << false;
        QTest::addRow("SIGINT while the files are written") << SIGINT << false << false;
        QTest::addRow("SIGTERM while the PDF is drawn") << SIGTERM << true << false;
        QTest::addRow("SIGINT while the PDF is drawn") << SIGINT << true << false;
        QTest::addRow("SIGHUP while the PDF is drawn") << SIGHUP << true << false;
        QTest::addRow("SIGPIPE while the PDF is drawn") << SIGPIPE << true << false;
        QTest::addRow("SIGTERM, folder there before") << SIGTERM << true << true;
    }
    void signalTakesBackTheRun()
    {
        QFETCH(int, signal);
        QFETCH(bool, pdf);
        QFETCH(bool, folderExists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString out = dir.filePath("team");
        if (folderExists) {
            QVERIFY(QDir().mkdir(out));
            QVERIFY(testing::Put(out + "/team.pdf", "last week's team"));
        }
        const int count = pdf ? 1000 : 10000; // pages enough to be killed while drawing
        QStringList args{"-n", QString::number(count), "-o", out};
        if (pdf)
            args << "--pdf" << out + "/team.pdf";
        QProcess roll;
        StartRoll(roll, args);
        QVERIFY(roll.waitForStarted());
        QVERIFY2(WaitForEntries(out, ".tbl", pdf ? count : 1), "the run never got to the step");
        QCOMPARE(::kill(pid_t(roll.processId()), signal), 0);
        QVERIFY(roll.waitForFinished(60000));
        QCOMPARE(roll.exitStatus(), QProcess::CrashExit);
        QCOMPARE(roll.exitCode(), signal);
        if (folderExists) {
            QCOMPARE(FilesIn(out), QStringList{"team.pdf"});
            QCOMPARE(ReadFile(out + "/team.pdf"), QByteArray("last week's team"));
        } else {
            QCOMPARE(FilesIn(dir.path()), QStringList{});
        }
    }

    // Under nohup a hang-up is ignored: the run goes on and keeps what it wrote.
    void ignoredHangUpStaysIgnored()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString out = dir.filePath("team");
        QProcess roll;
        roll.setChildProcessModifier([] { ::signal(SIGHUP, SIG_IGN); });
        roll.start(QStringLiteral(QUELVANE_ROLL_BIN), {"-n", "2000", "-o", out});
        QVERIFY(roll.waitForStarted());
        QVERIFY(WaitForEntries(out, ".tbl"));
        QCOMPARE(::kill(pid_t(roll.processId()), SIGHUP), 0);
        QVERIFY(roll.waitForFinished(60000)); // reads the output, so the run can end
        QCOMPARE(roll.exitStatus(), QProcess::NormalExit);
        QCOMPARE(roll.exitCode(), 0);
        QCOMPARE(FilesIn(out).size(), 2000);
    }

    // quelvane-roll -n 300 -o out | head -c 100: the reader leaves, the run dies of SIGPIPE
    // (a shell sees 141) and takes its files and their folder with it. 300 sheets are more
    // than a pipe holds, so the run meets the closed pipe whatever the timing.
    void closedPipeTakesBackTheRun()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.setChildProcessModifier([] { ::signal(SIGPIPE, SIG_DFL); });
        shell.start("bash", {"-c", "\"$0\" -n 300 -o out | head -c 100 >/dev/null; echo \"${PIPESTATUS[0]}\"",
                             QStringLiteral(QUELVANE_ROLL_BIN)});
        QVERIFY(shell.waitForFinished(120000));
        QCOMPARE(shell.readAllStandardOutput().trimmed(), QByteArray("141"));
        QCOMPARE(FilesIn(dir.path()), QStringList{});
    }

    void failedStandardOutputIsAnError()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = dir.filePath("team.pdf");
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("last week's team");
        }
        const Run run = RollProcess({"--seed", "1", "-n", "50", "-o", dir.filePath("clones"), "--pdf", pdf},
                                    "/dev/full");
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.endsWith("\nquelvane-roll: cannot write to standard output\n"), run.err.constData());
        // The run takes back everything it wrote: the files, their new folder, the new PDF.
        QCOMPARE(FilesIn(dir.path()), QStringList{"team.pdf"});
        QCOMPARE(ReadFile(pdf), QByteArray("last week's team"));
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("start");
        QTest::addRow("--help") << QStringList{"--help"} << "Usage: quelvane-roll [OPTION]...\n";
        QTest::addRow("-h") << QStringList{"-h"} << "Usage: quelvane-roll [OPTION]...\n";
        QTest::addRow("--version") << QStringList{"--version"}
                                   << "quelvane-roll " QUELVANE_VERSION_STRING "\n";
    }
    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, start);
        const Run run = RollProcess(args);
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.startsWith(start.toUtf8()));
        QCOMPARE(run.err, QByteArray()); // no roll, so no seed
        if (args[0] == "--version")
            QCOMPARE(run.out, start.toUtf8());
    }

    void pdfHasOnePagePerCharacterWithoutADisplay()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = dir.filePath("team.pdf");
        {
            QFile old(pdf); // an older PDF of that name is replaced
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("not a pdf");
        }
        // No display, and a platform that would need one: the PDF must not care.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("XDG_RUNTIME_DIR");
        env.insert("QT_QPA_PLATFORM", "xcb");
        const Run run = testing::RunRollProcess({"--seed", "5", "-n", "3", "--pdf", pdf}, {}, env);
        QCOMPARE(run.status, 0);
        QCOMPARE(QString::fromUtf8(run.err),
                 "quelvane-roll: seed 5\nquelvane-roll: 3 pages written to " + pdf + "\n");
        QCOMPARE(Tool("pdfinfo", {pdf}).section("Pages:", 1).section('\n', 0, 0).trimmed(), QString("3"));

        const auto records = roll::RollCharacters(5, 3);
        for (int page = 1; page <= 3; ++page) {
            const CharacterRecordType &record = records[size_t(page - 1)];
            const QString text = Tool("pdftotext", {"-layout", "-f", QString::number(page), "-l",
                                                    QString::number(page), pdf, "-"})
                                     .replace(QRegularExpression(" +"), " ");
            QVERIFY2(text.contains("Name: " + QString::fromStdString(record.Name)), qPrintable(text));
            QVERIFY2(text.contains(QString::fromStdString(ServiceGroupText(record))), qPrintable(text));
            QVERIFY(text.contains("Strength: " + QString::number(record.Strength)));
            QVERIFY(text.contains(QString::fromStdString(record.Mutant)));
        }
        // Nothing but the PDF: the temporary file it was written to is gone.
        QCOMPARE(FilesIn(dir.path()), QStringList{"team.pdf"});
    }

    void pdfPaperFollowsTheLocaleUnlessAsked_data()
    {
        QTest::addColumn<QStringList>("env"); // on top of LC_ALL, LC_PAPER and LANG unset
        QTest::addColumn<QString>("paper");   // empty: no --paper
        QTest::addColumn<QString>("size");    // as pdfinfo reports it
        const QString a4 = "595 x 842 pts (A4)";
        const QString letter = "612 x 792 pts (letter)";
        QTest::addRow("no locale: A4") << QStringList{} << "" << a4;
        QTest::addRow("C locale: A4") << QStringList{"LANG=C"} << "" << a4;
        QTest::addRow("US paper from LC_PAPER") << QStringList{"LC_PAPER=en_US"} << "" << letter;
        QTest::addRow("US paper from LANG") << QStringList{"LANG=en_US"} << "" << letter;
        QTest::addRow("LC_ALL over LC_PAPER") << QStringList{"LC_ALL=C", "LC_PAPER=en_US"} << "" << a4;
        QTest::addRow("locale not installed: A4") << QStringList{"LANG=en_CA.UTF-8"} << "" << a4;
        QTest::addRow("--paper a4 over a US locale") << QStringList{"LC_PAPER=en_US"} << "a4" << a4;
        QTest::addRow("--paper letter over C") << QStringList{"LANG=C"} << "letter" << letter;
    }
    void pdfPaperFollowsTheLocaleUnlessAsked()
    {
        QFETCH(QStringList, env);
        QFETCH(QString, paper);
        QFETCH(QString, size);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(testing::MakeLetterPaperLocale(dir.path(), "en_US"));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"LC_ALL", "LC_PAPER", "LANG"})
            environment.remove(name);
        environment.insert("LOCPATH", dir.path());
        for (const QString &setting : env)
            environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        const QString pdf = dir.filePath("sheet.pdf");
        QStringList args{"--seed", "3", "--pdf", pdf};
        if (!paper.isEmpty())
            args << "--paper" << paper;
        const Run run = testing::RunRollProcess(args, {}, environment);
        QCOMPARE(run.status, 0);
        const QString info = Tool("pdfinfo", {pdf});
        QCOMPARE(info.section("Page size:", 1).section('\n', 0, 0).trimmed(), size);
    }

    // A run of many pages shows "pages done" on a terminal and clears it; into a pipe
    // standard error holds only what it always held.
    void pdfProgressOnlyOnATerminal()
    {
        if (QStandardPaths::findExecutable("script").isEmpty())
            QSKIP("script (util-linux) is not installed");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = dir.filePath("many.pdf");
        // Enough pages to take well over a second in any build, few enough for a sanitizer's.
        const QString count = "2000";

        // Under a pseudo-terminal: script records what the program wrote to it.
        QProcess script;
        script.start("script", {"-qec", QStringLiteral("'%1' --seed 4 -n %2 --pdf '%3' >/dev/null")
                                            .arg(QUELVANE_ROLL_BIN, count, pdf),
                                "/dev/null"});
        QVERIFY(script.waitForFinished(240000));
        QCOMPARE(script.exitCode(), 0);
        const QString terminal = QString::fromUtf8(script.readAllStandardOutput());
        QVERIFY2(terminal.contains("\rquelvane-roll: " + count + " pages done of " + count),
                 qPrintable(terminal.right(300)));
        // Cleared: blanks back to the line's start, then the usual last line.
        const QRegularExpression cleared("\\r {20,}\\rquelvane-roll: " + count + " pages written to ");
        QVERIFY2(terminal.contains(cleared), qPrintable(terminal.right(300)));

        // Into a pipe: exactly as before.
        const Run run = testing::RunRollProcess({"--seed", "4", "-n", count, "--pdf", pdf});
        QCOMPARE(run.status, 0);
        QCOMPARE(QString::fromUtf8(run.err),
                 "quelvane-roll: seed 4\nquelvane-roll: " + count + " pages written to " + pdf + "\n");
    }

    void noPdfNoGui()
    {
        // Without --pdf Qt's GUI never starts: its plugin loader would report itself here.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("QT_DEBUG_PLUGINS", "1");
        const Run run = testing::RunRollProcess({"--seed", "8", "-n", "2", "--json"}, {}, env);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray("quelvane-roll: seed 8\n"));
    }

    void tenThousandRollsStayInTheTables()
    {
        const Run run = RollProcess({"--json", "--seed", "20240601", "--count", "10000"});
        QCOMPARE(run.status, 0);
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc.value("seed").toString(), QString("20240601"));
        const QJsonArray characters = doc.value("characters").toArray();
        QCOMPARE(characters.size(), 10000);

        static const char *const kAttributes[8] = {"Strength", "Endurance", "Agility", "Dexterity",
                                                   "Moxie", "Chutzpah", "MechApt", "Power"};
        QMap<QString, int> attributeCounts[8];
        QMap<QString, int> services, covers, mutants;
        int purgeWithLateMutant = 0;
        int purge = 0;
        for (const QJsonValue &value : characters) {
            const QJsonObject c = value.toObject();
            QCOMPARE(c.size(), kFieldCount);
            for (int a = 0; a < 8; ++a) {
                const int v = c.value(kAttributes[a]).toInt();
                QVERIFY(v >= 5 && v <= 20);
                attributeCounts[a][QString::number(v)]++;
            }
            const int strength = c.value("Strength").toInt();
            QCOMPARE(c.value("Carry").toInt(), int(CarryFor(strength)));
            QCOMPARE(c.value("Damage").toInt(), int(DamageFor(strength)));
            QCOMPARE(c.value("Macho").toInt(), int(BonusFor(c.value("Endurance").toInt())));
            QCOMPARE(c.value("ChuBase").toInt(), int(BonusFor(c.value("Chutzpah").toInt())));
            int raised = 0;
            for (int n = 1; n <= kSkillCount; ++n) {
                const SkillGroup *group = nullptr;
                for (const SkillGroup &g : kSkillGroups)
                    if (n >= g.firstSkill && n <= g.lastSkill)
                        group = &g;
                const int base = c.value(group->baseName).toInt();
                const int skill = c.value(kFields[kFirstSkillField + n - 1].name).toInt();
                QVERIFY(skill >= 1 && skill <= 10);
                QVERIFY(skill - base >= 0 && skill - base <= 5);
                raised += skill - base;
            }
            QVERIFY(raised >= 30 && raised <= 34);
            const QString name = c.value("Name").toString();
            QVERIFY2(QRegularExpression("^[A-Z]{3}-R-[A-Z]{3}$").match(name).hasMatch(), qPrintable(name));
            QCOMPARE(name[6], name[2]);
            const QString service = c.value("Service").toString();
            const QString cover = c.value("Cover").toString();
            services[service]++;
            if (service == kInternalSecurity) {
                QVERIFY(cover != " " && cover != kInternalSecurity);
                covers[cover]++;
            } else {
                QCOMPARE(cover, QString(" "));
            }
            const QString mutant = c.value("Mutant").toString();
            mutants[mutant]++;
            const int mutantRoll = int(std::find(kMutantPowers.begin(), kMutantPowers.end(), mutant.toStdString())
                                       - kMutantPowers.begin()) + 1;
            QVERIFY(mutantRoll >= 1 && mutantRoll <= 20);
            const bool isPurge = c.value("Secret").toString() == "PURGE";
            purge += isPurge;
            purgeWithLateMutant += isPurge && mutantRoll >= 11;
            QVERIFY(std::find(kSecretSocieties.begin(), kSecretSocieties.end(),
                              c.value("Secret").toString().toStdString()) != kSecretSocieties.end());
        }

        // Every value of the tables comes up, about as often as its share of the roll.
        auto near = [](int count, double expected) { return std::abs(count - expected) < 0.2 * expected; };
        for (int a = 0; a < 8; ++a) {
            QCOMPARE(attributeCounts[a].size(), 16);
            for (int v : attributeCounts[a])
                QVERIFY2(near(v, 10000.0 / 16), kAttributes[a]);
        }
        const int bandWidths[8] = {2, 2, 4, 3, 3, 2, 2, 2};
        for (int i = 0; i < 8; ++i)
            QVERIFY2(near(services.value(kServiceGroups[i]), 10000.0 * bandWidths[i] / 20), kServiceGroups[i]);
        QCOMPARE(covers.size(), 7);
        for (int v : covers)
            QVERIFY(near(v, services.value(kInternalSecurity) / 7.0));
        QCOMPARE(mutants.size(), 20);
        for (int v : mutants)
            QVERIFY(near(v, 10000.0 / 20));
        QCOMPARE(purgeWithLateMutant, 0);
        QVERIFY(near(purge, 10000.0 / 2 / 16));
    }
};

QTEST_GUILESS_MAIN(TestRollCli)
#include "test_roll_cli.moc"
