// quelvane [FILE], --help and --version: the parser's rules, then the real program run
// without any display.
#include <QtTest>

#include <QProcess>

#include "app/CommandLine.h"
#include "version.h"

using namespace quelvane;
using Action = StartOptions::Action;

Q_DECLARE_METATYPE(StartOptions::Action)

namespace {

struct Run {
    int status = -1; // -1: did not end normally
    QByteArray out;
    QByteArray err;
};

// The program as a user without a desktop starts it: no display and no platform chosen.
Run RunProgram(const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUELVANE_BIN), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::addRow("nothing: just the window") << QStringList{} << Action::Run << "";
        QTest::addRow("a file") << QStringList{"hero.tbl"} << Action::Run << "hero.tbl";
        QTest::addRow("a full path with a blank") << QStringList{"/tmp/my hero.tbl"} << Action::Run << "/tmp/my hero.tbl";
        QTest::addRow("a file named like an option, after --") << QStringList{"--", "-x.tbl"} << Action::Run << "-x.tbl";
        QTest::addRow("--help") << QStringList{"--help"} << Action::Help << "";
        QTest::addRow("-h") << QStringList{"-h"} << Action::Help << "";
        QTest::addRow("--help with a file") << QStringList{"hero.tbl", "--help"} << Action::Help << "";
        QTest::addRow("--help wins over --version") << QStringList{"--version", "--help"} << Action::Help << "";
        QTest::addRow("--version") << QStringList{"--version"} << Action::Version << "";
        QTest::addRow("an unknown long option") << QStringList{"--print"} << Action::BadUsage << "";
        QTest::addRow("an unknown short option") << QStringList{"-x"} << Action::BadUsage << "";
        QTest::addRow("a toolkit option") << QStringList{"-platform", "xcb"} << Action::BadUsage << "";
        QTest::addRow("a value for --version") << QStringList{"--version=2"} << Action::BadUsage << "";
        QTest::addRow("two files") << QStringList{"a.tbl", "b.tbl"} << Action::BadUsage << "";
        QTest::addRow("a bad option beside --help") << QStringList{"--help", "--bogus"} << Action::BadUsage << "";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, file);
        const StartOptions options = ParseStartOptions(QStringList{"quelvane"} + args);
        QCOMPARE(options.action, action);
        QCOMPARE(options.file, file);
        // A bad call says why on one line and points to --help; the others say nothing.
        if (action == Action::BadUsage) {
            QVERIFY2(!options.error.contains('\n'), qPrintable(options.error));
            QVERIFY2(options.error.endsWith(" (see --help)"), qPrintable(options.error));
        } else {
            QCOMPARE(options.error, QString());
        }
    }

    void badUsageNamesTheOffendingArgument_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");
        QTest::addRow("unknown option") << QStringList{"--print"} << "print";
        QTest::addRow("two files") << QStringList{"a.tbl", "b.tbl"} << "only one FILE";
    }
    void badUsageNamesTheOffendingArgument()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const StartOptions options = ParseStartOptions(QStringList{"quelvane"} + args);
        QVERIFY2(options.error.contains(named), qPrintable(options.error));
    }

    // ---- The real program, no display ----

    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("firstLine");
        QTest::addRow("--help") << "--help" << "Usage: quelvane [OPTION]... [FILE]";
        QTest::addRow("-h") << "-h" << "Usage: quelvane [OPTION]... [FILE]";
        QTest::addRow("--version") << "--version" << "quelvane " QUELVANE_VERSION_STRING;
    }
    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QString, option);
        QFETCH(QString, firstLine);
        const Run run = RunProgram({option});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray());
        QVERIFY2(run.out.startsWith((firstLine + '\n').toUtf8()), run.out.constData());
        QVERIFY(run.out.endsWith('\n'));
        if (option != "--version") {
            for (const char *line : {"  -h, --help      show this help and exit\n",
                                     "      --version   show the version and exit\n",
                                     "Exit status: 0 normally, 2 for a bad option or more than one FILE.\n"})
                QVERIFY2(run.out.contains(line), line);
        } else {
            QCOMPARE(run.out.count('\n'), 1);
        }
    }

    void badOptionIsOneLineAndStatusTwo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addRow("unknown option") << QStringList{"--bogus"};
        QTest::addRow("two files") << QStringList{"a.tbl", "b.tbl"};
        QTest::addRow("unknown option with a file") << QStringList{"-z", "a.tbl"};
    }
    void badOptionIsOneLineAndStatusTwo()
    {
        QFETCH(QStringList, args);
        const Run run = RunProgram(args);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("quelvane: "), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
        // Refused before the window system was asked for anything.
        QVERIFY2(!run.err.contains("qt.qpa") && !run.err.contains("display"), run.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
