#!/usr/bin/env bash
# The English translation is complete and up to date: lupdate run over the sources on a copy of
# translations/fieldinput_en.ts changes nothing, and no message is unfinished.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
ts="$root/translations/fieldinput_en.ts"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/fieldinput_en.ts"
bash "$root/scripts/update-translations.sh" "$work/fieldinput_en.ts"
status=0
if ! cmp -s "$ts" "$work/fieldinput_en.ts"; then
  echo "translations/fieldinput_en.ts is out of date; run scripts/update-translations.sh and translate:" >&2
  diff -u "$ts" "$work/fieldinput_en.ts" | head -60 >&2 || true
  status=1
fi
unfinished=$(grep -c 'type="unfinished"' "$work/fieldinput_en.ts" || true)
if [ "$unfinished" != 0 ]; then
  echo "$unfinished messages are unfinished in the English translation" >&2
  status=1
fi
[ $status = 0 ] && echo "English translation: $(grep -c '<message>' "$ts") messages, all finished"
exit $status
