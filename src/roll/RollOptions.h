// Command-line options of quelvane-roll. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quelvane::roll {

inline constexpr int kMinCount = 1;
inline constexpr int kMaxCount = 10000;

// Paper for --pdf. Locale: the paper of the user's locale, as the window's PDF takes it.
enum class Paper { Locale, A4, Letter };

struct RollOptions {
    int count = 1;
    std::optional<uint64_t> seed; // none: seeded from the clock
    std::string outDir;           // empty: no character files
    std::string pdfPath;          // empty: no PDF
    bool json = false;
    bool quiet = false;           // nothing on standard output
    Paper paper = Paper::Locale;
};

enum class ParseOutcome { Roll, Help, Version, Error };

struct ParseResult {
    ParseOutcome outcome = ParseOutcome::Roll;
    RollOptions options;
    std::string error; // one line, without the program name, when outcome is Error
};

// Parses the arguments after the program name. --help and --version act where they stand,
// so "--help --bogus" shows the help and "--bogus --help" is an error.
ParseResult ParseRollArguments(const std::vector<std::string> &args);

// An argument as it may be shown in a one-line message: control characters become '?'.
std::string Printable(const std::string &text);

std::string HelpText();
std::string VersionText();

} // namespace quelvane::roll
