#!/usr/bin/env bash
# Runs a Windows test program under Wine with COM1 a pseudo-terminal that the Linux simulated
# unit answers on. The Wine folder is made for this run inside a temporary folder: the build's
# registry copied with COM1 set to the terminal, its drive C shared; the links Wine makes to
# serial devices of this machine are removed before the program runs. A command that is no .exe
# (a script that runs several) is run as it is, with WINEPREFIX set; the unit logs what it
# receives into $VT_UNIT_LOG and keeps its memory in $VT_UNIT_MEMORY.
#   com1_unit.sh VTUNIT BUILD_WINE_FOLDER PROGRAM.exe|COMMAND [ARGS...]
set -euo pipefail
vtunit=$1 base=$2 program=$3
shift 3
tmp=$(mktemp -d)
unit=""
export WINEPREFIX=$tmp/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
cleanup() {
  wineserver -k 2>/dev/null || true
  if [[ -n $unit ]]; then kill "$unit" 2>/dev/null || true; wait "$unit" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

if [[ ! -f $base/system.reg ]]; then  # the build's own Wine folder, made by its first program
  WINEPREFIX=$base wineboot -i >/dev/null 2>&1
  WINEPREFIX=$base wineserver -w
fi
export VT_UNIT_LOG=$tmp/unit.log VT_UNIT_MEMORY=$tmp/memory
"$vtunit" --no-link --slave-file "$tmp/slave" --memory-file "$VT_UNIT_MEMORY" >"$VT_UNIT_LOG" &
unit=$!
for _ in $(seq 100); do [[ -s $tmp/slave ]] && break; sleep 0.1; done
pty=$(cat "$tmp/slave")
[[ $pty == /dev/pts/* ]] || { echo "com1_unit: vtunit gave no terminal" >&2; exit 1; }

mkdir -p "$WINEPREFIX/dosdevices"
cp "$base"/{user,userdef}.reg "$base/.update-timestamp" "$WINEPREFIX/"
ln -s "$base/drive_c" "$WINEPREFIX/dosdevices/c:"
ports=$(printf '"COM1"="%s"' "$pty")
awk -v ports="$ports" '
  /^\[Software\\\\Wine\\\\Ports\]/ { print; section = 1; next }
  section && /^#time=/ { print; next }
  section { print ports; section = 0; done = 1 }
  { print }
  END { if (!done) printf "\n[Software\\\\Wine\\\\Ports] 0\n%s\n", ports }
' "$base/system.reg" > "$WINEPREFIX/system.reg"

# Wine maps the machine's serial devices to free names as it starts: with the server kept running,
# every link but com1 goes before any program opens a port.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
find "$WINEPREFIX/dosdevices" -maxdepth 1 -iname 'com*' ! -lname "$pty" -delete
links=$(find "$WINEPREFIX/dosdevices" -maxdepth 1 -iname 'com*' -printf '%f -> %l\n')
if [[ $links != "com1 -> $pty" ]]; then
  printf 'com1_unit: Wine maps other ports than com1 -> %s:\n%s\n' "$pty" "$links" >&2
  exit 1
fi
if [[ $program == *.exe ]]; then
  wine "$program" "$@"
else
  "$program" "$@"
fi
