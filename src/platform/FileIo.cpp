#include "platform/FileIo.h"

#include <QFile>

#include <cerrno>
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

QString SaveStagingPath(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1)
        + QStringLiteral(".quelvane-saving");
}

FileStatus SaveFileReplacing(const QString &path, std::string_view bytes)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || native.endsWith('/'))
        return FileStatus::CannotOpen;
    struct stat info {};
    bool exists = false;
    if (::stat(native.constData(), &info) == 0) {
        if (!S_ISREG(info.st_mode))
            return FileStatus::NotAFile;
        exists = true;
    } else if (errno != ENOENT) {
        return FileStatus::CannotOpen;
    }

    const int slash = native.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : native.left(slash);
    const QByteArray staging = QFile::encodeName(SaveStagingPath(path));
    const mode_t mode = exists ? (info.st_mode & 07777) : 0666;

    // The new bytes go to an unnamed file first: a crash while writing leaves nothing behind.
    // It gets a name only once complete, and that name is fixed per target, so a crash in the
    // instant between naming it and renaming it over the target leaves one hidden file that
    // the next save of the same target clears.
    Descriptor file;
    bool unnamed = true;
    file.fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (file.fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return FileStatus::CannotOpen;
        // No unnamed files on this file system: write under the staging name instead.
        unnamed = false;
        ::unlink(staging.constData());
        file.fd = ::open(staging.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (file.fd < 0)
            return FileStatus::CannotOpen;
    }

    auto fail = [&] {
        if (!unnamed)
            ::unlink(staging.constData());
        return FileStatus::WriteFailed;
    };
    QFile writer;
    struct stat written {};
    if (!writer.open(file.fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
        || !WriteAllChecked(writer, bytes) || !SyncedToDisk(file.fd) || ::fstat(file.fd, &written) != 0
        || written.st_size != static_cast<off_t>(bytes.size()))
        return fail();
    if (exists)
        ::fchmod(file.fd, mode); // O_TMPFILE's mode passes through the umask; keep the old one

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
    if (::rename(staging.constData(), native.constData()) != 0)
        return fail();
    SyncFolder(folder);
    return FileStatus::Ok;
}

} // namespace quelvane
