#!/usr/bin/env bash
# Runs the real program under Xvfb against missing and broken files:
#   tools/faults.sh BUILD_DIR [--short]
# Every case must reach the title screen, end with status 0 on Escape, and
# leave its log line where a log can be written. Prints a table of results.
# MW_FAULTS_READONLY_DIR, when set, names a prepared working directory that
# cannot be written (see ./run faults).
set -euo pipefail

build="$1"
short="${2:-}"
source "$(dirname "${BASH_SOURCE[0]}")/program-session.sh"
under_xvfb MW_FAULTS_IN_XVFB "$@"

scratch="$(mktemp -d /tmp/marrowick-faults-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
failures=0

fresh_copy() {
  local work="$scratch/$1"
  mkdir -p "$work"
  copy_game_files "$build" "$work"
  echo "$work"
}

# Starts the program in a working directory, waits for its window, takes a
# screenshot, presses Escape; prints "STATUS TITLE" (TITLE yes when the
# opponents' names of the title screen are on the screen).
play() {
  local work="$1" shot="$scratch/shot.png"
  (cd "$work" && exec "$build/marrowick") >"$scratch/stdout.txt" 2>&1 &
  local game=$!
  if ! timeout 20 xdotool search --sync --onlyvisible --name Marrowick windowfocus --sync >/dev/null 2>&1; then
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    echo "no-window no"
    return
  fi
  sleep 1.5
  import -window root "$shot"
  xdotool key Escape
  local status=0
  timeout 20 tail --pid="$game" -f /dev/null || kill -9 "$game" 2>/dev/null || true
  wait "$game" || status=$?
  # The first opponent's magenta name on row 12.
  local magenta
  magenta="$(convert "$shot" -crop 180x32+84+384 +repage -fill black +opaque '#FF00FF' \
    -colorspace Gray -format '%[fx:mean]' info:)"
  if awk -v m="$magenta" 'BEGIN { exit !(m > 0.005) }'; then
    echo "$status yes"
  else
    echo "$status no"
  fi
}

# run_case NAME WORK EXPECT_TITLE LOG_LINE_OR_EMPTY [STDOUT_LINE]
run_case() {
  local name="$1" work="$2" want_title="$3" line="$4" out_line="${5:-}"
  local result status title logged="-"
  result="$(play "$work")"
  status="${result% *}"
  title="${result#* }"
  if [ -n "$line" ]; then
    if grep -qF -- "$line" "$work/marrowick.log" 2>/dev/null; then logged=yes; else logged=NO; fi
  fi
  if [ -n "$out_line" ]; then
    if grep -qxF -- "$out_line" "$scratch/stdout.txt"; then logged=yes; else logged=NO; fi
  fi
  local verdict=ok
  if [ "$status" != 0 ] || [ "$logged" = NO ] || { [ "$want_title" = yes ] && [ "$title" != yes ]; }; then
    verdict=FAILED
    failures=$((failures + 1))
  fi
  printf '| %-52s | %6s | %5s | %6s | %-6s |\n' "$name" "$status" "$title" "$logged" "$verdict"
}

printf '| %-52s | %6s | %5s | %6s | %-6s |\n' case status title logged result
printf '|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" -------- ------- -------- --------

sprites=$(cd "$build/run" && find sprites -name '*.txt' | sort)
sounds=$(cd "$build/run" && find audio -name '*.wav' ! -name 'mwbrawlicktheme.wav' | sort)
if [ "$short" = --short ]; then
  sprites="sprites/frame-opponent1.txt sprites/opponent-3/opponent3-tell.txt"
  sounds="audio/tko.wav"
fi
for file in $sprites; do
  work="$(fresh_copy "missing-$(basename "$file")")"
  rm "$work/$file"
  run_case "missing $file" "$work" yes "ResourceManager::loadSprite - Failed to open file '$file'"
done
for file in $sounds; do
  work="$(fresh_copy "missing-$(basename "$file")")"
  rm "$work/$file"
  label="$(basename "$file" .wav)"
  run_case "missing $file" "$work" yes \
    "ResourceManager::loadSound - Unable to load sound '$label' from file '$file'"
done
work="$(fresh_copy missing-theme)"
rm "$work/audio/mwbrawlicktheme.wav"
run_case "missing audio/mwbrawlicktheme.wav" "$work" yes \
  "ResourceManager::loadMusic - Unable to load music 'theme-music' from file 'audio/mwbrawlicktheme.wav'"

work="$(fresh_copy missing-font)"
rm "$work/mw-font.ttf"
run_case "missing mw-font.ttf (nothing can be drawn)" "$work" no "" "Couldn't load font."

work="$(fresh_copy hsdata-directory)"
mkdir "$work/hsdata.txt"
run_case "hsdata.txt is a directory" "$work" yes \
  "MatchLoader::startUp() -- Couldn't open highscore data file!"

work="$(fresh_copy garbage-sprite)"
head -c 3000 /dev/zero | tr '\0' '\377' >"$work/sprites/frame-opponent2.txt"
printf '\001\002\r\n\177garbage\0\0\0' >>"$work/sprites/frame-opponent2.txt"
run_case "sprites/frame-opponent2.txt is binary garbage" "$work" yes \
  "ResourceManager::loadSprite - Couldn't identify color"

work="$(fresh_copy sprite-directory)"
rm "$work/sprites/hero-idle.txt"
mkdir "$work/sprites/hero-idle.txt"
run_case "sprites/hero-idle.txt is a directory" "$work" yes \
  "ResourceManager::loadSprite - Failed to open file 'sprites/hero-idle.txt'"

work="$(fresh_copy vast-sprite)"
printf '1\n3000\n3000\n1\nblue\n' >"$work/sprites/ring-spr.txt"
run_case "sprites/ring-spr.txt declares 3000 x 3000 cells" "$work" yes \
  "ResourceManager::loadSprite - Size 3000 x 3000 in 'sprites/ring-spr.txt' exceeds"

if [ -n "${MW_FAULTS_READONLY_DIR:-}" ]; then
  run_case "working directory not writable (no log)" "$MW_FAULTS_READONLY_DIR" yes ""
  if [ -e "$MW_FAULTS_READONLY_DIR/marrowick.log" ] || [ -e "$MW_FAULTS_READONLY_DIR/hsdata.txt" ]; then
    echo "faults: something was written into the read-only directory" >&2
    failures=$((failures + 1))
  fi
fi

echo "faults: $failures failed"
[ "$failures" = 0 ]
