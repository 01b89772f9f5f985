#!/usr/bin/env bash
# The test command: installs what is missing, builds everything, then runs
# every test (host unit tests, Windows tests under Wine, end-to-end runs).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh "$@"
ctest --test-dir build --output-on-failure -j2
