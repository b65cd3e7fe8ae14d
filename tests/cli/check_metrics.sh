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

# The check follows the locale: ASCII under C, Japanese under ja_JP.UTF-8
# (compiled here when the system lacks it; LANGUAGE=ja over C.UTF-8 else).
cp -r "$bin/locale" "$folder/"
status=0
LANG=C LC_ALL= LANGUAGE= "$folder/tolvenar-report" --check > "$folder/c.txt" || status=$?
[ "$status" -eq 2 ] || { echo "--check gave $status"; exit 1; }
if LC_ALL=C grep -n '[^ -~]' "$folder/c.txt"; then
    echo "LANG=C: the lines above are not ASCII"
    exit 1
fi
grep -q '^CRITICAL: ST31000528AS (9VPDEMO2): attribute 5 fell below its threshold' "$folder/c.txt"
japanese=(LANG=ja_JP.UTF-8 LC_ALL= LANGUAGE=)
if ! locale -a | grep -qi '^ja_JP.utf-\?8$'; then
    if localedef -i ja_JP -f UTF-8 "$folder/ja_JP.UTF-8" 2>/dev/null; then
        japanese+=(LOCPATH="$folder")
    else
        japanese=(LC_ALL=C.UTF-8 LANGUAGE=ja)
    fi
fi
env "${japanese[@]}" "$folder/tolvenar-report" --check > "$folder/ja.txt" || true
grep -q '^CRITICAL: ST31000528AS (9VPDEMO2): 5 代替処理済みのセクタ数 が危険値を下回りました（値 1、危険値 36）' \
    "$folder/ja.txt" || { cat "$folder/ja.txt"; exit 1; }
