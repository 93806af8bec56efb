// Saves where only root can set the scene: a full disk, a read-only mount, a device node.
// Skipped as a whole, with the reason, where the process lacks the rights.
#include <QtTest>

#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "RootTestMain.h"
#include "TestFiles.h"
#include "platform/FileIo.h"
#include "platform/MountGuard.h"

using namespace quelvane;
using namespace quelvane::testing;

Q_DECLARE_METATYPE(quelvane::FileStatus)

namespace {

std::string_view View(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

// Fills the file system under folder; then frees `leave` bytes of it again.
bool FillDisk(const QString &folder, qint64 leave)
{
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'f');
    off_t size = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
        if (n <= 0)
            break;
        size += n;
    }
    const bool ok = ::ftruncate(fd, qMax<off_t>(0, size - leave)) == 0;
    ::close(fd);
    return ok;
}

} // namespace

class TestFileIoAsRoot : public QObject {
    Q_OBJECT

    QTemporaryDir *dir_ = nullptr;
    QString Path(const QString &name) const { return dir_->filePath(name); }

private slots:
    void init()
    {
        dir_ = new QTemporaryDir;
        QVERIFY(dir_->isValid());
    }
    void cleanup()
    {
        delete dir_;
        dir_ = nullptr;
    }

    void saveRefusesADeviceNode()
    {
        // A node like /dev/null's, private to this test: a rename over it would replace it.
        const QString device = Path("device");
        QCOMPARE(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        QCOMPARE(SaveFileReplacing(device, "new bytes"), FileStatus::NotAFile);
        QCOMPARE(Entries(dir_->path()), QStringList{"device"});
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(device).constData(), &info), 0);
        QVERIFY(S_ISCHR(info.st_mode));
    }

    void failedSaveOnAFullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<qint64>("free");
        QTest::addColumn<int>("newSize");
        QTest::addRow("no room at all") << qint64(0) << 300;
        QTest::addRow("room for part of the file") << qint64(4096) << 10000;
    }
    void failedSaveOnAFullDiskKeepsTheOldFile()
    {
        QFETCH(qint64, free);
        QFETCH(int, newSize);
        const QString disk = Path("disk");
        QVERIFY(QDir().mkdir(disk));
        MountGuard mount;
        QVERIFY2(mount.Tmpfs(disk, "16k"), qPrintable(mount.error()));
        const QString target = disk + "/old.tbl";
        const QByteArray old = "20\r\n\"old\"\r\n";
        QVERIFY(Put(target, old));
        QVERIFY(FillDisk(disk, free));

        const QByteArray bytes(newSize, 'n');
        QCOMPARE(SaveFileReplacing(target, View(bytes)), FileStatus::WriteFailed);
        QCOMPARE(Contents(target), old);
        QCOMPARE(Entries(disk), (QStringList{"filler", "old.tbl"}));

        // With room again the same save works.
        QVERIFY(QFile::remove(disk + "/filler"));
        QCOMPARE(SaveFileReplacing(target, View(bytes.left(3000))), FileStatus::Ok);
        QCOMPARE(Contents(target), bytes.left(3000));
    }

    void failedSaveInAReadOnlyFolderKeepsTheOldFile()
    {
        const QString folder = Path("ro");
        QVERIFY(QDir().mkdir(folder));
        const QString target = folder + "/old.tbl";
        QVERIFY(Put(target, "old bytes"));
        MountGuard mount;
        QVERIFY2(mount.ReadOnly(folder), qPrintable(mount.error()));
        QCOMPARE(SaveFileReplacing(target, "new bytes"), FileStatus::CannotOpen);
        QCOMPARE(SaveFileReplacing(folder + "/new.tbl", "new bytes"), FileStatus::CannotOpen);
        QCOMPARE(Contents(target), QByteArray("old bytes"));
        QCOMPARE(Entries(folder), QStringList{"old.tbl"});
    }
};

QUELVANE_ROOT_TEST_MAIN(TestFileIoAsRoot)
#include "test_file_io_as_root.moc"
