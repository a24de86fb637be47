"""End-to-end checks of display presets, `tgw explain` and picture conversion options."""
import os
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
        self.assertEqual(len(listed), 8)
        self.assertIn("invert", r.stdout)

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


if __name__ == "__main__":
    unittest.main()
