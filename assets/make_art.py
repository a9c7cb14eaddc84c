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

An icon's first grid is its 32 x 32 image. Further square grids (16 x 16, 48 x 48) add images
of those sizes, drawn for their size, and

    scale 256 32             adds a 256 x 256 image: the 32 x 32 one with every pixel 8 x 8

adds an enlarged copy of one of them, by a whole factor. Images up to 48 pixels are 16-colour
bitmaps with a mask; larger ones are stored as PNG with transparency.

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
        self.more = []          # an icon's further images: (size, rows) drawn, (size, from) scaled
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
        elif key == "scale":
            pic.more.append((int(args[0]), int(args[1])))
        elif key == "fill":
            pic.width, pic.height = int(args[0]), int(args[1])
            pic.rows = [args[2] * pic.width] * pic.height
        elif key in ("mirror", "copy"):
            pic.derive = (key, args[0])
        else:
            raise ArtError(f"{path}: unknown line '{line}'")
    if pic.ident is None or pic.kind not in ("bitmap", "icon"):
        raise ArtError(f"{path}: needs an 'id' line and 'type bitmap' or 'type icon'")
    if pic.more and pic.kind != "icon":
        raise ArtError(f"{path}: only an icon has more than one image")
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
    """(size, rows) of every image of an icon, smallest first; scaled ones worked out."""
    drawn = {32: pic.rows}
    for size, what in pic.more:
        if isinstance(what, list):
            if size in drawn:
                raise ArtError(f"{pic.name}: two {size} x {size} images")
            drawn[size] = what
    images = dict(drawn)
    for size, source in pic.more:
        if isinstance(source, list):
            continue
        if source not in drawn or size % source or size > 256 or size in images:
            raise ArtError(f"{pic.name}: 'scale {size} {source}' needs a drawn {source} x {source}"
                           f" image, a whole factor up to 256 and a size not there yet")
        factor = size // source
        images[size] = ["".join(ch * factor for ch in row) for row in drawn[source] for _ in range(factor)]
    return sorted(images.items())


def icon_colour_table(pic, palette, images):
    colours = [(0, 0, 0)]               # index 0 is black: the colour under transparent pixels
    for size, rows in images:
        if size > 48:
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


def ico_bytes(pic, palette):
    """ICO file with every image of the icon: 16-colour bitmaps up to 48 pixels, PNG above."""
    images = icon_images(pic)
    colours = icon_colour_table(pic, palette, images)
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for size, rows in images:
        if size > 48:
            rgba = [b"".join(bytes(palette[ch]) + (b"\0" if ch == TRANSPARENT else b"\xff") for ch in row)
                    for row in rows]
            blob, colour_count, bpp = png_bytes(size, size, rgba, alpha=True), 0, 32
        else:
            blob, colour_count, bpp = icon_bitmap(rows, palette, colours), 16, 4
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
    The wide strip is drawn at the end at a smaller scale."""
    gap = 8
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
