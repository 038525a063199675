#!/usr/bin/env bash
# Idle CPU of the real game window under Xvfb: starts the executable on a private X server,
# lets it settle, measures its CPU time over a few seconds from /proc/<pid>/stat, then closes
# it with Alt+F4 and checks that it ends. Not run by the tests.
#
#   bench/idle_window.sh [path/to/tirlan] [seconds]     (default: build/tirlan, 5 s)
#
# Prints the CPU share in percent and fails when it is 1% or more or the window does not close.
set -euo pipefail
exe=${1:-build/tirlan}
seconds=${2:-5}
display=:$((90 + RANDOM % 9))
for tool in Xvfb xdotool; do
  command -v "$tool" > /dev/null || { echo "needs $tool (apt-get install xvfb xdotool)"; exit 2; }
done
[ -x "$exe" ] || { echo "no executable at $exe"; exit 2; }

Xvfb "$display" -screen 0 800x600x24 > /dev/null 2>&1 &
xvfb=$!
game=
cleanup() {
  [ -n "$game" ] && kill "$game" 2> /dev/null || true
  kill "$xvfb" 2> /dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation > /dev/null 2>&1 && break; sleep 0.1; done

"$exe" > /dev/null 2>&1 &
game=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '00734' 2> /dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear"; exit 1; }
sleep 2 # start-up work (decoding, first frame) is not idle time

ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
percent=$(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / s }')
echo "idle CPU: ${percent}% over ${seconds} s"

xdotool windowfocus --sync "$window" > /dev/null 2>&1 || true
# Real key presses (XTEST) to the focused window; the release may find the window gone.
xdotool key alt+F4 > /dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$game" 2> /dev/null || break; sleep 0.1; done
if kill -0 "$game" 2> /dev/null; then
  echo "the window did not close on Alt+F4"
  exit 1
fi
wait "$game" && status=0 || status=$?
game=
echo "closed on Alt+F4, exit status $status"
awk -v p="$percent" 'BEGIN { exit !(p < 1.0) }' || { echo "idle CPU is 1% or more"; exit 1; }
