#!/usr/bin/env bash
# Ending the reader from outside, names that are not there, and windows kept on the screen.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"
export YOMIRA_TRACE_MESSAGES=1

# fresh DOC: no settings, then the reader with DOC (a name in docs/) open.
fresh() {
  rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini"
  y_start "$docs/$1" || { fail "start $1" "no window"; return 1; }
  wait_title "[$1] - yomira" || fail "start $1" "title $(y_title)"
}
# stopped: a reader still running is killed, so that the next start is not handed over.
stopped() {
  if [ "$1" = timeout ]; then
    kill -9 "$Y_PID" 2>/dev/null
    y_wait_exit 5 >/dev/null
  fi
}
# box_text: the last message box text the reader traced on stderr (2 s).
box_text() {
  local i
  for i in $(seq 1 20); do
    grep -q '^message: ' "$E2E_TMP/stderr" 2>/dev/null && break
    sleep 0.1
  done
  grep '^message: ' "$E2E_TMP/stderr" 2>/dev/null | tail -1
}
# other_window: a visible window of the reader other than $1 (5 s).
other_window() {
  local i id
  for i in $(seq 1 50); do
    id=$(y_windows_of "$Y_PID" | grep -vx "$1" | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# 1. A signal closes the window as its close button does: the reading position is kept.
for sig in TERM HUP INT; do
  fresh p160.txt && {
    y_key Left Left Left
    sleep 0.3
    kill "-$sig" "$Y_PID"
    st=$(y_wait_exit 10)
    expect "SIG$sig exit status" 0 "$st"
    stopped "$st"
    expect "SIG$sig keeps the view" 3000 "$(ini_get yomira.ini RecentFiles rate0 2>/dev/null)"
    [ -f "$YOMIRA_HOME/yomira_key.ini" ] && pass "SIG$sig writes the key file" || fail "SIG$sig" "no key file"
  }
done

# missing_start NAME ARG: the reader started with ARG shows the no-file box for the absolute
# path NAME; Esc closes it, the start-up window follows and Esc quits.
missing_start() {
  rm -f "$YOMIRA_HOME/yomira.ini"
  y_start "$2"
  if [ -z "$Y_WIN" ]; then
    fail "$1" "no window"
    stopped timeout
    return
  fi
  expect "$1: message" "message: [ $1 ]\\nファイルがありません。" "$(box_text)"
  [ -n "${3:-}" ] && y_shot "$3"
  local box=$Y_WIN st
  y_key Escape
  if Y_WIN=$(other_window "$box"); then
    y_focus
    expect "$1: start-up window" "yomira" "$(y_title)"
    st=$(y_quit)
    expect "$1: Esc quits" 0 "$st"
    stopped "$st"
  else
    fail "$1" "no main window after the box"
    stopped timeout
  fi
}

# 2. A name that is not there is said so, with its absolute path; a FIFO is never opened.
cd "$docs" && missing_start "$docs/nosuch.txt" nosuch.txt session-missing-file
cd - >/dev/null
missing_start /no/such/file.txt /no/such/file.txt
mkfifo "$docs/pipe.txt"
missing_start "$docs/pipe.txt" "$docs/pipe.txt"
rm -f "$docs/pipe.txt"

# The same for a name handed over by a second start, from the sender's folder.
fresh p160.txt && {
  main=$Y_WIN
  st=$( (cd "$docs" && timeout 5 "$YOMIRA_BIN" nosuch2.txt >/dev/null 2>&1); echo $?)
  expect "second start exits 1" 1 "$st"
  if Y_WIN=$(other_window "$main"); then
    y_focus
    expect "forwarded missing file" "message: [ $docs/nosuch2.txt ]\\nファイルがありません。" "$(box_text)"
    y_key Escape
  else
    fail "forwarded missing file" "no message box"
  fi
  Y_WIN=$main
  y_focus
  expect "forwarded: the document stays" "[p160.txt] - yomira" "$(y_title)"
  st=$(y_quit)
  expect "forwarded: quit" 0 "$st"
  stopped "$st"
}

# 3. A saved position off every screen: the window comes up on the screen, its size kept.
on_screen() {
  local pos geom x y w h
  pos=$(y_pos)
  geom=$(y_geom)
  x=${pos%,*}; y=${pos#*,}; w=${geom%x*}; h=${geom#*x}
  if [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 1024 ]; then
    pass "$1 ($pos, $geom)"
  else
    fail "$1" "at $pos size $geom"
  fi
}
printf '[option]\nx=5000\ny=5000\n' >"$YOMIRA_HOME/yomira.ini"
y_start && {
  on_screen "start-up window on the screen"
  st=$(y_quit)
  stopped "$st"
  x=$(ini_get yomira.ini option x)
  y=$(ini_get yomira.ini option y)
  [ "$x" -lt 1280 ] && [ "$y" -lt 1024 ] && pass "the saved position is on the screen ($x,$y)" ||
    fail "saved position" "$x,$y"
}
printf '[option]\nx=5000\ny=5000\n' >"$YOMIRA_HOME/yomira.ini"
y_start "$docs/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  expect "laid-out size kept" "492x539" "$(y_geom)"
  on_screen "laid-out window on the screen"
  y_shot session-off-screen
  st=$(y_quit)
  stopped "$st"
}
# A layout larger than the screen keeps its size, its top-left corner on the screen.
printf '[option]\nx=300\ny=200\nf_size=256\n' >"$YOMIRA_HOME/yomira.ini"
y_start "$docs/p160.txt" && {
  wait_title "[p160.txt] - yomira"
  expect "large layout at the screen's corner" "0,0" "$(y_pos)"
  st=$(y_quit)
  stopped "$st"
}

e2e_finish
