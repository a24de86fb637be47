#!/usr/bin/env bash
# Refreshes the translation sources from the code (run after adding or changing a text).
#   scripts/update_translations.sh [OUTDIR]
# With OUTDIR the .ts files are copied there first and updated there, so that a check can see
# what an update would find without touching the repository.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/src/app/translations}"
lupdate="${LUPDATE:-}"
if [ -z "$lupdate" ]; then
    for c in /usr/lib/qt6/bin/lupdate "$(command -v lupdate6 || true)" "$(command -v lupdate || true)"; do
        if [ -n "$c" ] && [ -x "$c" ]; then lupdate="$c"; break; fi
    done
fi
[ -n "$lupdate" ] || { echo "lupdate not found (Debian: qt6-l10n-tools)" >&2; exit 2; }

if [ "$out" != "$root/src/app/translations" ]; then
    mkdir -p "$out"
    cp "$root"/src/app/translations/*.ts "$out"/
fi

cd "$root"
core=(src/base src/model src/codegen src/transfer)
# Chinese source texts: the window's tr() texts and the core's TGW_TR texts, into English.
"$lupdate" -silent -locations relative -no-obsolete \
    -tr-function-alias QT_TRANSLATE_NOOP+=TGW_TR,QT_TRANSLATE_NOOP+=TGW_TR_NOOP \
    -source-language zh_CN -target-language en \
    -I src $(cd src/app && ls *.cpp *.h | grep -v '^qt_texts.cpp$' | sed 's|^|src/app/|') src/view "${core[@]}" -ts "$out/tessaglyphworks_en.ts"
# English source texts: the core's TGW_TR_EN texts (shared with tgw) and the few texts of Qt
# that Qt's own Chinese catalogue lacks, into Chinese.
"$lupdate" -silent -locations relative -no-obsolete \
    -tr-function-alias QT_TRANSLATE_NOOP=TGW_TR_EN,QT_TRANSLATE_NOOP+=TGW_TR_EN_NOOP,tr=TGW_NO_TR,translate=TGW_NO_TR \
    -source-language en -target-language zh_CN \
    -I src "${core[@]}" src/app/qt_texts.cpp -ts "$out/tessaglyphworks_zh_CN.ts"
