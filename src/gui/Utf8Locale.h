// Text in and out of the programs is UTF-8, whatever locale the environment names.
#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

namespace quelvane {

// Before Qt starts: where the environment's locale would give a character type other than
// UTF-8 (none set, "C", a Latin-1 locale, one not installed), points the environment's
// LC_CTYPE at the UTF-8 form of that locale (or C.UTF-8) and every other category at what the
// environment gave it, so that Qt finds UTF-8 already and has nothing to switch or report.
// Restore() (or the destructor) puts the variables back once Qt has read them, so programs
// started later see the user's own; the process keeps its UTF-8 character type.
class Utf8CharacterType {
public:
    Utf8CharacterType();
    ~Utf8CharacterType() { Restore(); }
    Utf8CharacterType(const Utf8CharacterType &) = delete;
    Utf8CharacterType &operator=(const Utf8CharacterType &) = delete;

    bool Changed() const { return !saved_.empty(); }
    void Restore();

private:
    std::vector<std::pair<const char *, QByteArray>> saved_; // a null value: was not set
};

} // namespace quelvane
