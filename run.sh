#!/usr/bin/env bash
# Builds Schotterfix (installing what is missing) and starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build"
exec "$here/build/app/schotterfix" "$@"
