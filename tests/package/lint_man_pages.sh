#!/usr/bin/env bash
# Every manual page must format without a single groff warning (-ww; groff
# warns but still succeeds, so any output fails). The utf8 device is the one
# man(1) uses on a UTF-8 terminal; it has the Japanese glyphs the pages quote.
# A page with a bad escape must be caught, else this check would pass anything.
set -euo pipefail
pages="$1"
if ! command -v groff >/dev/null; then
    echo "groff is missing: manual page check skipped"
    exit 77
fi

# Prints groff's warnings about a page; fails when there are any.
lint() {
    local output
    if ! output=$(groff -man -ww -z -K utf8 -Tutf8 "$1" 2>&1) || [ -n "$output" ]; then
        printf '%s\n' "${output:-groff failed on $1}"
        return 1
    fi
}

status=0
count=0
for page in "$pages"/*.[1-8]; do
    lint "$page" || status=1
    count=$((count + 1))
done
[ "$count" -gt 0 ] || { echo "no manual page in $pages"; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sed 's/^\.SH NAME$/&\n\\(zz/' "$pages/tolvenar.1" >"$scratch/broken.1"
if lint "$scratch/broken.1" >/dev/null; then
    echo "a page with an unknown escape passed"
    exit 1
fi
exit "$status"
