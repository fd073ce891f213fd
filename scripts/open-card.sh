#!/usr/bin/env bash
# Builds Velopass.exe and opens the card under Wine: on your display if there
# is one, otherwise on a hidden one, writing a screenshot to build/card.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Velopass -j"$(nproc)"

export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
card="$PWD/build/windows/Velopass.exe"
# Wine's own fonts (caption buttons, menu marks, Tahoma), an Arial with Arial's
# metrics, the Arabic and CJK glyphs its faces borrow and Windows' default
# colours: the same set-up as the tests' prefixes.
if [[ -n "${DISPLAY:-}" ]]; then
  python3 scripts/wineprefix.py "$WINEPREFIX"
  exec wine "$card"
fi
python3 scripts/wineprefix.py "$WINEPREFIX" "$card" build/card.png
echo "No display: the card was opened on a hidden one; screenshot in build/card.png"
