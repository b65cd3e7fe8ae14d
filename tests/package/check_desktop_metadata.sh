#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo as installed: the metainfo
# under its component id beside the desktop entry it launches, so that
# validate-tree also checks the file name and the launchable. Both validators
# must stay silent about problems.
set -euo pipefail
res="$1"
for tool in appstreamcli desktop-file-validate; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: desktop metadata check skipped"
        exit 77
    fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

output=$(desktop-file-validate "$res/tolvenar.desktop" 2>&1) || true
if [ -n "$output" ]; then
    printf '%s\n' "$output"
    exit 1
fi

id=$(sed -n 's|^ *<id>\(.*\)</id>$|\1|p' "$res/tolvenar.metainfo.xml")
mkdir -p "$scratch/usr/share/metainfo" "$scratch/usr/share/applications"
cp "$res/tolvenar.desktop" "$scratch/usr/share/applications/"
cp "$res/tolvenar.metainfo.xml" "$scratch/usr/share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$res/tolvenar.metainfo.xml"
appstreamcli validate-tree --no-net "$scratch"
