"""End-to-end checks that tgw stops on the user's mistakes (status 1, one line naming the
mistake, nothing written) unless told to accept them, and warns about characters it cannot
show or code."""
import os
import subprocess
import tempfile
import unittest

from tgw_cli import TGW, tgw

GB16 = ["--font-kind", "gb2312-16", "--width", "16", "--height", "16"]
DEJAVU = ["--face", "DejaVu Sans", "--width", "16", "--height", "16"]
# The same with every glyph's ink inside its cell, where only the warnings asked for remain.
DEJAVU_FIT = DEJAVU + ["--size", "fit"]


def binary(*args):
    """tgw writing binary data to stdout: (status, stdout bytes, stderr text)."""
    r = tgw(*args, text=False)
    return r.returncode, r.stdout, r.stderr.decode()


class Mistakes(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.out = os.path.join(self.dir.name, "out.bin")

    def tearDown(self):
        self.dir.cleanup()

    def assertRefused(self, r, *words):
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertEqual(len(r.stderr.splitlines()), 1, r.stderr)
        for w in words:
            self.assertIn(w, r.stderr)
        self.assertFalse(os.path.exists(self.out))

    def test_a_face_that_is_not_installed(self):
        r = tgw("export", "--face", "DejaVu Sanz", "A", "--format", "bin", "-o", self.out)
        self.assertRefused(r, "'DejaVu Sanz' is not installed", "fontconfig would use '",
                           "'DejaVu Sans'", "--allow-fallback")
        r = tgw("build", "--face", "No Such Font", "--set", "ascii", "--format", "bin",
                "-o", self.out)
        self.assertRefused(r, "'No Such Font' is not installed")
        # On purpose: the substitute renders, as before.
        r = tgw("render", "--face", "No Such Font", "--allow-fallback", "A")
        self.assertEqual(r.returncode, 0, r.stderr)
        # Installed names in another language or case are the face itself, and so are
        # fontconfig's generic families.
        for face in ("文泉驿微米黑", "dejavu sans", "monospace"):
            r = tgw("render", "--face", face, "--width", "12", "--height", "12", "A")
            self.assertEqual(r.returncode, 0, face + r.stderr)

    def test_no_entries(self):
        r = tgw("export", "--format", "bin", "-o", self.out)
        self.assertRefused(r, "no entries", "--allow-empty")
        # Entries the filters drop leave none either.
        self.assertRefused(tgw("render", *GB16, "  "), "no entries")
        r = tgw("build", *GB16, "--set", "custom", "--text", " ", "--skip-blanks", "--format",
                "bin", "-o", self.out)
        self.assertRefused(r, "no entries", "--allow-empty")
        r = tgw("export", "--format", "bin", "-o", self.out, "--allow-empty")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(os.path.getsize(self.out), 0)

    def test_characters_outside_the_basic_plane(self):
        r = tgw("export", *GB16, "中😀", "--format", "bin", "-o", self.out)
        self.assertRefused(r, "U+1F600 (😀)", "character 2")
        path = os.path.join(self.dir.name, "list.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write("中文\nAB😀\n")
        self.assertRefused(tgw("export", *GB16, "--text-file", path, "-o", self.out),
                           path, "U+1F600", "line 2")
        # A string is drawn as a whole and may hold any character.
        self.assertEqual(tgw("render", *DEJAVU, "--string", "a😀").returncode, 0)

    def test_a_face_index_without_a_font_file_is_a_usage_error(self):
        for command in (["render", "A"], ["export", "A", "-o", self.out],
                        ["project", "A", "-o", self.out],
                        ["build", "--set", "ascii", "--format", "bin", "-o", self.out],
                        ["send", "tcp", "--port", "9", "A"]):
            with self.subTest(command=command[0]):
                r = tgw(*command, "--face-index", "1")
                self.assertEqual(r.returncode, 2, r.stderr)
                self.assertIn("--face-index requires --font-file", r.stderr)
                self.assertFalse(os.path.exists(self.out))

    def test_misspelt_commands(self):
        for args, word, near in ((["rendr", "A"], "rendr", "render"),
                                 (["exprot"], "exprot", "export"),
                                 (["send", "serail", "A"], "serail", "serial")):
            r = tgw(*args)
            self.assertEqual(r.returncode, 2)
            self.assertIn(f"'{word}' is not a command", r.stderr)
            self.assertIn(f"did you mean '{near}'?", r.stderr)

    def test_a_build_script_with_set_e_stops_at_each_mistake(self):
        for mistake in ('--face "No Such Font" A', "", "--picture nosuch.png", "😀"):
            script = f'set -e\n"{TGW}" export {mistake} --format bin -o x.bin\necho reached\n'
            r = subprocess.run(["bash", "-c", script], capture_output=True, text=True,
                               cwd=self.dir.name)
            self.assertNotEqual(r.returncode, 0, mistake)
            self.assertNotIn("reached", r.stdout, mistake)


class Warnings(unittest.TestCase):
    def test_characters_the_font_cannot_show(self):
        # The GB2312 dot fonts have no ASCII: warned, still written.
        status, out, err = binary("export", *GB16, "中A1", "--format", "bin")
        self.assertEqual(status, 0, err)
        self.assertEqual(len(out), 3 * 32)
        self.assertIn("warning", err)
        self.assertIn("2 characters", err)
        self.assertIn("U+0041 (A), U+0031 (1)", err)
        self.assertNotIn("U+4E2D", err)
        status, out, err = binary("export", *GB16, "中A", "--format", "bin", "--strict")
        self.assertEqual((status, out), (1, b""))

        # A face falls back for coverage as the program does: allowed, named with --verbose;
        # a character no installed face has (U+0378 is unassigned) is warned about.
        r = tgw("render", *DEJAVU_FIT, "中")
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        r = tgw("render", *DEJAVU, "中", "--verbose")
        self.assertIn("U+4E2D (中)", r.stderr)
        self.assertIn("WenQuanYi", r.stderr)
        r = tgw("render", *DEJAVU, "A\u0378")
        self.assertEqual(r.returncode, 0)
        self.assertIn("U+0378", r.stderr)
        self.assertNotIn("U+0041", r.stderr)
        # Blanks kept on purpose are meant to be empty.
        r = tgw("render", *GB16, "--keep-blanks", "中 ")
        self.assertEqual((r.returncode, r.stderr), (0, ""))

    def test_characters_without_a_code_page_936_form(self):
        status, out, err = binary("export", *DEJAVU, "aąő", "--format", "bin", "--index")
        self.assertEqual(status, 0, err)
        self.assertIn("U+0105 (ą), U+0151 (ő)", err)
        self.assertIn("--unicode", err)
        self.assertNotIn("U+0061", err)
        self.assertEqual(out[4:6], b"\x00\x61")
        self.assertEqual(out[14:16], b"\xff\xff")
        status, out, err = binary("export", *DEJAVU_FIT, "aąő", "--format", "bin", "--unicode")
        self.assertEqual((status, err), (0, ""))
        self.assertEqual(tgw("export", *DEJAVU, "ą", "--strict").returncode, 1)
        # Rendering writes no codes.
        self.assertEqual(tgw("render", *DEJAVU_FIT, "ą").stderr, "")


if __name__ == "__main__":
    unittest.main()
