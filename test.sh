#!/usr/bin/env bash
# Installs what is missing, builds the game and runs the whole test suite:
# the normal build, then the suite again under AddressSanitizer + UndefinedBehaviorSanitizer,
# then the threaded parts (tests labelled "threads": sound, video, the loop) under ThreadSanitizer.
# TIRLAN_SKIP_SANITIZERS=1 runs only the normal build (for a quick local check).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps

jobs=$(nproc 2>/dev/null || echo 2)
total_passed=0
total_failed=0

# build_and_test FOLDER [ctest arguments...] [-- cmake -D options...]
build_and_test() {
  local dir=$1; shift
  local ctest_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do ctest_args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  echo "== $dir"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs"
  if [ "$(cd "$dir" && ctest -N "${ctest_args[@]}" | sed -n 's/^Total Tests: //p')" = 0 ]; then
    echo "(no tests selected in $dir)"
    return 0
  fi
  local status=0
  (cd "$dir" && ctest --output-on-failure -j "$jobs" "${ctest_args[@]}") 2>&1 | tee "$dir.ctest.log" || status=$?
  local line failed count
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir.ctest.log" | tail -n 1 || true)
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  count=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  if [ -n "$line" ]; then
    total_failed=$((total_failed + failed))
    total_passed=$((total_passed + count - failed))
  fi
  return $status
}

summary() { echo "suite: $total_passed passed, $total_failed failed"; }
trap summary EXIT

build_and_test build
if [ "${TIRLAN_SKIP_SANITIZERS:-0}" != 1 ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  build_and_test build-asan -LE e2e -- -DTIRLAN_SANITIZE="address;undefined" -DTIRLAN_BUILD_BENCH=OFF
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  build_and_test build-tsan -L threads -- -DTIRLAN_SANITIZE=thread -DTIRLAN_BUILD_BENCH=OFF
fi
