#!/usr/bin/env bash
# Starts Motifex: installs the Debian packages that are missing, builds (or brings up to date) the Release
# build in build/release, and runs the program with the arguments given (a project file to open).
# MOTIFEX_BUILD_JOBS limits the parallel compile jobs (default: all processors).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
jobs="${MOTIFEX_BUILD_JOBS:-$(nproc)}"

bash "$root/scripts/setup.sh"
# Configuring again is cheap and keeps an existing build folder on the settings this script expects.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target motifex
exec "$build/src/motifex" "$@"
