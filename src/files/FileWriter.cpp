#include "files/FileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace quelvane {
namespace {

bool gUnnamedAllowed = true;
void (*gStepHook)(WriterStep, const std::string &) = nullptr;

void Step(WriterStep step, const std::string &path)
{
    if (gStepHook)
        gStepHook(step, path);
}
constexpr int kNameTries = 16;
constexpr size_t kHexDigits = 16;

struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor() { Reset(); }
    void Reset(int to = -1)
    {
        if (fd >= 0)
            ::close(fd);
        fd = to;
    }
};

FileResult Fail(FileStatus status, int error = errno)
{
    return FileResult{status, error};
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

// Kernel settings, devices and control files look like regular files on these; writing one
// changes the system rather than storing bytes, and reading one may consume it (/proc/kmsg).
bool OnPseudoFileSystem(int fd)
{
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return true; // unknown: not a place to write
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case SMACK_MAGIC:
    case BINFMTFS_MAGIC:
    case NSFS_MAGIC:
    case HUGETLBFS_MAGIC:
    case RDTGROUP_SUPER_MAGIC:
    case 0x62656570UL: // configfs
    case 0x65735543UL: // fusectl
    case 0x19800202UL: // mqueue
    case 0x6c6f6f70UL: // binderfs
        return true;
    default:
        return false;
    }
}

namespace {

enum class Resolution {
    Clean,      // resolved without a planted link; `found` holds what the path names
    Planted,    // a step follows a link planted in a shared sticky folder
    Unresolved, // a name is missing or cannot be looked up; the kernel will say why
};

std::deque<std::string> SplitPath(const std::string &path)
{
    std::deque<std::string> names;
    for (size_t at = 0; at <= path.size();) {
        const size_t slash = std::min(path.find('/', at), path.size());
        std::string name = path.substr(at, slash - at);
        if (!name.empty() && name != ".")
            names.push_back(std::move(name));
        at = slash + 1;
    }
    return names;
}

// Walks path one name at a time, as the kernel does, but refusing the links it refuses only
// as a last name under fs.protected_symlinks: a link in a world-writable sticky folder, owned
// by neither that folder's owner nor us. Every folder is held open while its entry is looked
// at, so a name cannot be swapped for a link behind the check.
Resolution Resolve(const std::string &path, struct stat &found)
{
    constexpr int kMaxLinks = 40; // the kernel's own limit
    std::deque<std::string> names = SplitPath(path);
    Descriptor folder;
    folder.Reset(::open(!path.empty() && path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0)
        return Resolution::Unresolved;
    int links = 0;
    while (!names.empty()) {
        const std::string name = names.front();
        names.pop_front();
        struct stat entry {};
        if (::fstatat(folder.fd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
            return Resolution::Unresolved;
        if (S_ISLNK(entry.st_mode)) {
            struct stat where {};
            if (::fstat(folder.fd, &where) != 0)
                return Resolution::Unresolved;
            const bool shared = (where.st_mode & S_ISVTX) && (where.st_mode & S_IWOTH);
            if (shared && entry.st_uid != where.st_uid && entry.st_uid != ::geteuid())
                return Resolution::Planted;
            std::vector<char> target(PATH_MAX + 1);
            const ssize_t length = ::readlinkat(folder.fd, name.c_str(), target.data(), target.size());
            if (length <= 0 || size_t(length) >= target.size() || ++links > kMaxLinks)
                return Resolution::Unresolved;
            const std::string to(target.data(), size_t(length));
            std::deque<std::string> more = SplitPath(to);
            names.insert(names.begin(), more.begin(), more.end());
            if (to[0] == '/') {
                folder.Reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
                if (folder.fd < 0)
                    return Resolution::Unresolved;
            }
            continue;
        }
        if (names.empty()) {
            found = entry;
            return Resolution::Clean;
        }
        const int next = ::openat(folder.fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return Resolution::Unresolved;
        folder.Reset(next);
    }
    return ::fstat(folder.fd, &found) == 0 ? Resolution::Clean : Resolution::Unresolved;
}

// After an open: whether path, walked without planted links, still names the file held open.
FileResult CheckNamesOpenFile(const std::string &path, const struct stat &opened)
{
    struct stat found {};
    switch (Resolve(path, found)) {
    case Resolution::Planted:
        return FileResult{FileStatus::CannotOpen, EACCES};
    case Resolution::Unresolved:
        return FileResult{FileStatus::Replaced, 0};
    case Resolution::Clean:
        break;
    }
    return SameFile(found, opened) ? FileResult{} : FileResult{FileStatus::Replaced, 0};
}

std::string RandomHex()
{
    unsigned char random[kHexDigits / 2];
    if (::getrandom(random, sizeof random, 0) != ssize_t(sizeof random)) {
        // Never seen on Linux 3.17+; the O_EXCL creation still keeps names apart.
        for (unsigned char &byte : random)
            byte = static_cast<unsigned char>(std::rand());
    }
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : random) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

// ".<name>.<16 hex digits>", the name shortened so that the whole fits NAME_MAX.
std::string StagingName(const std::string &name)
{
    const size_t room = NAME_MAX - 2 - kHexDigits;
    return "." + name.substr(0, room) + "." + RandomHex();
}

bool WriteAllAt(int fd, const char *data, size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
        at += n;
    }
    return true;
}

// fsync, where the file system has it: a full disk or quota may only show up here.
bool Synced(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// The real file's folder, opened, and its name there. The path's own folder when the path is
// not a link (lstat told); otherwise the name the kernel gives the open file, whose folder is
// then opened by the kernel in turn. Either way the caller checks that the name found holds
// the very file that is open, so a wrong guess or a race only ever means "in place".
bool FindFolder(const std::string &path, bool pathIsLink, int fd, Descriptor &folder, std::string &name)
{
    std::string real = path;
    if (pathIsLink) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        std::vector<char> target(PATH_MAX + 1);
        const ssize_t length = ::readlink(self.c_str(), target.data(), target.size());
        if (length <= 0 || size_t(length) >= target.size() || target[0] != '/')
            return false;
        real.assign(target.data(), size_t(length));
    }
    const size_t slash = real.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : real.substr(0, slash);
    name = slash == std::string::npos ? real : real.substr(slash + 1);
    if (name.empty())
        return false;
    folder.Reset(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0) // a folder one may enter and write but not list
        folder.Reset(::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    return folder.fd >= 0;
}

bool SyncFolder(int folder)
{
    return Synced(folder) || errno == EBADF; // an O_PATH folder cannot be synced; nothing better is possible
}

// Every extended attribute of `from` on `to`, and none that `from` lacks (an ACL inherited
// from the folder would widen access). False when any cannot be copied or removed.
bool CopyAttributes(int from, int to)
{
    auto list = [](int fd, std::vector<char> &names) {
        for (;;) {
            const ssize_t size = ::flistxattr(fd, nullptr, 0);
            if (size < 0)
                return errno == ENOTSUP ? (names.clear(), true) : false;
            names.resize(size_t(size));
            const ssize_t got = ::flistxattr(fd, names.data(), names.size());
            if (got >= 0) {
                names.resize(size_t(got));
                return true;
            }
            if (errno != ERANGE)
                return false;
        }
    };
    std::vector<char> wanted, present;
    if (!list(from, wanted) || !list(to, present))
        return false;
    auto each = [](const std::vector<char> &names, auto &&step) {
        for (size_t at = 0; at < names.size(); at += std::strlen(names.data() + at) + 1) {
            if (!step(names.data() + at))
                return false;
        }
        return true;
    };
    auto has = [&](const std::vector<char> &names, const char *name) {
        return !each(names, [&](const char *other) { return std::strcmp(other, name) != 0; });
    };
    const bool removed = each(present, [&](const char *name) {
        return has(wanted, name) || ::fremovexattr(to, name) == 0;
    });
    return removed && each(wanted, [&](const char *name) {
        std::vector<char> value;
        for (;;) {
            const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
            if (size < 0)
                return false;
            value.resize(size_t(size));
            const ssize_t got = ::fgetxattr(from, name, value.data(), value.size());
            if (got >= 0) {
                value.resize(size_t(got));
                break;
            }
            if (errno != ERANGE)
                return false;
        }
        return ::fsetxattr(to, name, value.data(), value.size(), 0) == 0;
    });
}

// Writes the open file itself: no new inode, so other names, owner, mode and attributes all
// stay. Room for the new length is reserved before any old byte changes; the first byte is
// NUL while the rest is written, so a crash part-way leaves a file that is plainly damaged
// rather than half old and half new.
FileResult WriteInPlace(int fd, const struct stat &old, std::string_view bytes)
{
    const off_t size = off_t(bytes.size());
    if (size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0) {
        if (errno != EOPNOTSUPP && errno != ENOSYS)
            return Fail(FileStatus::WriteFailed);
        // No reservation here: the part past the old end goes first, and is taken back when
        // the disk cannot hold it.
        if (size > old.st_size
            && (!WriteAllAt(fd, bytes.data() + old.st_size, size_t(size - old.st_size), old.st_size)
                || !Synced(fd))) {
            const int error = errno;
            (void)!::ftruncate(fd, old.st_size);
            return Fail(FileStatus::WriteFailed, error);
        }
    }
    if (size == 0) {
        if (::ftruncate(fd, 0) != 0 || !Synced(fd))
            return Fail(FileStatus::WriteFailed);
    } else if (!WriteAllAt(fd, "", 1, 0) || !Synced(fd)
               || !WriteAllAt(fd, bytes.data() + 1, bytes.size() - 1, 1) || ::ftruncate(fd, size) != 0
               || !Synced(fd) || !WriteAllAt(fd, bytes.data(), 1, 0) || !Synced(fd)) {
        return Fail(FileStatus::WriteFailed);
    }
    struct stat written {};
    if (::fstat(fd, &written) != 0 || written.st_size != size)
        return Fail(FileStatus::WriteFailed, EIO);
    if (old.st_mode & 07000)
        ::fchmod(fd, old.st_mode & 0777); // a data file has no use for setuid and the like
    return {};
}

// A file being written beside its target: unnamed where possible, else under a random hidden
// name that only this write ever removes.
class Staging {
public:
    Staging(int folder, std::string fileName) : folder_(folder), fileName_(std::move(fileName)) {}
    Staging(const Staging &) = delete;
    Staging &operator=(const Staging &) = delete;
    ~Staging() { Discard(); }

    // errno tells why on failure.
    bool Create(mode_t mode)
    {
        if (gUnnamedAllowed) {
            file_.Reset(::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
            if (file_.fd >= 0)
                return ::fstat(file_.fd, &info_) == 0;
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
                return false;
        }
        for (int attempt = 0; attempt < kNameTries; ++attempt) {
            name_ = StagingName(fileName_);
            file_.Reset(::openat(folder_, name_.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, mode));
            if (file_.fd >= 0)
                return ::fstat(file_.fd, &info_) == 0;
            name_.clear();
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    int fd() const { return file_.fd; }
    const struct stat &info() const { return info_; }

    // Gives an unnamed file its hidden name, for the rename over an existing file.
    bool Name()
    {
        if (!name_.empty())
            return true;
        const std::string self = "/proc/self/fd/" + std::to_string(file_.fd);
        for (int attempt = 0; attempt < kNameTries; ++attempt) {
            const std::string name = StagingName(fileName_);
            if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0
                || ::linkat(file_.fd, "", folder_, name.c_str(), AT_EMPTY_PATH) == 0) {
                name_ = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    // Puts the file in place of fileName, which must hold `expected` up to the last moment.
    bool Replace(const struct stat &expected)
    {
        if (!Name())
            return false;
        struct stat now {};
        if (::fstatat(folder_, fileName_.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(now, expected)) {
            errno = ESTALE;
            return false;
        }
        if (::renameat(folder_, name_.c_str(), folder_, fileName_.c_str()) != 0)
            return false;
        name_.clear();
        return true;
    }

    // Gives the file the name fileName, which must be free; errno EEXIST when it is not.
    bool Link()
    {
        if (name_.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(file_.fd);
            if (::linkat(AT_FDCWD, self.c_str(), folder_, fileName_.c_str(), AT_SYMLINK_FOLLOW) == 0
                || (errno != EEXIST
                    && ::linkat(file_.fd, "", folder_, fileName_.c_str(), AT_EMPTY_PATH) == 0))
                return true;
            if (errno == EEXIST || !Name())
                return false;
        }
        if (::renameat2(folder_, name_.c_str(), folder_, fileName_.c_str(), RENAME_NOREPLACE) == 0) {
            name_.clear();
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        if (::linkat(folder_, name_.c_str(), folder_, fileName_.c_str(), 0) != 0)
            return false;
        Discard(); // the file now has its real name too
        return true;
    }

    // Removes this write's own hidden name, and only while it still holds this write's file.
    void Discard()
    {
        if (name_.empty())
            return;
        const int saved = errno;
        struct stat now {};
        if (::fstatat(folder_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, info_))
            ::unlinkat(folder_, name_.c_str(), 0);
        name_.clear();
        errno = saved;
    }

private:
    int folder_;
    std::string fileName_;
    std::string name_;
    Descriptor file_;
    struct stat info_ {};
};

bool FolderClosed(int error)
{
    return error == EACCES || error == EPERM;
}

// Gives the staged file what the old one had; false when something cannot be kept.
bool TakeOver(const Staging &staged, int old, const struct stat &info)
{
    const int fd = staged.fd();
    if ((staged.info().st_uid != info.st_uid || staged.info().st_gid != info.st_gid)
        && ::fchown(fd, info.st_uid, info.st_gid) != 0)
        return false;
    if (!CopyAttributes(old, fd))
        return false;
    // With an ACL the group bits are its mask: copying them exactly keeps it as it was.
    if (::fchmod(fd, info.st_mode & 0777) != 0)
        return false;
    struct stat now {};
    return ::fstat(fd, &now) == 0 && (now.st_mode & 07777) == (info.st_mode & 0777)
           && now.st_uid == info.st_uid && now.st_gid == info.st_gid;
}

FileResult WriteStaged(Staging &staged, std::string_view bytes)
{
    if (!WriteAllAt(staged.fd(), bytes.data(), bytes.size(), 0) || !Synced(staged.fd()))
        return Fail(FileStatus::WriteFailed);
    return {};
}

FileResult CreateFile(const std::string &path, std::string_view bytes, WriteMode mode)
{
    Descriptor folder;
    std::string name;
    if (!FindFolder(path, false, -1, folder, name))
        return Fail(FileStatus::CannotOpen);
    if (OnPseudoFileSystem(folder.fd))
        return Fail(FileStatus::NotAFile, 0);
    Step(WriterStep::Opened, path);
    struct stat opened {};
    if (::fstat(folder.fd, &opened) != 0)
        return Fail(FileStatus::CannotOpen);
    const size_t slash = path.rfind('/');
    if (FileResult named = CheckNamesOpenFile(slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash), opened);
        !named.ok())
        return named;
    Staging staged(folder.fd, name);
    if (!staged.Create(0666)) // as any new file: 0666 less the umask
        return Fail(errno == ENOSPC || errno == EDQUOT ? FileStatus::WriteFailed : FileStatus::CannotOpen);
    if (FileResult written = WriteStaged(staged, bytes); !written.ok())
        return written;
    Step(WriterStep::Written, path);
    if (!staged.Link()) {
        // In Replace mode the name was free when this save began: another program took it.
        if (errno == EEXIST)
            return mode == WriteMode::CreateNew ? Fail(FileStatus::Exists) : Fail(FileStatus::Replaced, 0);
        return Fail(FileStatus::WriteFailed);
    }
    if (!SyncFolder(folder.fd))
        return Fail(FileStatus::WriteFailed);
    return {};
}

} // namespace

bool PassesPlantedLink(const std::string &path)
{
    struct stat found {};
    return Resolve(path, found) == Resolution::Planted;
}

void SetWriterStepHook(void (*hook)(WriterStep step, const std::string &path))
{
    gStepHook = hook;
}

void SetUnnamedStagingAllowed(bool allowed)
{
    gUnnamedAllowed = allowed;
}

bool IsStagingNameOf(const std::string &name, const std::string &fileName)
{
    const std::string stem = "." + fileName.substr(0, NAME_MAX - 2 - kHexDigits) + ".";
    if (name.size() != stem.size() + kHexDigits || name.compare(0, stem.size(), stem) != 0)
        return false;
    return name.find_first_not_of("0123456789abcdef", stem.size()) == std::string::npos;
}

std::string FileErrorText(const FileResult &result)
{
    if (result.error != 0)
        return std::strerror(result.error);
    switch (result.status) {
    case FileStatus::Ok:
        return "no error";
    case FileStatus::CannotOpen:
        return "cannot be opened";
    case FileStatus::NotAFile:
        return "not a regular file";
    case FileStatus::Exists:
        return std::strerror(EEXIST);
    case FileStatus::ReadFailed:
        return "read failed";
    case FileStatus::WriteFailed:
        break;
    case FileStatus::Replaced:
        return "the file was replaced or removed by another program while it was being saved";
    }
    return "write failed";
}

FileResult WriteFileSafely(const std::string &path, std::string_view bytes, WriteMode mode)
{
    if (path.empty() || path.back() == '/')
        return Fail(FileStatus::CannotOpen, EISDIR);
    if (PassesPlantedLink(path))
        return Fail(FileStatus::CannotOpen, EACCES);
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        if (errno == ENOENT)
            return CreateFile(path, bytes, mode);
        return Fail(FileStatus::CannotOpen);
    }
    if (mode == WriteMode::CreateNew)
        return Fail(FileStatus::Exists, EEXIST);
    const bool pathIsLink = S_ISLNK(link.st_mode);

    // The kernel follows the links, with fs.protected_symlinks and every permission check;
    // a dangling link fails here and creates nothing. O_PATH first: nothing but a regular
    // file on an ordinary file system is ever opened for writing.
    Descriptor probe;
    probe.Reset(::open(path.c_str(), O_PATH | O_CLOEXEC));
    if (probe.fd < 0)
        return Fail(FileStatus::CannotOpen);
    struct stat info {};
    if (::fstat(probe.fd, &info) != 0)
        return Fail(FileStatus::CannotOpen);
    if (!S_ISREG(info.st_mode) || OnPseudoFileSystem(probe.fd))
        return Fail(FileStatus::NotAFile, 0);
    // Opening for writing is the permission check an ordinary save makes (root passes it).
    // O_NONBLOCK: if the path was swapped for a FIFO meanwhile, the open still returns.
    Descriptor old;
    old.Reset(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (old.fd < 0)
        return Fail(FileStatus::CannotOpen);
    struct stat opened {};
    if (::fstat(old.fd, &opened) != 0 || !SameFile(opened, info))
        return Fail(FileStatus::Replaced, 0);
    info = opened;
    Step(WriterStep::Opened, path);
    // From here on the name must hold the file that is open; if another program replaces or
    // removes it, the save fails rather than write into a file no name holds.
    if (FileResult named = CheckNamesOpenFile(path, info); !named.ok())
        return named;
    auto inPlace = [&] {
        const FileResult written = WriteInPlace(old.fd, info, bytes);
        if (!written.ok())
            return written;
        Step(WriterStep::Written, path);
        return CheckNamesOpenFile(path, info);
    };

    // A rename would leave the other names with the old bytes.
    if (info.st_nlink > 1)
        return inPlace();
    Descriptor folder;
    std::string name;
    if (!FindFolder(path, pathIsLink, old.fd, folder, name))
        return inPlace();
    struct stat there {};
    if (::fstatat(folder.fd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 || !SameFile(there, info))
        return Fail(FileStatus::Replaced, 0);

    Staging staged(folder.fd, name);
    if (!staged.Create(0600)) {
        if (FolderClosed(errno) || errno == EROFS)
            return inPlace();
        return Fail(FileStatus::WriteFailed);
    }
    if (!TakeOver(staged, old.fd, info)) {
        staged.Discard();
        return inPlace();
    }
    if (FileResult written = WriteStaged(staged, bytes); !written.ok())
        return written;
    Step(WriterStep::Written, path);
    if (!staged.Replace(info))
        return Fail(errno == ESTALE ? FileStatus::Replaced : FileStatus::WriteFailed, errno == ESTALE ? 0 : errno);
    if (!SyncFolder(folder.fd))
        return Fail(FileStatus::WriteFailed);
    return {};
}

} // namespace quelvane
