// Reading and writing whole small files without ever losing the old contents or blocking on
// something that is not a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <QString>

class QIODevice;

namespace quelvane {

enum class FileStatus {
    Ok,
    CannotOpen,  // missing, no permission, no room for a temporary file
    NotAFile,    // a folder, device, FIFO or socket
    ReadFailed,
    WriteFailed, // the old file, if any, is unchanged
};

// Reads a regular file: all of it, or its first maxBytes + 1 bytes when it is longer. Anything
// but a regular file is refused without being opened for long, so a FIFO cannot block.
FileStatus ReadFileBounded(const QString &path, std::size_t maxBytes, std::string &bytes);

// Reads an open device up to its end or up to maxBytes + 1 bytes; false on a read error.
bool ReadBounded(QIODevice &device, std::size_t maxBytes, std::string &bytes);

// Writes every byte, retrying short writes, then flushes; false on any shortfall or device
// error.
bool WriteAllChecked(QIODevice &device, std::string_view bytes);

// Replaces the contents of the regular file at path (or creates it) with bytes. Symbolic
// links are followed to the real file and stay links. A file the user may not write is
// refused (CannotOpen). The new contents go to a file in the real file's folder (unnamed
// where the file system allows it), which takes the file's owner, group and permission bits
// (never setuid, setgid or sticky) and replaces it only after every byte was written and
// synced; on any failure the file keeps its old bytes. Where that cannot be done - a file with
// other hard links, an owner or group that cannot be kept, a folder the user may not write,
// a name with no room for the staging name - the file is written in place instead, which
// still reports every failure but may leave it damaged. A path naming anything but a regular
// file is refused: renaming over it would replace a device node or fail half-way.
FileStatus SaveFileReplacing(const QString &path, std::string_view bytes);

// Whether saves may use unnamed files (on by default). Tests turn it off to take the way of
// file systems that have none: NFS, vfat, many FUSE mounts.
void SetUnnamedFilesAllowed(bool allowed);

// The hidden name a save of the real file at path gives its new contents before they replace
// it: "<folder>/.<name>.quelvane-saving".
QString SaveStagingPath(const QString &path);

} // namespace quelvane
