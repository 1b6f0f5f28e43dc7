# shellcheck shell=bash disable=SC2154 # repo, flavour, play_dir and fail are run's
# How ./run plays a program on the desktop. Sourced by run.

# The system's reason in a command's first error line ("cp: ...: No space left on device").
reason() { sed '1!d; s/.*: //' <<<"$1"; }

# Brings the font, sprites and audio in the play folder up to those of RUN_DIR: copied beside the old
# ones, then renamed into place, so that a failed refresh leaves the folder as it was and says why.
refresh_play_dir() {
  local run_dir="$1" items=(sprites audio mw-font.ttf) item back error
  local new="$play_dir/.refresh-new" refusal="cannot refresh the play folder $play_dir"
  error="$(mkdir -p "$play_dir" 2>&1)" || fail "cannot create the play folder $play_dir ($(reason "$error"))"
  { diff -r -q "$run_dir/sprites" "$play_dir/sprites" && diff -r -q "$run_dir/audio" "$play_dir/audio" &&
    cmp -s "$run_dir/mw-font.ttf" "$play_dir/mw-font.ttf"; } >/dev/null 2>&1 && return 0
  # Leftovers of a refresh that was cut short go first.
  error="$({ rm -rf "$new" "${items[@]/#/$play_dir/.refresh-old-}" && mkdir "$new" &&
    cp -r "${items[@]/#/$run_dir/}" "$new/"; } 2>&1)" || {
    rm -rf "$new" 2>/dev/null
    fail "$refusal: copying the new build's data there failed ($(reason "$error")); its old data is left as it was"
  }
  for item in "${items[@]}"; do
    error="$({ [ ! -e "$play_dir/$item" ] || mv -T "$play_dir/$item" "$play_dir/.refresh-old-$item"; } 2>&1 &&
      mv -T "$new/$item" "$play_dir/$item" 2>&1)" && continue
    # What was set aside goes back.
    for back in "${items[@]}"; do
      [ ! -e "$play_dir/.refresh-old-$back" ] ||
        { rm -rf "${play_dir:?}/$back" && mv -T "$play_dir/.refresh-old-$back" "$play_dir/$back"; }
    done 2>/dev/null || true
    rm -rf "$new" 2>/dev/null
    fail "$refusal: putting the new $item in place failed ($(reason "$error")); its old data is left as it was"
  done
  rm -rf "$new" "${items[@]/#/$play_dir/.refresh-old-}" 2>/dev/null || true
}

# A command of the build environment as a desktop program in the play folder;
# natively with the sound buffer and signals tools/sidroot.sh gives it.
in_desktop() {
  if [ "$flavour" = native ]; then
    (cd "$play_dir" && PULSE_LATENCY_MSEC="${PULSE_LATENCY_MSEC:-50}" env --default-signal=TERM,INT,HUP "$@")
  else
    "$repo/tools/sidroot.sh" desktop "$play_dir" "$@"
  fi
}

# Fails with the likely cause unless the game can open a window on DISPLAY.
check_display() {
  [ -n "${DISPLAY:-}" ] ||
    fail "no display to open the game window on: DISPLAY is not set (log in to a desktop, or use './run demo', which plays under Xvfb)"
  [ "$flavour" = native ] && ! command -v xdotool >/dev/null && return 0
  local answer
  answer="$(in_desktop xdotool getdisplaygeometry 2>&1)" && return 0
  grep -q -i -E 'authori[sz]ation|protocol specified' <<<"$answer" &&
    fail "the X server at DISPLAY=$DISPLAY refused the connection: no authorization (no cookie for it in ${XAUTHORITY:-$HOME/.Xauthority})"
  fail "cannot open the display DISPLAY=$DISPLAY: no X server answers there"
}

descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    echo "$child"
    descendants "$child"
  done
}

# Plays a program in the play folder, with no core file, and returns its status. In the terminal's job,
# Ctrl+Z, Ctrl+C and a closed terminal reach it; TERM, INT or HUP sent to this script alone is passed on.
play_program() {
  local program="" pending="" interrupted=0 status=0 signal
  check_display
  ulimit -c 0
  pass_on() {
    [ -n "$program" ] && [ -n "$pending" ] || return 0
    # shellcheck disable=SC2046 # a list of pids
    kill -s "$pending" "$program" $(descendants "$program") 2>/dev/null || true
    pending=""
  }
  for signal in TERM INT HUP; do
    # shellcheck disable=SC2064 # the signal's name is fixed now
    trap "interrupted=1; pending=$signal; pass_on" "$signal"
  done
  # Blocked until the game has its handlers.
  (
    trap : TERM INT HUP
    in_desktop env --block-signal=TERM,INT,HUP "$@"
  ) &
  program=$!
  pass_on
  while :; do
    interrupted=0
    status=0
    wait "$program" || status=$?
    # A signal ends the wait early, while the game is still shutting down.
    [ "$interrupted" = 1 ] && [ "$status" -gt 128 ] || break
  done
  return "$status"
}

play_other_program() {
  [ $# -ge 2 ] || fail "usage: ./run program DIR PROGRAM [ARGS...]"
  play_dir="$(cd "$1" 2>/dev/null && pwd)" || fail "no folder $1 to run the program in"
  local program="$2" status=0
  shift 2
  [ -f "$program" ] && [ -x "$program" ] || fail "no program $program (build it first)"
  program="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")"
  # The sandbox sees DIR where it is and the checkout as /src.
  case "$flavour:$program" in
    native:* | sid:"$play_dir"/*) ;;
    sid:"$repo"/*) program="/src/${program#"$repo"/}" ;;
    *) fail "$program lies outside $play_dir and the checkout, the only folders the program's sandbox sees; build it in one of them" ;;
  esac
  play_program "$program" "$@" || status=$?
  [ "$status" -eq 0 ] || echo "run: the program ended with status $status" >&2
  exit "$status"
}
