#!/usr/bin/env bash
# Builds the Debian package from a build tree with CPack and checks it as an installing machine
# sees it: its control data (name, version, a Depends line naming the package of every library
# the programs link), its file list (the programs and what they read, nothing else), the desktop
# entry, and the programs themselves, run from the package unpacked into a scratch root.
#
# Usage: check-deb.sh BUILD_DIR VERSION DESKTOP(ON|OFF)
set -uo pipefail
build=$1 version=$2 desktop=$3

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing (bash scripts/setup.sh installs it)"; exit 1; }; }
need cpack; need dpkg-deb; need dpkg-shlibdeps; need readelf; need ldd
[ "$desktop" = ON ] && need desktop-file-validate

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaline-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

# 1. The package.
start=$(date +%s)
if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1
fi
debs=("$work"/out/tessaline_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { ls -l "$work/out"; echo "FAIL: expected one tessaline_*.deb"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb"): $(stat -c %s "$deb") bytes in $(( $(date +%s) - start )) s"

# 2. Control data.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tessaline ] || fail "Package is '$(field Package)'"
case "$(field Version)" in "$version"-*) ;; *) fail "Version '$(field Version)' is not $version-<release>" ;; esac
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
[ "$(field Description | wc -l)" -gt 1 ] || fail "Description has no long text"
depends=$(field Depends)
echo "Depends: $depends"
declared() {  # whether Depends names the package, alone or as one of alternatives
    tr ',|' '\n\n' <<<"$depends" | awk '{print $1}' | grep -qxF "$1"
}

# 3. File list: exactly the programs and what they read at run time.
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"
expected=(/usr/bin/tessaline-cli /usr/share/doc/tessaline/copyright)
if [ "$desktop" = ON ]; then
    expected+=(/usr/bin/tessaline /usr/share/applications/tessaline.desktop
               /usr/share/icons/hicolor/scalable/apps/tessaline.svg
               /usr/share/tessaline/help/index.html)
fi
for file in "${expected[@]}"; do grep -qx "$file" "$work/files" || fail "the package lacks $file"; done
strays=$(grep -vE '^/usr/bin/tessaline(-cli)?$|^/usr/share/(doc/tessaline|tessaline/help|applications|icons/hicolor)/' "$work/files")
[ -z "$strays" ] || fail "files that do not belong in the package: $strays"
libraries=$(grep -E '\.(a|so[.0-9]*|h|hpp)$' "$work/files")
[ -z "$libraries" ] || fail "libraries or headers packaged: $libraries"

# 4. Unpacked into a scratch root: every library the programs link belongs to a declared package.
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
owner() {  # the package that holds a library, by the path ldd found it at (with or without /usr)
    local path=$1 alt
    case "$path" in /usr/*) alt=${path#/usr} ;; *) alt=/usr$path ;; esac
    { dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "$alt" 2>/dev/null; } | head -1 | cut -d: -f1
}
programs=(tessaline-cli)
[ "$desktop" = ON ] && programs+=(tessaline)
for program in "${programs[@]}"; do
    binary=$root/usr/bin/$program
    [ -x "$binary" ] || { fail "$program is not an executable"; continue; }
    readelf -S "$binary" | grep -q '\.symtab' && fail "$program is not stripped"
    readelf -d "$binary" | grep -q 'R\(UN\)\?PATH' && fail "$program keeps the build tree's run path"
    for soname in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        path=$(ldd "$binary" | awk -v s="$soname" '$1 == s {print $3}')
        package=$(owner "$path")
        if [ -z "$package" ]; then fail "$program links $soname ($path), which no installed package holds"
        elif ! declared "$package"; then fail "$program links $soname from $package, which Depends does not name"
        fi
    done
done
if [ "$desktop" = ON ]; then
    for package in libqt6widgets6 libqt6gui6 libqt6core6; do
        declared "$package" || fail "Depends does not name $package"
    done
fi

# 5. The programs start from the unpacked root.
run() {  # name, then the command; its output goes to $work/<name>.out
    local name=$1; shift
    "$@" >"$work/$name.out" 2>&1
    local status=$?
    [ $status = 0 ] || { sed 's/^/  | /' "$work/$name.out" | head -40; fail "$name ended with $status"; }
}
run cli-help "$root/usr/bin/tessaline-cli" --help
for command in list show sections copy check; do
    grep -qw "$command" "$work/cli-help.out" || fail "tessaline-cli --help does not mention '$command'"
done
run cli-version "$root/usr/bin/tessaline-cli" --version
grep -qF "$version" "$work/cli-version.out" || fail "tessaline-cli --version does not say $version"

if [ "$desktop" = ON ]; then
    export QT_QPA_PLATFORM=offscreen
    run gui-help "$root/usr/bin/tessaline" --help
    grep -q '\[FILE\.\.\.\]' "$work/gui-help.out" || fail "tessaline --help does not describe its files: $(head -3 "$work/gui-help.out")"
    run gui-version "$root/usr/bin/tessaline" --version
    grep -qF "$version" "$work/gui-version.out" || fail "tessaline --version does not say $version"

    # The desktop program reads its help beside itself, at ../share/tessaline/help.
    [ -s "$root/usr/bin/../share/tessaline/help/index.html" ] || fail "no help where the program looks for it"

    entry=$root/usr/share/applications/tessaline.desktop
    validation=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $validation"
    [ -z "$validation" ] || fail "desktop-file-validate: $validation"
    grep -qx 'Exec=tessaline %F' "$entry" || fail "the desktop entry does not start tessaline with its files"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the desktop entry's icon '$icon' is not packaged"
    grep -q '^MimeType=.*application/vnd\.ms-visio\.drawing\.main+xml;' "$entry" ||
        fail "the desktop entry does not offer to open Visio drawings"
fi

[ $failures = 0 ] && echo "the package is complete and its programs start from it"
[ $failures = 0 ]
