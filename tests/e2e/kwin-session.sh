#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one command on a private KWin desktop and tears the desktop down again:
#   kwin-session.sh <command> [args...]
#
# The desktop: KWin on Wayland without hardware (kwin_wayland --virtual)
# with two 1280x800 outputs side by side, no XWayland, and a private D-Bus
# session bus on which KWin serves its scripting interface (org.kde.KWin
# /Scripting). The command runs with WAYLAND_DISPLAY and
# DBUS_SESSION_BUS_ADDRESS pointing at them, under a time limit
# (LUMORA_E2E_TIMEOUT seconds, default 240).
#
# The packaged kwin_wayland carries a file capability (cap_sys_resource),
# which a container without that capability refuses to execute ("Operation
# not permitted"); a copy of the binary carries none, so the copy is what runs.
#
# As with the sway desktop, when started as root the compositor, the bus and
# the command run as an unprivileged user (LUMORA_E2E_USER, default
# lumora-desktop, created when missing) with a runtime folder and a home of
# its own in a scratch folder; HOME and the XDG folders point there.
#
# Everything started here is stopped by process id when the script ends,
# however it ends; the script exits with the command's status (124 when the
# time limit ran out).
set -u

if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi

session_name=kwin-session
# shellcheck source=session-common.sh
. "$(dirname "${BASH_SOURCE[0]}")/session-common.sh"
kwin_binary=$(command -v kwin_wayland) || { log "kwin_wayland is not installed"; exit 1; }
prepare_wayland_user KDE || exit 1

# A copy without the file capability.
cp "$kwin_binary" "$workdir/kwin_wayland"
chmod 755 "$workdir/kwin_wayland"

start_bus "${as_user[@]}" || exit 1

# KWin's scripting interface lives on the session bus, so the bus comes
# first. QPainter compositing: no GPU here, and software OpenGL costs far
# more for the same picture.
socket="lumora-kwin-$$"
KWIN_COMPOSE=Q "${as_user[@]}" env "PATH=$PATH" "HOME=$HOME" "$workdir/kwin_wayland" --virtual \
    --output-count 2 --width 1280 --height 800 --socket "$socket" --no-lockscreen \
    >"$workdir/kwin.log" 2>&1 &
pids+=($!)
kwin_ready() {
    [ -S "$XDG_RUNTIME_DIR/$socket" ] &&
        "${as_user[@]}" dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
            org.freedesktop.DBus.Introspectable.Introspect | grep -q org.kde.kwin.Scripting
}
wait_until "${pids[-1]}" kwin_wayland kwin_ready || exit 1
export WAYLAND_DISPLAY=$socket

# runuser keeps the environment but for HOME, SHELL, USER and LOGNAME.
run_command "${as_user[@]}" env "HOME=$HOME" "$@"
