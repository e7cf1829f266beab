#!/usr/bin/env bash
# Builds the ZIP of the Windows programs from a cross build tree with CPack and checks it as a
# clean Windows machine meets it: its file list (the programs and what they load or show, and
# nothing else), every DLL the programs and plugins import found in the package or in Windows
# itself (Wine's system folder), the programs stripped, and the command line started from the
# unpacked folder. The unpacked folder stays in OUT for the desktop program's own start from it.
#
# Usage: check-zip.sh BUILD_DIR SOURCE_DIR VERSION OUT WINE_RUN
set -uo pipefail
build=$1 source=$2 version=$3 out=$4 wine_run=$5
triple=x86_64-w64-mingw32

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
command -v cpack >/dev/null && command -v unzip >/dev/null ||
    { echo "FAIL: cpack and unzip are needed (bash scripts/setup.sh installs them)"; exit 1; }

# 1. The package.
rm -rf "$out"
mkdir -p "$out"
start=$(date +%s)
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"; echo "FAIL: cpack"; exit 1
fi
name=tessaline-$version-windows-x64
zip=$out/$name.zip
[ -f "$zip" ] || { ls -l "$out"; echo "FAIL: expected $name.zip"; exit 1; }
unzip -q "$zip" -d "$out" || { echo "FAIL: the ZIP does not unpack"; exit 1; }
folder=$out/$name
echo "built $name.zip: $(stat -c %s "$zip") bytes, $(du -sb "$folder" | cut -f1) unpacked," \
     "in $(( $(date +%s) - start )) s"

# 2. The file list: exactly the programs and what they load or show.
expected=(tessaline.exe tessaline-cli.exe README.txt
          Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll
          libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll
          platforms/qwindows.dll styles/qwindowsvistastyle.dll
          licenses/Qt.txt licenses/LGPL-3 licenses/GPL-3 licenses/gcc-runtime.txt
          licenses/mingw-w64-runtime.txt licenses/pugixml.txt licenses/libzip.txt licenses/zlib.txt
          licenses/CLI11.txt licenses/nlohmann-json.txt licenses/utfcpp.txt)
for file in "${expected[@]}"; do [ -s "$folder/$file" ] || fail "$file is missing"; done
for page in "$source"/resources/help/*; do
    [ -f "$folder/help/$(basename "$page")" ] || fail "help/$(basename "$page") is missing"
done
# (Lists are searched as here-strings: with pipefail, grep -q ending a pipe early fails it.)
listed=$(printf '%s\n' "${expected[@]}")
while read -r file; do
    case "$file" in help/*) continue ;; esac
    grep -qxF "$file" <<<"$listed" || fail "$file is not expected"
done < <(cd "$folder" && find . -type f | sed 's|^\./||')

# 3. What each program and DLL imports is in the package or is part of Windows. Wine's system
# folder stands for Windows': it makes the prefix when the command line first runs below.
"$wine_run" "$folder/tessaline-cli.exe" --version >"$out/version" 2>&1 ||
    fail "tessaline-cli.exe --version from the package: $(cat "$out/version")"
grep -qF "$version" "$out/version" || fail "tessaline-cli.exe --version said: $(cat "$out/version")"
system=${WINEPREFIX:-${TMPDIR:-/tmp}/tessaline-wine-$(id -u)}/drive_c/windows/system32
[ -d "$system" ] || fail "no Wine system folder at $system"
shipped=$(cd "$folder" && ls -1 | tr '[:upper:]' '[:lower:]')
windows=$(ls -1 "$system" | tr '[:upper:]' '[:lower:]')
while read -r binary; do
    for dll in $("$triple-objdump" -p "$binary" | awk '/DLL Name:/ {print $3}'); do
        lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
        grep -qxF "$lower" <<<"$shipped" && continue
        # API sets: names the Windows loader maps to its own DLLs (Qt 6 needs Windows 10).
        case "$lower" in api-ms-win-*) continue ;; esac
        grep -qxF "$lower" <<<"$windows" && continue
        fail "${binary#"$folder"/} imports $dll, which neither the package nor Windows has"
    done
    "$triple-objdump" -h "$binary" | grep -q '\.debug_' && fail "${binary#"$folder"/} is not stripped"
done < <(find "$folder" -name '*.exe' -o -name '*.dll')

[ "$failures" = 0 ] && echo "package checked: $folder"
exit $((failures > 0))
