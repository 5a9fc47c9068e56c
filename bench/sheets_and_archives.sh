#!/usr/bin/env bash
# Whole runs of 2 x 2 sheets timed in the same session: the published mesh 503041 (Genkai
# island) and the demo area, with --jobs 1 against --jobs 2, and the same data read from
# zip archives against the extracted files. Each variant runs `rounds` times, interleaved;
# the best time of each counts. Needs build/bin/terralinea; the published archive is read
# from ../shared/testdata/real when it is there.
# usage: bash bench/sheets_and_archives.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-3}
bin=$PWD/build/bin/terralinea
real=../shared/testdata/real/fgd-vector/FG-GML-503041-ALL-20181001.zip
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
echo "work folder: $work"

# settings FILE READFOLDER MESHFOLDER NAME KEY=VALUE...: a settings file from the defaults.
settings() {
  local file=$1 read=$2 mesh=$3 name=$4
  shift 4
  "$bin" init "$file" --force >/dev/null
  /usr/bin/python3 - "$file" "$read" "$mesh" "$work/out" "$name" "$@" <<'EOF'
import os, sys
sys.path.insert(0, "tools")
from settings_values import set_values
path, read, mesh, out, name, *extra = sys.argv[1:]
empty = os.path.join(os.path.dirname(out), "empty")
values = {"kihon": {"readfolder": read, "meshfolder": mesh, "kkjfolder": empty, "syoufolder": empty,
                    "writefolder": out, "printer": "Terralinea Paper", "yousi": "A3"},
          "area": {"namae": name, "yokodiv": "2", "tatediv": "2"}}
for pair in extra:
    section_key, value = pair.split("=", 1)
    section, key = section_key.split(".")
    values.setdefault(section, {})[key] = value
set_values(path, values)
EOF
}

# A zip archive of a folder's files (deflated, names as stored by the data's publisher).
pack() {
  /usr/bin/python3 - "$1" "$2" <<'EOF'
import os, sys, zipfile
folder, archive = sys.argv[1:]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for root, _, files in os.walk(folder):
        for f in sorted(files):
            full = os.path.join(root, f)
            z.write(full, os.path.relpath(full, folder))
EOF
}

cases=()
mkdir -p "$work/out" "$work/empty"
if [ -f "$real" ]; then
  mkdir -p "$work/genkai/extracted" "$work/genkai/archive"
  unzip -q "$real" -d "$work/genkai/extracted/FG-GML-503041-ALL-20181001"
  cp "$real" "$work/genkai/archive/"
  for form in extracted archive; do
    settings "$work/genkai-$form.trl" "$work/genkai/$form" "$work/genkai/$form" genkai \
      area.zahyokei=6 area.kita=83400000 area.minami=74300000 area.nisi=-81000000 area.higasi=-69600000
  done
  cases+=(genkai)
else
  echo "published mesh 503041 not found: only the demo area is timed"
fi
/usr/bin/python3 tools/make_demo_data.py "$work/demo" >/dev/null
mkdir -p "$work/demo-archive/fgd" "$work/demo-archive/dem"
pack "$work/demo/基盤地図情報" "$work/demo-archive/fgd/demo-fgd.zip"
pack "$work/demo/標高データ" "$work/demo-archive/dem/demo-dem.zip"
demo_area=(area.zahyokei=33 area.kita=-35000000 area.minami=-37000000 area.nisi=-8000000 area.higasi=-6000000
  area.kasane=10 kihon.syukusyaku=15 alti.alti10=1 alti.cont10=1 tiikimesh.cb=1 tiikimesh.keta=2)
settings "$work/demo-extracted.trl" "$work/demo/基盤地図情報" "$work/demo/標高データ" demo "${demo_area[@]}"
settings "$work/demo-archive.trl" "$work/demo-archive/fgd" "$work/demo-archive/dem" demo "${demo_area[@]}"
cases+=(demo)

# best[variant] = the shortest wall time in seconds.
declare -A best
timed() {
  local variant=$1
  shift
  local start end
  start=$(date +%s.%N)
  "$bin" "$@" --yes --quiet >/dev/null
  end=$(date +%s.%N)
  best[$variant]=$(awk -v s="$start" -v e="$end" -v b="${best[$variant]:-}" \
    'BEGIN { t = e - s; if (b != "" && b < t) t = b; printf "%.3f", t }')
}
for ((r = 1; r <= rounds; r++)); do
  for c in "${cases[@]}"; do
    timed "$c extracted jobs1" run "$work/$c-extracted.trl" --jobs 1
    timed "$c extracted jobs2" run "$work/$c-extracted.trl" --jobs 2
    timed "$c archive jobs1" run "$work/$c-archive.trl" --jobs 1
  done
done
echo "cores: $(nproc); best of $rounds rounds, wall seconds"
for c in "${cases[@]}"; do
  e1=${best["$c extracted jobs1"]} e2=${best["$c extracted jobs2"]} a1=${best["$c archive jobs1"]}
  awk -v c="$c" -v e1="$e1" -v e2="$e2" -v a1="$a1" 'BEGIN {
    printf "%-7s jobs 1 %6.3f s  jobs 2 %6.3f s  speed-up %4.2f x (target >= 1.7)\n", c, e1, e2, e1 / e2
    printf "%-7s extracted %6.3f s  archive %6.3f s  ratio %4.2f (target <= 1.3)\n", c, e1, a1, a1 / e1 }'
done
