# The editor opens its window, draws the scene and the information window,
# ends cleanly when the window is closed, and fails with a clear message when
# it cannot start.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb

start_editor
geometry=$(xdotool getwindowgeometry "$EDITOR_WINDOW" | sed -n 's/ *Geometry: //p')
check "the window named 0.0.7 is 800 by 600 (got $geometry)" test "$geometry" = "800x600"
check "the information window's title bar is drawn" pixel_is_not 100 38 "#000000"
check "the information window's body is drawn" pixel_is_not 40 95 "#000000"
check "the scene is cleared to the scene colour, black at start" pixel_is 700 500 "#000000"
check "the menu bar strip is drawn" pixel_is_not 400 3 "#000000"
marker_at_centre() {
	screenshot "$WORK/now.png"
	local x
	x=$(centroid_x "$WORK/now.png" marker)
	[ "$x" != none ] && [ "$x" -ge 380 ] && [ "$x" -le 420 ]
}
check "the placement marker is drawn at the centre" wait_for 5 marker_at_centre
screenshot "$ARTEFACTS/startup.png"
close_editor
wait_editor_exit 10 && check "closing the window ends the editor with status 0" test "$EDITOR_STATUS" -eq 0

# The editor's X error handler lets the vertical-sync error pass and ends the
# process on any other, here a request on a window that does not exist.
"$TOLVANE_BUILD/tests/xerror_probe" >"$WORK/probe.out" 2>"$WORK/probe.err"
check "another X error ends the process with status 1" test $? -eq 1
check "the vertical-sync error passes" grep -qx passed "$WORK/probe.out"
check "the X error is reported" grep -q 'X error "BadWindow' "$WORK/probe.err"

# Start-up data missing: run from a folder without Data/.
mkdir -p "$WORK/empty"
(cd "$WORK/empty" && "$TOLVANE_BUILD/tolvane" </dev/null >/dev/null 2>"$WORK/nodata.err")
check "missing data ends with status 1" test $? -eq 1
check "the message names the font file" grep -q "Data/main_font.bmp" "$WORK/nodata.err"
check "the message names the working directory" grep -q "$WORK/empty" "$WORK/nodata.err"

# No display at all.
(cd "$TOLVANE_ROOT" && env -u DISPLAY "$TOLVANE_BUILD/tolvane" </dev/null >/dev/null 2>"$WORK/nodisplay.err")
check "no display ends with status 1" test $? -eq 1
check "one line on stderr names the missing display" \
	test "$(wc -l <"$WORK/nodisplay.err")" -eq 1 -a -n "$(grep DISPLAY "$WORK/nodisplay.err")"
finish
