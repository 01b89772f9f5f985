#!/usr/bin/env bash
# Builds everything (host tools and tests, both Windows builds) into build/;
# the programs end up in build/dist/. Extra arguments go to CMake's configure
# step, for example -DTAVO_PAYLOAD_DIR=/path/to/payload.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build
