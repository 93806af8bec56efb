#include "platform/FileIo.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quelvane {

namespace {

constexpr qint64 kChunk = 64 * 1024;

// fsync, where the file system has it: a full disk or quota may only show up here.
bool SyncedToDisk(int fd)
{
    if (::fsync(fd) == 0)
        return true;
    return errno == EINVAL || errno == ENOTSUP;
}

// After a rename, the folder's entry must reach the disk too, or a power cut can undo it.
void SyncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool ReadBounded(QIODevice &device, std::size_t maxBytes, std::string &bytes)
{
    bytes.clear();
    const std::size_t limit = maxBytes + 1;
    while (bytes.size() < limit) {
        const std::size_t before = bytes.size();
        const qint64 want = qMin<qint64>(kChunk, static_cast<qint64>(limit - before));
        bytes.resize(before + static_cast<std::size_t>(want));
        const qint64 got = device.read(bytes.data() + before, want);
        if (got < 0) {
            bytes.clear();
            return false;
        }
        bytes.resize(before + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    return true;
}

FileStatus ReadFileBounded(const QString &path, std::size_t maxBytes, std::string &bytes)
{
    bytes.clear();
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty())
        return FileStatus::CannotOpen;
    // Look before opening: opening some devices has effects of its own.
    struct stat info {};
    if (::stat(native.constData(), &info) != 0)
        return FileStatus::CannotOpen;
    if (!S_ISREG(info.st_mode))
        return FileStatus::NotAFile;
    // O_NONBLOCK: if the path was swapped for a FIFO in between, the open still returns.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return FileStatus::CannotOpen;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileStatus::NotAFile;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileStatus::CannotOpen;
    }
    return ReadBounded(file, maxBytes, bytes) ? FileStatus::Ok : FileStatus::ReadFailed;
}

bool WriteAllChecked(QIODevice &device, std::string_view bytes)
{
    const char *p = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 written = device.write(p, left);
        if (written <= 0)
            return false;
        p += written;
        left -= written;
    }
    if (auto *file = qobject_cast<QFileDevice *>(&device)) {
        if (!file->flush() || file->error() != QFileDevice::NoError)
            return false;
    }
    return true;
}

namespace {

// Closes a descriptor once, on every path out.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

namespace {

constexpr int kMaxLinkHops = 40; // the kernel's own limit
bool gUnnamedFilesAllowed = true;

// Built from bytes: a name that is not valid UTF-8 must not be changed on the way.
QByteArray StagingPath(const QByteArray &native)
{
    const int slash = native.lastIndexOf('/');
    return native.left(slash + 1) + '.' + native.mid(slash + 1) + QByteArrayLiteral(".quelvane-saving");
}

// Where a chain of symbolic links ends: the path of the real file, which need not exist yet.
// Empty when the chain loops or a link cannot be read.
QByteArray FollowLinks(QByteArray path)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size())
            return {};
        target.truncate(length);
        path = target.startsWith('/') ? target : path.left(path.lastIndexOf('/') + 1) + target;
    }
    return {};
}

// Writes bytes from where fd stands, cuts the file to their length and syncs it; true only
// when every step worked and the file on disk has exactly that length.
bool WriteWholeSynced(int fd, std::string_view bytes)
{
    QFile writer;
    struct stat written {};
    return writer.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
           && WriteAllChecked(writer, bytes) && ::ftruncate(fd, off_t(bytes.size())) == 0
           && SyncedToDisk(fd) && ::fstat(fd, &written) == 0 && written.st_size == off_t(bytes.size());
}

// Writes the open file itself: no new inode, so other names, owner and mode all stay. Not
// truncated first, so a failure before the end leaves at least the old length; every step is
// checked so that a failure is reported.
FileStatus WriteInPlace(int fd, const struct stat &old, std::string_view bytes)
{
    if (::lseek(fd, 0, SEEK_SET) != 0 || !WriteWholeSynced(fd, bytes))
        return FileStatus::WriteFailed;
    if (old.st_mode & 07000)
        ::fchmod(fd, old.st_mode & 0777); // a character file has no use for setuid and the like
    return FileStatus::Ok;
}

} // namespace

QString SaveStagingPath(const QString &path)
{
    return QFile::decodeName(StagingPath(QFile::encodeName(path)));
}

void SetUnnamedFilesAllowed(bool allowed)
{
    gUnnamedFilesAllowed = allowed;
}

FileStatus SaveFileReplacing(const QString &path, std::string_view bytes)
{
    const QByteArray asked = QFile::encodeName(path);
    if (asked.isEmpty() || asked.endsWith('/'))
        return FileStatus::CannotOpen;
    // A link stays a link: the file it points to gets the new bytes, staged in that file's folder.
    const QByteArray native = FollowLinks(asked);
    if (native.isEmpty() || native.endsWith('/'))
        return FileStatus::CannotOpen;

    // An existing file is opened for writing, without truncating it: that is the permission
    // check an ordinary save makes (root passes it), and the way in if it is written in place.
    struct stat info {};
    Descriptor old;
    if (::stat(native.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return FileStatus::NotAFile;
        // O_NONBLOCK: if the path was swapped for a FIFO in between, the open still returns.
        old.fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (old.fd < 0)
            return FileStatus::CannotOpen;
        if (::fstat(old.fd, &info) != 0 || !S_ISREG(info.st_mode))
            return FileStatus::NotAFile;
    } else if (errno != ENOENT) {
        return FileStatus::CannotOpen;
    }
    const bool exists = old.fd >= 0;

    const int slash = native.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : native.left(slash);
    const QByteArray staging = StagingPath(native);
    const bool roomForStagingName = staging.size() - (slash + 1) <= NAME_MAX;
    // A rename would leave the file's other names with the old bytes.
    if (exists && (info.st_nlink > 1 || !roomForStagingName))
        return WriteInPlace(old.fd, info, bytes);

    // The new bytes go to an unnamed file first: a crash while writing leaves nothing behind.
    // It gets a name only once complete, and that name is fixed per target, so a crash in the
    // instant between naming it and renaming it over the target leaves one hidden file that
    // the next save of the same target clears.
    Descriptor file;
    bool unnamed = true;
    if (gUnnamedFilesAllowed)
        file.fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, exists ? 0600 : 0666);
    else
        errno = EOPNOTSUPP;
    if (file.fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files on this file system: write under the staging name instead, or, for
        // a new file whose name leaves no room for it, under the file's own name.
        unnamed = false;
        if (!roomForStagingName) {
            old.fd = ::open(native.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (old.fd < 0)
                return FileStatus::CannotOpen;
            const FileStatus status = WriteInPlace(old.fd, info, bytes);
            if (status != FileStatus::Ok)
                ::unlink(native.constData());
            return status;
        }
        ::unlink(staging.constData());
        file.fd = ::open(staging.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, exists ? 0600 : 0666);
    }
    if (file.fd < 0) {
        // A folder closed to the user need not stop a save of a file the user may write.
        if (exists && (errno == EACCES || errno == EPERM))
            return WriteInPlace(old.fd, info, bytes);
        return FileStatus::CannotOpen;
    }

    auto discard = [&] {
        if (!unnamed)
            ::unlink(staging.constData());
    };
    if (exists) {
        // Owner, group and permission bits stay as they were; the file is written in place
        // where they cannot. Never setuid, setgid or sticky.
        struct stat fresh {};
        const bool kept = ::fstat(file.fd, &fresh) == 0
                          && ((fresh.st_uid == info.st_uid && fresh.st_gid == info.st_gid)
                              || ::fchown(file.fd, info.st_uid, info.st_gid) == 0)
                          && ::fchmod(file.fd, info.st_mode & 0777) == 0;
        if (!kept) {
            discard();
            return WriteInPlace(old.fd, info, bytes);
        }
    }

    if (!WriteWholeSynced(file.fd, bytes)) {
        discard();
        return FileStatus::WriteFailed;
    }

    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.fd);
        if (!exists
            && ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native.constData(), AT_SYMLINK_FOLLOW) == 0) {
            SyncFolder(folder);
            return FileStatus::Ok;
        }
        ::unlink(staging.constData());
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, staging.constData(), AT_SYMLINK_FOLLOW) != 0)
            return FileStatus::WriteFailed;
        unnamed = false; // from here on the staging name exists and must go on failure
    }
    if (::rename(staging.constData(), native.constData()) != 0) {
        discard();
        return FileStatus::WriteFailed;
    }
    SyncFolder(folder);
    return FileStatus::Ok;
}

} // namespace quelvane
