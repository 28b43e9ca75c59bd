#!/usr/bin/env bash
# The display as an operator uses it: on its own X server with a window manager, fed by the demo
# client over a private bus. Each step acts through the mouse and keyboard (XTest), checks what
# an operator would see or get, and takes a screenshot.
#   accept.sh BUILD_DIR SHOT_DIR        (run under xvfb-run, which provides $DISPLAY)
set -euo pipefail
build=$1
shots=$2
mkdir -p "$shots"
rm -f "$shots"/*.png
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME"
printf '%s\n' '[Position]' frmMainFormTop=0 frmMainFormLeft=0 frmMainFormHeight=9600 \
    frmMainFormWidth=15000 '[Preferences]' DisplayHeader=True >"$XDG_CONFIG_HOME/HELIXDebugDisplay.conf"

step=0
shot() {
    step=$((step + 1))
    sleep 0.7
    import -window root "$(printf '%s/%02d-%s.png' "$shots" "$step" "$1")"
}
check() {
    if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failed=1; fi
}
failed=0
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep 0.4; }
keys() { xdotool key --clearmodifiers "$@"; sleep 0.4; }

openbox --sm-disable &
sleep 1
{ read -r DBUS_SESSION_BUS_ADDRESS; read -r DBUS_SESSION_BUS_PID; } < <(
    dbus-daemon --config-file="$build/dbus/session.conf" --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
trap 'kill $(jobs -p) "$DBUS_SESSION_BUS_PID" 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/client/demo/helixdebug-demo" --rate 100 --calls 120 >"$work/demo.log" 2>&1 &
demo=$!
sleep 4
window=$(xdotool search --sync --onlyvisible --name '^HELIX Debug Display$' | head -1)
check "the demo client brings the display up" '[ -n "$window" ]'
xdotool windowactivate --sync "$window"
shot connected

# Toolbar positions in the window as laid out (First, Up, Down, Last, Find, Copy, Save and its
# arrow, Clear, Settings, Help), and a point on the grid.
first=26 up=64 down=107 last=153 find=202 copy=247 saveArrow=323 settings=419 help=475 bar=47
click 300 200
keys Up Up Down
click $up $bar
click $first $bar
click $down $bar
shot navigated

keys ctrl+f
xdotool type --delay 30 "RC=17"
keys Return
sleep 0.5
shot found
keys Escape
keys ctrl+c               # the line found is the current one
check "Find moves to a line holding the text" \
    'xclip -selection clipboard -o -t UTF8_STRING | grep -q "RC=17"'

click 300 140
keys shift+Down shift+Down
keys ctrl+c
xclip -selection clipboard -o -t UTF8_STRING >"$work/clip.txt" || true
check "Ctrl+C puts three lines on the clipboard, each ended by CR LF" \
    '[ "$(grep -c $'"'"'\r$'"'"' "$work/clip.txt")" = 3 ]'

click $saveArrow $bar
shot save-menu
keys Down Return          # "Save All"
sleep 1.5
shot save-dialog
xdotool type --delay 20 "$work/all.txt"
shot save-typed
keys Return               # may only close the name completion
sleep 0.5
[ -s "$work/all.txt" ] || keys Return
# The demo's lines hold "Łódź", beyond ISO-8859-1: the file is UTF-16 with a byte-order mark.
check "Save All writes every line to the file, in UTF-16" \
    'iconv -f UTF-16 -t UTF-8 "$work/all.txt" | grep -q "Request"'

click 300 300
click $saveArrow $bar
keys Down Down Return     # "Save Current"
sleep 1.5
xdotool type --delay 20 "$work/current.txt"
keys Return
sleep 0.5
[ -s "$work/current.txt" ] || keys Return
check "Save Current writes the entry around the cursor, shorter than all lines" \
    '[ -s "$work/current.txt" ] && [ "$(stat -c %s "$work/current.txt")" -lt "$(stat -c %s "$work/all.txt")" ]'

click $settings $bar
sleep 0.8
shot preferences
keys Tab Tab space        # to Word Wrap, and tick it
keys Return               # OK
check "OK stores the preferences" 'grep -q "WordWrap=True" "$XDG_CONFIG_HOME/HELIXDebugDisplay.conf"'
shot word-wrap

click $help $bar
sleep 0.8
shot help
keys Escape

xdotool windowactivate --sync "$window"
keys alt+F4
sleep 2
check "closing the window tells the demo client to stop" 'grep -q "asked to stop tracing" "$work/demo.log"'
check "the demo client has stopped" '! kill -0 $demo 2>/dev/null'
check "the window saved where it was" 'grep -q "frmMainFormWidth" "$XDG_CONFIG_HOME/HELIXDebugDisplay.conf"'
echo "screenshots: $shots"
exit $failed
