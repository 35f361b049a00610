#!/usr/bin/env bash
# Builds Tavrin and runs every test: the unit tests and the end-to-end tests,
# all under Wine, on a private X display (Xvfb) that is stopped again at the
# end. Needs no display of its own and no input; works as root and in CI.
#
#   scripts/test.sh                  everything
#   scripts/test.sh -R e2e_startup   extra arguments go to ctest
#
# The exit status is ctest's. Screenshots land in build/screenshots/.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
export BUILD_DIR="$ROOT/build"

"$ROOT/scripts/setup.sh"

cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake --no-warn-unused-cli
cmake --build build -j2

xvfb_pid=""
wine_ready=""

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  if [ -n "$wine_ready" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A private X server on the first free display from :91 on.
start_xvfb() {
  local n i
  for n in $(seq 91 199); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
      continue
    fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$BUILD_DIR/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for i in $(seq 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    # Lost a race for this display number, or Xvfb failed: try the next one.
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "test.sh: could not start Xvfb" >&2
  return 1
}

start_xvfb
echo "test.sh: Xvfb on $DISPLAY"

# The build's own Wine prefix (created on first use). Programs left over from
# an earlier run in this prefix are ended first: they would still be tied to
# that run's display.
. "$ROOT/scripts/wine-env.sh"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
wine_ready=1
# One persistent server for the whole run: a Wine start then takes 0.1 s
# instead of seconds.
wineserver -p
# Start Wine's background services now, with no terminal or pipe attached:
# they keep the standard error of the process that starts them open, so a
# first Wine program whose output ctest collects would never seem to end.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true

# The tests share one desktop and one registry: ctest runs them one by one.
set +e
ctest --test-dir build --output-on-failure "$@" </dev/null
status=$?
set -e
exit "$status"
