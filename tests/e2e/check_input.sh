#!/usr/bin/env bash
# Mouse bindings, the border drag, the layout-step keys, the text-revise keys and the
# annotation hint, seen from outside. Every run starts without settings unless it writes
# some; the result is mostly the reading position saved at exit (rate0).
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"

# fresh DOC [INI [KEYS]]: the settings file (and key file) given, else none; the reader
# with DOC (a name in docs/, or "" for none) open.
fresh() {
  rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini"
  [ -n "${2:-}" ] && printf "$2" >"$YOMIRA_HOME/yomira.ini"
  [ -n "${3:-}" ] && printf "$3" >"$YOMIRA_HOME/yomira_key.ini"
  if [ -z "$1" ]; then
    y_start || { fail "start" "no window"; return 1; }
    return 0
  fi
  y_start "$docs/$1" || { fail "start $1" "no window"; return 1; }
  wait_title "[$1] - yomira" || fail "start $1" "title $(y_title)"
}
quit() { y_quit_check "$1"; }
# rate NAME EXPECTED: quits and checks the saved position.
rate() {
  quit "$1"
  expect "$1" "$2" "$(ini_get yomira.ini RecentFiles rate0 2>/dev/null)"
}
opt() { ini_get yomira.ini option "$1"; }
# settle EXPECTED SECONDS CMD...: runs CMD every 50 ms until it prints EXPECTED (at most
# SECONDS), then prints what it printed last. Under load the reader may answer late.
settle() {
  local want=$1 secs=$2 got i
  shift 2
  for i in $(seq 1 $((secs * 20))); do
    got=$("$@")
    [ "$got" = "$want" ] && break
    sleep 0.05
  done
  echo "$got"
}

# 1. Clicks on the page: left on, right back, middle nothing.
fresh p160.txt && { y_click 250 250 1; rate "left click" 1000; }
fresh p160.txt && { y_click 250 250 1; y_click 250 250 1; y_click 250 250 3; rate "left left right" 1000; }
fresh p160.txt && { y_click 250 250 2; rate "middle click" 0; }

# 2. Both clicks of a quick pair turn.
fresh p160.txt && {
  xdotool mousemove --window "$Y_WIN" 250 250 click --repeat 2 --delay 60 1
  sleep 0.5
  rate "double click" 2000
}

# 3. The wheel: toward the user on, away back.
fresh p160.txt && { y_click 250 250 5; rate "wheel down" 1000; }
fresh p160.txt && { y_click 250 250 5; y_click 250 250 5; y_click 250 250 4; rate "wheel down down up" 1000; }

# 4. Side buttons: bound they turn; unbound they do nothing and the keys still work.
fresh p160.txt '[XButton]\n1=1\n' && { y_click 250 250 8; rate "side button bound" 1000; }
fresh p160.txt && { y_click 250 250 8; y_key Left; rate "side button unbound" 1000; }
# A quick double press is two presses (the second also comes as a double click): two pages.
fresh p160.txt '[XButton]\n1=1\n' && {
  xdotool mousemove --window "$Y_WIN" 250 250 click --repeat 2 --delay 80 8
  sleep 0.4
  rate "side button double press" 2000
}
fresh p160.txt '[XButton]\n1=1\n' && {
  xdotool mousemove --window "$Y_WIN" 250 250 click --repeat 3 --delay 80 8
  sleep 0.4
  rate "side button triple press" 3000
}

# 5. Code 3: the click's side decides.
fresh p160.txt '[mouse]\n0=3\n' && {
  y_key Left Left
  y_click 300 250 1
  y_click 246 250 1
  rate "by side" 2000
}

# 6. Shift + right click: the main menu.
fresh p160.txt && {
  xdotool keydown shift
  y_click 250 250 3
  xdotool keyup shift
  expect "shift right click opens the menu" 2 "$(settle 2 2 y_windows)"
  y_key Escape
  expect "Esc closes it" 1 "$(settle 1 2 y_windows)"
  quit "shift right click"
}

# 7. The border drag: the grid refits, with Ctrl the font; the page's own size changes
# nothing.
fresh p160.txt && {
  # A real drag holds a button: the preview stays up for as long as it is held, however
  # late the reader answers, and the drag ends at the release. The button goes down on the
  # bare screen beside the window, so the page takes no click.
  IFS=, read -r wx wy <<<"$(y_pos)"
  px=$((wx + 800 + 40))
  [ "$px" -lt 1270 ] || px=$((wx - 40))
  xdotool mousemove "$px" $((wy + 20)) mousedown 1
  xdotool windowsize "$Y_WIN" 800 700
  expect "resize preview shown" 2 "$(settle 2 10 y_windows)"
  y_shot input-resize
  expect "resize preview held" 2 "$(sleep 0.5; y_windows)"
  xdotool mouseup 1
  expect "resize snaps to the grid" 778x707 "$(settle 778x707 5 y_geom)"
  expect "preview gone" 1 "$(settle 1 2 y_windows)"
  quit "resize"
  expect "resize c_size" 27 "$(opt c_size)"
  expect "resize v_size" 44 "$(opt v_size)"
}
fresh p160.txt && {
  xdotool keydown ctrl
  y_resize 800 700
  settle 796x673 5 y_geom >/dev/null
  xdotool keyup ctrl
  expect "ctrl resize snaps to the font" 796x673 "$(y_geom)"
  quit "ctrl resize"
  expect "ctrl resize f_size" 18 "$(opt f_size)"
  expect "ctrl resize ruby_size" 23 "$(opt ruby_size)"
}
fresh p160.txt && {
  y_resize 492 539
  expect "resize to the same size" 492x539 "$(y_geom)"
  quit "same size"
  expect "same size c_size" 16 "$(opt c_size)"
}

# 8. The step keys and a wheel binding of the font.
fresh p160.txt && {
  y_key Left Left Left Left ctrl+shift+Right
  expect "a line more" 518x539 "$(settle 518x539 5 y_geom)"
  quit "a line more"
  expect "a line more c_size" 17 "$(opt c_size)"
  # Line 65, the first of view 5, is in view 4 of 17 lines (lines 52..68): 51 x 10000 / 160.
  expect "a line more keeps the place" 3187 "$(ini_get yomira.ini RecentFiles rate0)"
}
fresh p160.txt && {
  y_key ctrl+shift+Down
  expect "a character more" 492x553 "$(settle 492x553 5 y_geom)"
  quit "a character more"
  expect "a character more v_size" 33 "$(opt v_size)"
}
fresh p160.txt '[mouse]\n6=3\n' && {
  xdotool keydown ctrl
  y_click 250 250 4
  xdotool keyup ctrl
  expect "ctrl wheel up: font up" 508x572 "$(settle 508x572 5 y_geom)"
  quit "ctrl wheel"
  expect "ctrl wheel f_size" 15 "$(opt f_size)"
}

# 9. A style toggle by its key, with no document.
fresh "" "" '[MainHotKey]\nKey0=16456\n' && {
  y_key ctrl+h
  quit "style key"
  expect "style key ruby_tag" 0 "$(opt ruby_tag)"
  expect "style key kept" 16456 "$(ini_get yomira_key.ini MainHotKey Key0)"
}

# 10. Auto-indent for this document: the first cell of the first line empties.
fresh p160.txt && {
  expect "first cell inked" 1 "$(y_ink 430 25 14 14)"
  y_key ctrl+i
  expect "indented" 0 "$(settle 0 3 y_ink 430 25 14 14)"
  y_shot input-indent
  y_key ctrl+i
  expect "indent off" 1 "$(settle 1 3 y_ink 430 25 14 14)"
  quit "indent"
}

# 11. The note of the annotated character beside the pointer.
fresh notes.txt && {
  xdotool mousemove --window "$Y_WIN" 448 31
  expect "note shown" 2 "$(settle 2 1 y_windows)"
  y_shot input-hint
  xdotool mousemove --window "$Y_WIN" 300 300
  expect "note gone" 1 "$(settle 1 2 y_windows)"
  quit "note"
}

e2e_finish
