#!/usr/bin/env bash
# Kills saves at random moments and checks that the book is never damaged:
#   bench/soak_save.sh [N] [BUILD_DIR] [BOOK]
# N rounds (default 50). Each round loads and saves, alternately, one of two
# different versions of the book over the same target and kills the saving process with SIGKILL after a
# random delay (up to a little longer than a whole save takes). The target
# must then be byte-identical to the book it held before or to the one being
# saved. At the end one save runs to completion and no temporary file of the
# target may be left. Not part of the tests: it takes minutes.
set -euo pipefail
rounds=${1:-50}
build=${2:-build-bench}
book=${3:-/tmp/clanbook-bench/b2m.ftf}
resave=$build/bench/clanbook_resave
work=$(mktemp -d /tmp/clanbook-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Two versions of the book as this program writes them (loading them again
# and saving gives the same bytes): the book, and the book without its last
# member (the generated file lists some children out of birth order).
a=$work/a.ftf
b=$work/b.ftf
"$resave" "$book" "$a" >/dev/null
{ head -n -2 "$book"; tail -n 1 "$book"; } >"$work/shorter.ftf"
"$resave" "$work/shorter.ftf" "$b" >/dev/null
rm -f "$work/shorter.ftf"
"$resave" "$a" "$work/again.ftf" >/dev/null
cmp -s "$a" "$work/again.ftf" || { echo "a saved book does not save back the same" >&2; exit 1; }
rm -f "$work/again.ftf"
cmp -s "$a" "$b" && { echo "the two versions are the same" >&2; exit 1; }
target=$work/book.ftf
cp "$a" "$target"

# How long a whole load and save takes, to spread the kills over it.
start=$(date +%s%N)
"$resave" "$a" "$work/timing.ftf" >/dev/null
whole_ms=$(( ($(date +%s%N) - start) / 1000000 ))
rm -f "$work/timing.ftf"

killed=0 completed=0 failures=0
for ((i = 1; i <= rounds; i++)); do
  if ((i % 2)); then source=$b; else source=$a; fi
  cp "$target" "$work/before.ftf"
  "$resave" "$source" "$target" >/dev/null 2>&1 &
  pid=$!
  delay_ms=$(( RANDOM % (whole_ms + whole_ms / 5 + 1) ))
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  if kill -KILL "$pid" 2>/dev/null; then killed=$((killed + 1)); else completed=$((completed + 1)); fi
  wait "$pid" 2>/dev/null || true
  if ! cmp -s "$target" "$work/before.ftf" && ! cmp -s "$target" "$source"; then
    echo "round $i: the book is neither the old nor the new file" >&2
    failures=$((failures + 1))
  fi
done
leftovers_before=$(find "$work" -maxdepth 1 -name '.book.ftf.tmp-*' | wc -l)
"$resave" "$a" "$target" >/dev/null
cmp -s "$target" "$a" || { echo "the final save did not write the book" >&2; failures=$((failures + 1)); }
leftovers=$(find "$work" -maxdepth 1 -name '.book.ftf.tmp-*' | wc -l)
echo "rounds $rounds killed $killed completed $completed damaged $failures" \
     "leftovers_before_final_save $leftovers_before leftovers_after $leftovers"
[[ $failures -eq 0 && $leftovers -eq 0 ]]
