#!/usr/bin/env bash
# The Debian package made by cpack from the already built tree: its control data (name,
# version, maintainer, computed dependencies plus the Qt platform plugin and the Chinese font,
# no maintainer scripts), its files (as an installed tree, see installed_tree.sh), and the
# unpacked program starts on a virtual X display and ends cleanly.
# usage: deb_test.sh BUILD_DIR APP_ID VES_MIME VERSION
set -euo pipefail
build="$1" id="$2" mime="$3" version="$4"
. "$(dirname "${BASH_SOURCE[0]}")/installed_tree.sh"
need_tool cpack cmake
need_tool dpkg-shlibdeps dpkg-dev
need_tool dpkg-deb dpkg
need_tool xvfb-run xvfb
need_tool xauth xauth

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/package") >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
debs=("$tmp"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
deb="${debs[0]}"
arch="$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "fieldinput_${version}_${arch}.deb" ] || fail "unexpected file name $(basename "$deb")"

# Control data.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = fieldinput ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), not $version"
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture)"
[ "$(field Maintainer)" = "FieldInput development team <fieldinput@example.org>" ] ||
  fail "maintainer $(field Maintainer)"
depends="$(field Depends)"
for p in fonts-wqy-microhei qt6-qpa-plugins qt6-translations-l10n libqt6widgets6 libqt6charts6 libqt6svg6 libc6 libcsv3; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# Every dependency is a real package (here, all are installed: the program was built with them).
for p in $(sed 's/([^)]*)//g; s/[,|]/ /g' <<<"$depends"); do
  dpkg-query -W "$p" >/dev/null 2>&1 || fail "dependency $p is not a Debian package installed here"
done
control="$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | LC_ALL=C sort | tr '\n' ' ')"
[ "$control" = "control md5sums " ] || fail "control files: $control (no maintainer scripts expected)"

# The files, as the installed tree.
dpkg-deb -x "$deb" "$tmp/root"
check_installed_tree "$tmp/root" "$id" "$mime"

# The unpacked program starts on a virtual X display (its own empty home for the recovery
# files and settings), shows no message (a recovery folder it cannot make would be said) and
# quits by itself through the test script hook.
mkdir -p "$tmp/home/runtime"
chmod 700 "$tmp/home/runtime"
printf 'print started\nno-modal\nquit\n' >"$tmp/script"
set +e
HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/home/runtime" QT_QPA_PLATFORM=xcb \
  FIELDINPUT_TEST_SCRIPT="$tmp/script" ASAN_OPTIONS=detect_leaks=0 \
  xvfb-run -a timeout -k 10 120 "$tmp/root/usr/bin/fieldinput" >"$tmp/out" 2>"$tmp/err"
rc=$?
set -e
[ $rc -eq 0 ] && grep -qx started "$tmp/out" ||
  { cat "$tmp/out" "$tmp/err" >&2; fail "the unpacked program did not start and end cleanly (exit status $rc)"; }
echo "package $(basename "$deb") ok"
