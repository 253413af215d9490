#!/usr/bin/env bash
# Kestrin build helper.
#   ./kestrin.sh run    install missing Debian packages, build, start the program
#   ./kestrin.sh test   install missing Debian packages, build, run every test
#   ./kestrin.sh bench  build and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libgtest-dev libgmock-dev
          clang libclang-rt-dev fonts-noto-cjk)

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

case "${1:-run}" in
  run)
    install_missing
    build
    exec ./build/kestrin
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
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
