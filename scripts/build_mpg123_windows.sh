#!/usr/bin/env bash
# Cross-builds libmpg123 for 32-bit Windows as a static library, from Debian's source package
# of the very version the Linux build links (libmpg123-dev), into BUILD/mpg123/{include,lib}:
#   scripts/build_mpg123_windows.sh BUILD      (BUILD defaults to build-win)
# Nothing is done when that version is there already. The source is fetched through apt's
# source lists (a deb-src entry for the running release is added when there is none), checked
# against the checksums its .dsc gives, and unpacked and patched by hand; no copy of it is
# kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-win}")
out=$build/mpg123
host=i686-w64-mingw32

version=$(dpkg-query -W -f='${Version}' libmpg123-dev)
if [ -f "$out/lib/libmpg123.a" ] && [ "$(cat "$out/VERSION" 2>/dev/null)" = "$version" ]; then
  exit 0
fi
echo "Building libmpg123 $version for Windows" >&2

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# Source lists of the running release, as its binary lists name them, when there are none.
if ! apt-get source --print-uris "mpg123=$version" >/dev/null 2>&1; then
  . /etc/os-release
  list=/etc/apt/sources.list.d/sonvira-deb-src.sources
  echo "Adding Debian's source lists for $VERSION_CODENAME in $list" >&2
  $sudo tee "$list" >/dev/null <<LIST
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME $VERSION_CODENAME-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $VERSION_CODENAME-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
  $sudo apt-get update -qq
fi

work=$build/mpg123-source
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# apt gives each file's address, size and hash from the signed source index. The upstream
# signature (.asc) is not needed to build and may be missing from a mirror, so it is skipped;
# the others are fetched with their hashes checked by apt's own downloader.
apt-get source --print-uris -qq "mpg123=$version" | while read -r uri name size hash; do
  uri=${uri//\'/}
  case "$name" in *.asc) continue ;; esac
  /usr/lib/apt/apt-helper -qq -o APT::Sandbox::User=root download-file "$uri" "$name" "$hash"
done
dsc=$(ls ./*.dsc)
# And again against the .dsc itself.
sed -n '/^Checksums-Sha256:/,/^[^ ]/p' "$dsc" | awk 'NF == 3 && $3 !~ /\.asc$/ {print $1 "  " $3}' | sha256sum -c --quiet

upstream=${version%%-*}
tar -xf mpg123_"$upstream".orig.tar.*
cd mpg123-"$upstream"
tar -xf ../mpg123_"${version%%+*}"*.debian.tar.* 2>/dev/null || tar -xf ../*.debian.tar.*
if [ -f debian/patches/series ]; then
  grep -v '^#' debian/patches/series | while read -r patch _; do
    [ -n "$patch" ] && patch -p1 -s < "debian/patches/$patch"
  done
fi

# The library alone: no output modules and none of the programs. Plain C with floating-point
# arithmetic: the same code on every x86, emulated or not, where the assembly variants would
# pick among SSE, 3DNow and the like by what the processor reports.
./configure -q --host=$host --prefix="$out" --enable-static --disable-shared --disable-modules \
  --with-audio=dummy --with-default-audio=dummy --disable-network --with-cpu=generic_fpu \
  CC=$host-gcc-posix AR=$host-gcc-ar-posix RANLIB=$host-gcc-ranlib-posix CFLAGS="-O2" >/dev/null
make -s -j "${JOBS:-$(nproc)}" src/libmpg123/libmpg123.la >/dev/null
rm -rf "$out"
mkdir -p "$out/include" "$out/lib"
cp src/libmpg123/mpg123.h src/libmpg123/fmt123.h "$out/include/"
cp src/libmpg123/.libs/libmpg123.a "$out/lib/"
echo "$version" > "$out/VERSION"
cd "$build"
rm -rf "$work"
