#!/usr/bin/env bash
# Page navigation, the page slider, the bottom-bar buttons and the turn sound, seen from
# outside. Every run starts without settings; the result is the reading position saved at
# exit (rate0, in 1/10000 of the document).
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"

# fresh DOC: no settings, then the reader with DOC (a name in docs/) open.
fresh() {
  rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini"
  y_start "$docs/$1" || { fail "start $1" "no window"; return 1; }
  wait_title "[$1] - yomira" || fail "start $1" "title $(y_title)"
}
# quit NAME: Esc and the exit status; a reader still running is stopped, so the next start
# is not handed over to it.
quit() { y_quit_check "$1"; }
# rate NAME EXPECTED: quits and checks the saved position.
rate() {
  quit "$1"
  expect "$1" "$2" "$(ini_get yomira.ini RecentFiles rate0 2>/dev/null)"
}
# answer TITLE TEXT: types TEXT into the input box TITLE and confirms it.
answer() {
  local id
  if id=$(wait_window "$1"); then
    # No window manager: the box gets the keyboard only when given it.
    xdotool windowfocus --sync "$id" 2>/dev/null
    [ -n "${3:-}" ] && y_shot "$3"
    xdotool type --delay 50 "$2"
    y_key Return
    y_focus
  else
    fail "$1" "no input box"
  fi
}

# 1. Three pages on.
fresh p160.txt && {
  y_key Left Left Left
  sleep 0.3
  y_shot nav-view4
  rate "Left x3" 3000
}

# 2. The ends of the document.
fresh p160.txt && { y_key End; rate "End" 9000; }
fresh p160.txt && { y_key End Home; rate "End Home" 0; }
fresh p160.txt && { y_key Right; rate "Right at view 1" 0; }
fresh p160.txt && { y_key Left shift+space; rate "Left Shift+Space" 0; }

# 3. Go to a page.
fresh p160.txt && {
  y_key ctrl+shift+p
  answer "ページ指定" 7 nav-goto-page
  rate "go to page 7" 6000
}

# 4. Every key of the next page.
for k in space Down Next Return KP_Enter; do
  fresh p160.txt && { y_key "$k"; rate "next by $k" 1000; }
done

# 5. Go to a line: line 140 of 150 is in view 9.
fresh p150.txt && {
  y_key ctrl+shift+l
  answer "行指定" 140
  rate "go to line 140" 8533
}

# 6. The slider: a left press beside the thumb steps one page; a middle press jumps.
fresh p160.txt && { y_shot nav-view1; y_click 100 529 1; rate "slider left press" 1000; }
fresh p160.txt && { y_click 80 529 2; rate "slider middle press" 9000; }

# 7. A right press opens the menu; the next press on the slider still counts.
fresh p160.txt && {
  y_click 200 529 3
  expect "slider right press opens one menu" 2 "$(y_windows)"
  y_shot nav-slider-menu
  y_key Escape
  expect "Esc closes it" 1 "$(y_windows)"
  y_click 100 529 1
  y_key Left
  rate "slider after its menu" 2000
}

# 8. The next button, and its middle press opening the next file of the folder.
fresh p160.txt && { y_click 452 529 1; rate "next button" 1000; }
fresh p160.txt && {
  y_click 452 529 2
  wait_title "[羅生門 / 芥川龍之介] - yomira"
  expect "middle press on next" "[羅生門 / 芥川龍之介] - yomira" "$(y_title)"
  quit "middle press"
}

# 9. Next and previous file by the keys.
fresh p160.txt && {
  y_key ctrl+Left
  wait_title "[羅生門 / 芥川龍之介] - yomira"
  expect "ctrl+Left" "[羅生門 / 芥川龍之介] - yomira" "$(y_title)"
  y_key ctrl+Left
  sleep 0.3
  expect "ctrl+Left at the last file" "[羅生門 / 芥川龍之介] - yomira" "$(y_title)"
  quit "ctrl+Left"
}
fresh p160.txt && {
  y_key ctrl+Right
  wait_title "[p150.txt] - yomira"
  expect "ctrl+Right" "[p150.txt] - yomira" "$(y_title)"
  quit "ctrl+Right"
}

# 10. Steps of the characters per line and back keep the view: the same position as 40
# pages on without them.
fresh_novel() {
  rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini"
  y_start "$docs/long/novel.txt" || { fail "start novel" "no window"; return 1; }
  wait_title "[novel.txt] - yomira" || fail "start novel" "title $(y_title)"
}
fresh_novel && {
  xdotool key --delay 30 $(printf 'Left %.0s' $(seq 1 40))
  sleep 0.5
  quit "40 pages"
  before=$(ini_get yomira.ini RecentFiles rate0)
  [ "${before:-0}" -gt 0 ] || fail "40 pages" "rate0 $before"
  # Four steps each way as a reader tries it; eight drifted by a view and more when the
  # position went through the rate.
  for steps in 4 8; do
    fresh_novel && {
      xdotool key --delay 30 $(printf 'Left %.0s' $(seq 1 40))
      sleep 0.3
      xdotool key --delay 80 $(printf 'ctrl+shift+Down %.0s' $(seq 1 $steps))
      sleep 0.3
      xdotool key --delay 80 $(printf 'ctrl+shift+Up %.0s' $(seq 1 $steps))
      sleep 0.5
      rate "40 pages, characters +$steps -$steps" "$before"
    }
  done
}

# 11. The turn sound: many quick turns with a sound, then a sound that is missing. SDL2 is
# mapped by the first turn's sound, not before the first page; libcurl never.
mapped() { grep -c "/$1" "/proc/$Y_PID/maps" 2>/dev/null || true; }
sound_run() {
  rm -f "$YOMIRA_HOME/yomira.ini" "$YOMIRA_HOME/yomira_key.ini"
  printf '[option]\nUseSound=1\nSoundPath=%s\n' "$1" >"$YOMIRA_HOME/yomira.ini"
  y_start "$docs/p160.txt" || { fail "sound start" "no window"; return 1; }
  wait_title "[p160.txt] - yomira"
  SDL_AT_START=$(mapped libSDL2)
  CURL_AT_START=$(mapped libcurl)
  xdotool key --delay 20 $(printf 'Left %.0s' $(seq 1 20))
  sleep 0.5
  SDL_AFTER_TURNS=$(mapped libSDL2)
}
mkwav "$YOMIRA_HOME/click.wav"
sound_run "$YOMIRA_HOME/click.wav" && {
  expect "sound: no SDL2 at the first page" 0 "$SDL_AT_START"
  expect "sound: no libcurl at the first page" 0 "$CURL_AT_START"
  [ "$SDL_AFTER_TURNS" -gt 0 ] && pass "sound: SDL2 after the first turn" || fail "sound: SDL2 after the first turn" "not mapped"
  quit "sound"
  expect "sound: UseSound kept" 1 "$(ini_get yomira.ini option UseSound)"
  expect "sound: 20 turns" 9000 "$(ini_get yomira.ini RecentFiles rate0)"
}
sound_run "$YOMIRA_HOME/missing.wav" && {
  quit "missing sound"
  expect "missing sound: UseSound off" 0 "$(ini_get yomira.ini option UseSound)"
}

e2e_finish
