#!/usr/bin/env bash
# A configure with the defaults, as a distribution or a user runs it, shows our warnings but does
# not make them errors: a new compiler's new warning must not stop their build.
# Arguments: SOURCE_DIR CMAKE GENERATOR
set -euo pipefail
source_dir=$1 cmake=$2 generator=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "default_flags_test: $*" >&2
  exit 1
}

# Only the project's defaults: no flags from the caller's environment.
if ! env -u CXXFLAGS -u CPPFLAGS "$cmake" -S "$source_dir" -B "$scratch/build" -G "$generator" \
    -DCMAKE_BUILD_TYPE=Release >"$scratch/configure.log" 2>&1; then
  cat "$scratch/configure.log"
  fail "a default configure failed"
fi
commands=$scratch/build/compile_commands.json
grep -q -- ' -Wall ' "$commands" || fail "no -Wall in $commands: are the warnings still ours?"
! grep -qE -- ' -Werror( |")' "$commands" || fail "a default configure makes warnings errors (-Werror in $commands)"
