#!/usr/bin/env bash
# tolvenar-notify --once against a real session bus with a fake notification
# server on it: one notification per drive, replaced when it gets worse, and
# a click that starts the viewer of the program folder. Run it under dbus-run-session (see CMakeLists.txt):
#   notify_session_test.sh BIN_DIR FAKE_SERVER TEST_DIR
# Each step compares the calls the server recorded with what a user must see.
set -euo pipefail
bin="$1" server="$2" here="$3"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "not under dbus-run-session"; exit 1; }

scratch=$(mktemp -d)
server_pid=""
cleanup() {
    [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# A program folder of its own: the executable is found there, and so are
# the attribute table and the reports.
folder="$scratch/program"
mkdir -p "$folder" "$scratch/state"
cp "$bin/tolvenar-notify" "$bin/attr_table.ini" "$bin/vendor_table.ini" "$folder/"
cp "$here"/data/smart_PhysicalDrive*.ini "$folder/"
# The viewer the notifier starts on a click: it says that it ran.
printf '#!/bin/sh\necho started >>"%s"\n' "$scratch/viewer" >"$folder/tolvenar"
chmod +x "$folder/tolvenar"
cp -r "$bin/locale" "$folder/"
export XDG_STATE_HOME="$scratch/state"
# A Japanese session: the texts come from the catalog.
export LC_ALL=C.UTF-8 LANGUAGE=ja
state="$scratch/state/tolvenar/notified.json"
calls="$scratch/calls.txt"
: >"$calls"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs tolvenar-notify --once $options; $1 is the exit status it must end with.
options=""
run_notify() {
    local want="$1" status=0
    shift
    : >"$calls"
    # shellcheck disable=SC2086
    "$@" timeout 60 "$folder/tolvenar-notify" --once $options 2>"$scratch/err" || status=$?
    [ "$status" -eq "$want" ] || fail "exit status $status, expected $want: $(cat "$scratch/err")"
}

expect_calls() { # $1: a file of the expected lines, or /dev/null
    diff -u "$1" "$calls" >"$scratch/diff" || fail "$2:"$'\n'"$(cat "$scratch/diff")"
}

# No session bus, unset or unreachable: one line, exit 2, no state written.
run_notify 2 env -u DBUS_SESSION_BUS_ADDRESS
[ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "no bus: not one line on stderr"
run_notify 2 env DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-bus"
[ ! -e "$state" ] || fail "no bus: the state was written"

# A bus without a notification server: nothing can be sent, nothing recorded.
run_notify 1 env
! grep -q '"model"' "$state" 2>/dev/null || fail "unsent warnings entered the state"

start_server() { # $1: the server's mode, if any
    [ -z "$server_pid" ] || { kill "$server_pid"; wait "$server_pid" || true; }
    rm -f "$scratch/ready"
    "$server" "$calls" "$scratch/ready" "$@" &
    server_pid=$!
    for _ in $(seq 50); do [ -e "$scratch/ready" ] && break; sleep 0.1; done
    [ -e "$scratch/ready" ] || { echo "the fake notification server did not start"; exit 1; }
}
start_server

run_notify 0 env
expect_calls "$here/expected_first_run.txt" "first run"

run_notify 0 env
expect_calls /dev/null "second run, nothing new"

# Better is no news: a cooler drive that is still hot notifies nothing.
sed -i 's/^ATTR_194=61,45,0,61,0$/ATTR_194=60,45,0,60,0/' "$folder/smart_PhysicalDrive1.ini"
run_notify 0 env
expect_calls /dev/null "temperature down, still at the limit"

# A rising counter notifies again, once, replacing the drive's bubble (the
# server numbered the first run's bubbles 1 and 2).
sed -i 's/^ATTR_197=100,100,0,8,0$/ATTR_197=100,100,0,12,0/' "$folder/smart_PhysicalDrive1.ini"
printf 'Tolvenar\t2\ttolvenar\tディスクの注意: TOLVENAR TEST WARNING (NTWARN02)\t温度が 60 ℃ です（上限 60 ℃）\\n197 代替処理保留中のセクタ数 が 12 です\tdefault|開く\turgency=uchar:1\tdesktop-entry=tolvenar\t-1\n' >"$scratch/rising"
run_notify 0 env
expect_calls "$scratch/rising" "rising counter"
run_notify 0 env
expect_calls /dev/null "after the rising counter"

# A value no count can hold was told, but what is unknown: nothing is sent,
# and the value now is kept (a cast of 1e300 would be undefined behaviour).
sed -i 's/"value": 12$/"value": 1e300/' "$state"
grep -q '1e300' "$state" || fail "the state has no counter of 12 to damage"
run_notify 0 env
expect_calls /dev/null "a value out of range in the state"
grep -q '"value": 12$' "$state" || fail "the value now was not kept"

# A state that cannot be written: nothing is sent (else every run would send
# it all again), one line, exit 1.
mv "$state" "$scratch/state.json"
mkdir "$state"
run_notify 1 env
expect_calls /dev/null "state file is a folder"
[ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "unwritable state: not one line on stderr"
rmdir "$state"
mv "$scratch/state.json" "$state"

# A warning that is gone is forgotten, so that it is told again on return.
mv "$folder/smart_PhysicalDrive0.ini" "$scratch/"
run_notify 0 env
expect_calls /dev/null "failing drive's report gone"
mv "$scratch/smart_PhysicalDrive0.ini" "$folder/"
run_notify 0 env
head -n 1 "$here/expected_first_run.txt" >"$scratch/returned"
expect_calls "$scratch/returned" "failing drive's report back"

# A damaged state is read as empty (one line) and replaced by a whole one.
printf '{"version":1,"warnings":[{"model":' >"$state"
run_notify 0 env
[ "$(wc -l <"$scratch/err")" -eq 1 ] || fail "damaged state: not one line on stderr"
[ "$(wc -l <"$calls")" -eq 2 ] || fail "damaged state: $(wc -l <"$calls") notifications, expected 2"
run_notify 0 env
expect_calls /dev/null "after the damaged state was replaced"

# Without a bus the state stays exactly as it was.
before=$(cat "$state")
sed -i 's/^ATTR_197=100,100,0,12,0$/ATTR_197=100,100,0,20,0/' "$folder/smart_PhysicalDrive1.ini"
run_notify 2 env -u DBUS_SESSION_BUS_ADDRESS
[ "$before" = "$(cat "$state")" ] || fail "no bus: the state changed"

# Another server (a new session, a restart) numbers bubbles anew: the
# drive's news is a new bubble, never a replacement of someone else's.
start_server
run_notify 0 env
[ "$(cut -f 2 "$calls")" = 0 ] || fail "another server's bubble replaced: $(cat "$calls")"

# As the user unit runs it: it stays until its bubbles are clicked or
# closed, and a click starts the viewer.
rm "$state"
start_server click
options=--wait
run_notify 0 env
[ "$(wc -l <"$calls")" -eq 2 ] || fail "clicked: $(wc -l <"$calls") notifications, expected 2"
for _ in $(seq 50); do [ -s "$scratch/viewer" ] && break; sleep 0.1; done
[ -s "$scratch/viewer" ] || fail "a click did not start the viewer"

# A viewer that runs is raised instead: no second one is started.
rm "$state" "$scratch/viewer"
start_server click-viewer
run_notify 0 env
[ "$(grep -c '^Activate$' "$calls")" -eq 2 ] || fail "clicks did not raise the running viewer"
[ ! -e "$scratch/viewer" ] || fail "a second viewer was started"

# A server without actions is offered none.
rm "$state"
start_server no-actions
options=""
run_notify 0 env
[ "$(cut -f 6 "$calls" | sort -u | tr '\n' '/')" = "/" ] || fail "no actions: $(cat "$calls")"

[ "$failures" -eq 0 ] || exit 1
echo "all notify session checks passed"
