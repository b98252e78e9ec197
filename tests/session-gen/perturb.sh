#!/usr/bin/env bash
# A keymora-script that is not quite the real one ($REAL_TOOL): with PERTURB=output its third
# output line changes, with PERTURB=picture a byte is added to the last picture it writes. The
# comparison must tell it from the real one.
Status=0
"$REAL_TOOL" "$@" > perturb.out || Status=$?
case $PERTURB in
    output) sed '3s/$/ /' perturb.out ;;
    *) cat perturb.out ;;
esac
rm -f perturb.out
if [[ $PERTURB == picture ]]; then
    Last=$(find . -name '*.png' | sort | tail -n 1)
    [[ -n $Last ]] && printf 'x' >> "$Last"
fi
exit "$Status"
