#!/usr/bin/env bash
# Installs the build under a fresh prefix and checks what a desktop user gets there: both
# programs answer --version and --help, the converter finds its data and its main window
# under the prefix, the menu entries are valid and Orbiscope is offered for DXF files.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install_test: $*" >&2; exit 1; }
for f in bin/terralinea bin/orbiscope share/terralinea/kibanchizu-tree.txt share/terralinea/maplink.txt \
         share/applications/terralinea.desktop share/applications/orbiscope.desktop \
         share/icons/hicolor/scalable/apps/terralinea.svg share/icons/hicolor/scalable/apps/orbiscope.svg \
         share/mime/packages/terralinea-mime.xml share/doc/terralinea/README.md; do
  [[ -e "$prefix/$f" ]] || fail "missing $f"
done
[[ ! -e "$prefix/bin/data" ]] || fail "data folder beside the installed programs"

for p in terralinea orbiscope; do
  "$prefix/bin/$p" --version | grep -qi "^$p " || fail "$p --version"
  "$prefix/bin/$p" --help | grep -q "$p" || fail "$p --help"
done

# The installed converter reads its item files from the prefix: a settings file written
# by `init` holds the layer keys of the shipped trees.
env -u TERRALINEA_DATA XDG_CONFIG_HOME="$prefix/config" "$prefix/bin/terralinea" init "$prefix/x.trl" >/dev/null
iconv -f CP932 -t UTF-8 "$prefix/x.trl" | grep -q "AdmArea" || fail "init did not see the installed item files"

# The main window comes from a module under the prefix: the installed program loads it
# and is still running its window when stopped (offscreen, no display needed).
status=0
env -u TERRALINEA_DATA XDG_CONFIG_HOME="$prefix/config" QT_QPA_PLATFORM=offscreen \
  timeout 3 "$prefix/bin/terralinea" >"$prefix/window.log" 2>&1 || status=$?
[[ $status -eq 124 ]] || fail "the installed main window did not stay open (status $status): $(cat "$prefix/window.log")"
! grep -q "cannot be loaded" "$prefix/window.log" || fail "main window module not found"
[[ -e "$prefix/lib/terralinea/terralinea-window.so" ]] || fail "missing lib/terralinea/terralinea-window.so"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/terralinea.desktop"
  desktop-file-validate "$prefix/share/applications/orbiscope.desktop"
fi
grep -q "^MimeType=image/vnd.dxf;" "$prefix/share/applications/orbiscope.desktop" || fail "orbiscope not for DXF"
echo "install_test: ok ($prefix)"
