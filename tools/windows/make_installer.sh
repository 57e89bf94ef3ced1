#!/usr/bin/env bash
# Makes inkstone-<version>-setup.exe (in the checkout's folder) with NSIS from the folder that
# make_portable_zip.sh staged in the same build.
#
#   tools/windows/make_installer.sh <build folder>
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage="$build/zip/inkstone-$version-windows-x64"
[ -d "$stage" ] || { echo "no staged folder: run make_portable_zip.sh first" >&2; exit 1; }
# The files to install and, the same, to remove again.
lists="$build/installer-lists"
python3 "$repo/tools/windows/installer_files.py" "$stage" "$lists"
makensis -V2 -DVERSION="$version" -DLISTS="$lists" -DOUTFILE="$repo/inkstone-$version-setup.exe" \
  "$repo/tools/windows/installer.nsi"
echo "$repo/inkstone-$version-setup.exe"
