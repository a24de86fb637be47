"""What tgw says about glyphs it could not draw faithfully: characters a font file lacks stay
blank and are named (installed faces stand in only with --fallback), and ink that does not fit
its cell is counted, with --strict turning both into failures."""
import os
import shutil
import subprocess
import tempfile
import unittest

from tgw_cli import tgw, matrices, read


def fc_file(family):
    return subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True,
                          text=True).stdout


DEJAVU = fc_file("DejaVu Sans")
HAS_CJK = "wqy" in fc_file("WenQuanYi Micro Hei").lower()

# A 12-pixel bitmap font as the usual Chinese bitmap fonts are made: ascent 12 and descent 3,
# so that a 12-dot cell of its own size has no room below the baseline, where the 'H' (a full
# 12-row glyph) keeps its last row.
CLIP_BDF = """STARTFONT 2.1
FONT -tgw-clip-medium-r-normal--12-120-75-75-c-80-iso10646-1
SIZE 12 75 75
FONTBOUNDINGBOX 8 15 0 -3
STARTPROPERTIES 5
FONT_ASCENT 12
FONT_DESCENT 3
PIXEL_SIZE 12
CHARSET_REGISTRY "ISO10646"
CHARSET_ENCODING "1"
ENDPROPERTIES
CHARS 2
STARTCHAR H
ENCODING 72
SWIDTH 667 0
DWIDTH 8 0
BBX 8 12 0 -1
BITMAP
81
81
81
81
81
FF
81
81
81
81
81
FF
ENDCHAR
STARTCHAR I
ENCODING 73
SWIDTH 667 0
DWIDTH 8 0
BBX 2 10 3 0
BITMAP
C0
C0
C0
C0
C0
C0
C0
C0
C0
C0
ENDCHAR
ENDFONT
"""


@unittest.skipUnless(DEJAVU and HAS_CJK, "DejaVu Sans and WenQuanYi Micro Hei are needed")
class FontFileStandsAloneTest(unittest.TestCase):
    ARGS = ["--font-file", DEJAVU, "--width", "16", "--height", "16"]

    def test_a_lacking_character_is_blank_and_named(self):
        for cmd in ("render", "export"):
            r = tgw(cmd, *self.ARGS, "-v", "A温", text=False)
            err = r.stderr.decode()
            self.assertEqual(r.returncode, 0, err)
            self.assertIn("has no glyph for 1 character (blank in the output): U+6E29 (温)", err)
            self.assertIn(DEJAVU, err)
            # -v names no face the glyph did not come from.
            self.assertNotIn("drawn from", err)
        shown = matrices(tgw("render", *self.ARGS, "A温").stdout)
        self.assertTrue(any("#" in row for row in shown[0][2]))
        self.assertFalse(any("#" in row for row in shown[1][2]))
        r = tgw("export", *self.ARGS, "--strict", "A温", text=False)
        self.assertEqual(r.returncode, 1)
        self.assertIn(b"--strict", r.stderr)

    def test_a_string_leaves_the_lacking_character_blank(self):
        alone = matrices(tgw("render", *self.ARGS, "--string", "A").stdout)[0]
        r = tgw("render", *self.ARGS, "--string", "A温")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("U+6E29 (温)", r.stderr)
        rows = matrices(r.stdout)[0][2]
        width = len(alone[2][0])
        # 'A' as it is alone, and nothing where the character the file lacks goes: no
        # missing-glyph box and no glyph of another face.
        self.assertEqual([row[:width] for row in rows], alone[2])
        self.assertFalse(any("#" in row[width:] for row in rows))
        self.assertEqual(tgw("render", *self.ARGS, "--strict", "--string", "A温").returncode, 1)

    def test_fallback_is_a_choice(self):
        r = tgw("render", *self.ARGS, "--fallback", "-v", "温", "--string", "温")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertNotIn("no glyph", r.stderr)
        self.assertIn("drawn from the face 'WenQuanYi", r.stderr)
        for name, size, rows in matrices(r.stdout):
            self.assertTrue(any("#" in row for row in rows), name)
        # A project keeps the choice.
        with tempfile.TemporaryDirectory() as tmp:
            project = os.path.join(tmp, "p.tgx")
            r = tgw("project", *self.ARGS, "--fallback", "温", "-o", project)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn('filefallback="1"'.encode("utf-16-le"), read(project))
            r = tgw("project", *self.ARGS, "温", "-o", project)
            self.assertNotIn("filefallback".encode("utf-16-le"), read(project))
        r = tgw("render", "--face", "DejaVu Sans", "--fallback", "A")
        self.assertEqual(r.returncode, 1)
        self.assertIn("--fallback belongs to --font-file", r.stderr)
        self.assertIn("--fallback", tgw("export", "--help").stdout)
        self.assertIn("--fallback", tgw("build", "--help").stdout)

    def test_the_library_builder_names_what_the_file_lacks(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "lib.bin")
            args = ["build", *self.ARGS, "--set", "custom", "--text", "A温", "--format", "bin",
                    "-o", out]
            r = tgw(*args, "--strict")
            self.assertEqual(r.returncode, 1)
            self.assertIn("U+6E29 (温)", r.stderr)
            self.assertFalse(os.path.exists(out))
            r = tgw(*args)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertIn("U+6E29 (温)", r.stderr)
            self.assertEqual(read(out)[32:], bytes(32))  # the second glyph is blank
            r = tgw(*args, "--fallback", "--strict")
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertNotEqual(read(out)[32:], bytes(32))


class LostInkTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.bdf = os.path.join(cls.tmp, "clip12.bdf")
        with open(cls.bdf, "w") as f:
            f.write(CLIP_BDF)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def bitmap(self, *args):
        return tgw("render", "--font-file", self.bdf, "--width", "8", "--height", "12", *args)

    def test_a_bitmap_font_in_a_cell_of_its_size_loses_its_bottom_row(self):
        r = self.bitmap("HI")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr, "tgw: warning: 1 glyph loses dots at the bottom; "
                                   "--offset -1 or --size fit keeps them\n")
        self.assertEqual(matrices(r.stdout)[0][2][-1], "#......#")
        r = self.bitmap("--strict", "HI")
        self.assertEqual(r.returncode, 1)
        self.assertIn("stopped by --strict", r.stderr)
        r = self.bitmap("--offset", "-3", "H")
        self.assertIn("1 glyph loses dots at the top; --offset 2 or --size fit keeps them",
                      r.stderr)

    def test_size_fit_moves_a_bitmap_font_without_scaling_it(self):
        for args in (["--size", "fit"], ["--offset", "-1"]):
            r = self.bitmap("--strict", *args, "HI")
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stderr, "")
            h, i = matrices(r.stdout)
            self.assertEqual(h[2][0], "#......#")
            self.assertEqual(h[2][11], "########")
            # The whole set moves by one row: the 'I' keeps its place against the 'H'.
            self.assertEqual([row for row in i[2]].index("...##..."), 1)
        # Alone, the 'I' fits: nothing moves.
        alone = matrices(self.bitmap("--size", "fit", "I").stdout)[0][2]
        self.assertEqual(alone.index("...##..."), 2)

    def test_the_library_builder_counts_lost_ink(self):
        out = os.path.join(self.tmp, "lib.bin")
        args = ["build", "--font-file", self.bdf, "--width", "8", "--height", "12", "--set",
                "custom", "--text", "HI", "--format", "bin", "-o", out]
        r = tgw(*args, "--strict")
        self.assertEqual(r.returncode, 1)
        self.assertIn("1 glyph loses dots at the bottom", r.stderr)
        self.assertIn("nothing was written", r.stderr)
        self.assertFalse(os.path.exists(out))
        r = tgw(*args, "--size", "fit", "--strict")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertNotIn("lose", r.stderr)
        self.assertEqual(read(out)[:12], bytes([0x81] * 5 + [0xFF] + [0x81] * 5 + [0xFF]))

    @unittest.skipUnless(DEJAVU, "DejaVu Sans is needed")
    def test_a_descender_below_the_cell(self):
        args = ["render", "--font-file", DEJAVU, "--width", "12", "--height", "12"]
        r = tgw(*args, "gAy")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("2 glyphs lose dots at the bottom", r.stderr)
        self.assertEqual(tgw(*args, "--strict", "gAy").returncode, 1)
        r = tgw(*args, "--size", "fit", "--strict", "gAy")
        self.assertEqual(r.returncode, 0, r.stderr)
        # A string's line box cuts the same descenders.
        r = tgw(*args, "--string", "gy")
        self.assertIn("1 glyph loses dots at the bottom", r.stderr)


if __name__ == "__main__":
    unittest.main()
