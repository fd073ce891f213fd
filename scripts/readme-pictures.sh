#!/usr/bin/env bash
# Regenerates the README's pictures from the end-to-end scenarios that take
# them: the card in English and Arabic at 96 and 120 DPI, and a printed page.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
ctest --preset windows -R 'e2e\.(presentation|printing)$'

shots=build/windows/e2e/screenshots
mkdir -p docs/images
cp "$shots/card-96-Zell.png" docs/images/card-96-en.png
cp "$shots/card-96-ar.png" docs/images/card-96-ar.png
cp "$shots/card-120-en.png" docs/images/card-120-en.png
cp "$shots/card-120-ar.png" docs/images/card-120-ar.png
convert "$shots/printed-banner.png" -resize 413x docs/images/printed-page.png  # A4 at 50 DPI
echo "Pictures in docs/images/"
