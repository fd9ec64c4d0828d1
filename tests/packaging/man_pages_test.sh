#!/usr/bin/env bash
# Each man page formats without a warning and describes every option that its program's --help
# names. Arguments: PROGRAM MAN_PAGE, repeated.
set -euo pipefail
status=0
while (($# >= 2)); do
  program=$1 page=$2
  shift 2
  warnings=$(groff -t -man -Tutf8 -ww -z "$page" 2>&1)
  if [[ -n $warnings ]]; then
    echo "$page: $warnings"
    status=1
  fi
  described=$(sed 's/\\-/-/g' "$page" | grep -oE -- '--[a-z][a-z-]*' | sort -u)
  for option in $("$program" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    if ! grep -qxF -- "$option" <<<"$described"; then
      echo "$page: $option (from ${program##*/} --help) is not described"
      status=1
    fi
  done
done
exit $status
