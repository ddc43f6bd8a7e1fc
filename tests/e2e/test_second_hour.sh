# A user's second hour, on a desktop (openbox): a model chosen by typing its
# path and Return, then Return again, is one model, and the keypad moves the
# marker at once; "Shadow" ticked on a crate above the ground is exported.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_openbox
start_editor
shots="$ARTEFACTS/second-hour"

# The marker is raised first (keypad 9), so that the crate floats above the
# ground (its shadow falls beside it; see shadow.png).
marker_y() { local c; c=$(centroid "$1" marker); echo "${c#* }"; }
screenshot "$WORK/now.png"
start_y=$(marker_y "$WORK/now.png")
raised() { nudge KP_9 0.3; screenshot "$WORK/now.png"; [ "$(marker_y "$WORK/now.png")" -lt $((start_y - 80)) ]; }
check "keypad 9 raises the marker" wait_for 20 raised
marker_x=$(centroid_x "$WORK/now.png" marker)

crate_shown() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" != none ]; }
menu Object Add 33
type_into 360 214 "$TOLVANE_ROOT/samples/crate.obj"
xdotool key Return
check "a typed path and Return add the crate" wait_for 10 crate_shown
xdotool key Return
check "keypad 8 moves the marker at once" \
	move_until "$WORK/now.png" KP_8 marker -gt $((marker_x + 20))
screenshot "$shots/crate-and-marker.png"

# The ground plane, its path typed too; the view stays with the crate.
# Over the green ground, only the windows and boxes are grey.
grey_at() {
	local p
	p=$(window_pixel "$1" "$2")
	[ "$p" != "#000000" ] && [ "${p:1:2}" = "${p:3:2}" ] && [ "${p:3:2}" = "${p:5:2}" ]
}
not() { ! "$@"; }
menu World "World Properties"
check "World Properties opens" wait_for 5 window_shown 480 38
xdotool mousemove 90 118 click 1
type_into 360 214 "$TOLVANE_ROOT/samples/ground.obj"
xdotool key Return
check "the plane is loaded and says so" wait_for 10 grey_at 540 300
dismiss_message
check "the message closes" wait_for 5 not grey_at 540 300
xdotool mousemove 462 477 click 1
check "World Properties closes" wait_for 5 not grey_at 400 400

# "Shadow" ticked in "Selected Model Properties" goes into the export.
open_model_window() { menu Object Properties && wait_for 2 grey_at 45 300; }
check "Selected Model Properties opens" wait_for 10 open_model_window
xdotool mousemove 60 132 click 1
screenshot "$shots/shadow.png"
xdotool mousemove 245 312 click 1

# The export counts the models: one crate.
mkdir -p "$WORK/export"
menu File "Save C++"
check "Save Options opens" wait_for 5 grey_at 100 150
type_save_folder "$WORK/export/"
press_save_ok
check "the export is written" wait_for 10 test -s "$WORK/export/Level.cpp"
check "the second Return added no second crate" \
	test "$(grep -c 'addAnimatedMeshSceneNode' "$WORK/export/Level.cpp")" -eq 1
check "the exported crate casts its shadow in the game" \
	grep -q 'addShadowVolumeSceneNode' "$WORK/export/Level.cpp"
dismiss_message

quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
