// The "pages done" line that a long --pdf run shows on a terminal, and the "files done" line
// of a long -o run. Plain C++, no Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quelvane::roll {

class PdfProgress {
public:
    using Sink = std::function<void(const std::string &text)>;

    // `terminal`: standard error is a terminal; otherwise nothing is ever written. `things`:
    // what is counted, plural ("pages", "files").
    PdfProgress(bool terminal, Sink sink, std::string things = "pages");

    // After each page: once the run has taken a second, the line is shown and kept current
    // (at most ten times a second, and always for the last page).
    void Update(int done, int total, int64_t elapsedMs);
    // Clears the line again, when one was shown.
    void Finish();

    static constexpr int64_t kQuietMs = 1000;
    static constexpr int64_t kEveryMs = 100;

private:
    bool terminal_;
    Sink sink_;
    std::string things_;
    bool shown_ = false;
    int64_t lastMs_ = 0;
    size_t width_ = 0;
};

} // namespace quelvane::roll
