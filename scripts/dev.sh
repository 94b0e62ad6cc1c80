#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lumora's one entry point for a Debian 12 machine:
#   scripts/dev.sh run    install what is missing, build, run Lumora
#   scripts/dev.sh test   install what is missing, build, run the whole test suite
#   scripts/dev.sh build  install what is missing and build
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${LUMORA_BUILD_DIR:-$here/build}
jobs=${LUMORA_JOBS:-2}

# Build and runtime packages, then what the desktop tests drive.
build_packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
    libqt6svg6 qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n qt6-wayland libx11-dev libxext-dev libxcb1-dev libx11-xcb-dev libxres-dev libcanberra-dev adwaita-icon-theme fonts-dejavu-core libglib2.0-bin)
# What a machine without a display needs to run Lumora on a private desktop.
headless_packages=(xvfb x11-xserver-utils x11-utils openbox trayer dbus-daemon dbus-bin)
test_packages=(xvfb x11-xserver-utils x11-utils xdotool openbox trayer dbus-daemon dbus-bin x11-apps xterm rxvt-unicode
    sqlite3 xauth tzdata desktop-file-utils appstream dpkg-dev lintian clang-format git
    sway swaybg foot grim wtype chromium kwin-wayland gsettings-desktop-schemas libglib2.0-bin
    gnome-shell gjs gtk-3-examples)

missing_packages() {
    local p status
    for p in "$@"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
        [ "$status" = installed ] || echo "$p"
    done
}

install_missing() {
    local missing
    missing=$(missing_packages "$@")
    [ -n "$missing" ] || return 0
    echo "Installing: $(echo $missing | tr '\n' ' ')"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    # shellcheck disable=SC2086
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=300 $missing
}

build() {
    cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${LUMORA_BUILD_TYPE:-RelWithDebInfo}" \
        -DLUMORA_WERROR=ON >/dev/null
    cmake --build "$build_dir" -j "$jobs"
}

case "${1:-}" in
run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        install_missing "${build_packages[@]}" "${headless_packages[@]}"
    else
        install_missing "${build_packages[@]}"
    fi
    build
    shift
    exec "$here/scripts/run-lumora.sh" "$build_dir/src/shell/lumora" "$@"
    ;;
test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build
    cd "$build_dir"
    ctest --output-on-failure -j "$jobs" --timeout 600
    ;;
build)
    install_missing "${build_packages[@]}"
    build
    ;;
*)
    echo "usage: scripts/dev.sh run|test|build" >&2
    exit 2
    ;;
esac
