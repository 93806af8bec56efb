#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "TestFiles.h"
#include "platform/FileIo.h"
#include "files/FileWriter.h"

using namespace quelvane;
using namespace quelvane::testing;

Q_DECLARE_METATYPE(quelvane::FileStatus)
Q_DECLARE_METATYPE(quelvane::WriterStep)

namespace {

// A device that gives only so much per read, or fails after so many bytes.
class FlakyDevice final : public QIODevice {
public:
    qint64 perCall = 1 << 30;   // most bytes one read call moves
    qint64 failAfter = 1 << 30; // total bytes before calls fail with -1
    QByteArray source;

protected:
    qint64 writeData(const char *, qint64) override { return -1; }
    qint64 readData(char *data, qint64 max) override
    {
        if (position_ >= failAfter)
            return -1;
        const qint64 n = qMin(qMin(max, perCall), qMin<qint64>(source.size() - position_, failAfter - position_));
        memcpy(data, source.constData() + position_, size_t(n));
        position_ += n;
        return n;
    }

private:
    qint64 position_ = 0;
};

std::string_view View(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

// Saves with the test's rights, or as nobody in a child when the test is root; -1 when the
// child could not drop its rights.
int SaveAs(bool asUser, const QString &path, std::string_view bytes)
{
    if (!asUser || ::geteuid() != 0)
        return int(SaveFileReplacing(path, bytes).status);
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t nobody = 65534;
        if (::setgroups(1, &nobody) != 0 || ::setresgid(nobody, nobody, nobody) != 0
            || ::setresuid(nobody, nobody, nobody) != 0)
            ::_exit(100);
        ::_exit(int(SaveFileReplacing(path, bytes).status));
    }
    int status = 0;
    const bool ran = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status);
    return ran && WEXITSTATUS(status) < 100 ? WEXITSTATUS(status) : -1;
}

constexpr quint32 kNoId = 0xFFFFFFFF;

struct AclEntry {
    quint16 tag, perm;
    quint32 id;
};

// The kernel's form of a POSIX ACL, so that no ACL tool is needed: version 2, then the entries.
QByteArray Acl(std::initializer_list<AclEntry> entries)
{
    QByteArray bytes;
    auto put32 = [&](quint32 v) { bytes.append(reinterpret_cast<const char *>(&v), 4); };
    auto put16 = [&](quint16 v) { bytes.append(reinterpret_cast<const char *>(&v), 2); };
    put32(2);
    for (const AclEntry &entry : entries) {
        put16(entry.tag);
        put16(entry.perm);
        put32(entry.id);
    }
    return bytes;
}

bool SetAttribute(const QString &path, const char *name, const QByteArray &value)
{
    return ::setxattr(Native(path).constData(), name, value.constData(), size_t(value.size()), 0) == 0;
}

using Attributes = QMap<QByteArray, QByteArray>;

// Every extended attribute this process can see, ACLs included.
Attributes AttributesOf(const QString &path)
{
    Attributes attributes;
    QByteArray names(65536, '\0');
    const ssize_t size = ::listxattr(Native(path).constData(), names.data(), size_t(names.size()));
    for (const QByteArray &name : names.left(size < 0 ? 0 : int(size)).split('\0')) {
        if (name.isEmpty())
            continue;
        QByteArray value(65536, '\0');
        const ssize_t length = ::getxattr(Native(path).constData(), name.constData(), value.data(), size_t(value.size()));
        attributes.insert(name, value.left(length < 0 ? 0 : int(length)));
    }
    return attributes;
}

} // namespace

class TestFileIo : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_;
    QString Path(const QString &name) const { return dir_->filePath(name); }

private slots:
    void init() { QVERIFY(dir_.emplace().isValid()); }
    void cleanup()
    {
        for (const char *folder : {"home", "elsewhere"})
            QFile::setPermissions(Path(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dir_.reset();
        SetUnnamedStagingAllowed(true);
    }

    void readBounded_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<qint64>("perCall");
        QTest::addColumn<qint64>("failAfter");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expectedSize");
        QTest::addRow("smaller than the cap") << 300 << 1000 << qint64(1 << 30) << qint64(1 << 30) << true << 300;
        QTest::addRow("exactly the cap") << 1000 << 1000 << qint64(1 << 30) << qint64(1 << 30) << true << 1000;
        QTest::addRow("longer: one byte past the cap") << 5000 << 1000 << qint64(1 << 30) << qint64(1 << 30) << true << 1001;
        QTest::addRow("in small reads") << 300 << 1000 << qint64(7) << qint64(1 << 30) << true << 300;
        QTest::addRow("longer, in small reads") << 300000 << 100000 << qint64(4099) << qint64(1 << 30) << true << 100001;
        QTest::addRow("empty") << 0 << 1000 << qint64(1 << 30) << qint64(1 << 30) << true << 0;
        QTest::addRow("read error part-way") << 300 << 1000 << qint64(50) << qint64(120) << false << 0;
    }
    void readBounded()
    {
        QFETCH(int, size);
        QFETCH(int, maxBytes);
        QFETCH(qint64, perCall);
        QFETCH(qint64, failAfter);
        QFETCH(bool, ok);
        QFETCH(int, expectedSize);
        FlakyDevice device;
        for (int i = 0; i < size; ++i)
            device.source += char(i * 31 % 251);
        device.perCall = perCall;
        device.failAfter = failAfter;
        QVERIFY(device.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        std::string bytes = "stale";
        QCOMPARE(ReadBounded(device, size_t(maxBytes), bytes), ok);
        QCOMPARE(int(bytes.size()), expectedSize);
        QCOMPARE(QByteArray::fromStdString(bytes), device.source.left(expectedSize));
    }

    void readFileRefusesWhatIsNotAFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<FileStatus>("status");
        QTest::addRow("regular file") << "file" << FileStatus::Ok;
        QTest::addRow("link to a regular file") << "link" << FileStatus::Ok;
        QTest::addRow("missing file") << "missing" << FileStatus::CannotOpen;
        QTest::addRow("folder") << "folder" << FileStatus::NotAFile;
        QTest::addRow("FIFO without a writer") << "fifo" << FileStatus::NotAFile;
        QTest::addRow("endless device") << "/dev/zero" << FileStatus::NotAFile;
        QTest::addRow("empty device") << "/dev/null" << FileStatus::NotAFile;
        QTest::addRow("empty path") << "" << FileStatus::CannotOpen;
        QTest::addRow("a kernel file of /proc") << "/proc/version" << FileStatus::NotAFile;
        QTest::addRow("a kernel file of /sys") << "/sys/kernel/uevent_seqnum" << FileStatus::NotAFile;
        QTest::addRow("a link to a kernel file") << "kernel" << FileStatus::NotAFile;
    }
    void readFileRefusesWhatIsNotAFile()
    {
        QFETCH(QString, what);
        QFETCH(FileStatus, status);
        QVERIFY(Put(Path("file"), "12\r\n"));
        QVERIFY(QFile::link(Path("file"), Path("link")));
        QVERIFY(QFile::link("/proc/version", Path("kernel")));
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0644), 0);
        const QString path = what.isEmpty() || what.startsWith('/') ? what : Path(what);
        std::string bytes = "stale";
        QCOMPARE(ReadFileBounded(path, 1000, bytes).status, status);
        QCOMPARE(QByteArray::fromStdString(bytes), status == FileStatus::Ok ? QByteArray("12\r\n") : QByteArray());
    }

    void readFileReadsNoMoreThanOnePastTheCap()
    {
        QVERIFY(Put(Path("big"), QByteArray(300000, 'x')));
        std::string bytes;
        QCOMPARE(ReadFileBounded(Path("big"), 1000, bytes).status, FileStatus::Ok);
        QCOMPARE(bytes.size(), size_t(1001));
    }

    void saveCreatesOrReplaces_data()
    {
        QTest::addColumn<QByteArray>("old"); // empty: no file before
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("new file") << QByteArray() << QByteArray("0\r\n\"\"\r\n");
        QTest::addRow("replaces a longer file") << QByteArray(5000, 'o') << QByteArray("1\r\n");
        QTest::addRow("replaces a shorter file") << QByteArray("x") << QByteArray(5000, 'n');
        QTest::addRow("writes an empty file") << QByteArray("old") << QByteArray();
    }
    void saveCreatesOrReplaces()
    {
        QFETCH(QByteArray, old);
        QFETCH(QByteArray, bytes);
        const QString path = Path("target.tbl");
        if (!old.isEmpty())
            QVERIFY(Put(path, old));
        QCOMPARE(SaveFileReplacing(path, View(bytes)).status, FileStatus::Ok);
        QCOMPARE(Contents(path), bytes);
        QCOMPARE(Entries(dir_->path()), QStringList{"target.tbl"}); // no temporary file left
    }

    void saveKeepsThePermissionsOfTheFileItReplaces()
    {
        const QString path = Path("target.tbl");
        QVERIFY(Put(path, "old"));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(SaveFileReplacing(path, "new").status, FileStatus::Ok);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0600));
    }

    // Who owns the folders and the file ("root" or the unprivileged "user"), the file's mode, who
    // saves, and what becomes of the real file: "replaced" by a new one, written "in place",
    // left "unchanged" or "created". Its mode after a save is always the old one without
    // setuid, setgid and sticky.
    void saveRespectsTheUsersFile_data()
    {
        QTest::addColumn<bool>("unnamed");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("owners"); // folder/file
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("asUser");
        QTest::addColumn<FileStatus>("status");
        QTest::addColumn<QString>("how");
        const FileStatus ok = FileStatus::Ok;
        // Every case also as on a file system without unnamed files.
        for (const bool unnamed : {true, false}) {
            const char *way = unnamed ? "" : " (named staging)";
            auto row = [&](const char *name) -> QTestData & {
                return QTest::addRow("%s%s", name, way) << unnamed;
            };
            row("plain file: replaced") << "plain" << "user/user" << 0640 << true << ok << "replaced";
            row("symlink: its file replaced, the link kept") << "link" << "user/user" << 0644 << true << ok << "replaced";
            row("relative link to a relative link") << "link to link" << "user/user" << 0644 << true << ok << "replaced";
            row("dangling link: refused, its target not created")
                << "dangling link" << "user/user" << 0644 << true << FileStatus::CannotOpen << "not created";
            row("hard link: both names get the new bytes") << "hard link" << "user/user" << 0644 << true << ok << "in place";
            row("read-only file: refused for its owner")
                << "plain" << "user/user" << 0444 << true << FileStatus::CannotOpen << "unchanged";
            row("read-only file: root may write it") << "plain" << "root/root" << 0444 << false << ok << "replaced";
            row("root keeps a user's owner and group") << "plain" << "user/user" << 0640 << false << ok << "replaced";
            row("setuid, setgid and sticky dropped") << "plain" << "user/user" << 07755 << true << ok << "replaced";
            row("setuid dropped in place") << "hard link" << "user/user" << 06755 << false << ok << "in place";
            row("folder the user cannot write: in place") << "plain" << "root/user" << 0644 << true << ok << "in place";
            row("another user's file: in place, owner kept") << "plain" << "user/root" << 0666 << true << ok << "in place";
            row("name of 239 bytes: replaced") << "name 239" << "user/user" << 0644 << true << ok << "replaced";
            row("name of 255 bytes: replaced") << "name 255" << "user/user" << 0644 << true << ok << "replaced";
            row("new file: created") << "new" << "user/user" << 0644 << true << ok << "created";
            row("ACL entry and user attribute kept, group bits stay the mask")
                << "acl" << "user/user" << 0660 << true << ok << "replaced";
            row("folder's default ACL not given to a file without one")
                << "default acl" << "user/user" << 0640 << true << ok << "replaced";
            row("attribute the user cannot set: in place, kept")
                << "security attribute" << "user/user" << 0644 << true << ok << "in place";
        }
    }
    void saveRespectsTheUsersFile()
    {
        QFETCH(bool, unnamed);
        QFETCH(QString, setup);
        QFETCH(QString, owners);
        QFETCH(int, mode);
        QFETCH(bool, asUser);
        QFETCH(FileStatus, status);
        QFETCH(QString, how);
        const bool root = ::geteuid() == 0;
        if (!root && (!asUser || owners.contains("root") || setup == "security attribute"))
            QSKIP("saving as root, a file owned by another user or a security attribute needs root");
        QCOMPARE(::chmod(Native(dir_->path()).constData(), 0755), 0); // for the unprivileged child
        const QByteArray oldBytes(5000, 'o');
        const QByteArray newBytes("new bytes\r\n");
        const QString home = Path("home"), elsewhere = Path("elsewhere");
        QVERIFY(QDir().mkdir(home) && QDir().mkdir(elsewhere));
        const int nameLength = setup.mid(5).toInt(); // "name 239"
        const QString save = home + "/" + (nameLength ? QString(nameLength - 4, 'h') + ".tbl" : "hero.tbl");
        const bool viaLink = setup == "link" || setup == "link to link" || setup == "dangling link";
        const QString real = viaLink ? elsewhere + "/hero.tbl" : save;
        if (setup == "link to link")
            QCOMPARE(::symlink("../elsewhere/hero.tbl", Native(home + "/step.tbl").constData()), 0);
        if (viaLink) {
            const QByteArray to = setup == "link"           ? Native(real)
                                  : setup == "link to link" ? QByteArray("step.tbl")
                                                            : QByteArray("../elsewhere/hero.tbl");
            QCOMPARE(::symlink(to.constData(), Native(save).constData()), 0);
        }
        // Folders writable by their owner only; a test that is not root stands for root by
        // taking its own right to write away.
        auto own = [&](const QString &path, bool user, mode_t mode) {
            return (!root || ::lchown(Native(path).constData(), user ? 65534 : 0, user ? 65534 : 0) == 0)
                   && ::chmod(Native(path).constData(), mode) == 0;
        };
        const bool existed = how != "created" && how != "not created";
        if (existed)
            QVERIFY(Put(real, oldBytes) && own(real, owners.endsWith("user"), mode_t(mode)));
        if (setup == "acl") {
            QVERIFY(SetAttribute(real, "user.origin", "the sourcebook"));
            QVERIFY(SetAttribute(real, "system.posix_acl_access", Acl({{0x01, 6, kNoId}, {0x02, 6, 65534},
                                                                       {0x04, 4, kNoId}, {0x10, 6, kNoId},
                                                                       {0x20, 0, kNoId}})));
        }
        if (setup == "default acl")
            QVERIFY(SetAttribute(home, "system.posix_acl_default", Acl({{0x01, 7, kNoId}, {0x02, 7, 65534},
                                                                        {0x04, 5, kNoId}, {0x10, 7, kNoId},
                                                                        {0x20, 5, kNoId}})));
        if (setup == "security attribute")
            QVERIFY(SetAttribute(real, "security.quelvane", "set by root"));
        const Attributes attributesBefore = AttributesOf(real);
        if (setup == "hard link")
            QCOMPARE(::link(Native(real).constData(), Native(home + "/copy.tbl").constData()), 0);
        const bool userFolder = owners.startsWith("user");
        for (const QString &folder : {home, elsewhere})
            QVERIFY(own(folder, userFolder, !root && !userFolder ? 0555 : 0755));

        struct stat before {}, after {};
        ::stat(Native(real).constData(), &before);
        const QStringList entries = Entries(home) + Entries(elsewhere);
        SetUnnamedStagingAllowed(unnamed);
        QCOMPARE(SaveAs(asUser, save, View(newBytes)), int(status));

        if (existed || status == FileStatus::Ok)
            QCOMPARE(Contents(real), status == FileStatus::Ok ? newBytes : oldBytes);
        if (!existed && status != FileStatus::Ok)
            QVERIFY(!QFileInfo::exists(real));
        QCOMPARE(AttributesOf(real), attributesBefore);
        if (setup == "hard link")
            QCOMPARE(Contents(home + "/copy.tbl"), newBytes);
        QCOMPARE(QFileInfo(save).isSymLink(), viaLink);
        QCOMPARE(::stat(Native(real).constData(), &after) == 0, status == FileStatus::Ok || existed);
        if (existed) {
            QCOMPARE(after.st_mode & 07777, mode_t(mode & 0777));
            QCOMPARE(after.st_uid, before.st_uid);
            QCOMPARE(after.st_gid, before.st_gid);
            QCOMPARE(after.st_ino == before.st_ino, how != "replaced");
        }
        // No staging file left; a created file is the only new entry.
        const QStringList created = how == "created" ? QStringList{QFileInfo(real).fileName()} : QStringList();
        QCOMPARE(Entries(home) + Entries(elsewhere), entries + created);
    }

    // Another program acts on the name while the writer works: right after the writer opened
    // the file, or once the new bytes are written but not yet named. The save fails with its
    // own reason, and the name keeps what the other program left there.
    void saveThatLosesARaceFails_data()
    {
        QTest::addColumn<WriterStep>("step");
        QTest::addColumn<QString>("other");   // what the other program does
        QTest::addColumn<bool>("hardLinked"); // written in place
        QTest::addColumn<bool>("exists");     // the target exists before the save
        const WriterStep opened = WriterStep::Opened, written = WriterStep::Written;
        QTest::addRow("renamed over after the open, staged") << opened << "rename" << false << true;
        QTest::addRow("removed after the open, staged") << opened << "remove" << false << true;
        QTest::addRow("renamed over after the open, in place") << opened << "rename" << true << true;
        QTest::addRow("renamed over before the rename, staged") << written << "rename" << false << true;
        QTest::addRow("removed before the rename, staged") << written << "remove" << false << true;
        QTest::addRow("renamed over during the write, in place") << written << "rename" << true << true;
        QTest::addRow("created before the link, new file") << written << "create" << false << false;
    }
    void saveThatLosesARaceFails()
    {
        QFETCH(WriterStep, step);
        QFETCH(QString, other);
        QFETCH(bool, hardLinked);
        QFETCH(bool, exists);
        const QString target = Path("hero.tbl"), twin = Path("twin.tbl");
        if (exists)
            QVERIFY(Put(target, "old bytes"));
        if (hardLinked)
            QCOMPARE(::link(Native(target).constData(), Native(twin).constData()), 0);
        QVERIFY(Put(Path("theirs"), "their bytes"));
        static WriterStep when;
        static QString what;
        when = step;
        what = other;
        SetWriterStepHook([](WriterStep now, const std::string &path) {
            if (now != when)
                return;
            if (what == "rename")
                ::rename((path.substr(0, path.rfind('/')) + "/theirs").c_str(), path.c_str());
            else if (what == "remove")
                ::unlink(path.c_str());
            else
                ::close(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644));
        });
        const FileResult result = SaveFileReplacing(target, "new bytes");
        SetWriterStepHook(nullptr);

        QVERIFY(!result.ok());
        QCOMPARE(result.status, FileStatus::Replaced);
        QVERIFY2(QString::fromStdString(FileErrorText(result)).contains("replaced or removed"),
                 FileErrorText(result).c_str());
        if (other == "remove")
            QVERIFY(!QFile::exists(target));
        else
            QCOMPARE(Contents(target), other == "rename" ? QByteArray("their bytes") : QByteArray());
        // A twin shares the file: untouched when the race came first, written when it came
        // during the write, and never taken for the target.
        if (hardLinked)
            QCOMPARE(Contents(twin), step == WriterStep::Opened ? QByteArray("old bytes") : QByteArray("new bytes"));
        QStringList left = Entries(dir_->path());
        left.removeAll("hero.tbl");
        left.removeAll("theirs");
        QCOMPARE(left, hardLinked ? QStringList{"twin.tbl"} : QStringList{});
    }

    void saveRefusesWhatIsNotAFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<FileStatus>("status");
        QTest::addRow("a folder") << "folder" << FileStatus::NotAFile;
        QTest::addRow("a FIFO") << "fifo" << FileStatus::NotAFile;
        QTest::addRow("a missing folder") << "missing/target.tbl" << FileStatus::CannotOpen;
        QTest::addRow("a path through a file") << "file/target.tbl" << FileStatus::CannotOpen;
    }
    void saveRefusesWhatIsNotAFile()
    {
        QFETCH(QString, what);
        QFETCH(FileStatus, status);
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        QVERIFY(Put(Path("folder/inside"), "kept"));
        QVERIFY(Put(Path("file"), "kept"));
        QCOMPARE(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0644), 0);
        // A device node is refused too: test_file_io_as_root.
        const QStringList before = Entries(dir_->path());

        QCOMPARE(SaveFileReplacing(Path(what), "new bytes").status, status);
        QCOMPARE(Entries(dir_->path()), before);
        QCOMPARE(Contents(Path("folder/inside")), QByteArray("kept"));
        QCOMPARE(Contents(Path("file")), QByteArray("kept"));
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(Path("fifo")).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }

    void failedSaveOverAFileSizeLimitKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("hardLink");
        QTest::addRow("replaced") << false;
        QTest::addRow("written in place: the failure is still reported") << true;
    }
    void failedSaveOverAFileSizeLimitKeepsTheOldFile()
    {
        // The limit holds in a child process only; it reports the save's status as its exit code.
        QFETCH(bool, hardLink);
        const QString target = Path("old.tbl");
        QVERIFY(Put(target, "old bytes"));
        if (hardLink)
            QCOMPARE(::link(Native(target).constData(), Native(Path("other.tbl")).constData()), 0);
        const QStringList before = Entries(dir_->path());
        const QByteArray bytes(1000, 'n');
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100, 100};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::_exit(int(SaveFileReplacing(target, View(bytes)).status));
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(FileStatus(WEXITSTATUS(status)), FileStatus::WriteFailed);
        if (!hardLink) // in place, the first bytes are already new
            QCOMPARE(Contents(target), QByteArray("old bytes"));
        QCOMPARE(Entries(dir_->path()), before);
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "test_file_io.moc"
