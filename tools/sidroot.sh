#!/usr/bin/env bash
# Builds (once) and enters a Debian sid root that carries SFML 3.
#   tools/sidroot.sh run CMD ARGS           a build command inside it, the checkout at /src
#   tools/sidroot.sh desktop DIR CMD ARGS   a desktop program in it in DIR: display, sound and GPU
# The root, in the user's cache and named after a hash of the package list, is
# built without root privileges; only installing the host's tools needs sudo.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache_dir="${MARROWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/marrowick}"
# HOME inside the sandbox: writable, per user, and nothing of the real home.
sandbox_home="$cache_dir/home"
packages() { grep -v -e '^\s*#' -e '^\s*$' "$repo/tools/sid-packages.txt"; }
root_dir="$cache_dir/sid-$(packages | sort | sha256sum | cut -c1-12)"

fail() {
  echo "sidroot: $*" >&2
  exit 1
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_host_tools() {
  local missing=() first ids user
  user="$(id -un)"
  command -v mmdebstrap >/dev/null || missing+=(mmdebstrap)
  command -v bwrap >/dev/null || missing+=(bubblewrap)
  command -v newuidmap >/dev/null || missing+=(uidmap)
  [ -e /usr/share/keyrings/debian-archive-keyring.gpg ] || missing+=(debian-archive-keyring)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "sidroot: installing ${missing[*]} on the host" >&2
    as_root apt-get update -qq >/dev/null ||
      fail "apt-get update failed; check the host's network and apt sources, then run again"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null ||
      fail "could not install ${missing[*]} with apt-get; install them by hand, then run again"
  fi
  # mmdebstrap maps the root's users onto the caller's subordinate ids; a user
  # made before /etc/subuid existed has none. They get the first free block.
  [ "$(id -u)" -ne 0 ] || return 0
  grep -q -E "^($user|$(id -u)):" /etc/subuid 2>/dev/null &&
    grep -q -E "^($user|$(id -g)):" /etc/subgid 2>/dev/null && return 0
  first="$({ cat /etc/subuid /etc/subgid 2>/dev/null || true; } |
    awk -F: 'BEGIN { free = 100000 } $2 + $3 > free { free = $2 + $3 } END { print free }')"
  ids="$first-$((first + 65535))"
  echo "sidroot: giving $user the subordinate ids $ids (needed to build the root without root)" >&2
  as_root usermod --add-subuids "$ids" --add-subgids "$ids" "$user" ||
    fail "could not add subordinate ids for $user; add a line '$user:$first:65536' to /etc/subuid and /etc/subgid, then run again"
}

# The Debian archive of the host's apt sources.
host_mirror() {
  local uri
  uri="$(cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
    awk '/^URIs:/ { for (i = 2; i <= NF; i++) print $i }
      $1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^(https?|file):/) { print $i; break } }' |
    grep -v -- '-security' | grep -E '/debian/?$' | head -n1 || true)"
  [ -n "$uri" ] || fail "no Debian archive found in the host's apt sources; add one to /etc/apt/sources.list, then run again"
  echo "${uri%/}"
}

common_args() {
  mkdir -p "$sandbox_home"
  sandbox=(--bind "$root_dir" / --dev /dev --proc /proc --tmpfs /dev/shm)
  [ -e /etc/resolv.conf ] && sandbox+=(--ro-bind /etc/resolv.conf /etc/resolv.conf)
  sandbox+=(--bind "$sandbox_home" "$sandbox_home" --setenv HOME "$sandbox_home"
    --setenv PATH /usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin --setenv LANG C.UTF-8 --die-with-parent)
}

# A build command shares the host's /tmp (and a test X server's socket there);
# MW_READONLY_DIR, bound over it, is a working directory that cannot be written.
sandbox_run() {
  local -a sandbox
  common_args
  sandbox+=(--bind /tmp /tmp --bind "$repo" /src --chdir "${MW_CHDIR:-/src}")
  [ -z "${MW_READONLY_DIR:-}" ] || sandbox+=(--ro-bind "$MW_READONLY_DIR" "$MW_READONLY_DIR")
  exec bwrap "${sandbox[@]}" "$@"
}

# The PulseAudio (or PipeWire's pulse) server.
sound_args() {
  local runtime="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}" cookie
  local socket="$runtime/pulse/native"
  case "${PULSE_SERVER:-}" in
    unix:*) socket="${PULSE_SERVER#unix:}" ;;
    "") ;;
    *) socket="" && sandbox+=(--setenv PULSE_SERVER "$PULSE_SERVER") ;; # a network server
  esac
  # The socket's folder, where a restarted server's socket appears too; made now, private, for none yet.
  [ "$socket" != "$runtime/pulse/native" ] || [ -e "$runtime/pulse" ] || [ ! -O "$runtime" ] ||
    mkdir -m 700 "$runtime/pulse" 2>/dev/null || true
  [ -z "$socket" ] || [ ! -d "$(dirname "$socket")" ] || sandbox+=(--ro-bind "$(dirname "$socket")" \
    /run/marrowick/pulse --setenv PULSE_SERVER "unix:/run/marrowick/pulse/$(basename "$socket")")
  for cookie in "${PULSE_COOKIE:-}" "${XDG_CONFIG_HOME:-$HOME/.config}/pulse/cookie" "$HOME/.pulse-cookie"; do
    [ ! -r "$cookie" ] || break
  done
  [ ! -r "$cookie" ] ||
    sandbox+=(--ro-bind "$cookie" /run/marrowick/pulse-cookie --setenv PULSE_COOKIE /run/marrowick/pulse-cookie)
  # The stream buffer in ms: the audio library's 1 ms chopped the music on a
  # busy machine; longer delays every effect (a punch's sound came a median
  # 54 ms after its key at 50, 63 at 75, 77 at 100, both cores busy).
  sandbox+=(--setenv XDG_RUNTIME_DIR /run/marrowick --setenv PULSE_LATENCY_MSEC "${PULSE_LATENCY_MSEC:-50}")
}

# A seccomp filter refusing the ioctls that type into a terminal (TIOCSTI) or
# paste into a console (TIOCLINUX), and every call of another architecture or ABI.
terminal_filter() {
  local arch ioctl
  case "$(uname -m)" in
    x86_64) arch=0xc000003e ioctl=16 ;;
    aarch64) arch=0xc00000b7 ioctl=29 ;;
    *) return 1 ;;
  esac
  # One instruction: code, true jump, false jump, operand (little-endian).
  instruction() {
    printf '%b' "$(printf '\\x%02x' $(($1 & 255)) $(($1 >> 8)) "$2" "$3" \
      $(($4 & 255)) $(($4 >> 8 & 255)) $(($4 >> 16 & 255)) $(($4 >> 24 & 255)))"
  }
  local load=0x20 equal=0x15 any_bit=0x45 return=0x06 allow=0x7fff0000 refuse_eperm=0x00050001
  instruction $load 0 0 4 # the architecture
  instruction $equal 0 7 $arch
  instruction $load 0 0 0 # the call's number
  instruction $any_bit 5 0 0x40000000
  instruction $equal 0 3 $ioctl
  instruction $load 0 0 24 # the low half of the second argument, the request
  instruction $equal 2 0 0x5412
  instruction $equal 1 0 0x541c
  instruction $return 0 0 $allow
  instruction $return 0 0 $refuse_eperm
}

# A desktop program: DIR writable, a private /tmp, the GPU and the sound card (/sys: which GPU is which).
sandbox_desktop() {
  local work="$1" number authority="${XAUTHORITY:-$HOME/.Xauthority}"
  local -a sandbox
  shift
  common_args
  sandbox+=(--tmpfs /tmp --tmpfs /run --ro-bind "$repo" /src)
  number="$(sed -n 's/^[a-z]*:\([0-9][0-9]*\).*/\1/p' <<<"${DISPLAY:-}")"
  [ -n "$number" ] && [ -S "/tmp/.X11-unix/X$number" ] &&
    sandbox+=(--ro-bind "/tmp/.X11-unix/X$number" "/tmp/.X11-unix/X$number")
  [ ! -r "$authority" ] ||
    sandbox+=(--ro-bind "$authority" /run/marrowick/Xauthority --setenv XAUTHORITY /run/marrowick/Xauthority)
  [ -z "${DISPLAY:-}" ] || sandbox+=(--setenv DISPLAY "$DISPLAY")
  sound_args
  sandbox+=(--dev-bind-try /dev/dri /dev/dri --dev-bind-try /dev/snd /dev/snd --ro-bind-try /sys /sys)
  # In the caller's session, job control and Ctrl+C reach the program; the
  # filter keeps it from typing into the terminal, or else a new session does.
  local session=(--seccomp 11)
  terminal_filter >/dev/null || session=(--new-session)
  # TERM, INT and HUP are the program's: bwrap must not die first and take it along (--die-with-parent).
  trap '' TERM INT HUP
  exec bwrap "${sandbox[@]}" "${session[@]}" --bind "$work" "$work" --chdir "$work" \
    env --default-signal=TERM,INT,HUP "$@" 11< <(terminal_filter)
}

create_root() {
  install_host_tools
  local mirror tmp log="$cache_dir/mmdebstrap.log" status=0
  mirror="$(host_mirror)"
  # Leftovers of an interrupted run are never trusted.
  rm -rf "$cache_dir"/tmp-sid-* 2>/dev/null || true
  tmp="$(mktemp -d "$cache_dir/tmp-sid-XXXXXX")"
  chmod 755 "$tmp"
  echo "sidroot: building a Debian sid root in $root_dir (about two minutes, once)" >&2
  # Each stage as mmdebstrap starts it, its messages in the log. Unpacked by the caller, every
  # file is the caller's; bwrap makes /dev. The mirror's sid may be past its Valid-Until.
  mmdebstrap --mode=auto --variant=apt --format=tar --aptopt='Acquire::Check-Valid-Until "false"' \
    --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
    --include="$(packages | paste -sd, -)" sid - "$mirror" \
    2> >(tee "$log" | sed -u -n 's/^I: /sidroot: /p' >&2) | tar -x -C "$tmp" --exclude='./dev/*' || status=$?
  [ "$status" -eq 0 ] ||
    fail "building the sid root failed (see $log); check the network, the host's apt mirror and tools/sid-packages.txt, then run again"
  dpkg-query --admindir="$tmp/var/lib/dpkg" -W -f '${Package} ${Version}\n' >"$root_dir.versions" ||
    fail "could not list the root's packages; delete $tmp and run again"
  mv "$tmp" "$root_dir" || fail "could not move the new root into place at $root_dir"
  echo "sidroot: ready; installed versions in $root_dir.versions" >&2
}

if ! [ "${1:-}" = run ] && ! { [ "${1:-}" = desktop ] && [ $# -ge 3 ]; }; then
  echo "usage: tools/sidroot.sh run COMMAND [ARGS...] | desktop DIR COMMAND [ARGS...]" >&2
  exit 2
fi
if [ ! -x "$root_dir/usr/bin/g++" ]; then
  mkdir -p "$cache_dir" || fail "cannot create $cache_dir; set MARROWICK_CACHE to a writable directory"
  # A second run waits for the first's root.
  exec 9>"$cache_dir/.lock"
  flock 9
  [ -x "$root_dir/usr/bin/g++" ] || create_root
  flock -u 9
fi
command -v bwrap >/dev/null || install_host_tools
"sandbox_$1" "${@:2}"
