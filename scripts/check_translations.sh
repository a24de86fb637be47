#!/usr/bin/env bash
# Fails when the translation sources are not up to date with the code: a text without a
# translation (new or changed in the code) or a translation whose text the code no longer has.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$root/scripts/update_translations.sh" "$tmp"

status=0
for ts in "$tmp"/*.ts; do
    name="$(basename "$ts")"
    unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
    vanished=$(grep -cE 'type="(vanished|obsolete)"' "$ts" || true)
    messages=$(grep -c '<message' "$ts" || true)
    before=$(grep -c '<message' "$root/src/app/translations/$name" || true)
    echo "$name: $messages texts, $unfinished unfinished, $vanished vanished, $before in the repository"
    if [ "$unfinished" -ne 0 ] || [ "$vanished" -ne 0 ] || [ "$messages" -ne "$before" ]; then
        grep -B4 'type="unfinished"' "$ts" | grep '<source>' | sed 's/^ */  untranslated: /' || true
        status=1
    fi
done
[ $status -eq 0 ] || echo "Run 'make translations' and translate what it marks unfinished." >&2
exit $status
