#!/usr/bin/env bash
# The main job on the project's own sample data: builds, generates a fictional area in the
# published file layout (vector GML and 10 m DEM) when it is not there yet, writes a
# settings file with the program defaults for a 2 x 2 sheet area over it, checks it, runs
# the converter, audits every sheet and the index drawing with an independent DXF reader
# and renders the first sheet with the viewer (drawing and page). Output goes to ./demo-out
# (the sheets in demo-out/地図).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
out=demo-out
mkdir -p "$out/地図" "$out/国土数値情報" "$out/国土基本情報"
if [ ! -d "$out/基盤地図情報" ] || [ ! -d "$out/標高データ" ]; then
  /usr/bin/python3 tools/make_demo_data.py "$out"
fi
bin=build/bin/terralinea
settings="$out/demo.trl"
"$bin" init "$settings" --force
/usr/bin/python3 tools/demo_settings.py "$settings" "$out"
echo "--- terralinea check $settings"
"$bin" check "$settings"
echo "--- terralinea run $settings"
"$bin" run "$settings" --yes
echo "--- independent audit of the sheets (ezdxf)"
/usr/bin/python3 tests/tools/dxf_audit.py "$out"/地図/*.dxf && echo "all sheets pass"
echo "--- preview of the first sheet in the viewer, without a display:"
build/bin/orbiscope --info "$out/地図/demoA0.dxf" | head -7
build/bin/orbiscope --export "$out/demoA0-model.png" --size 1600x1000 "$out/地図/demoA0.dxf"
build/bin/orbiscope --export "$out/demoA0-layout.png" --tab 1 --size 1600x1130 "$out/地図/demoA0.dxf"
echo "preview images: $out/demoA0-model.png (drawing) and $out/demoA0-layout.png (printed page)"
ls -l "$out/地図"
