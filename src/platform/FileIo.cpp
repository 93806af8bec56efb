#include "platform/FileIo.h"

#include "files/FileWriter.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quelvane {

namespace {

constexpr qint64 kChunk = 64 * 1024;

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

FileResult ReadFileBounded(const QString &path, std::size_t maxBytes, std::string &bytes)
{
    return ReadFileBounded(QFile::encodeName(path), maxBytes, bytes);
}

FileResult ReadFileBounded(const QByteArray &native, std::size_t maxBytes, std::string &bytes)
{
    bytes.clear();
    if (native.isEmpty())
        return {FileStatus::CannotOpen, ENOENT};
    // Look before opening: opening some devices has effects of its own. O_PATH opens nothing
    // for reading, yet tells the file system.
    const int probe = ::open(native.constData(), O_PATH | O_CLOEXEC);
    if (probe < 0)
        return {FileStatus::CannotOpen, errno};
    struct stat info {};
    const bool plain = ::fstat(probe, &info) == 0 && S_ISREG(info.st_mode) && !OnPseudoFileSystem(probe);
    ::close(probe);
    if (!plain)
        return {FileStatus::NotAFile, 0};
    // O_NONBLOCK: if the path was swapped for a FIFO in between, the open still returns.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {FileStatus::CannotOpen, errno};
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != info.st_dev
        || opened.st_ino != info.st_ino) {
        ::close(fd);
        return {FileStatus::NotAFile, 0};
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {FileStatus::CannotOpen, EIO};
    }
    if (!ReadBounded(file, maxBytes, bytes))
        return {FileStatus::ReadFailed, EIO};
    return {};
}

FileResult SaveFileReplacing(const QString &path, std::string_view bytes)
{
    return WriteFileSafely(QFile::encodeName(path).toStdString(), bytes);
}

} // namespace quelvane
