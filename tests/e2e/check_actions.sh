#!/usr/bin/env bash
# The main menu, the clipboard document, full screen, the annotation step, handing files to
# the desktop, the open dialog with its code-page row and the history clear, seen from
# outside. Every item starts without settings; the desktop's opener is a stub that logs.
source "$(dirname "$0")/lib.sh"
command -v xclip >/dev/null 2>&1 || e2e_skip "missing tool: xclip"
D="$YOMIRA_HOME/docs"
BUILD=$(cd "$(dirname "$YOMIRA_BIN")" && pwd)
HELP_URL=$(sed -n 's/^YOMIRA_HELP_URL:[A-Z]*=//p' "$BUILD/CMakeCache.txt" 2>/dev/null)
# "auto": the readme.txt beside the program in this build tree.
[ "$HELP_URL" = auto ] && HELP_URL="file://$BUILD/readme.txt"

# The opener: every target on a line of its own.
OPEN_LOG="$E2E_TMP/opened.log"
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<STUB
#!/bin/sh
echo "\$1" >>"$OPEN_LOG"
STUB
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"
unset BROWSER DEFAULT_BROWSER

# fresh [ARGS...]: no settings, then the reader.
fresh() {
  rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini" "$YOMIRA_HOME/ClipBord.txt"
  y_start "$@" || { fail "start $*" "no window"; return 1; }
}
# Changing the window's frame maps a new X window: find the reader's visible one again.
refind() {
  local id
  sleep 0.5
  id=$(y_windows_of "$Y_PID" | head -1)
  [ -n "$id" ] && Y_WIN=$id
  y_focus
}
# clip TEXT: the clipboard holds TEXT (a private xclip serves it until the next clip).
CLIP_PID=
clip() {
  [ -n "$CLIP_PID" ] && kill "$CLIP_PID" 2>/dev/null
  printf '%b' "$1" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  CLIP_PID=$!
  E2E_PIDS+=("$CLIP_PID")
  sleep 0.3
}
last_opened() { tail -1 "$OPEN_LOG" 2>/dev/null; }
# focus_window ID: the keyboard to a window of ours (no window manager).
focus_window() { xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.3; }

# 1. The menu without a document.
fresh && {
  y_click 149 103 1
  sleep 0.3
  expect "menu: windows" 2 "$(y_windows)"
  y_shot actions-menu
  y_key Escape
  y_quit_check "menu"
}

# 2. The clipboard document.
fresh && {
  clip '一行目\n二行目\n'
  y_key ctrl+v
  wait_title "[ClipBord.txt] - yomira"
  expect "clipboard: title" "[ClipBord.txt] - yomira" "$(y_title)"
  expect "clipboard: file" "$(printf '一行目\n二行目\n' | od -An -tx1)" "$(od -An -tx1 "$YOMIRA_HOME/ClipBord.txt")"
  clip '三行目'
  y_key ctrl+shift+v
  sleep 0.5
  expect "clipboard: added" "$(printf '一行目\n二行目\n三行目\n' | od -An -tx1)" "$(od -An -tx1 "$YOMIRA_HOME/ClipBord.txt")"
  y_quit_check "clipboard"
}
fresh && {
  clip 'http://127.0.0.1:9/x'
  y_key ctrl+v
  sleep 1
  expect "clipboard url: no file" no "$([ -e "$YOMIRA_HOME/ClipBord.txt" ] && echo yes || echo no)"
  # Whatever the web road showed (a message, a dialog) is closed.
  for id in $(y_windows_of "$Y_PID"); do
    [ "$id" = "$Y_WIN" ] && continue
    focus_window "$id"
    y_key Escape
  done
  y_focus
  y_quit_check "clipboard url"
}

# 3. Full screen and back.
fresh "$D/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  y_key f
  refind
  expect "full screen: size" 1280x1024 "$(y_geom)"
  expect "full screen: place" 0,0 "$(y_pos)"
  expect "full screen: black" "#000000" "$(y_pixel 5 5)"
  expect "full screen: page margin" "#FFFAF0" "$(y_pixel 414 252)"
  y_shot actions-fullscreen
  y_key f
  refind
  expect "back: size" 492x539 "$(y_geom)"
  expect "back: place" 128,128 "$(y_pos)"
  y_key f
  refind
  xdotool mousemove --window "$Y_WIN" 5 5 click --repeat 2 --delay 80 1
  refind
  expect "double click: size" 492x539 "$(y_geom)"
  y_quit_check "full screen"
}
fresh && {
  y_key f
  sleep 0.3
  expect "no document: size" 209x113 "$(y_geom)"
  y_quit_check "full screen without document"
}

# 4. The annotation step.
fresh "$D/notes.txt" && {
  wait_title "[notes.txt] - yomira"
  y_key F1
  expect "F1: first note" 448,31 "$(y_pointer)"
  expect "F1: hint" 2 "$(y_windows)"
  y_shot actions-annotation
  y_key F1
  expect "F1: second note" 422,73 "$(y_pointer)"
  y_key F1
  expect "F1: menu button" 432,529 "$(y_pointer)"
  expect "F1: no hint" 1 "$(y_windows)"
  y_key F1
  expect "F1: first again" 448,31 "$(y_pointer)"
  y_quit_check "annotation"
}

# 5. The desktop's opener.
fresh "$D/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  y_key ctrl+e
  sleep 0.5
  expect "ctrl+e" "file://$D/p160.txt" "$(last_opened)"
  y_key ctrl+f
  sleep 0.5
  expect "ctrl+f" "file://$D" "$(last_opened | sed 's|/$||')"
  y_key ctrl+m h Return
  sleep 0.5
  expect "readme" "file://$BUILD/readme.txt" "$(last_opened)"
  y_key ctrl+F1
  if id=$(wait_window "オンラインヘルプ"); then
    focus_window "$id"
    y_key Return
    sleep 0.5
    expect "online help" "$HELP_URL" "$(last_opened)"
  else
    fail "online help" "no question"
  fi
  y_focus
  y_quit_check "opener"
}

# 6. The open dialog with a code page chosen.
fresh "$D/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  y_key ctrl+o
  if id=$(wait_window "開く"); then
    focus_window "$id"
    y_shot actions-open
    y_key alt+c Down Down Down Down
    y_key alt+n ctrl+a
    xdotool type --delay 20 "$D/utf7/r7.txt"
    y_key Return
    wait_title "[羅生門 / 芥川龍之介] - yomira"
    expect "open UTF7" "[羅生門 / 芥川龍之介] - yomira" "$(y_title)"
    y_focus
    y_key ctrl+m r
    sleep 0.3
    y_shot actions-reopen
    y_key Escape Escape
  else
    fail "open dialog" "no dialog"
  fi
  y_quit_check "open dialog"
}

# 7. The dialog's place is kept between runs.
fresh "$D/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  y_key ctrl+o
  if id=$(wait_window "開く"); then
    xdotool windowmove --sync "$id" 300 200 windowsize --sync "$id" 700 500 2>/dev/null
    sleep 0.5
    focus_window "$id"
    y_key Escape
  else
    fail "dialog place" "no dialog"
  fi
  y_focus
  y_quit_check "dialog place"
  expect "Dialog x" 300 "$(ini_get yomira.ini Dialog x)"
  expect "Dialog y" 200 "$(ini_get yomira.ini Dialog y)"
  expect "Dialog w" 1000 "$(ini_get yomira.ini Dialog w)"
  expect "Dialog h" 700 "$(ini_get yomira.ini Dialog h)"
  y_start "$D/p160.txt" && {
    wait_title "[p160.txt] - yomira"
    y_key ctrl+o
    if id=$(wait_window "開く"); then
      sleep 0.3
      g=$(xdotool getwindowgeometry "$id" | awk '/Position:/ {p=$2} /Geometry:/ {g=$2} END {print p " " g}')
      expect "dialog restored" "300,200 700x500" "$g"
      focus_window "$id"
      y_key Escape
    else
      fail "dialog restored" "no dialog"
    fi
    y_focus
    y_quit_check "dialog restored"
  }
}

# 8. Clearing the history keeps the current document.
rm -f "$YOMIRA_HOME/yomira.ini"
cat >"$YOMIRA_HOME/yomira.ini" <<INI
[RecentFiles]
file1=$D/b.txt
type1=0
file2=$D/c d.txt
type2=0
INI
y_start "$D/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  y_key ctrl+m p h
  sleep 0.3
  y_quit_check "history clear"
  expect "history: file0" "$D/p160.txt" "$(ini_get yomira.ini RecentFiles file0)"
  expect "history: no file1" "" "$(ini_get yomira.ini RecentFiles file1)"
}

[ -n "$CLIP_PID" ] && kill "$CLIP_PID" 2>/dev/null
e2e_finish
