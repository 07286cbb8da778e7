#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, builds examples/embed against the installed
# CMake package and again with the pkg-config file, and runs both on the sample model.
#   scripts/embed-check.sh BUILD-DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: embed-check.sh BUILD-DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$root/examples/embed" -B "$work/embed" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/embed" >/dev/null
expected="part temperature 19: 300"
got=$("$work/embed/embed_host" "$root/examples/bracket.json" 300)
[[ "$got" == "$expected" ]] || { echo "embed_host (CMake package): expected '$expected', got '$got'"; exit 1; }
flags=$(PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig" pkg-config --cflags --libs DataModelDialogs)
# shellcheck disable=SC2086
c++ "$root/examples/embed/main.cpp" -o "$work/embed_pc" $flags
got=$("$work/embed_pc" "$root/examples/bracket.json" 300)
[[ "$got" == "$expected" ]] || { echo "embed_host (pkg-config): expected '$expected', got '$got'"; exit 1; }
# Only the shipped satellites and the public headers are installed.
[[ ! -e "$work/prefix/lib/Locale/libDataModelDialogs.OLD" ]] || { echo "a test satellite was installed"; exit 1; }
[[ ! -e "$work/prefix/include/DataModelDialogs/dialogs/objectdialogs/FieldTable.h" ]] || { echo "an internal header was installed"; exit 1; }
echo "installed package: the embedded host built with CMake and with pkg-config, and ran"
