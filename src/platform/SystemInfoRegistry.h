// The registry as this system answers it. There is no registry here, so only the two values
// through which programs find the system-information program exist, and only while one of
// SystemInfoPrograms() is installed on PATH:
//   HKLM "SOFTWARE\Microsoft\Shared Tools\MSINFO", "PATH": the program's absolute path;
//   HKLM "SOFTWARE\Microsoft\Shared Tools Location", "MSINFO": the folder that holds it.
// Both are strings with a terminating zero, in the 8-bit encoding of file names. The keys
// themselves always exist.
#pragma once

#include "platform/MemoryRegistry.h"

namespace quelvane {

class SystemInfoRegistry final : public RegistryBackend {
public:
    long OpenKey(RegKey root, const char *subKey, quint32 options, quint32 access,
                 RegKey *result) override;
    long QueryValue(RegKey key, const char *valueName, quint32 *type, char *data,
                    quint32 *size) override;
    long CloseKey(RegKey key) override;

private:
    // Looked up again on every open: the program may be installed while we run.
    void Refresh();

    MemoryRegistry store_;
};

} // namespace quelvane
