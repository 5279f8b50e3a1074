#!/usr/bin/env bash
# Builds the Debian package of the program: installs what is missing, configures a Release
# build without tests and benchmarks in build/deb, builds it, runs cpack and prints the path of
# the .deb (install it with: apt install ./fieldinput_<version>_<arch>.deb).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/deb"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DFIELDINPUT_GUI=ON -DFIELDINPUT_TESTS=OFF \
  -DFIELDINPUT_BENCH=OFF -DFIELDINPUT_SANITIZE=OFF >&2
cmake --build "$build" -j "$(nproc)" >&2
rm -rf "$build/package"
(cd "$build" && cpack -G DEB -B "$build/package") >&2
debs=("$build"/package/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "cpack made no single .deb in $build/package" >&2
  exit 1
fi
echo "${debs[0]}"
