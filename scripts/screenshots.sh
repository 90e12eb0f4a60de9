#!/usr/bin/env bash
# Writes PNGs of every window, menu and box of the program into build/screenshots (or the folder given),
# drawn offscreen by the developer tool tools/screenshots.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
output="${1:-$root/build/screenshots}"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target motifex_screenshots
rm -rf "$output"
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/motifex_screenshots" "$output"
echo "Screenshots written to $output"
