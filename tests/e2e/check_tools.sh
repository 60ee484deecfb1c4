#!/usr/bin/env bash
# Tools and filters from the settings file, seen from outside: a gzipped document read
# through its filter, a tool started by its shortcut with every value one argument, the
# filter checked in the menu, and both sections kept at exit.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"
dump_tool="$E2E_ROOT/tests/support/argv_dump.sh"
export ARGV_DUMP_OUT="$E2E_TMP/argv.txt"

mkdir -p "$docs/a b"
gzip -c "$docs/p160.txt" >"$docs/a b/p160.txt.gz"
doc="$docs/a b/p160.txt.gz"
cat >"$YOMIRA_HOME/yomira.ini" <<INI
[Tools0]
Caption=記録
FilePath=$dump_tool
Param="%F" -l%L -n%N %U
ShortCut=24660
[Filter0]
Caption=展開
FilePath=/bin/gzip
Param=-dc %F
ShortCut=0
Filter=*.gz
INI

# 1. The document comes through the filter.
if y_start "$doc"; then
  if wait_title "[p160.txt.gz] - yomira"; then pass "filtered caption"; else fail "filtered caption" "$(y_title)"; fi
  sleep 0.3
  y_shot tools-filtered

  # 2. View 3, then the tool by its key: one argument per value, the line of the view.
  y_key Left Left
  y_key ctrl+shift+t
  for _ in $(seq 1 50); do [ -f "$ARGV_DUMP_OUT" ] && break; sleep 0.1; done
  if [ -f "$ARGV_DUMP_OUT" ]; then
    expect "tool arguments" "$(printf '%s\n' "$doc" -l33 -n1 "$doc")" "$(cat "$ARGV_DUMP_OUT")"
  else
    fail "tool arguments" "no dump within 5 s"
  fi

  # 3. The main menu, then 一時処理: the filter is checked.
  y_key ctrl+m
  y_key m
  sleep 0.3
  y_shot tools-menu
  expect "menu open" 3 "$(y_windows)"
  y_key Escape Escape

  # 4. Quit; the sections stay as they were.
  expect "quits" 0 "$(y_quit)"
  expect "tool caption kept" 記録 "$(ini_get yomira.ini Tools0 Caption)"
  expect "tool program kept" "$dump_tool" "$(ini_get yomira.ini Tools0 FilePath)"
  expect "tool template kept" '"%F" -l%L -n%N %U' "$(ini_get yomira.ini Tools0 Param)"
  expect "tool shortcut kept" 24660 "$(ini_get yomira.ini Tools0 ShortCut)"
  expect "filter caption kept" 展開 "$(ini_get yomira.ini Filter0 Caption)"
  expect "filter program kept" /bin/gzip "$(ini_get yomira.ini Filter0 FilePath)"
  expect "filter template kept" "-dc %F" "$(ini_get yomira.ini Filter0 Param)"
  expect "filter masks kept" "*.gz" "$(ini_get yomira.ini Filter0 Filter)"
  expect "position saved" 2000 "$(ini_get yomira.ini RecentFiles rate0)"
else
  fail "start" "no window"
fi

e2e_finish
