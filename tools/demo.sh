#!/usr/bin/env bash
# Plays the real program under Xvfb with xdotool and keeps screenshots:
#   tools/demo.sh BUILD_DIR OUT_DIR
# Title screen, the tutorial through to ENTER, a fight against opponent 1
# until its result or a time limit, back to the title, Escape. Writes
# title.png, tutorial.png, fight.png, result.png, back-to-title.png,
# session.gif and the run's marrowick.log into OUT_DIR, and knockdown.png
# when the hero went down during the fight.
set -euo pipefail

build="$1"
out="$2"
fight_seconds="${MW_DEMO_FIGHT_SECONDS:-150}"

source "$(dirname "${BASH_SOURCE[0]}")/program-session.sh"
under_xvfb MW_DEMO_IN_XVFB "$@"

work="$(mktemp -d /tmp/marrowick-demo-XXXXXX)"
frames="$work/frames"
mkdir -p "$out" "$frames"
copy_game_files "$build" "$work"
echo "demo: playing in $work"

(cd "$work" && exec "$build/marrowick") >"$work/stdout.txt" 2>&1 &
game=$!

frame_number=0
shot() { # shot NAME: a screenshot, also kept as a frame of the session
  frame_number=$((frame_number + 1))
  local frame
  frame="$frames/$(printf '%04d' "$frame_number").png"
  import -window root "$frame"
  [ -n "${1:-}" ] && cp "$frame" "$out/$1.png"
  return 0
}
key() { xdotool key --delay 60 "$@"; sleep 0.2; }
last_frame() { printf '%s/%04d.png' "$frames" "$frame_number"; }
# Fraction of the region's pixels in the colour: region_has W H X Y COLOUR
region_has() {
  local mean
  mean="$(convert "$(last_frame)" -crop "${1}x${2}+${3}+${4}" +repage -fill black +opaque "$5" \
    -colorspace Gray -format '%[fx:mean]' info:)"
  awk -v m="$mean" 'BEGIN { exit !(m > 0.005) }'
}
# White text on the message row (row 10, columns 23 to 62) of a fight.
message_shown() { region_has 480 32 276 320 '#FFFFFF'; }
# The first opponent's magenta name on row 12 of the title screen.
on_title() { region_has 180 32 84 384 '#FF00FF'; }
# The yellow knockdown prompt on row 4 of a fight.
knockdown_shown() { region_has 1024 32 0 128 '#FFFF00'; }

xdotool search --sync --onlyvisible --name Marrowick >/dev/null
sleep 1.5
xdotool mousemove 512 384 # keys go to the window under the pointer
shot title

key t
sleep 0.5
shot tutorial
for k in q w o p; do
  key "$k"
  sleep 0.7
  shot
done
shot tutorial-done
key Return
sleep 0.7
shot

key 1
sleep 1
shot fight-start
for k in o p o p; do key "$k"; sleep 0.4; done
shot fight
result_seen=0
knockdown_seen=0
for ((second = 0; second < fight_seconds; second++)); do
  sleep 1
  shot
  if on_title; then
    break
  fi
  if [ "$knockdown_seen" = 0 ] && knockdown_shown; then
    cp "$(last_frame)" "$out/knockdown.png"
    knockdown_seen=1
  fi
  if message_shown; then
    # A round's end or the result; the prompt follows within three seconds.
    cp "$(last_frame)" "$out/result.png"
    result_seen=1
    sleep 3.5
    shot
    key space
  fi
done
[ "$result_seen" = 1 ] || echo "demo: no message within ${fight_seconds}s"
sleep 1
shot back-to-title
key Escape
status=0
wait "$game" || status=$?
cp "$work/marrowick.log" "$out/marrowick.log" 2>/dev/null || true
convert -delay 60 -loop 0 "$frames"/*.png -resize 50% "$out/session.gif"
rm -rf "$work"
echo "demo: the program ended with status $status"
exit "$status"
