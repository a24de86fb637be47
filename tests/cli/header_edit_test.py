"""End-to-end checks of the header of `tgw export --name` through the C compiler, of --edit,
of the order names in the help, and of the text files' encodings."""
import os
import shutil
import subprocess
import tempfile
import unittest

from tgw_cli import matrices, tgw

CC = shutil.which("cc") or shutil.which("gcc")
A5X7 = ["--font-kind", "ascii5x7", "--width", "5", "--height", "7"]
GB16 = ["--font-kind", "gb2312-16", "--width", "16", "--height", "16"]

# Prints what the header holds in the layout of the binary library with index, so that the two
# can be compared byte for byte.
DUMP = r"""
#include <stdio.h>
#include "font.h"
static void be(unsigned long v, int n) { while (n--) putchar((int)((v >> (8 * n)) & 0xFF)); }
int main(void) {
    be(FONT_COUNT, 4);
    for (int i = 0; i < FONT_COUNT; i++) {
        be(font_codes[i], 2);
#ifdef FONT_WIDTH
        be(FONT_WIDTH, 2); be(FONT_HEIGHT, 2);
#else
        be(font_widths[i], 2); be(font_heights[i], 2);
#endif
        be(font_offsets[i], 4);
    }
    fwrite(font, 1, sizeof font, stdout);
    return 0;
}
"""


@unittest.skipIf(CC is None, "no C compiler")
class Header(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def compile_and_dump(self, *entries):
        header = tgw("export", *entries, "--format", "c", "--name", "font", text=False)
        self.assertEqual(header.returncode, 0, header.stderr)
        path = os.path.join(self.dir.name, "font.h")
        with open(path, "wb") as f:
            f.write(header.stdout)
        # Two C files of one program include it: one only that (the header needs nothing
        # before it, and what it leaves unused warns of nothing), the other to print it.
        with open(os.path.join(self.dir.name, "other.c"), "w") as f:
            f.write('#include "font.h"\nint other(void);\nint other(void) { return 0; }\n')
        with open(os.path.join(self.dir.name, "dump.c"), "w") as f:
            f.write(DUMP)
        cc = subprocess.run([CC, "-std=c99", "-Wall", "-Wextra", "-Werror", "dump.c", "other.c",
                             "-o", "dump"], cwd=self.dir.name, capture_output=True)
        self.assertEqual(cc.returncode, 0, cc.stderr.decode(errors="replace"))
        dumped = subprocess.run([os.path.join(self.dir.name, "dump")], capture_output=True)
        library = tgw("export", *entries, "--format", "bin", "--index", text=False)
        self.assertEqual(dumped.stdout, library.stdout)
        return header.stdout

    def test_equal_sizes_and_comments_kept(self):
        text = self.compile_and_dump(*GB16, "中文")
        self.assertIn(b"#ifndef FONT_H", text)
        self.assertIn(b"#define FONT_GLYPH_BYTES 32", text)
        self.assertIn(b"/* \xd6\xd0[0xD6D0]", text)  # the per-entry comment, 中 in code page 936
        self.assertNotIn(b"font_sizes", text)

    def test_differing_sizes_and_unicode_codes(self):
        text = self.compile_and_dump("--face", "DejaVu Sans", "--width", "12", "--height", "12",
                                     "--unicode", "Ag", "--string", "Hi */ there")
        self.assertIn(b"font_sizes", text)
        self.assertIn(b"0x0041", text)

    def test_build_writes_the_same_header(self):
        exported = self.compile_and_dump(*GB16, "中文")
        for index in ([], ["--index"]):
            built = tgw("build", *GB16, "--set", "custom", "--text", "中文", "--format", "c",
                        "--name", "font", *index, "-o", "-", text=False)
            self.assertEqual(built.returncode, 0, built.stderr)
            self.assertEqual(built.stdout, exported)
        # In UTF-8 the header's own lines end as the entries' do.
        e8 = tgw("export", *GB16, "中文", "--format", "c", "--name", "font", "--encoding",
                 "utf-8", text=False)
        b8 = tgw("build", *GB16, "--set", "custom", "--text", "中文", "--format", "c", "--name",
                 "font", "--encoding", "utf-8", "-o", "-", text=False)
        self.assertEqual((e8.returncode, b8.returncode), (0, 0), b8.stderr)
        self.assertEqual(b8.stdout, e8.stdout)
        self.assertNotIn(b"\r", b8.stdout)
        for command in (["export", *A5X7, "A"], ["build", *A5X7, "--range", "65", "-o", "-"]):
            r = tgw(*command, "--format", "c", "--index")
            self.assertEqual(r.returncode, 2)
            self.assertIn("takes --name", r.stderr)
        r = tgw("build", *A5X7, "--set", "custom", "--text", " ", "--skip-blanks", "--allow-empty",
                "--format", "c", "--name", "font", "-o", "-")
        self.assertNotEqual(r.returncode, 0)
        self.assertIn("at least one entry", r.stderr)

    def test_names_checked(self):
        # The rules of a name are the writer's (tested with it); a bad one is a usage error.
        r = tgw("export", *A5X7, "A", "--name", "font-16")
        self.assertEqual(r.returncode, 2)
        self.assertIn("not a C identifier", r.stderr)
        for other in (["--format", "bin"], ["--format", "asm"]):
            r = tgw("export", *A5X7, "A", "--name", "font", *other)
            self.assertEqual(r.returncode, 2)
            self.assertIn("--name", r.stderr)


def rotate90(rows):
    return ["".join(rows[len(rows) - 1 - r][c] for r in range(len(rows)))
            for c in range(len(rows[0]))]


class Edit(unittest.TestCase):
    def rows(self, *args):
        r = tgw("render", *args)
        self.assertEqual(r.returncode, 0, r.stderr)
        return [m[2] for m in matrices(r.stdout)]

    def test_edits_in_order_on_every_entry(self):
        plain = self.rows(*A5X7, "AL", "--string", "F")
        flip = {"#": ".", ".": "#"}
        invert = [["".join(flip[c] for c in row) for row in m] for m in plain]
        self.assertEqual(self.rows(*A5X7, "AL", "--string", "F", "--edit", "invert"), invert)
        self.assertEqual(self.rows(*A5X7, "AL", "--string", "F", "--edit", "rotate90"),
                         [rotate90(m) for m in plain])
        # Order matters: rotate then mirror is not mirror then rotate.
        mirrored = [[row[::-1] for row in rotate90(m)] for m in plain]
        self.assertEqual(
            self.rows(*A5X7, "AL", "--string", "F", "--edit", "rotate90,mirror-horizontal"),
            mirrored)
        self.assertEqual(self.rows(*A5X7, "AL", "--edit", "rotate90", "--edit", "rotate270"),
                         plain[:2])
        # A trim drops the empty edge columns: the 5-wide 'L' of the 5x7 font has none at its
        # left, so only a cell with a margin narrows.
        [wide] = self.rows("--font-kind", "ascii5x7", "--width", "9", "--height", "7", "L")
        [trimmed] = self.rows("--font-kind", "ascii5x7", "--width", "9", "--height", "7", "L",
                              "--edit", "trim-left,trim-right")
        kept = [i for i in range(9) if any(row[i] == "#" for row in wide)]
        self.assertEqual(trimmed, [row[kept[0]:kept[-1] + 1] for row in wide])

    def test_project_keeps_the_edited_dots(self):
        with tempfile.TemporaryDirectory() as d:
            path = os.path.join(d, "p.tgx")
            r = tgw("project", *A5X7, "A", "--edit", "invert", "-o", path)
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(self.rows("--project", path), self.rows(*A5X7, "A", "--edit", "invert"))


class Orders(unittest.TestCase):
    def test_help_names_every_value(self):
        text = tgw("export", "--help").stdout
        for name in ("rows-msb-left", "rows-lsb-left", "columns-msb-top", "columns-lsb-top",
                     "横向取点左高位", "纵向取点下高位", "tgw explain"):
            self.assertIn(name, text)
        for mode in range(1, 9):
            self.assertIn(f"模式{mode}", text)
        self.assertIn("(default 0)", text)
        self.assertIn("width - height", text)  # the letter spacing of --string

    def test_names_select_the_same_orders_as_numbers(self):
        def out(*order):
            return tgw("export", *GB16, "中", "--format", "bin", *order, text=False).stdout
        self.assertEqual(out("--dot-order", "columns-lsb-top"), out("--dot-order", "3"))
        self.assertNotEqual(out("--dot-order", "3"), out("--dot-order", "0"))
        self.assertEqual(out("--byte-order", "mode3"), out("--byte-order", "2"))
        self.assertEqual(out("--byte-order", "columns-left-up"), out("--byte-order", "7"))
        for bad in (["--dot-order", "4"], ["--byte-order", "mode9"], ["--dot-order", "rows"]):
            self.assertEqual(tgw("export", *GB16, "中", *bad).returncode, 2, bad)


class TextFiles(unittest.TestCase):
    def test_encodings(self):
        hanzi = "".join(chr(c) for c in range(0x4E00, 0x4E40))
        expected = [f"U+{c:04X}" for c in range(0x4E00, 0x4E40)]
        with tempfile.TemporaryDirectory() as d:
            for name, data in (("utf8", hanzi.encode("utf-8")),
                               ("utf8bom", b"\xef\xbb\xbf" + hanzi.encode("utf-8")),
                               ("utf16le", b"\xff\xfe" + hanzi.encode("utf-16-le")),
                               ("utf16be", b"\xfe\xff" + hanzi.encode("utf-16-be")),
                               ("gbk", hanzi.encode("gbk")),
                               ("zero", hanzi.encode("utf-8") + b"\0\xe4\xb8\x80")):
                path = os.path.join(d, name)
                with open(path, "wb") as f:
                    f.write(data)
                r = tgw("render", *GB16, "--text-file", path, "--keep-duplicates")
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual([m[0] for m in matrices(r.stdout)], expected, name)


if __name__ == "__main__":
    unittest.main()
