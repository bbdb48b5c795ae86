#!/usr/bin/env bash
# Installs the Debian 12 packages that Ambulo needs to build, test and run: only those missing,
# without recommended extras. Run as root, or as a user who may use sudo.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build pkgconf
    # tests and benchmarks
    libgtest-dev libbenchmark-dev tzdata
)

missing=()
for package in "${packages[@]}"; do
    if [ "$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null)" != installed ]; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
