#!/usr/bin/env bash
# pngcheck over the outputs png_conformance --roundtrip keeps: every one must pass -q.
#   pngcheck_roundtrip.sh PNG_CONFORMANCE DATA_DIR
# Exit 77 (skipped) when pngcheck is not installed (scripts/install-deps installs it).
set -uo pipefail
conformance=$1
data=$2
command -v pngcheck >/dev/null || { echo "pngcheck not installed" >&2; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$conformance" --roundtrip --keep "$dir" "$data" >/dev/null
written=$(find "$dir" -name '*.png' | wc -l)
echo "kept $written files"
[ "$written" -gt 0 ] || { echo "nothing kept" >&2; exit 1; }
find "$dir" -name '*.png' -exec pngcheck -q {} +
