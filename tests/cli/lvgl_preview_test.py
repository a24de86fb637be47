"""tgw preview --format lvgl judged by a model of an LVGL label written here from LVGL's
sources: the font is read back from what `tgw export --format lvgl-bin` writes, by the reader
of lvgl_font_test (written from LVGL's description of its binary font), then each glyph is
placed by lv_draw_label's rules and blended into a 24-bit frame buffer as LVGL's software
renderer blends a glyph's opacity."""
import os
import shutil
import subprocess
import tempfile
import unittest

from PIL import Image

from tgw_cli import tgw
from lvgl_font_test import DEJAVU, LVGL_DIR, WQY, parse_drawing

# The opacity of a glyph's level at each depth (lv_font_fmt_txt.c's bpp tables; 1 bit gives
# 0x00 or 0xFF, 8 bits are used as they are).
OPACITY = {
    1: [0, 255],
    2: [0, 85, 170, 255],
    4: [0, 17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204, 221, 238, 255],
    8: list(range(256)),
}
LIT, DARK = (0x1F, 0x2A, 0x12), (0x9B, 0xBC, 0x3F)  # lcd-green
COLOURS = "#1f2a12,#9bbc3f"


def mix(src, dst, opa):
    """lv_color_24_24_mix(): a mask value blended into an RGB888 pixel."""
    if opa == 0:
        return dst
    if opa >= 253:  # LV_OPA_MAX
        return src
    return tuple((s * opa + d * (255 - opa)) >> 8 for s, d in zip(src, dst))


class LvglLabel:
    """A label's text drawn with a font as lvgl_draw prints it."""
    def __init__(self, drawing, kerning=True):
        (self.line, self.base, self.bpp), self.glyphs, kerns = parse_drawing(drawing)
        self.kerns = kerns if kerning else {}

    def advance(self, ch, nxt):
        """lv_font_get_glyph_dsc_fmt_txt(): adv_w (1/16 px) plus the pair's kerning, rounded."""
        adv = self.glyphs[ord(ch)][0] + self.kerns.get((ord(ch), ord(nxt)), 0)
        return (max(0, adv) + 8) >> 4

    def draw(self, lines, width, height):
        screen = [[DARK] * width for _ in range(height)]
        self.overlaps = 0  # dots blended over ink drawn before
        for n, line in enumerate(lines):
            x, top = 0, n * self.line
            for i, ch in enumerate(line):
                _, ox, oy, w, h, rows = self.glyphs[ord(ch)]
                y1 = top + (self.line - self.base) - h - oy
                for r, row in enumerate(rows):
                    for c in range(w):
                        level = int(row[2 * c:2 * c + 2] if self.bpp == 8 else row[c], 16)
                        px, py = x + ox + c, y1 + r
                        if 0 <= px < width and 0 <= py < height and level:
                            self.overlaps += screen[py][px] != DARK
                            screen[py][px] = mix(LIT, screen[py][px], OPACITY[self.bpp][level])
                if i + 1 < len(line):
                    x += self.advance(ch, line[i + 1])
        return screen


def pixels(path, zoom=1):
    with Image.open(path) as image:
        rgb = image.convert("RGB")
        w, h = rgb.size
        return [[rgb.getpixel((x * zoom, y * zoom)) for x in range(w // zoom)]
                for y in range(h // zoom)]


def turned(rows, degrees):
    for _ in range(degrees // 90):
        rows = [list(r) for r in zip(*rows[::-1])]
    return rows


@unittest.skipUnless(shutil.which("cc") and os.path.exists(DEJAVU) and os.path.exists(WQY),
                     "a C compiler, DejaVu Sans and WenQuanYi Micro Hei are needed")
class LvglPreviewTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.reader = os.path.join(cls.tmp, "lvgl_draw")
        subprocess.run(["cc", "-std=c99", "-Wall", "-Werror", "-I", LVGL_DIR,
                        "-DLVGL_VERSION_MAJOR=9", os.path.join(LVGL_DIR, "lvgl_draw.c"),
                        "-o", cls.reader], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def label(self, font, text, depth, *args):
        """The LVGL font tgw writes of the text's characters, read back."""
        binary = os.path.join(self.tmp, "f.bin")
        chars = "".join(dict.fromkeys(c for c in text if c != "\n"))
        r = tgw("export", *font, "--depth", str(depth), "--keep-blanks", "--format", "lvgl-bin",
                "-o", binary, *args, chars)
        self.assertEqual(r.returncode, 0, r.stderr)
        drawn = subprocess.run([self.reader, "bin", binary, text.replace("\n", "")],
                               capture_output=True, text=True, check=True).stdout
        return LvglLabel(drawn, kerning="--no-kerning" not in args)

    def preview(self, font, text, depth, size, *args, fmt="lvgl"):
        out = os.path.join(self.tmp, "p.png")
        r = tgw("preview", *font, "--depth", str(depth), "--format", fmt, "--text", text,
                "--display", "%dx%d" % size, "--colors", COLOURS, "-o", out, *args)
        self.assertEqual(r.returncode, 0, r.stderr)
        return out

    def test_latin_with_kerning_and_cjk_at_each_depth(self):
        latin = ["--font-file", DEJAVU, "--size", "16"]
        cjk = ["--font-file", WQY, "--size", "16"]
        # Bold "ff" at 24 dots: the second f is blended over the first's ink.
        bold = ["--font-file", DEJAVU, "--size", "24", "--bold"]
        for font, text, size, fmt in [(latin, "AVATAR To Wo", (120, 22), "lvgl"),
                                      (cjk, "汉字测试 龍 Ag\n一丁七万丈", (140, 40), "lvgl-bin"),
                                      (bold, "Toffee", (90, 30), "lvgl")]:
            for depth in (1, 2, 4, 8):
                with self.subTest(text=text, depth=depth):
                    label = self.label(font, text, depth)
                    expected = label.draw(text.split("\n"), *size)
                    self.assertEqual(pixels(self.preview(font, text, depth, size, fmt=fmt)),
                                     expected)
                    self.assertGreater(sum(p != DARK for row in expected for p in row), 50)
                    if font is latin:
                        # Kerned pairs: A-V, T-o, W-o.
                        self.assertGreaterEqual(len(label.kerns), 3)
                    if font is bold and depth > 1:
                        self.assertGreater(label.overlaps, 0)

    def test_without_kerning_wrapped_and_turned(self):
        font = ["--font-file", DEJAVU, "--size", "16"]
        text = "AVATAR To Wo"
        kerned = self.label(font, text, 4)
        plain = self.label(font, text, 4, "--no-kerning")
        self.assertEqual(pixels(self.preview(font, text, 4, (130, 22), "--no-kerning")),
                         plain.draw([text], 130, 22))
        self.assertNotEqual(plain.draw([text], 130, 22), kerned.draw([text], 130, 22))
        # A display a dot wider than "AVATAR To " (LVGL fits a word with the break character
        # after it): "Wo" starts the next line.
        first = "AVATAR To "
        width = sum(kerned.advance(a, b) for a, b in zip(first, first[1:] + "W")) + 1
        expected = kerned.draw([first, "Wo"], width, 40)
        png = self.preview(font, text, 4, (40, width), "--rotate", "90", "--zoom", "2")
        self.assertEqual(turned(pixels(png, 2), 90), expected)

    def test_no_kerning_belongs_to_lvgl(self):
        r = tgw("preview", "--text", "AV", "--format", "gfx", "--no-kerning", "-o",
                os.path.join(self.tmp, "m.png"))
        self.assertEqual(r.returncode, 2)
        self.assertIn("--no-kerning belongs to --format lvgl", r.stderr)


if __name__ == "__main__":
    unittest.main()
