#!/usr/bin/env bash
# Installs into a scratch prefix, validates the desktop entry and the
# AppStream metadata, then builds the .deb and lists its files and
# dependencies.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
for f in bin/lumora share/applications/lumora.desktop share/icons/hicolor/scalable/apps/lumora.svg \
         share/metainfo/io.github.lumora.Lumora.metainfo.xml; do
    [ -f "$work/prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$work/prefix/share/applications/lumora.desktop"
appstreamcli validate --no-net --explain "$work/prefix/share/metainfo/io.github.lumora.Lumora.metainfo.xml"

(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/lumora_*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends | sed 's/^/depends: /'
dpkg-deb -c "$deb" | awk '{print "file: " $6}' | grep -v '/$'
for dep in libqt6sql6-sqlite libqt6svg6 qt6-qpa-plugins qt6-wayland libqt6widgets6; do
    dpkg-deb -f "$deb" Depends | grep -q "$dep" || { echo "the package does not depend on $dep"; exit 1; }
done
echo "package check passed"
