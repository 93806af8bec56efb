// Times one user command in-process: from the click to the event loop being idle again, so
// the figure covers everything the click set off (posted events, deferred deletes, exposes and
// the paints of every window it opened), not just the handler.
#pragma once

#include <functional>

#include <QElapsedTimer>
#include <QObject>

namespace quelvane::bench {

class CommandTimer final : public QObject {
public:
    // Runs `click` from the event loop and returns the milliseconds until a whole pass of the
    // loop delivers no event. `whenIdle` runs at that moment, still inside any modal loop the
    // click opened (to close a modal dialog, say); its own work is not timed.
    double Measure(const std::function<void()> &click, const std::function<void()> &whenIdle = {});

    // Lets the event loop run until it is idle; untimed set-up between measurements.
    void Settle();

    // Events delivered during the last measurement (the probe's own ticks excluded).
    long long LastEventCount() const { return total_; }
    // Paint events among them: a command that shows something must have painted it.
    long long LastPaintCount() const { return paints_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const QObject *probe_ = nullptr;
    const QObject *trigger_ = nullptr;
    long long sinceTick_ = 0;
    long long total_ = 0;
    long long paints_ = 0;
};

} // namespace quelvane::bench
