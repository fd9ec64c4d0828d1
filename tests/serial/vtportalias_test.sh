#!/usr/bin/env bash
# vtportalias's command line, a row a case: the environment, the arguments, the exit status and
# the first line it prints (standard output and error together).
#   vtportalias_test.sh VTPORTALIAS
set -uo pipefail
tool=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/vtconfig/ports" && chmod 700 "$home" "$home/vtconfig" "$home/vtconfig/ports"
ln -s /dev/null "$home/vtconfig/ports/com3"
failed=0
while IFS='|' read -r env args status first; do
  said=$(env -i "XDG_CONFIG_HOME=$home" $env "$tool" $args 2>&1)
  rc=$?
  if [[ $rc != "$status" || ${said%%$'\n'*} != "$first" ]]; then
    echo "vtportalias $args ($env): exit $rc, not $status; said: $said" >&2
    failed=1
  fi
done <<ROWS
|com2|0|$home/vtconfig/ports/com2
|COM12|0|$home/vtconfig/ports/com12
|--maker com2|0|none
|com3 --maker|0|user
|-- com2|0|$home/vtconfig/ports/com2
|--help|0|usage: vtportalias [--maker] comN
||2|usage: vtportalias [--maker] comN
|com1 com2|2|usage: vtportalias [--maker] comN
|--mak com1|2|vtportalias: unknown option '--mak'
|--maker=1 com1|2|vtportalias: --maker takes no value
|--help --colour|2|vtportalias: unknown option '--colour'
|ttyS0|2|vtportalias: not a port name comN: 'ttyS0'
|-- --maker|2|vtportalias: not a port name comN: '--maker'
XDG_CONFIG_HOME=relative|com1|1|vtportalias: neither XDG_CONFIG_HOME nor HOME names a folder for its alias
ROWS
exit $failed
