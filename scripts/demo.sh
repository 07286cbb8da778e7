#!/usr/bin/env bash
# Builds the demo host and runs it on its embedded default: the tour script over the sample model.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${ORV_JOBS:-$(nproc)}" --target orvdlg
exec build/bin/orvdlg "$@"
