#!/usr/bin/env bash
# Plays the real program under Xvfb with xdotool and keeps screenshots:
#   tools/demo.sh BUILD_DIR OUT_DIR
# Title, the tutorial through to ENTER, a fight against opponent 1 until its
# result or a time limit, back to the title, Escape. Writes title.png,
# tutorial.png, fight.png, result.png, back-to-title.png, session.gif, the run's
# marrowick.log and, when the hero went down, knockdown.png into OUT_DIR.
set -euo pipefail

build="$1"
out="$2"
fight_seconds="${MW_DEMO_FIGHT_SECONDS:-150}"
rig=demo
# shellcheck source=rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/rig.sh"
x_start 20 "$rig_work/Xauthority" >/dev/null
frames="$rig_work/frames"
mkdir -p "$out" "$frames"
copy_game_files "$build" "$rig_work"
say "playing in $rig_work"
(cd "$rig_work" && exec "$build/marrowick") >"$rig_work/stdout.txt" 2>&1 &
game=$!

frame_number=0
# A screenshot, kept as a frame of the session, and as NAME.png when named.
take() {
  frame_number=$((frame_number + 1))
  frame="$(printf '%s/%04d.png' "$frames" "$frame_number")"
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
result_seen=0
knocked_down=0
for ((second = 0; second < fight_seconds; second++)); do
  sleep 1
  take
  # The first opponent's magenta name on row 12 of the title screen.
  shows "$frame" 180x32+84+384 '#FF00FF' && break
  # The yellow knockdown prompt on row 4 of a fight.
  if [ "$knocked_down" = 0 ] && shows "$frame" 1024x32+0+128 '#FFFF00'; then
    cp "$frame" "$out/knockdown.png"
    knocked_down=1
  fi
  # White text on the message row (row 10): a round's end or the result,
  # whose prompt follows within three seconds.
  if shows "$frame" 480x32+276+320 '#FFFFFF'; then
    cp "$frame" "$out/result.png"
    result_seen=1
    sleep 3.5
    take
    key space
  fi
done
[ "$result_seen" = 1 ] || say "no message within ${fight_seconds}s"
sleep 1
take back-to-title
key Escape
status=0
wait "$game" || status=$?
cp "$rig_work/marrowick.log" "$out/marrowick.log" 2>/dev/null || true
convert -delay 60 -loop 0 "$frames"/*.png -resize 50% "$out/session.gif"
say "the program ended with status $status"
exit "$status"
