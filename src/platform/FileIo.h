// Reading and writing whole small files without ever losing the old contents or blocking on
// something that is not a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <QByteArray>
#include <QString>

#include "files/FileWriter.h"

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
// Files of kernel pseudo file systems (/proc, /sys, ...) are refused as NotAFile before any
// read: reading some of them consumes what they hold. On failure `reason`, when given, gets
// the system's words for it ("No such file or directory").
FileStatus ReadFileBounded(const QString &path, std::size_t maxBytes, std::string &bytes,
                           QString *reason = nullptr);
// The same for a path in the file system's own bytes, which need not be UTF-8.
FileStatus ReadFileBounded(const QByteArray &nativePath, std::size_t maxBytes, std::string &bytes,
                           QString *reason = nullptr);

// Reads an open device up to its end or up to maxBytes + 1 bytes; false on a read error.
bool ReadBounded(QIODevice &device, std::size_t maxBytes, std::string &bytes);

// Replaces the contents of the file at path (or creates it) with bytes, through
// WriteFileSafely (files/FileWriter.h), whose rules it shares with every file this program
// writes. WriteFailed: the old file, if any, is unchanged, except when an in-place write
// failed after its room was reserved, which leaves the file starting with a NUL byte. Also
// WriteFailed when another program replaced or removed the file during the save. `result`,
// when given, receives the writer's own result, for WriteErrorText.
FileStatus SaveFileReplacing(const QString &path, std::string_view bytes, WriteResult *result = nullptr);

} // namespace quelvane
