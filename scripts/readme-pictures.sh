#!/usr/bin/env bash
# Regenerates the README's pictures: the card as a user of each brand sees it
# (scripts/readme_cards.py), in English and Arabic at 96 and 120 DPI, and a
# printed page from the printing scenario.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
ctest --preset windows -R 'e2e\.printing\.'

mkdir -p docs/images
python3 scripts/readme_cards.py docs/images
convert build/windows/e2e/screenshots/printed-banner.png -resize 413x docs/images/printed-page.png  # A4 at 50 DPI
echo "Pictures in docs/images/"
