# shellcheck shell=bash disable=SC2154 # run's variables and functions
# ./run docs (sourced by run): the engine's reference with Doxygen, of engine/*.h and
# docs/reference/*.md; the first page's program is the README's walk-through.
html="$repo/build/docs/html"
version="$(sed -n 's/^#define MW_VERSION_STRING "\(.*\)"$/\1/p' "$repo/engine/Version.h")"
mkdir -p "$repo/build/docs/walk-through"
"$repo/tools/readme-blocks.sh" "$repo/README.md" -w "file walker/main.cpp" >"$repo/build/docs/walk-through/main.cpp" ||
  fail "the README has no walk-through block marked 'file walker/main.cpp' for the reference's first page"
in_env bash -c "
  command -v doxygen >/dev/null || { echo 'run: doxygen is missing: install the doxygen package' >&2; exit 1; }
  MW_VERSION='$version' MW_DOCS_DIR='$src/build/docs' doxygen '$src/docs/Doxyfile'
" || fail "the reference documentation has warnings or errors (above); every public class and operation of the engine needs a doc comment"
# A game never sees the classes and structs of engine/internal/.
for name in $(sed -n 's/^\(class\|struct\) \([A-Za-z_][A-Za-z0-9_]*\)\( [:{].*\)\?$/\2/p' "$repo"/engine/internal/*.h); do
  [ ! -e "$html/classmw_1_1$name.html" ] && [ ! -e "$html/structmw_1_1$name.html" ] ||
    fail "the reference lists mw::$name, which engine/internal/ declares; a game never sees it"
done
echo "run: the engine's reference is $html/index.html"
