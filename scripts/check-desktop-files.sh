#!/usr/bin/env bash
# Installs the build into a scratch prefix and has the desktop's own tools
# check what the desktop reads: the launcher entry (desktop-file-validate),
# the icon the entry names (rendered by librsvg, which loads scalable icons
# for the desktops) and the session-bus service file (loaded by dbus-daemon
# itself, which ignores a service file it cannot use).
set -euo pipefail
build=${1:?usage: check-desktop-files.sh BUILD_DIRECTORY}

scratch=$(mktemp -d)
bus_pid=
cleanup() {
  [[ -n $bus_pid ]] && kill "$bus_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
status=0
fail() {
  echo "$*"
  status=1
}

entry=$share/applications/quorrin.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"

icon_name=$(sed -n 's/^Icon=//p' "$entry")
icon=$share/icons/hicolor/scalable/apps/$icon_name.svg
if [[ ! -f $icon ]]; then
  fail "the entry's icon \"$icon_name\" is not installed as $icon"
elif ! rsvg-convert --width 48 --height 48 --output "$scratch/icon.png" "$icon"; then
  fail "librsvg cannot render $icon"
fi

service=$share/dbus-1/services/org.quorrin.Quorrin.service
name=$(sed -n 's/^Name=//p' "$service")
exec_line=$(sed -n 's/^Exec=//p' "$service")
[[ $name == org.quorrin.Quorrin ]] || fail "$service names \"$name\", not the name its file is called by"
[[ -x ${exec_line%% *} && ${exec_line%% *} == "$prefix"/* ]] \
  || fail "$service starts \"$exec_line\", not the installed program"
cat >"$scratch/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$scratch/bus</listen>
  <servicedir>$share/dbus-1/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$scratch/bus.conf" --nofork --nopidfile 2>"$scratch/bus.log" &
bus_pid=$!
for _ in $(seq 100); do
  [[ -S $scratch/bus ]] && break
  sleep 0.05
done
activatable=$(dbus-send --bus="unix:path=$scratch/bus" --print-reply --dest=org.freedesktop.DBus \
  /org/freedesktop/DBus org.freedesktop.DBus.ListActivatableNames)
grep -q '"org.quorrin.Quorrin"' <<<"$activatable" \
  || fail "dbus-daemon does not take $service: $(cat "$scratch/bus.log")"

exit $status
