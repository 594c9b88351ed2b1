#!/usr/bin/env bash
# Builds everything and runs every test suite, without a display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure --parallel "$(nproc)" "$@"
