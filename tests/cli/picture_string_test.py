"""End-to-end checks of picture and string entries through `tgw render`."""
import os
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
