#!/usr/bin/env bash
# The book window seen from outside: the bookmark file is left alone by a run without the
# window, read at its first show, written after every change; the book keys act in the book
# window only; the window's bounds are saved at exit.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"
marks="$YOMIRA_HOME/bookmark.dat"
printf '%s\t5000\r\nhttp://example.invalid/a\t1234\t題\r\n' "$docs/p150.txt" | iconv -f UTF-8 -t CP932 >"$marks"
cp "$marks" "$E2E_TMP/marks.orig"

start() {
  y_start "$docs/$1" || { fail "start $1" "no window"; return 1; }
  wait_title "[$1] - yomira" || fail "start $1" "title $(y_title)"
}
# The book window's id in BOOK, focused.
focus_book() {
  BOOK=$(wait_window " ブック") || { fail "book window" "not shown"; return 1; }
  xdotool windowactivate --sync "$BOOK" >/dev/null 2>&1 || xdotool windowfocus --sync "$BOOK" >/dev/null 2>&1
  sleep 0.3
}
line_of() { sed -n "$1p" "$marks" | cut -f1; }

# 1. A run without the book window leaves the file as it was.
start p160.txt && {
  y_quit_check "without book"
  if cmp -s "$marks" "$E2E_TMP/marks.orig"; then pass "bookmark.dat untouched"; else fail "bookmark.dat untouched" "changed"; fi
}

# 2-4. With the book window.
start p160.txt && {
  y_key ctrl+b
  if focus_book; then
    y_shot book-bookmarks
    # Never placed before: it opens beside the main window, to its right (the screen has room).
    main_pos=$(y_pos); main_size=$(y_geom)
    book_pos=$(xdotool getwindowgeometry "$BOOK" 2>/dev/null | awk '/Position:/ {print $2}')
    expect "book beside the main window" "$(( ${main_pos%,*} + ${main_size%x*} )),${main_pos#*,}" "$book_pos"
    y_key Home ctrl+a
    expect "lines after add" 3 "$(wc -l <"$marks")"
    expect "added second" "$docs/p160.txt" "$(line_of 2)"
    if iconv -f UTF-8 -t UTF-8 "$marks" >/dev/null 2>&1 && ! grep -q $'\r' "$marks"; then
      pass "written as UTF-8 with LF"
    else
      fail "written as UTF-8 with LF" "$(od -c "$marks" | head -3)"
    fi
    y_key ctrl+Down
    expect "moved down" "$docs/p150.txt" "$(line_of 2)"
    y_key ctrl+d
    expect "lines after delete" 2 "$(wc -l <"$marks")"
    y_key alt+Right
    y_shot book-filelist
    # b.txt, c d.txt, notes.txt, p150.txt, ...
    y_key Home Down Down Down Return
    wait_title "[p150.txt] - yomira" || fail "open from the file list" "title $(y_title)"
    focus_book
    y_key Left
    y_key ctrl+b
    sleep 0.3
    if xdotool search --onlyvisible --name " ブック" >/dev/null 2>&1; then fail "ctrl+b closes" "still shown"; else pass "ctrl+b closes"; fi
  fi
  y_focus
  y_quit_check "with book"
  expect "rate after Left in the book" 1066 "$(ini_get yomira.ini RecentFiles rate0)"
  expect "bookmark x" "${book_pos%,*}" "$(ini_get yomira.ini bookmark x)"
  expect "bookmark y" "${book_pos#*,}" "$(ini_get yomira.ini bookmark y)"
  expect "bookmark w" 200 "$(ini_get yomira.ini bookmark w)"
  expect "bookmark h" 300 "$(ini_get yomira.ini bookmark h)"
  expect "lines at exit" 2 "$(wc -l <"$marks")"
}

exit "$E2E_FAILS"
