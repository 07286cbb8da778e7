#!/usr/bin/env bash
# Builds the demo host and starts it. Without arguments: the interactive host window on the
# embedded sample model when a person is there (standard input and output a terminal, or a
# display for the Qt front end), else the tour script over the sample model. Arguments go to
# orvdlg as they are (scripts/demo.sh open examples/bracket.json --ui terminal).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${ORV_JOBS:-$(nproc)}" --target orvdlg
if [ $# -gt 0 ]; then
  exec build/bin/orvdlg "$@"
fi
if [ -t 0 ] && [ -t 1 ]; then
  # orvdlg chooses the front end: Qt when a display is reachable, else the terminal.
  exec build/bin/orvdlg
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && grep -q '^ORV_BUILD_QT:BOOL=ON' build/CMakeCache.txt; then
  exec build/bin/orvdlg --ui qt
fi
exec build/bin/orvdlg tour
