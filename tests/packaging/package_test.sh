#!/usr/bin/env bash
# Builds the Debian package from a finished build, has lintian check it (no error, no warning),
# unpacks it into a scratch root and checks what an install gets: the programs, the desktop files
# that point at them, the man pages, the Qt runtime among the dependencies, and a vtplan that
# runs from there.
# Arguments: BUILD_DIR PROGRAM...
set -euo pipefail
build=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "package_test: $*" >&2
  exit 1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  fail "cpack failed"
fi
debs=("$scratch"/out/vtconfig_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one vtconfig_*.deb, found: ${debs[*]}"
deb=${debs[0]}
# Debian's own check of a package: copyright, changelog, man pages, file modes and much more.
if ! lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1; then
  cat "$scratch/lintian.log"
  fail "lintian finds errors or warnings in $(basename "$deb")"
fi
root=$scratch/root
dpkg-deb -x "$deb" "$root"

for program in "$@"; do
  [[ -x $root/usr/bin/$program ]] || fail "usr/bin/$program is missing"
  # A path into the build tree would make the installed program load the build's libraries.
  if readelf -d "$root/usr/bin/$program" | grep -qE 'RPATH|RUNPATH'; then
    fail "usr/bin/$program keeps a library path: $(readelf -d "$root/usr/bin/$program" | grep -E 'RPATH|RUNPATH')"
  fi
  [[ -f $root/usr/share/man/man1/$program.1.gz ]] || fail "no man page usr/share/man/man1/$program.1.gz"
done

share=$root/usr/share
desktop=$share/applications/com.vantorix.vtconfig.desktop
metainfo=$share/metainfo/com.vantorix.vtconfig.metainfo.xml
[[ -f $desktop && -f $metainfo ]] || fail "desktop entry or metainfo missing"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -x $root/usr/bin/$exec_program ]] || fail "the desktop entry starts '$exec_program', which is not in usr/bin"
[[ -f $share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "the desktop entry's icon '$icon' is not installed"
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[[ -f $share/applications/$launchable ]] || fail "the metainfo launches '$launchable', which is not installed"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 fonts-ipafont-gothic; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

LC_ALL=C "$root/usr/bin/vtplan" 12340 100 10 2 >"$scratch/plan.txt"
diff -u - "$scratch/plan.txt" <<'PLAN' || fail "the packaged vtplan plans the worked example differently"
VcoHz 123400000
PdHz 5000000
VcoMHz 123.4
R 2
N_INT 12
NFrac 5704253
FFRAC 28521267200000
RefReg 04000004
IntgReg 06000018
FracReg 08AE147A
CPReg 13407FFE
SDReg 0C0016FC
ActualHz 12339999973.774
ErrorHz -26.226
FracSpurHz 1699999.869
BeatSpurHz 1600000.262
SpurOffsetHz 1600000.262
PLAN
echo "package_test: $(basename "$deb"): Depends: $depends"
