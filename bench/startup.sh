#!/bin/bash
# Times whole tgw processes against bare_glyph, a one-glyph FreeType program built beside the
# benchmarks, and prints each as a ratio to that floor:
#   - tgw render --font-kind ascii5x7 A          (start-up with a built-in font)
#   - tgw --version
#   - a one-glyph build from a generated 5 MB BDF (against bare_glyph opening it once)
#   - tgw build --set gb2312 -j1 with WenQuanYi Micro Hei (against bare_glyph rendering the same
#     codes; the set's unassigned codes are private-use characters no installed face has)
#
#   bench/startup.sh BUILD_DIR [OTHER_TGW ...]
#
# BUILD_DIR holds src/cli/tgw and bench/bare_glyph; every OTHER_TGW (an older build, say) is
# timed in the same run. Uses hyperfine when it is installed, else repeated runs timed here
# (wall: the median of the runs; CPU: user + system of the children). RUNS (default 40) is the
# number of runs of each start-up row.
#
# The GB2312 build comes last, in GB_RUNS rounds (default 20) of bare_glyph and every tgw in
# turn, timed here whether hyperfine is installed or not.
set -euo pipefail
build=${1:?usage: bench/startup.sh BUILD_DIR [OTHER_TGW ...]}
shift
tgws=("$build/src/cli/tgw" "$@")
bare="$build/bench/bare_glyph"
runs=${RUNS:-40}
gb_runs=${GB_RUNS:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dejavu=$(fc-match -f '%{file}' 'DejaVu Sans')
wqy=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei')
# The characters of GB2312 as the program numbers them: the unassigned codes become private-use
# characters from U+E766 on.
gb2312=$(python3 -c '
pua = 0xE766
out = []
for b1 in range(0xA1, 0xF8):
    for b2 in range(0xA1, 0xFF):
        try:
            out.append(ord(bytes([b1, b2]).decode("gbk")))
        except UnicodeDecodeError:
            out.append(pua)
            pua += 1
print(" ".join(hex(c) for c in out))')
python3 - "$work/big.bdf" <<'PY'
import sys
count = 30000
with open(sys.argv[1], "w") as f:
    f.write("STARTFONT 2.1\nFONT -bench-big-medium-r-normal--16-160-75-75-c-160-iso10646-1\n"
            "SIZE 16 75 75\nFONTBOUNDINGBOX 16 16 0 -2\nSTARTPROPERTIES 2\nFONT_ASCENT 14\n"
            f"FONT_DESCENT 2\nENDPROPERTIES\nCHARS {count}\n")
    for i in range(count):
        code = 0x4E00 + i
        f.write(f"STARTCHAR u{code:04X}\nENCODING {code}\nSWIDTH 1000 0\nDWIDTH 16 0\n"
                "BBX 16 16 0 -2\nBITMAP\n")
        f.write("".join(f"{(code * 2654435761 >> r) & 0xFFFF:04X}\n" for r in range(16)))
        f.write("ENDCHAR\n")
    f.write("ENDFONT\n")
PY

# Prints "wall_ms cpu_ms" of a command, the median wall time of $runs runs.
measure() {
    local runs=$1
    shift
    if command -v hyperfine >/dev/null; then
        hyperfine -N --runs "$runs" --export-json "$work/h.json" -- "$(printf '%q ' "$@")" \
            >/dev/null 2>&1
        python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]
print("%.3f %.3f" % (r["median"]*1e3, (r["user"]+r["system"])*1e3))' "$work/h.json"
        return
    fi
    python3 - "$runs" "$@" <<'PY'
import os, statistics, subprocess, sys, time
runs, cmd = int(sys.argv[1]), sys.argv[2:]
walls, cpus = [], []
for _ in range(runs + 2):
    start = time.perf_counter()
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(p.pid, 0)
    walls.append(time.perf_counter() - start)
    cpus.append(usage.ru_utime + usage.ru_stime)
walls, cpus = walls[2:], cpus[2:]  # the first runs warm the caches
print("%.3f %.3f" % (statistics.median(walls) * 1e3, statistics.median(cpus) * 1e3))
PY
}

row() { # label floor_wall floor_cpu runs command...
    local label=$1 fw=$2 fc=$3 runs=$4
    shift 4
    read -r w c < <(measure "$runs" "$@")
    python3 -c 'import sys; l,w,c,fw,fc=sys.argv[1],*map(float,sys.argv[2:])
print("%-58s %9.2f ms wall %6.2fx   %9.2f ms cpu %6.2fx" % (l, w, w/fw, c, c/fc))' \
        "$label" "$w" "$c" "$fw" "$fc"
}

read -r bw bc < <(measure "$runs" "$bare" "$dejavu" 16 65)
printf '%-58s %9.2f ms wall            %9.2f ms cpu\n' "floor: bare_glyph DejaVu Sans 'A'" "$bw" "$bc"
read -r bdfw bdfc < <(measure 10 "$bare" "$work/big.bdf" 16 0x4E00)
printf '%-58s %9.2f ms wall            %9.2f ms cpu\n' "floor: bare_glyph 5 MB BDF, one glyph" "$bdfw" "$bdfc"
for t in "${tgws[@]}"; do
    echo "== $t"
    row "render --font-kind ascii5x7 A (vs bare_glyph)" "$bw" "$bc" "$runs" \
        "$t" render --font-kind ascii5x7 A
    row "--version (vs bare_glyph)" "$bw" "$bc" "$runs" "$t" --version
    row "build, one glyph of the 5 MB BDF (vs bare_glyph on it)" "$bdfw" "$bdfc" 10 \
        "$t" build --font-file "$work/big.bdf" --range 0x4E00 --format c -o "$work/one.c" --quiet
done

# The GB2312 build: bare_glyph and every tgw run in turn, round after round, so that the machine
# slowing down or speeding up meanwhile moves them alike. The ratios are the medians of each
# round's ratio to the floor's run in that round, with the middle half of them in brackets.
# shellcheck disable=SC2086
printf '%q ' "$bare" "$wqy" 16 $gb2312 >"$work/gb.cmds"
for t in "${tgws[@]}"; do
    {
        echo
        printf '%q ' "$t" build --set gb2312 --face "WenQuanYi Micro Hei" --width 16 --height 16 \
            --format bin -j 1 -o "$work/gb.bin" --quiet
    } >>"$work/gb.cmds"
done
echo "== build --set gb2312 WenQuanYi 16 -j1 against bare_glyph on the same codes" \
    "($gb_runs rounds, wall time, no callgrind)"
python3 - "$gb_runs" "$work/gb.cmds" <<'PY'
import os, shlex, statistics, subprocess, sys, time
runs = int(sys.argv[1])
cmds = [shlex.split(line) for line in open(sys.argv[2]) if line.strip()]
walls = [[] for _ in cmds]
cpus = [[] for _ in cmds]
for n in range(runs + 2):
    for i, cmd in enumerate(cmds):
        start = time.perf_counter()
        p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(p.pid, 0)
        if n >= 2:  # the first rounds warm the caches
            walls[i].append(time.perf_counter() - start)
            cpus[i].append(usage.ru_utime + usage.ru_stime)
med = statistics.median
print("%-40s %9.2f ms wall                    %9.2f ms cpu"
      % ("floor: bare_glyph", med(walls[0]) * 1e3, med(cpus[0]) * 1e3))
for i in range(1, len(cmds)):
    wr = [w / f for w, f in zip(walls[i], walls[0])]
    cr = [c / f for c, f in zip(cpus[i], cpus[0])]
    q = statistics.quantiles(wr, n=4)
    print("%-40s %9.2f ms wall %6.3fx [%.3f-%.3f] %9.2f ms cpu %6.3fx"
          % (cmds[i][0], med(walls[i]) * 1e3, med(wr), q[0], q[2], med(cpus[i]) * 1e3, med(cr)))
PY
