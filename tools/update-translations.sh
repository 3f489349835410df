#!/usr/bin/env bash
# Collects the translatable texts of src/ into the translation sources, keeping every
# translation already made; texts that left the code are dropped. Afterwards translate
# the new (unfinished) entries of language_zh.ts, for instance with Qt Linguist;
# language_en.ts stays in the source language. The build compiles both, and
# tst_translator fails while language_zh.ts holds an untranslated text.
# Texts that stay English in every language (texts stored as settings, the " MB"
# suffix, language names, protocol names) are best not marked for translation; one
# that is marked gets its own text as its translation.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
lupdate=${LUPDATE:-lupdate}
tsdir=src/resources/translations
common=(-recursive -no-obsolete -locations none -extensions cpp,h -source-language en)
"$lupdate" "${common[@]}" src -target-language zh_CN -ts "$tsdir/language_zh.ts"
"$lupdate" "${common[@]}" src -target-language en -ts "$tsdir/language_en.ts"
