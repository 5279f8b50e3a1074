#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build/release" -j "$(nproc)" --target fieldinput
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot be shown." >&2
  echo "Run this command from a desktop session, or start it under a virtual display: xvfb-run -a $0" >&2
  exit 1
fi
exec "$root/build/release/fieldinput" "$@"
