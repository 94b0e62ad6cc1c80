#!/usr/bin/env bash
# Runs one command on a private Wayland desktop and tears the desktop down again:
#   wayland-session.sh <command> [args...]
#
# The desktop: a headless sway with two outputs (HEADLESS-1 1280x800 at 0,0,
# HEADLESS-2 1024x768 at 1280,0, each with a solid background drawn by
# swaybg), no XWayland, and a private D-Bus session bus. The command runs
# with WAYLAND_DISPLAY, SWAYSOCK and DBUS_SESSION_BUS_ADDRESS pointing at
# them, under a time limit (LUMORA_E2E_TIMEOUT seconds, default 240).
#
# sway refuses to run as root, so when started as root the compositor, the
# bus and the command all run as an unprivileged user (LUMORA_E2E_USER,
# default lumora-desktop, created when missing) with a runtime folder and a
# home of its own in a scratch folder; HOME and the XDG folders point there.
# The command's files must be readable by that user.
#
# Everything started here is stopped by process id when the script ends,
# however it ends; the script exits with the command's status (124 when the
# time limit ran out).
set -u

if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi

command_timeout=${LUMORA_E2E_TIMEOUT:-240}
ready_timeout=15 # seconds for each desktop part to come up

workdir=$(mktemp -d "${TMPDIR:-/tmp}/lumora-wayland.XXXXXX")
chmod 755 "$workdir"
pids=()    # our children, stopped in reverse order
bus_pid="" # the bus daemon forks away from us
command_pid=""

log() { echo "wayland-session: $*" >&2; }

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
    rm -rf "$workdir"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

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

# The user everything runs as: ourselves, or an unprivileged one under root.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    user=${LUMORA_E2E_USER:-lumora-desktop}
    if ! id -u "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" \
            >/dev/null 2>&1
        # Another run may have created it at the same moment.
        id -u "$user" >/dev/null 2>&1 || { log "could not create the user $user"; exit 1; }
    fi
    as_user=(runuser -u "$user" --)
    owner=$user
else
    owner=$(id -un)
fi

# Unset or foreign session variables must not leak into the desktop.
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS XAUTHORITY
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway
export XDG_RUNTIME_DIR="$workdir/runtime" HOME="$workdir/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
chown -R "$owner" "$XDG_RUNTIME_DIR" "$HOME"
export SWAYSOCK="$XDG_RUNTIME_DIR/sway-ipc.sock"

cat >"$workdir/sway.config" <<'EOF'
xwayland disable
output HEADLESS-1 mode 1280x800 position 0,0 bg #24343c solid_color
output HEADLESS-2 mode 1024x768 position 1280,0 bg #3c2434 solid_color
default_border none
focus_on_window_activation none
EOF
chmod 644 "$workdir/sway.config"

WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=2 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" env "PATH=$PATH" sway --config "$workdir/sway.config" >"$workdir/sway.log" 2>&1 &
pids+=($!)
two_outputs() { [ "$("${as_user[@]}" swaymsg -s "$SWAYSOCK" -t get_outputs -r | grep -c '"active": true')" -eq 2 ]; }
wait_until "${pids[-1]}" sway two_outputs || exit 1
socket=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n 1)
[ -n "$socket" ] || { log "sway made no Wayland socket"; exit 1; }
export WAYLAND_DISPLAY=$socket

bus_output=$("${as_user[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=1) ||
    { log "dbus-daemon did not start"; exit 1; }
bus_address=$(sed -n 1p <<<"$bus_output")
bus_pid=$(sed -n 2p <<<"$bus_output")
if [ -z "$bus_address" ] || ! [[ "$bus_pid" =~ ^[0-9]+$ ]]; then
    log "unexpected dbus-daemon output: $bus_output"
    bus_pid=""
    exit 1
fi
export DBUS_SESSION_BUS_ADDRESS="$bus_address"

# In the background so that INT/TERM reach the trap at once. runuser keeps
# the environment but for HOME, SHELL, USER and LOGNAME.
timeout --kill-after=10 "$command_timeout" "${as_user[@]}" env "HOME=$HOME" "$@" &
command_pid=$!
wait "$command_pid"
status=$?
command_pid=""
if [ "$status" -eq 124 ]; then
    log "command timed out after ${command_timeout}s: $*"
fi
exit "$status"
