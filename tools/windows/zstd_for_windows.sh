#!/usr/bin/env bash
# Builds the zstd library for 64-bit Windows (MinGW-w64) from Debian's source package of the
# host's own libzstd-dev, as a static library with its headers. The result goes into a cache
# folder outside the checkout, named by the zstd version and a key of the options and
# toolchain, and is reused while that key matches. Prints the folder on its last line.
#
#   tools/windows/zstd_for_windows.sh
#
# Needs: libzstd-dev (the host zstd, whose version is built), g++-mingw-w64-x86-64-posix,
# cmake, ninja-build, dpkg-dev, and apt-get source access (a deb-src entry is added for the
# configured Debian archives where none exists).
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)

package=$(dpkg-query -W -f='${source:Package}' libzstd-dev)  # libzstd
version=$(dpkg-query -W -f='${source:Version}' libzstd-dev)  # e.g. 1.5.4+dfsg2-5+deb12u1
upstream=${version%%+*}
upstream=${upstream%%-*}

# The library alone, static, single-threaded: no programs, tests or shared library.
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DZSTD_BUILD_STATIC=ON -DZSTD_BUILD_SHARED=OFF
  -DZSTD_BUILD_PROGRAMS=OFF -DZSTD_BUILD_TESTS=OFF -DZSTD_BUILD_CONTRIB=OFF
  -DZSTD_MULTITHREAD_SUPPORT=OFF
)
toolchain="$repo/cmake/mingw-w64-x86_64.cmake"
key=$( (echo "$version"; printf '%s\n' "${options[@]}"; cat "$toolchain" "$0") |
  sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/inkstone
prefix="$cache/zstd-$upstream-mingw64-$key"
# Built from another Debian revision than the host's: said on each run, not only the first.
warn_if_other_source() {
  local built
  built=$(cat "$prefix/debian-source-version")
  [ "$built" = "$version" ] || echo "$0: warning: built from Debian's $package $built," \
    "not $version of the host (whose source could not be fetched): Debian's changes" \
    "since are missing; remove $prefix to try again" >&2
}
if [ -f "$prefix/.complete" ]; then
  warn_if_other_source
  echo "$prefix"
  exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
# A deb-src entry for each configured Debian archive (deb822 sources), once.
if ! apt-get source --print-uris "$package=$version" >/dev/null 2>&1; then
  sources=/etc/apt/sources.list.d/inkstone-deb-src.sources
  for file in /etc/apt/sources.list.d/*.sources; do
    [ "$file" = "$sources" ] && continue
    grep -q "debian" "$file" || continue
    sed -n '/^Types: deb$/,/^$/p' "$file" | sed 's/^Types: deb$/Types: deb-src/'
    echo
  done | $sudo tee "$sources" >/dev/null
  $sudo apt-get update
fi

work="$cache/zstd-build-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work" "$prefix"
cd "$work"
# The host's version; where the archive does not serve its source, the newest other Debian
# revision of the same upstream version that it does, with a warning on every run.
source_version=""
for candidate in $( (echo "$version"; apt-cache showsrc "$package" | sed -n 's/^Version: //p' |
  sort -rV) | awk '!seen[$0]++'); do
  case $candidate in "$upstream"[-+~]*) ;; *) continue ;; esac
  if apt-get source --download-only "$package=$candidate" >>fetch.log 2>&1; then
    source_version=$candidate
    break
  fi
done
if [ -z "$source_version" ]; then
  echo "$0: no Debian source of $package $upstream could be fetched, see $work/fetch.log" >&2
  exit 1
fi
echo "$source_version" >"$prefix/debian-source-version"
warn_if_other_source
# All of Debian's patches: they touch the library only where they fix it. The files are
# checked by apt against the archive's signed index.
dpkg-source --no-check -x "${package}_${source_version#*:}.dsc" source >extract.log

cmake -S source/build/cmake -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >configure.log
cmake --build build --parallel 1 >build.log
cmake --install build >install.log
touch "$prefix/.complete"
cd /
rm -rf "$work"
echo "$prefix"
