"""LVGL fonts judged by a reader written from LVGL's descriptions of its formats (the fmt_txt
structures against stub declarations, and the binary font), compiled with the system C
compiler: what it draws is compared with tgw's own cropped glyphs (the metrics table of the same
set and depth), and its kerning with the face's kern table as FreeType reads it."""
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

from tgw_cli import tgw, read

HERE = os.path.dirname(os.path.abspath(__file__))
FONTFILES = os.path.join(HERE, "fontfiles")
LVGL_DIR = os.path.join(FONTFILES, "lvgl")
DEJAVU = subprocess.run(["fc-match", "-f", "%{file}", "DejaVu Sans"], capture_output=True,
                        text=True).stdout
WQY = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

LATIN_RANGE = "0x20-0x7E,0xB0,0xB5,0xE9,0x20AC"
LATIN_TEXT = "AVATAR To Wo Ty LT P. r, Yo AA {gjpq} ~|@#$%&*()_+ é 25°C 3µs 9€ 123"
# Scattered codes and runs: sparse maps and runs of their own.
CJK_RANGE = "0x20-0x7E,0x4E00-0x4E3F,0x6C49,0x5B57,0x6D4B,0x8BD5,0x9F8D"
CJK_TEXT = "一丁七万丈 汉字测试 龍 Ag"


def metrics_glyphs(data):
    """code -> (advance in 1/16 px, x, y of the lower left dot, w, h, rows of hex levels) from a
    metrics-bin file of dot order 0 (rows end on a byte, leftmost dot highest)."""
    head, line, ascent = struct.unpack(">IHH", data[:8])
    depth, count = (head >> 24) + 1, head & 0xFFFFFF
    table_end = 8 + 16 * count
    glyphs = {}
    for k in range(count):
        code, w, h, x, y, adv, off = struct.unpack(">HHHhhHI", data[8 + 16 * k:24 + 16 * k])
        stride = (w * depth + 7) // 8
        rows = []
        for r in range(h):
            row = data[table_end + off + r * stride:table_end + off + (r + 1) * stride]
            bits = int.from_bytes(row, "big") if row else 0
            total = stride * 8
            levels = [(bits >> (total - (c + 1) * depth)) & ((1 << depth) - 1) for c in range(w)]
            rows.append("".join(("%02X" if depth == 8 else "%X") % v for v in levels))
        glyphs[code] = (adv * 16, x if w else 0, -(y + h) if w else 0, w, h, rows)
    return line, ascent, depth, glyphs


def parse_drawing(text):
    """What lvgl_draw prints, as (line, base, bpp), {code: glyph}, {(left, right): kern}."""
    lines = text.splitlines()
    first = lines[0].split()
    glyphs, kerns = {}, {}
    i = 1
    while i < len(lines):
        f = lines[i].split()
        i += 1
        if f[0] == "kern":
            kerns[(int(f[1][2:], 16), int(f[2][2:], 16))] = int(f[3])
        elif f[1] == "none":
            glyphs[int(f[0][2:], 16)] = None
        else:
            w, h = int(f[8]), int(f[10])
            glyphs[int(f[0][2:], 16)] = (int(f[2]), int(f[4]), int(f[6]), w, h, lines[i:i + h])
            i += h
    return (int(first[1]), int(first[3]), int(first[5])), glyphs, kerns


@unittest.skipUnless(shutil.which("cc") and os.path.exists(DEJAVU),
                     "a C compiler and DejaVu Sans are needed")
class LvglFontTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "freetype2"],
                               capture_output=True, text=True, check=True).stdout.split()
        cls.ft_kern = os.path.join(cls.tmp, "ft_kern")
        subprocess.run(["cc", "-std=c99", "-Wall", "-Werror",
                        os.path.join(FONTFILES, "ft_kern.c"), "-o", cls.ft_kern, *flags],
                       check=True)
        cls.bin_reader = cls.compile(None, None, 9)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    @classmethod
    def compile(cls, source, symbol, version, *defines):
        program = os.path.join(cls.tmp, "lvgl_draw_%s" % (symbol or "bin"))
        args = ["cc", "-std=c99", "-Wall", "-Wextra", "-Werror", "-I", LVGL_DIR,
                "-DLVGL_VERSION_MAJOR=%d" % version, *defines]
        if source:
            args += ["-DFONT=" + symbol, '-DFONT_SOURCE="%s"' % source]
        r = subprocess.run(args + [os.path.join(LVGL_DIR, "lvgl_draw.c"), "-o", program],
                           capture_output=True, text=True)
        if r.returncode:
            raise AssertionError(r.stderr)
        return program

    def path(self, name):
        return os.path.join(self.tmp, name)

    def build(self, font, size, ranges, fmt, out, *args):
        r = tgw("build", "--font-file", font, "--size", str(size), "-q", "--range", ranges,
                "--format", fmt, "-o", out, *args)
        self.assertEqual(r.returncode, 0, r.stderr)

    def run_reader(self, *args):
        r = subprocess.run(list(args), capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r.stdout

    def check_font(self, font, size, ranges, text, depth, *args, version=9):
        """Builds the set as lvgl, lvgl-bin and metrics-bin; both LVGL forms must draw every
        character of `text` as the metrics table holds it. Returns the kerning drawn."""
        common = ("--depth", str(depth))
        source, binary, metrics = self.path("f.c"), self.path("f.bin"), self.path("f.mbin")
        self.build(font, size, ranges, "lvgl", source, "--name", "font_under_test",
                   "--lvgl", str(version), *common, *args)
        self.build(font, size, ranges, "lvgl-bin", binary, *common, *args)
        self.build(font, size, ranges, "metrics-bin", metrics, *common)
        program = self.compile(source, "font_under_test", version)
        from_c = self.run_reader(program, "c", text)
        from_bin = self.run_reader(self.bin_reader, "bin", binary, text)
        self.assertEqual(from_c, from_bin)
        (line, base, bpp), glyphs, kerns = parse_drawing(from_c)
        m_line, m_ascent, m_depth, expected = metrics_glyphs(read(metrics))
        self.assertEqual((line, base, bpp), (m_line, m_line - m_ascent, m_depth))
        for ch in set(text):
            self.assertEqual(glyphs[ord(ch)], expected[ord(ch)], "%r at %d bits" % (ch, bpp))
        self.assertTrue(any(g and g[3] for g in glyphs.values()))
        return kerns

    def test_latin_face_at_each_depth_plain_and_compressed(self):
        for depth in (1, 2, 4, 8):
            self.check_font(DEJAVU, 16, LATIN_RANGE, LATIN_TEXT, depth)
        for depth in (2, 4):
            self.check_font(DEJAVU, 16, LATIN_RANGE, LATIN_TEXT, depth, "--compress")
            self.check_font(DEJAVU, 16, LATIN_RANGE, LATIN_TEXT, depth, "--compress",
                            "--no-prefilter")
        # Long runs of one level: the run-length code's counter, repeated.
        big = "\u2588\u2592W@ W"
        for extra in ((), ("--no-prefilter",)):
            self.check_font(DEJAVU, 48, "0x20,0x40,0x57,0x2588,0x2592", big, 4, "--compress",
                            *extra)

    @unittest.skipUnless(os.path.exists(WQY), "WenQuanYi Micro Hei is needed")
    def test_cjk_face_at_each_depth_plain_and_compressed(self):
        for depth in (1, 2, 4, 8):
            self.check_font(WQY, 16, CJK_RANGE, CJK_TEXT, depth)
        self.check_font(WQY, 20, CJK_RANGE, CJK_TEXT, 4, "--compress")
        self.check_font(WQY, 20, CJK_RANGE, CJK_TEXT, 2, "--compress", "--no-prefilter")
        # Characters the font lacks are found by no map.
        out = self.run_reader(self.bin_reader, "bin", self.path("f.bin"), "㐀丿")
        self.assertEqual(parse_drawing(out)[1][0x3400], None)

    def test_kerning_is_the_faces_and_can_be_left_out(self):
        kerns = self.check_font(DEJAVU, 16, LATIN_RANGE, LATIN_TEXT, 4)
        kerns_av = kerns[(0x41, 0x56)]
        reference = subprocess.run([self.ft_kern, DEJAVU, "16", LATIN_TEXT],
                                   capture_output=True, text=True, check=True).stdout
        _, _, expected = parse_drawing("line 0 base 0 bpp 1\n" + reference)
        self.assertGreater(len(expected), 8)
        for pair in set(kerns) | set(expected):
            self.assertLessEqual(abs(kerns.get(pair, 0) - expected.get(pair, 0)), 1, pair)
        # Larger than a signed byte of 1/16 px holds: the kerning scale grows.
        kerns = self.check_font(DEJAVU, 120, "0x41,0x54,0x56,0x6F", "AVATo", 1)
        reference = subprocess.run([self.ft_kern, DEJAVU, "120", "AVATo"],
                                   capture_output=True, text=True, check=True).stdout
        _, _, expected = parse_drawing("line 0 base 0 bpp 1\n" + reference)
        self.assertLess(min(expected.values()), -127)
        for pair, value in expected.items():
            self.assertLessEqual(abs(kerns[pair] - value), abs(value) // 100 + 8, pair)
        self.assertEqual(self.check_font(DEJAVU, 16, LATIN_RANGE, LATIN_TEXT, 4,
                                         "--no-kerning"), {})
        # A remapped character keeps the kerning of the one drawn at its code.
        binary = self.path("remapped.bin")
        self.build(DEJAVU, 16, "0x41,0x56", "lvgl-bin", binary, "--remap", "0x56=0x7F")
        _, glyphs, remapped = parse_drawing(self.run_reader(self.bin_reader, "bin", binary,
                                                            "A\x7fAV"))
        self.assertEqual(glyphs[0x56], None)
        self.assertEqual(remapped[(0x41, 0x7F)], kerns_av)

    def test_lvgl_8_and_9_and_the_version_guard(self):
        self.check_font(DEJAVU, 14, "0x20-0x7E", "Hello, World", 4, version=8)
        source = self.path("v9.c")
        self.build(DEJAVU, 14, "0x41", "lvgl", source)
        text = read(source).decode()
        self.assertIn("const lv_font_t lv_font_dejavu_sans_14 = {", text)
        self.assertNotIn(".cache", text)
        with self.assertRaises(AssertionError) as raised:
            self.compile(source, "lv_font_dejavu_sans_14", 8)
        self.assertIn("written for LVGL 9: write it again with --lvgl 8", str(raised.exception))
        # A compressed font says what LVGL's default configuration lacks.
        self.build(DEJAVU, 14, "0x41", "lvgl", source, "--depth", "4", "--compress")
        with self.assertRaises(AssertionError) as raised:
            self.compile(source, "lv_font_dejavu_sans_14_4bpp", 9, "-DLV_USE_FONT_COMPRESSED=0")
        self.assertIn("LV_USE_FONT_COMPRESSED", str(raised.exception))

    def test_names_choices_and_their_limits(self):
        e = tgw("export", "--font-file", DEJAVU, "--size", "12", "--depth", "2", "--format",
                "lvgl", "A", "V")
        b = tgw("build", "--font-file", DEJAVU, "--size", "12", "--depth", "2", "-q",
                "--range", "0x41,0x56", "--format", "lvgl", "-o", "-")
        self.assertEqual(e.returncode, 0, e.stderr)
        self.assertEqual(e.stdout, b.stdout)
        self.assertIn("const lv_font_t lv_font_dejavu_sans_12_2bpp = {", e.stdout)
        named = tgw("export", "--font-file", DEJAVU, "--format", "lvgl", "--name", "my_font", "A")
        self.assertIn("const lv_font_t my_font = {", named.stdout)
        for args, message in (
                (("--format", "lvgl", "--compress"), "compresses 2 or 4 bits a dot only, not 1 bit"),
                (("--format", "lvgl-bin", "--compress", "--depth", "8"), "not 8"),
        ):
            r = tgw("export", "--font-file", DEJAVU, *args, "A")
            self.assertEqual(r.returncode, 1, r.stderr)
            self.assertIn(message, r.stderr)
        for args, message in ((("--format", "bdf", "--compress"), "--compress belongs to"),
                              (("--format", "u8g2", "--no-kerning"), "--no-kerning belongs to"),
                              (("--format", "lvgl-bin", "--lvgl", "8"), "--lvgl belongs to"),
                              (("--format", "lvgl", "--no-prefilter"), "belongs to --compress")):
            for command in ("export", "build"):
                extra = ("A",) if command == "export" else ("-q", "--range", "0x41", "-o", "-")
                r = tgw(command, "--font-file", DEJAVU, *args, *extra)
                self.assertEqual(r.returncode, 2, (command, args, r.stderr))
                self.assertIn(message, r.stderr)

    def test_help_lists_the_formats_and_choices(self):
        for command in ("export", "build"):
            out = tgw(command, "--help").stdout
            self.assertIn("metrics-bin,bdf,u8g2,lvgl,lvgl-bin}", out)
            for option in ("--no-kerning", "--compress", "--no-prefilter", "--lvgl"):
                self.assertIn(option, out)
            self.assertIn("LV_USE_FONT_COMPRESSED", out)
        self.assertIn("  lvgl-bin ", tgw("build", "--help").stdout)


if __name__ == "__main__":
    unittest.main()
