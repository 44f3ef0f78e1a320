#!/usr/bin/env bash
# Installs the Debian packages the build needs (when missing), then configures and builds.
# Usage: scripts/setup.sh <build-dir> [extra cmake arguments...]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$here/build}"
shift || true

packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libgl-dev libbenchmark-dev
          fonts-dejavu-core fonts-liberation2 poppler-utils desktop-file-utils appstream
          dpkg-dev libxml2-utils shared-mime-info lintian bash-completion)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${SFX_BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build"
