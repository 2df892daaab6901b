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
  # a window manager for the player's end-to-end test
  openbox
  # the desktop's media controls: a private session bus for their tests, gdbus and playerctl to call them
  dbus-daemon dbus-session-bus-common libglib2.0-bin playerctl
  # the pointers at twice the density, read back from the X server in their desktop test
  libxcb-xfixes0-dev
  # the Debian package: its dependencies (dpkg-shlibdeps) and its desktop entries checked
  dpkg-dev desktop-file-utils
  # making the demo songs and test tones
  sox libsox-fmt-mp3 lame
)

# The 32-bit Windows build (scripts/build_windows.sh): the MinGW-w64 cross compiler with POSIX
# threads, GoogleTest's source to build with it, patch for Debian's changes to libmpg123's
# source, and wine to run the tests, whose 32-bit side is an i386 package. Installing it pulls
# i386 copies of some libraries and their amd64 twins of the same version.
packages+=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev googletest patch
  wine wine64 wine32:i386
)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture for wine's 32-bit side" >&2
  $sudo dpkg --add-architecture i386
fi

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# Some virtual machines' kernels run no 32-bit programs. There wine's 32-bit side runs under
# qemu, which the kernel is told to use for every i386 program (binfmt_misc).
# qemu before 8 now and then runs wine's signal handler of one thread with another thread's
# state: a 32-bit wine program then hangs for good or crashes ("uncaught target signal 11"),
# about one start in two; bookworm has qemu 7.2, its backports a current one.
# (Once it is set up, 32-bit programs run, through qemu.)
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || echo 0)" ge 1:8; then
    . /etc/os-release
    release=()
    if [ "$VERSION_CODENAME" = bookworm ]; then
      list=/etc/apt/sources.list.d/sonvira-backports.sources
      if [ ! -f "$list" ]; then
        echo "Adding Debian's bookworm-backports for qemu in $list" >&2
        $sudo tee "$list" >/dev/null <<LIST
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
        $sudo apt-get update -qq
      fi
      release=(-t bookworm-backports)
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${release[@]}" qemu-user >&2
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e $binfmt/register ] || $sudo mount -t binfmt_misc binfmt_misc $binfmt
  if [ ! -e $binfmt/qemu-i386 ]; then
    echo "Running 32-bit programs through qemu-i386" >&2
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf '%s' ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386:" | $sudo tee $binfmt/register >/dev/null
  fi
fi
