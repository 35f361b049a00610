#!/usr/bin/env bash
# Builds Tavrin and prints its benchmark figures, each beside a baseline
# measured in the same run (start-up; paste latency against a bare paste
# program; idle CPU; memory), on a private X display. Nothing here passes or
# fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
export BUILD_DIR="$ROOT/build"
"$ROOT/scripts/build.sh" >/dev/null
. "$ROOT/scripts/session.sh"
export TAVRIN_EXE="$BUILD_DIR/TAVRIN.EXE" PROBE_EXE="$BUILD_DIR/tests/helpers/probe.exe"
export TARGET_EXE="$BUILD_DIR/tests/helpers/target.exe" CLIPTOOL_EXE="$BUILD_DIR/tests/helpers/cliptool.exe"
export FLOOR_EXE="$BUILD_DIR/tests/helpers/floor.exe" WINE_RUN="$BUILD_DIR/wine-run.sh"
python3 tests/bench/bench_startup.py </dev/null
python3 tests/bench/bench_paste.py </dev/null
