// Which pixels of a window have been drawn since it was mapped: the window counts as painted
// once every one of them has been, however the drawing was split up.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quelvane::bench {

class Coverage {
public:
    // The window's rectangle in root coordinates; nothing drawn yet.
    void Reset(int x, int y, int width, int height)
    {
        x_ = x;
        y_ = y;
        width_ = std::max(width, 0);
        height_ = std::max(height, 0);
        drawn_.assign(static_cast<size_t>(width_) * height_, false);
        left_ = drawn_.size();
    }

    // Marks a drawn rectangle (root coordinates; parts outside the window are ignored).
    // True once every pixel of the window has been drawn.
    bool Mark(int x, int y, int width, int height)
    {
        const int x0 = std::max(x, x_) - x_, x1 = std::min(x + width, x_ + width_) - x_;
        const int y0 = std::max(y, y_) - y_, y1 = std::min(y + height, y_ + height_) - y_;
        for (int row = y0; row < y1; ++row) {
            for (int col = x0; col < x1; ++col) {
                auto cell = drawn_.begin() + static_cast<std::ptrdiff_t>(row) * width_ + col;
                if (!*cell) {
                    *cell = true;
                    --left_;
                }
            }
        }
        return Complete();
    }

    bool Complete() const { return !drawn_.empty() && left_ == 0; }
    size_t PixelsLeft() const { return left_; }

private:
    int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
    std::vector<bool> drawn_;
    size_t left_ = 0;
};

} // namespace quelvane::bench
