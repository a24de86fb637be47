#!/usr/bin/python3
"""Writes the manual page and the bash completion of tgw from tgw's own --help texts, so that
both list exactly the commands and options the built program has.

    tgw_docs.py TGW_BINARY VERSION MAN_OUT COMPLETION_OUT
"""
import re
import subprocess
import sys

# Options whose value is a file name (besides those CLI11 types as FILE).
FILE_OPTIONS = {"-o", "--output", "--picture", "--project", "--text-file", "--settings",
                "--font-file", "--file"}


class Option:
    def __init__(self, names, value, help_text):
        self.names = names          # ["-o", "--output"]
        self.value = value          # "TEXT", "INT:INT in [0 - 3]", "" for a flag
        self.help = help_text

    @property
    def choices(self):
        m = re.search(r"\{([^}]*)\}", self.value)
        return m.group(1).split(",") if m else []

    @property
    def takes_file(self):
        return "FILE" in self.value or any(n in FILE_OPTIONS for n in self.names)


class Command:
    def __init__(self, path, summary, usage, options, subcommands):
        self.path = path            # ["send", "serial"]
        self.summary = summary
        self.usage = usage
        self.options = options
        self.subcommands = subcommands


def run_help(tgw, path):
    out = subprocess.run([tgw, *path, "--help"], capture_output=True, text=True, check=True)
    return out.stdout


def parse(tgw, path=()):
    text = run_help(tgw, list(path))
    lines = text.splitlines()
    summary = lines[0].strip() if lines and not lines[0].startswith("Usage:") else ""
    usage = ""
    section = None
    options, subs = [], []
    for line in lines:
        if line.startswith("Usage:"):
            usage = re.sub(r"^Usage: \S+", "tgw", line.strip())
            continue
        if re.match(r"^\S.*:$", line):
            section = line[:-1]
            continue
        if not line.strip():
            continue
        m = re.match(r"^  (\S.*?)(?:\s{2,}(.*))?$", line)
        if m and not line.startswith("   "):
            head, desc = m.group(1), m.group(2) or ""
            if section == "Options":
                names_part, _, value = head.partition(" ")
                names = names_part.split(",")
                value = re.sub(r"\s*\bREQUIRED\b", "", value).strip()
                value = re.sub(r"\s*\.\.\.$", "", value).strip()
                options.append(Option(names, value, desc))
            elif section == "Subcommands":
                subs.append((head, desc))
            elif section == "Positionals":
                pass
        elif line.startswith("   ") and section == "Options" and options:
            options[-1].help = (options[-1].help + " " + line.strip()).strip()
    commands = [Command(list(path), summary, usage, options, [s for s, _ in subs])]
    for name, _ in subs:
        commands += parse(tgw, (*path, name))
    return commands


# ---- manual page ------------------------------------------------------------------------------

def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    # Characters beyond ASCII (the program's Chinese names, symbols) as troff's named glyphs,
    # so that the page renders the same whatever input encoding troff assumes.
    text = "".join(c if ord(c) < 128 else "\\[u%04X]" % ord(c) for c in text)
    return re.sub(r"^([.'])", r"\\&\1", text)


DESCRIPTION = """\
tgw turns characters (TrueType faces and the six built-in dot fonts), strings and pictures into
glyph matrices (bitmaps of dots) for small displays, and writes them as C or assembler source, as
a binary matrix file or as a project file of the desktop program; it builds whole font libraries
and sends the data to a device over a serial port, TCP or UDP. It does the desktop program's work
without a window: for the same entries and settings the bytes it writes are the same.

Every command starts from the built-in default settings, not from the user's profile, so that a
build is reproducible; --settings FILE reads a profile INI of the desktop program as the defaults
instead, and the options then override single settings.

Where a command takes entries they are made in command-line order: a positional TEXT adds one
character entry per character, --text-file one per character of a text file, --string one string
entry, --picture one picture entry, --project every entry of a project file.

A font file stands alone: a character it lacks is blank and named in a warning on stderr, never
drawn from another face, so that the output does not depend on the fonts a machine has;
--fallback draws such characters from installed faces instead. An installed face named by --face
takes characters it lacks from other installed faces, and --allow-fallback accepts fontconfig's
substitute for a face that is not installed. A glyph whose ink does not fit its cell is warned
about too, with the side that lost dots and the --offset or --size fit that keeps them; for a
bitmap font, --size fit moves the whole set by the offset that keeps its ink inside the cell
instead of scaling it. --strict turns these warnings into failures (exit status 1)."""

EXAMPLES = [
    ("Print the matrix of two characters in the built-in 5x7 font:",
     "tgw render --font-kind ascii5x7 AB"),
    ("Write the digits as C code, 16x16 dots, dots in columns with the top dot in the high bit:",
     "tgw export --face \"DejaVu Sans\" --width 16 --height 16 --dot-order 2 0123456789 -o digits.c"),
    ("Regenerate a header from a project kept with the firmware sources:",
     "tgw export --project glyphs.tgx --format c -o glyphs.h"),
    ("See a line of a GFX font on a 128x64 OLED before flashing it, magnified with a dot grid:",
     "tgw preview --face \"DejaVu Sans\" --size 12 --format gfx --text \"Hello\" "
     "--display 128x64 --colors oled-blue --zoom 4 --grid -o hello.png"),
    ("Build the printable ASCII set as a binary library with its index:",
     "tgw build --set ascii --printable --format bin --index -o ascii.bin"),
    ("Send a picture to a device on a serial port, 64-byte packets, waiting for each reply:",
     "tgw send serial --picture logo.png --port /dev/ttyUSB0 --baud 115200 --packet-size 64"),
]


def man_page(commands, version):
    top = commands[0]
    out = [f'.TH TGW 1 "" "Tessaglyphworks {version}" "User Commands"',
           ".SH NAME",
           "tgw \\- glyph matrices for dot\\-matrix displays, without a window",
           ".SH SYNOPSIS",
           ".B tgw",
           ".I command",
           "[\\fIoptions\\fR] [\\fIentries\\fR]",
           ".br",
           ".B tgw",
           "\\-\\-help | \\-\\-version",
           ".SH DESCRIPTION"]
    for para in DESCRIPTION.split("\n\n"):
        out.append(".PP")
        out.append(roff(para.replace("\n", " ")))
    out.append(".SH COMMANDS")
    for c in commands[1:]:
        name = " ".join(c.path)
        out.append(f".SS {roff(name)}")
        if c.summary:
            out.append(roff(c.summary) + ".")
        if c.usage:
            out += [".PP", ".nf", roff(c.usage), ".fi"]
        if c.subcommands:
            out += [".PP", "Commands: " + roff(", ".join(c.subcommands)) + "."]
        for o in c.options:
            if "--help" in o.names:
                continue
            tag = ", ".join(f"\\fB{roff(n)}\\fR" for n in o.names)
            if o.value:
                tag += f" \\fI{roff(o.value)}\\fR"
            out += [".TP", tag, roff(o.help)]
    out.append(".SH OPTIONS")
    out.append("Every command takes")
    out += [".TP", "\\fB\\-h\\fR, \\fB\\-\\-help\\fR", "Print the command's help text and exit."]
    out += [".PP", "tgw itself also takes"]
    out += [".TP", "\\fB\\-\\-version\\fR", "Print the version and exit."]
    out += [".SH \"EXIT STATUS\"",
            ".TP", "0", "Success.",
            ".TP", "1", "The work failed; one line on standard error says why.",
            ".TP", "2", "A usage error: an unknown command or option, or a value out of its range."]
    out.append(".SH EXAMPLES")
    for text, cmd in EXAMPLES:
        out += [".PP", roff(text), ".PP", ".RS", ".nf", roff(cmd), ".fi", ".RE"]
    out += [".SH \"SEE ALSO\"",
            "The desktop program \\fBtessaglyphworks\\fR, which edits the same project files."]
    return "\n".join(out) + "\n"


# ---- bash completion --------------------------------------------------------------------------

def completion(commands):
    def key(c):
        return " ".join(c.path)

    lines = ["# bash completion for tgw (generated from tgw --help)",
             "",
             "_tgw() {",
             "    local cur prev",
             "    cur=${COMP_WORDS[COMP_CWORD]}",
             "    prev=${COMP_WORDS[COMP_CWORD-1]}",
             "",
             "    # The command path: the leading words that name commands.",
             "    local path='' i w",
             "    for ((i = 1; i < COMP_CWORD; i++)); do",
             "        w=${COMP_WORDS[i]}",
             "        case \"${path:+$path }$w\" in"]
    for c in commands[1:]:
        lines.append(f"        '{key(c)}') path=\"${{path:+$path }}$w\" ;;")
    lines += ["        *) [[ $w == -* ]] || [[ -z $path ]] && continue ;;",
              "        esac",
              "    done",
              "",
              "    local subs='' opts='' fileopts='' valueopts=''",
              "    case $path in"]
    for c in commands:
        opts = " ".join(n for o in c.options for n in o.names)
        files = " ".join(n for o in c.options if o.takes_file for n in o.names)
        values = " ".join(n for o in c.options if o.value for n in o.names)
        lines.append(f"    '{key(c)}')")
        lines.append(f"        subs='{' '.join(c.subcommands)}'")
        lines.append(f"        opts='{opts}'")
        lines.append(f"        fileopts='{files}'")
        lines.append(f"        valueopts='{values}'")
        lines.append("        ;;")
    lines += ["    esac", "", "    # The value of the option before the cursor.",
              "    if [[ \" $fileopts \" == *\" $prev \"* ]]; then",
              "        compopt -o filenames 2>/dev/null",
              "        COMPREPLY=($(compgen -f -- \"$cur\"))",
              "        return",
              "    fi",
              "    case \"$path $prev\" in"]
    for c in commands:
        for o in c.options:
            if o.choices:
                for n in o.names:
                    lines.append(f"    '{key(c)} {n}') COMPREPLY=($(compgen -W '{' '.join(o.choices)}' -- \"$cur\")); return ;;")
    lines += ["    esac",
              "    if [[ \" $valueopts \" == *\" $prev \"* ]]; then",
              "        COMPREPLY=()",
              "        return",
              "    fi",
              "    if [[ $cur == -* ]]; then",
              "        COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\"))",
              "    elif [[ -n $subs ]]; then",
              "        COMPREPLY=($(compgen -W \"$subs\" -- \"$cur\"))",
              "    fi",
              "}",
              "complete -F _tgw tgw",
              ""]
    return "\n".join(lines)


def main():
    tgw, version, man_out, completion_out = sys.argv[1:5]
    commands = parse(tgw)
    with open(man_out, "w", encoding="utf-8") as f:
        f.write(man_page(commands, version))
    with open(completion_out, "w", encoding="utf-8") as f:
        f.write(completion(commands))


if __name__ == "__main__":
    main()
