"""End-to-end checks of `tgw project` and of project files as entries (`--project`)."""
import os
import resource
import signal
import subprocess
import sys
import tempfile
import unittest

from tgw_cli import TGW, matrices, tgw  # noqa: E402


def small_file_limit():
    """In the child: files may not grow past 1000 bytes, as on a full disk."""
    signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (1000, resource.getrlimit(resource.RLIMIT_FSIZE)[1]))


class Project(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.file = os.path.join(self.dir.name, "glyphs.tgx")

    def read_text(self):
        with open(self.file, "rb") as f:
            raw = f.read()
        self.assertEqual(raw[:2], b"\xff\xfe")
        return raw[2:].decode("utf-16-le")

    def write_text(self, text):
        with open(self.file, "wb") as f:
            f.write(b"\xff\xfe" + text.encode("utf-16-le"))

    def test_written_project_renders_as_the_entries_it_was_made_from(self):
        args = ["--font-kind", "ascii8x16", "--width", "8", "--height", "16", "AB"]
        r = tgw("project", *args, "-o", self.file, env={"SOURCE_DATE_EPOCH": "1714571112"})
        self.assertEqual(r.returncode, 0, r.stderr)
        text = self.read_text()
        self.assertTrue(text.startswith("<?xml version='1.0' encoding='UTF-16'?><Tessaglyphworks "
                                        'project_version="50332161"'), text[:100])
        self.assertIn('<Matrixes count="2" last_modified="2024-05-01 13:45:12">', text)
        self.assertIn('<Matrix type="1" width="8" height="16" code="65" fonttype="3">', text)

        direct = tgw("render", *args)
        via_file = tgw("render", "--project", self.file)
        self.assertEqual(via_file.returncode, 0, via_file.stderr)
        self.assertEqual(via_file.stdout, direct.stdout)

        # The same entries written again give the same bytes: a build can regenerate it.
        again = os.path.join(self.dir.name, "again.tgx")
        tgw("project", "--project", self.file, "-o", again, env={"SOURCE_DATE_EPOCH": "1714571112"})
        with open(self.file, "rb") as a, open(again, "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_hand_edited_dots_and_command_line_order(self):
        self.assertEqual(tgw("project", "--font-kind", "ascii5x7", "--width", "5",
                             "--height", "7", "I", "-o", self.file).returncode, 0)
        text = self.read_text()
        # Light the whole top row by hand; any character but a blank is a lit dot.
        first_row = text.index("<![CDATA[") + len("<![CDATA[")
        self.write_text(text[:first_row] + "xxxxx" + text[first_row + 5:])
        r = tgw("render", "--font-kind", "ascii5x7", "--width", "5", "--height", "7",
                "Z", "--project", self.file, "Z")
        self.assertEqual(r.returncode, 0, r.stderr)
        [(z, _, _), (name, size, rows)] = matrices(r.stdout)
        self.assertEqual((z, name, size), ("U+005A", "U+0049", "5x7"))
        self.assertEqual(rows[0], "#####")
        # The second Z is dropped by the duplicate filter; the project's own entries never are.
        r = tgw("render", "--project", self.file, "--project", self.file)
        self.assertEqual(len(matrices(r.stdout)), 2)

    def test_damaged_and_missing_files_fail_with_one_line(self):
        self.write_text("<?xml version='1.0' encoding='UTF-16'?><Tessaglyphworks "
                        "project_version=\"50332162\"><Matrixes count=\"0\"/></Tessaglyphworks>")
        for path in (self.file, os.path.join(self.dir.name, "none.tgx")):
            r = tgw("render", "--project", path)
            self.assertEqual(r.returncode, 1)
            self.assertEqual(len(r.stderr.strip().splitlines()), 1, r.stderr)
            self.assertIn(os.path.basename(path), r.stderr)

    def test_output_is_required_and_a_failed_write_keeps_the_old_file(self):
        self.assertEqual(tgw("project", "A").returncode, 2)
        with open(self.file, "wb") as f:
            f.write(b"old")
        r = tgw("project", "--font-kind", "ascii5x7", "ABCDEF", "-o", self.file,
                preexec_fn=small_file_limit)
        self.assertEqual(r.returncode, 1)
        self.assertIn("glyphs.tgx", r.stderr)
        with open(self.file, "rb") as f:
            self.assertEqual(f.read(), b"old")
        self.assertEqual(os.listdir(self.dir.name), ["glyphs.tgx"])


if __name__ == "__main__":
    unittest.main()
