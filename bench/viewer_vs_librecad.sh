#!/usr/bin/env bash
# The viewer's first image against a CAD program printing the same file, timed in the same
# run: `orbiscope --export` (load, compile, one frame, PNG) best of three, and
# `librecad dxf2pdf -a` under Xvfb once, on a generated 100 MB drawing and on converter
# sheets (the demo sheet; Genkai Island with dense buildings and contours when the
# published data is there). Then load, compile and redraw of each sheet in the viewer.
# Usage: bash bench/viewer_vs_librecad.sh [build]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v librecad >/dev/null || { echo "librecad not installed (apt-get install librecad)"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/cfg" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$work/cfg" "$work/run" "$work/out"
chmod 700 "$work/run"

files=()
"$build/bin/viewer_load_bench" --write "$work/large.dxf" && files+=("$work/large.dxf")
[ -f demo-out/地図/demoA0.dxf ] && files+=("demo-out/地図/demoA0.dxf")
genkai=../shared/testdata/real/fgd-vector/FG-GML-503041-ALL-20181001
if [ -d "$genkai" ]; then
  "$build/bin/terralinea" init "$work/genkai.trl" --force >/dev/null
  /usr/bin/python3 - "$work" "$genkai" <<'PY'
import sys
sys.path.insert(0, "tools")
from settings_values import set_values
work, data = sys.argv[1], sys.argv[2]
set_values(work + "/genkai.trl", {
    "kihon": {"readfolder": data, "meshfolder": work, "kkjfolder": work, "syoufolder": work,
              "writefolder": work + "/out", "printer": "Terralinea Paper", "yousi": "A3"},
    "area": {"namae": "genkai", "zahyokei": "6", "kita": "77400000", "minami": "74300000",
             "nisi": "-75300000", "higasi": "-69600000", "yokodiv": "1", "tatediv": "1"},
})
PY
  "$build/bin/terralinea" run "$work/genkai.trl" --yes --quiet >/dev/null && files+=("$work/out/genkai.dxf")
fi

best() {  # best wall time of three runs, seconds
  local best=999999
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || return 1; t1=$(date +%s.%N)
    best=$(/usr/bin/python3 -c "print(min($best, $t1 - $t0))")
  done
  echo "$best"
}
once() {
  local t0 t1
  t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || { echo "failed"; return 0; }; t1=$(date +%s.%N)
  /usr/bin/python3 -c "print($t1 - $t0)"
}

printf "%-14s %9s %12s %10s %14s\n" file MB orbiscope MB/s "librecad pdf"
for f in "${files[@]}"; do
  mb=$(/usr/bin/python3 -c "import os; print(round(os.path.getsize('$f') / 1e6, 1))")
  ours=$(best "$build/bin/orbiscope" --export "$work/o.png" --size 1600x1000 "$f")
  theirs=$(once timeout 900 xvfb-run -a librecad dxf2pdf -a -o "$work/l.pdf" "$f")
  printf "%-14s %9s %11.3fs %10.0f %13ss\n" "$(basename "$f")" "$mb" "$ours" "$(/usr/bin/python3 -c "print($mb / $ours)")" "$theirs"
done
for f in "${files[@]}"; do
  echo "--- $(basename "$f"): load, compile, one frame (model tab, first layout) at 1600 x 1000"
  VIEWER_BENCH_FILE="$f" "$build/bin/viewer_gl_bench" --benchmark_filter='Sheet' 2>/dev/null | grep -E '^(Load|Compile|Redraw)'
done
