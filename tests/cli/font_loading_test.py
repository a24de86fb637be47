"""What tgw reads to find its fonts: no font lookup for a built-in font or a font file, one
default face whatever the locale, and font files that would cost without bound refused or
read a face at a time."""
import gzip
import os
import resource
import shutil
import struct
import subprocess
import tempfile
import unittest
import zlib

from tgw_cli import TGW, tgw

PCF = "/usr/share/fonts/X11/misc/9x15.pcf.gz"


def fc_file(family):
    return subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True,
                          text=True).stdout


DEJAVU = fc_file("DejaVu Sans")


def locale_env(name):
    return {"LANG": name, "LC_ALL": name, "LANGUAGE": name.split(".")[0]}


class DefaultFaceTest(unittest.TestCase):
    def test_the_same_command_writes_the_same_bytes_in_every_locale(self):
        outputs = []
        for name in ("zh_CN.UTF-8", "en_US.UTF-8", "C.UTF-8"):
            r = tgw("build", "--range", "65-71", "--format", "c", "-o", "-", "--quiet",
                    text=False, env=locale_env(name))
            self.assertEqual(r.returncode, 0, r.stderr)
            outputs.append(r.stdout)
            r = tgw("render", "-v", "Ag", env=locale_env(name))
            self.assertEqual(r.returncode, 0, r.stderr)
            outputs.append(r.stdout.encode())
            self.assertIn("the face 'DejaVu Sans' (tgw's default", r.stderr)
        self.assertEqual(outputs[0::2], [outputs[0]] * 3)
        self.assertEqual(outputs[1::2], [outputs[1]] * 3)

    def test_a_named_face_is_reported_as_given(self):
        r = tgw("render", "-v", "--face", "DejaVu Sans Mono", "A")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn("the face 'DejaVu Sans Mono', from ", r.stderr)
        self.assertNotIn("default", r.stderr)


class VersionTest(unittest.TestCase):
    def test_version_is_answered_and_a_full_stdout_fails(self):
        r = tgw("--version")
        self.assertEqual((r.returncode, r.stdout), (0, "tgw 0.1.0\n"))
        with open("/dev/full", "w") as full:
            r = subprocess.run([TGW, "--version"], stdout=full, stderr=subprocess.PIPE,
                               text=True)
        self.assertEqual(r.returncode, 1)
        self.assertIn("cannot be written", r.stderr)


class NoFontLookupTest(unittest.TestCase):
    """fontconfig is pointed at a configuration it cannot read, which it reports on stderr as
    soon as it is started: a command that never needs it stays quiet."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        conf = os.path.join(cls.tmp, "fonts.conf")
        with open(conf, "w") as f:
            f.write("<fontconfig><this is not xml\n")
        cls.env = {"FONTCONFIG_FILE": conf}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def run_quietly(self, *args):
        r = tgw(*args, env=self.env)
        self.assertEqual(r.returncode, 0, (args, r.stderr))
        return r.stderr

    def test_the_probe_is_heard_when_a_face_is_looked_up(self):
        self.assertIn("Fontconfig", tgw("render", "--face", "DejaVu Sans", "A",
                                        env=self.env).stderr)

    def test_built_in_fonts_and_font_files_start_no_font_lookup(self):
        out = os.path.join(self.tmp, "out.c")
        commands = [("render", "--font-kind", "ascii5x7", "A"),
                    ("export", "--font-kind", "gb2312-16", "中A", "-o", out),
                    ("build", "--font-kind", "ascii8x16", "--set", "ascii", "--format", "bin",
                     "-o", out, "--quiet")]
        for font in (DEJAVU, PCF):
            if os.path.exists(font):
                commands += [("render", "--font-file", font, "A", "--string", "Ab"),
                             ("export", "--font-file", font, "A中", "-o", out),
                             ("build", "--font-file", font, "--range", "65-90", "--format",
                              "gfx", "-o", out, "--quiet")]
        for args in commands:
            self.assertNotIn("Fontconfig", self.run_quietly(*args), args)


def collection(font, count):
    """A TrueType collection of `count` faces that all are the one face of `font`: a small file
    that names thousands of faces."""
    with open(font, "rb") as f:
        data = f.read()
    header = 12 + 4 * count
    tables = struct.unpack(">H", data[4:6])[0]
    body = bytearray(data)
    for i in range(tables):
        at = 12 + 16 * i + 8  # the table record's offset field
        struct.pack_into(">I", body, at, struct.unpack(">I", data[at:at + 4])[0] + header)
    return struct.pack(">4sHHI", b"ttcf", 1, 0, count) + struct.pack(">I", header) * count \
        + bytes(body)


def limit_memory():
    # Bounds the whole process: keeping every face of the collection open would pass it.
    resource.setrlimit(resource.RLIMIT_AS, (768 << 20, 768 << 20))


@unittest.skipUnless(DEJAVU, "DejaVu Sans is needed")
class HostileFontFileTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def test_a_collection_of_thousands_of_faces_opens_one_and_lists_a_thousand(self):
        path = os.path.join(self.tmp, "many.ttc")
        with open(path, "wb") as f:
            f.write(collection(DEJAVU, 3000))
        # Under AddressSanitizer, with its reserved shadow memory, nothing starts in a bounded
        # address space: the bound is then left out, the listing still checked.
        bounded = tgw("render", "--font-kind", "ascii5x7", "A",
                      preexec_fn=limit_memory).returncode == 0
        limit = limit_memory if bounded else None
        r = tgw("fonts", "--file", path, preexec_fn=limit)
        self.assertEqual(r.returncode, 0, r.stderr)
        lines = r.stdout.splitlines()
        self.assertEqual(len(lines), 1000)
        self.assertTrue(lines[999].startswith("999\tDejaVu Sans\t"), lines[999])
        self.assertIn("has 3000 faces; the first 1000 are listed", r.stderr)
        plain = tgw("render", "--font-file", DEJAVU, "A").stdout
        for command in (("render", "--font-file", path, "--face-index", "2999", "A"),
                        ("build", "--font-file", path, "--face-index", "2999", "--range", "65",
                         "--format", "c", "-o", "-", "--quiet")):
            r = tgw(*command, text=False, preexec_fn=limit)
            self.assertEqual(r.returncode, 0, (command, r.stderr))
        self.assertEqual(tgw("render", "--font-file", path, "--face-index", "2999", "A",
                             preexec_fn=limit).stdout, plain)
        r = tgw("render", "--font-file", path, "--face-index", "3000", "A")
        self.assertEqual(r.returncode, 1)
        self.assertIn("has 3000 faces: face index 3000 is out of range", r.stderr)

    @unittest.skipUnless(os.path.exists(PCF), "xfonts-base is needed")
    def test_a_compressed_font_that_inflates_past_64_mib_is_refused(self):
        with gzip.open(PCF) as f:
            font = f.read()
        # The font as it was, then zeros that its tables never point into: FreeType would
        # read the file whole, gzip stream and all, on every open.
        packer = zlib.compressobj(1, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
        parts = [packer.compress(font)]
        zeros = bytes(1 << 20)
        for _ in range(65):
            parts.append(packer.compress(zeros))
        parts.append(packer.flush())
        data = b"".join(parts)
        self.assertLess(len(data), 1 << 20)
        big = os.path.join(self.tmp, "big.pcf.gz")
        with open(big, "wb") as f:
            f.write(data)
        # The same with a trailer that gives a small size: only inflating tells.
        lying = os.path.join(self.tmp, "lying.pcf.gz")
        with open(lying, "wb") as f:
            f.write(data[:-4] + struct.pack("<I", len(font)))
        for path in (big, lying):
            for command in (("render", "--font-file", path, "A"), ("fonts", "--file", path),
                            ("build", "--font-file", path, "--range", "65", "--format", "c",
                             "-o", "-")):
                r = tgw(*command, text=False)
                r.stderr = r.stderr.decode()
                self.assertEqual(r.returncode, 1, command)
                self.assertIn(f"the font file '{path}' inflates to more than 64 MiB", r.stderr)
        # Under the limit the same font reads as it always did.
        small = os.path.join(self.tmp, "small.pcf.gz")
        with open(small, "wb") as f:
            f.write(gzip.compress(font + bytes(1 << 20)))
        self.assertEqual(tgw("render", "--font-file", small, "A").stdout,
                         tgw("render", "--font-file", PCF, "A").stdout)
        damaged = os.path.join(self.tmp, "damaged.pcf.gz")
        with open(damaged, "wb") as f:
            f.write(gzip.compress(font)[:2000])
        r = tgw("render", "--font-file", damaged, "A")
        self.assertEqual(r.returncode, 1)
        self.assertIn(f"'{damaged}'", r.stderr)


if __name__ == "__main__":
    unittest.main()
