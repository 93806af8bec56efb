// The designed fonts ("MS Sans Serif", "Arial"), their stand-ins here, and the side texts keep.
#pragma once

#include <QFont>

class QPaintDevice;
#include <QString>

#include "model/Design.h"

namespace quelvane {

// The family actually used for a designed one. Both designed families map to Liberation
// Sans, named directly: asking Qt for a missing family makes it search its aliases, which
// is slow at start-up.
QString StandInFamily(const QString &designedFamily);

QFont DesignedFont(const QString &designedFamily, qreal pointSize, unsigned style = Regular);

inline QFont MsSansSerif(qreal pointSize, unsigned style = Regular)
{
    return DesignedFont(QStringLiteral("MS Sans Serif"), pointSize, style);
}

inline QFont Arial(qreal pointSize, unsigned style = Regular)
{
    return DesignedFont(QStringLiteral("Arial"), pointSize, style);
}

// The side a text keeps, as Qt's horizontal alignment.
Qt::Alignment HorizontalAlignment(Align side);

// A designed font's stand-in, its point size multiplied by `pointScale`.
QFont DesignedFont(const Font &font, qreal pointScale = 1);

// `font` made just small enough for `text` to fit `width`: first a little narrower (the
// stand-in font runs wider than the designed one), then smaller, a fortieth at a time,
// down to a third of its size.
// Measured against `device` (nullptr: the screen). Unchanged when it fits already.
QFont FitFont(const QFont &font, const QString &text, qreal width, QPaintDevice *device = nullptr);

} // namespace quelvane
