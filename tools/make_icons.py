#!/usr/bin/env python3
"""Writes the tool bar icons under resources/icons as small SVG files.

The icons are drawn here from a few shapes (a page, a dot matrix, arrows, letters) so that the
program ships a consistent set whose licence is its own. Run it again after changing a shape.
"""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "icons")

INK = "#2b3a55"
DOT = "#2e9e4f"
RED = "#c0392b"
PAPER = "#ffffff"


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">'
            + body + "</svg>\n")


def page(extra=""):
    return (f'<path d="M3 1.5h7l3 3v10H3z" fill="{PAPER}" stroke="{INK}"/>'
            f'<path d="M10 1.5v3h3" fill="none" stroke="{INK}"/>' + extra)


def matrix(pattern, x0=2, y0=2, step=3, r=1.1, color=DOT):
    """Dots of a pattern of '#' and '.' rows."""
    out = []
    for j, row in enumerate(pattern):
        for i, ch in enumerate(row):
            fill = color if ch == "#" else "#d5dbe3"
            out.append(f'<circle cx="{x0 + i * step + 1}" cy="{y0 + j * step + 1}" r="{r}" fill="{fill}"/>')
    return "".join(out)


def arrow(direction, color=INK):
    paths = {
        "up": "M8 2l4 5H9.5v7h-3V7H4z",
        "down": "M8 14l4-5H9.5V2h-3v7H4z",
        "left": "M2 8l5-4v2.5h7v3H7V12z",
        "right": "M14 8l-5-4v2.5H2v3h7V12z",
    }
    return f'<path d="{paths[direction]}" fill="{color}"/>'


def letter(text, size=9, x=8, y=12, color=INK, weight="bold"):
    return (f'<text x="{x}" y="{y}" font-family="sans-serif" font-size="{size}" '
            f'font-weight="{weight}" text-anchor="middle" fill="{color}">{text}</text>')


def turn(back):
    """A curved arrow: back (undo) bends to the left, forward (redo) to the right."""
    if back:
        return (f'<path d="M5 6h5a3.5 3.5 0 0 1 0 7H6" fill="none" stroke="{INK}" stroke-width="2"/>'
                f'<path d="M1 6l5-4v8z" fill="{INK}"/>')
    return (f'<path d="M11 6H6a3.5 3.5 0 0 0 0 7h4" fill="none" stroke="{INK}" stroke-width="2"/>'
            f'<path d="M15 6l-5-4v8z" fill="{INK}"/>')


def plus(color=DOT):
    return f'<path d="M11 9h2v2h2v2h-2v2h-2v-2H9v-2h2z" fill="{color}" stroke="{PAPER}" stroke-width=".5"/>'


def cross():
    return f'<path d="M10 9l5 5M15 9l-5 5" stroke="{RED}" stroke-width="2"/>'


GLYPH = ["#...#", ".#.#.", "..#..", ".#.#.", "#...#"]

ICONS = {
    "new": page(),
    "open": f'<path d="M1.5 4.5h5l1 1.5h6v8h-12z" fill="#f4d27a" stroke="{INK}"/>'
            f'<path d="M3 14.5l2-6h10l-2 6z" fill="#f9e3a3" stroke="{INK}"/>',
    "save": f'<path d="M2 2h10l2 2v10H2z" fill="#5b7db1" stroke="{INK}"/>'
            f'<rect x="4.5" y="2.5" width="6" height="4" fill="{PAPER}"/>'
            f'<rect x="4" y="9" width="8" height="4.5" fill="{PAPER}"/>',
    "undo": turn(True),
    "redo": turn(False),
    "add_chars": letter("字", 11, 7, 12) + plus(),
    "add_string": letter("Ab", 8, 7, 10) + plus(),
    "add_picture": f'<rect x="1.5" y="2.5" width="11" height="9" fill="#cfe8ff" stroke="{INK}"/>'
                   f'<path d="M2 11l3-4 2 2 2-3 3 5z" fill="{DOT}"/>' + plus(),
    "delete_selected": matrix(["##.", "#..", "..."], 1, 1, 4, 1.4) + cross(),
    "delete_all": matrix(["###", "###", "###"], 1, 1, 4, 1.4) + cross(),
    "export_code": page(letter("C", 7, 8, 12)),
    "export_library": page('<rect x="5" y="7" width="6" height="5" fill="' + INK + '"/>'),
    "font": letter("A", 14, 6, 14, "serif") + letter("a", 9, 12, 14),
    "threshold": '<circle cx="8" cy="8" r="6" fill="#ffffff" stroke="' + INK + '"/>'
                 '<path d="M8 2a6 6 0 0 1 0 12z" fill="' + INK + '"/>',
    "code_format": letter("{ }", 10, 8, 12),
    "select_all": matrix(GLYPH, 2, 2, 2.6, 1.0) + f'<rect x=".5" y=".5" width="15" height="15" fill="none" stroke="{INK}" stroke-dasharray="2 1"/>',
    "clear_selection": matrix(GLYPH, 2, 2, 2.6, 1.0, "#d5dbe3"),
    "invert_selection": matrix(["#.#.#", ".#.#.", "#.#.#", ".#.#.", "#.#.#"], 2, 2, 2.6, 1.0),
    "mouse_edit": f'<path d="M3 13l1-3 7-7 2 2-7 7z" fill="#f4d27a" stroke="{INK}"/>',
    "invert": '<rect x="1.5" y="1.5" width="13" height="13" fill="#ffffff" stroke="' + INK + '"/>'
              '<path d="M2 2h12L2 14z" fill="' + INK + '"/>',
    "shift_up": arrow("up"),
    "shift_down": arrow("down"),
    "shift_left": arrow("left"),
    "shift_right": arrow("right"),
    "mirror_h": f'<path d="M7 2L1 14h6z" fill="{INK}"/><path d="M9 2l6 12H9z" fill="none" stroke="{INK}"/>',
    "mirror_v": f'<path d="M2 7L14 1v6z" fill="{INK}"/><path d="M2 9l12 6V9z" fill="none" stroke="{INK}"/>',
    "rotate90": letter("90", 8, 8, 11) + f'<path d="M3 4a6 6 0 0 1 10 0" fill="none" stroke="{DOT}" stroke-width="1.5"/>',
    "rotate180": letter("180", 6.5, 8, 11) + f'<path d="M3 4a6 6 0 0 1 10 0" fill="none" stroke="{DOT}" stroke-width="1.5"/>',
    "rotate270": letter("270", 6.5, 8, 11) + f'<path d="M3 4a6 6 0 0 1 10 0" fill="none" stroke="{DOT}" stroke-width="1.5"/>',
    "trim_left": f'<rect x="1" y="2" width="3" height="12" fill="{RED}"/>' + matrix(["##", "#.", "##"], 6, 3, 3.5, 1.3),
    "trim_right": f'<rect x="12" y="2" width="3" height="12" fill="{RED}"/>' + matrix(["##", ".#", "##"], 2, 3, 3.5, 1.3),
    "trim_top": f'<rect x="2" y="1" width="12" height="3" fill="{RED}"/>' + matrix(["###", "#.#"], 3, 6, 3.5, 1.3),
    "trim_bottom": f'<rect x="2" y="12" width="12" height="3" fill="{RED}"/>' + matrix(["#.#", "###"], 3, 2, 3.5, 1.3),
    "serial_selected": f'<path d="M2 5h12l-2 6H4z" fill="#9fb4d6" stroke="{INK}"/>' + matrix(["#.#"], 4, 6, 3, 0.9, INK),
    "serial_all": f'<path d="M2 5h12l-2 6H4z" fill="#9fb4d6" stroke="{INK}"/>' + matrix(["###"], 4, 6, 3, 0.9, INK),
    "help": f'<circle cx="8" cy="8" r="6.5" fill="#5b7db1"/>' + letter("?", 10, 8, 12, PAPER),
    "about": f'<circle cx="8" cy="8" r="6.5" fill="{DOT}"/>' + letter("i", 10, 8, 12, PAPER),
    "app": matrix(GLYPH, 1, 1, 3, 1.3),
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, body in ICONS.items():
        with open(os.path.join(OUT, name + ".svg"), "w") as f:
            f.write(svg(body))
    print(f"{len(ICONS)} icons written to {os.path.normpath(OUT)}")


if __name__ == "__main__":
    main()
