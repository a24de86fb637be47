"""Grey levels through tgw: render's ramp, the packed bytes of export and build, the writers that
refuse grey, the field layout of explain and a grey project's round trip."""
import os
import struct
import tempfile
import unittest

from tgw_cli import tgw  # noqa: E402

RAMP = ".',:;-~=+*ox%&@#"
FACE = ["--face", "DejaVu Sans", "--width", "12", "--height", "12"]


def levels(output, depth):
    """The first matrix of render's output as rows of levels (the ramp read back)."""
    lines = output.strip("\n").split("\n")
    top = (1 << depth) - 1
    # Each ramp character stands for the levels L with L * 15 // top == index.
    index = {ch: i for i, ch in enumerate(RAMP)}
    return lines[0], [[index[ch] for ch in row] for row in lines[1:]]


def pack_rows(rows, depth):
    """Dot order 0, byte order 0: each row's levels in depth-bit fields, the left dot highest."""
    out = bytearray()
    per = 8 // depth
    for row in rows:
        for i in range(0, len(row), per):
            b = 0
            for k, v in enumerate(row[i:i + per]):
                b |= v << (8 - depth * (k + 1))
            out.append(b)
    return bytes(out)


class Grey(unittest.TestCase):
    def test_render_draws_the_ramp_and_one_bit_stays(self):
        one = tgw("render", *FACE, "g")
        self.assertEqual(one.returncode, 0, one.stderr)
        self.assertTrue(set(one.stdout) <= set("#.\nU+0067 12x"))
        r = tgw("render", *FACE, "--depth", "4", "g")
        self.assertEqual(r.returncode, 0, r.stderr)
        head, rows = levels(r.stdout, 4)
        self.assertEqual(head, "U+0067 12x12 4 bits a dot")
        seen = {v for row in rows for v in row}
        self.assertIn(15, seen)
        self.assertTrue(seen - {0, 15}, "anti-aliased edges hold levels between")
        # --bpp is the same option; a bitmap font is lit at the highest level only.
        self.assertEqual(tgw("render", *FACE, "--bpp", "4", "g").stdout, r.stdout)
        b = tgw("render", "--font-kind", "ascii8x16", "--width", "8", "--height", "16",
                "--depth", "2", "R")
        self.assertTrue(set("".join(b.stdout.split("\n")[1:])) <= {".", "#"}, b.stdout)
        self.assertEqual(tgw("render", *FACE, "--depth", "3", "g").returncode, 2)
        # A text run keeps its anti-aliased coverage too.
        t = tgw("render", *FACE, "--depth", "2", "--string", "Hg")
        self.assertEqual(t.returncode, 0, t.stderr)
        self.assertTrue({"-", "o"} & set(t.stdout), t.stdout)

    def test_export_packs_the_levels_the_render_shows(self):
        # At 4 bits each ramp character is one level: the C bytes are the rows packed.
        r = tgw("render", *FACE, "--depth", "4", "g")
        _, rows = levels(r.stdout, 4)
        data = tgw("export", *FACE, "--depth", "4", "--format", "bin", "g", text=False).stdout
        self.assertEqual(data, pack_rows(rows, 4))
        c = tgw("export", *FACE, "--depth", "4", "g", text=False).stdout.decode("cp936")
        self.assertIn("4 bits a dot", c)
        self.assertIn("0x%02X," % data[0], c)
        # Byte for byte the one-bit export of before: no depth note anywhere.
        self.assertNotIn("bits a dot", tgw("export", *FACE, "g", text=False).stdout.decode("cp936"))

    def test_writers_without_grey_refuse_it(self):
        for fmt in ("gfx", "bdf", "u8g2"):
            r = tgw("export", *FACE, "--depth", "4", "--format", fmt, "g")
            self.assertEqual(r.returncode, 1, fmt)
            self.assertIn("holds 1 bit a dot, not 4 bits a dot", r.stderr)
        with tempfile.TemporaryDirectory() as d:
            out = os.path.join(d, "g.h")
            r = tgw("build", *FACE, "--depth", "2", "--format", "gfx", "--range", "0x41-0x43",
                    "-o", out)
            self.assertNotEqual(r.returncode, 0)
            self.assertFalse(os.path.exists(out))

    def test_build_index_follows_the_longer_data(self):
        with tempfile.TemporaryDirectory() as d:
            out = os.path.join(d, "lib.bin")
            r = tgw("build", "--font-kind", "ascii8x16", "--width", "8", "--height", "16",
                    "--depth", "4", "--format", "bin", "--index", "--range", "0x41-0x42",
                    "-o", out)
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(out, "rb") as f:
                lib = f.read()
            # Each 8 × 16 glyph takes 4 bytes a row at 4 bits: 64 bytes, the second at 64.
            self.assertEqual(len(lib) % 64, (len(lib) - 128) % 64)
            self.assertIn(b"\x00\x00\x00\x40", lib[:32])
            metrics = tgw("export", *FACE, "--depth", "2", "--format", "metrics-bin", "AB",
                          text=False).stdout
            self.assertEqual(metrics[0], 1)  # bits a dot less one
            self.assertEqual(struct.unpack(">I", b"\x00" + metrics[1:4])[0], 2)

    def test_explain_draws_fields_and_presets_carry_their_depth(self):
        r = tgw("explain", "--depth", "4", "--width", "3", "--height", "1")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("0.7-4 0.3-0 1.7-4", r.stdout)
        p = tgw("explain", "--preset", "ssd1327", "--width", "2", "--height", "1")
        self.assertIn("0.3-0 0.7-4", p.stdout)
        # A preset of 4 bits sets the depth; a cell of one bit then breaks its needs.
        e = tgw("export", *FACE, "--preset", "ssd1322", "--format", "bin", "g", text=False)
        self.assertEqual(e.returncode, 0, e.stderr)
        self.assertEqual(len(e.stdout), 12 * 6)
        w = tgw("export", *FACE, "--size", "fit", "--preset", "ssd1322", "--depth", "1",
                "--strict", "g")
        self.assertNotEqual(w.returncode, 0)
        self.assertIn("1 bit a dot, not the 4 of the memory", w.stderr)

    def test_project_round_trip_keeps_levels(self):
        with tempfile.TemporaryDirectory() as d:
            proj = os.path.join(d, "g.tgx")
            r = tgw("project", *FACE, "--depth", "8", "-o", proj, "g&")
            self.assertEqual(r.returncode, 0, r.stderr)
            direct = tgw("export", *FACE, "--depth", "8", "--format", "bin", "g&", text=False)
            again = tgw("export", "--project", proj, "--format", "bin", text=False)
            self.assertEqual(again.returncode, 0, again.stderr)
            self.assertEqual(again.stdout, direct.stdout)


if __name__ == "__main__":
    unittest.main()
