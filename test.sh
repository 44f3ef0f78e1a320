#!/usr/bin/env bash
# Builds Schotterfix with its tests (installing what is missing) and runs the whole suite headless.
# Usage: ./test.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/build}"
shift || true
"$here/scripts/setup.sh" "$build" "$@"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
