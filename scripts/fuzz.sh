#!/usr/bin/env bash
# Builds the libFuzzer programs of the file readers with clang (address and undefined-behaviour
# sanitizers on the whole core) and runs one of them.
#   scripts/fuzz.sh TARGET [SECONDS]     TARGET: ves_reader or dat_reader; SECONDS: 60 by default
# The seeds of fuzz/corpus/TARGET are read but never written: new inputs go to
# build-fuzz/corpus/TARGET, crashes and hangs to build-fuzz/artifacts/TARGET/. Copy an input
# that crashed into fuzz/corpus/TARGET once the fault is fixed, so the replay test keeps it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
target="${1:?usage: scripts/fuzz.sh ves_reader|dat_reader [seconds]}"
seconds="${2:-60}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"

case "$target" in
  ves_reader|dat_reader) ;;
  *) echo "unknown target: $target" >&2; exit 2 ;;
esac

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFIELDINPUT_GUI=OFF -DFIELDINPUT_BENCH=OFF -DFIELDINPUT_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" >/dev/null
cmake --build "$build" -j2 --target "fuzz_$target"

mkdir -p "$build/corpus/$target" "$build/artifacts/$target"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/fuzz/fuzz_$target" -max_len=1048576 -len_control=0 -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
  -print_final_stats=1 -artifact_prefix="$build/artifacts/$target/" \
  "$build/corpus/$target" "$root/fuzz/corpus/$target"
