#!/usr/bin/env bash
# Regenerates the icon artwork: SVG sources from make_svgs.py, then the PNG
# resources (32-bit RGBA) that the program compiles in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${TALMENO_ICONS_BUILD:-/tmp/talmeno-icons-build}
python3 "$here/make_svgs.py"
cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/talmeno-rasterize" "$here/svg/general" "$root/src/resources/color_scheme/general_icons" 64
"$build/talmeno-rasterize" "$here/svg/internal" "$root/src/resources/color_scheme/internal_icons" 16
"$build/talmeno-rasterize" "$here/svg/images" "$root/src/resources/icons/images" 64
python3 "$here/make_qrc.py"
echo "icons rendered"
