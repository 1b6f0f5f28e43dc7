#!/usr/bin/env bash
# Reads a Markdown file's code blocks whose fence follows a line "<!-- walk-through: WHAT -->"
# (WHAT: "file walker/main.cpp", "build root", "desktop"); fails on a marker without a block:
#   tools/readme-blocks.sh FILE           every marked block's number and WHAT, a tab apart
#   tools/readme-blocks.sh FILE N         the text of block N (from 1), fences left out
#   tools/readme-blocks.sh FILE -w WHAT   the text of the first block marked WHAT
set -euo pipefail

file="${1:-}"
wanted=0 what=""
case "$#:${2:-}" in
  1:) ;;
  2:*) wanted="$2" ;;
  3:-w) what="$3" ;;
  *) echo "usage: tools/readme-blocks.sh FILE [N | -w WHAT]" >&2; exit 2 ;;
esac

awk -v wanted="$wanted" -v what="$what" -v file="$file" '
  function fail(message) {
    print "readme-blocks: " file ":" NR ": " message > "/dev/stderr"
    failed = 1
    exit 1
  }
  inside && /^```[ \t]*$/ { inside = 0; next }
  inside { if (printing) print; next }
  marked && !/^```/ { fail("the walk-through marker above is not followed by a code block") }
  marked {
    marked = 0
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
    if ((wanted != 0 || what != "") && !found)
      fail("the file ends without walk-through block " (what != "" ? "marked " what : wanted))
  }
' "$file"
