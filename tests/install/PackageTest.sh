#!/bin/sh
# cpack -G DEB makes a Debian package of the build: the installed files under /usr,
# the shared libraries the programs need as dependencies, and what they work better
# with as recommendations. Installing it needs root; scripts/package-check does that.
#   PackageTest.sh BUILD_DIR VERSION
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$work" && cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }
set -- "$work"/varnolux_*.deb
[ -f "$1" ] || { echo "FAIL: no varnolux_*.deb in $(ls "$work")" >&2; exit 1; }
package=$1

[ "$(dpkg-deb -f "$package" Package)" = varnolux ] || fail "the package is not called varnolux"
[ "$(dpkg-deb -f "$package" Version)" = "$version" ] ||
    fail "package version $(dpkg-deb -f "$package" Version), program version $version"
[ "$(dpkg-deb -f "$package" Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "architecture $(dpkg-deb -f "$package" Architecture)"
depends=$(dpkg-deb -f "$package" Depends)
# libqt6svg6 holds the SVG icon engine that draws the action icons.
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 \
    libqt6svg6 libfreeimage3 libjpeg62-turbo libssl3; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$library" ||
        fail "Depends lacks $library: $depends"
done
recommends=$(dpkg-deb -f "$package" Recommends)
for program in dcmtk qt6-translations-l10n; do
    echo "$recommends" | grep -q "$program" || fail "Recommends lacks $program: $recommends"
done
[ -n "$(dpkg-deb -f "$package" Maintainer)" ] || fail "no maintainer"
dpkg-deb -f "$package" Description | grep -q 'varnolux-batch' || fail "no long description"

# The same files as cmake --install, under /usr, and the programs stripped.
contents=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | LC_ALL=C sort)
[ "$contents" = "$(cat "$here/installed-files.txt")" ] ||
    fail "package contents differ: $(printf '%s\n' "$contents" | diff "$here/installed-files.txt" - || true)"
dpkg-deb -x "$package" "$work/tree"
if command -v readelf >/dev/null; then
    ! readelf -S "$work/tree/usr/lib/varnolux/varnolux" | grep -q '\.debug_info' ||
        fail "the packaged varnolux is not stripped"
fi

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "package: $(basename "$package"), Depends: $depends"
