#!/usr/bin/env bash
# Builds everything, checks the formatting and runs every test suite,
# without a display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
# Every tracked source follows .clang-format; a misformatted file fails
# the run and is named.
git -C "$root" ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' \
    'bench/*.h' | (cd "$root" && xargs -0 clang-format --dry-run --Werror)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure --parallel "$(nproc)" "$@"
