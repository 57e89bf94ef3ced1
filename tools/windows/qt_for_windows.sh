#!/usr/bin/env bash
# Builds Qt's base modules for 64-bit Windows (MinGW-w64) from Debian's source package of the
# host's own Qt, whose moc, rcc and uic then serve the cross build. The result goes into a cache
# folder outside the checkout, named by the Qt version and a key of the options and toolchain,
# and is reused while that key matches. Prints the folder on its last line.
#
#   tools/windows/qt_for_windows.sh
#
# Needs: qt6-base-dev (the host Qt), g++-mingw-w64-x86-64-posix, cmake, ninja-build,
# xz-utils, patch, and apt-get source access (a deb-src entry is added for the
# configured Debian archives where none exists).
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)

version=$(dpkg-query -W -f='${Version}' qt6-base-dev)  # e.g. 6.4.2+dfsg-10
upstream=${version%%+*}
upstream=${upstream%%-*}

# Only what the desk needs: Core, Gui, Widgets, Test, the windows platform plugin and the
# windowsvista style, GIF/JPEG/PNG. Debian's source lacks wintab (no tablet events) and
# SQLite (SQL stays off). Switching Direct2D off would also drop the DirectWrite font engine,
# without which the platform plugin does not link. Every third-party library is Qt's own copy:
# nothing of the host may leak into a Windows build.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_pkg_config=OFF -DFEATURE_tabletevent=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF
  -DINPUT_opengl=no
  -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
  -DFEATURE_gif=ON -DFEATURE_jpeg=ON -DFEATURE_png=ON
)
toolchain="$repo/cmake/mingw-w64-x86_64.cmake"
patches="$repo/tools/windows/qt-patches"
key=$( (echo "$version"; printf '%s\n' "${options[@]}"; cat "$toolchain" "$0" "$patches"/*.patch) |
  sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/inkstone
prefix="$cache/qt-$upstream-mingw64-$key"
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# A deb-src entry for each configured Debian archive (deb822 sources), once.
if ! apt-get source --print-uris "qt6-base=$version" >/dev/null 2>&1; then
  sources=/etc/apt/sources.list.d/inkstone-deb-src.sources
  for file in /etc/apt/sources.list.d/*.sources; do
    [ "$file" = "$sources" ] && continue
    grep -q "debian" "$file" || continue
    sed -n '/^Types: deb$/,/^$/p' "$file" | sed 's/^Types: deb$/Types: deb-src/'
    echo
  done | $sudo tee "$sources" >/dev/null
  $sudo apt-get update
fi

work="$cache/qt-build-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
apt-get source --download-only "qt6-base=$version"
tar xf qt6-base_*.orig.tar.xz
tar xf qt6-base_*.debian.tar.xz
source_dir=$(find . -maxdepth 1 -type d -name 'qtbase-*' | head -n 1)
# Debian's fixes of Qt itself, the patches listed before its own build changes.
sed '/^# Debian specific/q' debian/patches/series | grep -v '^#' | grep . |
  while read -r patch; do patch -d "$source_dir" -p1 --quiet <"debian/patches/$patch"; done
# Ours: faults of this Qt that the desk meets on Windows.
for patch in "$patches"/*.patch; do patch -d "$source_dir" -p1 --quiet <"$patch"; done

# The toolchain file is kept beside the install: Qt's own toolchain file names it by path.
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"
cmake -S "$source_dir" -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >configure.log
cmake --build build --parallel 2 >build.log
cmake --install build >install.log
touch "$prefix/.complete"
cd /
rm -rf "$work"
echo "$prefix"
