#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metainfo, builds the Debian package from this build
# folder, and checks the files it installs and the packages it depends on.
set -euo pipefail
build=$1 source=$2 id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
desktop-file-validate "$source/res/$id.desktop"
appstreamcli validate --no-net "$build/$id.metainfo.xml"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(echo "$work"/ambulo_1.07_"$(dpkg --print-architecture)".deb)
dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/files"
for file in bin/ambulo bin/ambulo-replay share/ambulo/ambl_readme.htm share/applications/"$id".desktop \
    share/metainfo/"$id".metainfo.xml share/icons/hicolor/scalable/apps/"$id".svg \
    share/icons/hicolor/128x128/apps/"$id".png; do
    grep -qx "./usr/$file" "$work/files" || { echo "the package lacks /usr/$file"; exit 1; }
done
# The PNG's header: width and height, four bytes each, big-endian, at offset 16.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/icons/hicolor/128x128/apps/"$id".png >"$work/icon.png"
[ "$(od -An -tx1 -j16 -N8 "$work/icon.png" | tr -d ' \n')" = 0000008000000080 ] || { echo "the icon is not 128x128"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libpulse0 'libgps[0-9]+' \
    qt6-qpa-plugins fonts-ipafont-gothic; do
    grep -Eq "(^|, )$package( \(|,|$)" <<<"$depends" || { echo "Depends lacks $package: $depends"; exit 1; }
done
echo "$(basename "$deb"): $(wc -l <"$work/files") entries; Depends: $depends"
