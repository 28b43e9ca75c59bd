#!/usr/bin/env bash
# Runs atspi_operator.py against the display on a bus, an X server and an accessibility bus of
# the test's own.   atspi_operator.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '%s\n' '[Position]' frmMainFormTop=0 frmMainFormLeft=0 frmMainFormHeight=6000 \
    frmMainFormWidth=9000 '[Session]' Open=True '[View]' Shown=True '[Highlights]' Rules=1 Rule1.Text=NAME= Rule1.Colour=Green \
    >"$XDG_CONFIG_HOME/HELIXDebugDisplay.conf"
# Qt speaks to the accessibility bus only when asked to; the display inherits this from the
# bus that starts it.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_QPA_PLATFORM
exec xvfb-run -a -s "-screen 0 1024x768x24" \
    dbus-run-session --config-file="$build/dbus/session.conf" -- bash -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately & launcher=$!
        trap "kill $launcher 2>/dev/null" EXIT
        for _ in $(seq 100); do
            dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
                org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
            sleep 0.1
        done
        send=$1/client/send/helixdebug-send
        object=$("$send" initialize Reader)
        "$send" --object "$object" send App Lookup "KEY=1\0"
        "$send" --object "$object" receive "[HEADER]\0RC=0\0[DATA]\0NAME=Ann\0"
        "$send" --object "$object" text App "done"
        /usr/bin/python3 "$2" "[App]  Lookup Request" "       PutTag KEY=1" \
            "       GetTag RC=0" "              NAME=Ann" "[App]  done"
        status=$?
        pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
            /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
            string:HELIXDebug.Message | awk "{print \$2}")
        kill "$pid"
        exit $status' _ "$build" "$(dirname "$0")/atspi_operator.py"
