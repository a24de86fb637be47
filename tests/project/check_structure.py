"""Reads the golden project file with Python's own XML parser and checks its structure: the
byte-order mark and declaration, the root and its attributes in order, one Matrix per entry with
its attributes in the written order, and nothing but one CDATA section per row."""
import sys
import unittest
import xml.dom.minidom
from xml.dom import Node

PATH = sys.argv.pop(1)

FONT_6 = ["facename", "fontsize", "fontwidth", "fontheight",
          "bold", "italic", "strikeout", "underline", "offset"]

# The sample document of the C++ tests: attributes in file order, and the seed of its dots.
EXPECTED = [
    ([("type", "1"), ("width", "4"), ("height", "3"), ("code", "65"), ("fonttype", "6"),
      ("facename", "DejaVu Sans"), ("fontsize", "14"), ("fontwidth", "4"), ("fontheight", "3"),
      ("bold", "1"), ("italic", "0"), ("strikeout", "1"), ("underline", "0"), ("offset", "-2")],
     0),
    ([("type", "1"), ("width", "5"), ("height", "7"), ("code", str(ord("中"))),
      ("fonttype", "0")], 1),
    ([("type", "2"), ("width", "4"), ("height", "4"), ("path", '/pics/ünï & "q" <a>.bmp'),
      ("threshold", "200")], 2),
    ([("type", "3"), ("width", "6"), ("height", "2"), ("content", "Hi\r\n\t<&>\"'中"),
      ("rtl", "1"), ("fonttype", "6"), ("facename", "WenQuanYi Micro Hei"), ("fontsize", "0"),
      ("fontwidth", "3"), ("fontheight", "2"), ("bold", "0"), ("italic", "1"),
      ("strikeout", "0"), ("underline", "1"), ("offset", "5")], 3),
    ([("type", "3"), ("width", "3"), ("height", "2"), ("content", "ok"), ("rtl", "0"),
      ("fonttype", "3")], 4),
]


def patterned(width, height, seed):
    """The dots the C++ tests draw (test::patterned), as the file's rows."""
    return ["".join("*" if (r * 7 + c * 3 + seed) % 5 < 2 else " " for c in range(width))
            for r in range(height)]


def expected_names(attrs):
    """The attribute names of a Matrix in the order the format writes them."""
    kind = attrs["type"]
    names = ["type", "width", "height"]
    names += {"1": ["code"], "2": ["path", "threshold"], "3": ["content", "rtl"]}[kind]
    if kind != "2":
        names.append("fonttype")
        if attrs["fonttype"] == "6":
            names += FONT_6
    return names


class GoldenStructure(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PATH, "rb") as f:
            cls.raw = f.read()
        cls.dom = xml.dom.minidom.parseString(cls.raw)

    def test_mark_and_declaration_open_the_file(self):
        self.assertEqual(self.raw[:2], b"\xff\xfe")
        text = self.raw[2:].decode("utf-16-le")  # strict: any bad unit raises
        self.assertTrue(text.startswith(
            "<?xml version='1.0' encoding='UTF-16'?><Tessaglyphworks "), text[:80])

    def test_root_and_matrixes(self):
        elements = [n for n in self.dom.childNodes if n.nodeType == Node.ELEMENT_NODE]
        self.assertEqual(len(elements), 1)
        root = elements[0]
        self.assertEqual(root.tagName, "Tessaglyphworks")
        self.assertEqual(list(root.attributes.keys()),
                         ["project_version", "program_version", "contact_author", "sale_link"])
        self.assertEqual(root.getAttribute("project_version"), "50332161")
        self.assertEqual(int(root.getAttribute("project_version")), 0x03000201)
        self.assertEqual(root.getAttribute("program_version"), "3.0.2.1")
        self.assertEqual(len(root.childNodes), 1)
        matrixes = root.firstChild
        self.assertEqual(matrixes.nodeType, Node.ELEMENT_NODE)
        self.assertEqual(matrixes.tagName, "Matrixes")
        self.assertEqual(list(matrixes.attributes.items()),
                         [("count", "5"), ("last_modified", "2024-05-01 13:45:12")])

    def test_one_matrix_per_entry_with_one_cdata_section_per_row(self):
        matrixes = self.dom.documentElement.firstChild
        nodes = matrixes.childNodes
        self.assertEqual(len(nodes), int(matrixes.getAttribute("count")))
        self.assertEqual(len(nodes), len(EXPECTED))
        for i, (node, (attrs, seed)) in enumerate(zip(nodes, EXPECTED)):
            with self.subTest(entry=i + 1):
                self.assertEqual(node.nodeType, Node.ELEMENT_NODE)
                self.assertEqual(node.tagName, "Matrix")
                items = list(node.attributes.items())
                self.assertEqual(items, attrs)
                self.assertEqual([k for k, _ in items], expected_names(dict(items)))
                width, height = int(node.getAttribute("width")), int(node.getAttribute("height"))
                self.assertTrue(all(c.nodeType == Node.CDATA_SECTION_NODE
                                    for c in node.childNodes))
                rows = [c.data for c in node.childNodes]
                self.assertEqual(len(rows), height)
                self.assertTrue(all(len(r) == width and set(r) <= {"*", " "} for r in rows))
                self.assertEqual(rows, patterned(width, height, seed))


if __name__ == "__main__":
    unittest.main()
