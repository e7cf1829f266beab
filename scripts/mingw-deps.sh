#!/usr/bin/env bash
# Builds the libraries that the Windows cross build needs and Debian does not ship for MinGW-w64
# — Qt 6 (Core, Gui, Widgets, Network, Test), pugixml and libzip — from Debian's own source
# packages, each into a folder of its own under the user's cache. A folder is named for what it
# was built from: the Debian source version, the MinGW-w64 compiler's version and a digest of the
# build's options, so a matching build is reused and a different one is built beside it.
#
#   bash scripts/mingw-deps.sh             builds what is missing and says where everything is
#   bash scripts/mingw-deps.sh --check     exits 1 when something is missing, building nothing
#   bash scripts/mingw-deps.sh --prefixes  prints the folders, one a line, building nothing
#
# Building needs the packages `scripts/setup.sh --windows` installs and Debian's source packages
# (a deb-src entry, which that script adds). The cache is $TESSALINE_MINGW_CACHE, else
# ${XDG_CACHE_HOME:-$HOME/.cache}/tessaline/mingw-w64.
set -euo pipefail

triple=x86_64-w64-mingw32
cache="${TESSALINE_MINGW_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tessaline/mingw-w64}"
jobs="$(nproc)"

# What a build depends on besides its options: the compiler, and the source, which is the one
# of the native development package installed here (Qt's host tools must be that very version).
compiler="$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix 2>/dev/null)" ||
    { echo "mingw-deps: g++-mingw-w64-x86-64-posix is missing; run scripts/setup.sh --windows" >&2; exit 1; }
source_version() {
    dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null ||
        { echo "mingw-deps: $1 is missing; run scripts/setup.sh --windows" >&2; exit 1; }
}

# Each library: its Debian source package, the native package whose version it follows, and the
# CMake options of its build. Changing an option (or the revision of a recipe's extra steps)
# names a new folder.
qt_options=(
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    -DFEATURE_pkg_config=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_testlib=ON
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_freetype=OFF
    -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_androiddeployqt=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
    recipe=1  # the Wintab patch below
)
pugixml_options=(-DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF recipe=1)
libzip_options=(
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF
    -DBUILD_DOC=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF
    -DENABLE_WINDOWS_CRYPTO=OFF recipe=1
)

# The folder a library is built into: name, source version, compiler, digest of the options.
prefix_of() {
    local name="$1" version="$2"
    shift 2
    local digest
    digest="$(printf '%s\n' "$@" | sha256sum | cut -c1-10)"
    echo "$cache/${name}-${version//:/_}_gcc-${compiler//:/_}_${digest}"
}
qt_prefix="$(prefix_of qt6-base "$(source_version qt6-base-dev)" "${qt_options[@]}")"
pugixml_prefix="$(prefix_of pugixml "$(source_version libpugixml-dev)" "${pugixml_options[@]}")"
libzip_prefix="$(prefix_of libzip "$(source_version libzip-dev)" "${libzip_options[@]}")"
prefixes=("$qt_prefix" "$pugixml_prefix" "$libzip_prefix")

built() { [ -f "$1/.complete" ]; }

case "${1:-}" in
    --prefixes) printf '%s\n' "${prefixes[@]}"; exit 0 ;;
    --check) for prefix in "${prefixes[@]}"; do built "$prefix" || exit 1; done; exit 0 ;;
    "") ;;
    *) echo "usage: $0 [--check | --prefixes]" >&2; exit 2 ;;
esac

# The cross toolchain the libraries are built with. It stays in the prefix: Qt's installed
# toolchain file names it.
write_toolchain() {
    cat >"$1/mingw-w64.toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple "$1")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# Debian's DFSG source of Qt lacks the Wintab headers: the Windows platform plugin is built
# without tablet and pen events.
patch_qt() {
    local plugin="$1/src/plugins/platforms/windows"
    local files=("$plugin/qwindowscontext.cpp" "$plugin/qwindowspointerhandler.cpp"
                 "$plugin/qwindowspointerhandler.h")
    local target='^qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent$'
    { grep -q 'QT_CONFIG(tabletevent)' "${files[@]}" || { echo "the Wintab code moved"; false; }; } &&
        { grep -q "$target" "$plugin/CMakeLists.txt" || { echo "the Wintab sources moved"; false; }; } &&
        sed -i 's/QT_CONFIG(tabletevent)/0/' "${files[@]}" &&
        sed -i "s|$target|& AND FALSE|" "$plugin/CMakeLists.txt"
}

# Fetches a Debian source package, configures, builds and installs it into prefix; the output
# goes to a log beside the prefix, whose end is shown when a step fails.
build() {
    local title="$1" package="$2" version="$3" prefix="$4" prepare="$5"
    shift 5
    local log="$prefix.log" work options=()
    for option in "$@"; do [[ "$option" == recipe=* ]] || options+=("$option"); done
    mkdir -p "$cache"
    exec 8>"$prefix.lock"
    flock 8  # another set-up building the same folder: wait for it
    if built "$prefix"; then echo "$title: $prefix"; return; fi
    rm -rf "$prefix"
    mkdir -p "$prefix"
    work="$(mktemp -d "$cache/build.XXXXXX")"
    echo "$title: building from Debian's $package $version into $prefix (log: $log)"
    local start=$SECONDS
    if ! (
        # One chain: a failed step ends it (errexit is off in a tested subshell).
        cd "$work" &&
            apt-get source -q --only-source "$package=$version" &&
            source="$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -1)" &&
            [ -n "$source" ] &&
            { [ -z "$prepare" ] || "$prepare" "$source"; } &&
            write_toolchain "$prefix" &&
            cmake -G Ninja -S "$source" -B "$work/build" -DCMAKE_BUILD_TYPE=Release \
                -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.toolchain.cmake" \
                -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" &&
            nice -n 19 cmake --build "$work/build" -j "$jobs" &&
            cmake --install "$work/build"
    ) >"$log" 2>&1 </dev/null; then
        echo "$title: the build failed; the end of $log:" >&2
        tail -n 40 "$log" >&2
        rm -rf "$work" "$prefix"
        exit 1
    fi
    rm -rf "$work"
    touch "$prefix/.complete"
    echo "$title: built in $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s"
    exec 8>&-
}

build "pugixml for MinGW-w64" pugixml "$(source_version libpugixml-dev)" "$pugixml_prefix" "" \
    "${pugixml_options[@]}"
build "libzip for MinGW-w64" libzip "$(source_version libzip-dev)" "$libzip_prefix" "" \
    "${libzip_options[@]}"
build "Qt 6 for MinGW-w64" qt6-base "$(source_version qt6-base-dev)" "$qt_prefix" patch_qt \
    "${qt_options[@]}"
