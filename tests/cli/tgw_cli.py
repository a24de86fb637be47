"""What the end-to-end tests of tgw share: the binary under test, running it, and reading the
matrices that `tgw render` prints."""
import os
import subprocess
import sys

# The test scripts are run as `python3 SCRIPT TGW [unittest arguments]`.
TGW = sys.argv.pop(1)


def tgw(*args, text=True, cwd=None, env=None, preexec_fn=None):
    """Runs tgw with `args`; output as text, or as bytes with text=False."""
    return subprocess.run([TGW, *args], capture_output=True, text=text, cwd=cwd,
                          env=dict(os.environ, **(env or {})), preexec_fn=preexec_fn)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def matrices(output):
    """Parses the render output into [(name, size, rows)]."""
    out = []
    for block in output.strip("\n").split("\n\n"):
        lines = block.split("\n")
        name, size = lines[0].rsplit(" ", 1)
        out.append((name, size, lines[1:]))
    return out
