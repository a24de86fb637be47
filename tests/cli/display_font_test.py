"""The font formats of other programs, judged by readers that know nothing of tgw: the BDF font
read back by FreeType and by bdftopcf, the u8g2 array compiled with a decoder of our own written
from the format's description, each compared with what FreeType draws from the face itself."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from tgw_cli import tgw, read

HERE = os.path.dirname(os.path.abspath(__file__))
FONTFILES = os.path.join(HERE, "fontfiles")
DEJAVU = subprocess.run(["fc-match", "-f", "%{file}", "DejaVu Sans"], capture_output=True,
                        text=True).stdout
WQY = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

LATIN_LINES = ("Hello, World 123", "{gjpq} ~|@#$%&*()_+ Wo")
# Two characters from each end of the set and some between: the u8g2 jump table has blocks.
CJK_LINE = "一丁七万丈 侀侁 汉字测试 Ag"
CJK_RANGE = "0x20-0x7E,0x4E00-0x4FFF,0x6C49,0x5B57,0x6D4B,0x8BD5"


@unittest.skipUnless(shutil.which("cc") and os.path.exists(DEJAVU),
                     "a C compiler and DejaVu Sans are needed")
class DisplayFontTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "freetype2"],
                               capture_output=True, text=True, check=True).stdout.split()
        cls.reference = os.path.join(cls.tmp, "ft_reference")
        subprocess.run(["cc", "-std=c99", "-Wall", "-Werror", "-I", FONTFILES,
                        os.path.join(FONTFILES, "ft_reference.c"), "-o", cls.reference, *flags],
                       check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def path(self, name):
        return os.path.join(self.tmp, name)

    def ft(self, font, size, text):
        return subprocess.run([self.reference, font, str(size), "line", text],
                              capture_output=True, text=True, check=True).stdout

    def build(self, font, size, ranges, fmt, out, *args):
        r = tgw("build", "--font-file", font, "--size", str(size), "-q", "--range", ranges,
                "--format", fmt, "-o", out, *args)
        self.assertEqual(r.returncode, 0, r.stderr)

    # BDF

    def check_bdf(self, font, size, ranges, lines):
        out = self.path("font.bdf")
        self.build(font, size, ranges, "bdf", out)
        text = read(out).decode("ascii")
        self.assertTrue(text.startswith("STARTFONT 2.1\n"))
        self.assertTrue(text.endswith("ENDFONT\n"))
        for key in ("FONT -", "SIZE %d 72 72" % size, "FONTBOUNDINGBOX ", "FONT_ASCENT ",
                    "FONT_DESCENT ", "PIXEL_SIZE %d" % size, "FAMILY_NAME \""):
            self.assertRegex(text, "(?m)^" + re.escape(key), key)
        chars = int(re.search(r"(?m)^CHARS (\d+)$", text).group(1))
        self.assertEqual(chars, text.count("\nSTARTCHAR "))
        self.assertEqual(chars, text.count("\nENDCHAR\n"))
        properties = int(re.search(r"(?m)^STARTPROPERTIES (\d+)$", text).group(1))
        block = text.split("STARTPROPERTIES")[1].split("ENDPROPERTIES")[0]
        self.assertEqual(properties, len(block.strip().splitlines()) - 1)
        for line in lines:
            self.assertEqual(self.ft(out, size, line), self.ft(font, size, line), line)
        if shutil.which("bdftopcf"):
            r = subprocess.run(["bdftopcf", "-o", self.path("font.pcf"), out],
                               capture_output=True, text=True)
            self.assertEqual((r.returncode, r.stderr), (0, ""))
            self.assertGreater(os.path.getsize(self.path("font.pcf")), 0)
        return text

    def test_bdf_of_a_latin_face_draws_as_freetype_draws_the_face(self):
        text = self.check_bdf(DEJAVU, 12, "0x20-0x7E", LATIN_LINES)
        self.assertIn("FONT -misc-DejaVu Sans-medium-r-normal--12-120-72-72-p-", text)
        self.assertIn('DEFAULT_CHAR 63\n', text)
        # The blank keeps its advance, without a box.
        space = text.split("STARTCHAR uni0020\n")[1].split("ENDCHAR")[0]
        self.assertRegex(space, r"DWIDTH [1-9]\d* 0\nBBX 0 0 0 0\nBITMAP\n$")

    @unittest.skipUnless(os.path.exists(WQY), "WenQuanYi Micro Hei is needed")
    def test_bdf_of_a_cjk_face_draws_as_freetype_draws_the_face(self):
        self.check_bdf(WQY, 16, "0x20-0x7E,0x4E00-0x4E3F", ("一丁七万丈三上 Ag",))

    def test_bdf_from_export_keeps_style_and_edits(self):
        r = tgw("export", "--font-file", DEJAVU, "--size", "14", "--bold", "--format", "bdf",
                "A é")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertRegex(r.stdout, r"(?m)^FONT -misc-DejaVu Sans-bold-r-normal--14-140-")
        self.assertIn('WEIGHT_NAME "Bold"', r.stdout)
        self.assertEqual(re.findall(r"(?m)^ENCODING (\d+)$", r.stdout), ["32", "65", "233"])
        r = tgw("export", "--font-file", DEJAVU, "--format", "bdf", "--name", "x", "A")
        self.assertEqual(r.returncode, 2)
        self.assertIn("--name belongs to", r.stderr)

    # u8g2

    def compile_u8g2(self, source, symbol):
        program = self.path("u8g2_draw")
        for compiler, std in (("cc", "-std=c99"), ("c++", "-std=c++17")):
            if not shutil.which(compiler):
                continue
            subprocess.run([compiler, std, "-Wall", "-Werror", "-x",
                            "c" if compiler == "cc" else "c++", "-I", FONTFILES,
                            f'-DFONT_SOURCE="{source}"', f"-DFONT={symbol}",
                            os.path.join(FONTFILES, "u8g2_draw.c"), "-o", program], check=True)
        return program

    def draw(self, program, text):
        r = subprocess.run([program, text], capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r.stdout

    def test_u8g2_of_a_latin_face_draws_as_freetype_draws_the_face(self):
        source = self.path("latin.c")
        self.build(DEJAVU, 12, "0x20-0x7E,0xB0,0xB5,0xE9,0x20AC", "u8g2", source)
        program = self.compile_u8g2(source, "DejaVuSans12")
        for line in LATIN_LINES + ("é 25°C 3µs 9€",):
            drawn = self.draw(program, line)
            self.assertIn("#", drawn)
            self.assertEqual(drawn, self.ft(DEJAVU, 12, line), line)
        # Large glyphs: runs far longer than a pair holds, split and repeated.
        self.build(DEJAVU, 40, "0x20,0x40,0x57,0x2588,0x2592", "u8g2", source, "--name", "big")
        program = self.compile_u8g2(source, "big")
        for line in ("W@ W", "\u2588\u2592 @"):
            self.assertEqual(self.draw(program, line), self.ft(DEJAVU, 40, line), line)

    @unittest.skipUnless(os.path.exists(WQY), "WenQuanYi Micro Hei is needed")
    def test_u8g2_of_a_cjk_face_draws_as_freetype_draws_the_face(self):
        source = self.path("cjk.c")
        self.build(WQY, 16, CJK_RANGE, "u8g2", source, "--name", "cjk16")
        self.assertIn("const uint8_t cjk16[", read(source).decode())
        program = self.compile_u8g2(source, "cjk16")
        for line in (CJK_LINE, "乿亀亁亂 {gjpq}"):
            self.assertEqual(self.draw(program, line), self.ft(WQY, 16, line), line)
        # A character the font lacks draws nothing and moves nothing, on either side of the
        # jump table's blocks.
        self.assertNotIn("#", self.draw(program, "㐀龥"))

    def test_u8g2_name_in_export_and_build_and_its_limits(self):
        e = tgw("export", "--font-file", DEJAVU, "--size", "12", "--format", "u8g2", "A")
        b = tgw("build", "--font-file", DEJAVU, "--size", "12", "-q", "--range", "0x41",
                "--format", "u8g2", "-o", "-")
        self.assertEqual(e.returncode, 0, e.stderr)
        self.assertEqual(e.stdout, b.stdout)
        self.assertRegex(e.stdout, r"const uint8_t DejaVuSans12\[\d+\] U8G2_FONT_SECTION")
        out = self.path("big.c")
        r = tgw("build", "--font-file", DEJAVU, "--size", "200", "-q", "--range", "0x41",
                "--format", "u8g2", "-o", out)
        self.assertEqual(r.returncode, 1)
        self.assertRegex(r.stderr, r"U\+0041 is \d+x\d+ dots; the format holds 255 wide and "
                                   r"127 high")
        self.assertFalse(os.path.exists(out))

    def test_help_lists_the_formats_of_the_table(self):
        for command in ("export", "build"):
            r = tgw(command, "--help")
            self.assertRegex(r.stdout,
                             r"\{c,asm,bin,gfx,metrics-c,metrics-bin,bdf,u8g2,lvgl,lvgl-bin\}",
                             command)
        self.assertIn("  u8g2 ", tgw("build", "--help").stdout)


if __name__ == "__main__":
    unittest.main()
