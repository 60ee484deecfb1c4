#!/usr/bin/env bash
# HTML pages opened as documents: a page of the public e-text library in vertical writing
# (ruby, its illustration, a rule), and another publisher's UTF-8 page with its cover block.
source "$(dirname "$0")/lib.sh"
docs="$YOMIRA_HOME/docs"
cp "$E2E_ROOT/tests/data/html/library.html" "$E2E_ROOT/tests/data/html/fig1.png" \
  "$E2E_ROOT/tests/data/html/cover.html" "$docs/"

# ink_of SHOT COLOUR: pixels of about that colour in the screenshot.
ink_of() {
  convert "$E2E_SHOTS/$1.png" -fill black -fuzz 12% +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# 1. The library's page: the file name in the caption.
if y_start "$docs/library.html"; then
  if wait_title "[library.html] - yomira"; then pass "library caption"; else fail "library caption" "$(y_title)"; fi
  # 2. The first view is the cover made of the title lines; the text begins a page on.
  y_key Left
  sleep 0.5
  y_shot html-library
  y_key Left
  sleep 0.5
  y_shot html-library-3
  blue=$(ink_of html-library-3 '#3060c0')
  if [ "${blue:-0}" -gt 500 ]; then pass "illustration drawn"; else fail "illustration drawn" "${blue:-none} pixels"; fi
  # The position is kept at exit.
  y_quit_check "library"
  rate=$(ini_get yomira.ini RecentFiles rate0 2>/dev/null)
  if [ "${rate:-0}" -gt 0 ]; then pass "library rate0 $rate"; else fail "library rate0" "${rate:-none}"; fi
else
  fail "start library.html" "no window"
fi

# 3. Another publisher's page: the cover block's title names the window.
rm -f "$YOMIRA_HOME/yomira.ini"
if y_start "$docs/cover.html"; then
  ok=
  for _ in $(seq 1 50); do
    case "$(y_title)" in "[朝の散歩"*) ok=1; break ;; esac
    sleep 0.1
  done
  if [ -n "$ok" ]; then pass "cover caption"; else fail "cover caption" "$(y_title)"; fi
  sleep 0.5
  y_shot html-cover
  y_quit_check "cover"
else
  fail "start cover.html" "no window"
fi

e2e_finish
