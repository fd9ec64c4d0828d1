#!/usr/bin/env bash
# scripts/mutants on a made-up repository, judged by a command: the counts, the survivors' places,
# and the file as it was after every mutant and after a stop signal in the middle of a judge.
set -euo pipefail
mutants=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
git init -q .
mkdir planning
printf 'int f(int a, int b) {\n    return 0;\n}\n' >planning/f.cpp
git add . && git -c user.name=t -c user.email=t@t commit -qm base
printf 'int f(int a, int b) {\n    if (a < b && b > 2) return 1;  // 5 < 6\n    return 0;\n}\n' >planning/f.cpp
cp planning/f.cpp ../f.cpp.$$
fail() { echo "FAIL: $*"; exit 1; }

# Eight mutants of line 2 (none in the comment); only a < b changed kills one.
out=$("$mutants" HEAD --build b --judge 'grep -q "a < b" planning/f.cpp')
grep -q '^killed 1, survived 7 ' <<<"$out" || fail "counts: $out"
[[ $(grep -c '^survived: planning/f.cpp:2: ' <<<"$out") == 7 ]] || fail "survivors: $out"
cmp -s planning/f.cpp ../f.cpp.$$ || fail "the file was left changed"

# A stop signal while the first mutant is judged: exit 130, the file as it was.
rc=0
"$mutants" HEAD --build b --judge 'kill -TERM $PPID; sleep 5' >/dev/null || rc=$?
[[ $rc == 130 ]] || fail "exit $rc after SIGTERM"
cmp -s planning/f.cpp ../f.cpp.$$ || fail "the file was left changed by the interrupted run"
rm -f ../f.cpp.$$
echo "mutants: counts, survivors and the tree put back"
