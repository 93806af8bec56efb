#include "gui/Fonts.h"

#include <QFontMetricsF>

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

QFont DesignedFont(const Font &font, qreal pointScale)
{
    const qreal points = font.points * pointScale;
    return font.family == Family::Arial ? Arial(points, font.style) : MsSansSerif(points, font.style);
}

Qt::Alignment HorizontalAlignment(Align side)
{
    return side == Align::Left    ? Qt::AlignLeft
           : side == Align::Right ? Qt::AlignRight
                                  : Qt::AlignHCenter;
}

QFont FitFont(const QFont &font, const QString &text, qreal width, QPaintDevice *device)
{
    auto advance = [&](const QFont &f) {
        return device ? QFontMetricsF(f, device).horizontalAdvance(text) : QFontMetricsF(f).horizontalAdvance(text);
    };
    if (advance(font) <= width)
        return font;
    QFont fitted = font;
    for (int stretch = 99; stretch >= 80; --stretch) {
        fitted.setStretch(stretch);
        if (advance(fitted) <= width)
            return fitted;
    }
    // Still too wide: smaller, by a fortieth of its size at a time, down to a third of it.
    const qreal step = font.pointSizeF() / 40;
    const qreal smallest = font.pointSizeF() / 3;
    while (fitted.pointSizeF() - step >= smallest && advance(fitted) > width)
        fitted.setPointSizeF(fitted.pointSizeF() - step);
    return fitted;
}

} // namespace quelvane
