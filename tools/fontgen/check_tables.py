#!/usr/bin/env python3
"""Checks the built-in dot font tables that tgw-fontgen wrote, reading them back by their byte
layout alone, and draws glyphs from them as text.

    check_tables.py [DIR]                 check every table (DIR defaults to resources/fonts)
    check_tables.py [DIR] --show KIND HEX draw one glyph, e.g. --show 0 41, --show 5 D6D0

Where GNU Unifont's hex source is installed (Debian package unifont), the 8x16 table is compared
with it dot for dot, and the ideographs of the 16-pixel GB2312 table, whose WenQuanYi drawings
Unifont shares almost all of, are compared too.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DIR = os.path.normpath(os.path.join(HERE, "..", "..", "resources", "fonts"))
UNIFONT_HEX = "/usr/share/unifont/unifont.hex"

# kind: (file, cell width, cell height, glyph count, column layout)
TABLES = {
    0: ("ascii5x7.bin", 5, 7, 96, True),
    1: ("ascii5x8.bin", 5, 8, 96, False),
    2: ("ascii6x12.bin", 6, 12, 96, False),
    3: ("ascii8x16.bin", 8, 16, 96, False),
    4: ("gb2312-12.bin", 12, 12, 87 * 94, False),
    5: ("gb2312-16.bin", 16, 16, 88 * 94 + 62, False),
}


def glyph_bytes(kind):
    _, w, h, _, columns = TABLES[kind]
    return w if columns else (w + 7) // 8 * h


def position(kind, code):
    if kind <= 3:
        return code - 0x20
    return ((code >> 8) - 0xA1) * 94 + ((code & 0xFF) - 0xA1)


def decode(kind, data, pos):
    """The glyph at a position as rows of booleans, row 0 at the top."""
    _, w, h, _, columns = TABLES[kind]
    n = glyph_bytes(kind)
    g = data[pos * n:(pos + 1) * n]
    if columns:
        return [[bool(g[x] >> y & 1) for x in range(w)] for y in range(h)]
    per_row = (w + 7) // 8
    return [[bool(g[y * per_row + x // 8] & (0x80 >> (x % 8))) for x in range(w)]
            for y in range(h)]


def unused_bits_clear(kind, data, pos):
    _, w, h, _, columns = TABLES[kind]
    n = glyph_bytes(kind)
    g = data[pos * n:(pos + 1) * n]
    if columns:
        return all(b >> h == 0 for b in g)
    per_row = (w + 7) // 8
    spare = per_row * 8 - w
    return all(g[y * per_row + per_row - 1] & ((1 << spare) - 1) == 0 for y in range(h))


def stem_column(rows):
    counts = [sum(r[x] for r in rows) for x in range(len(rows[0]))]
    return counts.index(max(counts))


def art(rows):
    return "\n".join("".join("#" if d else "." for d in r) for r in rows)


def gb2312_char(pos):
    """The character GB2312 itself assigns to a position, or None."""
    b1, b2 = 0xA1 + pos // 94, 0xA1 + pos % 94
    try:
        return bytes([b1, b2]).decode("gb2312")
    except UnicodeDecodeError:
        return None


def load_unifont():
    glyphs = {}
    if not os.path.exists(UNIFONT_HEX):
        return glyphs
    with open(UNIFONT_HEX, encoding="ascii") as f:
        for line in f:
            code, _, hexdots = line.strip().partition(":")
            width = len(hexdots) // 4  # 16 rows of 8 or 16 dots
            bits = int(hexdots, 16)
            total = width * 16
            glyphs[int(code, 16)] = [[bool(bits >> (total - 1 - (y * width + x)) & 1)
                                      for x in range(width)] for y in range(16)]
    return glyphs


class Checker:
    def __init__(self):
        self.failures = 0
        self.passes = 0

    def expect(self, ok, what):
        if ok:
            self.passes += 1
        else:
            self.failures += 1
            print("FAIL:", what)


def check(directory):
    c = Checker()
    data = {}
    for kind, (name, w, h, count, _) in TABLES.items():
        path = os.path.join(directory, name)
        if not os.path.exists(path):
            c.expect(False, f"{name} missing")
            continue
        data[kind] = open(path, "rb").read()
        c.expect(len(data[kind]) == count * glyph_bytes(kind),
                 f"{name}: {len(data[kind])} bytes, want {count * glyph_bytes(kind)}")
        bad = [p for p in range(count) if not unused_bits_clear(kind, data[kind], p)]
        c.expect(not bad, f"{name}: dots outside the {w}x{h} cell at positions {bad[:5]}")

    for kind in (k for k in range(4) if k in data):
        blank = [chr(code) for code in range(0x21, 0x7F)
                 if not any(any(r) for r in decode(kind, data[kind], code - 0x20))]
        c.expect(not blank, f"kind {kind}: printable characters without dots: {blank}")
        for code in (0x20, 0x7F):
            c.expect(not any(any(r) for r in decode(kind, data[kind], code - 0x20)),
                     f"kind {kind}: code {code:#x} is not blank")
        # Capitals start at the top of the cell and every font puts descenders below the
        # baseline, so 'g' reaches lower than 'A' does.
        a = decode(kind, data[kind], ord("A") - 0x20)
        g = decode(kind, data[kind], ord("g") - 0x20)
        lowest = lambda rows: max(y for y, r in enumerate(rows) if any(r))
        c.expect(lowest(g) > lowest(a), f"kind {kind}: 'g' does not descend below 'A'")
        c.expect(lowest(g) == len(g) - 1,
                 f"kind {kind}: descender of 'g' does not reach the bottom row")

    # L has its stem on the left, J on the right: catches mirrored column order.
    for kind in (k for k in TABLES if k in data):
        l_code, j_code = (ord("L"), ord("J")) if kind <= 3 else (0xA3CC, 0xA3CA)
        c.expect(stem_column(decode(kind, data[kind], position(kind, l_code))) <
                 stem_column(decode(kind, data[kind], position(kind, j_code))),
                 f"kind {kind}: 'L' and 'J' are mirrored")

    for kind in (k for k in (4, 5) if k in data):
        _, _, _, count, _ = TABLES[kind]
        nonblank = [any(any(r) for r in decode(kind, data[kind], p)) for p in range(count)]
        user = [p for p in range(count) if 0xAA <= 0xA1 + p // 94 <= 0xAF or p >= 87 * 94]
        c.expect(not any(nonblank[p] for p in user),
                 f"kind {kind}: dots in the user-defined rows")
        lacking = [f"{0xA1 + p // 94:02X}{0xA1 + p % 94:02X}" for p in range(count)
                   if gb2312_char(p) not in (None, "\u3000") and not nonblank[p]]
        c.expect(not lacking, f"kind {kind}: GB2312 characters without dots: {lacking[:10]}")
        print(f"kind {kind}: {sum(nonblank)} positions with dots, "
              f"{sum(1 for p in range(count) if gb2312_char(p))} GB2312 characters")

    unifont = load_unifont()
    if unifont and 3 in data:
        differ = [chr(code) for code in range(0x21, 0x7F)
                  if decode(3, data[3], code - 0x20) != unifont[code]]
        c.expect(not differ, f"kind 3 differs from Unifont at {differ}")
    if unifont and 5 in data:
        same = total = 0
        for p in range((0xB0 - 0xA1) * 94, (0xF8 - 0xA1) * 94):
            ch = gb2312_char(p)
            if ch is None or ord(ch) not in unifont:
                continue
            total += 1
            same += decode(5, data[5], p) == unifont[ord(ch)]
        print(f"kind 5: {same} of {total} ideographs as Unifont draws them")
        c.expect(total > 6000 and same >= total * 0.99,
                 "kind 5 ideographs do not match Unifont's: misplaced or mis-mapped")

    print(f"{c.passes} passed, {c.failures} failed")
    return c.failures == 0


def main(argv):
    args = argv[1:]
    directory = DEFAULT_DIR
    if args and not args[0].startswith("--"):
        directory = args.pop(0)
    if args[:1] == ["--show"] and len(args) == 3:
        kind, code = int(args[1]), int(args[2], 16)
        name = TABLES[kind][0]
        data = open(os.path.join(directory, name), "rb").read()
        print(art(decode(kind, data, position(kind, code))))
        return 0
    if args:
        print(__doc__)
        return 2
    return 0 if check(directory) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
