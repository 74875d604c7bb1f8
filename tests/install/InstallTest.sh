#!/bin/sh
# Installs the build into a DESTDIR under another prefix and checks what a lab
# computer gets: every file in place and nothing else, the desktop entry and the
# metainfo valid, the man pages readable, and the installed programs running from
# there - the batch command, --help and --version without a display, and the desktop
# program offscreen in a robot run that analyses the sample image and ends, keeping
# its settings in the user's configuration folder. A copy of the build's program
# keeps them next to itself.
#   InstallTest.sh BUILD_DIR SOURCE_DIR
# installed-files.txt beside this script lists the files below the prefix.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
prefix=/opt/varnolux
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
installed=$root$prefix
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

# Every file in place, and nothing else (no test, screenshot or benchmark program).
expected=$(cat "$here/installed-files.txt")
actual=$(cd "$installed" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
    fail "installed files differ from the expected ones:"
    printf '%s\n' "$expected" >"$work/expected"
    printf '%s\n' "$actual" >"$work/actual"
    diff "$work/expected" "$work/actual" >&2 || true
fi
[ -z "$(find "$root" -path "$installed" -prune -o -type f -print)" ] ||
    fail "files outside the prefix: $(find "$root" -path "$installed" -prune -o -type f -print)"

# The programs are relative links into their folder, so the installation moves.
for program in varnolux varnolux-batch; do
    [ "$(readlink "$installed/bin/$program")" = "../lib/varnolux/$program" ] ||
        fail "bin/$program is not a relative link to ../lib/varnolux/$program"
    [ -x "$installed/lib/varnolux/$program" ] || fail "lib/varnolux/$program is not executable"
done
cmp -s "$installed/share/varnolux/VXLang.ini" "$source/shell/lang/VXLang-en.ini" ||
    fail "VXLang.ini is not the English language file"
[ "$(head -c 5 "$installed/share/varnolux/manual.pdf")" = "%PDF-" ] || fail "manual.pdf is no PDF"
for size in 16 24 32 48 64 128 256 512; do
    # The PNG header: signature, IHDR, width and height as 32-bit big-endian numbers.
    dimensions=$(od -An -tu1 -j16 -N8 "$installed/share/icons/hicolor/${size}x${size}/apps/varnolux.png" |
        awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dimensions" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $dimensions"
done

# The desktop files as desktops and software centres read them.
desktop-file-validate "$installed/share/applications/varnolux.desktop" >"$work/validate.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$work/validate.log")"
# A file manager hands the image over; the entry names the image types the program reads.
grep -qx 'Exec=varnolux %f' "$installed/share/applications/varnolux.desktop" ||
    fail "the desktop entry does not hand an image over"
for type in image/jpeg image/png image/tiff image/bmp; do
    grep -q "^MimeType=.*$type;" "$installed/share/applications/varnolux.desktop" ||
        fail "the desktop entry does not list $type"
done
appstreamcli validate --no-net "$installed/share/metainfo/org.varnolux.Varnolux.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || fail "appstreamcli validate: $(cat "$work/appstream.log")"
for page in varnolux varnolux-batch; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$installed/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page: $warnings"
    LC_ALL=C.UTF-8 man -l "$installed/share/man/man1/$page.1.gz" 2>/dev/null | grep -q -- '--version' ||
        fail "man page $page does not describe --version"
done

# --help and --version of every installed program, without any display: the desktop
# program must not try to open a window for them.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$installed/bin/varnolux" --version) ||
    fail "varnolux --version failed"
echo "$version" | grep -qE '^varnolux [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$' ||
    fail "varnolux --version printed: $version"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$installed/bin/varnolux" --help |
    grep -q '^usage: varnolux' || fail "varnolux --help printed no usage"
batch_version=$("$installed/bin/varnolux-batch" --version) || fail "varnolux-batch --version failed"
[ "$batch_version" = "varnolux-batch ${version#varnolux }" ] ||
    fail "varnolux-batch --version printed: $batch_version"
"$installed/bin/varnolux-batch" --help | grep -q '^usage: varnolux-batch' ||
    fail "varnolux-batch --help printed no usage"
grep -q "<release version=\"${version#varnolux }\"" \
    "$installed/share/metainfo/org.varnolux.Varnolux.metainfo.xml" ||
    fail "the metainfo has no release entry for version ${version#varnolux }"

# The installed batch command analyses the sample with its options.
mkdir -p "$work/data" "$work/out" "$work/tmp" "$work/home" "$work/config"
mkdir -m 700 "$work/run"
cp "$source/samples/coloured-objects.png" "$source/samples/sample-options.ini" "$work/data/"
(cd "$work/data" && "$installed/bin/varnolux-batch" --options sample-options.ini coloured-objects.png) \
    >"$work/batch.out" 2>"$work/batch.err" || fail "installed varnolux-batch: $(cat "$work/batch.err")"
[ "$(wc -l <"$work/batch.out")" -eq 2 ] || fail "installed varnolux-batch printed no result line"

# The installed desktop program, offscreen, started by a robot: it reads its language
# file, analyses the image, saves the analysed image and writes the caller's result
# file, and ends by itself.
cat >"$work/data/robot.ini" <<EOF
[General]
Sender=Robot
Count=1
[Image0]
Image=$work/data/coloured-objects.png
ResultFileDB=$work/out/result.ini
[Analysis]
Automatic=1
ResultImage=1
StoppAtEnd=0
ResultImageDirectory=$work/out
EOF
before=$(find "$installed" | LC_ALL=C sort)
status=0
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$work/run" HOME="$work/home" XDG_CONFIG_HOME="$work/config" TEMP="$work/tmp" \
    timeout 120 "$installed/bin/varnolux" "$work/data/robot.ini") >"$work/gui.out" 2>"$work/gui.err" ||
    status=$?
[ "$status" -eq 0 ] || fail "installed varnolux ended with status $status: $(cat "$work/gui.err")"
! grep -q 'No language file' "$work/gui.err" || fail "installed varnolux found no language file"
[ -s "$work/out/Lamivex_coloured-objects.png.bmp" ] || fail "installed varnolux saved no analysed image"
grep -q "^Version=${version#varnolux }" "$work/out/result.ini" 2>/dev/null ||
    fail "installed varnolux wrote no result file with its version"
grep -q '^\[Result1\]' "$work/out/result.ini" 2>/dev/null ||
    fail "installed varnolux wrote no results"

# What it writes is the user's: the settings are seeded from the installed ones into
# the configuration folder, the window position kept there; nothing is written beside
# the program or into its data folder (as root, it could).
settings=$work/config/varnolux
cmp -s "$settings/Varnolux.ini" "$installed/share/varnolux/Varnolux.ini" ||
    fail "the user's Varnolux.ini is no copy of the installed one"
grep -q '^FormMainWidth=' "$settings/VXDefault.ini" 2>/dev/null ||
    fail "installed varnolux kept no window position in $settings/VXDefault.ini"
[ "$(find "$installed" | LC_ALL=C sort)" = "$before" ] ||
    fail "installed varnolux wrote into its installation: $(find "$installed" -newer "$work/data/robot.ini")"
[ ! -e "$work/home/.config" ] || fail "installed varnolux wrote into HOME beside XDG_CONFIG_HOME"

# The same program copied to a folder of its own, as the build folder has it: there
# it keeps everything next to itself, and the user's configuration folder stays empty.
portable=$work/portable
mkdir -p "$portable"
cp "$build/bin/varnolux" "$build/bin/VXLang.ini" "$portable/"
status=0
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR="$work/run" HOME="$work/home" XDG_CONFIG_HOME="$work/portable-config" \
    TEMP="$work/tmp" timeout 120 "$portable/varnolux" "$work/data/robot.ini") \
    >"$work/portable.out" 2>"$work/portable.err" || status=$?
[ "$status" -eq 0 ] || fail "the copied varnolux ended with status $status: $(cat "$work/portable.err")"
grep -q '^FormMainWidth=' "$portable/VXDefault.ini" 2>/dev/null ||
    fail "the copied varnolux kept no window position next to itself"
# (Qt's file dialog keeps its own QtProject.conf there, whoever runs it.)
[ ! -e "$work/portable-config/varnolux" ] ||
    fail "the copied varnolux wrote into the configuration folder"

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "install: $(printf '%s\n' "$actual" | wc -l) files under $prefix, all checks passed"
