#!/usr/bin/env python3
"""Builds the program's pictures from the text pixel grids in assets/art/.

Each assets/art/NAME.txt holds one picture:

    # free comment lines
    id ART_STAND_LEFT        resource identifier from art_ids.h
    type bitmap              bitmap (24-bit BMP) or icon (16 colours, with a mask)
    grid 32 32               width and height, followed by that many rows of palette characters

Instead of a grid a picture may be derived from another one:

    fill 300 32 .            every pixel one palette character
    mirror stand_left        the left-right mirror image of art/stand_left.txt
    copy stand_left          the same pixels as art/stand_left.txt

An icon's first grid is its 32 x 32 image. Further square grids (16 x 16) add images of those
sizes, drawn for their size, and

    draw 48 256              adds images of these sizes drawn from the shapes that follow

where the shapes (poly and line lines, see shapes.py) draw the same picture in the 32 x 32
grid's units, in full colour with smooth edges. Grid images are 16-colour bitmaps with a mask;
drawn ones are 32-bit with transparency, stored as PNG above 48 pixels.

The palette (art/palette.txt) maps characters to colours; "." is white in bitmaps and
transparent in icons. Output: NAME.bmp or NAME.ico in the output folder, and with --sheet
a PNG contact sheet of every picture scaled up, for looking at the artwork.

Standard library only, so the build needs nothing beyond python3.
"""
import argparse
import os
import re
import struct
import sys
import zlib

import shapes

HERE = os.path.dirname(os.path.abspath(__file__))
TRANSPARENT = "."


class ArtError(Exception):
    pass


def read_palette(path):
    palette = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split()
            if len(parts) < 2 or len(parts[0]) != 1 or not re.fullmatch(r"[0-9A-Fa-f]{6}", parts[1]):
                raise ArtError(f"{path}:{number}: expected 'CHAR RRGGBB comment'")
            value = int(parts[1], 16)
            palette[parts[0]] = ((value >> 16) & 255, (value >> 8) & 255, value & 255)
    if TRANSPARENT not in palette:
        raise ArtError(f"{path}: the background character '.' is missing")
    return palette


def read_ids(path):
    """Name -> number of every ART_ identifier in art_ids.h."""
    ids = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#define\s+(ART_\w+)\s+(\d+)", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


class Picture:
    def __init__(self, name):
        self.name = name
        self.ident = None
        self.kind = None
        self.width = self.height = 0
        self.rows = []          # list of strings of palette characters
        self.more = []          # an icon's further grid images: (size, rows)
        self.draw_sizes = []    # sizes an icon is drawn at from its shapes
        self.shapes = []        # (line number, text) of each shape line, read with the palette
        self.derive = None      # ("mirror" | "copy", other name)


def read_picture(path):
    name = os.path.splitext(os.path.basename(path))[0]
    pic = Picture(name)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        line = lines[i].rstrip()
        i += 1
        if not line or line.startswith("#"):
            continue
        key, _, rest = line.partition(" ")
        args = rest.split()
        if key == "id":
            pic.ident = args[0]
        elif key == "type":
            pic.kind = args[0]
        elif key == "grid":
            width, height = int(args[0]), int(args[1])
            rows = [lines[i + y].rstrip("\r") for y in range(height) if i + y < len(lines)]
            i += height
            for y, row in enumerate(rows):
                if len(row) != width:
                    raise ArtError(f"{path}: row {y} is {len(row)} wide, not {width}")
            if len(rows) != height:
                raise ArtError(f"{path}: {len(rows)} rows, not {height}")
            if not pic.rows:
                pic.width, pic.height, pic.rows = width, height, rows
            elif width != height:
                raise ArtError(f"{path}: a further icon image is square, not {width} x {height}")
            else:
                pic.more.append((width, rows))
        elif key == "draw":
            pic.draw_sizes = [int(a) for a in args]
        elif key in ("poly", "line"):
            pic.shapes.append((i, line))
        elif key == "fill":
            pic.width, pic.height = int(args[0]), int(args[1])
            pic.rows = [args[2] * pic.width] * pic.height
        elif key in ("mirror", "copy"):
            pic.derive = (key, args[0])
        else:
            raise ArtError(f"{path}: unknown line '{line}'")
    if pic.ident is None or pic.kind not in ("bitmap", "icon"):
        raise ArtError(f"{path}: needs an 'id' line and 'type bitmap' or 'type icon'")
    if (pic.more or pic.draw_sizes or pic.shapes) and pic.kind != "icon":
        raise ArtError(f"{path}: only an icon has more than one image")
    if bool(pic.draw_sizes) != bool(pic.shapes):
        raise ArtError(f"{path}: 'draw SIZE...' and its shapes come together")
    if not pic.rows and not pic.derive:
        raise ArtError(f"{path}: needs a grid, a fill, a mirror or a copy")
    return pic


def load_pictures(art_dir, palette, ids):
    pics = {}
    for entry in sorted(os.listdir(art_dir)):
        if entry.endswith(".txt") and entry != "palette.txt":
            pic = read_picture(os.path.join(art_dir, entry))
            pics[pic.name] = pic
    for pic in pics.values():
        if pic.derive:
            how, other = pic.derive
            if other not in pics or pics[other].derive:
                raise ArtError(f"{pic.name}: '{how} {other}' needs a picture with its own grid")
            src = pics[other]
            pic.width, pic.height = src.width, src.height
            pic.rows = [row[::-1] for row in src.rows] if how == "mirror" else list(src.rows)
    seen = {}
    for pic in pics.values():
        if pic.ident not in ids:
            raise ArtError(f"{pic.name}: {pic.ident} is not defined in art_ids.h")
        if pic.ident in seen:
            raise ArtError(f"{pic.ident} is drawn by both {seen[pic.ident]} and {pic.name}")
        seen[pic.ident] = pic.name
        for row in pic.rows:
            for ch in row:
                if ch not in palette:
                    raise ArtError(f"{pic.name}: '{ch}' is not in the palette")
        try:
            pic.shapes = [shapes.Shape(text, palette) for _, text in pic.shapes]
        except shapes.ShapeError as e:
            raise ArtError(f"{pic.name}: {e}")
        if pic.kind == "icon":
            if (pic.width, pic.height) != (32, 32):
                raise ArtError(f"{pic.name}: an icon's first image is 32 x 32")
            icon_images(pic)  # checks the sizes
    missing = sorted(set(ids) - set(seen))
    if missing:
        raise ArtError("no picture for " + ", ".join(missing))
    return sorted(pics.values(), key=lambda p: ids[p.ident])


def bmp_bytes(pic, palette):
    """24-bit bottom-up BMP file."""
    stride = (pic.width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(pic.rows):
        line = bytearray()
        for ch in row:
            r, g, b = palette[ch]
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def icon_images(pic):
    """(size, kind, rows) of every image of an icon, smallest first: kind "grid" with rows of
    palette characters, or "drawn" with rows of RGBA bytes (drawn only when asked to)."""
    images = {32: ("grid", pic.rows)}
    for size, rows in pic.more:
        if size in images:
            raise ArtError(f"{pic.name}: two {size} x {size} images")
        images[size] = ("grid", rows)
    for size in pic.draw_sizes:
        if size in images or not 16 <= size <= 256:
            raise ArtError(f"{pic.name}: 'draw {size}' needs a size from 16 to 256 not there yet")
        images[size] = ("drawn", None)
    return sorted((size, kind, rows) for size, (kind, rows) in images.items())


def drawn_images(pic):
    """icon_images with the drawn images painted."""
    return [(size, kind, rows if kind == "grid" else shapes.render(pic.shapes, size))
            for size, kind, rows in icon_images(pic)]


def icon_colour_table(pic, palette, images):
    colours = [(0, 0, 0)]               # index 0 is black: the colour under transparent pixels
    for _, kind, rows in images:
        if kind != "grid":
            continue
        for row in rows:
            for ch in row:
                if ch != TRANSPARENT and palette[ch] not in colours:
                    colours.append(palette[ch])
    if len(colours) > 16:
        raise ArtError(f"{pic.name}: {len(colours)} colours, an icon holds 16")
    return colours + [(0, 0, 0)] * (16 - len(colours))


def icon_bitmap(rows, palette, colours):
    """One 4-bit image with its 1-bit AND (transparency) mask, as an ICO file holds it."""
    size = len(rows)
    xor = bytearray()
    mask = bytearray()
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        indices = [0 if ch == TRANSPARENT else colours.index(palette[ch]) for ch in row]
        for x in range(0, size, 2):
            xor.append(indices[x] << 4 | indices[x + 1])
        bits = 0
        for ch in row:
            bits = bits << 1 | (ch == TRANSPARENT)
        mask += (bits << (mask_stride * 8 - size)).to_bytes(mask_stride, "big")
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    # The image header counts the colour and the mask bitmaps together: twice the height.
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return info + table + bytes(xor) + bytes(mask)


def drawn_bitmap(rows):
    """One 32-bit image with its alpha, and the AND mask set where it is fully transparent."""
    size = len(rows)
    mask_stride = (size + 31) // 32 * 4
    colour, mask = bytearray(), bytearray()
    for row in reversed(rows):
        bits = 0
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            colour += bytes((b, g, r, a))
            bits = bits << 1 | (a == 0)
        mask += (bits << (mask_stride * 8 - size)).to_bytes(mask_stride, "big")
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico_bytes(pic, palette):
    """ICO file with every image of the icon: grids as 16-colour bitmaps, drawn images as 32-bit
    bitmaps up to 48 pixels and as PNG above."""
    images = drawn_images(pic)
    colours = icon_colour_table(pic, palette, images)
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for size, kind, rows in images:
        if kind == "grid":
            blob, colour_count, bpp = icon_bitmap(rows, palette, colours), 16, 4
        elif size > 48:
            blob, colour_count, bpp = png_bytes(size, size, rows, alpha=True), 0, 32
        else:
            blob, colour_count, bpp = drawn_bitmap(rows), 0, 32
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bpp,
                               len(blob), offset)
        blobs += blob
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def png_bytes(width, height, rgb_rows, alpha=False):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(row) for row in rgb_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def contact_sheet(pics, palette, scale=6, line_width=8 * 32):
    """Every picture scaled up on a grey sheet; icon transparency shows as a checkerboard.
    The wide strip is drawn at the end at a smaller scale, then the icons' drawn images at their
    own size."""
    gap = 8
    drawn = [rows for pic in pics if pic.kind == "icon"
             for _, kind, rows in drawn_images(pic) if kind == "drawn"]
    strips = [p for p in pics if p.width > 64]
    lines, line, used = [], [], 0
    for pic in (p for p in pics if p.width <= 64):
        if line and used + pic.width > line_width:
            lines.append(line)
            line, used = [], 0
        line.append(pic)
        used += pic.width
    if line:
        lines.append(line)
    width = gap + max([sum(p.width * scale + gap for p in l) for l in lines] + [300 * 2 + gap])
    height = gap + len(lines) * (32 * scale + gap) + len(strips) * (32 * 2 + gap)
    height += max([len(rows) + gap for rows in drawn] + [0])
    sheet = [bytearray((170, 170, 170) * width) for _ in range(height)]

    def draw(pic, ox, oy, s):
        for y, row in enumerate(pic.rows):
            for x, ch in enumerate(row):
                for dy in range(s):
                    line = sheet[oy + y * s + dy]
                    for dx in range(s):
                        colour = palette[ch]
                        if ch == TRANSPARENT and pic.kind == "icon":
                            light = ((x * s + dx) // 4 + (y * s + dy) // 4) % 2
                            colour = (235, 235, 235) if light else (205, 205, 205)
                        px = (ox + x * s + dx) * 3
                        line[px:px + 3] = bytes(colour)

    oy = gap
    for line in lines:
        ox = gap
        for pic in line:
            draw(pic, ox, oy, scale)
            ox += pic.width * scale + gap
        oy += 32 * scale + gap
    for pic in strips:
        draw(pic, gap, oy, 2)
        oy += 32 * 2 + gap
    ox = gap
    for rows in drawn:
        for y, row in enumerate(rows):
            line = sheet[oy + y]
            for x in range(len(rows)):
                r, g, b, a = row[4 * x:4 * x + 4]
                ground = 235 if (x // 4 + y // 4) % 2 else 205
                line[(ox + x) * 3:(ox + x) * 3 + 3] = bytes(round((v * a + ground * (255 - a)) / 255)
                                                            for v in (r, g, b))
        ox += len(rows) + gap
    return png_bytes(width, height, sheet)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", required=True, help="folder for the BMP and ICO files")
    parser.add_argument("--art", default=os.path.join(HERE, "art"), help="folder of the pixel grids")
    parser.add_argument("--ids", default=os.path.join(HERE, "art_ids.h"), help="the identifier header")
    parser.add_argument("--sheet", help="also write a PNG contact sheet to this file")
    args = parser.parse_args(argv)
    try:
        palette = read_palette(os.path.join(args.art, "palette.txt"))
        pics = load_pictures(args.art, palette, read_ids(args.ids))
        files = [(pic.name + ".ico", ico_bytes(pic, palette)) if pic.kind == "icon"
                 else (pic.name + ".bmp", bmp_bytes(pic, palette)) for pic in pics]
    except (ArtError, OSError, ValueError, IndexError) as e:
        print(f"make_art: {e}", file=sys.stderr)
        return 1
    os.makedirs(args.out, exist_ok=True)
    for name, data in files:
        target = os.path.join(args.out, name)
        with open(target, "wb") as f:
            f.write(data)
    if args.sheet:
        os.makedirs(os.path.dirname(os.path.abspath(args.sheet)), exist_ok=True)
        with open(args.sheet, "wb") as f:
            f.write(contact_sheet(pics, palette))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
