#!/usr/bin/env bash
# ./run play around the game (tools/play-check.sh), on an X server, HOME and play folders of its
# own: stop signals, the play folder's refresh, a closed output, job control, XDG rules, refusals.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The user's build root, found before HOME changes below.
export MARROWICK_CACHE="${MARROWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/marrowick}"
rig="play-check"
# shellcheck source=rig.sh
source "$repo/tools/rig.sh"
# shellcheck source=play.sh
source "$repo/tools/play.sh"
x_start 20 "$rig_work/Xauthority" >/dev/null

# An older build's data in the play folder DIR: the theme cut short, a sprite now gone.
old_data() {
  mkdir -p "$1"
  copy_game_files "${run_dir%/run}" "$1"
  head -c 1000000 "$run_dir/audio/mwbrawlicktheme.wav" >"$1/audio/mwbrawlicktheme.wav"
  echo "1 1 1 white x" >"$1/sprites/old-sprite.txt"
}
# session NAME HOW [ENV...]: ./run play in $rig_work/NAME with ENV (its output into $output, when set),
# ended by HOW (escape, "SIGNAL to script|group|every process"); sets status; nothing may be left.
session() {
  local name="$1" how="$2" signal="${2%% *}" dir="$rig_work/$1" pid processes left
  shift 2
  mkdir -p "$dir"
  set -m
  (cd "$dir" && exec env "$@" "$repo/run" play) >"${output:-$dir.out}" 2>"$dir.err" </dev/null &
  local play=$!
  set +m
  window_within 900 Marrowick "$play" && sleep 1.5 || how="no window"
  processes="$(descendants "$play")"
  case "$how" in
    escape) xdotool search --name Marrowick windowfocus --sync key Escape >/dev/null 2>&1 ;;
    *" to script") kill -s "$signal" "$play" ;;
    *" to group") kill -s "$signal" -- "-$play" ;;
    *" to every process") for pid in "$play" $processes; do kill -s "$signal" "$pid" 2>/dev/null || true; done ;;
  esac
  await "$play" 60
  [ "$how" != "no window" ] || status="$status, no window"
  left="$(ps -o pid= -o comm= -p "${processes//$'\n'/,}" 2>/dev/null || true)"
  [ -z "$left" ] || failed "$name: processes left running: $(tr '\n' ' ' <<<"$left")"
  awk '{ print $1 }' <<<"$left" | xargs -r kill -s KILL 2>/dev/null || true
  window_gone || failed "$name: the game's window stayed"
}

# clean_end NAME PLAY_FOLDER [SIGNAL [SAID]]: status 0, the log closed (stopped by SIGNAL),
# and ./run play saying SAID on standard error (nothing by default; its build as "built").
clean_end() {
  said="$(grep '^run: ' "$rig_work/$1.err" | sed 's/^run: built with SFML .* in [^;]*;/run: built;/' || true)"
  [ "$status" = 0 ] || failed "$1: ./run play ended with status $status: $(tail -n 2 "$rig_work/$1.err" | tr '\n' ' ')"
  [ "$said" = "${4:-}" ] || failed "$1: ./run play said: $said"
  log_closed "$2/marrowick.log" "${3:-}" || failed "$1: the log in $2 is not closed${3:+ after one stop by $3}"
  say "$1: ./run play ended with status $status${said:+; it said: $said}"
}

# The first session builds the game. The XDG rules: HOME, unset, comes from the user database.
session home-unset escape -u HOME XDG_DATA_HOME="$rig_work/data-home-unset"
built="$(sed -n 's/^run: built with SFML .* in \(.*\)$/\1/p' "$rig_work/home-unset.out")"
[ -n "$built" ] || fail "the build failed: $(cat "$rig_work/home-unset.out" "$rig_work/home-unset.err")"
run_dir="$repo/build/${built##*/}/run"
clean_end home-unset "$rig_work/data-home-unset/marrowick"

# TERM to the script (kill), INT and HUP to its group (Ctrl+C, the terminal closed), TERM
# to each process (logout); each into a folder of an older build's, which must be refreshed.
for how in "TERM to script" "INT to group" "HUP to group" "TERM to every process"; do
  name="${how// /-}"
  folder="$rig_work/data-$name/marrowick"
  old_data "$folder"
  session "$name" "$how" HOME="$rig_work/home" XDG_DATA_HOME="$rig_work/data-$name"
  clean_end "$name" "$folder" "SIG${how%% *}"
  # The build's data (less its stamps) and the game's files, with nothing left of the refresh.
  diff -r -x marrowick.log -x hsdata.txt -x "*.stamp" "$run_dir" "$folder" >"$rig_work/$name.diff" ||
    failed "$name: the play folder is not the build's: $(head -n 3 "$rig_work/$name.diff")"
done

mkfifo "$rig_work/closed.pipe"
head -c 1 <"$rig_work/closed.pipe" >/dev/null &
output="$rig_work/closed.pipe" session closed-output escape HOME="$rig_work/home" XDG_DATA_HOME="$rig_work/data-closed-output"
clean_end closed-output "$rig_work/data-closed-output/marrowick" "" \
  "run: built; the output was closed, so its messages were not all shown"
session relative-xdg escape HOME="$rig_work/home-relative" XDG_DATA_HOME=relative/data
clean_end relative-xdg "$rig_work/home-relative/.local/share/marrowick"
[ ! -e "$rig_work/relative-xdg/relative" ] || failed "relative-xdg: the relative XDG_DATA_HOME was used"

# Job control in an interactive shell on script's terminal: Ctrl+Z stops the game (state T, the shell
# says Stopped), fg sets it going; a program in the sandbox tries to type there.
folder="$rig_work/data-job-control/marrowick"
mkdir -p "$folder"
printf '%s\n' 'my $c = "x";' 'ioctl(STDIN, 0x5412, $c) or die "typing refused: $!\n";' \
  'print "typed into the terminal\n";' >"$folder/type.pl"
mkfifo "$rig_work/keys"
HOME="$rig_work/home" XDG_DATA_HOME="${folder%/marrowick}" PS1='prompt$ ' \
  script -q -f -c 'bash --norc --noprofile -i' "$rig_work/terminal.txt" <"$rig_work/keys" >/dev/null 2>&1 &
terminal=$!
exec 3>"$rig_work/keys"
game_state() {
  ps -o stat= -o comm= -p "$(descendants "$terminal" | paste -s -d , -)" 2>/dev/null |
    awk '$2 == "marrowick" { printf "%.1s", $1 }'
}
stopped() { [ "$(game_state)" = T ] && grep -q Stopped "$rig_work/terminal.txt"; }
running() { [[ "$(game_state)" = [SR] ]]; }
printf "cd '%s' && '%s/run' play\n" "$folder" "$repo" >&3
window_within 900 Marrowick "$terminal" && sleep 1.5
printf '\032' >&3
facts="Ctrl+Z: $({ retry 10 stopped && echo stopped; } || game_state)"
sleep 2
facts+=", 2 s later: $({ stopped && echo stopped; } || game_state)"
printf 'fg\n' >&3
facts+="; fg: $({ retry 10 running && echo running; } || game_state)"
sleep 1.5
xdotool search --name Marrowick windowfocus --sync key Escape >/dev/null 2>&1 || true
# The status of the job that fg waited for, once it ends.
printf 'echo "play ended with $?."\n' >&3
retry 60 grep -q 'ended with [0-9]' "$rig_work/terminal.txt" || true
facts+="; $(grep -o 'play ended with [0-9][0-9]*' "$rig_work/terminal.txt" || echo 'play did not end')"
expected="Ctrl+Z: stopped, 2 s later: stopped; fg: running; play ended with 0"
if [ "$(basename "${run_dir%/run}")" = sid ]; then
  printf "'%s/tools/sidroot.sh' desktop '%s' perl type.pl\n" "$repo" "$folder" >&3
  retry 60 grep -q -e 'typing refused' -e '^typed into' "$rig_work/terminal.txt" || true
  facts+="; sandbox: $(grep -o -e 'typing refused' -e '^typed into the terminal' "$rig_work/terminal.txt" || echo silent)"
  expected+="; sandbox: typing refused"
fi
{ [ "$facts" = "$expected" ] && log_closed "$folder/marrowick.log"; } ||
  failed "job control: $facts; the log's last line: $(tail -n 1 "$folder/marrowick.log")"
say "job control on a terminal: $facts"

# refusal NAME PATTERN MOUNT: in a mount namespace, MOUNT (shell code) makes $folder with older data
# ($before); ./run play there fails with one line matching PATTERN, leaving the old data as it was.
refusal() {
  local name="$1" before="$rig_work/$1.before" folder="$rig_work/data-$1/marrowick"
  old_data "$before"
  mkdir -p "$folder"
  HOME="$rig_work/home" XDG_DATA_HOME="$rig_work/data-$name" before="$before" folder="$folder" \
    size="$(($(du -s -k "$before" | cut -f1) + 256))" unshare -m bash -c "$3"' || exit 1
      { "$0" play >"$1.out" 2>"$1.err" </dev/null && echo 0 || echo $?; } >"$1.status"
      { diff -r "$before" "$folder" && ls -A "$folder"; } >"$1.left" 2>&1 || true' "$repo/run" "$rig_work/$name" ||
    failed "$name: the mount namespace could not be set up"
  status="$(cat "$rig_work/$name.status" 2>/dev/null || echo none)"
  [ "$status" != 0 ] || failed "$name: ./run play ended with status 0"
  [ "$(grep -c . "$rig_work/$name.err")" = 1 ] && grep -q -E "^run: .*$2" "$rig_work/$name.err" ||
    failed "$name: ./run play did not say why in one line: $(tr '\n' '|' <"$rig_work/$name.err")"
  [ "$(cat "$rig_work/$name.left")" = "$(printf 'audio\nmw-font.ttf\nsprites')" ] ||
    failed "$name: the play folder was left other than as it was: $(tr '\n' '|' <"$rig_work/$name.left")"
  say "$name: status $status; it said: $(head -n 1 "$rig_work/$name.err")"
}
if [ "$(id -u)" != 0 ]; then
  say "a full, an unwritable and a busy play folder: skipped (they need root, for a mount namespace)"
else
  refusal full "No space left on device" \
    'mount -t tmpfs -o "size=${size}k" tmpfs "$folder" && cp -r "$before/." "$folder/"'
  refusal readonly "Read-only file system" \
    'cp -r "$before/." "$folder/" && mount --bind "$folder" "$folder" && mount -o remount,bind,ro "$folder"'
  # The new audio cannot replace a mount point: the sprites, swapped in first, go back.
  refusal busy "putting the new audio in place failed \\(Device or resource busy\\)" \
    'cp -r "$before/." "$folder/" && mount --bind "$folder/audio" "$folder/audio"'
fi
rig_verdict
