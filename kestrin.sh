#!/usr/bin/env bash
# Kestrin build helper.
#   ./kestrin.sh run    install missing Debian packages, build, start the program
#   ./kestrin.sh test   install missing Debian packages, build, run every test
#   ./kestrin.sh bench  build and run the benchmarks
#   ./kestrin.sh install [PREFIX]  build and install the program, its manual and
#                       its desktop-menu entry (default PREFIX: ~/.local)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libgtest-dev libgmock-dev
          clang libclang-rt-dev fonts-noto-cjk qt6-translations-l10n
          xvfb openbox x11-utils)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

build() {
  local launcher=()
  if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_WERROR=ON "${launcher[@]}" >/dev/null
  cmake --build build -j"$(nproc)"
}

install_program() {
  local prefix="${1:-$HOME/.local}"
  cmake --install build --prefix "$prefix" >/dev/null
  command -v update-desktop-database >/dev/null && update-desktop-database -q "$prefix/share/applications" || true
  echo "Kestrin installed in $prefix (menu entry: Office > Kestrin 青鳥帳房通)"
}

case "${1:-run}" in
  run)
    install_missing
    build
    # First use: put the program into the desktop menu as well.
    [ -f "$HOME/.local/share/applications/kestrin.desktop" ] || install_program
    exec ./build/kestrin
    ;;
  install)
    install_missing
    build
    install_program "${2:-}"
    ;;
  test)
    install_missing
    build
    ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 300
    if [ -x tests/fuzz/run.sh ]; then tests/fuzz/run.sh; fi
    ;;
  bench)
    install_missing
    build
    ./build/bench/kestrin_bench "${@:2}"
    ;;
  *)
    echo "usage: $0 run|test|bench|install [PREFIX]" >&2
    exit 2
    ;;
esac
