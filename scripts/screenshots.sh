#!/usr/bin/env bash
# Writes PNGs of every window, menu and box of the program into build/screenshots (or the folder given),
# drawn offscreen by the developer tool tools/screenshots, and of the first start on two X screens. With
# MOTIFEX_UPDATE_README_SHOT=1 it also replaces the README's picture, docs/screenshots/finished-pattern.png
# (a pattern built in the window).
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
# The first start on a large and on a laptop-sized screen, in a real X window system.
for screen in 1600x1000 1366x768; do
    QT_QPA_PLATFORM=xcb xvfb-run --auto-servernum --server-args="-screen 0 ${screen}x24" \
        "$build/tools/screenshots/motifex_screenshots" "$output/first-start-$screen" --first-start
    mv "$output/first-start-$screen"/*.png "$output/"
    rmdir "$output/first-start-$screen"
done
echo "Screenshots written to $output"
if [ "${MOTIFEX_UPDATE_README_SHOT:-0}" = "1" ]; then
    mkdir -p "$root/docs/screenshots"
    cp "$output/finished-pattern.png" "$root/docs/screenshots/finished-pattern.png"
    echo "README picture updated: docs/screenshots/finished-pattern.png"
fi
