#!/usr/bin/env bash
# The main job on the project's own sample settings: builds, writes a settings file with
# the program defaults, fills in a small area, checks it as the start command would and
# prints the run values. Output goes to ./demo-out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/build.sh
out=demo-out
mkdir -p "$out/地図" "$out/基盤地図情報" "$out/標高データ" "$out/国土数値情報" "$out/国土基本情報"
bin=build/bin/terralinea
settings="$out/demo.trl"
"$bin" init "$settings" --force
/usr/bin/python3 tools/demo_settings.py "$settings" "$out"
echo "--- terralinea check $settings"
"$bin" check "$settings"
echo "--- plane coordinates of Tokyo Station in system 9 (metres)"
"$bin" bltoxy --zone 9 --unit m 139.767125 35.681236
