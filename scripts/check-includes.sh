#!/bin/sh
# Fails when an #include under src/ points up the layer order below, or from one subsystem to
# another subsystem's window header (ui/) at any level, and prints each such line.
#
# The order, lowest first; a folder may include its own level and every level below it:
#   core < engine < app < object < regime < results < (analyser tools docs report store tuning import) < shell
# The subsystems of one level (the brackets) may use each other's models. No subsystem includes
# another's windows (ui/), whatever their levels: a window reaches another subsystem's window
# through app/ui's views, which every window may include. The allow-list below names the only
# exceptions:
#   shell/*                         the composition root: it makes every window
#   store/ui/newot.h                the new-object window is the general-data form of
#     -> object/ui/generaldataform.h  object/ with the name entry, so it holds that form
set -e
cd "$(dirname "$0")/../src"
grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]*/' . | awk '
BEGIN {
    n = split("core engine app object regime results analyser:6 tools:6 docs:6 report:6 store:6 tuning:6 import:6 shell:7", order, " ")
    for (i = 1; i <= n; i++) {
        split(order[i], p, ":")
        rank[p[1]] = (p[2] != "") ? p[2] : i - 1
    }
    allowed["store/ui/newot.h object/ui/generaldataform.h"] = 1
    bad = 0
}
{
    file = $0; sub(/:.*/, "", file); sub(/^\.\//, "", file)
    from = file; sub(/\/.*/, "", from)
    if (file == "main.cpp") next
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
    to = target; sub(/\/.*/, "", to)
    if (!(from in rank) || !(to in rank)) {
        printf "src/%s: unknown layer in the include of \"%s\"\n", substr($0, 3), target
        bad++
        next
    }
    up = rank[to] > rank[from]
    across = to != from && to != "app" && from != "shell" && target ~ /\/ui\// && !((file " " target) in allowed)
    if (up || across) {
        printf "src/%s\n", substr($0, 3)
        bad++
    }
}
END {
    if (bad) { printf "%d include(s) point up the layers or across to another subsystem'"'"'s window\n", bad; exit 1 }
    print "includes: every one points down the layers, none to another subsystem'"'"'s window"
}'
