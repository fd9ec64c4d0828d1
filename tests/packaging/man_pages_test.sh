#!/usr/bin/env bash
# Each man page formats without a warning, describes every option that its program's --help
# names, and has each option of the usage line in its synopsis, a bare -- too. Arguments:
# PROGRAM MAN_PAGE, repeated.
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
  # A synopsis that lists options one by one (not "[options]") lists each one the usage
  # (--help up to its first blank line) names.
  synopsis=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH [^S]/p' "$page" | sed 's/\\-/-/g')
  if ! grep -qF '[ options ]' <<<"$synopsis"; then  # "Qt options" stand for Qt's, not the program's
    for option in $("$program" --help | sed '/^$/q' | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
      if ! grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$synopsis"; then
        echo "$page: $option (from the usage of ${program##*/} --help) is not in the synopsis"
        status=1
      fi
    done
  fi
  # A bare "--" that ends the options is in both or in neither.
  bare='(^|[^a-z-])--([^a-z-]|$)'
  inUsage=$("$program" --help | sed '/^$/q' | grep -cE -- "$bare" || true)
  inSynopsis=$(grep -cE -- "$bare" <<<"$synopsis" || true)
  if (((inUsage > 0) != (inSynopsis > 0))); then
    echo "$page: -- is in the $( ((inUsage > 0)) && echo usage || echo synopsis) only"
    status=1
  fi
done
exit $status
