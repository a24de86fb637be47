"""End-to-end checks of display presets, `tgw explain` and picture conversion options."""
import os
import random
import re
import tempfile
import unittest

from PIL import Image

from tgw_cli import matrices, read, tgw  # noqa: E402

GB16 = ["--font-kind", "gb2312-16", "--width", "16", "--height", "16"]


def grid(explained):
    """The byte.bit cells of `tgw explain` output, row by row."""
    rows = [line.split()[1:] for line in explained.splitlines() if re.match(r"y\d+ ", line)]
    return [[tuple(map(int, cell.split("."))) for cell in row] for row in rows]


class Presets(unittest.TestCase):
    def test_listed_with_their_orders(self):
        r = tgw("presets")
        self.assertEqual(r.returncode, 0, r.stderr)
        listed = {m.group(1): (int(m.group(2)), int(m.group(3)))
                  for m in re.finditer(r"^(\w+) +(\d) +(\d) ", r.stdout, re.M)}
        self.assertEqual(listed["ssd1306"], (3, 0))
        self.assertEqual(listed["ssd1680"], (0, 0))
        # The panels too, with what each preset does to the dots.
        self.assertEqual(listed["epd213"], (0, 0))
        self.assertEqual(len(listed), 16)
        self.assertIn("invert", r.stdout)
        self.assertEqual(r.stdout.count("does: "), 16)
        self.assertIn("does: mirrors each row left-right", r.stdout)

    def test_ssd1306_glyph_lights_the_right_pixels(self):
        # The drawing's story in text: byte 0 is the first column of the top eight rows.
        r = tgw("explain", "--preset", "ssd1306", "--width", "16", "--height", "16")
        self.assertEqual(r.returncode, 0, r.stderr)
        cells = grid(r.stdout)
        self.assertEqual([cells[y][0] for y in range(8)], [(0, b) for b in range(8)])
        self.assertEqual(cells[8][0], (16, 0))
        same = tgw("explain", "--dot-order", "3", "--byte-order", "0", "--width", "16",
                   "--height", "16")
        self.assertEqual(grid(same.stdout), cells)

        # An exported glyph, written into SSD1306 pages, shows the rendered dots.
        data = tgw("export", *GB16, "--preset", "ssd1306", "--format", "bin", "啊",
                   text=False).stdout
        [(_, size, rows)] = matrices(tgw("render", *GB16, "啊").stdout)
        self.assertEqual(size, "16x16")
        pages = [data[p * 16:(p + 1) * 16] for p in range(2)]
        shown = ["".join("#" if pages[y // 8][x] >> (y % 8) & 1 else "." for x in range(16))
                 for y in range(16)]
        self.assertEqual(shown, rows)
        self.assertIn("#", "".join(rows))

    def test_mistakes_are_usage_errors(self):
        r = tgw("export", "--preset", "ssd1306", "--dot-order", "1", "A")
        self.assertEqual(r.returncode, 2)
        r = tgw("export", "--preset", "nosuch", "A")
        self.assertEqual(r.returncode, 2)
        self.assertIn("tgw presets", r.stderr)


class PictureOptions(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.photo = os.path.join(self.tmp.name, "photo.pgm")
        w, h = 120, 90
        pixels = bytes((x * 2 + (y * 3) % 50) % 256 for y in range(h) for x in range(w))
        with open(self.photo, "wb") as f:
            f.write(b"P5\n%d %d\n255\n" % (w, h) + pixels)

    def tearDown(self):
        self.tmp.cleanup()

    def render(self, *args):
        r = tgw("render", *args)
        self.assertEqual(r.returncode, 0, r.stderr)
        return matrices(r.stdout)

    def test_floyd_steinberg_as_the_imaging_library_does_it(self):
        [(_, size, rows)] = self.render("--dither", "fs", "--picture", self.photo)
        self.assertEqual(size, "120x90")
        image = Image.open(self.photo).convert("1")
        expected = ["".join("#" if image.getpixel((x, y)) else "." for x in range(120))
                    for y in range(90)]
        self.assertEqual(rows, expected)

    def test_options_after_the_last_picture_reach_back(self):
        wanted = self.render("--dither", "fs", "--scale", "fit", "--width", "128",
                             "--height", "64", "--picture", self.photo)
        self.assertEqual(wanted[0][1], "85x64")
        after = self.render("--picture", self.photo, "--dither", "fs", "--scale", "fit",
                            "--width", "128", "--height", "64")
        self.assertEqual(after, wanted)
        # Before a picture they hold for it and those after; the trailing one only for those
        # that had none.
        mixed = self.render("--keep-duplicates", "--picture", self.photo, "--invert",
                            "--picture", self.photo, "--scale", "fill", "--width", "10",
                            "--height", "10")
        self.assertEqual([m[1] for m in mixed], ["10x10", "10x10"])
        self.assertNotEqual(mixed[0][2], mixed[1][2])

    def test_project_keeps_the_choice(self):
        tgx = os.path.join(self.tmp.name, "p.tgx")
        args = ["--dither", "atkinson", "--invert", "--scale", "fit", "--width", "128",
                "--height", "64", "--picture", self.photo]
        r = tgw("project", *args, "-o", tgx)
        self.assertEqual(r.returncode, 0, r.stderr)
        text = read(tgx).decode("utf-16")
        self.assertIn('dither="atkinson" invert="1" scale="fit" scalewidth="128" '
                      'scaleheight="64"', text)
        self.assertEqual(self.render("--project", tgx), self.render(*args))
        # A plain picture's entry has none of the new attributes.
        r = tgw("project", "--picture", self.photo, "-o", tgx)
        self.assertNotIn("dither", read(tgx).decode("utf-16"))


def cgram(data, n):
    """HD44780 CGRAM: eight bytes a character, one a row top down, D4 the leftmost of the five
    dots and D7..D5 unused."""
    return [["".join("#" if data[c * 8 + y] >> (4 - x) & 1 else "." for x in range(5))
             for y in range(8)] for c in range(n)]


def bw_ram(data, width, height):
    """SSD1680/SSD1683 black/white RAM written with X and Y counting up: each gate row is
    ceil(width / 8) bytes, bit 7 the first source of the byte; a set bit drives white, so the
    ink (the lit dot) is a clear bit."""
    stride = (width + 7) // 8
    assert len(data) == stride * height
    return [[not data[y * stride + x // 8] >> (7 - x % 8) & 1 for x in range(width)]
            for y in range(height)]


def ssd1306_pages(data, width, height):
    """SSD1306 GDDRAM in horizontal addressing: pages of eight rows, byte x of page p is column
    x, D0 the top row of the page."""
    assert len(data) == width * (height // 8)
    return [[bool(data[(y // 8) * width + x] >> (y % 8) & 1) for x in range(width)]
            for y in range(height)]


def seen(native, rotation):
    """What the viewer sees of a native frame (rows of booleans) on a panel mounted `rotation`
    degrees clockwise."""
    for _ in range(rotation // 90):
        native = [list(row) for row in zip(*native[::-1])]  # a quarter turn clockwise
    return native


class PresetsDoTheirWork(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def test_hd44780_custom_characters_land_in_cgram(self):
        # Asymmetric characters: a mirrored row would show.
        text = "FLRbdpq7"
        args = ["--font-kind", "ascii5x8", "--width", "5", "--height", "8"]
        r = tgw("export", *args, "--preset", "hd44780", "--format", "bin", text, text=False)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr, b"")
        shown = [m[2] for m in matrices(tgw("render", *args, text).stdout)]
        self.assertEqual(cgram(r.stdout, 8), shown)
        self.assertTrue(all(b < 0x20 for b in r.stdout))
        # The C text carries the same bytes.
        c = tgw("export", *args, "--preset", "hd44780", "F", text=False).stdout.decode("latin-1")
        self.assertIn(", ".join("0x%02X" % b for b in r.stdout[:8]).replace(" ", ""),
                      c.replace(" ", ""))

    def test_ssd1680_text_sends_lit_dots_as_zero(self):
        data = tgw("export", *GB16, "--preset", "ssd1680", "--format", "bin", "啊",
                   text=False).stdout
        [(_, _, rows)] = matrices(tgw("render", *GB16, "啊").stdout)
        shown = ["".join("#" if lit else "." for lit in row) for row in bw_ram(data, 16, 16)]
        self.assertEqual(shown, rows)
        plain = tgw("export", *GB16, "--format", "bin", "啊", text=False).stdout
        self.assertEqual(bytes(b ^ 0xFF for b in plain), data)

    def picture(self, width, height, seed):
        rng = random.Random(seed)
        pixels = bytes(rng.choice((0, 255)) for _ in range(width * height))
        path = os.path.join(self.tmp.name, "p%dx%d.png" % (width, height))
        Image.frombytes("L", (width, height), pixels).save(path)
        # Bright pixels are lit dots (brightness over the threshold).
        return path, [[pixels[y * width + x] == 255 for x in range(width)] for y in range(height)]

    def test_panel_frames_equal_the_panel_memory(self):
        panels = {"epd213": (122, 250, bw_ram), "epd290": (128, 296, bw_ram),
                  "epd420": (400, 300, bw_ram), "oled12864": (128, 64, ssd1306_pages),
                  "oled12832": (128, 32, ssd1306_pages)}
        for name, (width, height, memory) in panels.items():
            for rotation in (0, 90, 180, 270):
                with self.subTest(panel=name, rotation=rotation):
                    turned = rotation in (90, 270)
                    w, h = (height, width) if turned else (width, height)
                    path, lit = self.picture(w, h, rotation)
                    r = tgw("export", "--preset", name, "--rotate", str(rotation), "--format",
                            "bin", "--picture", path, text=False)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    self.assertEqual(r.stderr, b"")
                    shown = seen(memory(r.stdout, width, height), rotation)
                    # Counted, not compared as lists: a diff of 100000 dots takes minutes.
                    self.assertEqual((len(shown), len(shown[0])), (h, w))
                    wrong = sum(a != b for row, want in zip(shown, lit) for a, b in zip(row, want))
                    self.assertEqual(wrong, 0)

    def test_needs_warn_and_fail_under_strict(self):
        args = ["--font-kind", "ascii5x8", "--width", "8", "--height", "8", "--format", "bin"]
        r = tgw("export", *args, "--preset", "hd44780", "A", "B")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr.count("\n"), 1)
        self.assertRegex(r.stderr, r"warning: preset hd44780: .*8x8.*5x8")
        r = tgw("export", *args, "--preset", "hd44780", "--strict", "A")
        self.assertEqual(r.returncode, 1)
        self.assertIn("hd44780", r.stderr)
        self.assertEqual(r.stdout, "")
        # The same cell turned a quarter: a landscape picture on a portrait panel.
        path, _ = self.picture(122, 250, 0)
        r = tgw("export", "--preset", "epd213", "--rotate", "90", "--strict", "--picture", path)
        self.assertEqual(r.returncode, 1)
        self.assertIn("250x122", r.stderr)
        r = tgw("export", "--rotate", "90", "--picture", path)
        self.assertEqual(r.returncode, 1)
        self.assertIn("--preset", r.stderr)
        # build checks the cell before rendering.
        out = os.path.join(self.tmp.name, "lib.bin")
        build = ["build", "--set", "custom", "--text", "AB", "--font-kind", "ascii5x8",
                 "--width", "6", "--height", "12", "--preset", "ssd1306", "--format", "bin",
                 "-q", "-o", out]
        r = tgw(*build)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stderr, r"warning: preset ssd1306: height 12 is not a multiple of 8")
        r = tgw(*build, "--strict", "--force")
        self.assertEqual(r.returncode, 1)
        self.assertIn("ssd1306", r.stderr)


if __name__ == "__main__":
    unittest.main()
