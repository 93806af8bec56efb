// quelvane-roll as a function, so tests run it in-process. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/modTarvock.h"
#include "roll/OutputFiles.h"
#include "roll/RollOptions.h"

namespace quelvane::roll {

inline constexpr int kExitOk = 0;
inline constexpr int kExitWriteFailed = 1;
inline constexpr int kExitBadInput = 2;

// `count` characters from one stream seeded with `seed`: the same seed gives the same
// characters on every machine, and the first n of a longer run are those of a run of n.
std::vector<CharacterRecordType> RollCharacters(uint64_t seed, int count);

// Draws the sheets of `records` as one PDF into `pdf`, one page each, on `paper` (A4 or
// Letter). The program's renderer needs Qt, which this library does not.
using PdfRenderer = std::function<StepResult(std::string &pdf,
                                             const std::vector<CharacterRecordType> &records,
                                             Paper paper)>;

// Milliseconds since the run started, given only when `err` is a terminal: progress lines
// are for a person watching, never for a pipe or a log.
using TerminalClock = std::function<int64_t()>;

// Runs the command on the arguments after the program name: the sheets or the JSON go to
// `out`, the seed line, the -o progress and one-line errors to `err`. `renderPdf` runs only
// for --pdf. Returns the exit status. A run that fails leaves nothing behind: no character
// files, no folder it created, and an existing PDF file as it was.
int RunRoll(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
            const PdfRenderer &renderPdf, const TerminalClock &terminal = {});

} // namespace quelvane::roll
