#!/usr/bin/env bash
# smoke.sh GEN TOOL [COUNT=20] [LINES=100]: the generator's sessions (seeds 1..COUNT) run to their
# end through keymora-script TOOL, exit 0 and print no error line; the same seed gives the same
# text twice and another seed another text.
set -euo pipefail
GEN=$1 TOOL=$2 COUNT=${3:-20} LINES=${4:-100}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/keymora-smoke.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
Failed=0
Paints=0
for Seed in $(seq 1 "$COUNT"); do
    mkdir "$WORK/$Seed"
    "$GEN" --seed "$Seed" --lines "$LINES" > "$WORK/$Seed.kms"
    Status=0
    (cd "$WORK/$Seed" && QT_QPA_PLATFORM=offscreen "$TOOL" "$WORK/$Seed.kms" > out.jsonl 2> err.txt) ||
        Status=$?
    if [[ $Status != 0 ]] || grep -q '^{"error":' "$WORK/$Seed/out.jsonl"; then
        echo "seed $Seed: exit status $Status: $(grep -m1 '^{"error":' "$WORK/$Seed/out.jsonl" || true)"
        Failed=$((Failed + 1))
    fi
    Paints=$((Paints + $(find "$WORK/$Seed" -name '*.png' | wc -l)))
done
"$GEN" --seed 7 --lines "$LINES" > "$WORK/again.kms"
if ! cmp -s "$WORK/7.kms" "$WORK/again.kms"; then
    echo "seed 7 gave two different sessions"
    Failed=$((Failed + 1))
fi
if cmp -s "$WORK/7.kms" "$WORK/8.kms"; then
    echo "seeds 7 and 8 gave the same session"
    Failed=$((Failed + 1))
fi
echo "$COUNT sessions of $LINES lines, $Paints pictures, $Failed failures"
[[ $Failed == 0 && $Paints -gt 0 ]]
