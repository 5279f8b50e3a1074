#!/usr/bin/env bash
# `cmake --install` of the build folder into a temporary DESTDIR puts the program, its desktop
# entry, icon, AppStream component and MIME package in place, and they pass their validators.
# usage: install_test.sh BUILD_DIR APP_ID VES_MIME
set -euo pipefail
build="$1" id="$2" mime="$3"
. "$(dirname "${BASH_SOURCE[0]}")/installed_tree.sh"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" ||
  { cat "$tmp/install.log" >&2; fail "cmake --install failed"; }
check_installed_tree "$tmp/root" "$id" "$mime"
echo "install tree ok"
