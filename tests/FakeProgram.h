// Stand-ins for other programs: tiny scripts that write the path they were started by into
// "<path>.started", so a test can see that (and how) a program was really started.
#pragma once

#include <QFile>
#include <QString>

namespace quelvane::testing {

// Writes the script at `path`; `runnable` false leaves it without execute permission.
inline bool WriteFakeProgram(const QString &path, bool runnable = true)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Shell builtins only: the test may run it with an empty PATH.
    file.write("#!/bin/sh\nprintf '%s' \"$0\" > \"$0.started\"\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (runnable)
        permissions |= QFile::ExeOwner;
    return file.setPermissions(permissions);
}

inline QString StartedMarker(const QString &programPath)
{
    return programPath + QStringLiteral(".started");
}

// The path the program recorded, or "" when it has not (yet) been started.
inline QString StartedAs(const QString &programPath)
{
    QFile marker(StartedMarker(programPath));
    if (!marker.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(marker.readAll());
}

} // namespace quelvane::testing
