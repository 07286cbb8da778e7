#!/usr/bin/env bash
# Regenerates the pictures in docs/images: builds orvdlg with the Qt front end and plays
# examples/screenshots.dlgs with `orvdlg shot` under Qt's offscreen platform (no display
# needed). Each `show  # shot: NAME` of the script becomes docs/images/NAME.png. The pictures
# carry no timestamps, so a second run leaves `git status` clean. ORV_BUILD_DIR chooses the
# build folder (default: build, as scripts/demo.sh uses).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORV_BUILD_DIR:-$root/build}
# The packages the build needs (Qt 5 widgets among them), only those that are missing.
bash "$root/scripts/deps.sh"
if [ -f "$build/CMakeCache.txt" ]; then
  # An existing build keeps its type and options; it only needs the Qt front end.
  cmake -S "$root" -B "$build" -DORV_BUILD_QT=ON >/dev/null
else
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_QT=ON >/dev/null
fi
cmake --build "$build" -j "${ORV_JOBS:-$(nproc)}" --target orvdlg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The script saves its model beside it: run it in a scratch folder with a registry and user
# data folder of its own, in English.
cd "$work"
if ! ORV_REGISTRY_DIR="$work/.registry" ORV_USER_DATA_DIR="$work/.userdata" LC_ALL=C \
     QT_QPA_PLATFORM=offscreen "$build/bin/orvdlg" shot "$root/examples/screenshots.dlgs" "$work/images" >"$work/log" 2>&1; then
  cat "$work/log" >&2
  echo "screenshots.sh: the script failed; docs/images is unchanged" >&2
  exit 1
fi
mkdir -p "$root/docs/images"
# Pictures the script no longer takes go away; the others are replaced.
find "$root/docs/images" -maxdepth 1 -name '*.png' -delete
cp "$work/images/"*.png "$root/docs/images/"
echo "screenshots.sh: $(ls "$work/images" | wc -l) pictures in docs/images"
