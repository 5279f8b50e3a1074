#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
jobs="$(nproc)"

cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFIELDINPUT_WERROR=ON
cmake --build "$root/build/release" -j "$jobs"
ctest --test-dir "$root/build/release" --output-on-failure -j "$jobs"

cmake -S "$root" -B "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DFIELDINPUT_WERROR=ON \
  -DFIELDINPUT_SANITIZE=ON -DFIELDINPUT_BENCH=OFF
cmake --build "$root/build/sanitize" -j "$jobs"
ctest --test-dir "$root/build/sanitize" --output-on-failure -j "$jobs"
