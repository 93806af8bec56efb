// quelvane [FILE], --help and --version: the parser's rules, then the real program run
// without any display.
#include <QtTest>

#include "app/CommandLine.h"
#include "version.h"

using namespace quelvane;
using Action = StartOptions::Action;

Q_DECLARE_METATYPE(StartOptions::Action)

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file"); // Run: the file; BadUsage: a word of the error
        QTest::addRow("nothing: just the window") << QStringList{} << Action::Run << "";
        QTest::addRow("a path with a blank") << QStringList{"/tmp/my hero.tbl"} << Action::Run << "/tmp/my hero.tbl";
        QTest::addRow("a file named like an option, after --") << QStringList{"--", "-x.tbl"} << Action::Run << "-x.tbl";
        QTest::addRow("-h with a file") << QStringList{"hero.tbl", "-h"} << Action::Help << "";
        QTest::addRow("--help wins over --version") << QStringList{"--version", "--help"} << Action::Help << "";
        QTest::addRow("--version") << QStringList{"--version"} << Action::Version << "";
        QTest::addRow("an unknown option") << QStringList{"--print"} << Action::BadUsage << "print";
        QTest::addRow("a toolkit option") << QStringList{"-platform", "xcb"} << Action::BadUsage << "p";
        QTest::addRow("a value for --version") << QStringList{"--version=2"} << Action::BadUsage << "version";
        QTest::addRow("two files") << QStringList{"a.tbl", "b.tbl"} << Action::BadUsage << "only one FILE";
        QTest::addRow("a bad option beside --help") << QStringList{"--help", "--bogus"} << Action::BadUsage << "bogus";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, file);
        const StartOptions options = ParseStartOptions(QStringList{"quelvane"} + args);
        QCOMPARE(options.action, action);
        if (action != Action::BadUsage) {
            QCOMPARE(options.file, file);
            QCOMPARE(options.error, QString());
            return;
        }
        // One line that names the culprit and points to --help.
        QVERIFY2(options.error.contains(file) && !options.error.contains('\n')
                     && options.error.endsWith(" (see --help)"),
                 qPrintable(options.error));
    }

    // main() hands over argv's bytes: the file keeps them exactly, the text shows them.
    void parseKeepsTheFilesBytes_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QString>("shown");
        QTest::addRow("a Latin-1 name") << QByteArray("caf\xe9.tbl") << QStringLiteral("caf\uFFFD.tbl");
        QTest::addRow("a Latin-1 name after --, named like an option")
            << QByteArray("-\xe9.tbl") << QStringLiteral("-\uFFFD.tbl");
        QTest::addRow("a UTF-8 name") << QByteArray("caf\xc3\xa9.tbl") << QStringLiteral("caf\u00e9.tbl");
    }
    void parseKeepsTheFilesBytes()
    {
        QFETCH(QByteArray, given);
        QFETCH(QString, shown);
        QList<QByteArray> args{"quelvane"};
        if (given.startsWith('-'))
            args.append("--");
        args.append(given);
        const StartOptions options = ParseStartOptions(args);
        QCOMPARE(options.action, Action::Run);
        QCOMPARE(options.nativeFile, given);
        QCOMPARE(options.file, shown);
    }

    void realProgramWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray usage = "Usage: quelvane [OPTION]... [FILE]\n";
        QTest::addRow("--help") << QStringList{"--help"} << 0 << usage << QByteArray();
        QTest::addRow("-h") << QStringList{"-h"} << 0 << usage << QByteArray();
        QTest::addRow("--version") << QStringList{"--version"} << 0 << QByteArray("quelvane " QUELVANE_VERSION_STRING "\n") << QByteArray();
        QTest::addRow("unknown option") << QStringList{"--bogus", "a.tbl"} << 2 << QByteArray() << QByteArray("quelvane: ");
        QTest::addRow("two files") << QStringList{"a.tbl", "b.tbl"} << 2 << QByteArray() << QByteArray("quelvane: ");
    }
    void realProgramWithoutDisplay()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUELVANE_BIN), args);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QByteArray stdOut = process.readAllStandardOutput();
        const QByteArray stdErr = process.readAllStandardError();
        if (out.startsWith("Usage")) {
            QVERIFY2(stdOut.startsWith(out), stdOut.constData());
            QVERIFY(stdOut.contains("      --version   show the version and exit\n"));
        } else {
            QCOMPARE(stdOut, out);
        }
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.startsWith(err) && stdErr.count('\n') == 1,
                 stdErr.constData());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
