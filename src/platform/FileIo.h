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

// Reads a regular file: all of it, or its first maxBytes + 1 bytes when it is longer. Anything
// but a regular file is refused without being opened for long, so a FIFO cannot block.
// Files of kernel pseudo file systems (/proc, /sys, ...) are refused as NotAFile before any
// read: reading some of them consumes what they hold. FileErrorText gives the reason of a
// failure ("No such file or directory").
FileResult ReadFileBounded(const QString &path, std::size_t maxBytes, std::string &bytes);
// The same for a path in the file system's own bytes, which need not be UTF-8.
FileResult ReadFileBounded(const QByteArray &nativePath, std::size_t maxBytes, std::string &bytes);

// Reads an open device up to its end or up to maxBytes + 1 bytes; false on a read error.
bool ReadBounded(QIODevice &device, std::size_t maxBytes, std::string &bytes);

// Replaces the contents of the file at path (or creates it) with bytes: WriteFileSafely
// (files/FileWriter.h), whose rules it shares with every file this program writes, for a
// path as the user typed it.
FileResult SaveFileReplacing(const QString &path, std::string_view bytes);

} // namespace quelvane
