// Files that quelvane-roll writes: the character files of -o and the checks that make a bad
// folder or path fail before anything is written. Plain C++ over POSIX, no Qt.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/modTarvock.h"

namespace quelvane::roll {

// What became of a check or a write: done, or failed with a one-line reason that names the
// folder or file.
struct StepResult {
    bool failed = false;
    std::string message; // set when failed
    bool ok() const { return !failed; }
    static StepResult Failure(std::string why) { return {true, std::move(why)}; }
};

// The file name for a character: its name with ".tbl". Characters that do not belong in a
// file name (a slash, a control character, a leading dot) become '_'; an empty name gives
// "Cadrelant". `copy` 2, 3, ... adds "-2", "-3" before the extension.
std::string CharacterFileName(const std::string &name, int copy = 1);

// Done when files can be created in `dir`. Tries a real file (removed at once), so read-only
// mounts are caught too.
StepResult CheckWritableFolder(const std::string &dir);

// Creates `dir` when it is missing and its parent folder exists (one level, as mkdir does),
// then checks it as CheckWritableFolder does. `created` tells whether this call made it; a
// folder it made is removed again on a failure here.
StepResult PrepareFolder(const std::string &dir, bool &created);

// Done when a PDF can be written at `path`: its folder takes new files and the path is not
// a folder or a device.
StepResult CheckPdfPath(const std::string &path);

// Writes each record to `dir` as WriteCharacterText does, under its CharacterFileName. An
// existing file is never replaced: the next free copy number is taken, atomically, so
// another program creating the same name at the same moment is safe too; each file appears
// only whole and synced (WriteFileSafely's CreateNew). On any failure the files this call
// created are removed again. `written` receives the paths, in record order.
StepResult WriteCharacterFiles(const std::string &dir,
                               const std::vector<CharacterRecordType> &records,
                               std::vector<std::string> &written);

// Removes files written by WriteCharacterFiles when a later step of the run fails.
void RemoveFiles(const std::vector<std::string> &paths);

// Puts `pdf` at `target` through WriteFileSafely, replacing an older file of that name.
StepResult WritePdfFile(const std::string &target, const std::string &pdf);

// "Permission denied" and so on, for errno values; the same text in every locale.
std::string SystemError(int error);

} // namespace quelvane::roll
