# Sourced by the unit checks. verify_units [--user] UNIT... prints what
# systemd-analyze verify says about the units and fails when it says
# anything: it is silent about sound units.
verify_units() {
    local output
    if ! output=$(systemd-analyze verify --man=no --recursive-errors=no "$@" 2>&1) ||
        [ -n "$output" ]; then
        printf '%s\n' "${output:-systemd-analyze verify failed}"
        return 1
    fi
}
