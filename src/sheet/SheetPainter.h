// Draws the character sheet from its table with a QPainter: on a printer, a PDF or an image.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "model/SheetLayout.h"

class QPainter;

namespace quelvane {

// The texts of the sheet's boxes, one per entry of sheet::SheetEntries() (empty for entries
// without a box), filled in the table's order.
using SheetTexts = QStringList;
SheetTexts FillSheet(const CharacterRecordType &record);

// Paints the sheet's client area into `target` (painter units), as vector drawing.
void DrawSheet(QPainter &painter, const QRectF &target, const SheetTexts &texts);

// Where a sheet of `sheet` size goes on a page (device units): its own size when it fits the
// printable area, else scaled down just enough; at the top of the printable area, centred
// across the paper as far as the printable area allows.
QRectF SheetPlacement(const QSizeF &sheet, const QRectF &paper, const QRectF &printable);

// Paints it on a page at its designed size (twips to the inch), placed as above.
void DrawSheetOnPage(QPainter &painter, const QRectF &paper, const QRectF &printable, qreal dotsPerInch,
                     const SheetTexts &texts);

} // namespace quelvane
