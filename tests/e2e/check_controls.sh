#!/usr/bin/env bash
# The dialog controls driven with real keys, clicks and the wheel on the gallery's live page
# (windows_gallery --show controls); Ctrl+Q prints each control's state.
source "$(dirname "$0")/lib.sh"

# line NAME: the state line of control NAME.
line() { grep "^$1 " "$E2E_TMP/gallery.out"; }
# field NAME KEY: one key=value of a state line.
field() { line "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

g_show controls || { fail "start" "no window"; e2e_finish; }
expect "title" "windows_gallery: controls" "$(y_title)"

# The font-size box has the focus: a value above its bounds stays as typed until Tab.
y_key ctrl+a
xdotool type --delay 50 300
sleep 0.3
y_shot controls-typed
y_key Tab
# spin_row_extent: two steps down, then on to the free box.
y_key Down Down
y_key Tab
xdotool type --delay 50 99999999999
sleep 0.3
y_key Tab
y_shot controls-label
y_key Tab
# The "…" button of edit_file, a wheel notch up over spin_row_extent, the check button
# and the second radio.
y_click 199 72 1
y_click 80 20 4
y_click 40 162 1
y_click 180 162 1
y_shot controls-clicked

expect "quit status" 0 "$(g_quit)"
expect "spin_font" "spin_font value=256 text=256" "$(line spin_font)"
expect "spin_row_extent" "spin_row_extent value=-1 text=-1" "$(line spin_row_extent)"
expect "spin_free" "spin_free value=2147483647 text=2147483647" "$(line spin_free)"
expect "path_image enters" 1 "$(field path_image enters)"
expect "path_image exits" 1 "$(field path_image exits)"
expect "edit_file clicks" 1 "$(field edit_file clicks)"
expect "edit_shortcut clicks" 0 "$(field edit_shortcut clicks)"
expect "common_spin" "common_spin value=5 text=5" "$(line common_spin)"
expect "button_check" "button_check checked=1" "$(line button_check)"
expect "radio_a" "radio_a checked=0" "$(line radio_a)"
expect "radio_b" "radio_b checked=1" "$(line radio_b)"
expect "state lines" 10 "$(wc -l <"$E2E_TMP/gallery.out")"

# The find dialog: typed text and Enter (its default button) go first into the history;
# Esc closes it like Ctrl+Q.
g_show find-dialog || { fail "find dialog" "no window"; e2e_finish; }
xdotool type --delay 50 xyz
sleep 0.3
y_key Return
y_shot controls-find
y_key Escape
expect "find dialog closes" 0 "$(y_wait_exit 10)"
expect "find dialog" "find_dialog text=xyz items=xyz,abc,def options=1" "$(line find_dialog)"
e2e_finish
