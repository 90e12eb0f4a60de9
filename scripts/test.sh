#!/usr/bin/env bash
# Sets up what is missing, builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
# CXX=clang++ builds with clang instead, in build/test-clang, so that neither build folder takes the other's
# compiler.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/test"
case "$(basename "${CXX:-}")" in
    clang*) build="$root/build/test-clang" ;;
esac

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DMOTIFEX_SANITIZE=ON
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)"
