"""Draws a picture given as shapes at any size, in full colour with smooth edges.

A shape is one line of an art source, in the units of the 32 x 32 grid (0,0 is its top left
corner, 32,32 its bottom right, a pixel's centre is at x.5):

    poly FILL [OUTLINE WIDTH] : x,y x,y ...   a closed polygon, its outline WIDTH units wide
    line FILL WIDTH : x,y x,y ...            a line through the points, round at ends and bends

A colour is a palette character or RRGGBB or RRGGBBAA in hex; a FILL is a colour, or two, A/B,
which run from A at the top of the shape's points to B at their bottom. Shapes are painted in their order, each over
the ones before. Every pixel is covered in proportion to the part of it a shape covers, measured
exactly across and on several lines down each pixel, so edges are smooth at every size.

Standard library only, so the build needs nothing beyond python3.
"""
import math


class ShapeError(Exception):
    pass


def parse_colour(text, palette):
    """(r, g, b, a), each 0..1."""
    if len(text) == 1:
        if text not in palette:
            raise ShapeError(f"'{text}' is not in the palette")
        return tuple(c / 255 for c in palette[text]) + (1.0,)
    if len(text) in (6, 8):
        try:
            value = bytes.fromhex(text)
        except ValueError:
            value = b""
        if value:
            return tuple(c / 255 for c in value) + ((1.0,) if len(value) == 3 else ())
    raise ShapeError(f"'{text}' is neither a palette character nor RRGGBB[AA]")


class Shape:
    def __init__(self, line, palette):
        head, colon, tail = line.partition(":")
        words = head.split()
        if not colon or not words or words[0] not in ("poly", "line"):
            raise ShapeError(f"expected 'poly FILL [OUTLINE WIDTH] : x,y ...' or "
                             f"'line FILL WIDTH : x,y ...', not '{line}'")
        self.kind = words[0]
        try:
            self.points = [tuple(float(v) for v in p.split(",")) for p in tail.split()]
        except ValueError:
            self.points = []
        if not self.points or any(len(p) != 2 for p in self.points):
            raise ShapeError(f"points are x,y pairs: '{tail.strip()}'")
        if any(not 0 <= v <= 32 for p in self.points for v in p):
            raise ShapeError(f"a point outside the 32 x 32 grid: '{tail.strip()}'")
        self.fill = self.outline = None   # the polygon's colours; the line's or outline's
        self.width = 0.0
        try:
            if self.kind == "poly" and len(words) in (2, 4) and len(self.points) >= 3:
                self.fill = [parse_colour(c, palette) for c in words[1].split("/")]
                if len(words) == 4:
                    self.outline, self.width = [parse_colour(words[2], palette)], float(words[3])
            elif self.kind == "line" and len(words) == 3 and len(self.points) >= 2:
                self.outline = [parse_colour(c, palette) for c in words[1].split("/")]
                self.width = float(words[2])
            else:
                raise ShapeError(f"wrong number of colours, widths or points: '{line}'")
        except ValueError:
            raise ShapeError(f"a width is a number: '{line}'")
        if max(len(self.fill or []), len(self.outline or [])) > 2:
            raise ShapeError(f"a fill is one colour or two: '{line}'")


def _circle(cx, cy, r):
    n = max(12, min(96, int(r * 3)))
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n))
            for i in range(n)]


def _stroke(points, width, closed):
    """Polygons whose union is the line through points, width wide, round at ends and bends."""
    r = width / 2
    pairs = list(zip(points, points[1:] + points[:1] if closed else points[1:]))
    polygons = [_circle(x, y, r) for x, y in points]
    for (x0, y0), (x1, y1) in pairs:
        length = math.hypot(x1 - x0, y1 - y0)
        if length:
            nx, ny = -(y1 - y0) / length * r, (x1 - x0) / length * r
            polygons.append([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])
    return polygons


def _coverage(polygons, size, lines_per_pixel):
    """The part of each pixel (row by row, 0..1) inside the union of the polygons (non-zero rule:
    the stroke's pieces all turn the same way, so where they overlap they count once)."""
    rows = size * lines_per_pixel
    edges_of_line = [[] for _ in range(rows)]
    for polygon in polygons:
        area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]))
        turn = 1 if area >= 0 else -1
        for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]):
            if y0 == y1:
                continue
            direction = turn if y1 > y0 else -turn
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
            slope = (x1 - x0) / (y1 - y0)
            first = max(0, math.ceil(y0 * lines_per_pixel - 0.5))
            last = min(rows, math.ceil(y1 * lines_per_pixel - 0.5))
            for j in range(first, last):
                y = (j + 0.5) / lines_per_pixel
                edges_of_line[j].append((x0 + (y - y0) * slope, direction))
    weight = 1 / lines_per_pixel
    result = []
    for row in range(size):
        cover = [0.0] * (size + 1)
        full = [0.0] * (size + 1)  # differences: whole pixels covered from here on
        for j in range(row * lines_per_pixel, (row + 1) * lines_per_pixel):
            winding = 0
            for x, direction in sorted(edges_of_line[j]):
                was = winding
                winding += direction
                if was == 0 and winding != 0:
                    start = x
                elif was != 0 and winding == 0:
                    a, b = max(0.0, min(start, size)), max(0.0, min(x, size))
                    ia, ib = int(a), int(b)
                    if ia == ib:
                        cover[ia] += (b - a) * weight
                    else:
                        cover[ia] += (ia + 1 - a) * weight
                        full[ia + 1] += weight
                        full[ib] -= weight
                        cover[ib] += (b - ib) * weight
        running = 0.0
        for x in range(size):
            running += full[x]
            cover[x] = min(1.0, cover[x] + running)
        result.append(cover[:size])
    return result


def render(shapes, size):
    """Rows of RGBA bytes, size x size, of the shapes painted in order on a transparent ground."""
    scale = size / 32
    lines_per_pixel = max(4, 1024 // size)
    pixels = [[0.0] * (4 * size) for _ in range(size)]  # premultiplied r, g, b and a

    def paint(polygons, colours, top, bottom):
        cover = _coverage([[(x * scale, y * scale) for x, y in p] for p in polygons], size, lines_per_pixel)
        for y in range(size):
            t = min(1.0, max(0.0, ((y + 0.5) / scale - top) / (bottom - top))) if bottom > top else 0.0
            a_, b_ = colours[0], colours[-1]
            r, g, b, a = (a_[i] + (b_[i] - a_[i]) * t for i in range(4))
            row, line = pixels[y], cover[y]
            for x in range(size):
                alpha = line[x] * a
                if alpha > 0:
                    keep = 1 - alpha
                    i = 4 * x
                    row[i] = r * alpha + row[i] * keep
                    row[i + 1] = g * alpha + row[i + 1] * keep
                    row[i + 2] = b * alpha + row[i + 2] * keep
                    row[i + 3] = alpha + row[i + 3] * keep

    for shape in shapes:
        top, bottom = min(y for _, y in shape.points), max(y for _, y in shape.points)
        if shape.fill:
            paint([shape.points], shape.fill, top, bottom)
        if shape.outline:
            paint(_stroke(shape.points, shape.width, shape.kind == "poly"), shape.outline, top, bottom)
    out = []
    for row in pixels:
        line = bytearray()
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            line += bytes((round(r / a * 255), round(g / a * 255), round(b / a * 255), round(a * 255))
                          if a > 0 else (0, 0, 0, 0))
        out.append(bytes(line))
    return out
