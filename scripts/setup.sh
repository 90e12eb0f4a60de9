#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail

# qt6-qpa-plugins holds the platform plugins (xcb) the program needs to open a window. The last five
# serve the tests and the screenshots: an outside decoder for exported images, the launcher checker, the
# file-type database of the desktop integration, and a virtual X screen of a chosen size.
packages=(cmake g++ ninja-build qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core libbenchmark-dev
    imagemagick desktop-file-utils shared-mime-info xvfb xauth)
# clang only for a build that asks for it (CXX=clang++).
case "$(basename "${CXX:-}")" in
    clang*) packages+=(clang) ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
