"""End-to-end checks of `tgw render` and `tgw fonts`."""
import subprocess
import sys
import tempfile
import unittest

from tgw_cli import TGW, matrices, tgw  # noqa: E402


class Render(unittest.TestCase):
    def test_ascii5x7_a_sits_at_column_6_row_5(self):
        r = tgw("render", "--font-kind", "ascii5x7", "A")
        self.assertEqual(r.returncode, 0, r.stderr)
        [(name, size, rows)] = matrices(r.stdout)
        self.assertEqual((name, size), ("U+0041", "18x18"))
        lit = [(y, x) for y, row in enumerate(rows) for x, ch in enumerate(row) if ch == "#"]
        self.assertEqual(min(y for y, _ in lit), 5)
        self.assertGreaterEqual(min(x for _, x in lit), 6)
        self.assertLessEqual(max(x for _, x in lit), 10)

    def test_gb2312_16_and_truetype(self):
        r = tgw("render", "--font-kind", "gb2312-16", "--width", "16", "--height", "16", "中")
        self.assertEqual(r.returncode, 0, r.stderr)
        [(name, size, rows)] = matrices(r.stdout)
        self.assertEqual((name, size, len(rows)), ("U+4E2D", "16x16", 16))
        self.assertTrue(all(len(row) == 16 and set(row) <= {"#", "."} for row in rows))
        r = tgw("render", "--face", "DejaVu Sans", "--width", "16", "--height", "16", "g")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("#", r.stdout)

    def test_entries_keep_command_line_order_and_filters(self):
        with tempfile.NamedTemporaryFile(suffix=".txt") as empty:
            r = tgw("render", "--font-kind", "ascii8x16", "BA", "--text-file", empty.name, "AC")
        self.assertEqual([m[0] for m in matrices(r.stdout)], ["U+0042", "U+0041", "U+0043"])
        r = tgw("render", "--font-kind", "ascii8x16", "--keep-duplicates", "--keep-blanks", "A A")
        self.assertEqual(len(matrices(r.stdout)), 3)

    def test_failures_and_usage_errors(self):
        r = tgw("render", "--font-kind", "nine", "A")
        self.assertEqual(r.returncode, 2)  # a usage error, like any other bad option value
        self.assertIn("nine", r.stderr)
        self.assertEqual(tgw("render", "--width", "0", "A").returncode, 2)
        self.assertEqual(tgw("render", "--width", "2049", "A").returncode, 2)
        self.assertEqual(tgw("frobnicate").returncode, 2)
        self.assertEqual(tgw("render", "--help").returncode, 0)

    def test_fonts_lists_the_installed_families(self):
        r = tgw("fonts")
        self.assertEqual(r.returncode, 0)
        lines = r.stdout.splitlines()
        self.assertIn("DejaVu Sans", lines)
        self.assertIn("DejaVu Sans Mono\t(fixed pitch)", lines)


if __name__ == "__main__":
    unittest.main()
