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

"$ROOT/scripts/build.sh"

. "$ROOT/scripts/session.sh"

# The tests share one desktop and one registry: ctest runs them one by one.
set +e
ctest --test-dir build --output-on-failure "$@" </dev/null
status=$?
set -e
exit "$status"
