# Sourced by test.sh and bench.sh, with ROOT and BUILD_DIR set: starts a
# private X display (Xvfb) and the build's Wine prefix with one persistent
# wineserver, and stops both when the calling script exits.
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
  echo "session: could not start Xvfb" >&2
  return 1
}

start_xvfb
echo "session: Xvfb on $DISPLAY"

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

