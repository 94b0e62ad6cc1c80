#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one command on a private desktop and tears the desktop down again:
#   desktop-session.sh <command> [args...]
#
# The desktop: Xvfb on a free display number with one 2304x800 screen split
# into two RandR monitors (1280x800 primary on the left, 1024x768 on the
# right), openbox as the EWMH window manager, trayer as the tray host (unless
# LUMORA_E2E_NO_TRAY is set) and a private D-Bus session bus. The command runs with DISPLAY and
# DBUS_SESSION_BUS_ADDRESS pointing at them, under a time limit
# (LUMORA_E2E_TIMEOUT seconds, default 240). Everything started here is
# stopped by process id when the script ends, however it ends; the script
# exits with the command's status (124 when the time limit ran out).
set -u

if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi

session_name=desktop-session
# shellcheck source=session-common.sh
. "$(dirname "${BASH_SOURCE[0]}")/session-common.sh"

display_number=""

has_wm() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
has_tray() { xdotool search --class trayer | grep -q .; }

# Unset or foreign session variables must not leak into the desktop.
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS XAUTHORITY
export XDG_SESSION_TYPE=x11
export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

# A free display, chosen by the server itself (-displayfd): it takes the first
# number whose lock it can create and writes it once it accepts clients, so
# two desktops starting at the same moment never share one.
Xvfb -displayfd 3 -screen 0 2304x800x24 -nolisten tcp -noreset 3>"$workdir/display" >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
pids+=("$xvfb_pid")
display_written() { [ "$(wc -l <"$workdir/display")" -ge 1 ]; }
wait_until "$xvfb_pid" "Xvfb" display_written || exit 1
display_number=$(head -n 1 "$workdir/display")
export DISPLAY=":$display_number"

xrandr --setmonitor '*LEFT' 1280/338x800/211+0+0 screen >"$workdir/xrandr.log" 2>&1 &&
    xrandr --setmonitor RIGHT 1024/270x768/203+1280+0 none >>"$workdir/xrandr.log" 2>&1 ||
    { log "xrandr could not set up the two monitors"; exit 1; }

XDG_CONFIG_HOME="$workdir/config" XDG_CACHE_HOME="$workdir/cache" \
    openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
pids+=($!)
wait_until "${pids[-1]}" openbox has_wm || exit 1

# LUMORA_E2E_NO_TRAY=1: a desktop without a tray host (the test may start
# one itself with the same command line).
if [ -z "${LUMORA_E2E_NO_TRAY:-}" ]; then
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        >"$workdir/trayer.log" 2>&1 &
    pids+=($!)
    wait_until "${pids[-1]}" trayer has_tray || exit 1
fi

start_bus || exit 1
run_command "$@"
