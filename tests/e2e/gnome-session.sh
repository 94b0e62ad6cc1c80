#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs one command on a private GNOME Shell desktop and tears it down again:
#   gnome-session.sh <command> [args...]
#
# The desktop: GNOME Shell headless on Wayland (no XWayland) with two
# virtual monitors side by side (1280x800 and 1024x768), software rendered,
# with Lumora's extension (the form this shell version loads) and the tests'
# probe (tests/e2e/gnome-probe: what the shell shows, screenshots, synthetic
# input; it also hides the overview the shell starts in) installed as user
# extensions and enabled before the shell starts, the only way a Wayland
# shell sees them. The command runs with WAYLAND_DISPLAY and
# DBUS_SESSION_BUS_ADDRESS pointing at the desktop, under a time limit
# (LUMORA_E2E_TIMEOUT seconds, default 240). LUMORA_GNOME_EXTENSION=none
# leaves Lumora's extension out; LUMORA_GNOME_EXTENSION_VERSION=x.y.z
# installs it saying it is of that version (an extension of another release).
#
# The shell's login manager opens the system bus when the machine has no
# logind seats (a container), and the shell does not start without one: a
# second dbus-daemon with an allow-all configuration of its own, listening
# in the private runtime folder, stands in for it.
#
# The shell is ready about 5 s after its start here (about 210 MB resident,
# software rendered); each GNOME test program pays that once.
#
# As with the sway and KWin desktops, when started as root everything runs
# as an unprivileged user (LUMORA_E2E_USER, default lumora-desktop) with a
# runtime folder (mode 700) and a home of its own in a scratch folder.
set -u

if [ $# -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi

session_name=gnome-session
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=session-common.sh
. "$here/session-common.sh"
command -v gnome-shell >/dev/null || { log "gnome-shell is not installed"; exit 1; }
prepare_wayland_user GNOME || exit 1
export XDG_SESSION_DESKTOP=gnome

# Lumora's extension in the form this shell loads: ES modules from GNOME 45,
# the older form before.
uuid=lumora@lumora.github.io
extensions="$XDG_DATA_HOME/gnome-shell/extensions"
if [ "${LUMORA_GNOME_EXTENSION:-}" != none ]; then
    "$here/../../src/gnome-extension/install-extension.sh" "$extensions/$uuid" ||
        { log "could not install the extension"; exit 1; }
    if [ -n "${LUMORA_GNOME_EXTENSION_VERSION:-}" ]; then
        sed -i "s/^export const VERSION = '.*';/export const VERSION = '$LUMORA_GNOME_EXTENSION_VERSION';/" \
            "$extensions/$uuid/core.js"
    fi
fi
mkdir -p "$extensions/lumora-probe@tests.lumora.github.io"
cp "$here"/gnome-probe/* "$extensions/lumora-probe@tests.lumora.github.io/"
chown -R "$owner" "$HOME"

# The stand-in system bus.
cat >"$workdir/system-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$XDG_RUNTIME_DIR/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
chmod 644 "$workdir/system-bus.conf"
"${as_user[@]}" dbus-daemon --config-file="$workdir/system-bus.conf" --nofork --nopidfile \
    >"$workdir/system-bus.log" 2>&1 &
pids+=($!)
system_bus_ready() { [ -S "$XDG_RUNTIME_DIR/system_bus_socket" ]; }
wait_until "${pids[-1]}" "system bus" system_bus_ready || exit 1
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/system_bus_socket"

start_bus "${as_user[@]}" || exit 1

# The extensions are enabled before the shell reads its settings; no
# animations (they only cost time here), no welcome tour.
enabled="['lumora-probe@tests.lumora.github.io'"
[ "${LUMORA_GNOME_EXTENSION:-}" != none ] && enabled="$enabled, '$uuid'"
enabled="$enabled]"
"${as_user[@]}" env "HOME=$HOME" gsettings set org.gnome.shell disable-user-extensions false &&
    "${as_user[@]}" env "HOME=$HOME" gsettings set org.gnome.shell enabled-extensions "$enabled" &&
    "${as_user[@]}" env "HOME=$HOME" gsettings set org.gnome.shell welcome-dialog-last-shown-version '999' &&
    "${as_user[@]}" env "HOME=$HOME" gsettings set org.gnome.desktop.interface enable-animations false ||
    { log "could not write the shell's settings"; exit 1; }

socket="lumora-gnome-$$"
"${as_user[@]}" env "PATH=$PATH" "HOME=$HOME" \
    gnome-shell --headless --wayland --no-x11 --wayland-display "$socket" \
    --virtual-monitor 1280x800 --virtual-monitor 1024x768 >"$workdir/gnome-shell.log" 2>&1 &
pids+=($!)
# Ready: the socket is there, the probe answers and the overview is hidden.
shell_ready() {
    [ -S "$XDG_RUNTIME_DIR/$socket" ] &&
        "${as_user[@]}" gdbus call --session --dest org.gnome.Shell --object-path /io/github/lumora/Probe \
            --method io.github.lumora.Probe1.Panel | grep -q '"overview":false'
}
wait_until "${pids[-1]}" gnome-shell shell_ready || exit 1
export WAYLAND_DISPLAY=$socket

run_command "${as_user[@]}" env "HOME=$HOME" "$@"
