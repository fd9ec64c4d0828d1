#!/usr/bin/env bash
# vtplan.exe under Wine prints what Linux vtplan prints, byte for byte but for the line ends:
# Windows programs end a text line with CR LF on their standard output. A register header that
# --header - writes keeps its own CR LF exactly (only its date line, the clock's, is left out),
# and the lines after it are text again.
#   vtplan_same_output.sh LINUX_VTPLAN VTPLAN.EXE EXAMPLE_CHANNELS.csv
set -uo pipefail
linux=$1 windows=$2 channels=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$channels" "$tmp/plan.csv"
cd "$tmp"
export LC_ALL=C
failed=0
# Runs one command line through both; the outputs and exit codes must agree.
same() { # how (text|header), arguments...
  local how=$1; shift
  "$linux" "$@" >linux.out 2>linux.err; local linuxRc=$?
  wine "$windows" "$@" >windows.out 2>windows.err; local windowsRc=$?
  if [[ $how == header ]]; then  # the header's 41 lines as they are, but for the date line
    sed -i 1d linux.out windows.out
    head -n 40 windows.out > windows.head
    tail -n +41 windows.out | sed 's/\r$//' > windows.text
    cat windows.head windows.text > windows.out
  else
    sed -i 's/\r$//' windows.out
  fi
  sed -i 's/\r$//' windows.err
  sed -i 's/^vtplan\.exe:/vtplan:/' windows.err
  if ((linuxRc != windowsRc)) || ! cmp -s linux.out windows.out || ! cmp -s linux.err windows.err; then
    echo "differs (exit $linuxRc / $windowsRc): vtplan $*"
    diff linux.out windows.out | head -5
    diff linux.err windows.err | head -5
    failed=1
  fi
}
same text 12340 100 10 2
same text --up 64 --down 64 --offset 10 --offset-dir down 12340 100 10 2
same text --compare-r 1-4 12340 100 10 2
same text --csv --sweep 12300-12310 1 100 10 1,2
same text --channels plan.csv
same text 12340 100 10 0
same text --no-such-option
same header --channels plan.csv --header -
if ((failed)); then echo "vtplan: 0 passed, 1 failed"; exit 1; fi
echo "vtplan.exe prints what vtplan prints"
