#!/usr/bin/python3
"""The installed tree and the Debian package: what a user's system gets.

    install_test.py BUILD_DIR GUI(0|1)
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

BUILD = os.path.abspath(sys.argv[1])
GUI = sys.argv[2] == "1"
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def run(*args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as f:
        return f.read()


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.stage = cls.tmp.name
        env = dict(os.environ, DESTDIR=cls.stage)
        r = run("cmake", "--install", BUILD, "--prefix", "/opt/tgw", env=env)
        assert r.returncode == 0, r.stdout + r.stderr
        cls.root = cls.stage + "/opt/tgw"

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def path(self, rel):
        return os.path.join(self.root, rel)

    def test_prefix_and_destdir_are_honoured(self):
        self.assertEqual(os.listdir(self.stage), ["opt"])
        tgw = self.path("bin/tgw")
        self.assertTrue(os.access(tgw, os.X_OK))
        r = run(tgw, "--help")
        self.assertEqual(r.returncode, 0, r.stderr)
        if GUI:
            self.assertTrue(os.access(self.path("bin/tessaglyphworks"), os.X_OK))

    def test_manual_page_covers_every_command_and_renders_cleanly(self):
        page = self.path("share/man/man1/tgw.1")
        text = read(page)
        for word in ["render", "preview", "export", "project", "build", "send serial", "fonts", "ports",
                     "EXIT STATUS", "EXAMPLES", "\\-\\-text\\-file", "\\-\\-dot\\-order"]:
            self.assertIn(word, text)
        if shutil.which("groff"):
            r = run("groff", "-man", "-Tutf8", "-ww", "-z", page)
            self.assertEqual(r.stderr, "")

    def test_bash_completion_offers_commands_options_and_values(self):
        script = self.path("share/bash-completion/completions/tgw")
        probe = """
source "$1"
t() { COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _tgw
      echo "${COMPREPLY[*]}"; }
t tgw exp
t tgw export --form
t tgw export --format ''
t tgw send ''
t tgw send tcp --hos
t tgw preview --colors ''
"""
        r = run("bash", "-c", probe, "probe", script)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stdout.splitlines(),
                         ["export explain", "--format",
                          "c asm bin gfx metrics-c metrics-bin bdf u8g2 lvgl lvgl-bin",
                          "serial tcp udp", "--host",
                          "oled-blue oled-white oled-yellow epaper lcd-green"])

    @unittest.skipUnless(GUI, "the desktop program is not built")
    def test_desktop_entry_icons_and_project_type(self):
        entry = self.path("share/applications/tessaglyphworks.desktop")
        text = read(entry)
        self.assertIn("Exec=tessaglyphworks %f\n", text)
        self.assertIn("MimeType=application/x-tessaglyphworks-project;\n", text)
        self.assertIn("Icon=tessaglyphworks\n", text)
        validate = shutil.which("desktop-file-validate")
        self.assertIsNotNone(validate, "desktop-file-utils is not installed")
        r = run(validate, entry)
        self.assertEqual((r.returncode, r.stdout + r.stderr), (0, ""))

        self.assertTrue(os.path.getsize(self.path("share/icons/hicolor/scalable/apps/tessaglyphworks.svg")))
        for size in ICON_SIZES:
            png = self.path(f"share/icons/hicolor/{size}x{size}/apps/tessaglyphworks.png")
            self.assertEqual(png_size(png), (size, size))

    @unittest.skipUnless(GUI and shutil.which("update-mime-database") and shutil.which("gio"),
                         "shared-mime-info or gio is missing")
    def test_projects_are_known_by_name_and_by_content(self):
        mime = self.path("share/mime")
        r = run("update-mime-database", mime)
        self.assertEqual(r.returncode, 0, r.stderr)
        with tempfile.TemporaryDirectory() as d:
            project = os.path.join(SOURCE, "tests/project/golden/sample.tgx")
            files = {"a.tgx": read(project, "rb")}
            files["renamed.dat"] = files["a.tgx"]
            # UTF-16 XML with another root is not a project.
            files["other.dat"] = b"\xff\xfe" + "<?xml version='1.0'?><Other/>".encode("utf-16-le")
            want = {"a.tgx": True, "renamed.dat": True, "other.dat": False}
            env = dict(os.environ, XDG_DATA_HOME=d + "/none",
                       XDG_DATA_DIRS=self.path("share") + ":/usr/share")
            for name, data in files.items():
                with open(os.path.join(d, name), "wb") as f:
                    f.write(data)
                r = run("gio", "info", "-a", "standard::content-type", os.path.join(d, name),
                        env=env)
                self.assertEqual("application/x-tessaglyphworks-project" in r.stdout,
                                 want[name], name + ": " + r.stdout + r.stderr)


class DebianPackage(unittest.TestCase):
    def test_control_data_names_the_runtime_packages(self):
        with tempfile.TemporaryDirectory() as d:
            r = run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
                    "-B", d)
            self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
            debs = [f for f in os.listdir(d) if f.endswith(".deb")]
            self.assertEqual(len(debs), 1, os.listdir(d))
            self.assertTrue(debs[0].startswith("tessaglyphworks_"))
            deb = os.path.join(d, debs[0])
            info = run("dpkg-deb", "-f", deb, "Depends").stdout
            needed = ["libfreetype6", "libharfbuzz0b", "libfontconfig1", "libpugixml1v5",
                      "libserialport0", "libjpeg62-turbo", "libpng16-16", "libgif7",
                      "fonts-wqy-microhei"]
            if GUI:
                needed += ["libqt6widgets6", "libqt6svg6", "qt6-translations-l10n"]
            for name in needed:
                self.assertIn(name, info)
            listing = run("dpkg-deb", "-c", deb).stdout
            for path in ["./usr/bin/tgw", "./usr/share/man/man1/tgw.1",
                         "./usr/share/bash-completion/completions/tgw"]:
                self.assertIn(path, listing)
            if GUI:
                for path in ["./usr/bin/tessaglyphworks",
                             "./usr/share/applications/tessaglyphworks.desktop",
                             "./usr/share/mime/packages/tessaglyphworks.xml"]:
                    self.assertIn(path, listing)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
