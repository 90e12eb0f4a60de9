#!/usr/bin/env bash
# Writes PNGs of every window, menu and box of the program into build/screenshots (or the folder given),
# drawn offscreen by the developer tool tools/screenshots. With MOTIFEX_UPDATE_README_SHOT=1 it also
# replaces the README's picture, docs/screenshots/finished-pattern.png (a pattern built in the window).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
output="${1:-$root/build/screenshots}"
jobs="${MOTIFEX_BUILD_JOBS:-$(nproc)}"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target motifex_screenshots
rm -rf "$output"
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/motifex_screenshots" "$output"
echo "Screenshots written to $output"
if [ "${MOTIFEX_UPDATE_README_SHOT:-0}" = "1" ]; then
    mkdir -p "$root/docs/screenshots"
    cp "$output/finished-pattern.png" "$root/docs/screenshots/finished-pattern.png"
    echo "README picture updated: docs/screenshots/finished-pattern.png"
fi
