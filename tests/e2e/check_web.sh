#!/usr/bin/env bash
# Web pages by URL: the URL dialog, a text page, an HTML page and a failure, against a
# fixture server of our own on 127.0.0.1.
source "$(dirname "$0")/lib.sh"
server_bin="$(dirname "$YOMIRA_BIN")/tests/http_fixture_server"
[ -x "$server_bin" ] || e2e_skip "no fixture server at $server_bin"
command -v xclip >/dev/null 2>&1 || e2e_skip "missing tool: xclip"

web="$E2E_TMP/web"
mkdir -p "$web"
cp "$E2E_ROOT/tests/data/web/page.txt" "$E2E_ROOT/tests/data/web/page.html" "$web/"
"$server_bin" --root "$web" --port-file "$E2E_TMP/port" --lifetime 250 --log "$E2E_TMP/server.log" &
E2E_PIDS+=("$!")
for _ in $(seq 1 50); do [ -s "$E2E_TMP/port" ] && break; sleep 0.1; done
PORT=$(cat "$E2E_TMP/port" 2>/dev/null)
[ -n "$PORT" ] || e2e_skip "fixture server did not start"
base="http://127.0.0.1:$PORT"
txt_title="[猫の日記 / 名無し] - yomira"

# The main window of the reader (the visible window that is not the dialog).
main_window() {
  local id
  for id in $(y_windows_of "$Y_PID"); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" != "URLを開く" ] && { echo "$id"; return; }
  done
}
# Focuses the URL dialog (up to 5 s); false when it does not come.
focus_dialog() {
  local id
  id=$(wait_window "URLを開く") || return 1
  xdotool windowfocus --sync "$id" >/dev/null 2>&1
  sleep 0.3
  D_WIN=$id
}
# The text of the focused dialog's box, through the clipboard.
dialog_text() {
  printf '' | xclip -selection clipboard
  y_key ctrl+a ctrl+c
  xclip -o -selection clipboard 2>/dev/null
}

# 1. A start-up URL: the dialog comes first, then the page.
y_start "$base/page.txt" || fail "start" "no window"
expect "start-up dialog title" "URLを開く" "$(y_title)"
y_shot url-dialog
focus_dialog && pass "dialog focused" || fail "dialog focused" "no dialog"
expect "start-up dialog text" "$base/page.txt" "$(dialog_text)"
y_key Return
for _ in $(seq 1 50); do Y_WIN=$(main_window); [ -n "$Y_WIN" ] && break; sleep 0.1; done
wait_title "$txt_title"
expect "text page caption" "$txt_title" "$(y_title)"
# Past the cover, to the text itself.
y_focus
y_key Left
sleep 0.5
y_shot web-text
cmp -s "$YOMIRA_HOME/yomira_web.txt" "$web/page.txt" && pass "text cache equals the page" \
  || fail "text cache equals the page" "differs"

# 2. Ctrl+Shift+O, the HTML page.
y_focus
y_key ctrl+shift+o
focus_dialog && pass "URL action opens the dialog" || fail "URL action opens the dialog" "no dialog"
expect "URL action text" "http://" "$(dialog_text)"
# The list holds the history's page; Esc closes only the list.
y_key alt+Down
y_shot url-dialog-list
y_key Escape
expect "Esc on the list keeps the dialog" "$D_WIN" "$(xdotool search --onlyvisible --name "URLを開く" 2>/dev/null | head -1)"
y_key ctrl+a
xdotool type --delay 20 "$base/page.html"
y_key Return
for _ in $(seq 1 50); do
  t=$(y_title)
  case "$t" in "$txt_title"|"Open URL "*|"Success "*) sleep 0.1 ;; *) break ;; esac
done
# The HTML import makes the page's title and heading the caption.
expect "HTML page caption" "[猫の頁 / 猫の頁] - yomira" "$(y_title)"
y_key Left
sleep 0.5
y_shot web-html
cmp -s "$YOMIRA_HOME/yomira_web.html" "$web/page.html" && pass "HTML cache equals the page" \
  || fail "HTML cache equals the page" "differs"

# 3. A missing page: the failure caption with the message, then the page's caption again.
y_focus
y_key ctrl+shift+o
focus_dialog || fail "dialog for the 404" "no dialog"
y_key ctrl+a
xdotool type --delay 20 "$base/missing.html"
y_key Return
box=$(wait_window "^yomira$") && pass "failure message box" || fail "failure message box" "none"
y_shot web-failure
expect "failure caption" "Failure [$base/missing.html] - yomira" "$(y_title)"
[ -n "$box" ] && xdotool windowfocus --sync "$box" >/dev/null 2>&1
y_key Return
wait_title "[猫の頁 / 猫の頁] - yomira"
expect "caption after the failure" "[猫の頁 / 猫の頁] - yomira" "$(y_title)"

# 4. Esc quits; the history keeps both pages, the caches go.
y_focus
expect "quit" 0 "$(y_quit)"
expect "type0" 1 "$(ini_get yomira.ini RecentFiles type0)"
expect "url0" "$base/page.html" "$(ini_get yomira.ini RecentFiles url0)"
expect "url1" "$base/page.txt" "$(ini_get yomira.ini RecentFiles url1)"
left=$(cd "$YOMIRA_HOME" && ls yomira_web.html yomira_web.txt 2>/dev/null | tr '\n' ' ')
expect "cache files left" "" "$left"

# 5. A close from the window manager while a page stalls ends the program at once; keys
# typed meanwhile are not played back.
close_bin="$(dirname "$YOMIRA_BIN")/tests/x_close_window"
if [ -x "$close_bin" ]; then
  y_start "$YOMIRA_HOME/docs/b.txt" || fail "start for the stall" "no window"
  wait_title "[b.txt] - yomira"
  y_key ctrl+shift+o
  focus_dialog || fail "dialog for the stall" "no dialog"
  y_key ctrl+a
  xdotool type --delay 20 "$base/stall"
  y_key Return
  wait_title "Open URL [$base/stall] - yomira"
  expect "stall caption" "Open URL [$base/stall] - yomira" "$(y_title)"
  y_key ctrl+shift+o
  expect "no dialog while a page comes in" "" "$(y_windows_of "$Y_PID" | grep -vx "$Y_WIN")"
  "$close_bin" "$Y_WIN" || fail "close request" "not taken by the X server"
  expect "close during the download" 0 "$(y_wait_exit 10)"
else
  fail "close during the download" "no $close_bin"
fi
e2e_finish
