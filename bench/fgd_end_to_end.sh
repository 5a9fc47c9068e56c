#!/usr/bin/env bash
# Whole runs of one sheet: each reader family on a dense file of its own (about 24 MB,
# made by bench/dense_fgd.py from the published mesh 503041), timed from the start of
# `terralinea run --jobs 1` (one core) to its end, and with --jobs 2 (a second thread
# converts the file ahead). Prints MB/s of GML per family, the best of `rounds` runs, and
# the size of the sheet written.
# usage: bash bench/fgd_end_to_end.sh [rounds] [MB]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
size=${2:-24}
bin=$PWD/build/bin/terralinea
real=../shared/testdata/real/fgd-vector/FG-GML-503041-ALL-20181001.zip
[ -f "$real" ] || { echo "published mesh 503041 not found: $real"; exit 1; }
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
echo "work folder: $work"
/usr/bin/python3 bench/dense_fgd.py "$real" "$work/data" "$size"
mkdir -p "$work/out" "$work/empty"

echo "cores: $(nproc); best of $rounds runs, one sheet; MB/s of GML with --jobs 1 (one core) and --jobs 2"
printf "%-20s %-8s %8s %8s %9s %9s %9s\n" family element "GML MB" seconds "MB/s" "jobs 2" "sheet MB"
while read -r family element tree items; do
  data=$work/data/$family
  fgd=$work/empty basic=$work/empty
  if [ "$tree" = fgd ]; then fgd=$data; else basic=$data; fi
  settings=$work/$family.trl
  "$bin" init "$settings" --force >/dev/null
  /usr/bin/python3 - "$settings" "$fgd" "$basic" "$work" "$family" "$items" <<'EOF'
import re, sys
sys.path.insert(0, "tools")
from settings_values import set_values
path, fgd, basic, work, name, items = sys.argv[1:]
empty = work + "/empty"
# The family's items on and the other items of its class off, in both trees.
text = open(path, encoding="cp932").read()
on = {}
for section in ("GSI-OnOff", "KKJ-OnOff"):
    body = text.split("[%s]" % section, 1)[1].split("\n[", 1)[0]
    keys = re.findall(r"^(%s-[^=]*)=" % items.split("-")[0], body, re.M)
    on[section] = {k: "1" if k.startswith(items) else "0" for k in keys}
set_values(path, {**on,
    "kihon": {"readfolder": fgd, "kkjfolder": basic, "meshfolder": empty, "syoufolder": empty,
              "writefolder": work + "/out", "printer": "Terralinea Paper", "yousi": "A3"},
    "area": {"namae": name, "yokodiv": "1", "tatediv": "1", "zahyokei": "6", "kita": "83400000",
             "minami": "74300000", "nisi": "-81000000", "higasi": "-69600000"}})
EOF
  # best JOBS: the shortest of `rounds` runs, interleaved with the other job count.
  declare -A best=()
  for ((r = 1; r <= rounds; r++)); do
    for jobs in 1 2; do
      start=$(date +%s.%N)
      "$bin" run "$settings" --yes --quiet --jobs "$jobs" >/dev/null 2>&1
      end=$(date +%s.%N)
      best[$jobs]=$(awk -v s="$start" -v e="$end" -v b="${best[$jobs]:-}" \
        'BEGIN { t = e - s; if (b != "" && b < t) t = b; printf "%.4f", t }')
    done
  done
  bytes=$(cat "$data"/*.xml | wc -c)
  sheet=$(stat -c %s "$work/out/$family.dxf")
  awk -v f="$family" -v e="$element" -v b="$bytes" -v t="${best[1]}" -v t2="${best[2]}" -v s="$sheet" \
    'BEGIN { printf "%-20s %-8s %8.1f %8.3f %9.1f %9.1f %9.1f\n", f, e, b / 1e6, t, b / 1e6 / t, b / 1e6 / t2, s / 1e6 }'
done <"$work/data/families.txt"
