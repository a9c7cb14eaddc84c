#!/usr/bin/env python3
"""Runs assets/make_art.py into a temporary folder and reads back the files it writes."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

ASSETS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets")
MAKE_ART = os.path.join(ASSETS, "make_art.py")

# name -> (kind, width, height); what the windows expect of each picture.
EXPECTED = {name: ("bmp", 32, 32) for name in (
    "walk_left_a", "walk_left_b", "stand_left", "rope_right_a", "rope_right_b", "rope_stand",
    "folder_doc", "folder_rope", "stand_right", "front_stand", "jump", "cry_1", "cry_2",
    "sweat_1", "sweat_2", "sweat_3", "sweat_4", "about_folder_1", "about_folder_2",
    "char_l", "char_r")}
EXPECTED.update({"white_strip": ("bmp", 300, 32), "rope_work_1": ("bmp", 64, 32),
                 "rope_work_2": ("bmp", 64, 32), "app_icon": ("ico", 32, 32),
                 "check_icon": ("ico", 32, 32), "cross_icon": ("ico", 32, 32)})


def run_make_art(out, *extra):
    return subprocess.run([sys.executable, MAKE_ART, "--out", out, *extra],
                          capture_output=True, text=True)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def read_bmp(path):
    """(width, height, bits per pixel, rows of (r, g, b) top-down)."""
    data = read_bytes(path)
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and size == len(data), path
    _, width, height, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    assert planes == 1 and compression == 0, path
    stride = (width * bpp // 8 + 3) & ~3
    rows = []
    for y in range(height):
        line = data[offset + (height - 1 - y) * stride:]
        rows.append([(line[x * 3 + 2], line[x * 3 + 1], line[x * 3]) for x in range(width)])
    return width, height, bpp, rows


def png_rows(png):
    """Rows of raw RGBA bytes of an 8-bit RGBA PNG whose rows use no filter (as make_art writes)."""
    at, idat = 8, b""
    while at < len(png):
        length, kind = struct.unpack_from(">I4s", png, at)
        if kind == b"IDAT":
            idat += png[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(idat)
    width = struct.unpack_from(">I", png, 16)[0]
    stride = 1 + width * 4
    assert all(raw[y * stride] == 0 for y in range(len(raw) // stride))
    return [raw[y * stride + 1:(y + 1) * stride] for y in range(len(raw) // stride)]


def read_ico_images(path):
    """Every image of an ICO file: dicts of size, colours, bpp, and for bitmaps the header
    height, the mask (rows of bools) and for 32-bit ones the pixels (rows of RGBA bytes), for
    PNG images the PNG bytes."""
    data = read_bytes(path)
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1) and count >= 1, path
    images = []
    end = 6 + 16 * count
    for i in range(count):
        w, h, colours, _, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        assert offset == end and planes == 1, path  # stored in directory order, no gaps
        end += size
        image = {"size": w or 256, "height": h or 256, "colours": colours, "bpp": bpp}
        blob = data[offset:offset + size]
        if blob.startswith(b"\x89PNG"):
            image["png"] = blob
        else:
            _, iw, ih, iplanes, ibpp = struct.unpack_from("<IiiHH", blob, 0)
            assert iw == image["size"] and iplanes == 1 and bpp == ibpp, path
            n = iw
            stride = (n + 31) // 32 * 4
            pixels_at = 40 + (16 * 4 if ibpp == 4 else 0)
            mask_at = pixels_at + n * n * ibpp // 8
            assert mask_at + n * stride == len(blob), path
            image["header_height"] = ih
            image["mask"] = [[bool(blob[mask_at + (n - 1 - y) * stride + x // 8] >> (7 - x % 8) & 1)
                              for x in range(n)] for y in range(n)]
            if ibpp == 32:
                image["rgba"] = [b"".join(bytes((p[2], p[1], p[0], p[3])) for p in
                                          (blob[pixels_at + ((n - 1 - y) * n + x) * 4:][:4] for x in range(n)))
                                 for y in range(n)]
        images.append(image)
    assert end == len(data), path
    return images


def read_ico(path):
    """The 32 x 32 image: (entry width, height, colour count, bpp, header height, mask)."""
    image = next(i for i in read_ico_images(path) if i["size"] == 32)
    return 32, image["height"], image["colours"], image["bpp"], image["header_height"], image["mask"]


class GeneratedArt(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="vemo-art-")
        result = run_make_art(cls.out, "--sheet", os.path.join(cls.out, "sheet.png"))
        assert result.returncode == 0, result.stderr

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out)

    def test_every_picture_has_its_size_and_depth(self):
        written = sorted(os.listdir(self.out))
        self.assertEqual(written, sorted([f"{n}.{k}" for n, (k, _, _) in EXPECTED.items()] + ["sheet.png"]))
        for name, (kind, width, height) in EXPECTED.items():
            with self.subTest(name):
                path = os.path.join(self.out, f"{name}.{kind}")
                if kind == "bmp":
                    w, h, bpp, _ = read_bmp(path)
                    self.assertEqual((w, h, bpp), (width, height, 24))
                else:
                    w, h, colours, bpp, header_height, mask = read_ico(path)
                    self.assertEqual((w, h, colours, bpp), (32, 32, 16, 4))
                    self.assertEqual(header_height, 64, "colour and mask bitmaps together")
                    transparent = sum(map(sum, mask))
                    self.assertGreater(transparent, 100, "the mask lets the background through")
                    self.assertLess(transparent, 32 * 32 - 150, "the mark itself is opaque")
                    self.assertTrue(mask[0][0] and mask[31][31], "corners are transparent")

    def test_scene_pictures_are_on_white_and_not_empty(self):
        white = (255, 255, 255)
        for name, (kind, _, _) in EXPECTED.items():
            if kind != "bmp":
                continue
            with self.subTest(name):
                w, h, _, rows = read_bmp(os.path.join(self.out, name + ".bmp"))
                for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
                    self.assertEqual(rows[y][x], white)
                drawn = sum(p != white for row in rows for p in row)
                if name == "white_strip":
                    self.assertEqual(drawn, 0)
                else:
                    self.assertGreater(drawn, 150, "a figure, not a few dots")

    def test_the_program_icon_has_every_size(self):
        images = read_ico_images(os.path.join(self.out, "app_icon.ico"))
        self.assertEqual([i["size"] for i in images], [16, 32, 48, 256])
        for image in images[:2]:
            with self.subTest(image["size"]):
                n = image["size"]
                self.assertEqual((image["height"], image["colours"], image["bpp"]), (n, 16, 4))
                self.assertEqual(image["header_height"], 2 * n)
                transparent = sum(map(sum, image["mask"]))
                self.assertGreater(transparent, n * n // 10, "the mask lets the background through")
                self.assertLess(transparent, n * n * 3 // 4, "the picture itself is opaque")
                self.assertTrue(image["mask"][0][0] and image["mask"][n - 1][n - 1])
        self.assertEqual((images[2]["bpp"], images[2]["header_height"]), (32, 96), "48: 32-bit bitmap")
        png = images[3]["png"]
        width, height, depth, colour_type = struct.unpack_from(">IIBB", png, 16)
        self.assertEqual((width, height, depth, colour_type), (256, 256, 8, 6), "RGBA")
        # 48 and 256 are drawn at their size in full colour from the same picture as the 32 x 32
        # grid: smooth edges and many colours, opaque where the grid is (sampled at each grid
        # pixel's centre), and not the grid's pixels enlarged.
        mask32 = images[1]["mask"]
        for n, rows in ((48, images[2]["rgba"]), (256, png_rows(png))):
            with self.subTest(n):
                alphas = {row[4 * x + 3] for row in rows for x in range(n)}
                colours = {row[4 * x:4 * x + 3] for row in rows for x in range(n) if row[4 * x + 3] == 255}
                self.assertGreater(len(alphas), 40, "smooth edges")
                self.assertGreater(len(colours), 200, "full colour")
                agree = sum((rows[int((y + 0.5) * n / 32)][4 * int((x + 0.5) * n / 32) + 3] > 127)
                            != mask32[y][x] for y in range(32) for x in range(32))
                self.assertGreater(agree, 32 * 32 * 97 // 100, "the same picture")
                transparent = [[row[4 * x + 3] == 0 for x in range(n)] for row in rows]
                mask = images[2]["mask"] if n == 48 else transparent
                self.assertEqual(mask, transparent, "the mask is the transparent pixels")

    def test_standing_right_mirrors_standing_left(self):
        _, _, _, left = read_bmp(os.path.join(self.out, "stand_left.bmp"))
        _, _, _, right = read_bmp(os.path.join(self.out, "stand_right.bmp"))
        self.assertEqual([row[::-1] for row in left], right)

    def test_frames_of_one_move_differ(self):
        pairs = [("walk_left_a", "walk_left_b"), ("walk_left_a", "stand_left"),
                 ("rope_right_a", "rope_right_b"), ("rope_right_a", "rope_stand"),
                 ("rope_work_1", "rope_work_2"), ("cry_1", "cry_2"), ("front_stand", "jump"),
                 ("sweat_1", "sweat_2"), ("sweat_2", "sweat_3"), ("sweat_3", "sweat_4"),
                 ("folder_doc", "folder_rope"), ("about_folder_1", "about_folder_2")]
        for a, b in pairs:
            with self.subTest(f"{a} {b}"):
                same = (read_bmp(os.path.join(self.out, a + ".bmp"))[3]
                        == read_bmp(os.path.join(self.out, b + ".bmp"))[3])
                self.assertFalse(same, "two frames with the same pixels")

    def test_the_sheet_is_a_png(self):
        with open(os.path.join(self.out, "sheet.png"), "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")


class ResourceScript(unittest.TestCase):
    def test_every_identifier_names_one_generated_file(self):
        with open(os.path.join(ASSETS, "art_ids.h")) as f:
            ids = re.findall(r"#define\s+(ART_\w+)\s+\d+", f.read())
        with open(os.path.join(ASSETS, "vemo.rc")) as f:
            script = f.read()
        entries = re.findall(r"^(ART_\w+)\s+(ICON|BITMAP)\s+\"([^\"]+)\"", script, re.M)
        self.assertEqual(sorted(e[0] for e in entries), sorted(ids))
        for ident, kind, file in entries:
            name, ext = os.path.splitext(file)
            self.assertIn(name, EXPECTED, ident)
            self.assertEqual(ext, ".ico" if kind == "ICON" else ".bmp", ident)
            self.assertEqual("." + EXPECTED[name][0], ext, ident)
        self.assertEqual(entries[0][:2], ("ART_APP_ICON", "ICON"), "the exe's icon is the first group")


class BrokenSources(unittest.TestCase):
    """A fault in a grid stops the build with a message naming the picture."""

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="vemo-art-src-")
        self.art = os.path.join(self.work, "art")
        shutil.copytree(os.path.join(ASSETS, "art"), self.art)

    def tearDown(self):
        shutil.rmtree(self.work)

    def edit(self, name, change):
        path = os.path.join(self.art, name + ".txt")
        with open(path) as f:
            text = f.read()
        with open(path, "w") as f:
            f.write(change(text))

    def expect_failure(self, fragment):
        result = run_make_art(os.path.join(self.work, "out"), "--art", self.art)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(fragment, result.stderr)

    def test_short_row(self):
        self.edit("jump", lambda t: t.replace("\n" + "." * 32 + "\n", "\n" + "." * 31 + "\n", 1))
        self.expect_failure("jump")

    def test_colour_outside_the_palette(self):
        self.edit("cry_1", lambda t: t.replace("." * 32, "." * 31 + "?", 1))
        self.expect_failure("'?' is not in the palette")

    def test_missing_picture(self):
        os.remove(os.path.join(self.art, "sweat_3.txt"))
        self.expect_failure("ART_SWEAT_3")

    def test_identifier_drawn_twice(self):
        self.edit("sweat_3", lambda t: t.replace("ART_SWEAT_3", "ART_SWEAT_2"))
        self.expect_failure("ART_SWEAT_2")

    def test_icon_images_of_wrong_sizes_or_shapes(self):
        for change, fragment in ((lambda t: t.replace("draw 48 256", "draw 48 300"), "draw 300"),
                                 (lambda t: t.replace("draw 48 256", "draw 16 256"), "draw 16"),
                                 (lambda t: t.replace("grid 16 16", "grid 16 15"), "app_icon"),
                                 (lambda t: t.replace("draw 48 256", ""), "'draw SIZE...'"),
                                 (lambda t: t.replace("line G 6.7", "line Q 6.7"), "'Q'"),
                                 (lambda t: t.replace("poly Y/B98530 k 0.8 : 10.5,4.5", "poly Y/B98530 k 0.8 : 40,4.5"),
                                  "outside the 32 x 32 grid"),
                                 (lambda t: t.replace("line e 0.6 : 16.3,5.5", "line e : 16.3,5.5"), "line e")):
            with self.subTest(fragment):
                shutil.copy(os.path.join(ASSETS, "art", "app_icon.txt"), os.path.join(self.art, "app_icon.txt"))
                self.edit("app_icon", change)
                self.expect_failure(fragment)

    def test_too_many_icon_colours(self):
        colours = "ksSrRmbBpPnyYdoO"   # with the mark's own greens, more than sixteen
        def paint(text):
            lines = text.split("\n")
            start = next(i for i, l in enumerate(lines) if l.startswith("grid")) + 1
            lines[start] = colours + lines[start][16:]
            return "\n".join(lines)
        self.edit("check_icon", paint)
        self.expect_failure("check_icon")


if __name__ == "__main__":
    unittest.main(verbosity=2)
