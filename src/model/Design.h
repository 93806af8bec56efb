// The words the windows and the printed sheet are designed in: places in twips, the two
// designed font families and their styles, colours and the side a text keeps. Plain C++, no Qt.
#pragma once

#include <cstdint>

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

// The side a text keeps; captions and labels stand at the top, a box's one line in the middle.
enum class Align { Left, Centre, Right };
// Label options.
enum ControlStyle : unsigned {
    Plain = 0,
    WordWrap = 1u << 0, // long text goes on further lines, a word too long for one line anywhere
    Border = 1u << 1,   // a single-line frame
};

// The desktop colour scheme's named colours, as the windows were designed against them.
enum class SysColor { WindowBackground, WindowText, WindowFrame, ButtonText, MenuText };
// A colour as designed: a fixed one (0xAARRGGBB), a colour of the desktop's scheme, or the
// toolkit's own.
struct ControlColour {
    enum Source : unsigned char { Unset, Fixed, System };
    Source source = Unset;
    std::uint32_t argb = 0;
    SysColor system = SysColor::WindowText;
};
constexpr ControlColour FixedColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return {ControlColour::Fixed, 0xFF000000u | red << 16 | green << 8 | blue};
}
constexpr ControlColour SchemeColour(SysColor which)
{
    return {ControlColour::System, 0, which};
}
// The green of every label and box.
inline constexpr ControlColour kDesignGreen = FixedColour(0, 192, 0);

} // namespace quelvane
