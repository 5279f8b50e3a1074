#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them all (or those whose name matches $1).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DFIELDINPUT_GUI=OFF
cmake --build "$root/build/bench" -j "$(nproc)"
for b in "$root"/build/bench/bench/*_bench; do
  "$b" --benchmark_filter="${1:-.}"
done
