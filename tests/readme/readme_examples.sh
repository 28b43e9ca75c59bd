#!/usr/bin/env bash
# The README's examples marked runnable ("```sh runnable", ...), run as written: against the
# build installed into a prefix of its own, which the session bus finds through XDG_DATA_DIRS,
# on an X server with a window manager of this test's own, so that closing the display window
# is what ends the Python client.
#   readme_examples.sh BUILD_DIR README
set -euo pipefail
if [ "${1:-}" != --inside ]; then
    build=$(cd "$1" && pwd)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    # Block N of language L into work/N.L.
    awk -v dir="$work" '
        /^```[a-z]+ runnable$/ { n++; sub(/^```/, ""); file = dir "/" n "." $1; inside = 1; next }
        inside && /^```$/ { inside = 0; close(file); next }
        inside { print > file }' "$2"
    export PATH=$work/prefix/bin:$PATH XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
    export XDG_DATA_DIRS=$work/prefix/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
    mkdir -m 700 "$work/runtime"
    unset DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM
    xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" --inside "$work"
    exit
fi
work=$2
cd "$work"
openbox --sm-disable &
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*"; exit 1; }
ls ./*.sh ./*.python ./*.cpp ./*.cmake >/dev/null || fail "a kind of runnable block is missing"

# The shell blocks, in order, as one session (later blocks use the path the first one printed).
cat $(ls ./*.sh | sort -V) >shell.sh
bash -euo pipefail shell.sh >shell.log 2>&1 || { cat shell.log; fail "the shell examples"; }
grep -q "'My Script'" shell.log || { cat shell.log; fail "SessionFigures without My Script"; }

# The C++ program, built against the installed package.
mkdir cpp
cp ./*.cpp cpp/main.cpp
cp ./*.cmake cpp/CMakeLists.txt
cmake -S cpp -B cpp/build -DCMAKE_PREFIX_PATH="$work/prefix" >cpp.log 2>&1 &&
    cmake --build cpp/build >>cpp.log 2>&1 || { cat cpp.log; fail "building the C++ example"; }
timeout 30 cpp/build/order_entry || fail "the C++ example"

# As the operator does: Alt+F4 on the display window.
close_display() {
    local window
    window=$(xdotool search --sync --onlyvisible --name '^HELIX Debug Display$' | head -1)
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
}
running() {
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.NameHasOwner HELIXDebug.Message | grep -q true
}

# The Python client runs until the operator closes the window that holds its object: the
# window of a display it starts, once the one the examples above brought up has gone.
close_display
for _ in $(seq 100); do running || break; sleep 0.2; done
running && fail "the display did not exit when its window closed"
timeout 60 /usr/bin/python3 ./*.python &
python=$!
figures() { gdbus call --session -d HELIXDebug.Message -o / -m HELIXDebug.Server.SessionFigures; }
for _ in $(seq 100); do figures | grep -q "'Py Client'" && break; sleep 0.2; done
figures | grep -q "'Py Client'" || fail "the Python client did not reach the display"
close_display
wait "$python" || fail "the Python client did not end when the window closed"
echo "README examples ok"
