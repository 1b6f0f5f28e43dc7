#!/usr/bin/env bash
# The tutorial session under valgrind (tools/memcheck.sh BUILD_DIR): fails on a non-zero exit,
# a definite leak or an invalid read or write through engine/ or game/ (not the libraries').
set -euo pipefail

build="$1"
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rig=memcheck
# shellcheck source=rig.sh
source "$src/tools/rig.sh"
x_start 20 "$rig_work/Xauthority" >/dev/null
copy_game_files "$build" "$rig_work"
report="$rig_work/valgrind.txt"
(cd "$rig_work" && exec valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
  --num-callers=40 --fullpath-after=/src/ --suppressions="$src/tests/valgrind.supp" --log-file="$report" \
  "$build/marrowick") >"$rig_work/stdout.txt" 2>&1 &
window_within 300 || fail "no window within 300 s under valgrind"
xdotool search --onlyvisible --name Marrowick windowfocus --sync >/dev/null
# Each tutorial step waits ten frames, slow under valgrind; a blank is one more wait.
for key in t q w o p Return '' Escape; do
  sleep 10
  [ -z "$key" ] || xdotool key "$key"
done
# Leak checking at exit takes a while; a game still running after that missed a key.
await $! 600 TERM

# Valgrind's error blocks (each ends with an empty line) that match PATTERN and pass through our sources.
count_ours() {
  awk -v RS='\n==[0-9]+== *\n' -v pattern="$1" '$0 ~ pattern && /\((engine|game)\// { n++ }
    END { print n + 0 }' "$report"
}
invalid="$(count_ours 'Invalid (read|write)')"
leaks="$(count_ours 'definitely lost in')"
install -D -m 644 "$report" "$build/memcheck/valgrind.txt"
say "all of valgrind's report (libraries included), in $build/memcheck/valgrind.txt:"
grep -E 'ERROR SUMMARY|definitely lost:|indirectly lost:' "$report" | sed 's/^==[0-9]*== */  /'
say "exit status $status; through our code: $invalid invalid reads or writes, $leaks definite leaks"
[ "$status" = 0 ] && [ "$invalid" = 0 ] && [ "$leaks" = 0 ]
