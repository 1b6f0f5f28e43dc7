#!/usr/bin/env bash
# Plays the game the way an ordinary user on a desktop does, and checks it:
#   tools/desktop-rig.sh           (as root)
# As root it installs the host's tools (the one step a user would take with
# sudo), makes an ordinary user if needed, gives that user a clone of this
# checkout, and runs the rest as that user: an X server that requires a
# cookie from the user's home, a real PulseAudio server with a null sink
# whose monitor is recorded, and `./run play` from the clone. The recordings
# are checked by tools/sound-check.py: the theme, recorded while two busy
# loops and a build keep both cores busy, must come out whole, a punch must
# be heard promptly under the same load, and a fight must not clip.
# MW_RIG_FRESH=1 (the default under CI) starts from an empty user cache, so
# the build root is made by the user too.
set -euo pipefail

rig_user="${MW_RIG_USER:-mwplayer}"
sink=rig_sink
# RMS amplitude (full scale 1) that the theme must stay above; measured
# 0.036 on the title screen (the file's own RMS, its peak at -14 dBFS), and
# exactly 0 with nothing playing.
theme_floor=0.015
# The punches must lift the level by at least this factor over the theme
# alone; measured 0.081, 2.2 times the theme.
punch_gain=1.5
# Share (%) of the title recording's 50 ms slices that must match the theme,
# with both cores busy; measured 100 % in 9 recordings of 12 at load
# averages of 5 to 20 on a machine shared with other builds (98.0 to 98.7 %
# in the others, where the server and the game both waited up to 300 ms at
# once to run), and 85 to 97 % with the server in the busy loops' session.
fidelity_percent=99.5
fidelity_slice_ms=50
# The median delay (ms) from a punch's key to its sound, under the same
# load; measured 37 to 55 ms.
key_delay_ms=60
rig=rig
# shellcheck source=rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/rig.sh"
work="$rig_work"

as_root() {
  local repo tools=(mmdebstrap bubblewrap uidmap debian-archive-keyring git xvfb xauth xdotool
    imagemagick pulseaudio pulseaudio-utils sox python3-numpy)
  repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  # A machine that has them all is not asked to update its package lists.
  if [ "$(dpkg-query -W -f '${Status}\n' "${tools[@]}" 2>/dev/null | grep -c 'ok installed')" != "${#tools[@]}" ]; then
    say "installing the host's tools"
    apt-get update -qq >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${tools[@]}" >/dev/null
  fi
  if ! id "$rig_user" >/dev/null 2>&1; then
    say "making the ordinary user $rig_user"
    # useradd hands out subordinate ids only where these files exist.
    touch /etc/subuid /etc/subgid
    useradd --create-home --shell /bin/bash "$rig_user"
  fi
  local home uid
  home="$(getent passwd "$rig_user" | cut -d: -f6)"
  uid="$(id -u "$rig_user")"
  if [ "${MW_RIG_FRESH:-${CI:+1}}" = 1 ]; then
    say "starting from an empty cache and play folder"
    rm -rf "$home/.cache/marrowick" "$home/.local/share/marrowick"
  fi
  rm -rf "$home/marrowick"
  git clone -q "$repo" "$home/marrowick"
  reuse_build "$repo" "$home/marrowick"
  chown -R "$rig_user:" "$home/marrowick"
  # What a desktop login provides: the runtime folder and the X socket folder.
  mkdir -p "/run/user/$uid" /tmp/.X11-unix
  chmod 1777 /tmp/.X11-unix
  chown "$rig_user:" "/run/user/$uid"
  chmod 700 "/run/user/$uid"
  local -a login=(runuser -u "$rig_user" -- env -i HOME="$home" USER="$rig_user"
    LOGNAME="$rig_user" PATH=/usr/local/bin:/usr/bin:/bin XDG_RUNTIME_DIR="/run/user/$uid"
    LANG=C.UTF-8 MW_WERROR="${MW_WERROR:-OFF}")
  sound_start "/run/user/$uid/pulse/native" "/run/user/$uid/rig-pulse.log" "${login[@]}"
  # The player's part stops the server at the end.
  rm -rf "$rig_work"
  exec "${login[@]}" bash "$home/marrowick/tools/desktop-rig.sh" --as-player
}

# The clone's first ./run play starts from the game this checkout built:
# its build tree, with the mtimes of the files the clone shares with the
# checkout, so that ninja rebuilds exactly what it would rebuild here. The
# clone's own build from nothing comes after rm -rf build. The player builds
# with the checkout's MW_WERROR, which the build's flags hold.
reuse_build() {
  local file
  [ -d "$1/build/sid" ] || return 0
  mkdir -p "$2/build"
  cp -a "$1/build/sid" "$2/build/"
  git -C "$2" ls-files | while read -r file; do
    ! cmp -s "$1/$file" "$2/$file" || touch -r "$1/$file" "$2/$file"
  done
}

# Keeps both cores busy as other programs on a desktop do: two busy loops
# and a build, each in a session of its own as if from a terminal of its
# own. In the rig's own session, with its X server, they held the game's
# threads still for up to 0.86 s at a time.
start_load() {
  load_jobs=()
  setsid bash -c '(while :; do :; done) & (while :; do :; done) & wait' &
  load_jobs+=($!)
  setsid tools/sidroot.sh run bash -c \
    'while :; do g++ -std=c++20 -O2 -I/src -c /src/game/Hero.cpp -o /dev/null; done' >/dev/null 2>&1 &
  load_jobs+=($!)
}

stop_load() {
  local job
  for job in "${load_jobs[@]}"; do kill -- "-$job" 2>/dev/null || true; done
  wait "${load_jobs[@]}" 2>/dev/null || true
}

# RMS amplitude of SECONDS of the null sink's monitor.
record_rms() {
  local file="$work/rec-$1.raw"
  timeout "$2" parec -d "$sink.monitor" --raw --format=s16le --rate=44100 --channels=1 >"$file" || true
  sox -t raw -r 44100 -e signed -b 16 -c 1 "$file" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'
}

# Sleeps until SECONDS after the moment START (an $EPOCHREALTIME).
sleep_until() {
  sleep "$(awk -v s="$1" -v d="$2" -v n="$EPOCHREALTIME" 'BEGIN { w = s + d - n; print (w > 0 ? w : 0) }')"
}

# The longest time, in ms, that the process PID's main thread went without
# running during SECONDS: a frame that waits on something shows as such a
# gap, while a frame that sleeps out its 33 ms wakes within them. Read from
# the scheduler's count of the thread's runs, which needs no tracing.
longest_stall() {
  local stat="/proc/$1/task/$1/schedstat" runs last="" since="$EPOCHREALTIME" now longest=0
  local end
  end="$(awk -v n="$EPOCHREALTIME" -v d="$2" 'BEGIN { printf "%.6f", n + d }')"
  while [ -r "$stat" ]; do
    now="$EPOCHREALTIME"
    above "$now" "$end" && break
    read -r _ _ runs <"$stat" 2>/dev/null || break
    [ "$runs" != "$last" ] && last="$runs" && since="$now"
    longest="$(awk -v n="$now" -v s="$since" -v l="$longest" 'BEGIN { g = int((n - s) * 1000); print (g > l ? g : l) }')"
    sleep 0.005
  done
  echo "$longest"
}

server_pid() { cat "$XDG_RUNTIME_DIR/pulse/pid"; }

start_server() {
  sound_start "$XDG_RUNTIME_DIR/pulse/native" "$work/pulse-restarted.log"
  pactl set-default-sink "$sink"
}

# Waits up to 5 s for the theme on the sink; prints the seconds it took, or fails with WHAT.
theme_back_within() {
  local from="$EPOCHREALTIME"
  for _ in $(seq 20); do
    if above "$(record_rms back 0.25)" "$theme_floor"; then
      since "$from"
      return
    fi
  done
  fail "$1"
}

no_core_files() {
  [ -z "$(find "$repo" "$play_dir" "$HOME" -maxdepth 2 -name 'core*' -type f 2>/dev/null)" ]
}

# Runs ./run play with the given environment changes, expecting a refusal
# whose last line matches PATTERN: expect_refusal PATTERN ENV...
expect_refusal() {
  local pattern="$1" status=0
  shift
  env "$@" ./run play >"$work/refusal.out" 2>"$work/refusal.err" </dev/null || status=$?
  local last
  last="$(tail -n 1 "$work/refusal.err")"
  [ "$status" -ne 0 ] || fail "./run play with $* ended with status 0"
  grep -q -E "$pattern" <<<"$last" || fail "./run play with $* said '$last'"
  [ "$(grep -c '^run: ' "$work/refusal.err")" -eq 1 ] || fail "./run play with $* said more than one line"
  no_core_files || fail "./run play with $* left a core file"
  say "refused as it should ($*): $last"
}

no_window_left() { window_gone || fail "the game's window stayed after the game ended"; }

# Waits for the game's window, for SECONDS (default 60; a run that builds
# first needs more).
wait_for_window() {
  window_within "${1:-60}" ||
    fail "no game window within ${1:-60} s (see $work/play-*.out and $play_dir/marrowick.log)"
}

# The first opponent's best time on the title screen (row 19, "HS: -:--").
best_time_shot() { shot "$work/$1.png" 120x32+120+608; }

start_game() {
  setsid ./run play >"$work/play-$1.out" 2>&1 </dev/null &
  game_pid=$!
}

# Ends the game started last (a TERM to its process group) and checks that its
# window goes.
stop_game() {
  kill -TERM -- "-$game_pid" 2>/dev/null || true
  wait "$game_pid" 2>/dev/null || true
  no_window_left
}

# The servers the player's part started stop with it.
rig_clean_up() { pulseaudio --kill 2>/dev/null; }

# The theme recorded from 20 to 50 s after the window showed (at SHOWN),
# across its loop point (25.6 s), with both cores kept busy from 16 s on. On
# a virtual machine the host may stop every program inside for a moment
# (steal time, reported here), and on a shared one other users' programs may
# hold both cores for longer than any stream's buffer: a damaged recording is
# made once more, from 52 to 82 s across the loop point at 76.8 s, and the
# second must pass. A game that drops sound under load fails both. Sets
# title, the recording's RMS.
theme_under_load() {
  say "recording the title from 20 to 50 s, both cores busy (two busy loops and a build)"
  sleep_until "$1" 16
  start_load
  local attempt start steal load passed=0
  for attempt in 1 2; do
    start=20
    [ "$attempt" = 2 ] && start=52
    sleep_until "$1" "$start"
    steal="$(awk '/^cpu / { print $9 }' /proc/stat)"
    title="$(record_rms title 30)"
    steal="$(awk -v s="$steal" '/^cpu / { print ($9 - s) * 10 }' /proc/stat)"
    load="$(cut -d ' ' -f 1 /proc/loadavg)"
    /usr/bin/python3 tools/sound-check.py fidelity "$work/rec-title.raw" \
      "$play_dir/audio/mwbrawlicktheme.wav" --slice-ms "$fidelity_slice_ms" \
      --min-percent "$fidelity_percent" >"$work/fidelity" &&
      passed=1 && break
    [ "$attempt" = 2 ] && break
    say "damaged recording (load $load, $steal ms stolen by the host meanwhile), made again: $(cat "$work/fidelity")"
  done
  stop_load
  say "RMS of the title under load: $title; load average $load; $steal ms stolen by the host during the recording"
  [ "$passed" = 1 ] || fail "the theme came out damaged under load: $(cat "$work/fidelity")"
  say "$(cat "$work/fidelity")"
}

# A punch is heard promptly with both cores busy: the stream's buffer, which
# keeps the theme whole, is not so long that the effects wait. In a fight of
# its own (from the title), where the hero is not yet held by knockdowns. The
# median has measured 44 to 59 ms, close to the bar: as with the theme, a
# measurement that fails on a shared machine is made once more, in a fresh
# game, and the second must pass.
punch_under_load() {
  local attempt load passed=0
  for attempt in 1 2; do
    if [ "$attempt" = 2 ]; then
      say "a slow measurement (load average $load), made again in a fresh game: $(cat "$work/key-delay")"
      stop_game
      start_game punches
      wait_for_window
      sleep 1
    fi
    say "punching in a new fight with both cores busy"
    xdotool key 1
    start_load
    sleep 2
    setsid -w /usr/bin/python3 tools/sound-check.py key-delay "$sink" p "$play_dir/audio/hero-swing.wav" \
      --with "$play_dir/audio/opponent-hit.wav" \
      --max-median "$key_delay_ms" >"$work/key-delay" 2>&1 && passed=1
    load="$(cut -d ' ' -f 1 /proc/loadavg)"
    stop_load
    [ "$passed" = 1 ] && break
  done
  [ "$passed" = 1 ] || fail "a punch is not heard promptly under load (load average $load): $(cat "$work/key-delay")"
  say "$(cat "$work/key-delay"); load average $load"
}

as_player() {
  repo="$HOME/marrowick"
  cd "$repo"
  play_dir="$HOME/.local/share/marrowick"
  x_start 42 "$HOME/.Xauthority"
  pactl info >/dev/null 2>&1 || fail "PulseAudio did not start (see $XDG_RUNTIME_DIR/rig-pulse.log)"
  pactl set-default-sink "$sink"
  say "PulseAudio runs for $(id -un) with the null sink $sink"

  # A new player: no best times yet.
  rm -f "$play_dir/hsdata.txt"
  local silence
  silence="$(record_rms silence 2)"
  say "RMS with nothing playing: $silence"

  # The failure paths; the first also builds the root and the game.
  say "building as $(id -un) (the first time makes the build root)"
  expect_refusal 'DISPLAY is not set' -u DISPLAY
  : >"$work/empty-authority"
  expect_refusal 'no authorization' XAUTHORITY="$work/empty-authority"

  # Of the real home, the sandbox sees only the folders its binds pass
  # through: the play folder and the sandbox's own HOME under the cache.
  local visible
  visible="$(tools/sidroot.sh desktop "$play_dir" ls -A "$HOME" | tr '\n' ' ')"
  [ "$visible" = ".cache .local " ] || fail "the game's sandbox sees more of $HOME: $visible"
  say "the sandbox sees of $HOME only: $visible"

  say "playing: title, then a fight with punches"
  start_game sound
  wait_for_window
  local shown="$EPOCHREALTIME"
  sleep 2
  pactl list short sink-inputs >"$work/sink-inputs"
  [ -s "$work/sink-inputs" ] || fail "the game has no playback stream on the sound server"
  say "the game's playback stream: $(head -n 1 "$work/sink-inputs"), buffer latency" \
    "$(pactl list sink-inputs | awk '/Buffer Latency:/ { print $3 / 1000 " ms"; exit }')"
  local theme title punch
  theme="$(record_rms theme 4)"
  say "RMS of the title screen (theme): $theme"
  above "$theme" "$theme_floor" || fail "the theme is silent (RMS $theme, floor $theme_floor)"
  theme_under_load "$shown"

  # The sound server goes away and comes back (a crash, an update) while the
  # title shows: the game finds it again by itself within 3 seconds.
  say "restarting the sound server on the title"
  pulseaudio --kill
  sleep 1
  start_server
  local back
  back="$(theme_back_within "the theme did not come back within 3 s of the sound server's restart (none s)")"
  above 3 "$back" || fail "the theme did not come back within 3 s of the sound server's restart ($back s)"
  say "the theme came back ${back} s after the sound server restarted"

  xdotool key 1
  sleep 1
  (for _ in $(seq 16); do xdotool key p; sleep 0.25; done) &
  punch="$(record_rms punch 4)"
  wait $!
  say "RMS of the fight with punches: $punch"
  above "$punch" "$(awk -v t="$theme" -v g="$punch_gain" 'BEGIN { print t * g }')" ||
    fail "the punches add no sound (RMS $punch against the theme's $theme)"
  /usr/bin/python3 tools/sound-check.py clipping "$work/rec-punch.raw" >"$work/clipping" ||
    fail "the fight's sound clips: $(cat "$work/clipping")"
  say "$(cat "$work/clipping")"
  # The sound server frozen (SIGSTOP, as a debugger or a suspended session
  # does) for 10 s during the fight: the game keeps its frames, and gets its
  # sound back when the server runs again; frozen once more, a TERM is
  # answered within a second.
  local game frozen stall thawed answered
  game="$(pgrep -u "$(id -u)" -x marrowick | head -n 1)"
  [ -n "$game" ] || fail "no game process found for the frozen-server check"
  say "freezing the sound server for 10 s during the fight"
  (for _ in $(seq 30); do xdotool key p; sleep 0.3; done) &
  frozen="$(server_pid)"
  kill -STOP "$frozen"
  stall="$(longest_stall "$game" 10)"
  kill -CONT "$frozen"
  wait $!
  [ "$stall" -le 100 ] || fail "a frame waited ${stall} ms while the sound server was frozen"
  thawed="$(theme_back_within "the theme did not come back within 5 s of the frozen server's return")"
  say "longest wait of the game's thread while the server was frozen: ${stall} ms; the theme came back ${thawed} s after"
  kill -STOP "$frozen"
  sleep 3
  local asked="$EPOCHREALTIME"
  kill -TERM -- "-$game_pid" 2>/dev/null || true
  for _ in $(seq 500); do kill -0 "$game" 2>/dev/null || break; sleep 0.01; done
  answered="$(since "$asked")"
  kill -CONT "$frozen"
  above 1 "$answered" || fail "a TERM sent while the sound server was frozen took $answered s to end the game"
  wait "$game_pid" 2>/dev/null || true
  say "TERM with the sound server frozen ended the game in $answered s"
  no_window_left

  # A sound server that starts after the game, with no pulse/ folder in the
  # runtime folder yet, as right after a login: the theme is heard.
  say "starting the sound server after the game, on a fresh runtime folder"
  pulseaudio --kill
  retry 5 eval '! pactl info'
  rm -rf "$XDG_RUNTIME_DIR/pulse"
  start_game late
  wait_for_window
  sleep 1
  start_server
  local late
  late="$(theme_back_within "the theme was not heard within 5 s of a sound server started after the game")"
  pactl list short sink-inputs >"$work/sink-inputs"
  [ -s "$work/sink-inputs" ] || fail "the game has no playback stream on the late sound server"
  say "the theme was heard ${late} s after a sound server started after the game"
  punch_under_load
  stop_game

  say "playing: title, then Escape"
  local started="$EPOCHREALTIME" first_frame status=0
  start_game escape
  wait_for_window
  first_frame="$(since "$started")"
  say "start-up, ./run play to the window, everything built: $first_frame s"
  sleep 1
  best_time_shot no-best-time
  xdotool key Escape
  wait "$game_pid" || status=$?
  [ "$status" -eq 0 ] || fail "Escape on the title ended ./run play with status $status"
  no_window_left
  say "Escape ended the game with status 0"
  [ -f "$play_dir/marrowick.log" ] || fail "no marrowick.log in $play_dir"
  grep -q "LogManager::shutDown() - LM was shutdown" "$play_dir/marrowick.log" ||
    fail "the log in $play_dir does not end with the log manager's shut-down"
  grep -q "Couldn't open highscore data file" "$play_dir/marrowick.log" ||
    fail "the game found a high-score file in $play_dir where there is none"

  say "a best time in the play folder is read, and survives rm -rf build and a rebuild"
  printf '105\n\n\n' >"$play_dir/hsdata.txt"
  rm -rf build
  start_game rebuild
  wait_for_window 1200
  sleep 1
  best_time_shot with-best-time
  xdotool key Escape
  status=0
  wait "$game_pid" || status=$?
  [ "$status" -eq 0 ] || fail "the rebuilt game ended with status $status"
  ! grep -q "Couldn't open highscore data file" "$play_dir/marrowick.log" ||
    fail "the game did not read $play_dir/hsdata.txt"
  [ "$(compare -metric AE "$work/no-best-time.png" "$work/with-best-time.png" null: 2>&1)" != 0 ] ||
    fail "the title screen does not show the stored best time"
  [ "$(head -n 1 "$play_dir/hsdata.txt")" = 105 ] || fail "the best time was lost: $(cat "$play_dir/hsdata.txt")"
  no_core_files || fail "a core file was left"

  say "the desktop's menu entry"
  ./run install >"$work/install.out" 2>&1 || fail "./run install failed (see $work/install.out)"
  local entry="$HOME/.local/share/applications/marrowick.desktop"
  local icon="$HOME/.local/share/icons/hicolor/256x256/apps/marrowick.png"
  grep -q "^Exec=\"$repo/run\" play\$" "$entry" || fail "the menu entry does not start ./run play"
  [ "$(identify -format '%wx%h' "$icon")" = 256x256 ] || fail "no 256 x 256 icon at $icon"
  ./run uninstall >/dev/null
  [ ! -e "$entry" ] && [ ! -e "$icon" ] || fail "./run uninstall left the menu entry or the icon"
  [ -f "$play_dir/hsdata.txt" ] || fail "./run uninstall removed the best times"

  echo "rig: levels (RMS): silence $silence, theme $theme, theme under load $title, theme with punches $punch; sound back $back s after a server restart; longest wait with the server frozen $stall ms, TERM then answered in $answered s; theme from a late server in $late s; start-up $first_frame s"
}

if [ "${1:-}" = --as-player ]; then
  as_player
elif [ "$(id -u)" -eq 0 ]; then
  as_root
else
  fail "run as root: it makes the ordinary user it plays as"
fi
