#!/usr/bin/env bash
# Contours of the published 10 m tile 5437-45 (1125 x 750 cells) at a 10 m interval:
# the whole `terralinea run` of one sheet over the tile against `gdal_contour -i 10` alone
# on the same cell-centre samples, timed in the same run (best of three each).
# Usage: bash bench/contours_vs_gdal.sh [build/bin/terralinea]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin/terralinea}
tile=../shared/testdata/real/fgd-dem/FG-GML-543745-DEM10B-20161001.zip
[ -f "$tile" ] || { echo "published tile not found: $tile"; exit 0; }
work=${BENCH_WORK:-$(mktemp -d)}
[ -n "${BENCH_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dem" "$work/out" "$work/cfg"
unzip -q -o "$tile" -d "$work/dem"
xml=$(ls "$work"/dem/*.xml | head -1)

# The samples as an ASCII grid (cell centres, no-data -9999) for GDAL.
/usr/bin/python3 - "$xml" "$work/tile.asc" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
lat0, lon0 = map(float, re.search(r"<gml:lowerCorner>([^<]+)<", text).group(1).split())
lat1, lon1 = map(float, re.search(r"<gml:upperCorner>([^<]+)<", text).group(1).split())
cols, rows = (int(v) + 1 for v in re.search(r"<gml:high>([^<]+)<", text).group(1).split())
sx, sy = map(int, re.search(r"<gml:startPoint>([^<]+)<", text).group(1).split())
tuples = re.search(r"<gml:tupleList>(.*?)</gml:tupleList>", text, re.S).group(1).split()
values = ["-9999"] * (cols * rows)
for i, t in enumerate(tuples, start=sy * cols + sx):
    values[i] = t.split(",")[1]
with open(sys.argv[2], "w") as f:
    f.write(f"ncols {cols}\nnrows {rows}\nxllcorner {lon0}\nyllcorner {lat0}\n")
    f.write(f"dx {(lon1 - lon0) / cols!r}\ndy {(lat1 - lat0) / rows!r}\nNODATA_value -9999\n")
    for r in range(rows):
        f.write(" ".join(values[r * cols:(r + 1) * cols]) + "\n")
PY

# One sheet over the tile in system VII, filling the paper; legend by hand: 10 m from 0.
settings="$work/alps.trl"
XDG_CONFIG_HOME="$work/cfg" "$bin" init "$settings" --force >/dev/null
edges=$(for p in "137.625 36.3333333333" "137.75 36.4166666667" "137.625 36.4166666667" "137.75 36.3333333333"; do
  "$bin" bltoxy --zone 7 $p; done)
/usr/bin/python3 - "$settings" "$work" "$edges" <<'PY'
import sys
sys.path.insert(0, "tools")
from settings_values import set_values
path, work, edges = sys.argv[1], sys.argv[2], sys.argv[3].split()
xs, ys = [float(v) for v in edges[0::2]], [float(v) for v in edges[1::2]]
values = {
    "kihon": {"meshfolder": work + "/dem", "writefolder": work + "/out", "readfolder": work, "kkjfolder": work,
              "syoufolder": work, "printer": "Terralinea Paper",
              "yousi": "A3", "syukusyaku": "0"},
    "alti": {"cont10": "1", "taisyo": "1", "jido": "0"},
    # The sheet lies just inside the tile, so every contour crosses real samples.
    "area": {"namae": "alps", "zahyokei": "25", "kita": str(int(max(xs)) - 1), "minami": str(int(min(xs)) + 1),
             "nisi": str(int(min(ys)) + 1), "higasi": str(int(max(ys)) - 1), "yokodiv": "1", "tatediv": "1"},
    "kankaku": {"A0": "10000"},
    "kamen": {"A0": "0"},
}
set_values(path, values)
PY

best() {  # best wall time of three runs of the command, in seconds
  local best=999999
  for _ in 1 2 3; do
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }; t1=$(date +%s.%N)
    best=$(/usr/bin/python3 -c "print(min($best, $t1 - $t0))")
  done
  echo "$best"
}
ours=$(best env XDG_CONFIG_HOME="$work/cfg" "$bin" run "$settings" --yes --quiet)
theirs=$(best sh -c "rm -f '$work/gdal.shp' '$work/gdal.shx' '$work/gdal.dbf' '$work/gdal.prj'; gdal_contour -q -i 10 -a elev '$work/tile.asc' '$work/gdal.shp'")
echo "terralinea run (sheet with contours, 10 m): ${ours} s"
echo "gdal_contour -i 10 (contours alone):       ${theirs} s"
lines=$(tr -d '\r' < "$work/out/alps.dxf" | grep -c -x LWPOLYLINE || true)
echo "terralinea polylines: $lines; gdal features: $(ogrinfo -so -al "$work/gdal.shp" | sed -n 's/^Feature Count: //p')"
/usr/bin/python3 bench/contour_lengths.py "$work/out/alps.dxf" "$work/gdal.shp" "$work/tile.asc"
