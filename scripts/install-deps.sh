#!/usr/bin/env bash
# Installs what building (and, with --tests, testing; with --coverage, also measuring the tests' coverage)
# Velopass needs on Debian 12.
# Packages already present are not fetched again.
set -euo pipefail

packages=(cmake make python3 mingw-w64 g++-mingw-w64-x86-64-posix clang-19 lld-19 googletest
          wine wine64 xvfb xauth imagemagick
          fonts-wine fonts-liberation2 fonts-dejavu-core fonts-wqy-microhei fonts-noto-core python3-fonttools)
case "${1:-}" in
  --tests|--coverage) packages+=(g++ clang-14 libclang-rt-14-dev libgtest-dev cups cups-bsd printer-driver-cups-pdf ghostscript poppler-utils msitools wixl osslsigncode openssl strace) ;;&
  --coverage) packages+=(gcovr) ;;
  --packages) packages+=(msitools wixl osslsigncode openssl) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
