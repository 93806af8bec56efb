#!/usr/bin/env python3
"""Draws the program's icon: a green eye in a red triangle on a dark disc.

    make-icon.py          the 64 x 64, 16-colour window icon as XPM (resources/icon.xpm)
    make-icon.py --svg    the same design as scalable SVG, for the desktop's icon theme

Both come from the one set of shapes below, in the XPM's pixel coordinates (pixel centres
at whole numbers). scripts/make-icons.sh renders the theme's PNGs from the SVG.
"""
import math
import sys

W = H = 64
CENTRE = 31.5
DISC, RING = 31.5, 29.5                      # outer edge, inner edge of the teal ring
APEX_Y, BASE_Y, BASE_HALF = 6.0, 58.0, 29.0  # the triangle
BAND = (3.0, 5.0)                            # the light band: between these two insets
INSET_TOP = 1.8                              # an inset moves the apex down this much more
EYE_Y, EYE_HALF_W, EYE_HALF_H = 38.0, 13.0, 7.0
IRIS, IRIS_INNER, PUPIL = 5.5, 4.0, 2.2
RAY_HALF = 1.2                               # the ray above the apex, up to the ring

palette = {
    ' ': '#000000', '.': '#000080', 'r': '#C00000', 'R': '#FF4040', 'y': '#FFFF00',
    'g': '#00C000', 'G': '#00FF00', 'w': '#FFFFFF', 'k': '#202020', 'c': '#008080',
}


def inside_triangle(x, y, inset=0.0):
    top, bottom = APEX_Y + inset * INSET_TOP, BASE_Y - inset
    if y < top or y > bottom:
        return False
    half = (y - APEX_Y) / (BASE_Y - APEX_Y) * BASE_HALF - inset
    return abs(x - CENTRE) <= half


def triangle_points(inset=0.0):
    """Corners of inside_triangle(inset): a trapezoid whose top edge is nearly a point."""
    top, bottom = APEX_Y + inset * INSET_TOP, BASE_Y - inset
    points = []
    for y, sign in ((top, -1), (top, 1), (bottom, 1), (bottom, -1)):
        half = max(0.0, (y - APEX_Y) / (BASE_Y - APEX_Y) * BASE_HALF - inset)
        points.append((CENTRE + sign * half, y))
    return points


def xpm():
    img = [['.' for _ in range(W)] for _ in range(H)]
    for y in range(H):
        for x in range(W):
            d = math.hypot(x - CENTRE, y - CENTRE)
            if d > DISC:
                img[y][x] = ' '
            elif d > RING:
                img[y][x] = 'c'
            if inside_triangle(x, y):
                img[y][x] = 'r'
            if inside_triangle(x, y, BAND[0]) and not inside_triangle(x, y, BAND[1]):
                img[y][x] = 'R'
            # The eye: an almond of white with a green iris and black pupil.
            ex, ey = (x - CENTRE) / EYE_HALF_W, (y - EYE_Y) / EYE_HALF_H
            if abs(ey) <= (1 - ex * ex) and abs(ex) <= 1:
                img[y][x] = 'w'
                r = math.hypot(x - CENTRE, y - EYE_Y)
                if r <= IRIS:
                    img[y][x] = 'g'
                if r <= IRIS_INNER:
                    img[y][x] = 'G' if (x + y) % 7 == 0 else 'g'
                if r <= PUPIL:
                    img[y][x] = 'k'
            if y < APEX_Y and abs(x - CENTRE) < RAY_HALF and d <= RING:
                img[y][x] = 'y'

    out = ['/* XPM */', 'static const char *icon_xpm[] = {', f'"{W} {H} {len(palette)} 1",']
    out += [f'"{k} c {v}",' for k, v in palette.items()]
    out += [f'"{"".join(row)}",' for row in img]
    out[-1] = out[-1].rstrip(',')
    out.append('};')
    return '\n'.join(out) + '\n'


def svg():
    def num(v):
        return f'{v:.3f}'.rstrip('0').rstrip('.')

    def polygon(points):
        return 'M ' + ' L '.join(f'{num(x)} {num(y)}' for x, y in points) + ' Z'

    ray_top = CENTRE - math.sqrt(RING * RING - RAY_HALF * RAY_HALF)
    # The almond's edges are parabolas, which a quadratic curve draws exactly: its control
    # point lies twice as far from the chord as the vertex.
    left, right = CENTRE - EYE_HALF_W, CENTRE + EYE_HALF_W
    almond = (f'M {num(left)} {num(EYE_Y)} Q {num(CENTRE)} {num(EYE_Y - 2 * EYE_HALF_H)} '
              f'{num(right)} {num(EYE_Y)} Q {num(CENTRE)} {num(EYE_Y + 2 * EYE_HALF_H)} '
              f'{num(left)} {num(EYE_Y)} Z')
    shapes = [
        f'<circle cx="{num(CENTRE)}" cy="{num(CENTRE)}" r="{num(DISC)}" fill="{palette["c"]}"/>',
        f'<circle cx="{num(CENTRE)}" cy="{num(CENTRE)}" r="{num(RING)}" fill="{palette["."]}"/>',
        f'<rect x="{num(CENTRE - RAY_HALF)}" y="{num(ray_top)}" width="{num(2 * RAY_HALF)}" '
        f'height="{num(APEX_Y - ray_top)}" fill="{palette["y"]}"/>',
        f'<path d="{polygon(triangle_points())}" fill="{palette["r"]}"/>',
        f'<path d="{polygon(triangle_points(BAND[0]))} {polygon(triangle_points(BAND[1]))}" '
        f'fill="{palette["R"]}" fill-rule="evenodd"/>',
        f'<path d="{almond}" fill="{palette["w"]}"/>',
        f'<circle cx="{num(CENTRE)}" cy="{num(EYE_Y)}" r="{num(IRIS)}" fill="{palette["g"]}"/>',
        f'<circle cx="{num(CENTRE)}" cy="{num(EYE_Y)}" r="{num(IRIS_INNER)}" fill="none" '
        f'stroke="{palette["G"]}" stroke-width="0.6" stroke-dasharray="0.6 2.2"/>',
        f'<circle cx="{num(CENTRE)}" cy="{num(EYE_Y)}" r="{num(PUPIL)}" fill="{palette["k"]}"/>',
    ]
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" '
           f'viewBox="0 0 {W} {H}">',
           # Pixel centres of the XPM sit half a pixel in from the pixel's corner.
           '  <g transform="translate(0.5 0.5)">']
    out += ['    ' + shape for shape in shapes]
    out += ['  </g>', '</svg>']
    return '\n'.join(out) + '\n'


if __name__ == '__main__':
    sys.stdout.write(svg() if sys.argv[1:] == ['--svg'] else xpm())
