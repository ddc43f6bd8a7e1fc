# Placing a crate exactly on a desktop (openbox): with the camera frozen,
# the crate is dragged with the mouse and the export shows it moved; then a
# position typed into "Transform" is where the export puts it.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_openbox
start_editor
shots="$ARTEFACTS/placing"

mkdir -p "$WORK/models" "$WORK/export"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/models/"
crate_shown() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" != none ]; }
menu Object Add 33
choose_file "$WORK/models/crate.obj" 3
check "the crate appears at the marker" wait_for 10 crate_shown || finish
start=$(centroid_x "$WORK/now.png" crate)

# Exports the scene and prints the crate's position line.
# A menu click can go astray while a busy machine draws a few frames a
# second: the menu is opened again when "Save Options" does not show.
open_save_options() {
	menu File "Save C++"
	wait_for 5 window_shown 240 130
}
exported_position() {
	rm -f "$WORK/export/Level.cpp"
	open_save_options || open_save_options || return 1
	type_save_folder "$WORK/export/"
	press_save_ok
	wait_for 10 test -s "$WORK/export/Level.cpp" || return 1
	wait_for 10 message_shown && dismiss_message
	grep -o 'Model\[1\]->setPosition(vector3df([^)]*))' "$WORK/export/Level.cpp"
}
check "the new crate is exported at the origin" \
	test "$(exported_position)" = "Model[1]->setPosition(vector3df(0.000000,0.000000,0.000000))"

# C freezes the camera: the handles stand on the crate, whose centre is the
# middle of the start view. A drag to the right moves it along +Z.
xdotool key c
# The red of the X handle around the crate.
handles_shown() {
	screenshot "$WORK/now.png" &&
		[ "$(convert "$WORK/now.png" -crop 200x200+300+200 txt:- | grep -c '#E62828')" -gt 20 ]
}
check "the handles stand on the selected crate" wait_for 5 handles_shown
screenshot "$shots/handles.png"
drag 400 300 520 300
moved() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" -gt $((start + 60)) ]; }
check "the crate follows the mouse to the right" wait_for 5 moved
screenshot "$shots/dragged.png"
xdotool key c
position=$(exported_position)
z=$(echo "$position" | sed -E 's/.*,([-0-9.]+)\)\)$/\1/')
check "the export has the dragged crate further along Z ($position)" \
	awk -v z="$z" 'BEGIN { exit !(z > 30) }'
check "the drag kept it on the ground plane ($position)" \
	grep -q 'vector3df([-0-9.]*,0.000000,' <<<"$position"

# "Object", "Transform": X and Z typed into their boxes.
menu Object Transform
check "Transform opens" wait_for 5 window_shown 660 40
xdotool mousemove 572 82 click 1 key ctrl+a minus
xdotool type --delay 5 "40"
xdotool key Return
type_into 755 82 "25,5"
xdotool key Return
screenshot "$shots/typed.png"
check "the typed position is the exported one" \
	test "$(exported_position)" = "Model[1]->setPosition(vector3df(-40.000000,0.000000,25.500000))"

# "View", "Scene Objects" lists the crate below "Transform".
menu View "Scene Objects"
check "Scene Objects opens" wait_for 5 window_shown 660 205
screenshot "$shots/scene-objects.png"

# The crates are unsaved: the quit question is answered "No".
quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
