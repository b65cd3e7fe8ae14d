#!/usr/bin/env bash
# The notifier's systemd user units, filled in for the build's own program:
# systemd-analyze verify --user must accept them without a word (it only
# warns about unknown keys and bad values, so any output fails), and a copy
# with a misspelt key must be caught, else this check would pass anything.
set -euo pipefail
units="$1"
if ! command -v systemd-analyze >/dev/null; then
    echo "systemd-analyze is missing: unit verification skipped"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# --user looks for the user's runtime folder even offline.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$scratch/runtime}"
mkdir -p "$XDG_RUNTIME_DIR"

source "$(dirname "$0")/../support/verify_units.sh"

verify_units --user "$units/tolvenar-notify.path" "$units/tolvenar-notify.service"

cp "$units/tolvenar-notify.path" "$units/tolvenar-notify.service" "$scratch/"
sed -i 's/^\[Path\]$/&\nPathChanges=\/tmp/' "$scratch/tolvenar-notify.path"
if verify_units --user "$scratch/tolvenar-notify.path" "$scratch/tolvenar-notify.service" >/dev/null; then
    echo "a unit with an unknown key passed verification"
    exit 1
fi
echo "user units verified"
