# Sourced by the scripts that run the real program under Xvfb
# (demo.sh, faults.sh, memcheck.sh).

# Starts the calling script again inside its own Xvfb server, unless the
# variable named by $1 says it already runs in one. Call as
#   under_xvfb MW_X_IN_XVFB "$@"
under_xvfb() {
  local guard="$1"
  shift
  if [ -z "${!guard:-}" ]; then
    export "$guard=1"
    exec xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash "$0" "$@"
  fi
}

# Copies what the program loads at start-up from BUILD_DIR/run into DIR.
copy_game_files() {
  cp -r "$1/run/sprites" "$1/run/audio" "$1/run/mw-font.ttf" "$2/"
}
