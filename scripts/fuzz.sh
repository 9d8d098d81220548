#!/bin/sh
# Builds the fuzz targets of the file readers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-check/ and runs each for an equal share of FUZZ_TOTAL
# (260 s by default, about 18 s a target) or for FUZZ_SECONDS each, at most FUZZ_RUNS inputs
# (50 000) from a fixed seed, starting from seeds taken from the demo and the template (the analyser's
# reading parser from the streams in fuzz/seeds/fuzz_reading). Any crash, leak,
# sanitizer report or timeout fails the run; the input is kept in build-check/findings/.
# The inputs in fuzz/regressions/<target>/ (earlier findings) are replayed first.
#
#   scripts/fuzz.sh [TARGET...]
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
B="$ROOT/build-check"
./scripts/configure-check.sh
TARGETS=${*:-"fuzz_quoted fuzz_numberlines fuzz_counter fuzz_ini fuzz_reflists fuzz_number fuzz_editor fuzz_q5file fuzz_plg fuzz_safetymap fuzz_comment fuzz_units fuzz_general fuzz_reading"}
# the whole run keeps its budget (FUZZ_TOTAL seconds, 260 by default) however many targets
# there are; FUZZ_SECONDS sets each target's time instead
COUNT=$(echo $TARGETS | wc -w)
SECONDS_EACH=${FUZZ_SECONDS:-$(( ${FUZZ_TOTAL:-260} / COUNT ))}
RUNS=${FUZZ_RUNS:-50000}
# shellcheck disable=SC2086
cmake --build "$B" -j2 --target $TARGETS

# seeds: the demo's and the template's own files of each kind, afresh each run (what an
# earlier run added would make this run try other inputs than CI's)
rm -rf "$B/corpus"
seed() {  # seed TARGET find-arguments...
  dir="$B/corpus/$1"; shift
  mkdir -p "$dir"
  find "$ROOT/demo/" "$ROOT/template" -type f "$@" -size -64k | while IFS= read -r f; do
    cp "$f" "$dir/$(printf '%s' "$f" | md5sum | cut -c1-16)"
  done
}
lines() {  # lines TARGET: each line of the demo's regime files as a seed of its own
  dir="$B/corpus/$1"; mkdir -p "$dir"
  find "$ROOT/demo/" -type f -iname '*.dat' | head -20 | while IFS= read -r f; do
    tr -d '\r' < "$f" | sort -u | while IFS= read -r l; do printf '%s' "$l" > "$dir/$(printf '%s' "$l" | md5sum | cut -c1-16)"; done
  done
}
seed fuzz_quoted \( -iname 'OData.txt' -o -iname 'Ediny.txt' -o -iname 'Bez.txt' \)
seed fuzz_numberlines -iname '*.dat'
seed fuzz_counter -iname 'Col_R*.txt'
seed fuzz_ini -iname '*.ini'
cp "$ROOT"/fuzz/seeds/fuzz_ini/* "$B/corpus/fuzz_ini/"
seed fuzz_reflists \( -iname 'Сотрудники.txt' -o -iname 'Dath.txt' -o -iname 'Koment.txt' \)
lines fuzz_number
lines fuzz_editor
mkdir -p "$B/corpus/fuzz_reading"
cp "$ROOT"/fuzz/seeds/fuzz_reading/* "$B/corpus/fuzz_reading/"
seed fuzz_q5file -iname '*q5.txt'
seed fuzz_plg -iname 'PLG.txt'
seed fuzz_safetymap -iname 'Bez.txt'
seed fuzz_comment -iname 'Koment.txt'
seed fuzz_units -iname 'Ediny.txt'
seed fuzz_general -iname 'OData.txt'

mkdir -p "$B/findings"
status=0
for t in $TARGETS; do
  reg="$ROOT/fuzz/regressions/$t"
  if [ -d "$reg" ] && [ -n "$(ls -A "$reg")" ]; then
    echo "== $t: replaying $(ls "$reg" | wc -l) earlier findings"
    "$B/fuzz/$t" "$reg"/* >"$B/findings/$t.replay.log" 2>&1 || { cat "$B/findings/$t.replay.log"; status=1; }
  fi
  echo "== $t: ${SECONDS_EACH} s"
  # a fixed seed and a fixed number of runs: every machine tries the same inputs, so a run that
  # passed here passes on CI; the time limit only guards against a slow machine
  if ! "$B/fuzz/$t" -seed=20261209 -runs="$RUNS" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$B/findings/$t-" "$B/corpus/$t" >"$B/findings/$t.log" 2>&1; then
    tail -40 "$B/findings/$t.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$B/findings/$t.log" | tr '\n' ' '; echo
  fi
done
exit $status
