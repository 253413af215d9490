#!/usr/bin/env bash
# Takes screenshots of the standard dialogs (as a seller sees them, in
# Traditional Chinese) and of the main window (empty, then on a small sample
# database with each menu open, the order list's popup and the toolbar),
# into OUTDIR (default build/shots), for checking by eye after a change to
# any window.
#   tools/screenshots.sh [OUTDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/shots}"
cmake --build build --target kestrin_shots -j"$(nproc)" >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/run" \
  QT_QPA_PLATFORM=offscreen ./build/tools/kestrin_shots "$out"
