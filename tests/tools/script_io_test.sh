#!/usr/bin/env bash
# keymora-script against inputs it cannot read and outputs it cannot write: every case ends with
# the expected status and error line, never with an abort or a success.
#   script_io_test.sh KEYMORA_SCRIPT
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/dir"
mkfifo "$work/fifo"
printf 'create\nget Octave\n' >"$work/good.kms"
printf 'create\n%s\n' "$(head -c 300000 /dev/zero | tr '\0' x)" >"$work/long.kms"
fails=0

# name | command | expected status | expected text in the output
check() {
  local name=$1 cmd=$2 status=$3 text=$4 out rc
  out=$(cd "$work" && timeout 20 bash -c "$cmd" 2>&1)
  rc=$?
  if [ "$rc" != "$status" ] || [[ "$out" != *"$text"* ]]; then
    echo "FAIL $name: status $rc (want $status), output: ${out:0:300}"
    fails=$((fails + 1))
  else
    echo "ok   $name"
  fi
}

check directory_argument   "'$tool' dir"                 2 '{"error":"cannot read dir: it is a directory","line":0}'
check directory_on_stdin   "'$tool' < dir"               2 '"line":1}'
check fifo_argument        "'$tool' fifo"                2 'not a regular file","line":0}'
check missing_argument     "'$tool' missing.kms"         2 'No such file or directory","line":0}'
check long_line            "'$tool' long.kms"            2 '"line":2}'
check output_to_full_disk  "'$tool' good.kms > /dev/full" 2 'cannot write the output'
check good_script          "'$tool' good.kms"            0 '{"get":"Octave","value":5}'
exit $((fails > 0))
