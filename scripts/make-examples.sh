#!/usr/bin/env bash
# Regenerates the example projects of the gallery (src/resources/examples/*.mtfx) with the program's own
# core, from the descriptions in tools/examples/ExampleProjects.cpp. Run it again whenever the core's
# output changes, look at the pictures it writes (build/examples by default), and commit the projects.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
pictures="${1:-$root/build/examples}"
examples="$root/src/resources/examples"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel 4 --target motifex_examples
mkdir -p "$examples"
rm -f "$examples"/*.mtfx
QT_QPA_PLATFORM=offscreen "$build/tools/examples/motifex_examples" "$examples" "$pictures"

# Every example must be compiled into the program.
for file in "$examples"/*.mtfx; do
    name="examples/$(basename "$file")"
    if ! grep -q "<file>$name</file>" "$root/src/resources/resources.qrc"; then
        echo "Add <file>$name</file> to src/resources/resources.qrc" >&2
        exit 1
    fi
done
echo "Examples written to $examples, pictures to $pictures"
