#!/usr/bin/env bash
# Start-up, single instance and the main window, seen from outside.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"

# 1. No argument: the start-up window, its menu, Esc twice.
y_start || fail start "no window"
expect "startup geometry" "209x113" "$(y_geom)"
expect "startup position" "128,128" "$(y_pos)"
expect "startup title" "yomira" "$(y_title)"
expect "startup windows" 1 "$(y_windows)"
y_shot startup-empty
y_click 149 103 1
expect "menu button opens the menu" 2 "$(y_windows)"
y_shot startup-menu
y_key Escape
expect "Esc closes the menu" 1 "$(y_windows)"
y_click 100 40 3
expect "right click opens the menu" 2 "$(y_windows)"
y_key Escape
expect "Esc, Esc quits" 0 "$(y_quit)"
expect "MainHotKey count" 47 "$(ini_count yomira_key.ini MainHotKey)"
expect "BookHotKey count" 25 "$(ini_count yomira_key.ini BookHotKey)"
for kv in Key7=16463 Key8=37 Key12=13 Key16=8224 Key40=27 Key41=70 Key46=24656; do
  expect "MainHotKey $kv" "${kv#*=}" "$(ini_get yomira_key.ini MainHotKey "${kv%%=*}")"
done
for kv in Key64=37 Key69=32807; do
  expect "BookHotKey $kv" "${kv#*=}" "$(ini_get yomira_key.ini BookHotKey "${kv%%=*}")"
done

# 2. A document by its path, and by a relative name.
y_start "$docs/p160.txt" || fail "p160 start" "no window"
wait_title "[p160.txt] - yomira"
expect "p160 geometry" "492x539" "$(y_geom)"
expect "p160 title" "[p160.txt] - yomira" "$(y_title)"
y_shot startup-p160

# 3. Hand-over while it runs.
st=$( (cd "$docs" && timeout 5 "$YOMIRA_BIN" b.txt >/dev/null 2>&1); echo $?)
expect "second start exits 1" 1 "$st"
wait_title "[b.txt] - yomira"
expect "handed-over file" "[b.txt] - yomira" "$(y_title)"
st=$(timeout 5 "$YOMIRA_BIN" >/dev/null 2>&1; echo $?)
expect "second start without arguments" 1 "$st"
sleep 0.5
expect "nothing changes" "[b.txt] - yomira" "$(y_title)"
timeout 5 "$YOMIRA_BIN" "file://$docs/c%20d.txt" >/dev/null 2>&1
wait_title "[c d.txt] - yomira"
expect "file URL" "[c d.txt] - yomira" "$(y_title)"
expect "quit" 0 "$(y_quit)"

cd "$docs" && y_start p160.txt
cd - >/dev/null
wait_title "[p160.txt] - yomira"
expect "relative p160 title" "[p160.txt] - yomira" "$(y_title)"
expect "relative p160 quit" 0 "$(y_quit)"
expect "rate0 after quit" 0 "$(ini_get yomira.ini RecentFiles rate0)"
expect "file0 absolute" "$docs/p160.txt" "$(ini_get yomira.ini RecentFiles file0)"

# 4. A killed first instance does not block the next start.
y_start || fail "start before kill" "no window"
kill -9 "$Y_PID"
y_wait_exit 5 >/dev/null
y_start && pass "start after kill -9" || fail "start after kill -9" "no window within 10 s"
expect "quit after kill" 0 "$(y_quit)"

# 5. Temporary files go at the end; the clipboard file stays.
for f in yomira.html yomira_web.html yomira_web.txt ClipBord.txt; do : >"$YOMIRA_HOME/$f"; done
y_start || fail "start for cleanup" "no window"
expect "quit for cleanup" 0 "$(y_quit)"
left=$(cd "$YOMIRA_HOME" && ls yomira.html yomira_web.html yomira_web.txt ClipBord.txt 2>/dev/null | tr '\n' ' ')
expect "files left" "ClipBord.txt " "$left"

# 6. The reopen at start keeps the saved position.
cat >"$YOMIRA_HOME/yomira.ini" <<INI
[option]
restart=1
[RecentFiles]
file0=$docs/p160.txt
type0=0
rate0=5000
INI
y_start -c1 || fail "restart start" "no window"
wait_title "[p160.txt] - yomira"
expect "restart title" "[p160.txt] - yomira" "$(y_title)"
y_shot startup-restart
expect "restart quit" 0 "$(y_quit)"
expect "restart rate0" 5000 "$(ini_get yomira.ini RecentFiles rate0)"
sed -i 's/^restart=1$/restart=0/' "$YOMIRA_HOME/yomira.ini"

# 7. A missing file: its message box, then the start-up window.
y_start nosuch.txt || fail "nosuch start" "no window"
expect "nosuch windows" 1 "$(y_windows)"
y_shot startup-nosuch
box=$Y_WIN
y_key Escape
for _ in $(seq 1 50); do
  Y_WIN=$(y_windows_of "$Y_PID" | grep -vx "$box" | head -1)
  [ -n "$Y_WIN" ] && break
  sleep 0.1
done
y_focus
expect "nosuch geometry" "209x113" "$(y_geom)"
expect "nosuch windows after the box" 1 "$(y_windows)"
expect "nosuch quit" 0 "$(y_quit)"

# 8. A text with a title block.
y_start "$docs/rashomon.txt" || fail "rashomon start" "no window"
wait_title "[羅生門 / 芥川龍之介] - yomira"
expect "rashomon title" "[羅生門 / 芥川龍之介] - yomira" "$(y_title)"
y_shot startup-rashomon
expect "rashomon quit" 0 "$(y_quit)"

# 9. A saved place at the integer limits: the window still comes, on the screen.
cat >"$YOMIRA_HOME/yomira.ini" <<INI
[option]
x=-2147483648
y=2147483647
INI
y_start || fail "limits start" "no window"
pos=$(y_pos)
x=${pos%,*}
y=${pos#*,}
if [ "$x" -ge 0 ] && [ "$x" -lt 1280 ] && [ "$y" -ge 0 ] && [ "$y" -lt 1024 ]; then
  pass "limits position on screen"
else
  fail "limits position on screen" "$pos"
fi
expect "limits quit" 0 "$(y_quit)"

# 10. Temporary files of saves cut short: old ones of the program's own form go at the
# start, young ones and every other name stay.
mkdir -p "$YOMIRA_HOME/Style"
for f in yomira.ini.tmp-Ab12Cd bookmark.dat.tmp-000000 Style/a.ini.tmp-ZZZZZZ; do
  : >"$YOMIRA_HOME/$f"
  touch -d '2 minutes ago' "$YOMIRA_HOME/$f"
done
: >"$YOMIRA_HOME/yomira_key.ini.tmp-young1"
for f in notes.tmp-abc Style/b.ini.tmp-abc_12 keep.txt; do
  : >"$YOMIRA_HOME/$f"
  touch -d '2 minutes ago' "$YOMIRA_HOME/$f"
done
y_start || fail "temporary files start" "no window"
expect "temporary files quit" 0 "$(y_quit)"
left=$(cd "$YOMIRA_HOME" && ls -d *.tmp-* Style/*.tmp-* keep.txt 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')
expect "temporary files left" "Style/b.ini.tmp-abc_12 keep.txt notes.tmp-abc yomira_key.ini.tmp-young1 " "$left"
rm -f "$YOMIRA_HOME"/*.tmp-* "$YOMIRA_HOME"/Style/*.tmp-* "$YOMIRA_HOME/keep.txt"

e2e_finish
