#include "sheet/SheetPainter.h"

#include <QGlyphRun>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "gui/Fonts.h"
#include "gui/RecordText.h"
#include "gui/SysColors.h"

namespace quelvane {
namespace {

constexpr qreal kTwipsPerPoint = 20;
constexpr qreal kTwipsPerInch = 1440;
constexpr qreal kLine = 15;       // one pixel of the designed screen
constexpr qreal kBoxMargin = 30;  // a text box's inner margin left and right

QRectF ToRectF(const TwipsRect &r)
{
    return QRectF(r.left, r.top, r.width, r.height);
}

void Outline(QPainter &painter, const QRectF &area)
{
    painter.setPen(QPen(SystemColor(SysColor::WindowText), kLine, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(kLine / 2, kLine / 2, -kLine / 2, -kLine / 2));
}

// One line of text laid out once: its glyphs and where they go in its room.
struct LaidOut {
    QList<QGlyphRun> runs;
    QPointF origin;
};

LaidOut Layout(const QRectF &room, Qt::Alignment alignment, const QFont &designed, const QString &text,
               QPaintDevice *device)
{
    const QFont font = FitFont(designed, text, room.width(), device);
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    QPointF origin = room.topLeft();
    const qreal spare = room.width() - line.naturalTextWidth();
    origin.rx() += alignment & Qt::AlignRight ? spare : alignment & Qt::AlignHCenter ? spare / 2 : 0;
    if (alignment & Qt::AlignVCenter)
        origin.ry() += (room.height() - line.height()) / 2;
    return {line.glyphRuns(), origin};
}

// Every page of a long run shows the same captions and mostly the same numbers: each is
// shaped once per device resolution. Used from the one GUI thread only.
const LaidOut &Cached(size_t entry, const QRectF &room, Qt::Alignment alignment, const QFont &designed,
                      const QString &text, QPaintDevice *device)
{
    static QHash<QString, LaidOut> cache;
    if (cache.size() > 4096)
        cache.clear();
    const QString key = QString::number(entry) + QLatin1Char(' ')
                        + QString::number(device ? device->logicalDpiY() : 0) + QLatin1Char(' ') + text;
    auto at = cache.find(key);
    if (at == cache.end())
        at = cache.insert(key, Layout(room, alignment, designed, text, device));
    return *at;
}

// Draws one line of text, shrunk to fit its room rather than cut.
void Text(QPainter &painter, size_t entry, const QRectF &room, Qt::Alignment alignment, const QFont &designed,
          const QString &text, const QColor &colour)
{
    if (text.isEmpty())
        return;
    const LaidOut &laid = Cached(entry, room, alignment, designed, text, painter.device());
    painter.setPen(colour);
    for (const QGlyphRun &run : laid.runs)
        painter.drawGlyphRun(laid.origin, run);
}

} // namespace

SheetTexts FillSheet(const CharacterRecordType &record)
{
    SheetTexts texts;
    const auto entries = sheet::SheetEntries();
    texts.reserve(qsizetype(entries.size()));
    for (const sheet::Entry &entry : entries)
        texts.append(entry.kind == sheet::Kind::Field ? RecordText(sheet::BoxText(entry, record)) : QString());
    return texts;
}

void DrawSheet(QPainter &painter, const QRectF &target, const SheetTexts &texts)
{
    const TwipsRect client = sheet::kClientArea;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(target.topLeft());
    painter.scale(target.width() / client.width, target.height() / client.height);
    painter.setClipRect(ToRectF(client));

    // Fonts are set in points of the device; a twip of this drawing must be a twentieth of one.
    const qreal dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    const qreal pointScale = kTwipsPerPoint * 72 / dpi;
    const QColor background = SystemColor(SysColor::WindowBackground);
    const QColor ink = SystemColor(SysColor::WindowText);

    painter.fillRect(ToRectF(client), background);
    const auto entries = sheet::SheetEntries();
    // Stacking as designed: rectangles at the bottom, captions over them, boxes on top.
    for (const sheet::Entry &entry : entries) {
        if (entry.kind == sheet::Kind::Rectangle)
            Outline(painter, ToRectF(entry.rect));
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const sheet::Entry &entry = entries[i];
        if (entry.kind == sheet::Kind::Rectangle)
            continue;
        const QRectF area = ToRectF(entry.rect);
        painter.fillRect(area, background);
        const QRectF room = entry.framed ? area.adjusted(kLine, kLine, -kLine, -kLine) : area;
        Text(painter, i, room, HorizontalAlignment(entry.captionAlign) | Qt::AlignTop,
             DesignedFont(entry.font, pointScale), QString::fromStdString(sheet::PrintedCaption(entry.caption)),
             SystemColor(entry.ink));
        if (entry.framed)
            Outline(painter, area);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const sheet::Entry &entry = entries[i];
        if (entry.kind != sheet::Kind::Field)
            continue;
        const QRectF area = ToRectF(entry.boxRect);
        painter.fillRect(area, background);
        const QString text = qsizetype(i) < texts.size() ? texts[qsizetype(i)] : QString();
        Text(painter, entries.size() + i, area.adjusted(kBoxMargin, kLine, -kBoxMargin, -kLine),
             HorizontalAlignment(entry.boxAlign) | Qt::AlignVCenter, DesignedFont(entry.boxFont, pointScale),
             text, ink);
        Outline(painter, area);
    }
    painter.restore();
}

QRectF SheetPlacement(const QSizeF &sheet, const QRectF &paper, const QRectF &printable)
{
    if (sheet.isEmpty() || printable.isEmpty())
        return {};
    qreal scale = 1;
    if (sheet.width() > printable.width() || sheet.height() > printable.height())
        scale = std::min(printable.width() / sheet.width(), printable.height() / sheet.height());
    const QSizeF size = sheet * scale;
    qreal left = paper.left() + (paper.width() - size.width()) / 2;
    left = std::max(printable.left(), std::min(left, printable.right() - size.width()));
    return QRectF(QPointF(left, printable.top()), size);
}

void DrawSheetOnPage(QPainter &painter, const QRectF &paper, const QRectF &printable, qreal dotsPerInch,
                     const SheetTexts &texts)
{
    const qreal dotsPerTwip = dotsPerInch / kTwipsPerInch;
    const QSizeF designed(sheet::kClientArea.width * dotsPerTwip, sheet::kClientArea.height * dotsPerTwip);
    DrawSheet(painter, SheetPlacement(designed, paper, printable), texts);
}

} // namespace quelvane
