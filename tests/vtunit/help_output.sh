#!/usr/bin/env bash
# --help whose text does not reach its reader is no success, in every program: standard output
# closed, over the file size limit (a full disk), or a pipe whose reader has gone. Each exits
# non-zero and says so on stderr.
#   help_output.sh PROGRAM...
set -uo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0
for program in "$@"; do
  name=$(basename "$program")
  for how in closed limit pipe; do
    rc=0
    case $how in
      closed) "$program" --help >&- 2>"$dir/err" || rc=$? ;;
      # stderr through a pipe: the limit would keep a file of it empty too
      limit)
        (trap '' XFSZ; ulimit -f 0; exec "$program" --help 2>&1 >"$dir/out") | cat >"$dir/err"
        rc=${PIPESTATUS[0]} ;;
      # the reader closes its end, then lets the program start
      pipe)
        rm -f "$dir/gone"
        (trap '' PIPE; until [[ -e $dir/gone ]]; do sleep 0.01; done; exec "$program" --help 2>"$dir/err") |
          { exec 0<&-; touch "$dir/gone"; }
        rc=${PIPESTATUS[0]} ;;
    esac
    if ((rc == 0)) || ! grep -q "^$name: cannot write to standard output" "$dir/err"; then
      echo "$name --help, stdout $how: exit $rc, stderr: $(cat "$dir/err")" >&2
      failed=1
    fi
  done
done
exit $failed
