#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one command on a private Wayland desktop and tears the desktop down again:
#   wayland-session.sh <command> [args...]
#
# The desktop: a headless sway with two outputs of different sizes, one at a
# negative x (HEADLESS-1 1280x800 at 0,0, HEADLESS-2 1024x768 at -1024,0,
# each with a solid background drawn by swaybg), no XWayland, and a private
# D-Bus session bus. Windows with the application id lumora-test-assigned
# open on workspace 7. The command runs
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

session_name=wayland-session
# shellcheck source=session-common.sh
. "$(dirname "${BASH_SOURCE[0]}")/session-common.sh"
prepare_wayland_user sway || exit 1
export SWAYSOCK="$XDG_RUNTIME_DIR/sway-ipc.sock"

cat >"$workdir/sway.config" <<'EOF'
xwayland disable
output HEADLESS-1 mode 1280x800 position 0,0 bg #24343c solid_color
output HEADLESS-2 mode 1024x768 position -1024,0 bg #3c2434 solid_color
default_border none
focus_on_window_activation none
assign [app_id="lumora-test-assigned"] workspace 7
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

start_bus "${as_user[@]}" || exit 1
# runuser keeps the environment but for HOME, SHELL, USER and LOGNAME.
run_command "${as_user[@]}" env "HOME=$HOME" "$@"
