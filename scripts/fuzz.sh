#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each (default 600) and prints how many inputs each one tried.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --tests
cmake --preset fuzz -DVELOPASS_FUZZ_SECONDS="${1:-600}" >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
ctest --preset fuzz -V | grep -E '^[0-9]+: (Running|stat::number_of_executed_units)|tests passed|Failed'
