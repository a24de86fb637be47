"""End-to-end checks of picture and string entries through `tgw render`."""
import os
import struct
import subprocess
import sys
import tempfile
import unittest

from tgw_cli import TGW, matrices, tgw  # noqa: E402


class Pictures(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        # A 4 x 2 grey picture, brightness 255 0 254 76 / 149 29 128 124.
        self.pgm = os.path.join(self.dir.name, "logo.pgm")
        with open(self.pgm, "wb") as f:
            f.write(b"P5\n4 2\n255\n" + bytes([255, 0, 254, 76, 149, 29, 128, 124]))

    def tearDown(self):
        self.dir.cleanup()

    def test_threshold_picks_the_light_pixels(self):
        for threshold, rows in (("128", ["#.#.", "#.#."]), ("255", ["#...", "...."]),
                                ("0", ["####", "####"])):
            r = tgw("render", "--threshold", threshold, "--picture", self.pgm)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(matrices(r.stdout), [(self.pgm, "4x2", rows)])
        # The default threshold is 184.
        r = tgw("render", "--picture", self.pgm)
        self.assertEqual(matrices(r.stdout)[0][2], ["#.#.", "...."])

    def test_unreadable_pictures_fail_unless_the_placeholder_is_accepted(self):
        broken = os.path.join(self.dir.name, "broken.PNG")
        with open(broken, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + b"\0" * 20)
        for picture in (broken, os.path.join(self.dir.name, "nosuch.png")):
            r = tgw("export", "--picture", picture, "--format", "bin", "-o",
                    os.path.join(self.dir.name, "x.bin"))
            self.assertEqual(r.returncode, 1)
            self.assertIn(picture, r.stderr)
            self.assertIn("--allow-placeholder", r.stderr)
            self.assertFalse(os.path.exists(os.path.join(self.dir.name, "x.bin")))
        r = tgw("render", "--threshold", "128", "--picture", broken, "--allow-placeholder")
        self.assertEqual(r.returncode, 0, r.stderr)
        [(name, size, rows)] = matrices(r.stdout)
        width, height = map(int, size.split("x"))
        self.assertGreater(width, 4 * height)
        self.assertIn("#", "".join(rows))

    def test_file_names_are_bytes(self):
        # A 2 x 1 bitmap, white then black, under a name that is not UTF-8.
        name = os.path.join(os.fsencode(self.dir.name), b"\xff\xfe-\xe5\x9b\xbe.bmp")
        pixels = bytes([255, 255, 255, 0, 0, 0, 0, 0])
        header = (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) +
                  struct.pack("<IiiHHIIiiII", 40, 2, 1, 1, 24, 0, 0, 0, 0, 0, 0))
        with open(name, "wb") as f:
            f.write(header + pixels)
        r = tgw("render", "--threshold", "128", "--picture", name, text=False)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout, name + b" 2x1\n#.\n\n")
        # The project keeps the dots and says that it cannot keep the name.
        project = os.path.join(self.dir.name, "p.tgx")
        r = tgw("project", "--picture", name, "-o", project, text=False)
        self.assertEqual(r.returncode, 0, r.stderr)
        warning = r.stderr.decode()
        self.assertEqual(warning.count("\n"), 1, warning)
        self.assertIn("entry 1:", warning)
        saved = open(project, "rb").read().decode("utf-16")
        self.assertIn("\ufffd\ufffd-\u56fe.bmp", saved)
        # A UTF-8 name is no reason for a warning.
        plain = os.path.join(self.dir.name, "图.bmp")
        os.link(name, plain)
        r = tgw("project", "--picture", plain, "-o", project)
        self.assertEqual((r.returncode, r.stderr), (0, ""))


class Strings(unittest.TestCase):
    def test_builtin_lines_and_right_to_left(self):
        cell = ["--font-kind", "ascii8x16", "--width", "8", "--height", "16"]
        r = tgw("render", *cell, "--string", "AB\r\nC")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("\nC 16x32\n", r.stdout)
        # Right to left aligns right but never reverses the characters: a line that fills
        # its matrix is the same either way.
        r = tgw("render", *cell, "--keep-duplicates", "--rtl", "--string", "ABC", "--string",
                "ABC")
        self.assertEqual(r.returncode, 0, r.stderr)
        [(_, size, rtl_rows), (_, _, ltr_rows)] = matrices(r.stdout)
        self.assertEqual(size, "24x16")
        self.assertEqual(rtl_rows, ltr_rows)

    def test_truetype_string(self):
        r = tgw("render", "--face", "DejaVu Sans", "--width", "16", "--height", "16",
                "--string", "Hi")
        self.assertEqual(r.returncode, 0, r.stderr)
        [(name, size, rows)] = matrices(r.stdout)
        self.assertEqual(name, "Hi")
        self.assertTrue(size.endswith("x16"))
        self.assertIn("#", "".join(rows))


if __name__ == "__main__":
    unittest.main()
