#!/usr/bin/env bash
# compare.sh OLD_BIN NEW_BIN [COUNT=1000] [LINES=200]
#
# Proves that two keymora-script builds behave and paint alike: runs COUNT random sessions
# (seeds 1..COUNT, LINES command lines each) and the repository's own scripts through both
# binaries, each run in a fresh temporary folder, and compares byte for byte what each prints,
# its exit status and every PNG it paints. Prints one summary line, the first differing seeds
# with an excerpt of each difference, and exits 0 when nothing differs, 1 otherwise (2 on wrong
# use, 3 when the generator fails).
#
# Environment:
#   GEN          the keymora-session-gen to use; default: $BUILD/tools/session-gen/keymora-session-gen
#   BUILD        the build folder holding it; default: build/ at the top of the repository
#   PAINT_EVERY  passed to the generator as --paint-every (default 25)
#   JOBS         sessions run at once (default: nproc)
#   TIMEOUT      seconds one run may take before it counts as a difference (default 300)
#
# One generator serves both sides: the sessions are the generator's, the binaries only replay
# them, so build the generator once (from either tree) and point both runs at it.
set -euo pipefail

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2
    exit 2
}

[[ $# -ge 2 && $# -le 4 ]] || usage
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
OLD=$(realpath "$1")
NEW=$(realpath "$2")
COUNT=${3:-1000}
LINES=${4:-200}
GEN=${GEN:-${BUILD:-$ROOT/build}/tools/session-gen/keymora-session-gen}
PAINT_EVERY=${PAINT_EVERY:-25}
JOBS=${JOBS:-$(nproc)}
TIMEOUT=${TIMEOUT:-300}
for Bin in "$OLD" "$NEW" "$GEN"; do
    [[ -x $Bin ]] || { echo "compare.sh: not an executable: $Bin" >&2; exit 2; }
done
[[ $COUNT =~ ^[0-9]+$ && $LINES =~ ^[0-9]+$ ]] || usage
GEN=$(realpath "$GEN")

WORK=$(mktemp -d "${TMPDIR:-/tmp}/keymora-compare.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/results" "$WORK/diffs"
export OLD NEW GEN LINES PAINT_EVERY WORK TIMEOUT
START=$SECONDS

# run_side DIR SIDE BIN SCRIPT: runs SCRIPT with BIN inside DIR/SIDE, keeping its output and
# exit status beside that folder. Folders the script paints into are made first.
run_side() {
    local Dir=$1 Side=$2 Bin=$3 Script=$4 Status=0
    mkdir -p "$Dir/$Side"
    awk 'tolower($1) == "paint" && $2 ~ /\// { sub(/\/[^\/]*$/, "", $2); print $2 }' "$Script" |
        (cd "$Dir/$Side" && xargs -r mkdir -p --)
    (cd "$Dir/$Side" &&
        QT_QPA_PLATFORM=offscreen timeout "$TIMEOUT" "$Bin" "$Script" > "../$Side.out" 2> "../$Side.err") ||
        Status=$?
    echo "$Status" > "$Dir/$Side.status"
}

# compare_sides DIR: prints nothing when both sides of DIR agree, else what differs.
compare_sides() {
    local Dir=$1 F
    if ! cmp -s "$Dir/old.out" "$Dir/new.out"; then
        echo "  output differs (old <, new >):"
        diff "$Dir/old.out" "$Dir/new.out" | head -n 12 | sed 's/^/    /' | cut -c 1-200 || true
    fi
    if ! cmp -s "$Dir/old.status" "$Dir/new.status"; then
        echo "  exit status: old $(cat "$Dir/old.status"), new $(cat "$Dir/new.status")"
    fi
    (cd "$Dir/old" && find . -type f -printf '%P\n' | sort) > "$Dir/old.files"
    (cd "$Dir/new" && find . -type f -printf '%P\n' | sort) > "$Dir/new.files"
    if ! cmp -s "$Dir/old.files" "$Dir/new.files"; then
        echo "  files written differ (old <, new >):"
        diff "$Dir/old.files" "$Dir/new.files" | grep '^[<>]' | head -n 6 | sed 's/^/    /' || true
    fi
    while IFS= read -r F; do
        [[ -f $Dir/new/$F ]] || continue
        cmp -s "$Dir/old/$F" "$Dir/new/$F" || echo "  $F differs: $(cmp "$Dir/old/$F" "$Dir/new/$F" 2>&1 | head -n 1)"
    done < "$Dir/old.files"
    return 0
}

# run_session SEED: generates the session, runs it on both sides and records one result line,
# "SEED same|differs LINES PAINTS OLD_STATUS", in results/SEED.
run_session() {
    local Seed=$1 Dir="$WORK/s$1" Lines Paints Verdict=same Report
    mkdir -p "$Dir"
    if ! "$GEN" --seed "$Seed" --lines "$LINES" --paint-every "$PAINT_EVERY" > "$Dir/script.kms" 2> "$Dir/gen.err"; then
        echo "$Seed generator 0 0 0" > "$WORK/results/$Seed"
        cp "$Dir/gen.err" "$WORK/diffs/gen-$Seed"
        rm -rf "$Dir"
        return 0
    fi
    run_side "$Dir" old "$OLD" "$Dir/script.kms"
    run_side "$Dir" new "$NEW" "$Dir/script.kms"
    Report=$(compare_sides "$Dir")
    if [[ -n $Report ]]; then
        Verdict=differs
        printf 'seed %s (keymora-session-gen --seed %s --lines %s --paint-every %s):\n%s\n' \
            "$Seed" "$Seed" "$LINES" "$PAINT_EVERY" "$Report" > "$WORK/diffs/$Seed"
    fi
    Lines=$(grep -cv '^[[:space:]]*\(#.*\)\{0,1\}$' "$Dir/script.kms" || true)
    Paints=$(grep -c '^{"paint":' "$Dir/old.out" || true)
    echo "$Seed $Verdict $Lines $Paints $(cat "$Dir/old.status")" > "$WORK/results/$Seed"
    rm -rf "$Dir"
}
export -f run_side compare_sides run_session

if [[ $COUNT -gt 0 ]]; then
    seq 1 "$COUNT" | xargs -P "$JOBS" -I{} bash -c 'run_session "$1"' _ {}
fi

# The repository's scripts: every golden script (some end on an expected error), and those of
# docs/ and examples/ that keymora-script runs to their end (the pad's own need keymora-pad).
SCRIPTS=0
SCRIPT_DIFFS=()
for Script in "$ROOT"/tests/scripts/*.kms "$ROOT"/docs/*.kms "$ROOT"/examples/*.kms "$ROOT"/examples/pad/*.kms; do
    [[ -f $Script ]] || continue
    Name=${Script#"$ROOT"/}
    Dir="$WORK/script"
    rm -rf "$Dir"
    mkdir -p "$Dir"
    run_side "$Dir" old "$OLD" "$Script"
    if [[ $Name != tests/scripts/* && $(cat "$Dir/old.status") != 0 ]]; then
        continue
    fi
    run_side "$Dir" new "$NEW" "$Script"
    SCRIPTS=$((SCRIPTS + 1))
    Report=$(compare_sides "$Dir")
    if [[ -n $Report ]]; then
        SCRIPT_DIFFS+=("$Name")
        printf 'script %s:\n%s\n' "$Name" "$Report" > "$WORK/diffs/script-${Name//\//_}"
    fi
done
rm -rf "$WORK/script"

read -r SESSIONS TOTAL_LINES PAINTS DIFFERING STOPPED GEN_FAILED < <(
    cat "$WORK"/results/* 2>/dev/null | awk '
        { n++; lines += $3; paints += $4 }
        $2 == "differs" { d++ }
        $2 == "generator" { g++ }
        $2 != "generator" && $5 != 0 { s++ }
        END { printf "%d %d %d %d %d %d\n", n, lines, paints, d, s, g }')
DIFFERENCES=$((DIFFERING + ${#SCRIPT_DIFFS[@]}))
echo "compared $SESSIONS sessions ($TOTAL_LINES lines, $PAINTS paints) and $SCRIPTS scripts: $DIFFERENCES differences"
echo "time: $((SECONDS - START)) s with $JOBS jobs"

if [[ $STOPPED -gt 0 ]]; then
    echo "note: $STOPPED sessions stopped on an error line (the same on both sides), seeds:" \
        "$(awk '$2 != "generator" && $5 != 0 { print $1 }' "$WORK"/results/* | sort -n | head -n 10 | tr '\n' ' ')"
fi
if [[ $GEN_FAILED -gt 0 ]]; then
    echo "the generator failed on $GEN_FAILED seeds:"
    find "$WORK/diffs" -name 'gen-*' | sort -V | head -n 3 | xargs cat
    exit 3
fi
if [[ $DIFFERENCES -gt 0 ]]; then
    if [[ $DIFFERING -gt 0 ]]; then
        echo "differing seeds: $(awk '$2 == "differs" { print $1 }' "$WORK"/results/* | sort -n | head -n 20 | tr '\n' ' ')"
    fi
    if [[ ${#SCRIPT_DIFFS[@]} -gt 0 ]]; then
        echo "differing scripts: ${SCRIPT_DIFFS[*]}"
    fi
    # The first few in seed order, then the scripts.
    find "$WORK/diffs" -type f ! -name 'script-*' -printf '%f\n' | sort -n | head -n 5 |
        while read -r F; do cat "$WORK/diffs/$F"; done
    find "$WORK/diffs" -type f -name 'script-*' | sort | head -n 3 | xargs -r cat
    exit 1
fi
exit 0
