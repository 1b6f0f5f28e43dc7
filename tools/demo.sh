#!/usr/bin/env bash
# Plays the real program under Xvfb (title, tutorial, a fight against opponent 1 to its result or a
# time limit, title, Escape) and keeps screenshots, session.gif and marrowick.log in OUT_DIR:
#   tools/demo.sh BUILD_DIR OUT_DIR
set -euo pipefail

build="$1"
out="$2"
rig=demo
# shellcheck source=rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/rig.sh"
x_start 20 "$rig_work/Xauthority" >/dev/null
mkdir -p "$out" "$rig_work/frames"
rm -f "$out/knockdown.png" "$out/result.png"
copy_game_files "$build" "$rig_work"
(cd "$rig_work" && exec "$build/marrowick") >"$rig_work/stdout.txt" 2>&1 &

frame_number=0
# A screenshot, kept as a frame of the session, and as NAME.png when named.
take() {
  frame_number=$((frame_number + 1))
  frame="$(printf '%s/frames/%04d.png' "$rig_work" "$frame_number")"
  shot "$frame"
  [ -z "${1:-}" ] || cp "$frame" "$out/$1.png"
}
# Presses KEY, then waits 0.2 s and SECONDS more.
key() {
  xdotool key --delay 60 "$1"
  sleep 0.2 "${2:-0}"
}

window_within 60 || fail "no window within 60 s"
sleep 1.5
xdotool mousemove 512 384 # keys go to the window under the pointer
take title
key t 0.5
take tutorial
for k in q w o p; do
  key "$k" 0.7
  take
done
take tutorial-done
key Return 0.7
take
key 1 1
take fight-start
for k in o p o p; do
  key "$k" 0.4
done
take fight
for ((second = 0; second < 150; second++)); do
  sleep 1
  take
  # The first opponent's magenta name on row 12 of the title screen.
  shows "$frame" 180x32+84+384 '#FF00FF' && break
  # The yellow knockdown prompt on row 4 of a fight.
  if [ ! -e "$out/knockdown.png" ] && shows "$frame" 1024x32+0+128 '#FFFF00'; then
    cp "$frame" "$out/knockdown.png"
  fi
  # White text on row 10: a round's end or the result, whose prompt follows within three seconds.
  if shows "$frame" 480x32+276+320 '#FFFFFF'; then
    cp "$frame" "$out/result.png"
    sleep 3.5
    take
    key space
  fi
done
[ -e "$out/result.png" ] || say "no message within 150 s"
sleep 1
take back-to-title
key Escape
await $! 60
cp "$rig_work/marrowick.log" "$out/marrowick.log" 2>/dev/null || true
convert -delay 60 -loop 0 "$rig_work"/frames/*.png -resize 50% "$out/session.gif"
say "the program ended with status $status"
exit "$status"
