#!/usr/bin/env bash
# Runs the real program under Xvfb against missing, broken and hostile files:
#   tools/faults.sh BUILD_DIR [--short]
# Every case must open its window within 2 seconds, reach the title screen,
# end with status 0 on Escape, leave its log line where a log can be written,
# and leave the best times as they were; a font that cannot be used must end
# the program by itself within 2 seconds, with status 1 and its line printed.
# The program runs with 1 GB of address space, with a real PulseAudio server
# running (a null sink; the program cannot map the server's shared memory
# within the limit, so its stream fails to open). Prints a table of results.
# MW_READONLY_DIR, when set, names a prepared working directory that
# cannot be written (see ./run faults).
set -euo pipefail

build="$1"
short="${2:-}"
rig=faults
# shellcheck source=rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/rig.sh"
scratch="$rig_work"
x_start 20 "$scratch/Xauthority" >/dev/null
# Some cases run as the user nobody, who must reach the working directories,
# the display and the sound server.
chmod 644 "$XAUTHORITY"
mkdir -m 755 "$scratch/pulse"
sink=faults_sink sound_anyone=1 sound_start "$scratch/pulse/native" "$scratch/pulse.log" \
  env HOME="$scratch/pulse" XDG_RUNTIME_DIR="$scratch/pulse"
export PULSE_SERVER="unix:$scratch/pulse/native"
failures=0
# The program's address space, in kilobytes, and the longest wait for its window.
memory_limit=1048576
window_deadline=2.0
# Best times each case starts with, and must end with.
best_times=$'105\n130\n207\n'

fresh_copy() {
  local work="$scratch/$1"
  mkdir -p "$work"
  copy_game_files "$build" "$work"
  printf '%s' "$best_times" >"$work/hsdata.txt"
  echo "$work"
}

# Starts the program in a working directory (as the user $as_user when set),
# waits for its window, takes a screenshot, presses Escape; prints
# "STATUS TITLE SECONDS" (TITLE yes when the opponents' names of the title
# screen are on the screen, SECONDS until the window showed).
play() {
  local work="$1" started="$EPOCHREALTIME" window="" status=0
  local -a user=()
  if [ -n "${as_user:-}" ]; then
    user=(env HOME="$work" setpriv --reuid="$as_user" --regid="$as_user" --clear-groups)
  fi
  (cd "$work" && ulimit -v "$memory_limit" && exec "${user[@]}" "$build/marrowick") >"$scratch/stdout.txt" 2>&1 &
  local game=$!
  while [ -z "$window" ] && kill -0 "$game" 2>/dev/null && above 20 "$(since "$started")"; do
    window="$(xdotool search --onlyvisible --name Marrowick 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] || sleep 0.02
  done
  local seconds
  seconds="$(since "$started")"
  if [ -z "$window" ]; then
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || status=$?
    echo "no-window:$status no $seconds"
    return
  fi
  xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  sleep 1.5
  shot "$scratch/shot.png"
  xdotool key Escape
  timeout 20 tail --pid="$game" -f /dev/null || kill -9 "$game" 2>/dev/null || true
  wait "$game" || status=$?
  # The first opponent's magenta name on row 12.
  if shows "$scratch/shot.png" 180x32+84+384 '#FF00FF'; then
    echo "$status yes $seconds"
  else
    echo "$status no $seconds"
  fi
}

# run_case NAME WORK EXPECT_TITLE LOG_LINE_OR_EMPTY [STDOUT_LINE]
# The program must end with status $want_status (0 by default, after Escape
# on its window; any other, by itself, with or without a window shown).
# The log line must be in the log, $absent_line must not; the line for
# standard output (or error) must be there once; standard output must not
# hold a stream's read errors. hsdata.txt (through a link, if it is one)
# must end as it began, where the case made one, and the command in $check,
# when set, must succeed afterwards.
run_case() {
  local name="$1" work="$2" want_title="$3" line="$4" out_line="${5:-}"
  local result status title seconds logged="-" kept="-"
  result="$(play "$work")"
  read -r status title seconds <<<"$result"
  # Other work on a shared machine can slow a start, and the X server now and
  # then refuses a connection: a window that was late but otherwise fine, or
  # a display that could not be opened, gets a second try; both times show.
  if { [ "$status" = 0 ] && above "$seconds" "$window_deadline"; } ||
    { [ "${status%%:*}" = no-window ] && grep -qF 'Failed to open X11 display' "$scratch/stdout.txt"; }; then
    local first="$seconds"
    result="$(play "$work")"
    read -r status title seconds <<<"$result"
    seconds="$first,$seconds"
  fi
  [ -z "$line" ] || { grep -qF -- "$line" "$work/marrowick.log" 2>/dev/null && logged=yes || logged=NO; }
  [ -z "$out_line" ] || { [ "$(grep -cxF -- "$out_line" "$scratch/stdout.txt")" = 1 ] && logged=yes || logged=NO; }
  [ -z "${absent_line:-}" ] ||
    { grep -qF -- "$absent_line" "$work/marrowick.log" 2>/dev/null && logged=NO || logged=none; }
  # Written on every read of a broken stream, many times a second.
  ! grep -qF 'Failed to read from' "$scratch/stdout.txt" || logged=FLOOD
  if [ -e "$work/hsdata.txt" ] && [ ! -d "$work/hsdata.txt" ]; then
    [ "$(cat "$work/hsdata.txt"; echo .)" = "$best_times." ] && kept=yes || kept=NO
  fi
  [ -z "${check:-}" ] || eval "$check" || kept=NO
  local verdict=ok want="${want_status:-0}" status_ok=no
  if [ "$status" = "$want" ] || { [ "$want" != 0 ] && [ "$status" = "no-window:$want" ]; }; then
    status_ok=yes
  fi
  if [ "$status_ok" = no ] || [ "$logged" = NO ] || [ "$logged" = FLOOD ] || [ "$kept" = NO ] ||
    { [ "$want_title" = yes ] && [ "$title" != yes ]; } || above "${seconds##*,}" "$window_deadline"; then
    verdict=FAILED
    failures=$((failures + 1))
    {
      echo "faults: $name failed; the end of its output and of its log:"
      tail -n 5 "$scratch/stdout.txt" "$work/marrowick.log" 2>/dev/null | sed 's/^/  /'
    } >>"$scratch/failures.txt"
  fi
  # An expected ending without a window shows as its status alone.
  [ "$status_ok" = yes ] && status="${status##*:}"
  printf '| %-56s | %6s | %9s | %5s | %6s | %5s | %-6s |\n' "$name" "$status" "$seconds" "$title" \
    "$logged" "$kept" "$verdict"
}

printf '| %-56s | %6s | %9s | %5s | %6s | %5s | %-6s |\n' case status window title logged kept result
printf '|%s|%s|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..58})" -------- ----------- ------- -------- \
  ------- --------

# fault NAME BREAK TITLE LOG_LINE [STDOUT_LINE]: run_case in a fresh copy,
# $work, broken by the shell code BREAK.
cases=0
fault() {
  cases=$((cases + 1))
  work="$(fresh_copy "case-$cases")"
  eval "$2"
  run_case "$1" "$work" "${@:3}"
}

sprites=$(cd "$build/run" && find sprites -name '*.txt' | sort)
sounds=$(cd "$build/run" && find audio -name '*.wav' ! -name 'mwbrawlicktheme.wav' | sort)
if [ "$short" = --short ]; then
  sprites="sprites/frame-opponent1.txt sprites/opponent-3/opponent3-tell.txt"
  sounds="audio/tko.wav"
fi
for file in $sprites; do
  fault "missing $file" 'rm "$work/$file"' yes "ResourceManager::loadSprite - Failed to open file '$file'"
done
for file in $sounds; do
  fault "missing $file" 'rm "$work/$file"' yes \
    "ResourceManager::loadSound - Unable to load sound '$(basename "$file" .wav)' from file '$file'"
done
theme="'theme-music' from file 'audio/mwbrawlicktheme.wav'"
fault "missing audio/mwbrawlicktheme.wav" 'rm "$work/audio/mwbrawlicktheme.wav"' yes \
  "ResourceManager::loadMusic - Unable to load music $theme"

# Fonts that cannot be used: nothing can be drawn, and the program says so.
want_status=1 fault "missing mw-font.ttf (nothing can be drawn)" 'rm "$work/mw-font.ttf"' no "" "Couldn't load font."
want_status=1 fault "mw-font.ttf is empty" ': >"$work/mw-font.ttf"' no "" "Couldn't load font."
want_status=1 fault "mw-font.ttf cut to 160 KB" 'truncate -s 160000 "$work/mw-font.ttf"' no "" "Couldn't load font."
# A real font padded to 500 MB: half the address space if it were mapped.
want_status=1 fault "mw-font.ttf padded to 500 MB (the bound is 64 MB)" 'truncate -s 500M "$work/mw-font.ttf"' \
  no "" "Couldn't load font."

fault "hsdata.txt is a directory" 'rm "$work/hsdata.txt" && mkdir "$work/hsdata.txt"' yes \
  "MatchLoader::startUp() -- Couldn't open highscore data file!"
fault "sprites/frame-opponent2.txt is binary garbage" '{ head -c 3000 /dev/zero | tr "\0" "\377" &&
  printf "\001\002\r\n\177garbage\0\0\0"; } >"$work/sprites/frame-opponent2.txt"' yes \
  "ResourceManager::loadSprite - Couldn't identify color"
fault "sprites/hero-idle.txt is a directory" 'rm "$work/sprites/hero-idle.txt" && mkdir "$work/sprites/hero-idle.txt"' \
  yes "ResourceManager::loadSprite - Failed to open file 'sprites/hero-idle.txt'"
fault "sprites/ring-spr.txt declares 3000 x 3000 cells" 'printf "1\n3000\n3000\n1\nblue\n" >"$work/sprites/ring-spr.txt"' \
  yes "ResourceManager::loadSprite - Size 3000 x 3000 in 'sprites/ring-spr.txt' exceeds"

# Hostile files: none may hang, bloat or crash the program, or cost a best time.
fault "sprites/ring-spr.txt declares 2147483647 cells wide" \
  'printf "1\n2147483647\n1\n1\nred\nx\n" >"$work/sprites/ring-spr.txt"' yes \
  "ResourceManager::loadSprite - Size 2147483647 x 1 in 'sprites/ring-spr.txt' exceeds"
fault "sprites/hero-idle.txt is a FIFO" 'rm "$work/sprites/hero-idle.txt" && mkfifo "$work/sprites/hero-idle.txt"' yes \
  "ResourceManager::loadSprite - Failed to open file 'sprites/hero-idle.txt'"
# The data chunk's length, after the 36 bytes of the RIFF and format headers.
fault "audio/tko.wav (1 KB) claims 4 GB of samples" 'head -c 1024 "$build/run/audio/tko.wav" >"$work/audio/tko.wav" &&
  printf "\377\377\377\377" | dd of="$work/audio/tko.wav" bs=1 seek=40 conv=notrunc status=none' yes \
  "ResourceManager::loadSound - Unable to load sound 'tko' from file 'audio/tko.wav'"
fault "audio/mwbrawlicktheme.wav cut to 64 KB" \
  'head -c 65536 "$build/run/audio/mwbrawlicktheme.wav" >"$work/audio/mwbrawlicktheme.wav"' yes \
  "ResourceManager::loadMusic - Unable to load music $theme"
as_user=65534 fault "hsdata.txt unreadable (mode 600, played as nobody)" 'chmod 600 "$work/hsdata.txt" && chmod 777 "$work"' \
  yes "MatchLoader::startUp() -- Couldn't open highscore data file!"
absent_line="highscore data file" check='[ -L "$work/hsdata.txt" ]' fault "hsdata.txt is a link to saves/scores.txt" \
  'mkdir "$work/saves" && mv "$work/hsdata.txt" "$work/saves/scores.txt" && ln -s saves/scores.txt "$work/hsdata.txt"' \
  yes ""
absent_line="highscore data file" check='[ "$(cat "$work/victim.txt")" = keep ]' \
  fault "hsdata.txt.tmp is a link to another file" 'echo keep >"$work/victim.txt" && ln -s victim.txt "$work/hsdata.txt.tmp"' \
  yes ""

# A log that cannot be written: the game plays on and says so on standard error.
fault "marrowick.log is a directory" 'mkdir "$work/marrowick.log"' yes "" \
  "Marrowick cannot write its log $scratch/case-$((cases + 1))/marrowick.log: Is a directory; it goes on without one."
as_user=65534 fault "marrowick.log read-only (mode 444, played as nobody)" \
  ': >"$work/marrowick.log" && chmod 444 "$work/marrowick.log" && chmod 777 "$work"' yes "" \
  "Marrowick cannot write its log $scratch/case-$((cases + 1))/marrowick.log: Permission denied; it goes on without one."

readonly_dir="${MW_READONLY_DIR:-}"
if [ -n "$readonly_dir" ]; then
  # No time could be saved there, nor a log written: the game says each once, on standard error.
  check="[ \"\$(grep -cxF 'Marrowick cannot write its log $readonly_dir/marrowick.log: Read-only file system; it goes on without one.' '$scratch/stdout.txt')\" = 1 ]" \
    run_case "working directory not writable (no log)" "$readonly_dir" yes "" \
    "marrowick: Best times cannot be saved: the folder '$readonly_dir' cannot be written (Read-only file system)"
  if [ -e "$readonly_dir/marrowick.log" ] || [ -e "$readonly_dir/hsdata.txt" ]; then
    echo "faults: something was written into the read-only directory" >&2
    failures=$((failures + 1))
  fi
fi

# failed_case NAME WHAT: a case outside the table.
failed_case() {
  failures=$((failures + 1))
  echo "faults: $1 failed: $2" >>"$scratch/failures.txt"
}

# TERM while the program starts up and loads: the whole shut-down and status
# 0, the log ending with its last line. Sent 0 to 0.3 s after the log file
# appears (the first thing the game manager's start-up does after catching
# the stop signals), while the managers start and the game loads; and, with
# the program started as ./run play starts it, with the stop signals
# blocked, already pending when it starts.
for delay in blocked 0 0.1 0.2 0.3; do
  work="$(fresh_copy "term-at-$delay")"
  when="$delay s after the log appeared"
  [ "$delay" != blocked ] || when="pending, blocked, at the start"
  if [ "$delay" = blocked ]; then
    (cd "$work" && exec env --block-signal=TERM,INT,HUP bash -c 'kill -s TERM $$ && exec "$0"' \
      "$build/marrowick") >"$work/output.txt" 2>&1 &
    game=$!
  else
    (cd "$work" && exec "$build/marrowick") >"$work/output.txt" 2>&1 &
    game=$!
    for _ in $(seq 2000); do
      [ ! -e "$work/marrowick.log" ] || break
      sleep 0.01
    done
    sleep "$delay"
    kill -s TERM "$game"
  fi
  status=0
  timeout 20 tail --pid="$game" -f /dev/null || kill -9 "$game" 2>/dev/null || true
  wait "$game" || status=$?
  ending="$(grep -c -xF 'GameManager::run() - Stopped by SIGTERM' "$work/marrowick.log" 2>/dev/null || true) $(tail -n 1 "$work/marrowick.log" 2>/dev/null || true)"
  [ "$status $ending" = "0 1 LogManager::shutDown() - LM was shutdown" ] ||
    failed_case "TERM $when" "status $status, stop lines and last log line: $ending"
  echo "faults: TERM $when: status $status, the log's last line: ${ending#* }"
done

# Two copies in one folder, then a third after the first ended: the first
# keeps marrowick.log, the second writes marrowick.2.log and says so, and the
# third has marrowick.log again while the second still runs.
windows() { xdotool search --onlyvisible --name Marrowick 2>/dev/null | grep -c . || true; }
work="$(fresh_copy two-copies)"
declare -A copies=()
for copy in first second third; do
  [ "$copy" != third ] || {
    kill -s TERM "${copies[first]}"
    wait "${copies[first]}" || true
  }
  before="$(windows)"
  (cd "$work" && exec "$build/marrowick") >"$scratch/$copy.txt" 2>&1 &
  copies[$copy]=$!
  for _ in $(seq 100); do
    [ "$(windows)" -gt "$before" ] && break
    sleep 0.1
  done
done
for copy in second third; do
  kill -s TERM "${copies[$copy]}"
  wait "${copies[$copy]}" || failed_case "two copies" "the $copy copy ended with status $?"
done
# The program's own lines; the window library has its own.
said="$(grep '^Marrowick' "$scratch/first.txt" || true) | $(grep '^Marrowick' "$scratch/second.txt" || true) | $(grep '^Marrowick' "$scratch/third.txt" || true)"
[ "$said" = " | Marrowick: another copy is writing $work/marrowick.log; this copy's log is $work/marrowick.2.log. | " ] ||
  failed_case "two copies" "they said: $said"
for log in marrowick.log marrowick.2.log; do
  lines="$(grep -c . "$work/$log" 2>/dev/null || true) $(head -n 2 "$work/$log" 2>/dev/null | tr '\n' '|' || true)$(tail -n 1 "$work/$log" 2>/dev/null || true)"
  case "$log" in
    marrowick.log) second_line="WorldManager::startUp() - WM was started up" ;;
    *) second_line="LogManager::startUp() - 'marrowick.log' is in use by another copy; this log is 'marrowick.2.log'" ;;
  esac
  if [ "${lines#* }" = "LogManager::startUp() - LM was started|$second_line|LogManager::shutDown() - LM was shutdown" ] &&
    [ "$(grep -c -F 'LM was started' "$work/$log" || true)" = 1 ]; then
    echo "faults: two copies: $log is whole, ${lines%% *} lines with one start and one shut-down"
  else
    failed_case "two copies" "$log is not one whole log: $lines"
  fi
done

if ! kill -0 "$sound_server" 2>/dev/null || ! pactl info >/dev/null 2>&1; then
  echo "faults: the sound server was gone before the end" >&2
  failures=$((failures + 1))
fi

[ -e "$scratch/failures.txt" ] && cat "$scratch/failures.txt" >&2
echo "faults: $failures failed"
[ "$failures" = 0 ]
