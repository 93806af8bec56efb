#include "roll/OutputFiles.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/CharacterFile.h"
#include "roll/RollOptions.h"

namespace quelvane::roll {
namespace {

// Enough for every name collision of the largest batch, and then some.
constexpr int kMaxCopies = 100000;

std::string JoinPath(const std::string &dir, const std::string &name)
{
    if (!dir.empty() && dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

bool WriteAll(int fd, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

std::string FolderError(const std::string &dir, const std::string &reason)
{
    return "cannot write to folder '" + Printable(dir) + "': " + reason;
}

} // namespace

std::string SystemError(int error)
{
    // strerror follows LC_MESSAGES only after setlocale, which this program never calls.
    return std::strerror(error);
}

std::string CharacterFileName(const std::string &name, int copy)
{
    std::string stem = name.empty() ? "Cadrelant" : name;
    for (char &c : stem) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '\\')
            c = '_';
    }
    if (stem[0] == '.')
        stem[0] = '_';
    if (copy > 1)
        stem += "-" + std::to_string(copy);
    return stem + ".tbl";
}

std::string CheckWritableFolder(const std::string &dir)
{
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0)
        return FolderError(dir, SystemError(errno));
    if (!S_ISDIR(info.st_mode))
        return FolderError(dir, "not a folder");
    std::string probe = JoinPath(dir, ".quelvane-roll-XXXXXX");
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return FolderError(dir, SystemError(errno));
    ::close(fd);
    ::unlink(probe.c_str());
    return {};
}

std::string WriteCharacterFiles(const std::string &dir,
                                const std::vector<CharacterRecordType> &records,
                                std::vector<std::string> &written)
{
    written.clear();
    auto fail = [&](const std::string &path, int error) {
        for (const std::string &done : written)
            ::unlink(done.c_str());
        written.clear();
        return "cannot write '" + Printable(path) + "': " + SystemError(error);
    };

    for (const CharacterRecordType &record : records) {
        const std::string bytes = WriteCharacterText(record);
        std::string path;
        int fd = -1;
        for (int copy = 1; copy <= kMaxCopies && fd < 0; ++copy) {
            path = JoinPath(dir, CharacterFileName(record.Name, copy));
            // O_EXCL: the file is ours only if nobody had it, so nothing is ever replaced.
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                return fail(path, errno);
        }
        if (fd < 0)
            return fail(path, EEXIST);
        written.push_back(path); // from here on it is removed again on failure
        const bool ok = WriteAll(fd, bytes);
        const int writeError = errno;
        if (::close(fd) != 0 && ok)
            return fail(path, errno);
        if (!ok)
            return fail(path, writeError);
    }
    return {};
}

} // namespace quelvane::roll
