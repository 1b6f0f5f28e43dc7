#!/usr/bin/env bash
# Reads the code blocks of a Markdown file marked for a walk-through: those whose
# opening fence follows a line "<!-- walk-through: WHAT -->", WHAT saying what the
# block is ("file walker/main.cpp", "build root", "desktop").
#   tools/readme-blocks.sh FILE           every marked block's number and WHAT, a tab apart
#   tools/readme-blocks.sh FILE N         the text of block N (from 1), fences left out
#   tools/readme-blocks.sh FILE -w WHAT   the text of the first block marked WHAT
# Fails, naming the line, on a marker without a block right after it or a block
# that never closes; fails when the block asked for is not there.
set -euo pipefail

file="${1:-}"
wanted=0
what=""
case "$#:${2:-}" in
  1:) ;;
  2:*) wanted="$2" ;;
  3:-w) what="$3" ;;
  *) echo "usage: tools/readme-blocks.sh FILE [N | -w WHAT]" >&2; exit 2 ;;
esac
[ -r "$file" ] || { echo "readme-blocks: cannot read $file" >&2; exit 1; }

awk -v wanted="$wanted" -v what="$what" -v file="$file" '
  function fail(message) {
    print "readme-blocks: " file ":" NR ": " message > "/dev/stderr"
    failed = 1
    exit 1
  }
  inside && /^```[ \t]*$/ { inside = 0; next }
  inside && printing { print }
  inside { next }
  marked {
    marked = 0
    if ($0 !~ /^```/)
      fail("the walk-through marker above is not followed by a code block")
    inside = 1
    printing = ++count == wanted || (what != "" && label == what && !found)
    found = found || printing
    if (wanted == 0 && what == "")
      print count "\t" label
    next
  }
  /^<!-- walk-through: .* -->[ \t]*$/ {
    label = $0
    gsub(/^<!-- walk-through: | -->[ \t]*$/, "", label)
    marked = 1
  }
  END {
    if (failed)
      exit 1
    if (inside)
      fail("a walk-through block never closes")
    if (marked)
      fail("the walk-through marker is the last line")
    if ((wanted != 0 || what != "") && !found) {
      print "readme-blocks: " file " has no walk-through block " (what != "" ? "marked " what : wanted) > "/dev/stderr"
      exit 1
    }
  }
' "$file"
