#!/usr/bin/env bash
# Builds Tavrin and starts the bar under Wine.
#
# With a display ($DISPLAY set) the bar runs there until it is closed.
# Without one the bar runs for a few seconds on a private Xvfb, a screenshot
# is saved as build/screenshots/run.png, and everything is stopped again.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
export BUILD_DIR="$ROOT/build"

"$ROOT/scripts/build.sh"

EXE="$BUILD_DIR/TAVRIN.EXE"
PROBE="$BUILD_DIR/tests/helpers/probe.exe"

if [ -n "${DISPLAY:-}" ]; then
  . "$ROOT/scripts/wine-env.sh"
  exec wine "$EXE"
fi

# No display: a private one, a short run and a screenshot.
. "$ROOT/scripts/session.sh"
echo "run.sh: no display; running the bar on a private Xvfb ($DISPLAY)"

wine "$EXE" </dev/null &
bar_pid=$!

# Wait for the bar (window titled "Tavrin") and for its layout to settle.
if wine "$PROBE" wait Tavrin 60000 >/dev/null 2>&1; then
  hwnd=$(wine "$PROBE" find Tavrin 2>/dev/null | tr -d '\r')
  wine "$PROBE" stable "$hwnd" 500 20000 >/dev/null 2>&1 || true
else
  echo "run.sh: the bar did not appear within 60 s" >&2
fi
sleep 2

mkdir -p "$BUILD_DIR/screenshots"
import -window root "$BUILD_DIR/screenshots/run.png"
echo "run.sh: screenshot saved as build/screenshots/run.png"

# Close the bar as a user would (WM_CLOSE), then wait for it to end.
if [ -n "${hwnd:-}" ]; then
  wine "$PROBE" post "$hwnd" WM_CLOSE 0 0 >/dev/null 2>&1 || true
fi
for _ in $(seq 100); do
  kill -0 "$bar_pid" 2>/dev/null || break
  sleep 0.1
done
