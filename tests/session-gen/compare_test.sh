#!/usr/bin/env bash
# compare_test.sh COMPARE GEN TOOL: compare.sh in miniature. A binary compared with itself shows
# no difference; one that changes an output line or a picture is caught, with its seeds named.
set -uo pipefail
COMPARE=$1 TOOL=$2
export GEN=$3 REAL_TOOL=$TOOL
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
Failed=0

Out=$("$COMPARE" "$TOOL" "$TOOL" 4 60)
Status=$?
echo "$Out"
if [[ $Status != 0 ]] || ! grep -q '^compared 4 sessions (240 lines, [1-9][0-9]* paints) and [1-9][0-9]* scripts: 0 differences$' <<< "$Out"; then
    echo "FAIL: a binary compared with itself"
    Failed=1
fi

for Mode in output picture; do
    Out=$(PERTURB=$Mode "$COMPARE" "$TOOL" "$HERE/perturb.sh" 4 60)
    Status=$?
    echo "$Out"
    if [[ $Status != 1 ]] || ! grep -q '^differing seeds: ' <<< "$Out"; then
        echo "FAIL: a binary that changes its $Mode went unnoticed (status $Status)"
        Failed=1
    fi
done
exit $Failed
