#!/usr/bin/env bash
# Installs what is missing (scripts/setup.sh) and builds everything into
# build/: TAVRIN.EXE, the test helpers and the unit tests. run.sh and test.sh
# start with it; it can also be run alone.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake --no-warn-unused-cli
cmake --build build -j2
