#!/usr/bin/env bash
# Builds Tavrin and prints its benchmark figures, each beside a baseline
# measured in the same run (start-up; paste latency against a bare paste
# program; idle CPU; memory), on a private X display. Nothing here passes or
# fails. `scripts/bench.sh startup [OTHER.EXE...]` prints the start-up figures
# alone (and those of other builds, timed in turns with this one);
# `scripts/bench.sh [OTHER.EXE...]` also times the other builds' kept paste.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
export BUILD_DIR="$ROOT/build"
"$ROOT/scripts/build.sh" >/dev/null
. "$ROOT/scripts/session.sh"
export PYTHONDONTWRITEBYTECODE=1
# The programs the figures need, where the tests find them too.
export WINE_RUN="$BUILD_DIR/wine-run.sh" TAVRIN_EXE="$BUILD_DIR/TAVRIN.EXE"
for helper in probe target cliptool floor; do
  export "$(echo "$helper" | tr a-z A-Z)_EXE=$BUILD_DIR/tests/helpers/$helper.exe"
done
only_startup=false
if [ "${1:-}" = startup ]; then only_startup=true; shift; fi
python3 tests/bench/bench_startup.py "$@" </dev/null
$only_startup || python3 tests/bench/bench_paste.py "$@" </dev/null
