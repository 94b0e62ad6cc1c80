#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts Lumora.
#   With a display: runs the program (arguments are passed on).
#   Without one (a server, CI, a container): starts a private X server, window
#   manager, tray and session bus, runs Lumora there on a scratch store with
#   sample data, writes a picture of every page into ./snapshots, says where
#   they are, and stops everything it started.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$1
shift

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin" "$@"
fi

out=${LUMORA_SNAPSHOT_DIR:-$PWD/snapshots}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/lumora-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$out"
echo "No display: running Lumora on a private desktop to take pictures of every page."
APP_STORE="$scratch/Lumora.store" APP_SEED=1 APP_SNAPSHOT="$out" XDG_CONFIG_HOME="$scratch/config" \
XDG_DATA_HOME="$scratch/data" LUMORA_E2E_TIMEOUT=300 \
    "$here/tests/e2e/desktop-session.sh" "$bin" | grep -E '^SNAPSHOT (done|refused)' || true
count=$(find "$out" -maxdepth 1 -name '*.png' | wc -l)
echo "Pictures of every page ($count images, with their layout files) are in $out"
[ "$count" -gt 0 ]
