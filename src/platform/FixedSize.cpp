#include "platform/FixedSize.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace quelvane {

namespace {

// Puts the inside back to its designed size when the first sizes the compositor hands out
// count Qt's frame in it.
class KeepDesignedInside : public QObject {
public:
    KeepDesignedInside(QWidget *window, QSize designed) : QObject(window), window_(window), designed_(designed) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Resize && window_->size() != designed_
            && tries_ < 3) {
            ++tries_;
            QTimer::singleShot(0, window_, [this] {
                if (QWindow *handle = window_->windowHandle(); handle && window_->size() != designed_)
                    handle->resize(designed_);
            });
        }
        return false;
    }

private:
    QWidget *window_;
    QSize designed_;
    int tries_ = 0; // a compositor that insists keeps its size rather than a loop
};

} // namespace

void FixSizeAsDesigned(QWidget *window)
{
    window->setFixedSize(window->size());
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        window->installEventFilter(new KeepDesignedInside(window, window->size()));
}

} // namespace quelvane
