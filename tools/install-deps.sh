#!/usr/bin/env bash
# Installs the Debian 12 packages that Ambulo needs to build, test and run: only those missing,
# without recommended extras. Run as root, or as a user who may use sudo.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkgconf librsvg2-bin
    # device services: gpsd receivers, D-Bus (BlueZ, logind), PulseAudio; the screens and their font
    qt6-base-dev libpulse-dev libgps-dev fonts-ipafont-gothic
    # the English translation: lupdate and lrelease, and their CMake package
    qt6-l10n-tools qt6-tools-dev
    # tests and benchmarks; gpsfake and dbusmock play a real gpsd and BlueZ, a private PulseAudio
    # server takes the sounds and parec records them
    libgtest-dev libbenchmark-dev tzdata locales gpsd gpsd-clients python3 python3-dbusmock dbus-daemon
    pulseaudio pulseaudio-utils sox
    # the GPX read back by another program; the desktop entry, the metainfo and the Debian package
    gpsbabel libxml2-utils desktop-file-utils appstream dpkg-dev
)

# With --bench also what the benchmarks need: the generator of long NMEA logs and the program the
# replay is compared with. With --screenshots what it takes to look at the real window: a virtual
# display, a window grabber, a converter to PNG and a key presser.
for option in "$@"; do
    case "$option" in
    --bench) packages+=(python3 gpsbabel) ;; # gpsbabel is in the default list too
    --screenshots) packages+=(xvfb x11-apps imagemagick xdotool) ;;
    *) echo "usage: $0 [--bench] [--screenshots]" >&2; exit 2 ;;
    esac
done

# Files must come out the same under any locale; the tests check it under a German and an English one.
need_locale() { ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8' || ! locale -a 2>/dev/null | grep -qix 'en_US.utf8'; }

missing=()
for package in "${packages[@]}"; do
    if [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" != installed ]; then
        missing+=("$package")
    fi
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

if need_locale; then
    for name in de_DE en_US; do
        "${sudo[@]}" sed -i "s/^# *\\($name.UTF-8 UTF-8\\)/\\1/" /etc/locale.gen
        grep -q "^$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo[@]}" locale-gen
fi
