#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan) and runs each one for
# FUZZ_SECONDS (default 60), one at a time, printing its executions and coverage.
#   scripts/fuzz.sh [target ...]      targets: png jpeg vorbis theora workbook companion
# Environment: FUZZ_SECONDS, FUZZ_BUILD (default build-fuzz), FUZZ_NICE (default 19),
# FUZZ_NO_BUILD (set: no rebuild).
# Seeds are made from data/ and tests/ under $FUZZ_BUILD/seeds on the first run; the growing
# corpora live in $FUZZ_BUILD/corpus, crashing inputs in $FUZZ_BUILD/artifacts/<target>/.
# Exits 1 when a target found a crash.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
nicety=${FUZZ_NICE:-19}
all=(png jpeg vorbis theora workbook companion)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

for t in "${targets[@]}"; do
  case " ${all[*]} " in *" $t "*) ;; *) echo "fuzz.sh: unknown target '$t' (known: ${all[*]})" >&2; exit 2 ;; esac
done

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTIRLAN_FUZZ=ON -DTIRLAN_SANITIZE="address;undefined" \
  -DTIRLAN_BUILD_TESTS=OFF -DTIRLAN_BUILD_BENCH=OFF >/dev/null
# FUZZ_NO_BUILD=1 runs the targets as last built.
[ -n "${FUZZ_NO_BUILD:-}" ] || cmake --build "$build" -j "${JOBS:-2}" --target "${targets[@]/#/fuzz_}" >/dev/null

# ---- seeds -------------------------------------------------------------------------------
seeds=$build/seeds
make_seeds() {
  local t=$1 dir=$seeds/$1
  [ -d "$dir" ] && return 0
  mkdir -p "$dir.tmp"
  case $t in
    png)
      cp "$root"/data/skin/*.png "$dir.tmp"/
      for f in "$root"/data/puzzles/*.png; do [ "$(stat -c %s "$f")" -le 65536 ] && cp "$f" "$dir.tmp"/; done
      ;;
    jpeg)
      local src=$root/data/puzzles/121.png
      convert "$src" "$dir.tmp/rgb.jpg"
      convert "$src" -colorspace Gray "$dir.tmp/grey.jpg"
      convert "$src" -colorspace CMYK "$dir.tmp/cmyk.jpg"
      convert "$src" -interlace JPEG "$dir.tmp/progressive.jpg"
      convert "$src" -sampling-factor 4:2:0 -quality 30 "$dir.tmp/subsampled.jpg"
      ;;
    vorbis)
      for f in "$root"/data/sounds/*.ogg; do [ "$(stat -c %s "$f")" -le 32768 ] && cp "$f" "$dir.tmp"/; done
      ffmpeg -v error -f lavfi -i "sine=f=440:d=0.3:sample_rate=8000" -c:a libvorbis -ac 1 "$dir.tmp/mono.ogg"
      ffmpeg -v error -f lavfi -i "sine=f=660:d=0.2:sample_rate=22050" -c:a libvorbis -ac 2 "$dir.tmp/stereo.ogg"
      ;;
    theora)
      ffmpeg -v error -f lavfi -i "testsrc=size=32x32:rate=12" -frames:v 6 -c:v libtheora "$dir.tmp/small.ogg"
      ffmpeg -v error -f lavfi -i "testsrc=size=48x24:rate=12" -frames:v 3 -c:v libtheora -pix_fmt yuv444p "$dir.tmp/444.ogg"
      ffmpeg -v error -f lavfi -i "testsrc=size=40x30:rate=12" -frames:v 1 -c:v libtheora "$dir.tmp/one-frame.ogg"
      ;;
    workbook)
      cp "$root"/tests/results/fresh-workbook.xls "$dir.tmp"/
      printf '<?xml version="1.0"?><Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet"><Worksheet ss:Name="A"><Table><Row><Cell><Data ss:Type="String">x</Data></Cell></Row></Table></Worksheet></Workbook>' >"$dir.tmp/small.xls"
      ;;
    companion)
      python3 - "$dir.tmp" <<'PY'
import sys, zipfile
d = sys.argv[1]
with zipfile.ZipFile(d + "/stored.zip", "w", zipfile.ZIP_STORED) as z:
    z.writestr("140", b"stored entry 140")
    z.writestr("7", b"seven")
with zipfile.ZipFile(d + "/deflated.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("900", b"deflated entry " * 20)
    z.writestr("65535", b"last id")
    z.writestr("dir/1", b"not an id")
PY
      ;;
  esac
  mv "$dir.tmp" "$dir"
}

status=0
summary=()
for t in "${targets[@]}"; do
  make_seeds "$t"
  corpus=$build/corpus/$t
  artifacts=$build/artifacts/$t
  logs=$build/logs/$t
  mkdir -p "$corpus" "$artifacts" "$logs"
  rm -f "$logs"/fuzz-*.log
  extra=()
  [ -f "$root/fuzz/$t.dict" ] && extra+=("-dict=$root/fuzz/$t.dict")
  echo "== fuzz_$t for ${seconds}s"
  set +e
  (cd "$logs" && ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0" nice -n "$nicety" "$build/fuzz/fuzz_$t" "$corpus" "$seeds/$t" \
    -max_total_time="$seconds" -jobs=1 -workers=1 -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "${extra[@]}" >"$logs/driver.log" 2>&1)
  rc=$?
  set -e
  log=$(ls "$logs"/fuzz-*.log 2>/dev/null | head -1 || true)
  [ -n "$log" ] || log=$logs/driver.log
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  execs=$(grep -E '^stat::number_of_executed_units' "$log" | tail -1 | awk '{print $2}' || true)
  line="fuzz_$t: ${last:-no stats} | executions ${execs:-?}"
  if [ $rc -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|libFuzzer)|runtime error|SUMMARY: ' "$log"; then
    line="$line | FOUND A CRASH: see $log and $artifacts/"
    status=1
  fi
  echo "$line"
  summary+=("$line")
done

echo "== summary"
printf '%s\n' "${summary[@]}"
exit $status
