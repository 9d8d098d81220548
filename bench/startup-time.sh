#!/bin/sh
# Start-up to a mapped main window: the workbench on a program folder with the demo objects
# against an empty Qt window, each started RUNS times under one X server; prints the medians.
#
#   xvfb-run -a bench/startup-time.sh [BUILDDIR] [RUNS]
set -e
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-15}
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
"$BUILD/kalvaro-cli" demo "$HOME_DIR" >/dev/null

# seconds from the start until a window of that title is mapped
time_one() {  # time_one TITLE COMMAND...
  title=$1
  shift
  start=$(date +%s.%N)
  "$@" >"$HOME_DIR/run.log" 2>&1 &
  pid=$!
  # polled, not --sync: that one looks only every half second
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "$* ended before its window showed:" >&2; cat "$HOME_DIR/run.log" >&2; exit 1; }
    sleep 0.005
  done
  end=$(date +%s.%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$end - $start" | bc
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

for what in bare kalvaro; do
  : >"$HOME_DIR/$what.times"
done
i=0
while [ $i -lt "$RUNS" ]; do
  time_one "^Kalvaro bare" "$BUILD/bench/bare_window" >>"$HOME_DIR/bare.times"
  time_one "^Kalvaro$" "$BUILD/kalvaro" --home "$HOME_DIR" >>"$HOME_DIR/kalvaro.times"
  i=$((i + 1))
done
bare=$(median <"$HOME_DIR/bare.times")
full=$(median <"$HOME_DIR/kalvaro.times")
echo "bare Qt window: $bare s, workbench: $full s (medians of $RUNS), ratio $(echo "scale=2; $full / $bare" | bc)"
