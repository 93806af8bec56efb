#include "gui/SysColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace quelvane {

QColor SystemColor(SysColor which)
{
    const QPalette palette = QGuiApplication::palette();
    switch (which) {
    case SysColor::WindowBackground:
        return palette.color(QPalette::Base);
    case SysColor::WindowText:
    case SysColor::MenuText:
        return palette.color(QPalette::WindowText);
    case SysColor::WindowFrame:
        // Qt has no frame role, and Fusion's Shadow is mid-grey; the standard scheme draws
        // window frames black.
        return QColor(Qt::black);
    case SysColor::ButtonText:
        return palette.color(QPalette::ButtonText);
    }
    return Qt::black;
}

QColor StandardSystemColor(SysColor which)
{
    return which == SysColor::WindowBackground ? QColor(Qt::white) : QColor(Qt::black);
}

namespace {

double RelativeLuminance(const QColor &colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace quelvane
