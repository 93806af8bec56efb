// Files under stress: a save killed at any moment leaves the old file or the new one, byte for
// byte; no file, however large or strange, makes a load hang or take unbounded memory.
#include <QtTest>

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "model/CharacterFile.h"
#include "platform/FileIo.h"
#include "files/FileWriter.h"

extern char **environ;

using namespace quelvane;
using namespace quelvane::testing;

namespace {

// Starts save_child and returns once it is about to save; -1 on failure.
pid_t StartChild(const QStringList &args)
{
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<QByteArray> storage;
    std::vector<char *> argv;
    for (const QString &arg : args)
        storage.push_back(QFile::encodeName(arg));
    for (QByteArray &arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char ready[6] = {};
    const bool started = spawned == 0 && ::read(out[0], ready, sizeof ready) == sizeof ready;
    ::close(out[0]);
    return started ? pid : -1;
}

// Rewrites the file itself, so that a hard link to it keeps sharing it.
bool PutInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestFileRobustness : public QObject {
    Q_OBJECT

private slots:
    // Staged saves leave the old file or the new one; in-place saves (a hard-linked file) may
    // also leave a damaged one, which then starts with the NUL byte that marks it.
    void killedSaveLeavesOldOrNewFile_data()
    {
        QTest::addColumn<QStringList>("childOptions");
        QTest::addColumn<bool>("inPlace");
        QTest::addRow("staged in an unnamed file") << QStringList() << false;
        QTest::addRow("staged under a hidden name, as without unnamed files") << QStringList{"named"} << false;
        QTest::addRow("in place, over a hard-linked file") << QStringList() << true;
    }
    void killedSaveLeavesOldOrNewFile()
    {
        QFETCH(QStringList, childOptions);
        QFETCH(bool, inPlace);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath("hero.tbl");

        CharacterRecordType oldRecord;
        oldRecord.Name = "OLD-R-DOA";
        oldRecord.Cover = " ";
        CharacterRecordType newRecord;
        GenerateInto(newRecord);
        const QByteArray oldBytes = QByteArray::fromStdString(WriteCharacterText(oldRecord));
        const QByteArray newBytes = QByteArray::fromStdString(WriteCharacterText(newRecord));
        QVERIFY(oldBytes != newBytes);
        const QString oldFile = dir.filePath("old.source");
        const QString newFile = dir.filePath("new.source");
        QVERIFY(Put(oldFile, oldBytes));
        QVERIFY(Put(newFile, newBytes));
        QVERIFY(Put(target, oldBytes));
        if (inPlace)
            QCOMPARE(::link(QFile::encodeName(target).constData(), QFile::encodeName(dir.filePath("twin.tbl")).constData()), 0);

        const QString child = QCoreApplication::applicationDirPath() + "/save_child";
        const int trials = qEnvironmentVariableIntValue("QUELVANE_KILL_TRIALS") > 0
                               ? qEnvironmentVariableIntValue("QUELVANE_KILL_TRIALS")
                               : 300;
        int sawOld = 0, sawNew = 0, sawMarked = 0, stagingLeft = 0;
        for (int trial = 0; trial < trials; ++trial) {
            QVERIFY(PutInPlace(target, oldBytes));
            const pid_t pid = StartChild(QStringList{child, target, newFile, oldFile} + childOptions);
            QVERIFY2(pid > 0, "save_child did not start");
            // Anywhere within a few saves: mid-write, mid-sync, between naming and renaming.
            ::usleep(QRandomGenerator::global()->bounded(4000));
            ::kill(pid, SIGKILL);
            int status = 0;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            QVERIFY2(WIFSIGNALED(status), "save_child stopped before it was killed");

            const QByteArray now = Contents(target);
            const bool marked = inPlace && now.startsWith('\0');
            QVERIFY2(now == oldBytes || now == newBytes || marked,
                     qPrintable(QString("trial %1: the file is neither version nor marked (%2 bytes)")
                                    .arg(trial)
                                    .arg(now.size())));
            (now == oldBytes ? sawOld : now == newBytes ? sawNew : sawMarked)++;
            if (inPlace)
                QCOMPARE(Contents(dir.filePath("twin.tbl")), now);

            QStringList entries = QDir(dir.path()).entryList(
                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            for (const char *ours : {"old.source", "new.source", "hero.tbl", "twin.tbl"})
                entries.removeAll(ours);
            for (const QString &entry : entries) {
                // Only a kill between naming the finished file and renaming it over the target
                // (or, without unnamed files, at any moment) leaves its hidden staging name.
                QVERIFY2(IsStagingNameOf(entry.toStdString(), "hero.tbl"), qPrintable(entry));
                QVERIFY(QFile::remove(dir.filePath(entry)));
                ++stagingLeft;
            }
        }
        qInfo("%d kills: old file %d times, new file %d times, marked as damaged %d times, "
              "never anything else; a hidden staging file left %d times",
              trials, sawOld, sawNew, sawMarked, stagingLeft);
        // The kills must really have landed on both sides of a replacement; in place most
        // land in the middle of the marked steps, so there one side is enough.
        if (inPlace) {
            QVERIFY(sawMarked > 0);
            QVERIFY(sawOld + sawNew > 0);
        } else {
            QVERIFY(sawOld > 0);
            QVERIFY(sawNew > 0);
        }
    }

    // Two processes save different records over one file without pause, staging under hidden
    // names; whenever it is read, the file is exactly one of the two.
    void twoSavesAtOnceLeaveOneWholeRecord()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath("hero.tbl");
        CharacterRecordType first, second;
        GenerateInto(first);
        GenerateInto(second);
        second.Name = std::string(3000, 'S'); // lengths far apart: a mix of the two shows

        const QByteArray one = QByteArray::fromStdString(WriteCharacterText(first));
        const QByteArray two = QByteArray::fromStdString(WriteCharacterText(second));
        QVERIFY(Put(dir.filePath("one.source"), one) && Put(dir.filePath("two.source"), two));
        QVERIFY(Put(target, one));
        const QString child = QCoreApplication::applicationDirPath() + "/save_child";
        const pid_t a = StartChild({child, target, dir.filePath("one.source"), dir.filePath("one.source"), "named", "racing"});
        const pid_t b = StartChild({child, target, dir.filePath("two.source"), dir.filePath("two.source"), "named", "racing"});
        QVERIFY(a > 0 && b > 0);
        int sawOne = 0, sawTwo = 0;
        for (int read = 0; read < 100000 && (sawOne < 200 || sawTwo < 200); ++read) {
            const QByteArray now = Contents(target);
            if (now != one && now != two) {
                ::kill(a, SIGKILL);
                ::kill(b, SIGKILL);
                QFAIL(qPrintable(QString("read %1: %2 bytes, neither record").arg(read).arg(now.size())));
            }
            (now == one ? sawOne : sawTwo)++;
        }
        ::kill(a, SIGKILL);
        ::kill(b, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(a, &status, 0), a);
        QCOMPARE(::waitpid(b, &status, 0), b);
        qInfo("two racing savers: the first record read %d times, the second %d times", sawOne, sawTwo);
        QVERIFY(sawOne > 0 && sawTwo > 0);
        const QByteArray last = Contents(target);
        QVERIFY(last == one || last == two);
    }

    void hugeOrEndlessFilesLoadInBoundedMemory_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("outcome");
        QTest::addRow("a sparse gigabyte of NUL bytes") << "sparse" << "read:NotText";
        QTest::addRow("64 MiB of letters without a line end") << "letters" << "read:TooLarge";
        QTest::addRow("an endless device") << "/dev/zero" << "file:2";
        QTest::addRow("a FIFO with no writer") << "fifo" << "file:2";
    }
    void hugeOrEndlessFilesLoadInBoundedMemory()
    {
        QFETCH(QString, kind);
        QFETCH(QString, outcome);
        QTemporaryDir dir;
        QString path = kind;
        if (kind == "sparse") {
            path = dir.filePath("huge.tbl");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(qint64(1) << 30));
        } else if (kind == "letters") {
            path = dir.filePath("letters.tbl");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'A');
            for (int i = 0; i < 64; ++i)
                QCOMPARE(file.write(block), block.size());
        } else if (kind == "fifo") {
            path = dir.filePath("pipe.tbl");
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        }
        QProcess child;
        child.start(QCoreApplication::applicationDirPath() + "/load_child", {path, "96"});
        QVERIFY(child.waitForFinished(20000)); // a hang fails here
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromLatin1(child.readAllStandardOutput()).trimmed(), outcome);
    }

    void savingKeepsTheOldPermissions()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("hero.tbl");
        QVERIFY(Put(target, "old"));
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                  | QFile::ReadOther));
        const QFile::Permissions before = QFile::permissions(target);
        QCOMPARE(SaveFileReplacing(target, "new").status, FileStatus::Ok);
        QCOMPARE(QFile::permissions(target), before);
    }
};

QTEST_GUILESS_MAIN(TestFileRobustness)
#include "test_file_robustness.moc"
