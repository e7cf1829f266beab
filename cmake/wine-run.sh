#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, made on first use: 64-bit, no display
# needed (the null graphics driver), no Mono or Gecko prompts. A persistent wineserver keeps
# the prefix warm between programs, so that each test program does not pay Wine's start-up.
# The prefix is $WINEPREFIX when set, else one per user under the temporary folder.
#
# With TESSALINE_WINE_DISPLAY=1 the program is shown instead: on a virtual X server of its own,
# in a Wine desktop window of 1280x1024 (Wine then draws the windows' frames and captions), in a
# prefix of its own beside the other ($WINEPREFIX-display), for screenshots.
set -euo pipefail

# Wine wants a home folder even with a prefix of its own; CI may run without HOME set.
export HOME="${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}"
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/tessaline-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts; and a program that crashes ends (with Wine's line saying where)
# rather than waiting in Wine's debugger, which never returns here.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
unset DISPLAY WAYLAND_DISPLAY
display="${TESSALINE_WINE_DISPLAY:-}"
[ -n "$display" ] && WINEPREFIX="$WINEPREFIX-display"

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wine" ] || { echo "wine-run: $wine is missing; run scripts/setup.sh --windows" >&2; exit 127; }
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver

if [ -n "$display" ]; then
    command -v Xvfb >/dev/null || { echo "wine-run: Xvfb is missing; run scripts/setup.sh" >&2; exit 127; }
    # The server says its display number once it accepts connections.
    exec 7< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>/dev/null)
    xvfb=$!
    read -r -t 30 number <&7 || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$number"
fi

mkdir -p "$WINEPREFIX"
(
    # Several test programs may start at once; one of them makes the prefix.
    flock 9
    if [ ! -f "$WINEPREFIX/.tessaline-ready" ]; then
        log="$WINEPREFIX/.tessaline-setup.log"
        "$wine" wineboot -i >"$log" 2>&1 </dev/null
        if [ -n "$display" ]; then
            # Wine's own fonts (fonts-wine) draw the caption buttons and the dialogs' text; this
            # Wine looks for them in the prefix only.
            cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>>"$log" ||
                echo "wine-run: Wine's fonts are missing (fonts-wine); captions will be wrong" >&2
            "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$log" 2>&1 </dev/null
            "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f \
                >>"$log" 2>&1 </dev/null
        else
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$log" 2>&1 </dev/null
        fi
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

# Keeps a server running while the tests come and go; it ends a minute after the last one. A
# shown program's server and desktop end with it, as its X server does.
if [ -z "$display" ]; then
    "$wineserver" -p60 >/dev/null 2>&1 </dev/null || true
fi

# Wine's own processes started on the program's behalf (the COM service, the desktop) inherit
# its output and live as long as the server: through a pipe, the caller would wait for them.
# The program writes into files instead, which are passed on once it has ended.
output="$(mktemp)"
errors="$(mktemp)"
finish() {
    rm -f "$output" "$errors"
    if [ -n "$display" ]; then
        "$wineserver" -k 2>/dev/null || true
        kill "$xvfb" 2>/dev/null || true
    fi
}
trap finish EXIT
status=0
"$wine" "$@" >"$output" 2>"$errors" || status=$?
cat "$output"
cat "$errors" >&2
exit "$status"
