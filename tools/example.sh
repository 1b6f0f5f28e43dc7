# shellcheck shell=bash disable=SC2154 # run's variables and functions
# ./run example [test] (sourced by run): the example game, built as any game outside this tree is, against
# the engine installed in a prefix; then played, or (test) built with pkg-config too and its tests run.
mode="${1:-play}"
[ "$mode" = play ] || [ "$mode" = test ] || fail "usage: ./run example [test]"
build_all marrowick_engine
example_flags="-G Ninja -DREEFWATCH_WERROR=${MW_WERROR:-OFF}"
compile_flags="-std=c++20 -Wall -Wextra"
if [ "${MW_SANITIZE:-0}" = 1 ]; then
  sanitize="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"
  example_flags+=" -DCMAKE_BUILD_TYPE=Debug '-DCMAKE_CXX_FLAGS=$sanitize' '-DCMAKE_EXE_LINKER_FLAGS=$sanitize'"
  compile_flags+=" $sanitize"
fi
work="$build/example"
if [ "$mode" = test ]; then
  work="$(mktemp -d /tmp/marrowick-example-XXXXXX)"
  trap 'rm -rf "$work"' EXIT
fi
example_src="$src/examples/reefwatch"
in_env bash -c "
  set -e
  cmake --install '$build' --prefix '$work/prefix' >/dev/null
  echo 'run: the engine is installed in $work/prefix'
  cmake -S '$example_src' -B '$work/build' $example_flags -DCMAKE_PREFIX_PATH='$work/prefix' >/dev/null ||
    { echo 'run: configuring the example against the installed engine failed' >&2; exit 1; }
  cmake --build '$work/build' ||
    { echo 'run: building the example failed; read the compiler messages above' >&2; exit 1; }
  [ '$mode' = test ] || exit 0
  export PKG_CONFIG_PATH='$work/prefix/lib/pkgconfig'
  c++ $compile_flags -Werror -I'$example_src' '$example_src'/*.cpp \$(pkg-config --cflags --libs marrowick) \
    -o '$work/reefwatch-from-pkg-config' || { echo 'run: the example does not build with pkg-config' >&2; exit 1; }
  echo 'run: the example also builds with pkg-config --cflags --libs marrowick'
  cd '$work/build' && ctest --output-on-failure --timeout 300 ||
    { echo 'run: the tests of the example failed; their output is above' >&2; exit 1; }
"
[ "$mode" = play ] || exit 0
play_dir="$data_home/marrowick-reefwatch"
refresh_play_dir "$repo/build/$variant/example/build/run"
play_program "$work/build/reefwatch" || fail "the example ended with status $?; its log is $play_dir/reefwatch.log"
