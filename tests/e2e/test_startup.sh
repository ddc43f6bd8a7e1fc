# The editor opens its window, draws the scene and the information window,
# ends cleanly when the window is closed, and fails with a clear message when
# it cannot start.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb

start_editor
geometry=$(xdotool getwindowgeometry "$EDITOR_WINDOW" | sed -n 's/ *Geometry: //p')
check "the window named 0.0.7 is 800 by 600 (got $geometry)" test "$geometry" = "800x600"
check "the information window's title bar is drawn" pixel_is_not 100 38 "#323264"
check "the information window's body is drawn" pixel_is_not 40 95 "#323264"
check "the placement marker is drawn at the centre" wait_for 5 pixel_is_not 400 298 "#323264"
screenshot "$ARTEFACTS/startup.png"
close_editor
wait_editor_exit 10 && check "closing the window ends the editor with status 0" test "$EDITOR_STATUS" -eq 0

# A destroyed window is an X error other than the vertical-sync one: the
# editor must end instead of looping.
start_editor
xdotool windowclose "$EDITOR_WINDOW"
wait_editor_exit 10 && check "a destroyed window ends the editor with status 1" test "$EDITOR_STATUS" -eq 1
check "the X error is reported" grep -q "X error" "$WORK/editor.err"

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
