#!/usr/bin/env bash
# Checks what `./run play` does around the game, on an X server of its own:
#   tools/play-check.sh
# - TERM to the script (kill), INT and HUP to its process group (Ctrl+C in its
#   terminal, the terminal closed) and TERM to each of its processes (logout)
#   reach the game, which shuts down cleanly: ./run play ends with status 0
#   and says nothing, the log ends with the log manager's last line, no game
#   is left running; and the play folder's old data was replaced by the
#   build's.
# - An output closed after its first byte (./run play | head -c 1) is not a
#   failed build: the game is played, and ./run play says the output closed.
# - Job control, on a pseudo-terminal with an interactive shell: Ctrl+Z stops
#   the game, fg sets it going again; and a program in the sandbox cannot
#   type into that terminal.
# - HOME unset is taken from the user database; a relative XDG_DATA_HOME is
#   ignored for ~/.local/share.
# - As root (which these cases need, for a mount namespace): a play folder too
#   full for the new data, one that cannot be written, and one where the new
#   data cannot be renamed into place keep their old data whole, and
#   ./run play fails with one line saying why.
# It plays the checkout it is in (building its game, as ./run play does), with
# a HOME and play folders of its own under /tmp; the build root is the
# user's own (MARROWICK_CACHE).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The user's build root, found before HOME changes below.
export MARROWICK_CACHE="${MARROWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/marrowick}"
rig="play-check"
# shellcheck source=rig.sh
source "$repo/tools/rig.sh"
# shellcheck source=play.sh
source "$repo/tools/play.sh"
work="$rig_work"
x_start 20 "$work/Xauthority" >/dev/null
failures=0
run_dir=""

failed() {
  echo "play-check: FAILED: $*" >&2
  failures=$((failures + 1))
}

# An older build's data in the play folder: the theme cut to half and a
# sprite the new build does not have.
old_data() {
  mkdir -p "$1"
  copy_game_files "${run_dir%/run}" "$1"
  head -c 1000000 "$run_dir/audio/mwbrawlicktheme.wav" >"$1/audio/mwbrawlicktheme.wav"
  echo "1 1 1 white x" >"$1/sprites/old-sprite.txt"
}

# session NAME HOW [ENV...]: plays ./run play with the environment changes
# from $work/NAME (its working directory) and ends it by HOW: escape, or
# "SIGNAL to script|group|every process". Writes its status to
# $work/NAME.status.
session() {
  local name="$1" how="$2"
  shift 2
  mkdir -p "$work/$name"
  set -m
  if [ -n "${output_reader:-}" ]; then
    # Standard output read by a command of its own; the status is ./run play's.
    (cd "$work/$name" && env "$@" "$repo/run" play 2>"$work/$name.err" | $output_reader >"$work/$name.out"
    exit "${PIPESTATUS[0]}") </dev/null &
  else
    (cd "$work/$name" && exec env "$@" "$repo/run" play) >"$work/$name.out" 2>"$work/$name.err" </dev/null &
  fi
  local play=$!
  set +m
  # The first session builds the game first.
  local waited=0
  until xdotool search --onlyvisible --name Marrowick >/dev/null 2>&1; do
    if ! kill -0 "$play" 2>/dev/null || [ "$waited" -ge 9000 ]; then
      kill -s KILL -- "-$play" 2>/dev/null || true
      local status=0
      wait "$play" || status=$?
      echo "$status, no window" >"$work/$name.status"
      return
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  sleep 1.5
  local processes signal
  processes="$(descendants "$play")"
  signal="${how%% *}"
  case "$how" in
    escape) xdotool search --name Marrowick windowfocus --sync key Escape >/dev/null 2>&1 ;;
    *" to script") kill -s "$signal" "$play" ;;
    *" to group") kill -s "$signal" -- "-$play" ;;
    *" to every process")
      local pid
      for pid in "$play" $processes; do kill -s "$signal" "$pid" 2>/dev/null || true; done
      ;;
  esac
  local status=0
  timeout 60 tail --pid="$play" -s 0.1 -f /dev/null || kill -s KILL -- "-$play" 2>/dev/null || true
  wait "$play" || status=$?
  echo "$status" >"$work/$name.status"
  local pid left=""
  for pid in $processes; do
    if kill -0 "$pid" 2>/dev/null; then left="$left $pid"; fi
  done
  if [ -n "$left" ]; then
    failed "$name: processes left running:$left ($(ps -o comm= -p "${left# }" | tr '\n' ' '))"
    # shellcheck disable=SC2086 # a list of pids
    kill -s KILL $left 2>/dev/null || true
  fi
  window_gone || failed "$name: the game's window stayed"
}

# expect_clean_end NAME PLAY_FOLDER [STOP_SIGNAL]
expect_clean_end() {
  local name="$1" folder="$2" stop="${3:-}" status
  status="$(cat "$work/$name.status")"
  [ "$status" = 0 ] || failed "$name: ./run play ended with status $status: $(tail -n 2 "$work/$name.err" | tr '\n' ' ')"
  ! grep -q '^run: ' "$work/$name.err" || failed "$name: ./run play said: $(grep '^run: ' "$work/$name.err")"
  [ "$(tail -n 1 "$folder/marrowick.log" 2>/dev/null)" = "LogManager::shutDown() - LM was shutdown" ] ||
    failed "$name: the log in $folder does not end with the log manager's shut-down"
  if [ -n "$stop" ]; then
    grep -qxF "GameManager::run() - Stopped by $stop" "$folder/marrowick.log" 2>/dev/null ||
      failed "$name: the log in $folder does not say the game was stopped by $stop"
  fi
}

# The build, and where it puts the game's data: a first session, ended with Escape.
say "building and playing the checkout in $repo"
session first escape HOME="$work/home" XDG_DATA_HOME="$work/data"
built="$(sed -n 's/^run: built with SFML .* in \(.*\)$/\1/p' "$work/first.out")"
if [ -z "$built" ]; then
  cat "$work/first.out" "$work/first.err" >&2
  echo "play-check: the build failed" >&2
  exit 1
fi
run_dir="$repo/build/${built##*/}/run"
expect_clean_end first "$work/data/marrowick"

# Signals, each into a play folder that holds an older build's data.
for how in "TERM to script" "INT to group" "HUP to group" "TERM to every process"; do
  name="${how// /-}"
  folder="$work/data-$name/marrowick"
  old_data "$folder"
  session "$name" "$how" HOME="$work/home" XDG_DATA_HOME="$work/data-$name"
  expect_clean_end "$name" "$folder" "SIG${how%% *}"
  for item in sprites audio mw-font.ttf; do
    diff -r -q "$run_dir/$item" "$folder/$item" >/dev/null ||
      failed "$name: $folder/$item is not the build's"
  done
  [ -z "$(find "$folder" -maxdepth 1 -name '.refresh-*')" ] || failed "$name: the refresh left $(ls -A "$folder")"
  say "$how: ./run play ended with status $(cat "$work/$name.status")"
done

# An output closed by its reader after one byte is not a failed build: the
# game is built and played, and ./run play says only that the output closed.
output_reader="head -c 1" session closed-output escape HOME="$work/home" XDG_DATA_HOME="$work/data-closed-output"
[ "$(cat "$work/closed-output.status")" = 0 ] &&
  [ "$(grep '^run: ' "$work/closed-output.err" | sed 's/^run: built with SFML .* in [^;]*;/run: built;/')" = \
    "run: built; the output was closed, so its messages were not all shown" ] &&
  [ "$(tail -n 1 "$work/data-closed-output/marrowick/marrowick.log" 2>/dev/null)" = "LogManager::shutDown() - LM was shutdown" ] ||
  failed "closed output: status $(cat "$work/closed-output.status"); it said: $(grep '^run: ' "$work/closed-output.err" | tr '\n' '|')"
say "output closed after one byte: status $(cat "$work/closed-output.status"), it said: $(head -n 1 "$work/closed-output.err")"

# Job control on a terminal: ./run play typed into an interactive shell on a
# pseudo-terminal, Ctrl+Z stops the game with it (state T, the shell says
# Stopped), fg sets it going again, Escape ends it with status 0. Then a
# program in the same sandbox tries to type into that terminal (TIOCSTI),
# which must be refused. Prints one line per fact.
job_control() {
  local folder="$1"
  mkdir -p "$folder"
  printf '%s\n' 'my $c = "x";' 'ioctl(STDIN, 0x5412, $c) or die "typing refused: $!\n";' \
    'print "typed into the terminal\n";' >"$folder/type.pl"
  python3 - "$repo" "$work/home" "${folder%/marrowick}" "$folder" <<'PY'
import os, pty, re, select, subprocess, sys, time

repo, home, data, folder = sys.argv[1:5]
shell, terminal = pty.fork()
if shell == 0:
    os.execvpe("bash", ["bash", "--norc", "--noprofile", "-i"],
               dict(os.environ, PS1="prompt$ ", HOME=home, XDG_DATA_HOME=data))
said = b""

def read(seconds, done=lambda: False):
    global said
    end = time.time() + seconds
    while time.time() < end and not done():
        if select.select([terminal], [], [], 0.1)[0]:
            try:
                said += os.read(terminal, 65536)
            except OSError:
                break
    return done()

def game_state():
    table = subprocess.run(["ps", "-e", "-o", "pid=,ppid=,stat=,comm="],
                           capture_output=True, text=True).stdout.split("\n")
    rows = [row.split(None, 3) for row in table if row.strip()]
    family, states = {shell}, []
    for _ in range(20):
        family |= {int(r[0]) for r in rows if int(r[1]) in family}
    return "".join(r[2][0] for r in rows if int(r[0]) in family and r[3] == "marrowick")

def window():
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Marrowick"],
                          capture_output=True).returncode == 0

def type_line(line):
    os.write(terminal, line.encode() + b"\n")

type_line(f"cd '{folder}' && '{repo}/run' play")
print("window shown:", "yes" if read(900, window) else "no")
read(1.5)
os.write(terminal, b"\x1a")
print("after Ctrl+Z:", "stopped" if read(10, lambda: game_state() == "T" and b"Stopped" in said)
      else f"state {game_state()!r}")
read(2)
print("two seconds later:", "stopped" if game_state() == "T" else f"state {game_state()!r}")
type_line("fg")
print("after fg:", "running" if read(10, lambda: game_state() in ("S", "R")) else f"state {game_state()!r}")
read(1.5)
subprocess.run(["xdotool", "search", "--name", "Marrowick", "windowfocus", "--sync", "key", "Escape"],
               capture_output=True)
read(60, lambda: game_state() == "")
# The status of the job that fg waited for.
type_line('echo "play ended with $?."')
ended = lambda: re.search(rb"play ended with (\d+)\.", said)
print("./run play:", ended().group(1).decode() if read(10, ended) else "did not end")
if os.path.exists(f"{repo}/build/sid"):
    type_line(f"'{repo}/tools/sidroot.sh' desktop '{folder}' perl type.pl")
    read(60, lambda: b"typ" in said.split(b"type.pl")[-1] and b"\n" in said.split(b"typ")[-1])
    tail = said.split(b"type.pl")[-1].decode(errors="replace")
    print("a sandboxed program:", "typing refused" if "typing refused" in tail else
          "typed into the terminal" if "typed into" in tail else "said nothing")
type_line("exit")
read(5)
try:
    os.kill(shell, 9)
except ProcessLookupError:
    pass
os.waitpid(shell, 0)
PY
}

say "job control on a pseudo-terminal"
expected_job_control="window shown: yes
after Ctrl+Z: stopped
two seconds later: stopped
after fg: running
./run play: 0"
[ "$(basename "${run_dir%/run}")" = sid ] && expected_job_control+="
a sandboxed program: typing refused"
job_control "$work/data-job-control/marrowick" >"$work/job-control.out" 2>&1 || true
[ "$(cat "$work/job-control.out")" = "$expected_job_control" ] ||
  failed "job control: $(tr '\n' '|' <"$work/job-control.out")"
[ "$(tail -n 1 "$work/data-job-control/marrowick/marrowick.log" 2>/dev/null)" = "LogManager::shutDown() - LM was shutdown" ] ||
  failed "job control: the log does not end with the log manager's shut-down"
say "job control: $(tr '\n' ';' <"$work/job-control.out")"

# The XDG base-directory rules.
session home-unset escape -u HOME XDG_DATA_HOME="$work/data-home-unset"
expect_clean_end home-unset "$work/data-home-unset/marrowick"
say "HOME unset: status $(cat "$work/home-unset.status"), played in \$XDG_DATA_HOME/marrowick"
session relative-xdg escape HOME="$work/home-relative" XDG_DATA_HOME=relative/data
expect_clean_end relative-xdg "$work/home-relative/.local/share/marrowick"
[ ! -e "$work/relative-xdg/relative" ] || failed "relative-xdg: the relative XDG_DATA_HOME was used"
say "XDG_DATA_HOME relative: status $(cat "$work/relative-xdg.status"), played in \$HOME/.local/share/marrowick"

# refusal NAME PATTERN MOUNT: in a mount namespace of its own, MOUNT (shell
# code) makes $folder, holding an older build's data ($before), then
# ./run play runs there; it must fail with one line matching PATTERN and
# leave the old data as it was, with nothing of the refresh beside it.
refusal() {
  local name="$1" pattern="$2" mount="$3"
  old_data "$work/$name.before"
  mkdir -p "$work/data-$name/marrowick"
  unshare -m bash -c '
    folder="$1" before="$2" out="$3" repo="$4" size="$5" mount="$6"
    shift 6
    eval "$mount" || exit 1
    status=0
    env "$@" "$repo/run" play >"$out.out" 2>"$out.err" </dev/null || status=$?
    echo "$status" >"$out.status"
    { diff -r "$before" "$folder" && ls -A "$folder"; } >"$out.left" 2>&1 || true
  ' - "$work/data-$name/marrowick" "$work/$name.before" "$work/$name" "$repo" \
    "$(($(du -s -k "$work/$name.before" | cut -f1) + 256))" "$mount" \
    HOME="$work/home" XDG_DATA_HOME="$work/data-$name" ||
    failed "$name: the mount namespace could not be set up"
  local status
  status="$(cat "$work/$name.status" 2>/dev/null || echo none)"
  [ "$status" != 0 ] || failed "$name: ./run play ended with status 0"
  { [ "$(grep -c '^run: ' "$work/$name.err")" = 1 ] && [ "$(grep -c . "$work/$name.err")" = 1 ]; } ||
    failed "$name: ./run play said other than one line: $(tr '\n' '|' <"$work/$name.err")"
  grep -q -E "$pattern" "$work/$name.err" || failed "$name: ./run play said: $(cat "$work/$name.err")"
  [ "$(cat "$work/$name.left")" = "$(printf 'audio\nmw-font.ttf\nsprites')" ] ||
    failed "$name: the play folder was left other than as it was: $(tr '\n' '|' <"$work/$name.left")"
  say "$name: status $status; it said: $(head -n 1 "$work/$name.err")"
}

if [ "$(id -u)" != 0 ]; then
  say "a full, an unwritable and a busy play folder: skipped (they need root, for a mount namespace)"
else
  refusal full "No space left on device" \
    'mount -t tmpfs -o "size=${size}k" tmpfs "$folder" && cp -r "$before/." "$folder/"'
  refusal readonly "Read-only file system" \
    'cp -r "$before/." "$folder/" && mount --bind "$folder" "$folder" && mount -o remount,bind,ro "$folder"'
  # The old audio folder is a mount point, which cannot be renamed: the
  # sprites, swapped in before it, are swapped back.
  refusal busy "putting the new audio in place failed \\(Device or resource busy\\)" \
    'cp -r "$before/." "$folder/" && mount --bind "$folder/audio" "$folder/audio"'
fi

say "$failures failed"
[ "$failures" = 0 ]
