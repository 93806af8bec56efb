#include "platform/Fonts.h"

namespace quelvane {

QString StandInFamily(const QString &designedFamily)
{
    Q_UNUSED(designedFamily);
    return QStringLiteral("Liberation Sans");
}

QFont DesignedFont(const QString &designedFamily, qreal pointSize, unsigned style)
{
    QFont font(StandInFamily(designedFamily));
    font.setPointSizeF(pointSize);
    font.setBold(style & Bold);
    font.setItalic(style & Italic);
    font.setUnderline(style & Underline);
    return font;
}

} // namespace quelvane
