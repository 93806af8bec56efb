// Window geometry is designed in twips (1440 to the inch); this turns it into the logical
// pixels of the screen, so the windows keep their designed size on any DPI.
#pragma once

#include <QRect>

#include "model/Design.h"

class QWidget;

namespace quelvane {

constexpr int kTwipsPerInch = 1440;

// Logical DPI of the primary screen (96 on a standard desktop), read once.
qreal LogicalDpi();
// Lets tests pin the DPI; 0 restores the screen's.
void SetLogicalDpiForTesting(qreal dpi);

int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

QRect ToPixels(const TwipsRect &rect);
// Back to twips, rounded to the nearest twip; tests compare against the designed tables.
TwipsRect ToTwips(const QRect &rect);

// Places a child in its parent, or a top-level window's client area on the screen.
void PlaceTwips(QWidget *widget, const TwipsRect &rect);

} // namespace quelvane
