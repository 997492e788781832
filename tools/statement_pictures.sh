#!/usr/bin/env bash
# Pictures of both statements as the program prints them: a day of SHEETS
# sheets (6) and a season of DAYS counted days (30), every page.
#   bash tools/statement_pictures.sh [OUT [SHEETS [DAYS]]]   (default: docs/statements)
# Needs the bench built (build/bench/bench_prixgeneral) and pdftoppm (poppler-utils).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench=$root/build/bench/bench_prixgeneral
out=$(mkdir -p "${1:-$root/docs/statements}" && cd "${1:-$root/docs/statements}" && pwd)
[ -x "$bench" ] || { echo "statement_pictures.sh: build bench_prixgeneral first ($bench)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/prixgeneral-statements.XXXXXX")
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$bench" --statements-child "$work" "${2:-6}" "${3:-30}"
rm -f "$out"/bilan_journee-*.png "$out"/bilan_saison-*.png
for pdf in bilan_journee bilan_saison; do
    pdftoppm -png -r 60 "$work/$pdf.pdf" "$out/$pdf"
    printf '%s: %s\n' "$pdf.pdf" "$(pdfinfo "$work/$pdf.pdf" | sed -n 's/^Pages: *//p') page(s)"
done
ls "$out"
