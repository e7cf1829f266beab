#!/bin/bash
# Runs the desktop program under a virtual X server with the accessibility bus, walks one whole
# copy over the bus (walk.py), and checks the saved drawing with the command line.
# run-walk.sh PROGRAM CLI SAMPLE FOLDER; exit 77 (skipped) when the tools are not installed.
set -u
program=$1 cli=$2 sample=$3 folder=$4
launcher=/usr/libexec/at-spi-bus-launcher
# Debian's own Python, which has the bus's bindings, before any other on the PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3)
for tool in Xvfb dbus-launch "$python"; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (scripts/setup.sh installs it)"; exit 77; }
done
[ -x "$launcher" ] || { echo "at-spi2-core is needed (scripts/setup.sh installs it)"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is needed"; exit 77; }

rm -rf "$folder" && mkdir -p "$folder/runtime" "$folder/config" && chmod 700 "$folder/runtime"
drawing="$folder/$(basename "$sample")"
cp "$sample" "$drawing"
export XDG_RUNTIME_DIR="$folder/runtime" XDG_CONFIG_HOME="$folder/config"
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
}
trap finish EXIT

exec 3>"$folder/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$folder/display")"
eval "$(dbus-launch --sh-syntax)"
"$launcher" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
# The program looks for the accessibility bus once, at start: start it once the launcher has
# its name on the session bus.
for _ in $(seq 300); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true' &&
        break
    sleep 0.1
done

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 QT_QPA_PLATFORM=xcb
ASAN_OPTIONS=detect_leaks=0 "$program" "$drawing" &
app=$!
pids+=($app)
"$python" "$(dirname "$0")/walk.py" || exit 1
for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "the program did not end on File > Exit"; exit 1; fi
wait "$app" || { echo "the program ended with status $?"; exit 1; }

# Both destinations hold the source's two properties, overwritten, in the order chosen.
status=0
for destination in page:Page-1/Sheet.5 page:Page-2/Sheet.4; do
    rows=$(ASAN_OPTIONS=detect_leaks=0 "$cli" show "$drawing" "$destination" |
           sed -n '/^\[Custom Properties\]/,/^\[/p' | grep '^  Prop\.' | tr -d ' ' | paste -sd,)
    expected="Prop.my_second_property_name,Prop.my_property_name"
    if [ "$rows" = "$expected" ]; then
        echo "ok: $destination saved with $rows"
    else
        echo "$destination saved with '$rows', not '$expected'"
        status=1
    fi
done
exit $status
