// Other programs: the system-information program, file tests and starting a program.
#pragma once

#include <QString>
#include <QStringList>

#include "model/Seam.h"

namespace quelvane {

// The system-information programs this system may have, in order of preference.
const QStringList &SystemInfoPrograms();

// The first of them found on PATH (its absolute path), or "" when none is installed.
QString FindSystemInfoProgram();

// The first of them installed in `folder`, or "".
QString SystemInfoProgramIn(const QString &folder);

// Program paths as the registry writes them, turned into a path of this system. On Windows
// unchanged. Elsewhere a path is a POSIX path, backslashes included, except that a final
// "\MSINFO32.EXE" (any letter case), the Windows name of the system-information program
// joined to a folder, stands for the one installed in that folder, or "<folder>/MSINFO32.EXE"
// when none is.
QString NativeProgramPath(const QString &path);

// True when the path names an existing ordinary file that is not hidden.
bool IsOrdinaryFile(const QString &path);

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts the program at `path` (as the registry writes it) without arguments and without
    // waiting for it; true when it was started.
    virtual bool Start(const QString &path) = 0;
};

// The real starter unless an Override puts another in place.
extern Seam<ProgramStarter> ProgramStarterSeam;

// Starts a program as a separate process in a normal window, never through a shell; an
// empty path or one with a zero character names no program and fails.
bool StartProgram(const QString &path);

// The real starter: the program runs detached, with the system's path mapping applied.
class DetachedProgramStarter final : public ProgramStarter {
public:
    bool Start(const QString &path) override;
};

// Test starter: records every path it is asked to start, then passes it on to `next` (when
// set) or answers `result`.
class RecordingProgramStarter final : public ProgramStarter {
public:
    bool Start(const QString &path) override
    {
        asked.append(path);
        return next ? next->Start(path) : result;
    }
    QStringList asked;
    ProgramStarter *next = nullptr;
    bool result = true;
};

} // namespace quelvane
