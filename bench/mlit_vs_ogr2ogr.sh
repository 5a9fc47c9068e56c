#!/usr/bin/env bash
# The National Land Numerical Information readers against `ogr2ogr -f DXF` on the same
# generated files (bench/mlit_bench.cpp writes them in the layout of tests/data/mlit).
# A file is timed with ogr2ogr only when GDAL finds a layer with geometry in it; in the
# JPGIS layout the geometry stands apart from the feature objects that refer to it by
# xlink, and GDAL's GML driver may find none.
# Usage: bash bench/mlit_vs_ogr2ogr.sh [build/bin]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build/bin}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/mlit_bench" --generate "$work/in" >/dev/null

echo "ogr2ogr -f DXF ($(ogr2ogr --version 2>/dev/null || echo 'not installed'))"
for file in "$work"/in/*.xml; do
  name=$(basename "$file")
  mb=$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.1f", b / 1e6 }')
  if ! command -v ogr2ogr >/dev/null; then
    echo "  $name: not timed, ogr2ogr not installed"
    continue
  fi
  # Layers whose geometry type is not None, and their feature count.
  read -r layers features < <(ogrinfo -ro -al -so "$file" 2>/dev/null |
    awk '/^Geometry: / { g = ($2 != "None") } /^Feature Count: / { if (g) { l++; n += $3 } }
         END { print l + 0, n + 0 }')
  rm -f "${file%.xml}.gfs"
  if [ "$layers" -eq 0 ] || [ "$features" -eq 0 ]; then
    echo "  $name ($mb MB): GDAL reads no feature with geometry; not timed"
    continue
  fi
  start=$(date +%s.%N)
  ogr2ogr -f DXF "$work/ogr.dxf" "$file" >/dev/null 2>&1 || echo "  $name: ogr2ogr failed"
  end=$(date +%s.%N)
  awk -v n="$name" -v mb="$mb" -v s="$start" -v e="$end" -v f="$features" \
    'BEGIN { printf "  %s (%s MB, %d features): %.2f s, %.1f MB/s\n", n, mb, f, e - s, mb / (e - s) }'
  rm -f "$work/ogr.dxf" "${file%.xml}.gfs"
done

echo "Terralinea readers (bench/mlit_bench.cpp, same generator):"
"$bin/mlit_bench" --benchmark_counters_tabular=true
