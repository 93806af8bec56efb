#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FakeProgram.h"
#include "platform/Programs.h"
#include "platform/Registry.h"
#include "platform/SystemInfoRegistry.h"

using namespace quelvane;
using namespace quelvane::testing;

namespace {

// Entries to create under the test folder: "name" an executable fake program, "name:noexec"
// one without execute permission, "name/" a folder, "name->target" a symbolic link.
void Create(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        if (entry.endsWith(u'/')) {
            QVERIFY(QDir(root).mkpath(entry));
        } else if (entry.contains(QStringLiteral("->"))) {
            const QStringList parts = entry.split(QStringLiteral("->"));
            QVERIFY(QFile::link(root + u'/' + parts[1], root + u'/' + parts[0]));
        } else {
            const bool runnable = !entry.endsWith(QStringLiteral(":noexec"));
            const QString name = QString(entry).remove(QStringLiteral(":noexec"));
            QVERIFY(QDir(root).mkpath(QFileInfo(root + u'/' + name).path()));
            QVERIFY(WriteFakeProgram(root + u'/' + name, runnable));
        }
    }
}

QString In(const QString &root, QString path)
{
    return path.replace(QStringLiteral("$D"), root);
}

QByteArray Query(RegistryBackend &registry, const char *key, const char *value, quint32 *type,
                 long *status)
{
    RegKey handle = 0;
    *status = registry.OpenKey(kHkeyLocalMachine, key, 0, 0x2003F, &handle);
    if (*status != kErrorSuccess)
        return {};
    char buffer[1024] = {};
    quint32 size = sizeof buffer;
    *status = registry.QueryValue(handle, value, type, buffer, &size);
    const QByteArray data = *status == kErrorSuccess ? QByteArray(buffer, size) : QByteArray();
    if (registry.CloseKey(handle) != kErrorSuccess)
        *status = -1;
    return data;
}

const char *const kInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char *const kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

} // namespace

class TestPrograms : public QObject {
    Q_OBJECT

    QTemporaryDir *dir_ = nullptr;
    QByteArray savedPath_;

    QString D() const { return dir_->path(); }

private slots:
    void init()
    {
        dir_ = new QTemporaryDir;
        QVERIFY(dir_->isValid());
        savedPath_ = qgetenv("PATH");
    }

    void cleanup()
    {
        qputenv("PATH", savedPath_);
        delete dir_;
        dir_ = nullptr;
    }

    void windowsNamesMapOntoThisSystem_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addRow("a backslash in a name stays") << QStringList{} << "$D/a\\b/info" << "$D/a\\b/info";
        QTest::addRow("MSINFO32.EXE beside a folder with a backslash") << QStringList{"a\\b/hardinfo", "a/b/hardinfo"} << "$D/a\\b\\MSINFO32.EXE" << "$D/a\\b/hardinfo";
        QTest::addRow("MSINFO32.EXE: installed hardinfo") << QStringList{"hardinfo"} << "$D\\MSINFO32.EXE" << "$D/hardinfo";
        QTest::addRow("msinfo32.exe in lower case too") << QStringList{"hardinfo"} << "$D\\msinfo32.exe" << "$D/hardinfo";
        QTest::addRow("kinfocenter alone") << QStringList{"kinfocenter"} << "$D\\MSINFO32.EXE" << "$D/kinfocenter";
        QTest::addRow("hardinfo2 before hardinfo") << QStringList{"hardinfo", "hardinfo2"} << "$D\\MSINFO32.EXE" << "$D/hardinfo2";
        QTest::addRow("hardinfo before kinfocenter") << QStringList{"kinfocenter", "hardinfo"} << "$D\\MSINFO32.EXE" << "$D/hardinfo";
        QTest::addRow("one that cannot run is passed over") << QStringList{"hardinfo:noexec", "kinfocenter"} << "$D\\MSINFO32.EXE" << "$D/kinfocenter";
        QTest::addRow("a folder named hardinfo is passed over") << QStringList{"hardinfo/"} << "$D\\MSINFO32.EXE" << "$D/MSINFO32.EXE";
        QTest::addRow("none installed keeps the name") << QStringList{} << "$D\\MSINFO32.EXE" << "$D/MSINFO32.EXE";
        QTest::addRow("other names stay as written") << QStringList{"hardinfo"} << "$D\\other.exe" << "$D\\other.exe";
        QTest::addRow("program in the named folder only") << QStringList{"sub/hardinfo"} << "$D\\MSINFO32.EXE" << "$D/MSINFO32.EXE";
    }
    void windowsNamesMapOntoThisSystem()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        Create(D(), entries);
        QCOMPARE(NativeProgramPath(In(D(), path)), In(D(), expected));
    }

    void ordinaryFileTest_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ordinary");
        QTest::addRow("ordinary file") << QStringList{"info"} << "$D/info" << true;
        QTest::addRow("hidden file") << QStringList{".info"} << "$D/.info" << false;
        QTest::addRow("folder") << QStringList{"info/"} << "$D/info" << false;
        QTest::addRow("missing") << QStringList{} << "$D/info" << false;
        QTest::addRow("link to a file") << QStringList{"info", "link->info"} << "$D/link" << true;
        QTest::addRow("dangling link") << QStringList{"link->info"} << "$D/link" << false;
        QTest::addRow("a backslash in a folder name") << QStringList{"a\\b/info"} << "$D/a\\b/info" << true;
        QTest::addRow("a backslash is no folder separator") << QStringList{"a/b/info"} << "$D/a\\b/info" << false;
        QTest::addRow("MSINFO32.EXE stands for hardinfo") << QStringList{"hardinfo"} << "$D\\MSINFO32.EXE" << true;
    }
    void ordinaryFileTest()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, path);
        QFETCH(bool, ordinary);
        Create(D(), entries);
        QCOMPARE(IsOrdinaryFile(In(D(), path)), ordinary);
    }

    void pathWithAZeroNamesNoFile()
    {
        Create(D(), {"info"});
        // The system would read only up to the zero, which names an existing file.
        const QString path = D() + QStringLiteral("/info") + QChar(u'\0') + QStringLiteral("x");
        QVERIFY(!IsOrdinaryFile(path));
        RecordingProgramStarter starter;
        const Override starting(ProgramStarterSeam, starter);
        QVERIFY(!StartProgram(path));
        QVERIFY(!StartProgram(QString()));
        QVERIFY(starter.asked.isEmpty());
    }

    void programsStartDetachedWithoutAShell_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QString>("startedAs");
        QTest::addRow("a program by its path") << QStringList{"tool"} << "$D/tool" << true << "$D/tool";
        QTest::addRow("a backslash in a folder name") << QStringList{"a\\b/tool", "a/b/tool"} << "$D/a\\b/tool" << true << "$D/a\\b/tool";
        QTest::addRow("MSINFO32.EXE starts kinfocenter") << QStringList{"kinfocenter"} << "$D\\MSINFO32.EXE" << true << "$D/kinfocenter";
        QTest::addRow("shell characters are part of the name") << QStringList{"it's $(x); y"} << "$D/it's $(x); y" << true << "$D/it's $(x); y";
        QTest::addRow("missing program fails") << QStringList{} << "$D/tool" << false << "";
        QTest::addRow("program that cannot run fails") << QStringList{"tool:noexec"} << "$D/tool" << false << "";
        QTest::addRow("a folder fails") << QStringList{"tool/"} << "$D/tool" << false << "";
    }
    void programsStartDetachedWithoutAShell()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, path);
        QFETCH(bool, started);
        QFETCH(QString, startedAs);
        Create(D(), entries);
        QCOMPARE(StartProgram(In(D(), path)), started);
        if (started) {
            const QString program = In(D(), startedAs);
            QTRY_COMPARE(StartedAs(program), program);
        }
    }

    void sysInfoProgramFoundOnPath_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("found");
        QTest::addRow("none installed") << QStringList{"a/", "b/"} << "$D/a:$D/b" << "";
        QTest::addRow("kinfocenter in the second folder") << QStringList{"a/", "b/kinfocenter"} << "$D/a:$D/b" << "$D/b/kinfocenter";
        QTest::addRow("preference before PATH order") << QStringList{"a/kinfocenter", "b/hardinfo"} << "$D/a:$D/b" << "$D/b/hardinfo";
        QTest::addRow("first folder on PATH for one name") << QStringList{"a/hardinfo", "b/hardinfo"} << "$D/a:$D/b" << "$D/a/hardinfo";
        QTest::addRow("one that cannot run is not found") << QStringList{"a/hardinfo:noexec"} << "$D/a" << "";
    }
    void sysInfoProgramFoundOnPath()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, path);
        QFETCH(QString, found);
        Create(D(), entries);
        qputenv("PATH", QFile::encodeName(In(D(), path)));
        QCOMPARE(FindSystemInfoProgram(), In(D(), found));
    }

    void registryNamesTheInstalledProgram()
    {
        Create(D(), {"bin/hardinfo"});
        qputenv("PATH", QFile::encodeName(D() + QStringLiteral("/bin")));
        SystemInfoRegistry registry;
        quint32 type = 0;
        long status = 0;
        QCOMPARE(Query(registry, kInfoKey, "PATH", &type, &status),
                 QFile::encodeName(D() + QStringLiteral("/bin/hardinfo")) + '\0');
        QCOMPARE(status, kErrorSuccess);
        QCOMPARE(type, kRegSz);
        type = 0;
        QCOMPARE(Query(registry, kLocationKey, "MSINFO", &type, &status),
                 QFile::encodeName(D() + QStringLiteral("/bin")) + '\0');
        QCOMPARE(status, kErrorSuccess);
        QCOMPARE(type, kRegSz);
        // The registry ignores case in key paths and value names.
        Query(registry, "software\\microsoft\\shared tools\\msinfo", "path", &type, &status);
        QCOMPARE(status, kErrorSuccess);
    }

    void registryHasNoValuesWithoutAProgram()
    {
        qputenv("PATH", QFile::encodeName(D()));
        SystemInfoRegistry registry;
        quint32 type = 0;
        long status = 0;
        Query(registry, kInfoKey, "PATH", &type, &status);
        QCOMPARE(status, kErrorFileNotFound);
        Query(registry, kLocationKey, "MSINFO", &type, &status);
        QCOMPARE(status, kErrorFileNotFound);

        // Installed while the program runs: found at the next look.
        Create(D(), {"kinfocenter"});
        Query(registry, kInfoKey, "PATH", &type, &status);
        QCOMPARE(status, kErrorSuccess);
    }

    void registryAnswersNothingElse_data()
    {
        QTest::addColumn<quint64>("root");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<long>("status");
        QTest::addRow("other root") << quint64(0x80000001) << QByteArray(kInfoKey) << QByteArray("PATH") << kErrorFileNotFound;
        QTest::addRow("other key") << quint64(kHkeyLocalMachine) << QByteArray("SOFTWARE\\Other") << QByteArray("PATH") << kErrorFileNotFound;
        QTest::addRow("parent key") << quint64(kHkeyLocalMachine) << QByteArray("SOFTWARE\\Microsoft\\Shared Tools") << QByteArray("PATH") << kErrorFileNotFound;
        QTest::addRow("value of the other key") << quint64(kHkeyLocalMachine) << QByteArray(kInfoKey) << QByteArray("MSINFO") << kErrorFileNotFound;
    }
    void registryAnswersNothingElse()
    {
        QFETCH(quint64, root);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(long, status);
        Create(D(), {"hardinfo"});
        qputenv("PATH", QFile::encodeName(D()));
        SystemInfoRegistry registry;
        RegKey handle = 0;
        long result = registry.OpenKey(root, key.constData(), 0, 0x2003F, &handle);
        if (result == kErrorSuccess) {
            char buffer[64] = {};
            quint32 size = sizeof buffer;
            quint32 type = 0;
            result = registry.QueryValue(handle, value.constData(), &type, buffer, &size);
            QCOMPARE(registry.CloseKey(handle), kErrorSuccess);
        }
        QCOMPARE(result, status);
    }
};

QTEST_MAIN(TestPrograms)
#include "test_programs.moc"
