// Reading the system registry: the three calls the about box needs, behind a backend so tests
// answer them from memory. The names and codes follow the Windows registry, whose values the
// about box looks up; on other systems a backend of our own answers them.
#pragma once

#include <QtGlobal>

#include "model/Seam.h"

namespace quelvane {

using RegKey = quintptr;

constexpr RegKey kHkeyLocalMachine = 0x80000002;

// Value types.
constexpr quint32 kRegSz = 1;
constexpr quint32 kRegExpandSz = 2;
constexpr quint32 kRegBinary = 3;
constexpr quint32 kRegDword = 4;

// Status codes.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // Opens `subKey` (8-bit text) under `root`; on success writes the new handle to `result`.
    virtual long OpenKey(RegKey root, const char *subKey, quint32 options, quint32 access,
                         RegKey *result) = 0;
    // Reads a value into `data`, at most `*size` bytes. Writes the value's type and the size
    // of its data; when the data does not fit, answers kErrorMoreData and copies nothing.
    virtual long QueryValue(RegKey key, const char *valueName, quint32 *type, char *data,
                            quint32 *size) = 0;
    virtual long CloseKey(RegKey key) = 0;
};

// The system's own registry unless an Override puts another backend in place.
extern Seam<RegistryBackend> RegistrySeam;

// The registry in use.
inline RegistryBackend &Registry() { return RegistrySeam.Current(); }

} // namespace quelvane
