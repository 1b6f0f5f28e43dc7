# shellcheck shell=bash disable=SC2154,SC2034 # the rig sets rig and sink, and reads status
# The rigs' shared set-up, sourced after setting rig (their lines' prefix).
# All they start, and $rig_work, go at the end, after the rig's rig_clean_up.
rig_work="$(mktemp -d "/tmp/marrowick-$rig-XXXXXX")"
chmod 755 "$rig_work"
x_server="" sound_server=""
trap 'rig_end $?' EXIT
say() { echo "$rig: $*"; }
fail() {
  echo "$rig: FAILED: $*" >&2
  exit 1
}
# A failure noted while the rig goes on; rig_verdict lists them at the end.
failed() { echo "$rig: FAILED: $*" >>"$rig_work/failures.txt"; }
rig_verdict() {
  [ ! -e "$rig_work/failures.txt" ] || cat "$rig_work/failures.txt" >&2
  say "$(grep -c -s "^$rig: FAILED: " "$rig_work/failures.txt" || echo 0) failed"
  [ ! -e "$rig_work/failures.txt" ]
}
rig_end() {
  set +e
  [ "$(type -t rig_clean_up)" != function ] || rig_clean_up
  for job in $(jobs -p); do kill -- "-$job" "$job" 2>/dev/null; done
  # The X server removes its lock and socket when it ends by itself.
  [ -z "$x_server" ] || { kill "$x_server" && wait "$x_server"; } 2>/dev/null
  rm -rf "$rig_work"
  exit "$1"
}
# Runs COMMAND every 0.1 s, for up to SECONDS, until it succeeds.
retry() {
  local tries=$(($1 * 10))
  shift
  until "$@" >/dev/null 2>&1; do
    ((--tries > 0)) || return 1
    sleep 0.1
  done
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# The seconds since START (an $EPOCHREALTIME), to the hundredth.
since() { awk -v s="$1" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.2f", e - s }'; }

# Starts Xvfb on the first free display from :FIRST (a screen of SIZE, 1024x768 by default)
# for clients with the cookie made for it in AUTHORITY; exports DISPLAY and XAUTHORITY.
x_start() {
  local number="$1" size="${3:-1024x768}"
  export XAUTHORITY="$2"
  : >"$XAUTHORITY"
  for ((; number < ${1} + 100; number++)); do
    if [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; then continue; fi
    export DISPLAY=":$number"
    xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$(mcookie)"
    Xvfb "$DISPLAY" -auth "$XAUTHORITY" -screen 0 "${size}x24" -nolisten tcp -noreset >"$rig_work/xvfb.log" 2>&1 &
    x_server=$!
    # Another server may take the same number first: this one then ends.
    retry 10 eval "kill -0 $x_server && xdotool getdisplaygeometry" && break
    kill -0 "$x_server" 2>/dev/null && fail "Xvfb did not answer on $DISPLAY: $(cat "$rig_work/xvfb.log")"
  done
  xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no display for Xvfb: $(cat "$rig_work/xvfb.log")"
  ! XAUTHORITY=/dev/null xdotool getdisplaygeometry >/dev/null 2>&1 ||
    fail "the X server on $DISPLAY lets clients in without its cookie"
  say "an X server of its own on $DISPLAY, which requires the cookie in $XAUTHORITY"
}

# Starts PulseAudio with the null sink $sink on SOCKET, logging to LOG, through COMMAND (runuser...)
# when given; sound_anyone=1 lets anyone in. At normal priority, in a session of its own, as a desktop
# starts it: in the busy loops' session it waited up to 126 ms to run (the game's stream holds 50 ms).
sound_start() {
  local socket="$1" log="$2"
  shift 2
  setsid "$@" pulseaudio --daemonize=no -n --exit-idle-time=-1 --disallow-exit --log-target=stderr \
    --realtime=no --high-priority=no --load="module-null-sink sink_name=$sink" \
    --load="module-native-protocol-unix socket=$socket${sound_anyone:+ auth-anonymous=1}" >>"$log" 2>&1 &
  sound_server=$!
  retry 5 "$@" env PULSE_SERVER="unix:$socket" pactl info || fail "PulseAudio did not start: $(tail -n 5 "$log")"
}
# Copies what the program loads at start-up from BUILD/run into DIR.
copy_game_files() { cp -r "$1/run/sprites" "$1/run/audio" "$1/run/mw-font.ttf" "$2/"; }
# Whether a visible window named Marrowick (or NAME, a pattern) shows in SECONDS while PID (if given) runs.
window_within() {
  local tries
  for ((tries = $1 * 100; tries > 0; tries--)); do
    xdotool search --onlyvisible --name "${2:-Marrowick}" >/dev/null 2>&1 && return 0
    [ -z "${3:-}" ] || kill -0 "$3" 2>/dev/null || return 1
    sleep 0.01
  done
  return 1
}
window_gone() { retry 10 eval '! xdotool search --name Marrowick'; }

# Waits up to SECONDS for the job PID, then sends SIGNAL (KILL by default) to it and its group; sets status.
await() {
  status=0
  timeout "$2" tail --pid="$1" -s 0.1 -f /dev/null || kill -s "${3:-KILL}" -- "$1" "-$1" 2>/dev/null || true
  wait "$1" || status=$?
}
# Whether the program's log LOG is closed, having said once that SIGNAL (when given) stopped it.
log_closed() {
  { [ -z "${2:-}" ] || [ "$(grep -c -xF "GameManager::run() - Stopped by $2" "$1" 2>/dev/null)" = 1 ]; } &&
    [ "$(tail -n 1 "$1" 2>/dev/null)" = "LogManager::shutDown() - LM was shutdown" ]
}
# A screenshot of the screen, or of its part GEOMETRY (WxH+X+Y), into FILE.
shot() { import -window root ${2:+-crop "$2" +repage} "$1"; }
# Whether at least 0.5 % of the part GEOMETRY of the picture FILE is COLOUR.
shows() { above "$(convert "$1" -crop "$2" +repage -fill black +opaque "$3" -colorspace Gray \
  -format '%[fx:mean]' info:)" 0.005; }
