"""Writes hostile_family.pcf: a bitmap font of two 8 x 8 glyphs ('A' and the blank) whose
FAMILY_NAME holds a line break followed by a profile line, and whose ADD_STYLE_NAME holds
terminal escapes. A BDF cannot carry such names (each property is one text line), so the PCF
is written table by table here, in the layout the X11 font tools write:

  "\\1fcp", table count, then per table (type, format, size, offset), all little-endian;
  each table starts with its format again. Properties, accelerators, metrics, bitmaps and
  encodings are the tables FreeType needs.

Run: /usr/bin/python3 make_hostile_pcf.py hostile_family.pcf
"""
import struct
import sys

FAMILY = b"Evil\x1b]0;owned\x07\nCODEBROWSER=touch marker"
ADD_STYLE = b"Sans\x1b[2J\r"

PROPERTIES, ACCELERATORS, METRICS, BITMAPS, BDF_ENCODINGS = 1, 2, 4, 8, 32
LSB = 0            # default format: little-endian integers
BITS_MSB = 8       # bitmaps: the leftmost dot in the high bit, rows padded to a byte

ASCENT, DESCENT = 7, 1
GLYPHS = [  # (code, rows of 8 dots)
    (0x41, [0x18, 0x24, 0x42, 0x42, 0x7E, 0x42, 0x42, 0x00]),
    (0x20, [0x00] * 8),
]


def properties():
    strings = bytearray()

    def atom(text):
        offset = len(strings)
        strings.extend(text + b"\0")
        return offset

    props = [
        (b"FONT", atom(b"-misc-evil-medium-r-normal--8-80-75-75-c-80-iso10646-1")),
        (b"FAMILY_NAME", atom(FAMILY)),
        (b"WEIGHT_NAME", atom(b"Medium")),
        (b"SLANT", atom(b"R")),
        (b"SETWIDTH_NAME", atom(b"Normal")),
        (b"ADD_STYLE_NAME", atom(ADD_STYLE)),
        (b"CHARSET_REGISTRY", atom(b"ISO10646")),
        (b"CHARSET_ENCODING", atom(b"1")),
    ]
    numbers = [(b"PIXEL_SIZE", 8), (b"POINT_SIZE", 80), (b"RESOLUTION_X", 75),
               (b"RESOLUTION_Y", 75), (b"AVERAGE_WIDTH", 80), (b"FONT_ASCENT", ASCENT),
               (b"FONT_DESCENT", DESCENT)]
    entries = [(atom(name), 1, value) for name, value in props]
    entries += [(atom(name), 0, value) for name, value in numbers]
    out = struct.pack("<ii", LSB, len(entries))
    for name, is_string, value in entries:
        out += struct.pack("<ibi", name, is_string, value)
    if len(entries) & 3:
        out += b"\0" * (4 - (len(entries) & 3))
    return out + struct.pack("<i", len(strings)) + bytes(strings)


def metric(width=8, ascent=ASCENT, descent=DESCENT):
    # left bearing, right bearing, advance, ascent, descent, attributes
    return struct.pack("<hhhhhH", 0, width, width, ascent, descent, 0)


def accelerators():
    return (struct.pack("<i", LSB) + bytes([1, 1, 1, 1, 1, 0, 0, 0]) +
            struct.pack("<iii", ASCENT, DESCENT, 0) + metric() + metric())


def metrics():
    return struct.pack("<ii", LSB, len(GLYPHS)) + b"".join(metric() for _ in GLYPHS)


def bitmaps():
    data = b"".join(bytes(rows) for _, rows in GLYPHS)
    offsets = [8 * i for i in range(len(GLYPHS))]
    # The data's size for rows padded to 1, 2, 4 and 8 bytes.
    sizes = [len(GLYPHS) * 8 * pad for pad in (1, 2, 4, 8)]
    return (struct.pack("<ii", BITS_MSB, len(GLYPHS)) + struct.pack(f"<{len(GLYPHS)}i", *offsets) +
            struct.pack("<4i", *sizes) + data)


def encodings():
    first, last = 0x20, 0x41
    index = [0xFFFF] * (last - first + 1)
    for i, (code, _) in enumerate(GLYPHS):
        index[code - first] = i
    return (struct.pack("<ihhhhh", LSB, first, last, 0, 0, 0x20) +
            struct.pack(f"<{len(index)}H", *index))


def main(path):
    tables = [(PROPERTIES, LSB, properties()), (ACCELERATORS, LSB, accelerators()),
              (METRICS, LSB, metrics()), (BITMAPS, BITS_MSB, bitmaps()),
              (BDF_ENCODINGS, LSB, encodings())]
    offset = 8 + 16 * len(tables)
    toc, body = b"", b""
    for kind, fmt, data in tables:
        data += b"\0" * (-len(data) % 4)
        toc += struct.pack("<iiii", kind, fmt, len(data), offset)
        body += data
        offset += len(data)
    with open(path, "wb") as f:
        f.write(b"\1fcp" + struct.pack("<i", len(tables)) + toc + body)


if __name__ == "__main__":
    main(sys.argv[1])
