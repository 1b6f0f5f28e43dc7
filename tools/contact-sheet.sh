#!/bin/bash
# Draws sprite frames in the ring with the viewer onto one contact sheet: every look of every pose
# (poses), or every frame of the opponents' wind-ups with the draws it shows on, the glove's flash
# (a '*') marked (windup-cue). In the build root, the build current (OUT: /src/docs/MODE.png):
#   tools/sidroot.sh run xvfb-run -a -s "-screen 0 1024x768x24" /src/tools/contact-sheet.sh MODE [OUT]
set -e
mode=$1
[ "$mode" = poses ] || [ "$mode" = windup-cue ] ||
  { echo "usage: tools/contact-sheet.sh poses|windup-cue [OUT]" >&2; exit 2; }
sheet=${2:-/src/docs/$mode.png}
build=${MW_BUILD:-/src/build/sid}
tiles=$(mktemp -d)
trap 'rm -rf "$tiles"' EXIT
cd "$build/run"
n=0
# A sprite file's frame count, height and slowdown, and the rows of its frame K.
read_header() { { read -r count && read -r _ && read -r height && read -r slowdown; } <"$1"; }
frame_rows() { sed -n "$((6 + $2 * height)),$((5 + ($2 + 1) * height))p" "$1"; }
# Opponent 1's sprite files carry no number: opponent-idle.txt, opponent2-idle.txt.
opponent_file() { echo "sprites/opponent-$1/opponent${1#1}-${2/#charge-/chargeswing-}.txt"; }
# The next tile: the viewer's ring after some steps, cropped, at half size, with a caption.
tile() { # opponent pose hero-pose steps crop caption background foreground caption-height
  "$build/tools/viewer/mw_viewer" fight "$1" "$2" "$3" --png "$tiles/raw.png" --frames "$4" >/dev/null 2>&1
  n=$((n + 1))
  convert "$tiles/raw.png" -crop "$5" +repage -resize 50% -gravity south -background "$7" -fill "$8" \
    -font mw-font.ttf -pointsize 14 -splice "0x$9" -annotate +0+2 "$6" "$tiles/$(printf %03d $n).png"
}

# Every look of a sprite file once (not frames repeating an earlier one): frame k after k * slowdown steps.
looks() { # file opponent pose hero-pose caption
  local k rows
  local -A seen=()
  read_header "$1"
  [ "$slowdown" -gt 0 ] 2>/dev/null || slowdown=1
  for ((k = 0; k < count; k++)); do
    rows=$(frame_rows "$1" $k | md5sum)
    [ -n "${seen[$rows]+x}" ] && continue
    seen[$rows]=1
    tile "$2" "$3" "$4" $((k * slowdown + 1)) 525x400+281+312 "$5 $((k + 1))/$count" black white 18
  done
}

poses() {
  for opponent in 1 2 3; do
    for pose in idle charge-left swing-left charge-right swing-right dodge-left dodge-right tell stunned down; do
      looks "$(opponent_file "$opponent" "$pose")" "$opponent" "$pose" idle "$opponent $pose"
    done
  done
  for pose in idle d-left d-right s-left s-right down; do
    file=${pose/#d-/dodge-}
    looks "sprites/hero-${file/#s-/swing-}.txt" 1 idle "$pose" "hero $pose"
  done
  montage "$tiles"/[0-9]*.png -tile 9x -geometry +4+4 -background '#202020' "$tiles/sheet.png"
  convert "$tiles/sheet.png" +dither -colors 16 "$sheet"
}

windup-cue() {
  for opponent in 1 2 3; do
    for side in left right; do
      file=$(opponent_file "$opponent" "charge-$side")
      read_header "$file"
      n=$((n + 1))
      convert -size 150x160 xc:black -fill white -font mw-font.ttf -pointsize 16 \
        -gravity center -annotate +0+0 "opponent $opponent\n$side\n\n$count frames\nslowdown $slowdown" \
        "$tiles/$(printf %03d $n).png"
      for ((k = 0; k < count; k++)); do
        # Frame 0 shows on the first draw, frame k >= 1 on draws (k - 1) * slowdown + 2 to k * slowdown + 1.
        first=$((k == 0 ? 1 : (k - 1) * slowdown + 2)) last=$((k * slowdown + 1))
        draws="draws $first-$last"
        [ "$first" = "$last" ] && draws="draw $first"
        # The opponent's columns 27 to 57 and rows 11 to 20.
        caption=("$draws" black grey70)
        frame_rows "$file" $k | grep -q '[*]' && caption=("$draws: cue" white black)
        tile "$opponent" "charge-$side" idle $((k * slowdown + 1)) 397x320+346+352 "${caption[@]}" 20
      done
    done
  done
  montage "$tiles"/[0-9]*.png -tile 12x -geometry +3+3 -background '#202020' "$tiles/sheet.png"
  convert "$tiles/sheet.png" -gravity north -background black -fill white -font mw-font.ttf \
    -pointsize 20 -splice 0x34 -annotate +0+6 \
    "Wind-ups: 31 draws, the swing on draw 32; a dodge from draw 23 on avoids it. The glove flashes on draws 20-31." \
    +dither -colors 32 "$sheet"
}

"$mode"
echo "$mode: $n pictures in $sheet"
