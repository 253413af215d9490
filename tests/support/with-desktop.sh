#!/usr/bin/env bash
# Runs a command on a desktop of its own: a fresh Xvfb (a free display, the
# screen size in KESTRIN_TEST_SCREEN, 1024x768 unless set) with the openbox
# window manager running, so that what only a real X server and a window
# manager do (frames, stacking, focus handed back) can be tested. Both end
# with the command, whose exit code this script ends with.
#   tests/support/with-desktop.sh COMMAND [ARGS...]
set -uo pipefail
screen=${KESTRIN_TEST_SCREEN:-1024x768}
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "with-desktop: $tool is not installed (apt-get install xvfb openbox x11-utils)" >&2; exit 1; }
done

fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$fifo" 2>/dev/null &
xvfb=$!
display=""
read -r -t 20 display <"$fifo"
rm -f "$fifo"
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  [ -n "${wmhome:-}" ] && rm -rf "$wmhome"
}
trap cleanup EXIT
[ -n "$display" ] || { echo "with-desktop: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"

# The server may report its display a moment before clients can use it.
for _ in $(seq 400); do
  xprop -root >/dev/null 2>&1 && break
  sleep 0.05
done

# openbox with the configuration it is installed with (a scratch HOME
# holds none of the user's), ready once it has claimed the root window (its
# first start on a machine builds the font cache, which can take many
# seconds). One that gave up at once is started again.
wmhome=$(mktemp -d)
ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in 1 2 3; do
  HOME=$wmhome openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 1200); do
    ready && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.05
  done
  ready && break
done
ready || { echo "with-desktop: openbox did not start" >&2; exit 1; }

KESTRIN_TEST_ON_DESKTOP=1 "$@"
