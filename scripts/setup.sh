#!/usr/bin/env bash
# Installs, only when missing and without asking, every Debian package that building,
# testing, benchmarking and packaging Tessaline needs. With --windows it adds the MinGW-w64 cross
# compiler and Wine, for the windows-cross preset and its tests.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libqt6svg6 xvfb xdotool
    at-spi2-core python3-pyatspi dbus-x11
    libzip-dev libpugixml-dev libcli11-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libvisio-tools
    libutfcpp-dev uuid-dev locales clang libclang-rt-14-dev
    dpkg-dev desktop-file-utils file
)
if [ "${1:-}" = "--windows" ]; then
    packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 googletest)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 --no-install-recommends "${missing[@]}" >/dev/null
