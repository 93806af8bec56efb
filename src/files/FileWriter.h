// The one way this program's files reach the disk: a whole new content replaces a file, or
// becomes a new one, or nothing changes and the reason is reported. Plain C++ over POSIX, no
// Qt, so that quelvane-roll can use it without the windows. Its result is also the one that
// reading a file reports (platform/FileIo.h).
#pragma once

#include <string>
#include <string_view>

namespace quelvane {

enum class WriteMode {
    Replace,   // create the file or replace its contents
    CreateNew, // create the file; an existing name is never touched (Exists)
};

// What became of a read or a write. The values are stable: test children report them as
// numbers.
enum class FileStatus {
    Ok,
    CannotOpen,  // missing file or folder, no permission, a dangling link, a link the kernel refuses
    NotAFile,    // a folder, device, FIFO or socket, or a file of a kernel pseudo file system
    ReadFailed,  // an I/O error while reading
    WriteFailed, // no room, an I/O error; the old file, if any, is unchanged
    Exists,      // CreateNew only: the name is taken
    Replaced,    // another program renamed, removed or created the name during the write
};

struct FileResult {
    FileStatus status = FileStatus::Ok;
    int error = 0; // errno of the step that failed, 0 when none applies
    bool ok() const { return status == FileStatus::Ok; }
};

// Writes bytes as the whole contents of the file at path. The kernel resolves the path, links
// included, with every permission and link-protection check; a file the user may not write is
// refused, and so is a path that passes anywhere through a link planted by another user in a
// world-writable sticky folder (see PassesPlantedLink). Ok means the new bytes are whole on
// that name; when another program replaces, removes or creates the name during the write, the
// result is Replaced and the new bytes are never written into a file the name no longer holds
// (a change in the middle of an in-place write is found right after it). The new bytes are staged in a file beside the real file (unnamed where the file
// system allows), which takes the old file's owner, group, mode (never setuid, setgid or
// sticky), ACL and other extended attributes, and replaces it only once synced, and only if
// the name still names the file that was opened. Where a new file cannot stand in for the old
// one (other hard links, an owner or attribute that cannot be kept, a folder closed to the
// user, no folder to be found) the file is written in place: its new length is reserved
// first, so a full disk fails before any old byte changes, and until the save ends the file
// starts with a NUL byte, so that a crash leaves a file no reader takes for a good one.
FileResult WriteFileSafely(const std::string &path, std::string_view bytes,
                           WriteMode mode = WriteMode::Replace);

// "Permission denied" and so on, or what the status means where no errno applies: the one
// text every program shows for a file that could not be read or written.
std::string FileErrorText(const FileResult &result);

// True when resolving path would follow, at any step, a link in a world-writable sticky folder
// whose owner is neither that folder's owner nor this process: what the kernel's
// fs.protected_symlinks refuses for a path's last name only, checked for every name, whatever
// that setting says.
bool PassesPlantedLink(const std::string &path);

// True for the files of kernel pseudo file systems (/proc, /sys, debugfs, ...), where reading
// or writing acts on the system rather than on stored bytes; also when fd cannot be asked.
bool OnPseudoFileSystem(int fd);

// Tests only: called with the path at each step below, so that a test can act in the instant
// another program might.
enum class WriterStep {
    Opened,  // the old file (or, for a new file, its folder) has just been opened
    Written, // the new bytes are written (staged, or in place) and not yet given the name
};
void SetWriterStepHook(void (*hook)(WriterStep step, const std::string &path));

// Whether writes may stage in unnamed files (on by default). Tests turn it off to take the
// way of file systems that have none: NFS, vfat, many FUSE mounts.
void SetUnnamedStagingAllowed(bool allowed);

// The hidden staging names start with "." + the file's name + "." and end in 16 hex digits.
bool IsStagingNameOf(const std::string &name, const std::string &fileName);

} // namespace quelvane
