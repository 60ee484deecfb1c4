#!/usr/bin/env bash
# The property grid driven with real keys: edit, pick lists, check box, shortcut capture,
# sections, a colour typed as a number, and a vetoed value.
set -u
. "$(dirname "$0")/lib.sh"

g_show propgrid || { fail "propgrid window" "did not appear"; e2e_finish; }
y_shot propgrid-start

y_key Down ctrl+a
xdotool type --delay 50 reader
y_key Return
y_key Down alt+Down
y_shot propgrid-list
y_key Down Return
y_key Down Down Down space
y_key Down Down Down Down alt+Down ctrl+shift+a
y_shot propgrid-hotkey
y_key Tab
y_key Up Up Up Left
y_key Down Down ctrl+a
xdotool type --delay 50 255
y_key Return
y_key Down Down Down Down Down Down ctrl+a
xdotool type --delay 50 xyz
y_key Return Up
y_shot propgrid-end

expect "exit status" 0 "$(g_quit)"
out="$E2E_TMP/gallery.out"
for line in "item EditName=reader" "item ListQuality=Higher" "item CheckFlag=No" "item ChildKey=Ctrl+Shift+A" \
            "item ColorCombo=\$000000FF" "item Veto=ok" "selected=Veto" "rows=16"; do
  if grep -qxF "$line" "$out"; then pass "$line"; else fail "$line" "missing in: $(tr '\n' '|' <"$out")"; fi
done
expect "change lines" \
  "change EditName yomira -> reader|change ListQuality Normal -> Higher|change CheckFlag Yes -> No|change ChildKey Ctrl+K -> Ctrl+Shift+A|change ColorCombo \$00000000 -> \$000000FF|" \
  "$(grep '^change ' "$out" | tr '\n' '|')"
e2e_finish
