# SPDX-License-Identifier: MIT
# The parts the private test desktops share (sourced by desktop-session.sh,
# wayland-session.sh and kwin-session.sh): a scratch folder, stopping what
# was started by process id however the script ends, waiting for a part to
# be ready, the private session bus, the Wayland desktops' user and folders,
# and running the command under a time limit.
# The sourcing script sets session_name (for messages) first.
# LUMORA_E2E_READY_TIMEOUT sets the seconds each part may take to come up
# (default 15); LUMORA_E2E_KEEP=1 keeps the scratch folder (the desktop's
# logs) after the run.

command_timeout=${LUMORA_E2E_TIMEOUT:-240}
ready_timeout=${LUMORA_E2E_READY_TIMEOUT:-15} # seconds for each desktop part to come up

workdir=$(mktemp -d "${TMPDIR:-/tmp}/lumora-$session_name.XXXXXX")
pids=()       # our children, stopped in reverse order
bus_pid=""    # the bus daemon forks away from us
command_pid=""

log() { echo "$session_name: $*" >&2; }

stop_pid() {
    local pid=$1 i
    kill -TERM "$pid" 2>/dev/null || return 0
    for i in $(seq 1 20); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
}

cleanup() {
    local status=$? i
    trap - EXIT INT TERM
    if [ -n "$command_pid" ]; then
        stop_pid "$command_pid"
    fi
    [ -n "$bus_pid" ] && stop_pid "$bus_pid"
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        stop_pid "${pids[i]}"
        wait "${pids[i]}" 2>/dev/null
    done
    if [ "$status" -ne 0 ] && [ -d "$workdir" ]; then
        for f in "$workdir"/*.log; do
            [ -s "$f" ] || continue
            log "--- $(basename "$f") (last lines) ---"
            tail -n 20 "$f" >&2
        done
    fi
    [ -n "${LUMORA_E2E_KEEP:-}" ] || rm -rf "$workdir"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Polls "$@" until it succeeds; fails after ready_timeout seconds or when
# the process given as first argument has died.
wait_until() {
    local pid=$1 what=$2 i
    shift 2
    for i in $(seq 1 $((ready_timeout * 10))); do
        "$@" >/dev/null 2>&1 && return 0
        if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
            log "$what exited before it was ready"
            return 1
        fi
        sleep 0.1
    done
    log "$what not ready after ${ready_timeout}s"
    return 1
}

# A private session bus, started with the given prefix (runuser ...);
# exports DBUS_SESSION_BUS_ADDRESS.
start_bus() {
    local bus_output bus_address
    bus_output=$("$@" dbus-daemon --session --fork --print-address=1 --print-pid=1) ||
        { log "dbus-daemon did not start"; return 1; }
    bus_address=$(sed -n 1p <<<"$bus_output")
    bus_pid=$(sed -n 2p <<<"$bus_output")
    if [ -z "$bus_address" ] || ! [[ "$bus_pid" =~ ^[0-9]+$ ]]; then
        log "unexpected dbus-daemon output: $bus_output"
        bus_pid=""
        return 1
    fi
    export DBUS_SESSION_BUS_ADDRESS="$bus_address"
}

# Runs the command under the time limit and exits with its status. In the
# background so that INT/TERM reach the trap at once.
run_command() {
    local status
    timeout --kill-after=10 "$command_timeout" "$@" &
    command_pid=$!
    wait "$command_pid"
    status=$?
    command_pid=""
    if [ "$status" -eq 124 ]; then
        log "command timed out after ${command_timeout}s: $*"
    fi
    exit "$status"
}

# A Wayland desktop's user and folders: everything runs as ourselves, or
# under root as an unprivileged user (LUMORA_E2E_USER, default
# lumora-desktop, created when missing; compositors refuse root or should
# not have it), with a runtime folder and a home of its own in the scratch
# folder. Sets as_user (the prefix that runs a command as that user) and
# owner, clears the session variables of the desktop this runs on and
# exports XDG_SESSION_TYPE, XDG_CURRENT_DESKTOP (the argument), HOME and
# the XDG folders.
prepare_wayland_user() {
    local user
    chmod 755 "$workdir"
    as_user=()
    if [ "$(id -u)" -eq 0 ]; then
        user=${LUMORA_E2E_USER:-lumora-desktop}
        if ! id -u "$user" >/dev/null 2>&1; then
            useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" \
                >/dev/null 2>&1
            # Another run may have created it at the same moment.
            id -u "$user" >/dev/null 2>&1 || { log "could not create the user $user"; return 1; }
        fi
        as_user=(runuser -u "$user" --)
        owner=$user
    else
        owner=$(id -un)
    fi

    # Unset or foreign session variables must not leak into the desktop.
    unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS XAUTHORITY
    export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=$1
    export XDG_RUNTIME_DIR="$workdir/runtime" HOME="$workdir/home"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
    mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    chmod 700 "$XDG_RUNTIME_DIR"
    chown -R "$owner" "$XDG_RUNTIME_DIR" "$HOME"
}
