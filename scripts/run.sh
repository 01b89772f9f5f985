#!/usr/bin/env bash
# The main job: installs what is missing, builds the programs and runs the
# silent install under Wine on a fresh 64-bit Windows 7 machine, then shows
# what it installed. Options go to scripts/demo.py (--cp, --winver, --bits).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
python3 scripts/demo.py "$@"
