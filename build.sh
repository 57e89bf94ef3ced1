#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Inkstone and runs it or its tests.
#
#   ./build.sh run        install what is missing, build, start the application
#   ./build.sh test       install what is missing, build, run the whole suite
#                         (a normal build, the AddressSanitizer + UBSan build, then the core
#                         layers built for Windows and run under Wine)
#   ./build.sh package    install what is missing, build the Debian package
#                         inkstone_<version>_amd64.deb (in this folder)
#   ./build.sh windows    install what is missing, build Qt for Windows from Debian's source
#                         (once, into ~/.cache/inkstone), cross-build the desk and make
#                         inkstone-<version>-windows-x64.zip and inkstone-<version>-setup.exe
#                         (in this folder); with "test", cross-build the whole suite instead
#                         and run it under Wine on a virtual X server
#   ./build.sh bench      install what is missing, build, run the benchmarks (five times each)
#                         and print one table of their ratios against their goals; with
#                         "loaded", while another process keeps one core busy
set -euo pipefail
cd "$(dirname "$0")"

# What building and running the program needs; the tests and benchmarks add theirs below.
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libxcb1-dev qt6-translations-l10n
  libjpeg62-turbo-dev nettle-dev nlohmann-json3-dev libzstd-dev
  fonts-noto-cjk xvfb xauth
)
test_packages=(
  libgtest-dev libgmock-dev googletest xdotool openbox wmctrl desktop-file-utils appstream
  g++-mingw-w64-x86-64-posix wine64 xz-utils patch python3 unzip nsis dpkg-dev file epubcheck
)
package_packages=(dpkg-dev file)
windows_packages=(g++-mingw-w64-x86-64-posix wine64 xz-utils patch python3 nsis dpkg-dev)
bench_packages=(libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev python3)

install_missing_packages() {
  local missing=()
  for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {  # build <folder> [cmake options...]
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja "$@" >/dev/null
  cmake --build "$folder" --parallel 2
}

# Only the program and what it ships (the form compiler, the empty chapter database): an
# author's first start does not wait for the tests to compile.
build_program() {
  cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --parallel 2 --target inkstone
}

run_tests() {  # run_tests <folder>
  # Qt runs headless in the tests; ctest's own timeout guards against a hung window.
  QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure --timeout 300 --parallel 2
}

# The core layers as Windows programs (cross-compiled with MinGW-w64), their tests run under Wine
# in a Wine prefix of their own.
build_windows() {
  local zstd
  zstd=$(tools/windows/zstd_for_windows.sh | tail -n 1)
  build build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DINKSTONE_WITH_GUI=OFF -DINKSTONE_HOST_BUILD="$PWD/build" -DINKSTONE_ZSTD_ROOT="$zstd"
}

# A Wine prefix of its own for each Windows build, made or brought up to date by one server
# kept for all programs: each start then costs milliseconds instead of seconds. A server left
# by an interrupted run is ended first (a second persistent one is refused).
start_wine() {  # start_wine <build folder>
  export WINEPREFIX="$PWD/$1/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -p
  trap '/usr/lib/wine/wineserver -k || true' EXIT
}

# The boot starts the prefix's desktop process, which stays with the server: it must see the
# X display the windows will use (booted without one, every message box and window activation
# of a later program waits forever).
boot_wine() {
  /usr/lib/wine/wine64 wineboot --init >"$WINEPREFIX/wineboot.log" 2>&1 ||
    echo "wineboot failed, see $WINEPREFIX/wineboot.log" >&2
}

# Under load Wine has once lost a test program at its start (failed in 0.01 s, no output at
# all); a test is counted failed only when it fails a second time in a row.
run_windows_tests() {
  start_wine build-windows
  boot_wine
  ctest --test-dir build-windows --output-on-failure --timeout 300 --parallel 2 \
    --repeat until-pass:2
}

# The whole desk as a Windows program, against Qt built for Windows from Debian's source (its
# folder is left in windows_qt). Its build steps run the host build's tools (the form
# compiler, the database tool). Builds the targets named, or everything.
build_windows_desk() {  # build_windows_desk [target...]
  cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --parallel 2 --target form_tool database_tool
  windows_qt=$(tools/windows/qt_for_windows.sh | tail -n 1)
  local zstd
  zstd=$(tools/windows/zstd_for_windows.sh | tail -n 1)
  # Qt's Chinese translations (portable files, from the host) where the Windows Qt looks for
  # its own: the programs of the build folder find them there.
  mkdir -p "$windows_qt/translations"
  cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$windows_qt/translations/"
  # A build made against another Qt starts afresh: CMake keeps the Qt it found first.
  if [ -f build-windows-desk/CMakeCache.txt ] &&
    ! grep -q "^Qt6_DIR:PATH=$windows_qt/" build-windows-desk/CMakeCache.txt; then
    rm -rf build-windows-desk
  fi
  # Linked like Qt's own libraries, against the MinGW runtime DLLs: one C++ runtime in the
  # process.
  cmake -S . -B build-windows-desk -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$windows_qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_EXE_LINKER_FLAGS="" -DINKSTONE_HOST_BUILD="$PWD/build" \
    -DINKSTONE_ZSTD_ROOT="$zstd" >/dev/null
  local targets=()
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build build-windows-desk --parallel 2 "${targets[@]}"
}

# The desk's suites as Windows programs under Wine, with the Windows platform plugin on a
# virtual X server of their own; Qt and the MinGW runtime come from their folders.
run_windows_desk_tests() {
  local mingw_gcc
  mingw_gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  export WINEPATH="$windows_qt/bin;$mingw_gcc;/usr/x86_64-w64-mingw32/lib"
  start_wine build-windows-desk
  # xvfb-run is a POSIX shell script, which passes no exported function on: the boot goes in
  # as text.
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$(declare -f boot_wine); boot_wine &&
    ctest --test-dir build-windows-desk --output-on-failure --timeout 1200 --parallel 2 \
      --repeat until-pass:2"
}

with_display() {
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1280x800x24" "$@"
  fi
}

case "${1:-}" in
  run)
    install_missing_packages
    build_program
    with_display build/app/inkstone
    ;;
  test)
    packages+=("${test_packages[@]}")
    install_missing_packages
    build build
    run_tests build
    build build-sanitize -DINKSTONE_SANITIZE=ON
    run_tests build-sanitize
    build_windows
    run_windows_tests
    ;;
  package)
    packages+=("${package_packages[@]}")
    install_missing_packages
    # The program alone (no tests), built as the suite builds it and stripped by CPack.
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >/dev/null
    cmake --build build-package --parallel 2
    (cd build-package && cpack -G DEB)
    cp build-package/inkstone_*_amd64.deb .
    ;;
  windows)
    packages+=("${windows_packages[@]}")
    if [ "${2:-}" = test ]; then
      packages+=("${test_packages[@]}")
      install_missing_packages
      build build
      build_windows_desk
      run_windows_desk_tests
    else
      install_missing_packages
      build_windows_desk inkstone inkstone_database_tool
      tools/windows/make_portable_zip.sh build-windows-desk "$windows_qt"
      tools/windows/make_installer.sh build-windows-desk
    fi
    ;;
  bench)
    packages+=("${bench_packages[@]}")
    install_missing_packages
    build build
    # "./build.sh bench loaded": the same while another process keeps one core busy.
    if [ "${2:-}" = loaded ]; then
      (while :; do :; done) &
      busy=$!
      trap 'kill $busy' EXIT
    fi
    results=build/bench-results
    rm -rf "$results" && mkdir -p "$results"
    # Five repetitions each: the table gives every ratio's median.
    for benchmark in build/bench/*_bench; do
      [ -x "$benchmark" ] || continue
      QT_QPA_PLATFORM=offscreen "$benchmark" --benchmark_repetitions=5 \
        --benchmark_out="$results/$(basename "$benchmark").json" --benchmark_out_format=json
    done
    python3 tools/bench_table/bench_table.py "$results"/*.json
    ;;
  *)
    echo "usage: ./build.sh run | test | package | windows [test] | bench [loaded]" >&2
    exit 2
    ;;
esac
