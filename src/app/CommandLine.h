// The program's command line: quelvane [FILE], --help, --version. Parsed before any window
// system is touched, so the two informational options work without a display.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quelvane {

struct StartOptions {
    enum class Action { Run, Help, Version, BadUsage };
    Action action = Action::Run;
    QString file;  // Run: the character file to load at start, as shown; empty for none
    QByteArray nativeFile; // the same in the file system's own bytes, which need not be UTF-8
    QString error; // BadUsage: one line for standard error, without the program's name
};

// `arguments` as main() got them, the program's own name first.
StartOptions ParseStartOptions(const QList<QByteArray> &arguments);
// The same for arguments already decoded; nativeFile is then `file` encoded again.
StartOptions ParseStartOptions(const QStringList &arguments);

// The texts --help and --version print, each ending with a line end.
QString StartHelpText();
QString StartVersionText();

// The exit status for a bad option or argument.
inline constexpr int kBadUsageStatus = 2;

} // namespace quelvane
