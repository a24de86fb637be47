"""tgw with fonts read from files: bitmap fonts at their own strikes, collections, the GFX
header compiled and drawn by the format's rules, the metrics table read back, and the errors
for bad font files."""
import gzip
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

from tgw_cli import tgw, matrices, read

HERE = os.path.dirname(os.path.abspath(__file__))
MISC = "/usr/share/fonts/X11/misc"
PCF = os.path.join(MISC, "9x15.pcf.gz")
TTC = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def fc_file(family):
    return subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True,
                          text=True).stdout


DEJAVU = fc_file("DejaVu Sans")


def read_bdf(path):
    """The glyphs of a BDF font, by code: (width, height, x offset, y offset, rows of bits)."""
    glyphs, ascent = {}, None
    with open(path, encoding="latin-1") as f:
        lines = iter(f.read().splitlines())
    for line in lines:
        if line.startswith("FONT_ASCENT"):
            ascent = int(line.split()[1])
        if not line.startswith("STARTCHAR"):
            continue
        code = bbx = None
        for line in lines:
            key, _, value = line.partition(" ")
            if key == "ENCODING":
                code = int(value.split()[0])
            elif key == "BBX":
                bbx = [int(v) for v in value.split()]
            elif key == "BITMAP":
                break
        w, h, xoff, yoff = bbx
        rows = []
        for _ in range(h):
            bits = int(next(lines), 16)
            nbits = ((w + 7) // 8) * 8
            rows.append([(bits >> (nbits - 1 - c)) & 1 for c in range(w)])
        glyphs[code] = (w, h, xoff, yoff, rows)
    return ascent, glyphs


def expected_cell(ascent, glyph, width, height):
    """A bitmap glyph placed in a cell as the program places every glyph: its top at the
    ascent line less its height above the baseline, the box centred across the cell."""
    cell = [["."] * width for _ in range(height)]
    if glyph is None:
        return ["".join(r) for r in cell]
    w, h, xoff, yoff, rows = glyph
    top = max(0, ascent - (h + yoff))
    left = (width - w) // 2 if w < width else 0
    for r in range(h):
        for c in range(w):
            if rows[r][c] and 0 <= top + r < height and left + c < width:
                cell[top + r][left + c] = "#"
    return ["".join(r) for r in cell]


@unittest.skipUnless(os.path.exists(PCF) and shutil.which("pcf2bdf"),
                     "xfonts-base and pcf2bdf are needed")
class BitmapFontTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        # A folder with a blank and non-ASCII characters in its name.
        folder = os.path.join(cls.tmp, "位图 fonts")
        os.mkdir(folder)
        cls.pcf = os.path.join(folder, "nine by 15.pcf.gz")
        shutil.copy(PCF, cls.pcf)
        raw = os.path.join(cls.tmp, "9x15.pcf")
        with gzip.open(PCF) as src, open(raw, "wb") as dst:
            dst.write(src.read())
        cls.bdf = os.path.join(folder, "九 15.bdf")
        subprocess.run(["pcf2bdf", "-o", cls.bdf, raw], check=True)
        cls.ascent, cls.glyphs = read_bdf(cls.bdf)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def check_own_bitmaps(self, path, width, height, size_args=()):
        text = "Ag|j@Wÿ中"  # 中 is not in the font: a blank matrix
        r = tgw("render", "--font-file", path, "--width", str(width), "--height", str(height),
                *size_args, text)
        self.assertEqual(r.returncode, 0, r.stderr)
        for ch, (_, size, rows) in zip(text, matrices(r.stdout)):
            self.assertEqual(size, f"{width}x{height}")
            self.assertEqual(rows, expected_cell(self.ascent, self.glyphs.get(ord(ch)), width,
                                                 height), f"{ch} from {path}")

    def test_bdf_and_pcf_show_their_own_bitmaps(self):
        for path in (self.bdf, self.pcf):
            self.check_own_bitmaps(path, 12, 16)
            # Never scaled: any asked size gives the one strike there is.
            self.check_own_bitmaps(path, 10, 18, ("--size", "30"))

    def test_string_entries_draw_from_the_file(self):
        r = tgw("render", "--font-file", self.bdf, "--height", "15", "--string", "HI")
        self.assertEqual(r.returncode, 0, r.stderr)
        (_, size, rows), = matrices(r.stdout)
        self.assertEqual(size.split("x")[1], "15")
        # 'I' of the font, its own bitmap, somewhere in the line.
        w, h, _, _, bits = self.glyphs[ord("I")]
        glyph = ["".join("#" if b else "." for b in row) for row in bits]
        self.assertTrue(any(all(row[x:x + w] == glyph[k] for k, row in enumerate(rows[y:y + h]))
                            for y in range(len(rows) - h + 1) for x in range(len(rows[0]) - w + 1)),
                        "\n".join(rows))

    def test_faces_of_a_bitmap_font(self):
        r = tgw("fonts", "--file", self.pcf)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, "0\tFixed\tRegular\tbitmap 15\n")


class FontFileTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def test_collection_faces_and_index(self):
        r = tgw("fonts", "--file", TTC)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.splitlines()
        self.assertEqual(len(lines), 2)
        self.assertTrue(lines[0].startswith("0\tWenQuanYi Micro Hei\t"), lines)
        self.assertTrue(lines[1].startswith("1\tWenQuanYi Micro Hei Mono\t"), lines)
        self.assertTrue(all(line.endswith("\toutline") for line in lines))
        # The mono face draws 'i' differently from the proportional one.
        a = tgw("render", "--font-file", TTC, "--face-index", "0", "--width", "16", "i").stdout
        b = tgw("render", "--font-file", TTC, "--face-index", "1", "--width", "16", "i").stdout
        self.assertNotEqual(a, b)

    def test_bad_font_files_name_the_file(self):
        not_font = os.path.join(self.tmp, "notes 笔记.ttf")
        with open(not_font, "w") as f:
            f.write("not a font\n")
        cases = [
            (["--font-file", os.path.join(self.tmp, "missing.ttf")], "does not exist"),
            (["--font-file", not_font], "is not a font file"),
            (["--font-file", self.tmp], "is not a regular file"),
            (["--font-file", TTC, "--face-index", "2"], "face index 2 is out of range"),
        ]
        for args, reason in cases:
            for command in (["render", "A"], ["export", "A"],
                            ["build", "--range", "65", "--format", "c", "-o", "-"]):
                r = tgw(command[0], *args, *command[1:])
                self.assertEqual(r.returncode, 1, (args, command))
                self.assertIn(f"'{args[1]}'", r.stderr)
                self.assertIn(reason, r.stderr)
        r = tgw("fonts", "--file", not_font)
        self.assertEqual(r.returncode, 1)
        self.assertIn("is not a font file", r.stderr)


class HostileNamesTest(unittest.TestCase):
    """A font whose family name holds a line break, a profile line and terminal escapes
    (fontfiles/make_hostile_pcf.py): its names are data, and no control character of them
    reaches tgw's output or a generated comment."""
    PCF = os.path.join(HERE, "fontfiles", "hostile_family.pcf")
    FAMILY = "Evil]0;ownedCODEBROWSER=touch marker"

    def assertNoControls(self, text):
        self.assertFalse([c for c in text.replace("\r\n", "").replace("\n", "")
                          if ord(c) < 0x20 or 0x7F <= ord(c) <= 0x9F], repr(text))

    def test_names_of_the_file_lose_their_control_characters(self):
        r = tgw("fonts", "--file", self.PCF)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, f"0\t{self.FAMILY}\tSans[2J\tbitmap 8\n")

        r = tgw("export", "--font-file", self.PCF, "--width", "8", "--height", "8", "A", text=False)
        self.assertEqual(r.returncode, 0, r.stderr)
        text = r.stdout.decode("gbk")
        self.assertNoControls(text)
        # The default head template names the face in a comment of its own line.
        self.assertTrue(text.startswith(f"/* {self.FAMILY} "), text)
        self.assertFalse([line for line in text.split("\r\n") if line.startswith("CODEBROWSER")])
        # The glyph is the file's own.
        r = tgw("render", "--font-file", self.PCF, "--width", "8", "--height", "8", "A")
        self.assertEqual(matrices(r.stdout)[0][2][:2], ["...##...", "..#..#.."])


@unittest.skipUnless(shutil.which("cc") and DEJAVU, "a C compiler and DejaVu Sans are needed")
class ProportionalOutputTest(unittest.TestCase):
    """The proportional writers checked against FreeType itself, through programs of our own
    that know nothing of tgw."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "freetype2"],
                               capture_output=True, text=True, check=True).stdout.split()
        cls.reference = os.path.join(cls.tmp, "ft_reference")
        subprocess.run(["cc", "-std=c99", "-Wall", "-Werror", "-I", os.path.join(HERE, "fontfiles"),
                        os.path.join(HERE, "fontfiles", "ft_reference.c"), "-o", cls.reference,
                        *flags], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def ft(self, *args):
        return subprocess.run([self.reference, DEJAVU, *args], capture_output=True, text=True,
                              check=True).stdout

    def test_gfx_header_draws_the_line_freetype_draws(self):
        header = os.path.join(self.tmp, "DejaVuSans12.h")
        r = tgw("build", "--font-file", DEJAVU, "--size", "12", "--range", "0x20-0x7E",
                "--format", "gfx", "-o", header)
        self.assertEqual(r.returncode, 0, r.stderr)
        program = os.path.join(self.tmp, "gfx_draw")
        # -Wall -Werror: the header must compile cleanly, as C and as a sketch's C++.
        for compiler, std in (("cc", "-std=c99"), ("c++", "-std=c++17")):
            if not shutil.which(compiler):
                continue
            subprocess.run([compiler, std, "-Wall", "-Werror", "-x",
                            "c" if compiler == "cc" else "c++",
                            "-I", os.path.join(HERE, "fontfiles"),
                            f'-DFONT_HEADER="{header}"', "-DFONT=DejaVuSans12",
                            os.path.join(HERE, "fontfiles", "gfx_draw.c"), "-o", program],
                           check=True)
        for text in ("Hello, World 123", "{gjpq} ~|@#$%&*()_+ Wo"):
            drawn = subprocess.run([program, text], capture_output=True, text=True,
                                   check=True).stdout
            self.assertIn("#", drawn)
            self.assertEqual(drawn, self.ft("12", "line", text), text)

    def test_metrics_binary_read_back(self):
        out = os.path.join(self.tmp, "metrics.bin")
        # The set given out of order: the table comes sorted by code.
        r = tgw("build", "--font-file", DEJAVU, "--size", "16", "--symbols", "zA!é ",
                "--range", "0x30-0x39", "--format", "metrics-bin", "-o", out)
        self.assertEqual(r.returncode, 0, r.stderr)
        data = read(out)
        count, line_advance, ascent = struct.unpack_from(">IHH", data, 0)
        self.assertEqual(count, 15)
        self.assertGreater(line_advance, 16)
        self.assertTrue(0 < ascent < line_advance)
        table_end = 8 + 16 * count
        got = {}
        codes = []
        for k in range(count):
            code, w, h, xo, yo, adv, offset = struct.unpack_from(">HHHhhHI", data, 8 + 16 * k)
            codes.append(code)
            stride = (w + 7) // 8  # dot order 0, byte order 0
            bits = data[table_end + offset: table_end + offset + stride * h]
            rows = ["".join("#" if bits[r * stride + c // 8] & (0x80 >> (c % 8)) else "."
                            for c in range(w)) for r in range(h)]
            got[code] = (adv, xo, yo, w, h, rows)
        self.assertEqual(codes, sorted(codes))
        self.assertEqual(len(data), table_end + sum(((g[3] + 7) // 8) * g[4]
                                                    for g in got.values()))
        # FreeType's own view of each of those glyphs.
        expected = {}
        lines = self.ft("16", "glyphs", "0x20", "0xE9").splitlines()
        i = 0
        while i < len(lines):
            code, adv, xo, yo, w, h = (int(v) for v in lines[i].split())
            expected[code] = (adv, xo, yo, w, h, lines[i + 1: i + 1 + h])
            i += 1 + h
        for code in codes:
            self.assertEqual(got[code], expected[code], hex(code))


if __name__ == "__main__":
    unittest.main()
