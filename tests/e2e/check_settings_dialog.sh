#!/usr/bin/env bash
# The settings dialog with real keys: where it opens, a refused style name, a font size
# applied with Enter, a style saved, the place kept; then the style named at start-up.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"

rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini"
y_start "$docs/p160.txt" || { fail "start" "no window"; e2e_finish; }
wait_title "[p160.txt] - yomira" || fail "start" "title $(y_title)"
before=$(y_geom)

y_key F9
if dlg=$(wait_window "^設定$"); then
  pass "dialog shown"
  xdotool windowfocus --sync "$dlg" 2>/dev/null
  sleep 0.3
  # The layout's 281 x 463 is the least: the window grows where its texts need room.
  size=$(xdotool getwindowgeometry "$dlg" | awk '/Geometry:/ {print $2}')
  if [ "${size%x*}" -ge 281 ] && [ "${size#*x}" -ge 463 ]; then pass "dialog size $size"; else fail "dialog size" "$size"; fi
  expect "dialog place" 209,152 "$(xdotool getwindowgeometry "$dlg" | awk '/Position:/ {print $2}')"
  y_shot settings-style
  xdotool type --delay 50 "../x"
  y_key alt+s
  if box=$(wait_window "^yomira$"); then
    pass "bad name refused"
    xdotool windowfocus --sync "$box" 2>/dev/null
    y_key Return
  else
    fail "bad name refused" "no message box"
  fi
  [ -z "$(ls -A "$YOMIRA_HOME/Style" 2>/dev/null)" ] && pass "no style written" || fail "no style written" "$(ls "$YOMIRA_HOME/Style")"
  xdotool windowfocus --sync "$dlg" 2>/dev/null
  sleep 0.3
  y_key ctrl+a
  xdotool type --delay 50 day
  y_key Tab Tab ctrl+a
  xdotool type --delay 50 20
  y_key Return
  sleep 0.5
  [ "$(y_geom)" != "$before" ] && pass "window refitted ($before -> $(y_geom))" || fail "window refitted" "still $before"
  y_key alt+s
  if ask=$(wait_window "ページスタイル設定保存"); then
    xdotool windowfocus --sync "$ask" 2>/dev/null
    y_key Return
  else
    fail "save question" "no box"
  fi
  sleep 0.3
  expect "style file" 20 "$(ini_get Style/day.ini Style FontSize)"
  xdotool windowfocus --sync "$dlg" 2>/dev/null
  xdotool windowmove --sync "$dlg" 300 200 2>/dev/null
  sleep 0.3
  y_key alt+c
  sleep 0.3
else
  fail "dialog shown" "no window 設定"
fi
y_focus
y_quit_check "reader"
expect "f_size" 20 "$(ini_get yomira.ini option f_size)"
expect "PageStyleName" day "$(ini_get yomira.ini option PageStyleName)"
expect "OptionWindow x" 300 "$(ini_get yomira.ini OptionWindow x)"
expect "OptionWindow y" 200 "$(ini_get yomira.ini OptionWindow y)"

# A style named at start-up, found whatever its case.
sed -i 's/^f_size=20$/f_size=14/' "$YOMIRA_HOME/yomira.ini"
y_start -SDAY "$docs/p160.txt" || fail "start -S" "no window"
wait_title "[p160.txt] - yomira" || fail "start -S" "title $(y_title)"
y_quit_check "reader -S"
expect "f_size from the style" 20 "$(ini_get yomira.ini option f_size)"
expect "PageStyleName from the style" day "$(ini_get yomira.ini option PageStyleName)"
e2e_finish
