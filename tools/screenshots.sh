#!/usr/bin/env bash
# Takes screenshots of the standard dialogs (as a seller sees them, in
# Traditional Chinese) and of the main window (empty, then on a small sample
# database with each menu open, the order list's popup and the toolbar),
# into OUTDIR (default build/shots), for checking by eye after a change to
# any window.
#   tools/screenshots.sh [OUTDIR]
#
# With --manual it takes the pictures of the user's manual instead (the
# windows the manual shows, on the same sample database, and a shipping note
# as a browser shows it when chromium is installed), reduces them to 256
# colours and puts them into docs/manual/, where the manual expects them.
#   tools/screenshots.sh --manual
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target kestrin_shots -j"$(nproc)" >/dev/null
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run_shots() {
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/run" \
    LANG=zh_TW.UTF-8 QT_QPA_PLATFORM=offscreen ./build/tools/kestrin_shots "$@"
}

if [ "${1:-}" != "--manual" ]; then
  run_shots "${1:-build/shots}"
  exit 0
fi

raw="$home/pictures"
run_shots --manual "$raw" >/dev/null
browser=$(command -v chromium || command -v chromium-browser || command -v google-chrome || true)
if [ -n "$browser" ] && [ -f "$raw/shipping-note.htm" ]; then
  "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --lang=zh-TW \
    --user-data-dir="$home/browser" --screenshot="$raw/shipping-note.png" --window-size=700,560 \
    "file://$raw/shipping-note.htm" >/dev/null 2>&1 || echo "shipping note not rendered" >&2
else
  echo "chromium not found: docs/manual/shipping-note.png left as it is" >&2
fi
mkdir -p docs/manual
for picture in "$raw"/*.png; do
  name=$(basename "$picture")
  convert "$picture" -strip -colors 256 "PNG8:docs/manual/$name"
  echo "docs/manual/$name"
done
