#!/usr/bin/env bash
# A README picture depends on the window alone: two grabs of the Channels page (the start's
# connect fails, each in its own scratch folder) and of the ComPort page give the same bytes.
#   vtshot_same_picture.sh VTSHOT
set -euo pipefail
shot=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for page in 3 4; do
  for run in 1 2; do
    mkdir "$dir/$page-$run"
    (cd "$dir/$page-$run" && "$shot" "$dir/$page-$run.png" --page "$page" >/dev/null 2>&1)
  done
  cmp "$dir/$page-1.png" "$dir/$page-2.png" || { echo "page $page differs between two grabs" >&2; exit 1; }
done
