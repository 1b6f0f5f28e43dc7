#!/usr/bin/env bash
# shellcheck disable=SC2059 # the table's format
# The real program (1 GB of address space: too little to map a real PulseAudio server's memory) against
# broken files, TERM as it starts, two copies:  ./run faults [--short]  (MW_READONLY_DIR: an unwritable folder)
set -euo pipefail

build="$1"
rig=faults
# shellcheck source=rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/rig.sh"
x_start 20 "$rig_work/Xauthority" >/dev/null
# Some cases run as nobody, who must reach the folders, the display and the sound server.
chmod 644 "$XAUTHORITY"
mkdir -m 755 "$rig_work/pulse"
sink=faults_sink sound_anyone=1 sound_start "$rig_work/pulse/native" "$rig_work/pulse.log" \
  env HOME="$rig_work/pulse" XDG_RUNTIME_DIR="$rig_work/pulse"
export PULSE_SERVER="unix:$rig_work/pulse/native"
out="$rig_work/stdout.txt"
best_times=$'105\n130\n207\n'
row='| %-56s | %6s | %9s | %5s | %6s | %5s | %-6s |\n'
# A working directory of its own, $work, with the game's files and best times.
fresh_copy() {
  work="$rig_work/$1"
  mkdir -p "$work"
  copy_game_files "$build" "$work"
  printf '%s' "$best_times" >"$work/hsdata.txt"
}

# Plays in DIR (as $as_user, when set) to Escape; sets status, shown (yes with a window) and title
# (yes: the first opponent's magenta name on row 12); adds its window's time to seconds.
play() {
  local started="$EPOCHREALTIME" user=()
  title=no shown=""
  [ -z "${as_user:-}" ] || user=(env HOME="$1" setpriv --reuid="$as_user" --regid="$as_user" --clear-groups)
  (cd "$1" && ulimit -v 1048576 && exec "${user[@]}" "$build/marrowick") >"$out" 2>&1 &
  window_within 20 Marrowick $! && shown=yes
  seconds="${seconds:+$seconds,}$(since "$started")"
  if [ -n "$shown" ]; then
    xdotool search --onlyvisible --name Marrowick windowfocus --sync >/dev/null 2>&1 || true
    sleep 1.5
    shot "$rig_work/shot.png"
    ! shows "$rig_work/shot.png" 180x32+84+384 '#FF00FF' || title=yes
    xdotool key Escape
  fi
  await $! 20
}

# fault NAME BREAK [LOG_LINE] [OUT_LINE]: plays in a copy broken by the shell code BREAK (or in
# $work_dir): a window within 2 s, status $want_status (0: the title, Escape; other: by itself),
# LOG_LINE logged, $absent_line not, OUT_LINE printed once, no read errors, best times kept, $check.
cases=0
fault() {
  local line="${3:-}" out_line="${4:-}" want="${want_status:-0}" logged="-" kept="-" verdict=ok seconds=""
  cases=$((cases + 1))
  work="${work_dir:-}"
  [ -n "$work" ] || { fresh_copy "case-$cases" && (cd "$work" && eval "$2"); }
  play "$work"
  # A start slowed by a shared machine, or an X connection refused, gets a second try.
  if { [ "$status" = 0 ] && above "$seconds" 2.0; } ||
    { [ -z "$shown" ] && grep -qF 'Failed to open X11 display' "$out"; }; then
    play "$work"
  fi
  [ -z "$line" ] || { grep -qF -- "$line" "$work/marrowick.log" 2>/dev/null && logged=yes || logged=NO; }
  [ -z "$out_line" ] || { [ "$(grep -cxF -- "$out_line" "$out")" = 1 ] && logged=yes || logged=NO; }
  [ -z "${absent_line:-}" ] ||
    { grep -qF -- "$absent_line" "$work/marrowick.log" 2>/dev/null && logged=NO || logged=none; }
  # Written on every read of a broken stream, many times a second.
  ! grep -qF 'Failed to read from' "$out" || logged=FLOOD
  [ ! -f "$work/hsdata.txt" ] || { [ "$(cat "$work/hsdata.txt"; echo .)" = "$best_times." ] && kept=yes || kept=NO; }
  [ -z "${check:-}" ] || eval "$check" || kept=NO
  if [ "$status" != "$want" ] || [[ "$logged $kept" =~ NO|FLOOD ]] || { [ "$want" = 0 ] && [ "$title" != yes ]; } ||
    above "${seconds##*,}" 2.0; then
    verdict=FAILED
    failed "$1; its output and log end:"$'\n'"$(tail -n 5 "$out" "$work/marrowick.log" 2>/dev/null | sed 's/^/  /')"
  fi
  printf "$row" "$1" "$status" "$seconds" "$title" "$logged" "$kept" "$verdict"
}

printf "$row" case status window title logged kept result
printf "$row" "" "" "" "" "" "" "" | tr ' ' -
files=$(cd "$build/run" && find sprites audio -name '*.txt' -o -name '*.wav' ! -name mwbrawlicktheme.wav | sort)
[ "${2:-}" != --short ] || files="sprites/frame-opponent1.txt sprites/opponent-3/opponent3-tell.txt audio/tko.wav"
sprite="ResourceManager::loadSprite -"
sound="ResourceManager::loadSound - Unable to load sound"
for file in $files; do
  line="$sprite Failed to open file '$file'"
  [[ "$file" != *.wav ]] || line="$sound '$(basename "$file" .wav)' from file '$file'"
  fault "missing $file" "rm $file" "$line"
done
theme="ResourceManager::loadMusic - Unable to load music 'theme-music' from file 'audio/mwbrawlicktheme.wav'"
fault "missing audio/mwbrawlicktheme.wav" "rm audio/mwbrawlicktheme.wav" "$theme"

# Unusable fonts end the program, which says so (a font of 500 MB mapped whole: half the address space).
font="Couldn't load font."
want_status=1 fault "missing mw-font.ttf (nothing can be drawn)" "rm mw-font.ttf" "" "$font"
want_status=1 fault "mw-font.ttf is empty" ": >mw-font.ttf" "" "$font"
want_status=1 fault "mw-font.ttf cut to 160 KB" "truncate -s 160000 mw-font.ttf" "" "$font"
want_status=1 fault "mw-font.ttf padded to 500 MB (the bound is 64 MB)" "truncate -s 500M mw-font.ttf" "" "$font"
scores="MatchLoader::startUp() -- Couldn't open highscore data file!"
idle=sprites/hero-idle.txt
fault "hsdata.txt is a directory" "rm hsdata.txt && mkdir hsdata.txt" "$scores"
fault "sprites/frame-opponent2.txt is binary garbage" '{ head -c 3000 /dev/zero | tr "\0" "\377" &&
  printf "\001\002\r\n\177garbage\0\0\0"; } >sprites/frame-opponent2.txt' "$sprite Couldn't identify color"
fault "$idle is a directory" "rm $idle && mkdir $idle" "$sprite Failed to open file '$idle'"
fault "sprites/ring-spr.txt declares 3000 x 3000 cells" 'printf "1\n3000\n3000\n1\nblue\n" >sprites/ring-spr.txt' \
  "$sprite Size 3000 x 3000 in 'sprites/ring-spr.txt' exceeds"
fault "sprites/ring-spr.txt declares 2147483647 cells wide" 'printf "1\n2147483647\n1\n1\nred\nx\n" \
  >sprites/ring-spr.txt' "$sprite Size 2147483647 x 1 in 'sprites/ring-spr.txt' exceeds"
fault "$idle is a FIFO" "rm $idle && mkfifo $idle" "$sprite Failed to open file '$idle'"
# The data chunk's length, after the 36 bytes of the RIFF and format headers.
fault "audio/tko.wav (1 KB) claims 4 GB of samples" 'truncate -s 1024 audio/tko.wav &&
  printf "\377\377\377\377" | dd of=audio/tko.wav bs=1 seek=40 conv=notrunc status=none' \
  "$sound 'tko' from file 'audio/tko.wav'"
fault "audio/mwbrawlicktheme.wav cut to 64 KB" 'truncate -s 65536 audio/mwbrawlicktheme.wav' "$theme"
as_user=65534 fault "hsdata.txt unreadable (600, played as nobody)" "chmod 600 hsdata.txt && chmod 777 ." "$scores"
absent_line="highscore data file" check='[ -L "$work/hsdata.txt" ]' fault "hsdata.txt is a link to saves/scores.txt" \
  "mkdir saves && mv hsdata.txt saves/scores.txt && ln -s saves/scores.txt hsdata.txt"
absent_line="highscore data file" check='[ "$(cat "$work/victim.txt")" = keep ]' \
  fault "hsdata.txt.tmp is a link to another file" "echo keep >victim.txt && ln -s victim.txt hsdata.txt.tmp"
# A log that cannot be written in DIR, for REASON: the game plays on and says so on standard error.
no_log() { echo "Marrowick cannot write its log $1/marrowick.log: $2; it goes on without one."; }
fault "marrowick.log is a directory" "mkdir marrowick.log" "" \
  "$(no_log "$rig_work/case-$((cases + 1))" "Is a directory")"
as_user=65534 fault "marrowick.log read-only (mode 444, played as nobody)" \
  ": >marrowick.log && chmod 444 marrowick.log && chmod 777 ." "" \
  "$(no_log "$rig_work/case-$((cases + 1))" "Permission denied")"
if [ -n "${MW_READONLY_DIR:-}" ]; then
  # No time could be saved there, nor a log written: the game says each once.
  check="[ \"\$(grep -cxF '$(no_log "$MW_READONLY_DIR" "Read-only file system")' '$out')\" = 1 ]" \
    work_dir="$MW_READONLY_DIR" fault "working directory not writable (no log)" "" "" \
    "marrowick: Best times cannot be saved: the folder '$MW_READONLY_DIR' cannot be written (Read-only file system)"
  [ ! -e "$MW_READONLY_DIR/marrowick.log" ] && [ ! -e "$MW_READONLY_DIR/hsdata.txt" ] ||
    failed "something was written into the working directory that is not writable"
fi

# TERM as the program starts, DELAY s after the log appears (the game manager's first step after
# catching the stop signals), or pending while blocked, as ./run play starts it: a whole shut-down.
for delay in blocked 0 0.1 0.2 0.3; do
  fresh_copy "term-at-$delay"
  block=()
  [ "$delay" != blocked ] || block=(env '--block-signal=TERM,INT,HUP' bash -c 'kill -s TERM $$ && exec "$0"')
  (cd "$work" && exec "${block[@]}" "$build/marrowick") >"$out" 2>&1 &
  if [ "$delay" != blocked ]; then
    timeout 20 bash -c "until [ -e '$work/marrowick.log' ]; do sleep 0.01; done" || true
    sleep "$delay"
    kill -s TERM $!
  fi
  await $! 20
  last="$(tail -n 1 "$work/marrowick.log" 2>/dev/null || true)"
  [ "$status" = 0 ] && log_closed "$work/marrowick.log" SIGTERM ||
    failed "TERM ($delay): status $status, $(grep -c 'Stopped by' "$work/marrowick.log") stop lines, last: $last"
  say "TERM ($delay): status $status, the log's last line: $last"
done

# Two copies in one folder, then a third after the first ended: the first keeps
# marrowick.log, the second writes marrowick.2.log and says so, the third has marrowick.log.
windows() { xdotool search --onlyvisible --name Marrowick 2>/dev/null | grep -c . || true; }
fresh_copy two-copies
for copy in first second third; do
  if [ "$copy" = third ]; then kill -s TERM "${copies[0]}" && await "${copies[0]}" 20; fi
  before="$(windows)"
  (cd "$work" && exec "$build/marrowick") >"$rig_work/$copy.txt" 2>&1 &
  copies+=($!)
  retry 10 eval "[ \"\$(windows)\" -gt $before ]" || true
done
for copy in "${copies[@]:1}"; do
  kill -s TERM "$copy"
  await "$copy" 20
  [ "$status" = 0 ] || failed "two copies: a later copy ended with status $status"
done
# The program's own lines; the window library has its own.
said="$(cd "$rig_work" && grep '^Marrowick' first.txt second.txt third.txt || true)"
second="Marrowick: another copy is writing $work/marrowick.log; this copy's log is $work/marrowick.2.log."
[ "$said" = "second.txt:$second" ] || failed "two copies: they said: $said"
second_line="WorldManager::startUp() - WM was started up"
for log in "$work"/marrowick{,.2}.log; do
  whole="$(head -n 2 "$log" | tr '\n' '|')$(tail -n 1 "$log")|$(grep -c 'LM was started' "$log")" || true
  [ "$whole" = "LogManager::startUp() - LM was started|$second_line|LogManager::shutDown() - LM was shutdown|1" ] &&
    say "two copies: ${log##*/} is whole, $(grep -c . "$log") lines with one start and one shut-down" ||
    failed "two copies: ${log##*/} is not one whole log: $whole"
  second_line="LogManager::startUp() - 'marrowick.log' is in use by another copy; this log is 'marrowick.2.log'"
done

kill -0 "$sound_server" 2>/dev/null && pactl info >/dev/null 2>&1 || failed "the sound server was gone"
rig_verdict
