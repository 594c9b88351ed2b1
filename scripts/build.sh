#!/usr/bin/env bash
# Installs what is missing, then configures (once) and builds into build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup-deps.sh"
build="$root/build"
if [ ! -f "$build/CMakeCache.txt" ]; then
    generator=()
    command -v ninja >/dev/null && generator=(-G Ninja)
    cmake -S "$root" -B "$build" "${generator[@]}"
fi
cmake --build "$build" --parallel "$(nproc)"
