#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, made on first use: 64-bit, no display
# needed (the null graphics driver), no Mono or Gecko prompts. A persistent wineserver keeps
# the prefix warm between programs, so that each test program does not pay Wine's start-up.
# The prefix is $WINEPREFIX when set, else one per user under the temporary folder.
set -euo pipefail

# Wine wants a home folder even with a prefix of its own; CI may run without HOME set.
export HOME="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/tessaline-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
unset DISPLAY WAYLAND_DISPLAY

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wine" ] || { echo "wine-run: $wine is missing; run scripts/setup.sh --windows" >&2; exit 127; }
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

mkdir -p "$WINEPREFIX"
(
    # Several test programs may start at once; one of them makes the prefix.
    flock 9
    if [ ! -f "$WINEPREFIX/.tessaline-ready" ]; then
        log="$WINEPREFIX/.tessaline-setup.log"
        "$wine" wineboot -i >"$log" 2>&1 </dev/null
        "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$log" 2>&1 </dev/null
        # The server started before the driver was chosen must go, or the next program waits
        # a minute and a half for a desktop that the old one failed to make.
        "$wineserver" -w
        if [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
            echo "wine-run: making the Wine prefix $WINEPREFIX failed:" >&2
            cat "$log" >&2
            exit 1
        fi
        touch "$WINEPREFIX/.tessaline-ready"
    fi
) 9>"$WINEPREFIX/.lock"

# Keeps a server running while the tests come and go; it ends a minute after the last one.
"$wineserver" -p60 >/dev/null 2>&1 </dev/null || true

# Wine's own processes started on the program's behalf (the COM service, the desktop) inherit
# its output and live as long as the server: through a pipe, the caller would wait for them.
# The program writes into files instead, which are passed on once it has ended.
output="$(mktemp)"
errors="$(mktemp)"
trap 'rm -f "$output" "$errors"' EXIT
status=0
"$wine" "$@" >"$output" 2>"$errors" || status=$?
cat "$output"
cat "$errors" >&2
exit "$status"
