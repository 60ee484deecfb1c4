# End-to-end helpers: a private X server, a private data folder and the reader under test.
# Source it from a check script; it cleans up after itself. Only processes it started are
# ever stopped, by their PID.

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_ROOT=$(cd "$E2E_DIR/../.." && pwd)
: "${YOMIRA_BIN:=$E2E_ROOT/build/yomira}"
: "${E2E_SHOTS:=$E2E_ROOT/build/e2e-shots}"
: "${GALLERY_BIN:=$E2E_ROOT/build/windows_gallery}"

# 77 tells CTest the check was skipped; with YOMIRA_E2E_REQUIRED=1 a missing tool fails.
e2e_skip() {
  echo "SKIP $*"
  if [ "${YOMIRA_E2E_REQUIRED:-0}" = 1 ]; then exit 1; fi
  exit 77
}

for tool in Xvfb xdotool import iconv; do
  command -v "$tool" >/dev/null 2>&1 || e2e_skip "missing tool: $tool"
done
[ -x "$YOMIRA_BIN" ] || e2e_skip "no program at $YOMIRA_BIN"

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/yomira-e2e.XXXXXX")
export YOMIRA_HOME="$E2E_TMP/home"
mkdir -p "$YOMIRA_HOME"
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=dummy
export LC_ALL=C.UTF-8
export TMPDIR="$E2E_TMP"
unset YOMIRA_TRACE_STARTUP
E2E_PIDS=()
Y_PID=
Y_WIN=
E2E_FAILS=0
E2E_STARTS=0

e2e_cleanup() {
  local p
  for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null; done
  sleep 0.2
  for p in "${E2E_PIDS[@]}"; do kill -9 "$p" 2>/dev/null; done
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Our own X server, whatever DISPLAY says.
unset DISPLAY
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
XVFB_PID=$!
E2E_DISPLAY=
for _ in $(seq 1 100); do
  E2E_DISPLAY=$(head -1 "$E2E_TMP/display" 2>/dev/null || true)
  [ -n "$E2E_DISPLAY" ] && break
  sleep 0.1
done
[ -n "$E2E_DISPLAY" ] || e2e_skip "Xvfb did not start"
export DISPLAY=":$E2E_DISPLAY"

mkdir -p "$E2E_SHOTS" "$YOMIRA_HOME/docs"
"$E2E_DIR/make_fixtures.sh" "$YOMIRA_HOME/docs"

pass() { echo "PASS $1"; }
fail() {
  echo "FAIL $1: $2"
  E2E_FAILS=$((E2E_FAILS + 1))
}
# expect NAME EXPECTED ACTUAL
expect() {
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected $2, got $3"; fi
}
e2e_finish() {
  if [ "$E2E_FAILS" -gt 0 ]; then exit 1; fi
  exit 0
}

# Visible windows of process $1 (default the reader), one id a line.
y_windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null || true; }
y_windows() { y_windows_of "${Y_PID}" | wc -l; }

# y_start ARGS...: starts the reader, waits for its window (10 s), focuses it.
y_start() {
  # A wrapper records the exit status, so that it can be read from any subshell.
  local status="$E2E_TMP/status.$((++E2E_STARTS))"
  rm -f "$status"
  ( "$YOMIRA_BIN" "$@" >"$E2E_TMP/${Y_STDOUT_NAME:-stdout}" 2>"$E2E_TMP/stderr"; echo $? >"$status.tmp"; mv "$status.tmp" "$status" ) &
  local wrapper=$!
  E2E_PIDS+=("$wrapper")
  Y_STATUS_FILE=$status
  Y_PID=
  Y_WIN=
  local i
  for i in $(seq 1 100); do
    [ -z "$Y_PID" ] && Y_PID=$(pgrep -P "$wrapper" | head -1)
    if [ -n "$Y_PID" ]; then
      Y_WIN=$(y_windows_of "$Y_PID" | head -1)
      [ -n "$Y_WIN" ] && break
    fi
    [ -f "$status" ] && break
    sleep 0.1
  done
  [ -n "$Y_PID" ] && E2E_PIDS+=("$Y_PID")
  if [ -z "$Y_WIN" ]; then return 1; fi
  y_focus
}

y_focus() {
  xdotool windowactivate --sync "$Y_WIN" >/dev/null 2>&1 || xdotool windowfocus --sync "$Y_WIN" >/dev/null 2>&1
  sleep 0.3
}

y_geom() {
  xdotool getwindowgeometry "$Y_WIN" 2>/dev/null | awk '/Geometry:/ {print $2}'
}
y_pos() {
  xdotool getwindowgeometry "$Y_WIN" 2>/dev/null | awk '/Position:/ {print $2}'
}
y_title() { xdotool getwindowname "$Y_WIN" 2>/dev/null; }

# y_key KEYS...: real key events to the focused window.
y_key() {
  xdotool key --delay 50 "$@"
  sleep 0.3
}

# y_click X Y BUTTON: in window coordinates.
y_click() {
  xdotool mousemove --window "$Y_WIN" "$1" "$2" click "$3"
  sleep 0.4
}

# y_shot NAME: the screen under the window (menus included) into $E2E_SHOTS/NAME.png.
y_shot() {
  import -display "$DISPLAY" -window root "$E2E_SHOTS/$1.png" 2>/dev/null
}

# y_quit: Esc, then the exit status (within 10 s; "timeout" when it is still running).
y_quit() {
  y_key Escape
  y_wait_exit 10
}

y_wait_exit() {
  local i
  for i in $(seq 1 $(( $1 * 10 ))); do
    if [ -f "$Y_STATUS_FILE" ]; then
      cat "$Y_STATUS_FILE"
      return
    fi
    sleep 0.1
  done
  echo timeout
}

# wait_title TEXT: true once the title is TEXT (5 s).
wait_title() {
  local i
  for i in $(seq 1 50); do
    [ "$(y_title)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# ini_get FILE SECTION KEY (FILE relative to the data folder).
ini_get() {
  awk -v s="[$2]" -v k="$3" '
    { sub(/\r$/, "") }
    /^\[/ { in_s = ($0 == s); next }
    in_s { i = index($0, "="); if (i > 0 && substr($0, 1, i - 1) == k) { print substr($0, i + 1); exit } }
  ' "$YOMIRA_HOME/$1"
}
ini_count() {
  awk -v s="[$2]" '
    { sub(/\r$/, "") }
    /^\[/ { in_s = ($0 == s); next }
    in_s && index($0, "=") > 0 { n++ }
    END { print n + 0 }
  ' "$YOMIRA_HOME/$1"
}

# mkwav FILE: a valid 8 kHz 8-bit mono WAV of 400 silent frames (444 bytes).
mkwav() {
  { printf 'RIFF\264\001\000\000WAVEfmt \020\000\000\000\001\000\001\000\100\037\000\000\100\037\000\000\001\000\010\000data\220\001\000\000'
    head -c 400 /dev/zero | tr '\0' '\200'; } >"$1"
}

# wait_window NAME: the id of a visible window titled NAME (up to 5 s); false without one.
wait_window() {
  local id
  id=$(timeout 5 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
  [ -n "$id" ] && echo "$id"
}

# y_quit_check NAME: quits, expects exit status 0; a reader still running is stopped, so the
# next start is not handed over to it.
y_quit_check() {
  local st
  st=$(y_quit)
  expect "$1 quits" 0 "$st"
  if [ "$st" = timeout ]; then
    kill -9 "$Y_PID" 2>/dev/null
    y_wait_exit 5 >/dev/null
  fi
}

# g_show NAME: starts windows_gallery --show NAME as y_start starts the reader (Y_PID, Y_WIN;
# y_key, y_click and y_shot work on it); its stdout goes to $E2E_TMP/gallery.out.
g_show() {
  [ -x "$GALLERY_BIN" ] || e2e_skip "no program at $GALLERY_BIN"
  YOMIRA_BIN=$GALLERY_BIN Y_STDOUT_NAME=gallery.out y_start --show "$1"
}

# g_quit: Ctrl+Q, then the exit status as y_wait_exit gives it.
g_quit() {
  y_key ctrl+q
  y_wait_exit 10
}

# y_pointer: the mouse pointer as "X,Y" in the reader's window coordinates.
y_pointer() {
  local wx wy px py
  IFS=, read -r wx wy <<<"$(y_pos)"
  eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^(X|Y)=' | sed 's/^X=/px=/; s/^Y=/py=/')"
  echo "$((px - wx)),$((py - wy))"
}

# y_pixel X Y: the colour on screen at window coordinates X,Y as "#RRGGBB".
y_pixel() {
  local wx wy
  IFS=, read -r wx wy <<<"$(y_pos)"
  import -display "$DISPLAY" -window root -crop "1x1+$((wx + $1))+$((wy + $2))" -depth 8 txt:- 2>/dev/null |
    grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr 'a-f' 'A-F'
}

# y_resize W H: sizes the window as a border drag that ends at once would, then 1 s.
y_resize() {
  xdotool windowsize "$Y_WIN" "$1" "$2"
  sleep 1
}

# y_ink X Y W H: 1 when the window's rectangle (window coordinates) holds a pixel darker
# than 50 %, else 0.
y_ink() {
  local shot="$E2E_TMP/ink.png" min
  import -display "$DISPLAY" -window "$Y_WIN" "$shot" 2>/dev/null
  min=$(convert "$shot" -crop "$3x$4+$1+$2" +repage -colorspace Gray -format '%[fx:minima]' info: 2>/dev/null)
  awk -v m="${min:-1}" 'BEGIN { print (m < 0.5) ? 1 : 0 }'
}
