#!/usr/bin/env bash
# Every developer tool given as an argument answers --help with a usage line on stdout and
# exit status 0.
set -u
failed=0
for tool in "$@"; do
  out=$("$tool" --help 2>/dev/null)
  rc=$?
  name=$(basename "$tool")
  if [ "$rc" -ne 0 ]; then
    echo "FAIL $name --help: exit $rc"; failed=1
  elif ! grep -q "^usage: $name" <<<"$out"; then
    echo "FAIL $name --help: no usage line in: $out"; failed=1
  else
    echo "ok $name"
  fi
done
exit $failed
