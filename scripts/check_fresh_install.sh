#!/usr/bin/env bash
# Installs the Debian package on a fresh, minimal Debian 12 (debootstrap, no recommended
# packages) and runs what a user runs there: the packager window, pakrel packing the demo album,
# sonvira listing it, the album image and the player's desktop entry command playing it to a
# private null sink. Not part of ./test.sh: it downloads about 150 MB and takes minutes.
# Needs root. Usage: scripts/check_fresh_install.sh build/sonvira_*.deb [ROOT-FOLDER]
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/var/tmp/sonvira-bookworm}
src=$(cd "$(dirname "$0")/.." && pwd)
command -v debootstrap >/dev/null || apt-get install -y -q debootstrap >/dev/null
[ -x "$root/usr/bin/apt-get" ] || debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian

display=:77
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pulseaudio -n --daemonize=no --exit-idle-time=-1 --load="module-null-sink sink_name=null" \
  --load="module-native-protocol-unix socket=$root/tmp/pulse.sock auth-anonymous=1" >/dev/null 2>&1 &
pulse=$!
mkdir -p "$root/tmp/.X11-unix"
mount -t proc proc "$root/proc"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
cleanup() {
  kill "$xvfb" "$pulse" 2>/dev/null || true
  umount "$root/tmp/.X11-unix" "$root/proc" 2>/dev/null || true
}
trap cleanup EXIT
sleep 2

cp /etc/resolv.conf "$root/etc/"
cp "$deb" "$root/tmp/sonvira.deb"
cp "$src"/examples/*.mp3 "$src"/examples/*.lrc "$root/tmp/"
chroot "$root" env DISPLAY="$display" PULSE_SERVER=unix:/tmp/pulse.sock XDG_RUNTIME_DIR=/tmp/rt bash -euo pipefail -c '
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends /tmp/sonvira.deb >/dev/null
  mkdir -p -m 700 /tmp/rt; rm -rf /tmp/out; mkdir /tmp/out
  album=$(pakrel --name 试 --song 1=/tmp/小星星.mp3 --lyrics 1=/tmp/小星星.lrc --output-dir /tmp/out)
  sonvira --list "$album"
  # Each runs until stopped; a window that cannot start ends at once with a message instead.
  runs() { local rc=0; timeout 5 "$@" >/tmp/run.log 2>&1 || rc=$?; [ $rc -eq 124 ] || { cat /tmp/run.log; exit 1; }; }
  runs pakrel && echo "ok: the packager window"
  runs "$album" --verbose && grep -q "lblTime = 00:02" /tmp/run.log && echo "ok: the album image plays"
  command=$(sed -n "s/^Exec=//p" /usr/share/applications/sonvira.desktop | sed "s|%f|$album|")
  runs $command --verbose && grep -q "lblTime = 00:02" /tmp/run.log && echo "ok: the desktop entry plays it"
  command=$(sed -n "s/^Exec=//p" /usr/share/applications/pakrel.desktop)
  runs $command && echo "ok: the packager desktop entry"
'
