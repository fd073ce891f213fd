#!/usr/bin/env bash
# Builds the Windows program and its two packages, the zip and the MSI, into
# build/windows/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --packages
cmake --preset windows >/dev/null
cmake --build --preset windows --target packages -j"$(nproc)"
