#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace quelvane {
namespace {
qreal g_dpiOverride = 0;
} // namespace

qreal LogicalDpi()
{
    if (g_dpiOverride > 0)
        return g_dpiOverride;
    static const qreal dpi = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const qreal value = screen ? screen->logicalDotsPerInch() : 96.0;
        return value > 0 ? value : 96.0;
    }();
    return dpi;
}

void SetLogicalDpiForTesting(qreal dpi)
{
    g_dpiOverride = dpi;
}

int TwipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips * LogicalDpi() / kTwipsPerInch));
}

int PixelsToTwips(int pixels)
{
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / LogicalDpi()));
}

QRect ToPixels(const TwipsRect &rect)
{
    // Convert the edges, not the sizes, so neighbouring controls never overlap by rounding.
    const int left = TwipsToPixels(rect.left);
    const int top = TwipsToPixels(rect.top);
    const int right = TwipsToPixels(rect.left + rect.width);
    const int bottom = TwipsToPixels(rect.top + rect.height);
    return QRect(left, top, right - left, bottom - top);
}

TwipsRect ToTwips(const QRect &rect)
{
    return {PixelsToTwips(rect.x()), PixelsToTwips(rect.y()), PixelsToTwips(rect.width()),
            PixelsToTwips(rect.height())};
}

void PlaceTwips(QWidget *widget, const TwipsRect &rect)
{
    widget->setGeometry(ToPixels(rect));
}

} // namespace quelvane
