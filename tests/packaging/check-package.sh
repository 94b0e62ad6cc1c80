#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs into a scratch prefix and validates the desktop entry and the
# AppStream metadata; then builds the .deb, unpacks it into a scratch root,
# checks that it carries a stripped program (its debug information in the
# lumora-dbgsym package), the GNOME Shell extension with its compiled
# settings schema, the copyright file, the Debian changelog and the
# manual page, runs the unpacked program's self-test and lintian
# (errors fail).
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
for f in bin/lumora share/applications/lumora.desktop share/icons/hicolor/scalable/apps/lumora.svg \
         share/metainfo/io.github.lumora.Lumora.metainfo.xml share/doc/lumora/copyright \
         share/doc/lumora/changelog.Debian.gz share/man/man1/lumora.1.gz share/lumora/translations/lumora_de.qm; do
    [ -f "$work/prefix/$f" ] || fail "missing after install: $f"
done
# The browser extension and the host manifests naming the installed program.
for f in share/lumora/browser-extension/manifest.json share/lumora/browser-extension/background.js \
         share/lumora/browser-extension/blocked.html share/lumora/lumora-focus.xpi \
         etc/chromium/native-messaging-hosts/io.github.lumora.lumora.json \
         lib/mozilla/native-messaging-hosts/io.github.lumora.lumora.json; do
    [ -f "$work/prefix/$f" ] || fail "missing after install: $f"
done
grep -q "\"path\": \"$work/prefix/bin/lumora\"" "$work/prefix/etc/chromium/native-messaging-hosts/io.github.lumora.lumora.json" ||
    fail "the Chromium host manifest does not name the installed program"
desktop-file-validate "$work/prefix/share/applications/lumora.desktop"
appstreamcli validate --no-net --explain "$work/prefix/share/metainfo/io.github.lumora.Lumora.metainfo.xml"

(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/lumora_*.deb)
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"
ddeb=$(ls "$work"/deb/lumora-dbgsym_*.ddeb 2>/dev/null) || fail "no lumora-dbgsym package"
echo "debug package: $(basename "$ddeb") ($(stat -c %s "$ddeb") bytes)"
dpkg-deb -c "$ddeb" | grep -q '/usr/lib/debug/.build-id/.*\.debug$' || fail "the debug package holds no debug file"
dpkg-deb -f "$deb" Depends | sed 's/^/depends: /'
dpkg-deb -c "$deb" | awk '{print "file: " $6}' | grep -v '/$'
for dep in libqt6sql6-sqlite libqt6svg6 qt6-qpa-plugins qt6-wayland libqt6widgets6; do
    dpkg-deb -f "$deb" Depends | grep -q "$dep" || fail "the package does not depend on $dep"
done
maintainer=$(dpkg-deb -f "$deb" Maintainer)
case "$maintainer" in *@localhost*|*@*.localdomain*) fail "maintainer address is local: $maintainer" ;; esac

root="$work/root"
dpkg -x "$deb" "$root"
program="$root/usr/bin/lumora"
[ -x "$program" ] || fail "no usr/bin/lumora in the package"
echo "program: $(stat -c %s "$program") bytes"
if readelf -S --wide "$program" | grep -Eq '\.(debug_|symtab)'; then
    fail "usr/bin/lumora carries debug information or a symbol table"
fi
[ -f "$root/usr/share/doc/lumora/copyright" ] || fail "no usr/share/doc/lumora/copyright"
# The host manifests where the browsers look system-wide, naming /usr/bin/lumora.
for f in etc/chromium/native-messaging-hosts/io.github.lumora.lumora.json \
         usr/lib/mozilla/native-messaging-hosts/io.github.lumora.lumora.json; do
    grep -q '"path": "/usr/bin/lumora"' "$root/$f" || fail "no $f naming /usr/bin/lumora in the package"
done
[ -f "$root/usr/share/lumora/browser-extension/manifest.json" ] || fail "no browser extension in the package"
# The GNOME Shell extension where GNOME finds system extensions, in the form
# its metadata names, with its settings schema compiled.
gnome="$root/usr/share/gnome-shell/extensions/lumora@lumora.github.io"
for f in metadata.json extension.js core.js lumora-symbolic.svg schemas/gschemas.compiled \
         schemas/org.gnome.shell.extensions.lumora.gschema.xml; do
    [ -f "$gnome/$f" ] || fail "no GNOME Shell extension file $f in the package"
done
grep -q '"uuid": "lumora@lumora.github.io"' "$gnome/metadata.json" || fail "the GNOME Shell extension names another uuid"
gsettings --schemadir "$gnome/schemas" list-keys org.gnome.shell.extensions.lumora | grep -qx open-popover ||
    fail "the GNOME Shell extension's compiled schema has no open-popover key"
dpkg-deb -I "$deb" conffiles | grep -qx /etc/chromium/native-messaging-hosts/io.github.lumora.lumora.json ||
    fail "the Chromium host manifest is not a conffile"
gzip -t "$root/usr/share/doc/lumora/changelog.Debian.gz" || fail "no readable changelog.Debian.gz"
zcat "$root/usr/share/doc/lumora/changelog.Debian.gz" | head -1 | grep -q "^lumora ($(dpkg-deb -f "$deb" Version))" ||
    fail "the changelog does not name the package's version"

# The unpacked program, on a scratch store with scratch folders.
mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
if ! env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
        XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
        APP_STORE="$work/selftest.store" "$program" --selftest >"$work/selftest.log" 2>&1; then
    cat "$work/selftest.log"
    fail "the installed program's self-test failed"
fi
grep -q '^SELFTEST PASS' "$work/selftest.log" || { cat "$work/selftest.log"; fail "no SELFTEST PASS line"; }
tail -1 "$work/selftest.log"

# The package carries the German catalogue and the unpacked program speaks German with it.
[ -s "$root/usr/share/lumora/translations/lumora_de.qm" ] || fail "no usr/share/lumora/translations/lumora_de.qm"
env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/runtime" "$program" --bogus 2>"$work/german.log" && fail "--bogus was taken"
grep -q '^lumora: unbekannte Option --bogus' "$work/german.log" || { cat "$work/german.log"; fail "the installed program does not speak German under LANG=de_DE.UTF-8"; }

# lintian: errors fail, warnings are listed.
if ! lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1; then
    cat "$work/lintian.log"
    fail "lintian reports errors"
fi
sed 's/^/lintian: /' "$work/lintian.log"
echo "package check passed"
