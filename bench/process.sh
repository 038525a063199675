#!/usr/bin/env bash
# Whole-process figures of the real executable under Xvfb, measured from outside:
#   - time from process start to the first presented frame (TIRLAN_TRACE_FIRST_FRAME), median of 3;
#   - idle CPU (utime + stime from /proc/<pid>/stat) over IDLE_SECONDS on each still screen
#     the program has: the start screen, a puzzle with the mouse still, the results screen;
#   - CPU during the first 16 s of the spoken instruction (not skipped);
#   - peak resident memory (VmHWM) just before Alt+F4, and that Alt+F4 ends the program.
#
#   bench/process.sh path/to/tirlan [results-file]
#
# Writes one line per figure, "name|value|budget|PASS, FAIL or INFO", to results-file
# (default: standard output). Exits 2 when it cannot measure at all (no Xvfb, no executable).
# Screens are reached with real X input (xdotool): a name typed, Enter, Esc skips the
# instruction; the screen after the game (the results screen) is reached by solving the three puzzles from screenshots
# (bench/solve_puzzle.py), and is reported as not reached when that fails.
set -uo pipefail
exe=${1:?usage: process.sh path/to/tirlan [results-file]}
out=${2:-/dev/stdout}
here=$(cd "$(dirname "$0")" && pwd)
idle_seconds=${IDLE_SECONDS:-10}
instruction_seconds=16
settle_seconds=2

for tool in Xvfb xdotool xwd; do
  command -v "$tool" > /dev/null || { echo "needs $tool (apt-get install xvfb xdotool x11-apps)" >&2; exit 2; }
done
[ -x "$exe" ] || { echo "no executable at $exe" >&2; exit 2; }

work=$(mktemp -d /tmp/tirlan-process-XXXXXX)
display=:$((110 + RANDOM % 80))
xvfb=
game=
cleanup() {
  [ -n "$game" ] && kill "$game" 2> /dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT

: > "$work/figures"
figure() { echo "$1|$2|$3|$4" >> "$work/figures"; }

Xvfb "$display" -screen 0 800x600x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation > /dev/null 2>&1 || { echo "Xvfb did not start" >&2; exit 2; }
# A private data folder: the run writes its results file there, not in the user's.
export XDG_DATA_HOME=$work/data
mkdir -p "$XDG_DATA_HOME"

# Starts the game (stderr to $work/stderr) and waits for its window; sets $game and $window.
start_game() {
  "$@" "$exe" > /dev/null 2> "$work/stderr" &
  game=$!
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '00734' 2> /dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ]
}

# Ends the game with Alt+F4; true when it is gone within 10 s.
close_game() {
  xdotool windowfocus --sync "$window" > /dev/null 2>&1
  xdotool key alt+F4 > /dev/null 2>&1
  for _ in $(seq 100); do kill -0 "$game" 2> /dev/null || break; sleep 0.1; done
  if kill -0 "$game" 2> /dev/null; then
    kill "$game" 2> /dev/null
    wait "$game" 2> /dev/null
    game=
    return 1
  fi
  wait "$game" 2> /dev/null
  game=
  return 0
}

hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat" 2> /dev/null; }
# CPU share in percent of one core over $1 seconds.
cpu_over() {
  local before after
  before=$(ticks)
  sleep "$1"
  after=$(ticks)
  [ -n "$before" ] && [ -n "$after" ] || { echo "n/a"; return; }
  awk -v t=$((after - before)) -v hz="$hz" -v s="$1" 'BEGIN { printf "%.2f", 100 * t / hz / s }'
}
idle_figure() {
  local percent
  sleep "$settle_seconds"
  percent=$(cpu_over "$idle_seconds")
  if [ "$percent" = n/a ]; then
    figure "idle CPU, $1" "n/a" "< 1 %" FAIL
  else
    figure "idle CPU, $1" "$percent %" "< 1 %" "$(awk -v p="$percent" 'BEGIN { print (p < 1.0) ? "PASS" : "FAIL" }')"
  fi
}

# ---- first frame: three fresh starts, the median ----
frames=()
for run in 1 2 3; do
  if start_game env TIRLAN_TRACE_FIRST_FRAME=1; then
    for _ in $(seq 50); do grep -q '^first frame' "$work/stderr" && break; sleep 0.1; done
    ms=$(sed -n 's/^first frame \([0-9]*\) ms$/\1/p' "$work/stderr" | head -n 1)
    [ -n "$ms" ] && frames+=("$ms")
    close_game
  else
    [ -n "$game" ] && kill "$game" 2> /dev/null
    game=
  fi
done
if [ ${#frames[@]} -eq 3 ]; then
  median=$(printf '%s\n' "${frames[@]}" | sort -n | sed -n 2p)
  figure "first frame (median of 3: ${frames[*]} ms)" "$median ms" "<= 300 ms" \
    "$([ "$median" -le 300 ] && echo PASS || echo FAIL)"
else
  figure "first frame" "n/a (${#frames[@]} of 3 runs traced)" "<= 300 ms" FAIL
fi

# ---- one run through the screens ----
if ! start_game; then
  figure "screens run" "the window did not appear" "-" FAIL
else
  xdotool windowfocus --sync "$window" > /dev/null 2>&1
  xdotool mousemove --window "$window" 790 590 > /dev/null 2>&1
  if [ "${TIRLAN_HAS_START_SCREEN:-0}" = 1 ]; then
    idle_figure "start screen"
    xdotool type --delay 60 "Bench" > /dev/null 2>&1
    xdotool key Return > /dev/null 2>&1
  fi
  # The instruction runs now (at once when there is no start screen yet).
  percent=$(cpu_over "$instruction_seconds")
  figure "CPU, first ${instruction_seconds} s of the instruction" "$percent %" "-" INFO
  xdotool key Escape > /dev/null 2>&1
  sleep 1
  xdotool mousemove --window "$window" 790 590 > /dev/null 2>&1
  idle_figure "puzzle, mouse still"

  if command -v /usr/bin/python3 > /dev/null && /usr/bin/python3 -c 'import numpy, PIL' 2> /dev/null; then
    if /usr/bin/python3 "$here/solve_puzzle.py" "$window" "$here/../data" > "$work/solver.log" 2>&1; then
      sleep 6 # the praise plays, then the results screen comes
      idle_figure "results screen"
    else
      figure "idle CPU, results screen" "not reached: $(tail -n 1 "$work/solver.log")" "< 1 %" FAIL
    fi
  else
    figure "idle CPU, results screen" "not measured (needs python3-numpy python3-pil)" "< 1 %" FAIL
  fi

  peak_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$game/status" 2> /dev/null)
  if [ -n "$peak_kb" ]; then
    peak_mb=$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')
    figure "peak resident memory (VmHWM)" "$peak_mb MB" "< 80 MB" \
      "$(awk -v m="$peak_mb" 'BEGIN { print (m < 80) ? "PASS" : "FAIL" }')"
  else
    figure "peak resident memory (VmHWM)" "n/a" "< 80 MB" FAIL
  fi
  if close_game; then
    figure "Alt+F4 ends the program" "yes" "ends" PASS
  else
    figure "Alt+F4 ends the program" "no (killed)" "ends" FAIL
  fi
fi

cat "$work/figures" > "$out"
