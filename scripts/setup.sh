#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need, and nothing else.
# Safe to run again: only missing packages are installed.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config binutils
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n
  libmpg123-dev libsdl2-dev libpulse-dev
  # tests, fuzzing and benchmarks
  libgtest-dev clang libclang-rt-14-dev time mpg123
  # headless desktop: X server, sound server, CJK fonts (AR PL UMing stands in for SimSun), screenshots
  xvfb xauth x11-utils pulseaudio pulseaudio-utils fontconfig fonts-wqy-zenhei fonts-arphic-uming imagemagick
  # edge docking: the pointer read through xcb, real pointer events in its desktop test
  libxcb1-dev libxcb-xinput-dev xdotool
  # the desktop's media controls: a private session bus for their tests, and gdbus to call them
  dbus-daemon dbus-session-bus-common libglib2.0-bin
  # the pointers at twice the density, read back from the X server in their desktop test
  libxcb-xfixes0-dev
  # the Debian package: its dependencies (dpkg-shlibdeps) and its desktop entries checked
  dpkg-dev desktop-file-utils
  # making the demo songs and test tones
  sox libsox-fmt-mp3 lame
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
