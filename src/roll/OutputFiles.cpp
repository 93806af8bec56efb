#include "roll/OutputFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/CharacterFile.h"
#include "files/FileWriter.h"
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

StepResult FolderError(const std::string &dir, const std::string &reason)
{
    return StepResult::Failure("cannot write to folder '" + Printable(dir) + "': " + reason);
}

StepResult PdfError(const std::string &path, const std::string &reason)
{
    return StepResult::Failure("cannot write PDF '" + Printable(path) + "': " + reason);
}

// Makes a file in `dir` and lets it go; 0 on success, else the errno. Unnamed where the file
// system has such files, so that even a kill leaves nothing behind; elsewhere (NFS, vfat,
// many FUSE mounts) a hidden name, removed at once.
int ProbeFolder(const std::string &dir)
{
    int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return 0;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return errno;
    std::string probe = JoinPath(dir, ".quelvane-roll-XXXXXX");
    fd = ::mkstemp(probe.data());
    if (fd < 0)
        return errno;
    ::close(fd);
    ::unlink(probe.c_str());
    return 0;
}

const char *kPlantedLink = "passes through a link that another user planted in a shared folder";

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
    if (copy > 1) {
        // Appended piece by piece: "-" + to_string(...) trips a false -Wrestrict in GCC 12 -O2.
        stem += '-';
        stem += std::to_string(copy);
    }
    return stem + ".tbl";
}

StepResult CheckWritableFolder(const std::string &dir)
{
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0)
        return FolderError(dir, SystemError(errno));
    if (!S_ISDIR(info.st_mode))
        return FolderError(dir, "not a folder");
    const int error = ProbeFolder(dir);
    return error == 0 ? StepResult() : FolderError(dir, SystemError(error));
}

StepResult PrepareFolder(const std::string &dir, bool &created)
{
    created = false;
    if (PassesPlantedLink(dir))
        return FolderError(dir, kPlantedLink);
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0 && errno == ENOENT) {
        if (::mkdir(dir.c_str(), 0777) == 0)
            created = true;
        else if (errno != EEXIST)
            return FolderError(dir, SystemError(errno));
    }
    const StepResult checked = CheckWritableFolder(dir);
    if (!checked.ok() && created) {
        ::rmdir(dir.c_str());
        created = false;
    }
    return checked;
}

StepResult CheckPdfPath(const std::string &path)
{
    auto problem = [&](const std::string &reason) { return PdfError(path, reason); };
    if (path.back() == '/')
        return problem("not a file name");
    if (PassesPlantedLink(path))
        return problem(kPlantedLink);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return problem("a folder");
        // The writer puts only regular files in place; say so, in its words, before anything
        // is written.
        if (!S_ISREG(info.st_mode))
            return problem(FileErrorText({FileStatus::NotAFile}));
        // The writer's own check: a file one may not open for writing is not replaced.
        // Opening changes nothing, and O_NONBLOCK returns even from a FIFO swapped in.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return problem(SystemError(errno));
        ::close(fd);
    } else if (errno != ENOENT) {
        return problem(SystemError(errno));
    }
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (::stat(dir.c_str(), &info) != 0)
        return problem(SystemError(errno));
    if (!S_ISDIR(info.st_mode))
        return problem(SystemError(ENOTDIR));
    const int error = ProbeFolder(dir);
    return error == 0 ? StepResult() : problem(SystemError(error));
}

StepResult WritePdfFile(const std::string &target, const std::string &pdf)
{
    const FileResult written = WriteFileSafely(target, pdf);
    return written.ok() ? StepResult() : PdfError(target, FileErrorText(written));
}

void RemoveFiles(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths)
        ::unlink(path.c_str());
}

StepResult WriteCharacterFiles(const std::string &dir,
                               const std::vector<CharacterRecordType> &records,
                               std::vector<std::string> &written)
{
    written.clear();
    auto fail = [&](const std::string &path, const FileResult &result) -> StepResult {
        RemoveFiles(written);
        written.clear();
        return StepResult::Failure("cannot write '" + Printable(path) + "': " + FileErrorText(result));
    };

    for (const CharacterRecordType &record : records) {
        const std::string bytes = WriteCharacterText(record);
        std::string path;
        FileResult result{FileStatus::Exists, EEXIST};
        for (int copy = 1; copy <= kMaxCopies && result.status == FileStatus::Exists; ++copy) {
            path = JoinPath(dir, CharacterFileName(record.Name, copy));
            // A name appears only with its whole, synced contents, and never over another file.
            result = WriteFileSafely(path, bytes, WriteMode::CreateNew);
        }
        if (!result.ok())
            return fail(path, result);
        written.push_back(path);
    }
    return {};
}

} // namespace quelvane::roll
