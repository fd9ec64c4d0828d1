#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.txt that are not there yet, and those of
# scripts/packages-NAME.txt for each NAME given (windows: the cross compiler and Wine).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
missing=()
lists=("$here/packages.txt")
for name in "$@"; do lists+=("$here/packages-$name.txt"); done
for list in "${lists[@]}"; do
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
  done < "$list"
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
