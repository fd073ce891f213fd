#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each (default 600)
# and prints how many inputs each one tried.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

scripts/install-deps.sh --tests
cmake --preset fuzz -DVELOPASS_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
ctest --preset fuzz -V | grep -E '^[0-9]+: (Running|stat::number_of_executed_units)|tests passed|Failed'
