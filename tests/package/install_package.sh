#!/usr/bin/env bash
# Installs the Debian package on this machine as a user would, uses it, then
# removes and purges it: afterwards nothing of it may be left. Needs root; CI
# runs it after scripts/package. Usage: install_package.sh FILE.deb
set -euo pipefail
deb=$(realpath "$1")
source_tree=$(cd "$(dirname "$0")/../.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
    echo "install_package.sh installs a package: run it as root" >&2
    exit 2
fi
bash "$source_tree/scripts/install-deps" man-db xvfb xauth
export DEBIAN_FRONTEND=noninteractive

fail() {
    echo "package test: $*" >&2
    exit 1
}

# Every file and folder named after the programs, outside the source tree
# and the temporary folders: what the package may leave behind.
named_after_us() {
    find / -xdev \( -path "$source_tree" -o -path /tmp -o -path /var/tmp \) -prune -o \
        \( -iname '*tolvenar*' -o -iname '*quelmaro*' \) -print | sort
}

# The metrics folder belongs to prometheus-node-exporter: only the folders
# made here are removed afterwards, deepest first and only when empty, so a
# folder (and its data) that was there before is never touched.
metrics=/var/lib/prometheus/node-exporter
made_folders=()
folder=$metrics
while [ ! -d "$folder" ]; do
    made_folders=("$folder" "${made_folders[@]}")
    folder=$(dirname "$folder")
done
mkdir -p "$metrics"
remove_made_folders() {
    local i
    [ "${#made_folders[@]}" -eq 0 ] && return 0
    rm -f "$metrics/tolvenar.prom" # ours, in a folder that was not there
    for ((i = ${#made_folders[@]} - 1; i >= 0; i--)); do
        rmdir "${made_folders[i]}" 2>/dev/null ||
            echo "package test: left ${made_folders[i]} (not empty)" >&2
    done
}
trap remove_made_folders EXIT

if dpkg-query -W -f='${Status}' tolvenar 2>/dev/null | grep -q "installed"; then
    fail "tolvenar is installed already; this test must start without it"
fi
before=$(named_after_us)

apt-get install -y -qq "$deb"
echo "installed $(dpkg-query -W -f='${Package} ${Version}' tolvenar)"

# The collection timer enabled the Debian way, the notifier for every user.
[ -L /etc/systemd/system/timers.target.wants/tolvenar-collect.timer ] ||
    fail "the collection timer is not enabled"
[ -L /etc/systemd/user/default.target.wants/tolvenar-notify.path ] ||
    fail "the notifier's path unit is not enabled"
[ -f /lib/systemd/system/tolvenar-self-test.timer ] ||
    fail "the self-test timer is not installed"
[ ! -e /etc/systemd/system/timers.target.wants/tolvenar-self-test.timer ] ||
    fail "the self-test timer was enabled by installing"

usage=$(quelmaro --help) || fail "quelmaro --help failed"
grep -q "/var/lib/tolvenar" <<<"$usage" || fail "quelmaro does not write to /var/lib/tolvenar"

if grep -qs "path-exclude=/usr/share/man" /etc/dpkg/dpkg.cfg.d/*; then
    echo "this system's dpkg leaves out manual pages: man -w not checked"
    dpkg-deb -c "$deb" | grep -q "usr/share/man/man8/quelmaro.8.gz" || fail "no quelmaro(8)"
else
    page=$(man -w quelmaro) || fail "man -w quelmaro found nothing"
    [ "$page" = /usr/share/man/man8/quelmaro.8.gz ] || fail "quelmaro's page is $page"
    man -w tolvenar-report >/dev/null || fail "no tolvenar-report(1)"
fi

# The demo drives, named and then from the report folder: one of them fails.
check_demo() {
    local status=0 line
    line=$("$@") || status=$?
    [ "$status" -eq 2 ] && [[ "$line" == CRITICAL:* ]] ||
        fail "$* gave $status: $line"
}
check_demo tolvenar-report --check /usr/share/tolvenar/demo/smart_PhysicalDrive*.ini
cp /usr/share/tolvenar/demo/smart_PhysicalDrive*.ini /var/lib/tolvenar/
check_demo tolvenar-report --check
# What the collection service leaves for node_exporter, which purge removes.
tolvenar-report --prometheus --out "$metrics/tolvenar.prom"

# The menu entry's command must bring the viewer up and keep it up.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/tolvenar.desktop)
status=0
timeout 15 xvfb-run -a $command >/tmp/tolvenar-viewer.log 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat /tmp/tolvenar-viewer.log; fail "the viewer ended with $status"; }
rm -f /tmp/tolvenar-viewer.log

apt-get remove -y -qq tolvenar
[ ! -e /usr/lib/tolvenar ] && [ ! -e /usr/bin/quelmaro ] || fail "removal left programs"
[ -d /var/lib/tolvenar ] || fail "removal took the reports, which only purge may"
[ ! -e "$metrics/tolvenar.prom" ] || fail "removal left the metrics file, served for ever"

apt-get purge -y -qq tolvenar
after=$(named_after_us)
if [ "$before" != "$after" ]; then
    diff <(printf '%s\n' "$before") <(printf '%s\n' "$after") || true
    fail "purge left the files above"
fi
echo "package test passed: installed, used, removed and purged without a trace"
