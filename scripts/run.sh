#!/usr/bin/env bash
# The main job: installs what is missing, builds the programs and runs the
# setup program under Wine on a 64-bit Windows 7 machine, then shows what it
# stored.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
python3 scripts/demo.py "$@"
