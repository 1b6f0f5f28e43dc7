#!/usr/bin/env bash
# tests/bench/compare.sh OLD_BENCH NEW_BENCH [RUNS] [FRAMES]
#
# Runs two builds of the frame bench (tests/bench/FrameBench.cpp) in turns, RUNS times each
# (default 3), in the working directory (a build's run/ folder) on the current X display, and
# prints the median of every figure over the runs, the old build's beside the new one's; each
# figure is also a multiple of the floor measured in its own run. To set an older commit
# against this checkout, build this bench source in a work tree of that commit:
#
#   git worktree add --detach /tmp/old COMMIT
#   cp tests/bench/FrameBench.cpp /tmp/old/tests/bench/
#   cmake -S /tmp/old -B /tmp/old/build -G Ninja && cmake --build /tmp/old/build --target marrowick_frame_bench
#   cd build/sid/run && xvfb-run -a -s '-screen 0 1280x1024x24' \
#     ../../../tests/bench/compare.sh /tmp/old/build/tests/marrowick_frame_bench ../tests/marrowick_frame_bench
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: compare.sh OLD_BENCH NEW_BENCH [RUNS] [FRAMES]" >&2; exit 2; }
old="$1"
new="$2"
runs="${3:-3}"
frames="${4:-150}"
output="$(mktemp)"
trap 'rm -f "$output"' EXIT

for ((run = 1; run <= runs; ++run)); do
  for build in old new; do
    bench="$old"
    [ "$build" = new ] && bench="$new"
    "$bench" "$frames" | sed "s/^/$build /" >>"$output"
  done
done

# Each figure line: build, scene (one or two words), path, then seven numbers, the ratios in
# parentheses. The median of each of them per build, scene and path.
awk '
  function median(list, n,   values, count, i, j, swap) {
    count = split(list, values, " ")
    for (i = 1; i <= count; ++i)
      for (j = i + 1; j <= count; ++j)
        if (values[j] + 0 < values[i] + 0) { swap = values[i]; values[i] = values[j]; values[j] = swap }
    return values[int((count + 1) / 2)]
  }
  $2 == "scene" { next }
  {
    gsub(/x\)/, " ")
    gsub(/[(%]/, " ")
    build = $1
    count = split($0, field, " ")
    key = field[2] " " field[3]
    first = 4
    if (field[4] !~ /^[0-9.]+$/) { key = key " " field[4]; first = 5 }
    if (!(key in seen)) { seen[key] = 1; order[++keys] = key }
    for (i = 0; i < 7; ++i) figures[build, key, i] = figures[build, key, i] " " field[first + i]
  }
  END {
    printf "%-30s %27s %27s %29s %17s\n", "", "median ms (x floor)", "mean ms (x floor)",
           "CPU ms a frame (x floor)", "CPU at 30/s"
    printf "%-30s %13s %13s %13s %13s %14s %14s %8s %8s\n", "scene and path", "old", "new", "old",
           "new", "old", "new", "old", "new"
    for (k = 1; k <= keys; ++k) {
      key = order[k]
      line = sprintf("%-30s", key)
      for (i = 0; i < 6; i += 2)
        for (b = 0; b < 2; ++b) {
          build = b ? "new" : "old"
          line = line sprintf(" %6.2f (%5.2fx)", median(figures[build, key, i]), median(figures[build, key, i + 1]))
        }
      line = line sprintf(" %7.1f%% %7.1f%%", median(figures["old", key, 6]), median(figures["new", key, 6]))
      print line
    }
  }' "$output"
