#!/bin/bash
# Draws every frame of every opponent's and the hero's poses in the ring with
# the viewer and puts them on one contact sheet. Run it in the build root:
#   tools/sidroot.sh run xvfb-run -a -s "-screen 0 1024x768x24" /src/tools/poses.sh [OUT]
# (default OUT: /src/docs/poses.png; the build must be current).
set -e
sheet=${1:-/src/docs/poses.png}
build=${MW_BUILD:-/src/build/sid}
tiles=$(mktemp -d)
trap 'rm -rf "$tiles"' EXIT
cd "$build/run"
viewer=$build/tools/viewer/mw_viewer
header() { sed -n "$2p" "$1"; }
# The middle of the ring, half size, with a caption under it.
shot() { # number opponent pose hero-pose frames caption
  "$viewer" fight "$2" "$3" "$4" --png "$tiles/raw.png" --frames "$5" >/dev/null 2>&1
  convert "$tiles/raw.png" -crop 525x400+281+312 +repage -resize 50% \
    -gravity south -background black -fill white -font mw-font.ttf -pointsize 14 \
    -splice 0x18 -annotate +0+2 "$6" "$tiles/$(printf %03d "$1").png"
}
# Every look of a sprite file once (a frame that repeats an earlier one is left
# out): the viewer shows frame k after k * slowdown steps.
frames() { # file callback...
  local file=$1 count slowdown height k rows
  local -A seen=()
  shift
  count=$(header "$file" 1)
  height=$(header "$file" 3)
  slowdown=$(header "$file" 4)
  [ "$slowdown" -gt 0 ] 2>/dev/null || slowdown=1
  for ((k = 0; k < count; k++)); do
    rows=$(sed -n "$((6 + k * height)),$((5 + (k + 1) * height))p" "$file" | md5sum)
    [ -n "${seen[$rows]+x}" ] && continue
    seen[$rows]=1
    "$@" $((k * slowdown + 1)) "$((k + 1))/$count"
  done
}
n=0
opponentShot() { n=$((n + 1)); shot $n "$1" "$2" idle "$3" "$1 $2 $4"; }
heroShot() { n=$((n + 1)); shot $n 1 idle "$1" "$2" "hero $1 $3"; }
for opponent in 1 2 3; do
  prefix=opponent$opponent-
  [ "$opponent" = 1 ] && prefix=opponent-
  for pose in idle charge-left swing-left charge-right swing-right dodge-left dodge-right \
    tell stunned down; do
    file=$pose
    case $pose in charge-*) file=chargeswing-${pose#charge-} ;; esac
    frames "sprites/opponent-$opponent/$prefix$file.txt" opponentShot "$opponent" "$pose"
  done
done
for pose in idle d-left d-right s-left s-right down; do
  case $pose in
    d-*) file=dodge-${pose#d-} ;;
    s-*) file=swing-${pose#s-} ;;
    *) file=$pose ;;
  esac
  frames "sprites/hero-$file.txt" heroShot "$pose"
done
rm "$tiles/raw.png"
montage "$tiles"/*.png -tile 9x -geometry +4+4 -background '#202020' "$tiles/sheet.png"
convert "$tiles/sheet.png" +dither -colors 16 "$sheet"
echo "poses: $n pictures in $sheet"
