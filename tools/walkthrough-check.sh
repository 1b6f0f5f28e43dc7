#!/usr/bin/env bash
# Follows the README's walk-through from its marked blocks (tools/readme-blocks.sh) in a fresh copy of
# this checkout, the desktop block on an X server of its own; checks what it built and installed.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
rig=walkthrough
# shellcheck source=rig.sh
source "$repo/tools/rig.sh"
checkout="$rig_work/checkout"
in_shell() { (cd "$checkout" && ./run shell) <<<"set -e; $1"; }

play_desktop_block() {
  x_start 60 "$rig_work/Xauthority" 1280x1024
  set -m
  (cd "$checkout" && exec bash -c "$1") >"$rig_work/desktop.out" 2>&1 </dev/null &
  local game=$!
  set +m
  # A window with a title: the root and the library's hidden windows have none.
  window_within 60 . || fail "the desktop block opened no window: $(cat "$rig_work/desktop.out")"
  # Escape each second, the pointer on the window (the key goes to the window under it).
  for _ in $(seq 30); do
    xdotool search --onlyvisible --name . mousemove --window %1 100 100 key Escape >/dev/null 2>&1 || true
    if retry 1 eval "! kill -0 $game"; then break; fi
  done
  await "$game" 0.1 # killed (137) when it did not end within 30 s of Escape
  [ "$status" -eq 0 ] || fail "the desktop block ended with status $status: $(cat "$rig_work/desktop.out")"
  say "the desktop block's game opened its window and ended on Escape with status 0"
}

mkdir -p "$checkout"
git -C "$repo" ls-files -z --cached --others --exclude-standard |
  (cd "$repo" && tar --null -T - -cf - --ignore-failed-read 2>/dev/null) | tar -xf - -C "$checkout"
blocks="$("$repo/tools/readme-blocks.sh" "$checkout/README.md")" || fail "the README's walk-through blocks cannot be read"
[ -n "$blocks" ] || fail "the README marks no walk-through blocks"
while IFS=$'\t' read -r number what; do
  text="$("$repo/tools/readme-blocks.sh" "$checkout/README.md" "$number")"
  say "block $number, $what:"
  sed 's/^/    /' <<<"$text"
  case "$what" in
    "file "*) mkdir -p "$(dirname "$checkout/${what#file }")" && printf '%s\n' "$text" >"$checkout/${what#file }" ;;
    "build root") in_shell "$text" || fail "block $number failed in ./run shell" ;;
    desktop) play_desktop_block "$text" && desktop_block="${desktop_block:-$text}" ;;
    *) fail "block $number is marked '$what', which this check does not know" ;;
  esac
done <<<"$blocks"

# The folder the desktop block plays in: ./run program DIR PROGRAM.
game_dir="$(sed -n 's|.*\./run program \([^ ]*\) .*|\1|p' <<<"${desktop_block:-}" | head -n1)"
[ -n "$game_dir" ] && [ -d "$checkout/$game_dir" ] || fail "no desktop block names a folder to play in"
log="$(grep -l -r --include='*.log' 'GameManager::shutDown() - GM was shut down' "$checkout/$game_dir" || true)"
[ -n "$log" ] || fail "no log in $game_dir ends the game with 'GameManager::shutDown() - GM was shut down'"
say "the log ${log#"$checkout"/} has the game manager's shut-down line"
programs="$(cd "$checkout/$game_dir" && find . -type f -perm -u+x -not -path '*/CMakeFiles/*' | sort)"
[ "$(wc -l <<<"$programs")" -ge 2 ] || fail "the walk-through built fewer than two programs in $game_dir: $programs"
while read -r program; do
  status=0
  in_shell "cd '$game_dir' && env -u DISPLAY timeout -s KILL 20 '$program' >/dev/null 2>&1" || status=$?
  [ "$status" != 0 ] || fail "$game_dir/${program#./} started without a display ended with status 0"
  [ "$status" != 137 ] || fail "$game_dir/${program#./} did not end within 20 s without a display (does main check startUp()?)"
  say "$game_dir/${program#./} without a display ended by itself with status $status"
done <<<"$programs"

pc="$(find "$checkout" -path "$checkout/build" -prune -o -path '*/lib/pkgconfig/marrowick.pc' -print | head -n1)"
[ -n "$pc" ] || fail "the walk-through installed no lib/pkgconfig/marrowick.pc"
prefix="${pc%/lib/pkgconfig/marrowick.pc}"
say "installed in ${prefix#"$checkout"/}:"
(cd "$prefix" && find . -type f | sort | sed 's|^\./|    |')
headers="$prefix/include/marrowick/engine"
[ ! -e "$headers/internal" ] || fail "engine/internal/ is installed"
for internal in BatchRenderer CellGeometry CellRecorder AudioDevice DurableFile SystemClock \
  $(cd "$checkout/engine/internal" && ls -- *.h | sed 's/\.h$//'); do
  [ ! -e "$headers/$internal.h" ] || fail "the internal header $internal.h is installed"
done
[ -s "$prefix/share/doc/marrowick/sprite-format.md" ] || fail "the sprite format is not installed"
compiles='printf "#include \"engine/%s\"\n" "$0" | c++ -std=c++20 -Wall -Wextra -Werror -fsyntax-only -x c++ - -I.. ||
  { echo "walkthrough: FAILED: the installed $0 does not compile on its own" >&2; exit 1; }'
# Two at a time, one on each core.
in_shell "cd '${headers#"$checkout"/}' && printf '%s\0' *.h | xargs -0 -n 1 -P 2 bash -c $(printf '%q' "$compiles")" ||
  exit 1
say "$(cd "$headers" && ls -- *.h | wc -l) installed headers, each compiling on its own, none internal: passed"
