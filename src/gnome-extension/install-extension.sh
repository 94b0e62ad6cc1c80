#!/bin/sh
# SPDX-License-Identifier: MIT
# Copies the Lumora GNOME Shell extension into a folder in the form the
# installed GNOME Shell loads, with its settings schema compiled:
#   install-extension.sh <folder> [shell major version]
# GNOME 45 and later load extension.js as an ES module; GNOME 43 and 44 load
# the older form (extension-43.js, metadata-43.json). Without a version the
# one of the gnome-shell on the PATH is used (the older form when there is
# none below 45 to be found, the newer otherwise).
set -eu
src=$(cd "$(dirname "$0")" && pwd)
dest=$1
major=${2:-}
if [ -z "$major" ]; then
    major=$(gnome-shell --version 2>/dev/null | sed -n 's/^GNOME Shell \([0-9]*\).*/\1/p')
    major=${major:-45}
fi
mkdir -p "$dest/schemas"
cp "$src/core.js" "$src/lumora-symbolic.svg" "$dest/"
cp "$src/schemas/org.gnome.shell.extensions.lumora.gschema.xml" "$dest/schemas/"
if [ "$major" -ge 45 ]; then
    cp "$src/extension.js" "$dest/extension.js"
    cp "$src/metadata.json" "$dest/metadata.json"
else
    cp "$src/extension-43.js" "$dest/extension.js"
    cp "$src/metadata-43.json" "$dest/metadata.json"
fi
glib-compile-schemas --strict "$dest/schemas"
