#!/usr/bin/env bash
# Regenerates src/resources/fonts/MotifexIcons.ttf, its licence files and codepoints.txt.
# Needs the network (Debian packages, npm registry); building the program does not, since the
# generated font is committed. Re-running gives byte-identical files.
set -euo pipefail

FONTAWESOME_PACKAGE="@fortawesome/fontawesome-free@6.7.2"
FONTAWESOME_SHA256="794284b4ac7f3e30825bbeea1a073f542c45dff83f8146625f600f1015c9d52b"
TABLER_PACKAGE="@tabler/icons-webfont@3.49.0"
TABLER_SHA256="48c69c65a5f9013d482a17cab8899a09dcaec50750d1ac7324eb63a061fffb82"

script_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo_dir="$(cd "$script_dir/../.." && pwd)"
fonts_dir="$repo_dir/src/resources/fonts"
# Debian's interpreter, since fontTools comes from Debian's python3-fonttools.
python=/usr/bin/python3

if ! "$python" -c "import fontTools" 2>/dev/null; then
    echo "Installing python3-fonttools" >&2
    apt-get update -qq
    apt-get install -y -qq python3-fonttools
fi
command -v npm >/dev/null || { echo "npm is needed to fetch the icon packages" >&2; exit 1; }

work_dir="$(mktemp -d)"
trap 'rm -rf "$work_dir"' EXIT

fetch_package() {  # package, expected sha256, folder to unpack into
    local tarball
    tarball="$(cd "$work_dir" && npm pack --silent "$1" | tail -n 1)"
    echo "$2  $work_dir/$tarball" | sha256sum --check --quiet -
    mkdir -p "$3"
    tar -xzf "$work_dir/$tarball" -C "$3"
}

fetch_package "$FONTAWESOME_PACKAGE" "$FONTAWESOME_SHA256" "$work_dir/fontawesome"
fetch_package "$TABLER_PACKAGE" "$TABLER_SHA256" "$work_dir/tabler"

mkdir -p "$fonts_dir"
"$python" "$script_dir/build_icon_font.py" \
    --fontawesome "$work_dir/fontawesome/package" \
    --tabler "$work_dir/tabler/package" \
    --out "$fonts_dir/MotifexIcons.ttf" \
    --codepoints "$script_dir/codepoints.txt" \
    --licenses "$fonts_dir/LICENSES.md"

# The font section of Font Awesome's licence file: its copyright notice and the full SIL OFL 1.1 text.
sed -n '/^# Fonts: SIL OFL 1.1 License/,/^OTHER DEALINGS IN THE FONT SOFTWARE\./p' \
    "$work_dir/fontawesome/package/LICENSE.txt" > "$fonts_dir/LICENSE-FontAwesomeFree-OFL.txt"
grep -q '^SIL OPEN FONT LICENSE' "$fonts_dir/LICENSE-FontAwesomeFree-OFL.txt"
cp "$work_dir/tabler/package/LICENSE" "$fonts_dir/LICENSE-TablerIcons-MIT.txt"

echo "Wrote $fonts_dir/MotifexIcons.ttf"
