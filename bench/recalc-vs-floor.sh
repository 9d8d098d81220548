#!/bin/sh
# Times `kalvaro-cli recalc` of a 1,000-regime object against the durable floor
# (bench/recalc_floor.cpp) side by side, and counts the system calls of each per regime.
#
#   bench/recalc-vs-floor.sh [BUILDDIR] [WORKDIR] [RUNS] [varied|copies]
#
# WORKDIR decides the file system measured: a disk folder (the default, under /var/tmp)
# includes the cost of fdatasync; /dev/shm shows the program's own overhead.
# The object holds 1,000 varied regimes by default: the six regimes of the demo's school in
# turn, each with its own gas flow, flue-gas temperature and O2, so the loads, the sort and
# the results differ from regime to regime as in a real object. "copies" makes them 1,000
# copies of one regime instead (every load equal).
set -e
BUILD=$(cd "${1:-build}" && pwd)
WORK=${2:-/var/tmp}
RUNS=${3:-5}
KIND=${4:-varied}
REGIMES=1000
CLI="$BUILD/kalvaro-cli"
FLOOR="$BUILD/bench/recalc_floor"
[ -x "$CLI" ] && [ -x "$FLOOR" ] || { echo "build kalvaro-cli and recalc_floor first" >&2; exit 2; }

ROOT=$(mktemp -d "$WORK/kalvaro-bench.XXXXXX")
trap 'rm -rf "$ROOT"' EXIT
"$CLI" demo "$ROOT/demo" >/dev/null
SRC="$ROOT/demo/Все объекты/Котельная школы №3"
OBJ="$ROOT/Big"
mkdir "$OBJ"
cp "$SRC/OData.txt" "$SRC/Ediny.txt" "$OBJ/"
n=1
while [ $n -le $REGIMES ]; do
  if [ "$KIND" = copies ]; then
    cp "$SRC/Режим №  1.Dat" "$OBJ/Режим №  $n.Dat"
  else
    # regime n: the school's regime (n mod 6) + 1, its gas flow (line 1) scaled by up to
    # +-10 %, its flue-gas temperature (line 18) and O2 (line 14) moved a little
    awk -v n=$n 'BEGIN { ORS = "\r\n" } { sub(/\r$/, "") }
      NR == 1 { $0 = sprintf("%.4g", $0 * (0.9 + (n % 41) / 200)) }
      NR == 14 { $0 = sprintf("%.3g", $0 + (n % 7) / 10) }
      NR == 18 { $0 = sprintf("%.4g", $0 + (n % 23) - 11) }
      { print }' "$SRC/Режим №  $(( (n - 1) % 6 + 1 )).Dat" > "$OBJ/Режим №  $n.Dat"
  fi
  cp "$SRC/РасчетРежим №  1.Dat" "$OBJ/РасчетРежим №  $n.Dat"
  n=$((n + 1))
done
printf ' %s\r\n' $REGIMES > "$OBJ/Col_R.txt"
printf ' %s\r\n' $REGIMES > "$OBJ/Col_RAll.txt"

now() { date +%s.%N; }
# median wall time of RUNS runs, the two programs taking turns
times_cli=""; times_floor=""
"$CLI" recalc "$OBJ" >/dev/null; "$FLOOR" "$OBJ" >/dev/null   # warm the page cache
i=0
while [ $i -lt "$RUNS" ]; do
  t0=$(now); "$CLI" recalc "$OBJ" >/dev/null; t1=$(now)
  "$FLOOR" "$OBJ" >/dev/null; t2=$(now)
  times_cli="$times_cli $(echo "$t1 - $t0" | bc -l)"
  times_floor="$times_floor $(echo "$t2 - $t1" | bc -l)"
  i=$((i + 1))
done
median() { printf '%s\n' $1 | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
mc=$(median "$times_cli"); mf=$(median "$times_floor")
# the program's start alone (loading Qt and the libraries), to tell it from the per-regime work
times_start=""; i=0
while [ $i -lt "$RUNS" ]; do
  t0=$(now); "$CLI" --version >/dev/null; t1=$(now)
  times_start="$times_start $(echo "$t1 - $t0" | bc -l)"
  i=$((i + 1))
done
ms=$(median "$times_start")

calls() {
  strace -f -c -o "$ROOT/strace.txt" "$@" >/dev/null
  awk '/^[ -]+$/ {next} $NF=="total" {print $4}' "$ROOT/strace.txt"
}
echo "file system: $(df -T "$WORK" | awk 'NR==2 {print $2}') ($WORK), $REGIMES regimes ($KIND), median of $RUNS runs"
printf 'kalvaro-cli recalc: %.3f s\n' "$mc"
printf 'durable floor:      %.3f s\n' "$mf"
printf 'ratio:              %.2f\n' "$(echo "$mc / $mf" | bc -l)"
printf 'start of kalvaro-cli alone: %.3f s; ratio without it: %.2f\n' "$ms" "$(echo "($mc - $ms) / $mf" | bc -l)"
if command -v strace >/dev/null; then
  sc=$(calls "$CLI" recalc "$OBJ"); sf=$(calls "$FLOOR" "$OBJ")
  echo "system calls: recalc $sc ($(echo "scale=1; $sc / $REGIMES" | bc) per regime), floor $sf ($(echo "scale=1; $sf / $REGIMES" | bc) per regime)"
  strace -f -c -o "$ROOT/strace.txt" "$CLI" recalc "$OBJ" >/dev/null
  echo "recalc, by call:"; sed -n '3,20p' "$ROOT/strace.txt"
fi
