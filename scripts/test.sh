#!/usr/bin/env bash
# Builds and runs every test: the normal build (with the benchmarks compiled), then the whole
# test suite again under the address and undefined-behaviour sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
jobs=${ORV_JOBS:-$(nproc)}

# A compiler cache speeds up the three builds when one is installed; it is never required.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 300
}

echo "== normal build =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== installed package =="
bash scripts/embed-check.sh build
if [[ "${ORV_SKIP_SANITIZE:-0}" != 1 ]]; then
  echo "== sanitizer build =="
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp" \
    run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON -DORV_BUILD_BENCH=OFF
fi
if [[ "${ORV_SKIP_FUZZ:-0}" != 1 ]] && compgen -G "fuzz/*.cpp" >/dev/null; then
  echo "== fuzz targets (bounded time) =="
  run_suite build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DORV_FUZZ=ON
fi
