#include "roll/PdfProgress.h"

#include <algorithm>
#include <utility>

namespace quelvane::roll {

PdfProgress::PdfProgress(bool terminal, Sink sink, std::string things)
    : terminal_(terminal), sink_(std::move(sink)), things_(std::move(things))
{
}

void PdfProgress::Update(int done, int total, int64_t elapsedMs)
{
    if (!terminal_ || !sink_ || elapsedMs < kQuietMs)
        return;
    if (shown_ && done < total && elapsedMs - lastMs_ < kEveryMs)
        return;
    const std::string line = "quelvane-roll: " + std::to_string(done) + " " + things_ + " done of " + std::to_string(total);
    std::string text = "\r" + line;
    if (line.size() < width_)
        text.append(width_ - line.size(), ' ');
    width_ = std::max(width_, line.size());
    sink_(text);
    shown_ = true;
    lastMs_ = elapsedMs;
}

void PdfProgress::Finish()
{
    if (!shown_)
        return;
    sink_("\r" + std::string(width_, ' ') + "\r");
    shown_ = false;
    width_ = 0;
}

} // namespace quelvane::roll
