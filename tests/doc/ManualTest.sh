#!/bin/sh
# The built manual: a PDF of more than a few pages, every chapter and section of the
# source listed in the contents with the page it really starts on, the pictures in
# it, and the version in the footer.
#   ManualTest.sh MANUAL.pdf MANUAL.md VERSION
set -eu
pdf=$1
source=$2
version=$3
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[ -s "$pdf" ] || { echo "FAIL: $pdf was not built" >&2; exit 1; }
pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
[ "$pages" -gt 12 ] || fail "only $pages pages"
# Distinct pictures (a picture at a page break is listed on both pages).
pictures=$(pdfimages -list "$pdf" | awk 'NR > 2 && $3 == "image" { print $11 }' | sort -u | wc -l)
[ "$pictures" -ge 4 ] || fail "only $pictures pictures"
pdftotext -f 1 -l 1 "$pdf" - | grep -q "Varnolux $version – User manual" ||
    fail "no version $version in the footer"
pdftotext -f "$pages" -l "$pages" "$pdf" - | grep -q "Page $pages of $pages" ||
    fail "no page number on the last page"

contents=$(pdftotext -layout -f 1 -l 3 "$pdf" -)
# The headings of the source after the title, without the contents heading itself.
headings=$(grep -E '^#{1,2} ' "$source" | tail -n +2 | sed -E 's/^#+ //' | grep -vx 'Contents')
[ -n "$headings" ] || fail "no headings in $source"
echo "$headings" | {
    while IFS= read -r heading; do
        line=$(printf '%s\n' "$contents" | grep -F -- "$heading" | grep -E '[0-9]+$' | head -n 1)
        page=$(printf '%s\n' "$line" | grep -oE '[0-9]+$' || true)
        if [ -z "$page" ]; then
            fail "\"$heading\" is not in the contents"
            continue
        fi
        # A long heading may break into two lines on its page.
        pdftotext -f "$page" -l "$page" "$pdf" - | tr -s '\n ' '  ' | grep -qF -- "$heading" ||
            fail "\"$heading\" is not on page $page, where the contents put it"
    done
    exit "$failures"
} || failures=$?
[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "manual: $pages pages, $pictures pictures, every heading in the contents"
