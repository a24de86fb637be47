"""tgw preview and tgw render --png: the picture read back with PIL and compared, dot for dot,
with models written here: the GFX library's text renderer drawing tgw's own GFX header, cells
set from `tgw render`, and a panel's memory filled from `tgw export`."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from PIL import Image

from tgw_cli import matrices, read, tgw  # noqa: E402


def fc_file(family):
    return subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True,
                          text=True).stdout


DEJAVU = fc_file("DejaVu Sans")
EPAPER = {(0, 0, 0): 1, (255, 255, 255): 0}


def picture(path):
    with Image.open(path) as image:
        return image.convert("RGB")


def dots(path, zoom=1, colours=EPAPER):
    """The picture as rows of 0/1, one a dot (the top-left pixel of each zoomed square)."""
    image = picture(path)
    w, h = image.size
    return [[colours[image.getpixel((x * zoom, y * zoom))] for x in range(w // zoom)]
            for y in range(h // zoom)]


class GfxFont:
    """A GFX font header as the C compiler would see it: the bitmap bytes, the glyph table from
    first to last, the line advance."""
    def __init__(self, header):
        body = re.search(r"Bitmaps\[\] PROGMEM = \{(.*?)\};", header, re.S).group(1)
        self.bitmap = [int(b, 16) for b in re.findall(r"0x([0-9A-F]{2})", body)]
        table = re.search(r"Glyphs\[\] PROGMEM = \{(.*?)\n\};", header, re.S).group(1)
        self.glyphs = [tuple(int(v) for v in m) for m in
                       re.findall(r"\{\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(-?\d+),\s*(-?\d+)\}",
                                  table)]
        first, last, line = re.search(r"Glyphs, (0x[0-9A-F]+), (0x[0-9A-F]+), (\d+)\};",
                                      header).groups()
        self.first, self.last, self.y_advance = int(first, 16), int(last, 16), int(line)
        assert len(self.glyphs) == self.last - self.first + 1

    def draw(self, text, width, height, cursor, wrap=True):
        """The text as the library's write() and drawChar() put it on a width x height
        display: one byte a character, pixels beyond the edges dropped."""
        screen = [[0] * width for _ in range(height)]
        x, y = cursor
        for ch in text.encode("latin-1"):
            if ch == 0x0A:
                x = 0
                y += self.y_advance
                continue
            if ch == 0x0D or not self.first <= ch <= self.last:
                continue
            offset, w, h, advance, xo, yo = self.glyphs[ch - self.first]
            if w > 0 and h > 0:
                if wrap and x + xo + w > width:
                    x = 0
                    y += self.y_advance
                bit = 0
                for yy in range(h):
                    for xx in range(w):
                        if bit & 7 == 0:
                            bits = self.bitmap[offset]
                            offset += 1
                        bit += 1
                        px, py = x + xo + xx, y + yo + yy
                        if bits & 0x80 and 0 <= px < width and 0 <= py < height:
                            screen[py][px] = 1
                        bits = (bits << 1) & 0xFF
            x += advance
        return screen


def turned(rows, degrees):
    """Rows of dots turned clockwise."""
    for _ in range(degrees // 90):
        rows = [list(r) for r in zip(*rows[::-1])]
    return rows


class PreviewTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def path(self, name):
        return os.path.join(self.tmp, name)

    def preview(self, *args, name="p.png"):
        out = self.path(name)
        r = tgw("preview", *args, "-o", out)
        self.assertEqual(r.returncode, 0, r.stderr)
        return out

    @unittest.skipUnless(os.path.exists(DEJAVU), "DejaVu Sans is needed")
    def test_gfx_text_is_what_the_gfx_library_draws_from_the_header(self):
        cases = [
            # text, size, display, cursor, extra options
            ("Hello, World!\ngjpq {|} Ay", 12, (120, 40), (2, 10), []),
            # Wraps at the display's edge; a glyph may start above or left of the display.
            ("Typewriter wrapping jumps", 16, (64, 64), (-1, 3), []),
            ("Typewriter wrapping jumps", 16, (64, 64), (0, 14), ["--no-wrap"]),
            # Latin-1 codes; blanks keep their advance; '\r' is nothing.
            ("caf\u00e9 \u00b1\u00b5\r\n\u00c9t\u00e9", 11, (80, 40), (0, 12), []),
        ]
        for text, size, (w, h), cursor, extra in cases:
            with self.subTest(text=text, size=size):
                font = ["--font-file", DEJAVU, "--size", str(size)]
                png = self.preview(*font, "--format", "gfx", "--text", text,
                                       "--display", f"{w}x{h}",
                                       "--cursor", "%d,%d" % cursor, *extra)
                chars = "".join(dict.fromkeys(c for c in text if c not in "\r\n"))
                header = tgw("export", *font, "--format", "gfx", chars)
                self.assertEqual(header.returncode, 0, header.stderr)
                expected = GfxFont(header.stdout).draw(text, w, h, cursor,
                                                       wrap="--no-wrap" not in extra)
                self.assertEqual(dots(png), expected)
                self.assertGreater(sum(map(sum, expected)), 20)

    @unittest.skipUnless(os.path.exists(DEJAVU), "DejaVu Sans is needed")
    def test_gfx_entries_of_a_project_without_a_display(self):
        # The project's characters are the font and the text; the display takes their size.
        project = self.path("p.tgx")
        font = ["--font-file", DEJAVU, "--size", "14"]
        r = tgw("project", *font, "--keep-blanks", "Tg x", "-o", project)
        self.assertEqual(r.returncode, 0, r.stderr)
        png = self.preview("--project", project, "--format", "gfx", "--cursor", "0,12")
        gfx = GfxFont(tgw("export", "--project", project, "--format", "gfx").stdout)
        width, height = picture(png).size
        self.assertEqual(dots(png), gfx.draw("Tg x", width, height, (0, 12)))
        advances = sum(gfx.glyphs[ord(c) - gfx.first][3] for c in "Tg x")
        self.assertEqual(width, advances)

    def test_fixed_cells_in_rows_turned_as_mounted(self):
        font = ["--font-kind", "ascii8x16", "--width", "8", "--height", "16"]
        cells = {chr(int(name[2:], 16)): rows
                 for name, _, rows in matrices(tgw("render", *font, "ABC").stdout)}
        blank = ["." * 8] * 16

        def seen(lines, width, height):
            screen = [[0] * width for _ in range(height)]
            for row, line in enumerate(lines):
                for col, ch in enumerate(line):
                    for y, r in enumerate(cells.get(ch, blank)):
                        for x, d in enumerate(r):
                            if d == "#" and col * 8 + x < width and row * 16 + y < height:
                                screen[row * 16 + y][col * 8 + x] = 1
            return screen

        # Rows as the text breaks them, then the display's width wraps them.
        png = self.preview(*font, "--text", "AB\nCA")
        self.assertEqual(dots(png), seen(["AB", "CA"], 16, 32))
        png = self.preview(*font, "--text", "ABCA", "--display", "24x48")
        self.assertEqual(dots(png), seen(["ABC", "A"], 24, 48))
        # A display mounted turned: laid out on the seen sides, drawn as its memory holds it.
        for degrees in (90, 180, 270):
            with self.subTest(rotate=degrees):
                png = self.preview(*font, "--text", "ABC", "--display", "48x24",
                                       "--rotate", str(degrees))
                w, h = (24, 48) if degrees != 180 else (48, 24)
                self.assertEqual(dots(png), turned(seen(["ABC"], w, h), 360 - degrees))

    def test_panel_preview_equals_the_panel_memory_export_writes(self):
        # A seen 64x128 picture on a 128x64 OLED panel mounted a quarter turn clockwise.
        source = self.path("seen.png")
        image = Image.new("RGB", (64, 128), "white")
        for y in range(128):
            for x in range(64):
                if (x * 7 + y * 3) % 11 < 3 or x == y // 2:
                    image.putpixel((x, y), (0, 0, 0))
        image.save(source)
        for degrees in (90, 270):
            with self.subTest(rotate=degrees):
                args = ["--preset", "oled12864", "--rotate", str(degrees), "--picture", source]
                png = self.preview(*args, "--colors", "epaper")
                memory = tgw("export", *args, "--format", "bin", text=False).stdout
                self.assertEqual(len(memory), 1024)
                # SSD1306 pages: byte x of page p is column x, bit 0 the page's top row.
                panel = [[memory[(y // 8) * 128 + x] >> (y % 8) & 1 for x in range(128)]
                         for y in range(64)]
                self.assertEqual(dots(png), panel)

    def test_colours_zoom_and_grid(self):
        font = ["--font-kind", "ascii5x7", "--width", "5", "--height", "7"]
        png = self.preview(*font, "--text", "I", "--zoom", "4", "--grid",
                               "--colors", "#102030,#F0E0D0")
        image = picture(png)
        self.assertEqual(image.size, (20, 28))
        [(_, _, rows)] = matrices(tgw("render", *font, "I").stdout)
        lit, dark = (0x10, 0x20, 0x30), (0xF0, 0xE0, 0xD0)
        # The grid: the last pixel of each dot, a quarter of the way from dark to lit.
        grid = tuple((3 * d + l + 2) // 4 for l, d in zip(lit, dark))
        for y, row in enumerate(rows):
            for x, d in enumerate(row):
                self.assertEqual(image.getpixel((4 * x + 1, 4 * y + 2)),
                                 lit if d == "#" else dark)
                self.assertEqual(image.getpixel((4 * x + 3, 4 * y)), grid)
                self.assertEqual(image.getpixel((4 * x, 4 * y + 3)), grid)
        # A preset's display sets the colours: an OLED glows on black.
        oled = picture(self.preview("--preset", "ssd1306", *font, "--text", "I"))
        self.assertEqual(oled.getpixel((0, 0)), (0, 0, 0))
        self.assertIn((0x4F, 0xC3, 0xF7), [c for _, c in oled.getcolors()])

    def test_grey_levels_blend_lit_into_dark(self):
        # At 2 bits a dot the levels 0..3 ('.', '-', 'o', '#' in tgw render) are a third of the
        # way further each from the dark colour to the lit one, rounded to nearest.
        font = ["--face", "DejaVu Sans", "--width", "12", "--height", "12", "--depth", "2",
                "--size", "fit"]
        listing = tgw("render", *font, "g@").stdout
        blocks = [b.split("\n")[1:] for b in listing.strip("\n").split("\n\n")]
        rows = [a + b for a, b in zip(*blocks)]
        lit, dark = (0x20, 0xC0, 0xFF), (0x10, 0x10, 0x40)
        image = picture(self.preview(*font, "--text", "g@", "--colors", "#20C0FF,#101040"))
        shade = {ch: tuple((l * k + d * (3 - k) + 1) // 3 for l, d in zip(lit, dark))
                 for k, ch in enumerate(".-o#")}
        self.assertEqual(image.size, (24, 12))
        self.assertEqual([[image.getpixel((x, y)) for x in range(24)] for y in range(12)],
                         [[shade[ch] for ch in row] for row in rows])
        self.assertTrue({"-", "o"} & set("".join(rows)))

    def test_render_png_is_the_entries_magnified(self):
        font = ["--font-kind", "ascii6x12", "--width", "6", "--height", "12"]
        out = self.path("r.png")
        r = tgw("render", *font, "--png", out, "AZ")
        self.assertEqual((r.returncode, r.stdout), (0, ""), r.stderr)
        listed = matrices(tgw("render", *font, "AZ").stdout)
        expected = [[int(a == "#") for a in ra + rz]
                    for ra, rz in zip(listed[0][2], listed[1][2])]
        self.assertEqual(picture(out).size, (12 * 8, 12 * 8))
        self.assertEqual(dots(out, zoom=8), expected)
        self.assertEqual(read(out), read(self.preview(*font, "AZ", "--zoom", "8")))

    def test_mistakes(self):
        for args, code, message in [
            (["--colors", "oled-blu", "--text", "A"], 2, "did you mean 'oled-blue'"),
            (["--display", "0x10", "--text", "A"], 2, "is not WxH"),
            (["--grid", "--text", "A"], 2, "--grid needs --zoom 2"),
            (["--cursor", "1,2", "--text", "A"], 2, "--cursor belongs to a proportional"),
            (["--format", "gfx", "--text", "\u20ac"], 1, "above 0xFF"),
            (["--text", "A", "--zoom", "64", "--display", "2048x2048"], 1, "pixels"),
        ]:
            with self.subTest(args=args):
                r = tgw("preview", *args, "-o", self.path("m.png"))
                self.assertEqual(r.returncode, code, r.stderr)
                self.assertIn(message, r.stderr)
                self.assertFalse(os.path.exists(self.path("m.png")))


if __name__ == "__main__":
    unittest.main()
