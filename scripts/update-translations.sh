#!/usr/bin/env bash
# Refreshes translations/fieldinput_en.ts from the sources: the window's tr() and translate()
# texts and the core's texts marked with QT_TRANSLATE_NOOP("core", ...). New texts come in
# unfinished; translate them (Qt Linguist, or by hand in the .ts) and commit the .ts.
# usage: scripts/update-translations.sh [TS_FILE]   (LUPDATE names the lupdate program)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
ts="${1:-$root/translations/fieldinput_en.ts}"
lupdate="${LUPDATE:-}"
if [ -z "$lupdate" ]; then
  for candidate in /usr/lib/qt6/bin/lupdate "$(command -v lupdate6 || true)" "$(command -v lupdate || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then lupdate="$candidate"; break; fi
  done
fi
[ -n "$lupdate" ] || { echo "lupdate not found (Debian package qt6-l10n-tools)" >&2; exit 1; }
cd "$root"
"$lupdate" -silent -locations none -no-obsolete -source-language zh_CN -target-language en \
  -I src src/ui src/app src/session src/io src/plot src/interp -ts "$ts"
