#!/usr/bin/env bash
# The systemd units, filled in from the installed template for the build's own
# collector: systemd-analyze verify must accept both without a word (it only
# warns about unknown keys and bad values, so any output fails), a copy with
# a misspelt key must be caught (else this check would pass anything), and
# the service's exposure must stay at 4.0 or lower.
set -euo pipefail
units="$1"
if ! command -v systemd-analyze >/dev/null; then
    echo "systemd-analyze is missing: unit verification skipped"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

source "$(dirname "$0")/../support/verify_units.sh"

verify_units "$units/tolvenar-collect.service" "$units/tolvenar-collect.timer"
verify_units "$units/tolvenar-self-test.service" "$units/tolvenar-self-test.timer"
verify_units "$units/tolvenar-self-test-follow.service"

cp "$units/tolvenar-collect.service" "$units/tolvenar-collect.timer" "$scratch/"
sed -i 's/^\[Service\]$/&\nProtectSytem=strict/' "$scratch/tolvenar-collect.service"
if verify_units "$scratch/tolvenar-collect.service" "$scratch/tolvenar-collect.timer" >/dev/null; then
    echo "a unit with an unknown key passed verification"
    exit 1
fi

systemd-analyze security --offline=true --threshold=40 --no-pager "$units/tolvenar-collect.service" |
    tail -n 1
systemd-analyze security --offline=true --threshold=40 --no-pager "$units/tolvenar-self-test.service" |
    tail -n 1
systemd-analyze security --offline=true --threshold=40 --no-pager \
    "$units/tolvenar-self-test-follow.service" | tail -n 1
