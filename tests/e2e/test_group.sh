# Grouping on a desktop (openbox): two crates, one grouped through "Object",
# "Group", the other dragged onto the group's line in "Scene Objects"; a
# drag of the group's blue arrow moves both, as the export shows: the group
# moved, each crate still where it was inside it.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_openbox
start_editor
shots="$ARTEFACTS/group"

mkdir -p "$WORK/models" "$WORK/export"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/models/"
crate_shown() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" != none ]; }
add_crate() {
	menu Object Add 33
	choose_file "$WORK/models/crate.obj" 3
}
# "Scene Objects" lists a line per object, rows 19 pixels high from y 250.
menu View "Scene Objects"
check "Scene Objects opens" wait_for 5 window_shown 660 205
row_y() { echo $((259 + 19 * $1)); }
row_listed() {
	screenshot "$WORK/now.png" &&
		[ "$(convert "$WORK/now.png" -crop "150x10+550+$(($(row_y "$1") - 5))" -unique-colors txt:- |
			wc -l)" -gt 2 ]
}
add_crate
check "the first crate appears at the marker" wait_for 10 crate_shown || finish
add_crate
check "the second crate is listed" wait_for 10 row_listed 1

# The second crate 40 to the left, typed into "Transform".
menu Object Transform
check "Transform opens" wait_for 5 window_shown 660 40
xdotool mousemove 572 82 click 1 key ctrl+a minus
xdotool type --delay 5 "40"
xdotool key Return

# A click on the first crate's row, then "Object", "Group".
xdotool mousemove 620 "$(row_y 0)" click 1
menu Object Group
check "the group is listed" wait_for 5 row_listed 2
screenshot "$shots/grouped.png"
# The rows now: the second crate, the group, the first crate inside it.
drag 620 "$(row_y 0)" 620 "$(row_y 1)"
screenshot "$shots/dragged-line.png"
# The group alone hangs from nothing: its row is the first; selected, with
# the camera frozen its handles stand at the middle of the view.
xdotool mousemove 620 "$(row_y 0)" click 1
xdotool mousemove 400 500 key c
blue_arrow() {
	screenshot "$WORK/now.png" &&
		[ "$(convert "$WORK/now.png" -crop 60x20+450+290 txt:- | grep -c '#3264FF')" -gt 5 ]
}
check "the group's handles stand at the middle of the view" wait_for 5 blue_arrow
screenshot "$shots/handles.png"
start=$(centroid_x "$WORK/now.png" crate)
drag 482 300 600 300
moved() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" -gt $((start + 40)) ]; }
check "the crates follow the arrow to the right" wait_for 5 moved
screenshot "$shots/moved.png"
xdotool key c

# The export: the group moved along Z, the crates inside it where they were.
open_save_options() {
	menu File "Save C++"
	wait_for 5 window_shown 240 130
}
open_save_options || open_save_options
type_save_folder "$WORK/export/"
press_save_ok
check "the scene is exported" wait_for 10 test -s "$WORK/export/Level.cpp"
wait_for 10 message_shown && dismiss_message
level="$WORK/export/Level.cpp"
group=$(grep -o 'Model\[3\]->setPosition(vector3df([^)]*))' "$level")
z=$(echo "$group" | sed -E 's/.*,([-0-9.]+)\)\)$/\1/')
check "the group moved along Z ($group)" awk -v z="$z" 'BEGIN { exit !(z > 30) }'
for crate in 1 2; do
	check "crate $crate is in the group" grep -q "Model\[$crate\]->setParent(Model\[3\])" "$level"
done
check "the first crate stands at the group's own place" \
	grep -q 'Model\[1\]->setPosition(vector3df(0.000000,0.000000,0.000000))' "$level"
check "the second crate keeps its place beside it" \
	grep -q 'Model\[2\]->setPosition(vector3df(-40.000000,0.000000,0.000000))' "$level"

quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
