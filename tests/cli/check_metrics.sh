#!/usr/bin/env bash
# tolvenar-report --prometheus over the demo drives must satisfy promtool's
# checker, and the shipped alerting rules must load.
set -euo pipefail
bin="$1" source="$2"
if ! command -v promtool >/dev/null; then
    echo "promtool is missing: metrics check skipped"
    exit 77
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$bin/tolvenar-report" "$bin/attr_table.ini" "$bin/vendor_table.ini" "$source"/data/demo/*.ini \
    "$folder/"
"$folder/tolvenar-report" --prometheus --out "$folder/tolvenar.prom"
promtool check metrics < "$folder/tolvenar.prom"
grep -q '^tolvenar_attribute_failing{drive="2",.*id="5"} 1$' "$folder/tolvenar.prom"
promtool check rules "$source/res/prometheus/tolvenar-rules.yml"
