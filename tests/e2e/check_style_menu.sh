#!/usr/bin/env bash
# The style menu's text-revise entries, seen from outside: for three settings of the
# notation switch, the re-wrap switch and the re-wrap method, the menu opened with real keys
# shows the checks, and greys the bracket-to-ruby entry and the two method entries on the
# menu only. The entries are read from the menu trace.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"
export YOMIRA_TRACE_MENUS=1

# trace ENTRY: the last trace line of a text-revise entry, without its menu columns.
trace() {
  grep -P "^menu\tMenuStyle\tMenuStyleTextRevise$1\t" "$E2E_TMP/stderr" | tail -1 | cut -f4-
}

# row N RUBY_TAG RE_WRAP REWRAPTYPE AOZORA TORUBY FIXED COMPEL (each "enabled=E<TAB>checked=C")
row() {
  local n=$1
  rm -f "$YOMIRA_HOME/yomira_key.ini"
  printf '[option]\nruby_tag=%s\nre_wrap=%s\nReWrapType=%s\ntoRuby=0\n' "$2" "$3" "$4" >"$YOMIRA_HOME/yomira.ini"
  y_start "$docs/p160.txt" || { fail "row $n start" "no window"; return; }
  wait_title "[p160.txt] - yomira" || fail "row $n start" "title $(y_title)"
  y_key ctrl+m
  y_key s
  sleep 0.5
  y_shot "style-menu-$n"
  expect "row $n UseAozora" "$5" "$(trace UseAozora)"
  expect "row $n UseToRuby" "$6" "$(trace UseToRuby)"
  expect "row $n ReWrapFixed" "$7" "$(trace ReWrapFixed)"
  expect "row $n ReWrapCompel" "$8" "$(trace ReWrapCompel)"
  y_key Escape Escape
  y_quit_check "row $n"
}

T=$'\t'
row 1 1 0 0 "enabled=1${T}checked=1" "enabled=1${T}checked=0" "enabled=0${T}checked=1" "enabled=0${T}checked=0"
row 2 0 1 1 "enabled=1${T}checked=0" "enabled=0${T}checked=0" "enabled=1${T}checked=0" "enabled=1${T}checked=1"
row 3 1 1 0 "enabled=1${T}checked=1" "enabled=1${T}checked=0" "enabled=1${T}checked=1" "enabled=1${T}checked=0"
e2e_finish
