# Sourced by test.sh and bench.sh, with ROOT and BUILD_DIR set: starts a
# private X display (Xvfb) and the build's Wine prefix with one persistent
# wineserver, and stops them when the calling script exits.
#
# With TAVRIN_LANES=N (test.sh uses 2) it starts N such lanes, each with its
# own display and its own copy of the prefix, so that N test files can run at
# once without seeing each other's windows, registry or clipboard. Lane 0 is
# also the calling shell's DISPLAY and WINEPREFIX. build/lanes/K.env names
# lane K's display and prefix; build/lanes.json is ctest's resource file.
xvfb_pids=()
lane_prefixes=()

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local prefix pid
  for prefix in "${lane_prefixes[@]}"; do
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
  done
  for pid in "${xvfb_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A private X server on the first free display from :91 on; sets xvfb_display.
start_xvfb() {
  local n i pid
  for n in $(seq 91 199); do
    if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then
      continue
    fi
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$BUILD_DIR/xvfb-$n.log" 2>&1 &
    pid=$!
    for i in $(seq 100); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        xvfb_pids+=("$pid")
        xvfb_display=":$n"
        return 0
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    # Lost a race for this display number, or Xvfb failed: try the next one.
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  echo "session: could not start Xvfb" >&2
  return 1
}

lanes=${TAVRIN_LANES:-1}
rm -rf "$BUILD_DIR/lanes"
mkdir -p "$BUILD_DIR/lanes"

# The build's own Wine prefix (created on first use). Programs left over from
# an earlier run in this prefix are ended first: they would still be tied to
# that run's display.
start_xvfb
export DISPLAY=$xvfb_display
unset CTEST_RESOURCE_GROUP_0_LANES
. "$ROOT/scripts/wine-env.sh"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
lane_prefixes+=("$WINEPREFIX")
printf 'DISPLAY=%s\nWINEPREFIX=%s\n' "$DISPLAY" "$WINEPREFIX" >"$BUILD_DIR/lanes/0.env"

# Further lanes: a display each and a copy of the prepared prefix, made
# afresh whenever the first one is newer.
for k in $(seq 1 $((lanes - 1))); do
  start_xvfb
  prefix="$BUILD_DIR/wineprefix-lane$k"
  if [ ! -f "$prefix/.tavrin-unmanaged" ] || [ "$WINEPREFIX/.tavrin-unmanaged" -nt "$prefix/.tavrin-unmanaged" ]; then
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$prefix"
    cp -a "$WINEPREFIX" "$prefix"
  fi
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
  lane_prefixes+=("$prefix")
  printf 'DISPLAY=%s\nWINEPREFIX=%s\n' "$xvfb_display" "$prefix" >"$BUILD_DIR/lanes/$k.env"
done

{
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"lanes": ['
  for k in $(seq 0 $((lanes - 1))); do
    [ "$k" -gt 0 ] && printf ', '
    # A lone lane has two slots, so that a file that takes both lanes (the
    # machine to itself) runs there too; ctest -j 1 runs one file at a time.
    printf '{"id": "%s", "slots": %d}' "$k" $((lanes == 1 ? 2 : 1))
  done
  printf ']}]}\n'
} >"$BUILD_DIR/lanes.json"

# One persistent server per lane for the whole run: a Wine start then takes
# 0.1 s instead of seconds. Wine's background services start now, with no
# terminal or pipe attached: they keep the standard error of the process that
# starts them open, so a first Wine program whose output ctest collects would
# never seem to end.
for k in $(seq 0 $((lanes - 1))); do
  (
    . "$BUILD_DIR/lanes/$k.env"
    export DISPLAY WINEPREFIX
    wineserver -p
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
  )
  echo "session: lane $k on $(sed -n 's/^DISPLAY=//p' "$BUILD_DIR/lanes/$k.env")"
done
