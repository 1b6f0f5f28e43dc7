#!/usr/bin/env bash
# The tutorial session of the real program under valgrind memcheck:
#   tools/memcheck.sh BUILD_DIR
# Title, T, Q, W, O, P, ENTER, Escape.
# Fails when valgrind reports a definite leak or an invalid read or write
# whose stack passes through our code (engine/, game/); the libraries' own
# noise (the software OpenGL driver, X, fonts, audio) is reported but does not
# count. tests/valgrind.supp holds the suppressions for known library noise.
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
game=$!
window_within 300 || fail "no window within 300 s under valgrind"
xdotool search --onlyvisible --name Marrowick windowfocus --sync >/dev/null
sleep 10
for key in t q w o p Return; do
  xdotool key "$key"
  sleep 10 # each tutorial step waits ten frames, slow under valgrind
done
sleep 10
xdotool key Escape
# Leak checking at exit takes a while under valgrind; a game still running
# after that missed a key and is stopped.
timeout 600 tail --pid="$game" -f /dev/null || kill "$game" 2>/dev/null || true
status=0
wait "$game" || status=$?

# Valgrind's error blocks that match PATTERN and whose stack passes through
# our sources (shown as engine/... or game/...).
count_ours() {
  awk -v pattern="$1" '
    $0 ~ pattern { block = 1; ours = 0 }
    block && /\((engine|game)\// { ours = 1 }
    block && /^==[0-9]+== *$/ { if (ours) n++; block = 0 }
    END { print n + 0 }' "$report"
}
ours_invalid="$(count_ours 'Invalid (read|write)')"
ours_leaks="$(count_ours 'definitely lost in')"
mkdir -p "$build/memcheck"
cp "$report" "$build/memcheck/"
say "exit status $status"
say "all of valgrind's report (libraries included):"
grep -E 'ERROR SUMMARY|definitely lost:|indirectly lost:' "$report" | sed 's/^==[0-9]*== */  /'
say "invalid reads or writes through our code: $ours_invalid"
say "definite leaks through our code: $ours_leaks"
say "the whole report is in $build/memcheck/valgrind.txt"
[ "$status" = 0 ] && [ "$ours_invalid" = 0 ] && [ "$ours_leaks" = 0 ]
