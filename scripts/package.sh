#!/usr/bin/env bash
# Builds the Windows program and its two packages, the zip and the MSI, with
# their SHA256SUMS into build/windows/packages/. With VELOPASS_SIGN_PFX and
# VELOPASS_SIGN_PASSWORD (and optionally VELOPASS_SIGN_TIMESTAMP_URL) set, the
# program and the MSI are signed with that certificate.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --packages
cmake --preset windows >/dev/null
cmake --build --preset windows --target packages -j"$(nproc)"
