#!/bin/sh
# Writes each of its arguments on a line of its own to $ARGV_DUMP_OUT, all at once (the
# file appears complete), so tests can see exactly what a launcher passed.
out=${ARGV_DUMP_OUT:?ARGV_DUMP_OUT is not set}
tmp="$out.part.$$"
: >"$tmp"
for a in "$@"; do printf '%s\n' "$a" >>"$tmp"; done
mv "$tmp" "$out"
