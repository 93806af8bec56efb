// A picture control that reports clicks, as Image1 does on Main.
#pragma once

#include <QLabel>

namespace quelvane {

class ClickableImage : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace quelvane
