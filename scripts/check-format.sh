#!/bin/sh
# Fails when a line changed since the base commit does not follow .clang-format, and prints
# how it should read. Only changed lines are judged, never whole files, so code written
# before the format was fixed stays as it is until someone edits it.
#
#   scripts/check-format.sh            judge the lines changed since scripts/format-base
#   scripts/check-format.sh COMMIT     ... since COMMIT (e.g. main before your branch)
#   scripts/check-format.sh --fix [COMMIT]   reformat those lines in place
#
# Skips (and passes) where git, git-clang-format or the base commit is absent: an unpacked
# source tarball, or a shallow clone without the base.
cd "$(dirname "$0")/.."
fix=0
if [ "$1" = "--fix" ]; then fix=1; shift; fi
given=$1
base=${1:-$(sed -n 's/^\([0-9a-f]\{40\}\).*/\1/p' scripts/format-base 2>/dev/null | head -n 1)}
gcf=$(command -v git-clang-format-14 || command -v git-clang-format)
cf=$(command -v clang-format-14 || command -v clang-format)
if ! command -v git >/dev/null 2>&1 || ! git rev-parse --git-dir >/dev/null 2>&1; then
    echo "format: skipped, no git repository here"; exit 0
fi
if [ -z "$gcf" ] || [ -z "$cf" ]; then echo "format: skipped, git-clang-format is not installed"; exit 0; fi
if [ -z "$base" ] || ! git cat-file -e "$base^{commit}" 2>/dev/null; then
    echo "format: skipped, the base commit ${base:-(none)} is not in this clone"; exit 0
fi
set -- $(git diff --name-only --diff-filter=d "$base" -- 'src/*.cpp' 'src/*.h' 'cli/*.cpp' 'cli/*.h' \
    'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp')
if [ $# -eq 0 ]; then echo "format: no changed source files since ${base%"${base#???????????}"}"; exit 0; fi
if [ $fix -eq 1 ]; then
    "$gcf" --binary "$cf" --style file --force "$base" -- "$@"
    exit 0
fi
out=$("$gcf" --binary "$cf" --style file --diff "$base" -- "$@" 2>&1)
case "$out" in
"" | *"no modified files to format"* | *"did not modify any files"*)
    echo "format: the changed lines of $# file(s) follow .clang-format"; exit 0 ;;
esac
printf '%s\n' "$out"
echo "format: changed lines above do not follow .clang-format; run scripts/check-format.sh --fix $given"
exit 1
