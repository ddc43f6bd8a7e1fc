# The editor on a desktop (openbox): a tool window whose first field takes a
# click at once, the keypad moving the marker with NumLock off and on, and a
# resized window whose view is not stretched.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_openbox
start_editor
shots="$ARTEFACTS/desktop"

# "Save Options" opens in front of "Scene Information": its folder field
# takes the first click.
menu File "Save C++"
check "Save Options opens" wait_for 5 window_shown 240 130
mkdir -p "$WORK/out"
xdotool mousemove 100 85 click 1 key ctrl+a
xdotool type --delay 5 "$WORK/out/"
screenshot "$shots/save-options.png"
press_save_ok
check "the export lands in the folder typed at once" wait_for 10 test -f "$WORK/out/Level.cpp"
check "it reports success" wait_for 5 message_shown
dismiss_message

numlock_on() { xset q | grep -q "Num Lock: *on"; }
check "a new X server starts with NumLock off" bash -c '! xset q | grep -q "Num Lock: *on"'
screenshot "$WORK/now.png"
start=$(centroid_x "$WORK/now.png" marker)
check "keypad 8 (NumLock off) moves the marker" \
	move_until "$WORK/now.png" KP_Up marker -gt $((start + 20))
xdotool key Num_Lock
check "NumLock is on" wait_for 5 numlock_on
screenshot "$WORK/now.png"
start=$(centroid_x "$WORK/now.png" marker)
check "keypad 8 (NumLock on) moves the marker" \
	move_until "$WORK/now.png" KP_8 marker -gt $((start + 20))
xdotool key Num_Lock

# The marker's width over its height, in pixels of a screenshot.
marker_shape() {
	convert "$1" txt:- | awk -F'[(),: ]+' '
		NR > 1 && $3 >= 215 && $4 >= 80 && $4 <= 140 && $5 < 60 {
			if (n++ == 0) { x0 = x1 = $1; y0 = y1 = $2 }
			if ($1 < x0) x0 = $1; if ($1 > x1) x1 = $1
			if ($2 < y0) y0 = $2; if ($2 > y1) y1 = $2
		}
		END { if (n < 5) print 0; else printf "%d\n", 1000 * (x1 - x0 + 1) / (y1 - y0 + 1) }'
}
xdotool key Home
screenshot "$shots/before-resize.png"
before=$(marker_shape "$shots/before-resize.png")
xdotool windowsize "$EDITOR_WINDOW" 1200 700
resized() { [ "$(xwininfo -id "$EDITOR_WINDOW" | awk '/Width:/ {print $2}')" = 1200 ]; }
check "the window takes 1200x700" wait_for 10 resized
# The view follows from the next frame on: wait for the marker's new shape.
unstretched() {
	screenshot "$shots/after-resize.png"
	local after
	after=$(marker_shape "$shots/after-resize.png")
	[ "$after" -gt 0 ] && [ $((after * 100 / before)) -ge 90 ] && [ $((after * 100 / before)) -le 110 ]
}
check "the marker keeps its shape after the resize (before: $before)" wait_for 10 unstretched
check "the editor is still running" editor_running
quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
