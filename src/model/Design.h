// The words the windows and the printed sheet are designed in: places in twips, the two
// designed font families and their styles. Plain C++, no Qt.
#pragma once

namespace quelvane {

struct TwipsRect {
    int left, top, width, height;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    constexpr bool Contains(const TwipsRect &other) const
    {
        return other.left >= left && other.top >= top && other.right() <= right()
            && other.bottom() <= bottom();
    }
};

enum class Family { MsSansSerif, Arial };
enum FontStyle : unsigned { Regular = 0, Bold = 1u << 0, Italic = 1u << 1, Underline = 1u << 2 };

struct Font {
    Family family = Family::MsSansSerif;
    double points = 0;
    unsigned style = Regular; // FontStyle bits
};

constexpr Font SansSerif(double points, unsigned style = Regular)
{
    return {Family::MsSansSerif, points, style};
}

} // namespace quelvane
