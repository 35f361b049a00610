#!/usr/bin/env bash
# Builds Tavrin and prints its benchmark figures (start-up time against a
# baseline program), on a private X display. Nothing here passes or fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
export BUILD_DIR="$ROOT/build"
"$ROOT/scripts/build.sh" >/dev/null
. "$ROOT/scripts/session.sh"
python3 tests/bench/bench_startup.py </dev/null
