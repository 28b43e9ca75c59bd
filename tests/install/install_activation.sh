#!/usr/bin/env bash
# Installs the build into a temporary prefix and lets a private bus start the installed display
# through the installed service file, as a desktop session would.
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/HELIXDebug2 bin/helixdebug-send bin/helixdebug-demo \
            share/dbus-1/services/HELIXDebug.Message.service \
            share/applications/HELIXDebug2.desktop \
            share/icons/hicolor/scalable/apps/helixdebug.svg \
            lib/pkgconfig/helixdebug-client.pc \
            lib/cmake/HELIXDebugClient/HELIXDebugClientConfig.cmake \
            include/helixdebug/HelixDebugClient.h; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
grep -qx "Exec=$prefix/bin/HELIXDebug2" "$prefix/share/dbus-1/services/HELIXDebug.Message.service" ||
    { echo "service file does not start the installed display"; exit 1; }
PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --libs helixdebug-client | grep -q -- -lhelixdebug-client

cat >"$prefix/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <servicedir>$prefix/share/dbus-1/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF

dbus-run-session --config-file="$prefix/bus.conf" -- bash -c '
    set -euo pipefail
    path=$("$1/bin/helixdebug-send" initialize "Install check")
    [ "$path" = /Message/1 ] || { echo "unexpected object $path"; exit 1; }
    pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.GetConnectionUnixProcessID \
        string:HELIXDebug.Message | awk "{print \$2}")
    exe=$(readlink "/proc/$pid/exe")
    [ "$exe" = "$1/bin/HELIXDebug2" ] || { echo "display started from $exe"; exit 1; }
    "$1/bin/helixdebug-send" --object "$path" text "Install check" "started from the prefix"
    kill "$pid"
    echo "installed display started by activation from $1"
' _ "$prefix"

# The Debian package holds the same files, with the service file pointing at /usr/bin.
package_dir=$(mktemp -d)
trap 'rm -rf "$prefix" "$package_dir"' EXIT
(cd "$package_dir" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$package_dir"/*.deb)
dpkg-deb -x "$deb" "$package_dir/root"
for file in usr/bin/HELIXDebug2 usr/bin/helixdebug-send usr/share/applications/HELIXDebug2.desktop \
            usr/share/dbus-1/services/HELIXDebug.Message.service; do
    [ -e "$package_dir/root/$file" ] || { echo "not in the package: $file"; exit 1; }
done
grep -qx "Exec=/usr/bin/HELIXDebug2" "$package_dir/root/usr/share/dbus-1/services/HELIXDebug.Message.service" ||
    { echo "the package's service file does not start /usr/bin/HELIXDebug2"; exit 1; }
echo "package $(basename "$deb") holds the display, the tools and the service file"
