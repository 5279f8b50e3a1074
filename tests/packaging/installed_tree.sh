# Sourced by the packaging tests: checks an installed tree (a DESTDIR or an unpacked .deb).
#   check_installed_tree ROOT APP_ID VES_MIME
# ROOT holds usr/...; the files must be where the desktop looks for them, and the desktop
# entry, the AppStream component and the MIME package must pass their validators.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

need_tool() {
  command -v "$1" >/dev/null || fail "$1 is missing (Debian package $2, see scripts/debian-packages.txt)"
}

check_installed_tree() {
  local root="$1" id="$2" mime="$3"
  local usr="$root/usr"
  local desktop="$usr/share/applications/$id.desktop"
  local metainfo="$usr/share/metainfo/$id.metainfo.xml"
  local mimexml="$usr/share/mime/packages/$id.xml"
  local icon="$usr/share/icons/hicolor/scalable/apps/$id.svg"
  need_tool desktop-file-validate desktop-file-utils
  need_tool appstreamcli appstream
  need_tool update-mime-database shared-mime-info
  need_tool xmllint libxml2-utils

  # Exactly the program's files, nothing empty, nothing elsewhere.
  local expected actual
  expected="$(printf '%s\n' usr/bin/fieldinput "usr/share/applications/$id.desktop" \
    "usr/share/doc/fieldinput/copyright" "usr/share/icons/hicolor/scalable/apps/$id.svg" \
    "usr/share/metainfo/$id.metainfo.xml" "usr/share/mime/packages/$id.xml" | LC_ALL=C sort)"
  actual="$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)"
  [ "$expected" = "$actual" ] || fail "the tree holds
$actual
instead of
$expected"
  [ -x "$usr/bin/fieldinput" ] || fail "usr/bin/fieldinput is not executable"
  local empty
  empty="$(find "$root" -type f -empty)"
  [ -z "$empty" ] || fail "empty files: $empty"

  desktop-file-validate "$desktop" || fail "desktop-file-validate refused the desktop entry"
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused the metainfo file"
  # The component's launchable, desktop entry and icon found together in the tree.
  appstreamcli validate-tree --no-net "$root" || fail "appstreamcli refused the installed tree"
  xmllint --noout "$icon" || fail "the icon is not well-formed SVG"

  # The desktop entry: the program, its icon, both languages, files named on the command line,
  # the .ves type and plain text (the .dat files) for "Open with".
  local key
  for key in "Exec=fieldinput %F" "Icon=$id" "Name=FieldInput – resistivity field data input" \
             "Name[zh_CN]=手工输入野外电法观测数据" "MimeType=$mime;text/plain;"; do
    grep -qxF "$key" "$desktop" || fail "the desktop entry lacks the line '$key'"
  done
  grep -q '^Comment=' "$desktop" && grep -q '^Comment\[zh_CN\]=' "$desktop" ||
    fail "the desktop entry lacks an English or a Chinese comment"

  # The MIME package, compiled as the desktop does: *.ves is the program's type, *.dat is
  # left alone.
  local share mimedir
  share="$(mktemp -d)"
  mimedir="$share/mime"
  mkdir -p "$mimedir/packages"
  cp "$mimexml" "$mimedir/packages/"
  XDG_DATA_DIRS="$share" update-mime-database "$mimedir" || fail "update-mime-database refused the MIME package"
  grep -qx "[0-9]*:$mime:\*\.ves" "$mimedir/globs2" || fail "*.ves is not declared as $mime"
  if grep -q '\*\.dat' "$mimedir/globs2"; then fail "the MIME package claims *.dat"; fi
  grep -qx "$mime text/plain" "$mimedir/subclasses" || fail "$mime is not a kind of text/plain"
  rm -rf "$share"
}
