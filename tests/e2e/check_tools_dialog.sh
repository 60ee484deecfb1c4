#!/usr/bin/env bash
# The tools dialog driven with real keys: a tool added on the first tab, a book shortcut
# edited on the last, both saved at exit.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"

rm -f "$YOMIRA_HOME/yomira.ini"
printf '[MainHotKey]\nKey48=123\n' >"$YOMIRA_HOME/yomira_key.ini"
y_start "$docs/p160.txt" || { fail "start" "no window"; e2e_finish; }
wait_title "[p160.txt] - yomira" || fail "start" "title $(y_title)"

y_key F12
if dlg=$(wait_window "環境設定"); then
  pass "dialog shown"
  xdotool windowfocus --sync "$dlg" 2>/dev/null
  sleep 0.3
  expect "dialog size" "545x409" "$(xdotool getwindowgeometry "$dlg" | awk '/Geometry:/ {print $2}')"
  y_shot tools-tab0
  y_key Tab
  xdotool type --delay 50 viewer
  y_key Tab
  xdotool type --delay 50 /usr/bin/env
  y_key Tab
  xdotool type --delay 50 %F
  y_key Tab ctrl+shift+f Tab space
  y_shot tools-added
  y_key ctrl+Tab ctrl+Tab ctrl+Tab Home Down Down Down Tab ctrl+k Tab space
  y_shot tools-book-key
  y_key Escape
  for _ in $(seq 1 30); do
    [ -z "$(xdotool search --onlyvisible --name '環境設定' 2>/dev/null)" ] && break
    sleep 0.1
  done
  [ -z "$(xdotool search --onlyvisible --name '環境設定' 2>/dev/null)" ] && pass "Escape closes" || fail "Escape closes" "still shown"
else
  fail "dialog shown" "no window 環境設定"
fi

y_focus
y_quit_check "reader"
expect "Tools0 Caption" viewer "$(ini_get yomira.ini Tools0 Caption)"
expect "Tools0 FilePath" /usr/bin/env "$(ini_get yomira.ini Tools0 FilePath)"
expect "Tools0 Param" %F "$(ini_get yomira.ini Tools0 Param)"
expect "Tools0 ShortCut" 24646 "$(ini_get yomira.ini Tools0 ShortCut)"
expect "BookHotKey Key60" 16459 "$(ini_get yomira_key.ini BookHotKey Key60)"
expect "MainHotKey Key48" 123 "$(ini_get yomira_key.ini MainHotKey Key48)"
e2e_finish
