#!/usr/bin/env bash
# vtctl.exe under Wine drives the Linux simulated unit on COM1 (run by com1_unit.sh, which sets
# WINEPREFIX, VT_UNIT_LOG and VT_UNIT_MEMORY) as Linux vtctl drives one on com1: each command
# puts the same bytes on the line (the units' logs), leaves the same memory and prints the same,
# CR LF aside; a port that is not there is named with its reason.
#   vtctl_on_com1.sh LINUX_VTCTL LINUX_VTUNIT LINUX_VTPLAN VTCTL.EXE CHANNELS.csv
set -uo pipefail
linuxVtctl=$1 linuxVtunit=$2 vtplan=$3 windowsVtctl=$4 channels=$5
tmp=$(mktemp -d)
unit=""
cleanup() {
  if [[ -n $unit ]]; then kill "$unit" 2>/dev/null; wait "$unit" 2>/dev/null; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
export LC_ALL=C XDG_CONFIG_HOME=$tmp/config
"$vtplan" --channels "$channels" --header "$tmp/table.h" >/dev/null || exit 1
# Channel 0's fractional word made of the bytes a text stream would change (CR, LF, ^Z): the
# write and the raw dump must carry them as they are.
sed -i '0,/FracReg/s|0x[0-9A-F]*,\( *//FracReg\)|0x081A0A0D,\1|' "$tmp/table.h"
ln -s "$tmp" "$WINEPREFIX/dosdevices/t:"  # the table as vtctl.exe reads it: T:\table.h

# Linux vtctl's own unit, on the alias com1 of a private configuration folder.
"$linuxVtunit" --memory-file "$tmp/linux.memory" >"$tmp/linux.log" &
unit=$!
for _ in $(seq 100); do [[ -e $XDG_CONFIG_HOME/vtconfig/ports/com1 ]] && break; sleep 0.1; done

failed=0
linuxSeen=0 windowsSeen=0
# The bytes a unit received since the last call, one "XX" a line.
newBytes() { # log, seen variable
  local -n seen=$2
  grep '^rx ' "$1" | tail -n +$((seen + 1)) | cut -c4-
  seen=$(grep -c '^rx ' "$1")
}
# One command through both; the wire bytes, the outputs and the exit codes must agree.
same() { # arguments (a table argument written TABLE)...
  local linuxArgs=("${@//TABLE/$tmp/table.h}") windowsArgs=("${@//TABLE/T:\\table.h}")
  "$linuxVtctl" "${linuxArgs[@]}" >"$tmp/linux.out" 2>"$tmp/linux.err"; local linuxRc=$?
  wine "$windowsVtctl" "${windowsArgs[@]}" >"$tmp/windows.out" 2>"$tmp/windows.err"; local windowsRc=$?
  sleep 0.2  # the units' last log lines
  newBytes "$tmp/linux.log" linuxSeen >"$tmp/linux.wire"
  newBytes "$VT_UNIT_LOG" windowsSeen >"$tmp/windows.wire"
  [[ " $* " == *" --raw "* ]] || sed -i 's/\r$//' "$tmp/windows.out"
  sed -i 's/\r$//' "$tmp/windows.err"
  if ((linuxRc != windowsRc)) || ! cmp -s "$tmp/linux.wire" "$tmp/windows.wire" ||
     ! cmp -s "$tmp/linux.out" "$tmp/windows.out" || ! cmp -s "$tmp/linux.err" "$tmp/windows.err"; then
    echo "differs (exit $linuxRc / $windowsRc): vtctl $*"
    diff "$tmp/linux.wire" "$tmp/windows.wire" | head -5
    diff "$tmp/linux.out" "$tmp/windows.out" | head -5
    diff "$tmp/linux.err" "$tmp/windows.err" | head -5
    failed=1
  else
    echo "vtctl $*: exit $linuxRc, $(wc -l <"$tmp/windows.wire") bytes on the line: $(head -c 60 "$tmp/windows.wire" | tr '\n' ' ')…"
  fi
}
same write TABLE
if [[ $(wc -l <"$tmp/windows.wire") != 130 ]] || ! cmp -s "$tmp/linux.memory" "$VT_UNIT_MEMORY"; then
  echo "write: not the 130 bytes, or not the same memory"
  failed=1
fi
same channel 3
same dump
same --raw dump
same init
same send 41 0d

# A port that is not there.
wine "$windowsVtctl" --port COM9 init >"$tmp/windows.out" 2>"$tmp/windows.err"
rc=$?
expected='Cannot open COM9 (\\.\COM9): no such device'
if ((rc != 1)) || [[ $(tr -d '\r' <"$tmp/windows.err") != "$expected" ]] || [[ -s $tmp/windows.out ]]; then
  echo "--port COM9: exit $rc, said: $(cat "$tmp/windows.err")"
  failed=1
fi
((failed)) && exit 1
echo "vtctl.exe puts on the line what vtctl puts there"
