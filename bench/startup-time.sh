#!/bin/sh
# Start-up to a mapped main window: the workbench on a program folder with the demo objects
# against an empty Qt window and against a Qt window with a menu and a line of text (the
# floor of any window that shows text: Qt loads its fonts before mapping it), each started
# RUNS times under one X server, interleaved; prints the medians.
#
#   xvfb-run -a bench/startup-time.sh [BUILDDIR] [RUNS]
set -e
BUILD=$(cd "${1:-build}" && pwd)
RUNS=${2:-15}
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
"$BUILD/kalvaro-cli" demo "$HOME_DIR" >/dev/null

# seconds from the start until a window of that title is mapped, watched over one X
# connection (a poll with a new client every few milliseconds floods the server)
time_one() {  # time_one TITLE COMMAND...
  "$BUILD/bench/map_watch" "$@" 2>>"$HOME_DIR/run.log" || { cat "$HOME_DIR/run.log" >&2; exit 1; }
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

for what in bare text kalvaro; do
  : >"$HOME_DIR/$what.times"
done
i=0
while [ $i -lt "$RUNS" ]; do
  time_one "Kalvaro bare" "$BUILD/bench/bare_window" >>"$HOME_DIR/bare.times"
  time_one "Kalvaro bare" "$BUILD/bench/bare_window" --text >>"$HOME_DIR/text.times"
  time_one "Kalvaro" "$BUILD/kalvaro" --home "$HOME_DIR" >>"$HOME_DIR/kalvaro.times"
  i=$((i + 1))
done
bare=$(median <"$HOME_DIR/bare.times")
text=$(median <"$HOME_DIR/text.times")
full=$(median <"$HOME_DIR/kalvaro.times")
echo "bare Qt window: $bare s, with a menu and text: $text s, workbench: $full s (medians of $RUNS)"
echo "ratio to the bare window $(echo "scale=2; $full / $bare" | bc), to the window with text $(echo "scale=2; $full / $text" | bc)"
