// The program's command line: quelvane [FILE], --help, --version. Parsed before any window
// system is touched, so the two informational options work without a display.
#pragma once

#include <QString>
#include <QStringList>

namespace quelvane {

struct StartOptions {
    enum class Action { Run, Help, Version, BadUsage };
    Action action = Action::Run;
    QString file;  // Run: the character file to load at start; empty for none
    QString error; // BadUsage: one line for standard error, without the program's name
};

// `arguments` as main() got them, the program's own name first.
StartOptions ParseStartOptions(const QStringList &arguments);

// The texts --help and --version print, each ending with a line end.
QString StartHelpText();
QString StartVersionText();

// The exit status for a bad option or argument.
inline constexpr int kBadUsageStatus = 2;

} // namespace quelvane
