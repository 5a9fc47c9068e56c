#!/usr/bin/env bash
# Builds the libFuzzer targets of the readers (the "fuzz" preset: clang, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 600), two at a time under
# nice, on a corpus seeded from the fixtures and, where present, the published files in
# ../shared/testdata/real (copied into the build folder at run time, never committed).
#   bash tools/fuzz.sh [SECONDS] [TARGET...]
# Per target, build-fuzz/runs/TARGET holds corpus/, faults/ (the inputs that failed) and
# log; the closing table gives the time, executions and faults of each.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
all=(fgd_gml_fuzz mlit_fuzz fgd_dem_fuzz etopo_fuzz settings_file_fuzz item_files_fuzz viewer_dxf_fuzz)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
real=../shared/testdata/real
runs=build-fuzz/runs

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

# Seeds of the dispatched readers start with the file name line (see fuzz/fuzz_input.h).
named() {
  local out=$1 f
  shift
  for f in "$@"; do
    [ -f "$f" ] || continue
    { printf '%s\n' "$(basename "$f")"; cat "$f"; } >"$out/$(basename "$f").seed"
  done
}
plain() {
  local out=$1 f
  shift
  for f in "$@"; do [ -f "$f" ] && cp "$f" "$out/" || true; done
}
seed() {
  local corpus=$runs/$1/corpus
  mkdir -p "$corpus"
  shopt -s nullglob globstar
  case $1 in
    fgd_gml_fuzz) named "$corpus" tests/data/fgd/*.xml "$real"/fgd-vector/**/*.xml ;;
    mlit_fuzz) named "$corpus" tests/data/mlit/*.xml ;;
    fgd_dem_fuzz) plain "$corpus" tests/data/elevation/*.xml "$real"/fgd-dem/**/*.xml ;;
    etopo_fuzz) /usr/bin/python3 -c 'import struct,sys; sys.stdout.buffer.write(struct.pack("<8f", 12.5, -4.9, -5, 3776, -10994, float("nan"), float("inf"), 1e30) * 128)' >"$corpus/rows" ;;
    settings_file_fuzz) plain "$corpus" data/*.trl ;;
    item_files_fuzz) plain "$corpus" data/*.txt tests/data/items/*.txt ;;
    viewer_dxf_fuzz) /usr/bin/python3 tests/viewer/ezdxf_drawings.py "$corpus" >/dev/null ;;
  esac
  shopt -u nullglob globstar
}

run() {
  local t=$1 dir=$runs/$1
  mkdir -p "$dir/faults"
  seed "$t"
  local dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  # Seeds longer than max_len are read cut short, which is a fault worth trying too.
  nice -n 15 "build-fuzz/bin/$t" "$dir/corpus" "${dict[@]}" -max_total_time="$seconds" -max_len=65536 -timeout=30 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/faults/" >"$dir/log" 2>&1 || true
}

summary() {
  local t dir execs faults
  printf '%-20s %8s %12s %7s\n' target seconds executions faults
  for t in "${targets[@]}"; do
    dir=$runs/$t
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
    faults=$(find "$dir/faults" -type f | wc -l)
    printf '%-20s %8s %12s %7s\n' "$t" "$seconds" "${execs:-?}" "$faults"
  done
}

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[i]}" &
  [ $((i + 1)) -lt ${#targets[@]} ] && run "${targets[i + 1]}" &
  wait
done
summary
