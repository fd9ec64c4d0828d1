#!/usr/bin/env bash
# Qt takes its options from before "--" only: "-platform offscreen" goes to Qt, while "-style x"
# after "--" are two files, refused before any window opens.
#   vtconfig_end_of_options.sh VTCONFIG
set -euo pipefail
vtconfig=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# Should a window open after all, its start-up connect finds no port, never a device of the machine.
mkdir -p "$dir/config/vtconfig/ports" "$dir/cwd"
for n in {1..12}; do ln -s "$dir/no-port" "$dir/config/vtconfig/ports/com$n"; done
rc=0
(cd "$dir/cwd" && env -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" \
  timeout 10 "$vtconfig" -platform offscreen -- -style x 2>"$dir/err") || rc=$?
if ((rc != 2)) || ! grep -q '^vtconfig: one header file at most$' "$dir/err"; then
  echo "exit $rc, stderr:" >&2
  cat "$dir/err" >&2
  exit 1
fi
