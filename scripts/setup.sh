#!/usr/bin/env bash
# Installs, only when missing and without asking, every Debian package that building,
# testing, benchmarking and packaging Tessaline needs. With --windows it adds the MinGW-w64 cross
# compiler and Wine, for the windows-cross preset and its tests, and builds (or finds built) the
# libraries Debian has no MinGW-w64 build of: Qt, pugixml and libzip (scripts/mingw-deps.sh).
set -euo pipefail
cd "$(dirname "$0")"

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libqt6svg6 xvfb xdotool libxcb1-dev
    at-spi2-core python3-pyatspi dbus-x11
    libzip-dev libpugixml-dev libcli11-dev nlohmann-json3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libvisio-tools
    libutfcpp-dev uuid-dev locales clang libclang-rt-14-dev
    dpkg-dev desktop-file-utils file
)
windows=false
if [ "${1:-}" = "--windows" ]; then
    windows=true
    packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 googletest libz-mingw-w64-dev
               fonts-wine unzip)
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
apt() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    apt update -qq
    apt install -y -qq -o Dpkg::Use-Pty=0 --no-install-recommends "${missing[@]}" >/dev/null
fi

# Debian's source packages, for the MinGW-w64 builds: when none are known, a deb-src entry for
# every entry of this Debian release that apt has (the same addresses, suites, components, keys).
deb822_source_entries() {
    awk -v codename="$1" 'BEGIN { RS = ""; ORS = "" }
    {
        n = split($0, lines, "\n"); out = ""; binary = 0; release = 0; disabled = 0
        for (i = 1; i <= n; i++) {
            line = lines[i]
            if (line ~ /^#/) continue
            if (line ~ /^Types:/) { binary = line ~ /[: ]deb( |$)/; line = "Types: deb-src" }
            if (line ~ /^Enabled:[ \t]*no/) disabled = 1
            if (line ~ /^Suites:/) {
                m = split(substr(line, 8), suites, /[ \t]+/); line = "Suites:"
                for (j = 1; j <= m; j++)
                    if (suites[j] == codename || index(suites[j], codename "-") == 1) {
                        line = line " " suites[j]; release = 1
                    }
            }
            out = out line "\n"
        }
        if (binary && release && !disabled) print out "\n"
    }' "${@:2}"
}
one_line_source_entries() {
    awk -v codename="$1" '$1 == "deb" {
        i = 2  # the address, after the options in brackets when there are any
        if ($i ~ /^\[/) { while ($i !~ /\]$/ && i < NF) i++; i++ }
        if ($(i + 1) == codename || index($(i + 1), codename "-") == 1) { $1 = "deb-src"; print }
    }' "${@:2}"
}
enable_source_packages() {
    apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package:' && return
    if ! grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/; then
        local codename sources=() lists=(/etc/apt/sources.list) added=""
        codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
        shopt -s nullglob
        sources=(/etc/apt/sources.list.d/*.sources)
        lists+=(/etc/apt/sources.list.d/*.list)
        shopt -u nullglob
        local file=/etc/apt/sources.list.d/tessaline-deb-src
        if ((${#sources[@]})); then
            deb822_source_entries "$codename" "${sources[@]}" >"/tmp/$$.sources"
            [ -s "/tmp/$$.sources" ] && "${sudo[@]}" cp "/tmp/$$.sources" "$file.sources" && added="$file.sources"
        fi
        one_line_source_entries "$codename" "${lists[@]}" 2>/dev/null >"/tmp/$$.list" || true
        [ -s "/tmp/$$.list" ] && "${sudo[@]}" cp "/tmp/$$.list" "$file.list" && added="$added $file.list"
        rm -f "/tmp/$$.sources" "/tmp/$$.list"
        [ -n "$added" ] || { echo "setup: apt has no entry for Debian $codename" >&2; exit 1; }
        echo "Adding Debian's source packages: $added"
    fi
    apt update -qq
}

if $windows; then
    bash mingw-deps.sh --check || enable_source_packages
    bash mingw-deps.sh
fi
