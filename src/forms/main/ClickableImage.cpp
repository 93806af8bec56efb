#include "forms/main/ClickableImage.h"

#include <QMouseEvent>
#include <QPixmap>

namespace quelvane {

void ClickableImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

QPixmap ProgramIcon()
{
    static const QPixmap icon(QStringLiteral(":/quelvane/icon.xpm"));
    return icon;
}

} // namespace quelvane
