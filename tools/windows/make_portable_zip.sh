#!/usr/bin/env bash
# Makes inkstone-<version>-windows-x64.zip (in the checkout's folder) from a Windows build of
# the desk: the program and the database tool, the Qt libraries and plugins they load, the
# MinGW runtime libraries, Qt's Chinese translations and the empty chapter database. Unpacked
# anywhere the author may write, it is a portable desk: the chapters stay beside the program.
#
#   tools/windows/make_portable_zip.sh <build folder> <Qt for Windows folder>
#
# It stages the folder (this script: it needs the Windows build) and packs it with
# pack_portable_zip.py (which takes any staged folder, so the suite tests it on Linux). The empty
# chapter database is staged in empty-database, never in 小说数据: unpacked over an older
# version's folder with "replace all", the zip must hold nothing that replaces an author's file.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
qt=$2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name="inkstone-$version-windows-x64"
stage="$build/zip/$name"
rm -rf "$build/zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/imageformats" "$stage/translations" \
  "$stage/empty-database"

cp "$build/app/inkstone.exe" "$build/tools/database_tool/inkstone-database-tool.exe" "$stage/"
cp "$qt"/bin/Qt6{Core,Gui,Widgets}.dll "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$qt"/plugins/imageformats/q{gif,jpeg,ico}.dll "$stage/imageformats/"
# The C++ runtime the program and Qt share (the posix thread model's).
mingw_gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
cp "$mingw_gcc/libstdc++-6.dll" "$mingw_gcc/libgcc_s_seh-1.dll" \
  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$stage/"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
cp "$build/installed-data/empty-database/data.edb" "$build/installed-data/empty-database/data.edt" \
  "$stage/empty-database/"

# Without their debugging sections: a third of the size.
find "$stage" -name '*.exe' -o -name '*.dll' | xargs x86_64-w64-mingw32-strip --strip-unneeded

python3 "$repo/tools/windows/pack_portable_zip.py" "$stage" "$repo/$name.zip"
echo "$repo/$name.zip"
