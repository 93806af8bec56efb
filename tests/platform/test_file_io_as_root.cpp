// Saves where only root can set the scene: a full disk, a read-only mount, a device node.
// Skipped as a whole, with the reason, where the process lacks the rights.
#include <QtTest>

#include <QDir>
#include <QTemporaryDir>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "RootTestMain.h"
#include "TestFiles.h"
#include "platform/FileIo.h"
#include "platform/MountGuard.h"
#include "roll/OutputFiles.h"

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

    std::optional<QTemporaryDir> dir_;
    QString Path(const QString &name) const { return dir_->filePath(name); }

private slots:
    void init() { QVERIFY(dir_.emplace().isValid()); }
    void cleanup() { dir_.reset(); }

    void saveRefusesADeviceNode()
    {
        // A node like /dev/null's, private to this test: a rename over it would replace it.
        const QString device = Path("device");
        QCOMPARE(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        QCOMPARE(SaveFileReplacing(device, "new bytes").status, FileStatus::NotAFile);
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
        QCOMPARE(SaveFileReplacing(target, View(bytes)).status, FileStatus::WriteFailed);
        QCOMPARE(Contents(target), old);
        QCOMPARE(Entries(disk), (QStringList{"filler", "old.tbl"}));

        // With room again the same save works.
        QVERIFY(QFile::remove(disk + "/filler"));
        QCOMPARE(SaveFileReplacing(target, View(bytes.left(3000))).status, FileStatus::Ok);
        QCOMPARE(Contents(target), bytes.left(3000));
    }

    // Hard-linked, so written in place: the room is reserved before any old byte changes.
    void failedInPlaceSaveOnAFullDiskKeepsTheOldFile()
    {
        const QString disk = Path("disk");
        QVERIFY(QDir().mkdir(disk));
        MountGuard mount;
        QVERIFY2(mount.Tmpfs(disk, "64k"), qPrintable(mount.error()));
        const QString target = disk + "/hero.tbl";
        const QByteArray old = "20\r\n\"old\"\r\n";
        QVERIFY(Put(target, old));
        QCOMPARE(::link(QFile::encodeName(target).constData(), QFile::encodeName(disk + "/twin.tbl").constData()), 0);
        QVERIFY(FillDisk(disk, 0));
        const QByteArray bytes(40000, 'n');
        QCOMPARE(SaveFileReplacing(target, View(bytes)).status, FileStatus::WriteFailed);
        QCOMPARE(Contents(target), old);
        QCOMPARE(Contents(disk + "/twin.tbl"), old);
    }

    // A kernel setting is a "regular file" of procfs: never written, directly or via a link.
    void saveNeverWritesKernelSettings_data()
    {
        QTest::addColumn<bool>("viaLink");
        QTest::addRow("the setting itself") << false;
        QTest::addRow("through a link to it") << true;
    }
    void saveNeverWritesKernelSettings()
    {
        QFETCH(bool, viaLink);
        const QString setting = QStringLiteral("/proc/sys/kernel/hostname");
        const QByteArray before = Contents(setting);
        QString path = setting;
        if (viaLink) {
            path = Path("hero.tbl");
            QCOMPARE(::symlink("/proc/sys/kernel/hostname", QFile::encodeName(path).constData()), 0);
        }
        QCOMPARE(SaveFileReplacing(path, "31\r\n\"hacked\"\r\n").status, FileStatus::NotAFile);
        QCOMPARE(Contents(setting), before);
    }

    // Root saving through a link that another user planted in a shared sticky folder: refused
    // as its last name (the kernel's rule under fs.protected_symlinks=1) and anywhere in the
    // middle of the path, whatever that setting says; quelvane-roll -o makes no folder there.
    void saveRefusesALinkPlantedInAStickyFolder_data()
    {
        QTest::addColumn<QByteArray>("protection"); // fs.protected_symlinks
        QTest::addColumn<bool>("middle");           // the link is a folder in the middle of the path
        QTest::addRow("last name, protected_symlinks=1") << QByteArray("1") << false;
        QTest::addRow("last name, protected_symlinks=0") << QByteArray("0") << false;
        QTest::addRow("middle of the path, protected_symlinks=1") << QByteArray("1") << true;
        QTest::addRow("middle of the path, protected_symlinks=0") << QByteArray("0") << true;
    }
    void saveRefusesALinkPlantedInAStickyFolder()
    {
        QFETCH(QByteArray, protection);
        QFETCH(bool, middle);
        const QByteArray knob = "/proc/sys/fs/protected_symlinks";
        const QByteArray was = Contents(QString::fromLatin1(knob)).trimmed();
        QVERIFY(!was.isEmpty());
        auto set = [&](const QByteArray &value) {
            QFile file(QString::fromLatin1(knob));
            return file.open(QIODevice::WriteOnly) && file.write(value + "\n") > 0;
        };
        QVERIFY(set(protection));
        struct Restore {
            std::function<void()> run;
            ~Restore() { run(); }
        } restore{[&] { set(was); }};

        const QString vault = Path("vault"), shared = Path("shared");
        QVERIFY(QDir().mkdir(vault) && QDir().mkdir(shared));
        QCOMPARE(::chmod(QFile::encodeName(vault).constData(), 0700), 0);
        const QString thesis = vault + "/thesis.txt";
        QVERIFY(Put(thesis, "years of work"));
        QCOMPARE(::chown(QFile::encodeName(shared).constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        QCOMPARE(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
        const QString planted = shared + (middle ? "/outdir" : "/hero.tbl");
        const QByteArray link = QFile::encodeName(planted);
        QCOMPARE(::symlink(QFile::encodeName(middle ? vault : thesis).constData(), link.constData()), 0);
        QCOMPARE(::lchown(link.constData(), 1234, 1234), 0); // planted by a third user

        const QString path = middle ? planted + "/thesis.txt" : planted;
        QCOMPARE(SaveFileReplacing(path, "1\r\n").status, FileStatus::CannotOpen);
        if (middle) {
            QCOMPARE(SaveFileReplacing(planted + "/new.tbl", "1\r\n").status, FileStatus::CannotOpen);
            bool created = false;
            const roll::StepResult prepared = roll::PrepareFolder((planted + "/sub").toStdString(), created);
            QVERIFY(!prepared.ok());
            QVERIFY2(prepared.message.find("planted") != std::string::npos, prepared.message.c_str());
            QVERIFY(!created);
        }
        QCOMPARE(Contents(thesis), QByteArray("years of work"));
        QCOMPARE(Entries(vault), QStringList{"thesis.txt"});

        // The same link, made by the folder's owner, is followed.
        QCOMPARE(::lchown(link.constData(), 65534, 65534), 0);
        QCOMPARE(SaveFileReplacing(path, "1\r\n").status, FileStatus::Ok);
        QCOMPARE(Contents(thesis), QByteArray("1\r\n"));
    }

    void failedSaveInAReadOnlyFolderKeepsTheOldFile()
    {
        const QString folder = Path("ro");
        QVERIFY(QDir().mkdir(folder));
        const QString target = folder + "/old.tbl";
        QVERIFY(Put(target, "old bytes"));
        MountGuard mount;
        QVERIFY2(mount.ReadOnly(folder), qPrintable(mount.error()));
        QCOMPARE(SaveFileReplacing(target, "new bytes").status, FileStatus::CannotOpen);
        QCOMPARE(SaveFileReplacing(folder + "/new.tbl", "new bytes").status, FileStatus::CannotOpen);
        QCOMPARE(Contents(target), QByteArray("old bytes"));
        QCOMPARE(Entries(folder), QStringList{"old.tbl"});
    }
};

QUELVANE_ROOT_TEST_MAIN(TestFileIoAsRoot)
#include "test_file_io_as_root.moc"
