#include "CommandTimer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace quelvane::bench {

double CommandTimer::Measure(const std::function<void()> &click, const std::function<void()> &whenIdle)
{
    QEventLoop loop;
    // A zero-interval timer fires once per pass of the loop, after the posted and window
    // system events of that pass; a pass in which nothing else was delivered means idle.
    QTimer probe;
    probe.setInterval(0);
    // The click runs from its own timer, not from the probe's slot: a modal loop opened by the
    // click would otherwise stop the probe, which Qt does not re-enter.
    QTimer trigger;
    trigger.setSingleShot(true);
    trigger.setInterval(0);
    probe_ = &probe;
    trigger_ = &trigger;

    QElapsedTimer clock;
    qint64 elapsed = -1;
    connect(&probe, &QTimer::timeout, this, [&] {
        if (sinceTick_ > 0) {
            sinceTick_ = 0;
            return;
        }
        elapsed = clock.nsecsElapsed();
        probe.stop();
        if (whenIdle)
            whenIdle();
        loop.quit();
    });
    connect(&trigger, &QTimer::timeout, this, [&] {
        sinceTick_ = 0;
        total_ = 0;
        paints_ = 0;
        probe.start();
        clock.start();
        click();
    });

    QCoreApplication::instance()->installEventFilter(this);
    trigger.start();
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(this);
    probe_ = trigger_ = nullptr;
    return static_cast<double>(elapsed) / 1e6;
}

void CommandTimer::Settle()
{
    Measure([] {});
}

bool CommandTimer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != probe_ && watched != trigger_) {
        ++sinceTick_;
        ++total_;
        if (event->type() == QEvent::Paint)
            ++paints_;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quelvane::bench
