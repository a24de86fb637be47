"""The proportional formats through tgw: blanks kept, codes a GFX font cannot reach refused or
remapped, the font's symbol, the GFX y offset of the library's own converter, and limits that
fail before the glyphs are drawn."""
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

from tgw_cli import tgw, read

DEJAVU = subprocess.run(["fc-match", "-f", "%{file}", "DejaVu Sans"], capture_output=True,
                        text=True).stdout
WQY = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

GLYPH = re.compile(r"\{\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(-?\d+),\s*(-?\d+)\}, /\* 0x([0-9A-F]+)")


def gfx_glyphs(header):
    """The glyph table of a GFX header: {code: (offset, width, height, advance, x, y)}, and the
    font struct's first, last and line advance."""
    glyphs = {int(m.group(7), 16): tuple(int(v) for v in m.groups()[:6])
              for m in GLYPH.finditer(header)}
    first, last, line = re.search(r"Glyphs, (0x[0-9A-F]+), (0x[0-9A-F]+), (\d+)\};",
                                  header).groups()
    return glyphs, int(first, 16), int(last, 16), int(line)


def symbol(header):
    return re.search(r"^const GFXfont (\w+) PROGMEM", header, re.M).group(1)


@unittest.skipUnless(os.path.exists(DEJAVU), "DejaVu Sans is needed")
class FontFormatTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def path(self, name):
        return os.path.join(self.tmp, name)

    def export(self, *args):
        return tgw("export", "--font-file", DEJAVU, "--size", "12", *args)

    def build(self, *args):
        return tgw("build", "--font-file", DEJAVU, "--size", "12", "-q", *args)

    def test_blanks_keep_their_advance_in_proportional_formats_only(self):
        r = self.export("--format", "gfx", "A B")
        self.assertEqual(r.returncode, 0, r.stderr)
        glyphs, first, last, _ = gfx_glyphs(r.stdout)
        self.assertEqual((first, last), (0x20, 0x42))
        _, w, h, advance, _, _ = glyphs[0x20]
        self.assertEqual((w, h), (0, 0))
        self.assertGreater(advance, 0)
        r = self.export("--format", "metrics-bin", "-o", self.path("m.bin"), "A B")
        self.assertEqual(r.returncode, 0, r.stderr)
        data = read(self.path("m.bin"))
        self.assertEqual(struct.unpack_from(">I", data)[0], 3)
        self.assertEqual(struct.unpack_from(">H", data, 8)[0], 0x20)
        # The fixed-cell formats still drop the blank unless --keep-blanks.
        r = self.export("--width", "8", "--height", "12", "--format", "bin", "--index",
                        "-o", self.path("b.bin"), "A B")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(struct.unpack_from(">I", read(self.path("b.bin")))[0], 2)

    def test_gfx_refuses_codes_above_0xff_unless_remapped(self):
        header = self.path("f.h")
        for r in (self.build("--range", "0x20-0x7E", "--symbols", "€", "--format", "gfx",
                             "-o", header),
                  self.export("--format", "gfx", "-o", header, "A€")):
            self.assertEqual(r.returncode, 1, r.stderr)
            self.assertIn("U+20AC", r.stderr)
            self.assertIn("--remap 0x20AC=0x7F", r.stderr)
            self.assertFalse(os.path.exists(header))
        # GB2312 is refused at once, not after drawing 7 000 glyphs.
        r = tgw("build", "--font-file", WQY, "--size", "64", "-q", "--set", "gb2312",
                "--format", "gfx", "-o", header)
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn("above 0xFF", r.stderr)

        r = self.build("--range", "0x20-0x7E", "--symbols", "€", "--remap", "0x20AC=0x7F",
                       "--format", "gfx", "-o", header)
        self.assertEqual(r.returncode, 0, r.stderr)
        glyphs, first, last, _ = gfx_glyphs(read(header).decode())
        self.assertEqual((first, last), (0x20, 0x7F))
        r = self.build("--symbols", "€", "--format", "metrics-bin", "-o", self.path("e.bin"))
        self.assertEqual(r.returncode, 0, r.stderr)
        _, w, h, xo, _, adv, _ = struct.unpack_from(">HHHhhHI", read(self.path("e.bin")), 8)
        self.assertEqual(glyphs[0x7F][1:5], (w, h, adv, xo))

    def test_remap_in_fixed_cell_formats_and_its_mistakes(self):
        # 'A' drawn at the code of 'a': the index names 0x61, the dots are A's.
        args = ("--width", "8", "--height", "12", "--format", "bin", "--index", "-o")
        r = self.export(*args, self.path("a.bin"), "A")
        self.assertEqual(r.returncode, 0, r.stderr)
        r = self.export(*args, self.path("remapped.bin"), "--remap", "65=0x61", "A")
        self.assertEqual(r.returncode, 0, r.stderr)
        plain, remapped = read(self.path("a.bin")), read(self.path("remapped.bin"))
        self.assertEqual(struct.unpack_from(">H", remapped, 4)[0], 0x61)
        self.assertEqual(remapped[14:], plain[14:])
        r = self.build("--range", "0x41", "--remap", "0x41=0x61", *args, self.path("b.bin"))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(read(self.path("b.bin")), remapped)

        r = self.build("--range", "0x41-0x42", "--remap", "0x41=0x42", "--format", "c",
                       "-o", self.path("c.c"))
        self.assertEqual(r.returncode, 1)
        self.assertIn("U+0042 is in the set", r.stderr)
        r = self.build("--range", "0x41", "--remap", "0x43=0x44", "--format", "c",
                       "-o", self.path("c.c"))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("--remap names 1 character the set does not hold: U+0043", r.stderr)
        for bad in ("0x20AC", "0x20AC=", "x=1", "0x41=0x42,0x41=0x43", "0=65"):
            r = self.build("--range", "0x41", "--remap", bad, "--format", "c", "-o", "-")
            self.assertEqual(r.returncode, 2, bad)

    def test_gfx_table_size_is_told_when_it_holds_holes(self):
        r = self.build("--range", "0x20-0x7E", "--symbols", "°µ", "--format", "gfx",
                       "-o", self.path("f.h"))
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("the GFX glyph table runs from 0x20 to 0xB5: 150 entries of 7 bytes "
                      "(1050 bytes), 53 of them empty", r.stderr)
        r = self.build("--range", "0x20-0x7E", "--format", "gfx", "-o", self.path("g.h"))
        self.assertNotIn("glyph table", r.stderr)

    def test_one_symbol_name_in_export_and_build(self):
        made = []
        for style in ((), ("--bold",)):
            e = self.export(*style, "--format", "gfx", "A")
            b = self.build(*style, "--range", "0x41", "--format", "gfx", "-o", "-")
            self.assertEqual(e.returncode, 0, e.stderr)
            self.assertEqual(b.returncode, 0, b.stderr)
            self.assertEqual(symbol(e.stdout), symbol(b.stdout))
            made.append(symbol(e.stdout))
        self.assertEqual(made, ["DejaVuSans12", "DejaVuSans12Bold"])
        e = self.export("--format", "gfx", "--name", "myFont", "A")
        b = self.build("--range", "0x41", "--format", "gfx", "--name", "myFont", "-o", "-")
        self.assertEqual((symbol(e.stdout), symbol(b.stdout)), ("myFont", "myFont"))
        self.assertIn("myFontBitmaps[]", e.stdout)
        m = self.build("--range", "0x41", "--format", "metrics-c", "--name", "small", "-o", "-")
        self.assertIn("const GlyphMetrics smallMetrics[]", m.stdout)
        for args in (("export", "--format", "bin", "--name", "x", "A"),
                     ("build", "--range", "65", "--format", "bin", "--name", "x", "-o", "-"),
                     ("export", "--format", "gfx", "--name", "2x", "A")):
            self.assertEqual(tgw(*args).returncode, 2, args)

    def test_help_lists_what_each_format_holds(self):
        # What the help says a format takes, it takes: a grey depth and --name where listed.
        for command in ("export", "build"):
            text = tgw(command, "--help").stdout
            table = text[text.index("What each format holds"):]
            for line in table.splitlines()[1:]:
                if not line.strip():
                    break
                name = line.split()[0]
                grey = "1, 2, 4 or 8 bits" in line
                out = self.path("out")
                r = self.build("--range", "0x41", "--format", name, "--depth", "4", "-o", out,
                               "--force")
                self.assertEqual(r.returncode == 0, grey, (command, line, r.stderr))
                named = "--name" in line
                r = self.build("--range", "0x41", "--format", name, "--name", "n", "-o", out,
                               "--force")
                self.assertEqual(r.returncode == 0, named, (command, line, r.stderr))

    def test_cells_do_not_cut_what_a_proportional_format_writes(self):
        # At 20 px in the default cell g and j lose their descenders; a proportional format
        # draws them again at their natural size, so nothing is lost and --strict passes.
        big = ("--size", "20", "--strict", "Tgj")
        self.assertEqual(tgw("export", "--font-file", DEJAVU, *big).returncode, 1)
        for fmt in ("gfx", "lvgl"):
            r = tgw("export", "--font-file", DEJAVU, "--format", fmt, *big)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertNotIn("lose dots", r.stderr)
        r = tgw("preview", "--font-file", DEJAVU, "--format", "gfx", "--size", "20", "--strict",
                "--text", "Tgj", "-o", self.path("p.png"))
        self.assertEqual(r.returncode, 0, r.stderr)

    def test_gfx_y_offset_counts_from_the_cursor_row(self):
        # The library's converter: yOffset = 1 - top, the cursor on the lowest row of glyphs
        # that stand on the baseline ('x', 'H'); descenders reach below it.
        r = self.build("--range", "0x20-0x7E", "--format", "gfx", "-o", "-")
        glyphs, _, _, _ = gfx_glyphs(r.stdout)
        for c in "xHo.":
            _, _, h, _, _, y = glyphs[ord(c)]
            self.assertEqual(y + h, 1, c)
        _, _, h, _, _, y = glyphs[ord("g")]
        self.assertGreater(y + h, 1)
        self.assertEqual(glyphs[0x20][5], 1)  # a blank, as the converter writes it (1 - 0)

    def test_limits_known_up_front_fail_naming_them(self):
        r = tgw("build", "--font-file", DEJAVU, "--size", "400", "-q", "--range", "0x20-0x7E",
                "--format", "gfx", "-o", self.path("big.h"))
        self.assertEqual(r.returncode, 1)
        self.assertRegex(r.stderr, r"the line advance \d+ is over the format's 255")
        self.assertFalse(os.path.exists(self.path("big.h")))


if __name__ == "__main__":
    unittest.main()
