#!/bin/bash
# Draws every frame of the opponents' wind-ups in the ring, in the order the game
# shows them, each captioned with the draws it is on screen for; the frames where
# the cocked glove flashes (a '*' in the frame) are marked. Run it in the build root:
#   tools/sidroot.sh run xvfb-run -a -s "-screen 0 1024x768x24" /src/tools/windup-cue.sh [OUT]
# (default OUT: /src/docs/windup-cue.png; the build must be current).
set -e
sheet=${1:-/src/docs/windup-cue.png}
build=${MW_BUILD:-/src/build/sid}
tiles=$(mktemp -d)
trap 'rm -rf "$tiles"' EXIT
cd "$build/run"
viewer=$build/tools/viewer/mw_viewer
header() { sed -n "$2p" "$1"; }
caption() { # in out text background foreground
  convert "$1" -gravity south -background "$4" -fill "$5" -font mw-font.ttf -pointsize 14 \
    -splice 0x20 -annotate +0+2 "$3" "$2"
}
n=0
for opponent in 1 2 3; do
  prefix=opponent$opponent-
  [ "$opponent" = 1 ] && prefix=opponent-
  for side in left right; do
    file=sprites/opponent-$opponent/${prefix}chargeswing-$side.txt
    count=$(header "$file" 1)
    height=$(header "$file" 3)
    slowdown=$(header "$file" 4)
    n=$((n + 1))
    convert -size 150x160 xc:black -fill white -font mw-font.ttf -pointsize 16 \
      -gravity center -annotate +0+0 "opponent $opponent\n$side\n\n$count frames\nslowdown $slowdown" \
      "$tiles/$(printf %03d $n).png"
    for ((k = 0; k < count; k++)); do
      # The engine shows frame 0 on the first draw and frame k >= 1 on draws
      # (k - 1) * slowdown + 2 to k * slowdown + 1; the viewer shows frame k
      # after k * slowdown steps.
      first=$(((k - 1) * slowdown + 2))
      last=$((k * slowdown + 1))
      [ "$k" = 0 ] && first=1 last=1
      draws="draws $first-$last"
      [ "$first" = "$last" ] && draws="draw $first"
      "$viewer" fight "$opponent" "charge-$side" idle --png "$tiles/raw.png" \
        --frames $((k * slowdown + 1)) >/dev/null 2>&1
      # The opponent's columns 27 to 57 and rows 11 to 20, at half size.
      convert "$tiles/raw.png" -crop 397x320+346+352 +repage -resize 50% "$tiles/crop.png"
      n=$((n + 1))
      out=$tiles/$(printf %03d $n).png
      if sed -n "$((6 + k * height)),$((5 + (k + 1) * height))p" "$file" | grep -q '[*]'; then
        caption "$tiles/crop.png" "$out" "$draws: cue" white black
      else
        caption "$tiles/crop.png" "$out" "$draws" black grey70
      fi
    done
  done
done
rm "$tiles/raw.png" "$tiles/crop.png"
montage "$tiles"/*.png -tile 12x -geometry +3+3 -background '#202020' "$tiles/sheet.png"
convert "$tiles/sheet.png" -gravity north -background black -fill white -font mw-font.ttf \
  -pointsize 20 -splice 0x34 -annotate +0+6 \
  "Wind-ups: 31 draws, the swing on draw 32; a dodge from draw 23 on avoids it. The glove flashes on draws 20-31." \
  +dither -colors 32 "$sheet"
echo "windup-cue: $n pictures in $sheet"
