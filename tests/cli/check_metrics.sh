#!/usr/bin/env bash
# tolvenar-report --prometheus over the demo drives must satisfy promtool's
# checker, and the shipped alerting rules must load and pass their tests.
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
"$folder/tolvenar-report" --prometheus --collection-result success --out "$folder/tolvenar.prom"
promtool check metrics < "$folder/tolvenar.prom"
grep -q '^tolvenar_attribute_failing{model="ST31000528AS",serial="9VPDEMO2",id="5"} 1$' "$folder/tolvenar.prom"
grep -q '^tolvenar_collection_last_run_success 1$' "$folder/tolvenar.prom"
# A failed run keeps the time of the last success.
last=$(sed -n 's/^tolvenar_collection_last_success_timestamp_seconds //p' "$folder/tolvenar.prom")
"$folder/tolvenar-report" --prometheus --collection-result exit-code --out "$folder/tolvenar.prom"
grep -q '^tolvenar_collection_last_run_success 0$' "$folder/tolvenar.prom"
grep -q "^tolvenar_collection_last_success_timestamp_seconds $last\$" "$folder/tolvenar.prom"
promtool check rules "$source/res/prometheus/tolvenar-rules.yml"
promtool test rules "$source/res/prometheus/tolvenar-rules.test.yml"
