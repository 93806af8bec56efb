#!/usr/bin/env python3
"""Draws the program's 64 x 64, 16-colour icon as XPM: a green eye in a red triangle."""
import math
import sys

W = H = 64
palette = {
    ' ': '#000000', '.': '#000080', 'r': '#C00000', 'R': '#FF4040', 'y': '#FFFF00',
    'g': '#00C000', 'G': '#00FF00', 'w': '#FFFFFF', 'k': '#202020', 'c': '#008080',
}
img = [['.' for _ in range(W)] for _ in range(H)]

def inside_triangle(x, y, inset=0.0):
    # Apex at top centre, base near the bottom.
    top, bottom = 6 + inset * 1.8, 58 - inset
    if y < top or y > bottom:
        return False
    half = (y - 6) / (58 - 6) * 29 - inset
    return abs(x - 31.5) <= half

for y in range(H):
    for x in range(W):
        d = math.hypot(x - 31.5, y - 31.5)
        if d > 31.5:
            img[y][x] = ' '
        elif d > 29.5:
            img[y][x] = 'c'
        if inside_triangle(x, y):
            img[y][x] = 'r'
        if inside_triangle(x, y, 3) and not inside_triangle(x, y, 5):
            img[y][x] = 'R'
        # The eye: an almond of white with a green iris and black pupil.
        ex, ey = (x - 31.5) / 13.0, (y - 38.0) / 7.0
        if abs(ey) <= (1 - ex * ex) and abs(ex) <= 1:
            img[y][x] = 'w'
            r = math.hypot(x - 31.5, y - 38.0)
            if r <= 5.5:
                img[y][x] = 'g'
            if r <= 4.0:
                img[y][x] = 'G' if (x + y) % 7 == 0 else 'g'
            if r <= 2.2:
                img[y][x] = 'k'
        # Rays above the apex.
        if y < 6 and abs(x - 31.5) < 1.2 and d <= 29.5:
            img[y][x] = 'y'

out = ['/* XPM */', 'static const char *icon_xpm[] = {', f'"{W} {H} {len(palette)} 1",']
out += [f'"{k} c {v}",' for k, v in palette.items()]
out += [f'"{"".join(row)}",' for row in img]
out[-1] = out[-1].rstrip(',')
out.append('};')
sys.stdout.write('\n'.join(out) + '\n')
