#!/usr/bin/env bash
# Builds (once) and enters a Debian sid root that carries SFML 3.
#
#   tools/sidroot.sh ensure          make sure the root exists, print its path
#   tools/sidroot.sh run CMD ARGS    run a command inside it, checkout bound at /src
#
# The root lives outside the checkout so that every clone shares it. Its name
# carries a hash of the package list: a changed list makes a new root.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
package_list="$repo/tools/sid-packages.txt"
cache_dir="${MARROWICK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/marrowick}"

fail() {
  echo "sidroot: $*" >&2
  exit 1
}

packages() { grep -v '^\s*#' "$package_list" | grep -v '^\s*$'; }

root_hash="$(packages | sort | sha256sum | cut -c1-12)"
root_dir="$cache_dir/sid-$root_hash"

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_host_tools() {
  local missing=()
  command -v debootstrap >/dev/null || missing+=(debootstrap)
  command -v bwrap >/dev/null || missing+=(bubblewrap)
  [ -e /usr/share/keyrings/debian-archive-keyring.gpg ] || missing+=(debian-archive-keyring)
  [ ${#missing[@]} -eq 0 ] && return
  echo "sidroot: installing ${missing[*]} on the host" >&2
  as_root apt-get update -qq >/dev/null ||
    fail "apt-get update failed; check the host's network and apt sources, then run again"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null ||
    fail "could not install ${missing[*]} with apt-get; install them by hand, then run again"
}

# The Debian archive the host itself uses, read from its apt configuration.
host_mirror() {
  local uri=""
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    uri="$(awk '/^URIs:/ { for (i = 2; i <= NF; i++) print $i }' /etc/apt/sources.list.d/*.sources |
      grep -v -- '-security' | grep -E '/debian/?$' | head -n1 || true)"
  fi
  if [ -z "$uri" ] && [ -r /etc/apt/sources.list ]; then
    uri="$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^(https?|file):/) { print $i; break } }' \
      /etc/apt/sources.list | grep -v -- '-security' | grep -E '/debian/?$' | head -n1 || true)"
  fi
  [ -n "$uri" ] || fail "no Debian archive found in the host's apt sources; add one to /etc/apt/sources.list, then run again"
  echo "${uri%/}"
}

in_root() {
  # Runs a command in the root with the checkout at /src and the host's
  # network, X socket directory and /tmp shared.
  local ro_args=()
  [ -e /etc/resolv.conf ] && ro_args+=(--ro-bind /etc/resolv.conf /etc/resolv.conf)
  # Folders the command must find read-only (colon-separated), such as a
  # working directory that cannot be written.
  local dir
  local -a readonly_dirs
  IFS=: read -r -a readonly_dirs <<<"${MW_READONLY_DIRS:-}"
  for dir in "${readonly_dirs[@]}"; do
    [ -n "$dir" ] && ro_args+=(--ro-bind "$dir" "$dir")
  done
  bwrap --bind "$1" / \
    --dev /dev --proc /proc --tmpfs /dev/shm \
    --bind /tmp /tmp \
    "${ro_args[@]}" \
    --bind "$repo" /src \
    --chdir "${MW_CHDIR:-/src}" \
    --setenv HOME /root \
    --setenv PATH /usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
    --setenv LANG C.UTF-8 \
    --die-with-parent \
    "${@:2}"
}

create_root() {
  install_host_tools
  local mirror tmp
  mirror="$(host_mirror)"
  mkdir -p "$cache_dir" || fail "cannot create $cache_dir; set MARROWICK_CACHE to a writable directory"
  # Leftovers of an interrupted run are never trusted.
  rm -rf "$cache_dir"/tmp-sid-* 2>/dev/null || true
  tmp="$(mktemp -d "$cache_dir/tmp-sid-XXXXXX")"
  echo "sidroot: building a Debian sid root in $root_dir (about two minutes, once)" >&2
  local log="$cache_dir/debootstrap.log"
  as_root debootstrap --variant=minbase --include=ca-certificates sid "$tmp" "$mirror" >"$log" 2>&1 ||
    fail "debootstrap failed (see $log); check the network and the host's apt mirror, then run again"
  # The mirror may serve a sid whose Release has passed its Valid-Until date;
  # apt inside the root also runs as root, so it needs no sandbox user.
  printf 'Acquire::Check-Valid-Until "false";\nAPT::Sandbox::User "root";\n' \
    >"$tmp/etc/apt/apt.conf.d/99marrowick"
  local pkgs
  pkgs="$(packages | tr '\n' ' ')"
  in_root "$tmp" /bin/sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $pkgs && apt-get clean" \
    >>"$log" 2>&1 ||
    fail "installing packages in the sid root failed (see $log); check tools/sid-packages.txt, then run again"
  in_root "$tmp" dpkg-query -W -f '${Package} ${Version}\n' >"$tmp.versions" ||
    fail "could not list the root's packages; delete $tmp and run again"
  mv "$tmp.versions" "$root_dir.versions"
  mv "$tmp" "$root_dir" || fail "could not move the new root into place at $root_dir"
  echo "sidroot: ready; installed versions in $root_dir.versions" >&2
}

ensure() {
  if [ ! -x "$root_dir/usr/bin/g++" ]; then
    mkdir -p "$cache_dir" || fail "cannot create $cache_dir; set MARROWICK_CACHE to a writable directory"
    # One creation at a time: a second run waits, then finds the root made.
    exec 9>"$cache_dir/.lock"
    flock 9
    [ -x "$root_dir/usr/bin/g++" ] || create_root
    flock -u 9
  fi
  command -v bwrap >/dev/null || install_host_tools
}

case "${1:-}" in
  ensure)
    ensure
    echo "$root_dir"
    ;;
  run)
    shift
    ensure
    in_root "$root_dir" "$@"
    ;;
  *)
    echo "usage: tools/sidroot.sh ensure | run COMMAND [ARGS...]" >&2
    exit 2
    ;;
esac
