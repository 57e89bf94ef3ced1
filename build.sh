#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Inkstone and runs it or its tests.
#
#   ./build.sh run        install what is missing, build, start the application
#   ./build.sh test       install what is missing, build, run the whole suite
#                         (a normal build, then the AddressSanitizer + UBSan build)
#   ./build.sh bench      install what is missing, build, run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev nettle-dev nlohmann-json3-dev libsqlite3-dev
  fonts-noto-cjk xvfb xauth
)

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
    install_missing_packages
    build build
    run_tests build
    build build-sanitize -DINKSTONE_SANITIZE=ON
    run_tests build-sanitize
    ;;
  bench)
    install_missing_packages
    build build
    for benchmark in build/bench/*_bench; do
      [ -x "$benchmark" ] && QT_QPA_PLATFORM=offscreen "$benchmark"
    done
    ;;
  *)
    echo "usage: ./build.sh run | test | bench" >&2
    exit 2
    ;;
esac
