# A user's session: every tool window opens from its menu and closes with its
# own button; a sample model is added through the file dialog, moved with the
# arrows, the marker with the keypad; a model is picked with C and a click and
# removed; a malformed file is refused while the editor stays up; the scene
# is exported.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_editor
shots="$ARTEFACTS/editing"

# Tool windows: menu, title-bar point, own button, whether the button ends
# in a message box ("Save Options" exports, here to a folder that does not
# exist, so the "Save Error" box answers).
while IFS='|' read -r name item tx ty bx by box; do
	menu "$name" "$item"
	check "$item opens" wait_for 5 window_shown "$tx" "$ty"
	title=$(window_pixel "$tx" "$ty")
	screenshot "$shots/window-${item// /-}.png"
	[ "$item" = "Save C++" ] && type_save_folder "$WORK/missing/"
	xdotool mousemove "$bx" "$by" click 1
	if [ "$box" = box ]; then
		check "$item answers with a message" wait_for 5 message_shown
		dismiss_message
	fi
	# Where its title bar was, the view shows again (the grid may cross it).
	check "$item closes with its own button" wait_for 5 pixel_is_not "$tx" "$ty" "$title"
done <<'TABLE'
File|Properties|480|38|462|477|
File|Save C++|240|130|222|177|box
World|World Properties|480|38|462|477|
World|SkyBox Setup|275|130|252|260|
Help|About|495|208|400|340|
TABLE

# A sample crate through "Object", "Add", "Model".
mkdir -p "$WORK/models"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/models/"
crate_shown() { [ "$(centroid_x "$1" crate)" != none ]; }
shot_crate() { screenshot "$WORK/now.png" && crate_shown "$WORK/now.png"; }
menu Object Add 33
choose_file "$WORK/models/crate.obj" 3
check "the crate appears at the marker" wait_for 10 shot_crate || finish
screenshot "$shots/crate-added.png"
start=$(centroid_x "$shots/crate-added.png" crate)

# Each key is tapped until its effect shows (move_until).
# Arrow up moves the selected crate along its heading, +Z: right on screen,
# far enough that a second crate at the marker stands apart.
check "arrow up moves the crate right (+Z)" move_until "$WORK/now.png" Up crate -gt $((start + 60))
screenshot "$shots/crate-moved.png"
crate_x=$(centroid_x "$shots/crate-moved.png" crate)

# Keypad 8 moves the marker along its heading, +Z as well.
marker_start=$(centroid_x "$shots/crate-moved.png" marker)
check "keypad 8 moves the marker right (+Z)" move_until "$WORK/now.png" KP_8 marker -gt $((marker_start + 10))
screenshot "$shots/marker-moved.png"

# Keypad 2 brings it back, not the crate.
check "keypad 2 moves the marker back" move_until "$WORK/now.png" KP_2 marker -lt $((marker_start + 5))
screenshot "$WORK/now.png"
crate_still=$(centroid_x "$WORK/now.png" crate)
check "the keypad leaves the crate where it is" test "$crate_still" -ge $((crate_x - 3)) -a "$crate_still" -le $((crate_x + 3))

# A second crate at the marker takes the selection; C and a click on the
# first one select it again, "Object", "Remove" takes it away.
menu Object Add 33
choose_file "$WORK/models/crate.obj" 3
two_crates() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" -lt $((crate_x - 5)) ]; }
check "a second crate appears" wait_for 10 two_crates
screenshot "$WORK/now.png"
camera=$(camera_line "$WORK/now.png")
mode_changed() { screenshot "$WORK/now.png" && [ "$(camera_line "$WORK/now.png")" != "$camera" ]; }
xdotool key c
check "C switches the camera mode" wait_for 5 mode_changed
xdotool mousemove "$crate_x" 300 click 1
menu Object Remove
first_gone() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" -lt $((crate_x - 30)) ]; }
check "the picked crate is removed, the other stays" wait_for 5 first_gone
screenshot "$shots/picked-and-removed.png"

# A malformed file: "Load Model Error!" and the editor goes on.
mkdir -p "$WORK/bad"
cp /usr/share/assimp/models/invalid/malformed.obj "$WORK/bad/"
menu Object Add 33
choose_file "$WORK/bad/malformed.obj" 1
check "a message box answers the malformed file" wait_for 10 message_shown
screenshot "$shots/malformed-refused.png"
check "the editor is still running" editor_running
dismiss_message
message_gone() { ! message_shown; }
check "the message box closes" wait_for 5 message_gone

# "File", "Save C++": the remaining crate goes out as C++ source.
mkdir -p "$WORK/export"
menu File "Save C++"
check "Save Options opens again" wait_for 5 window_shown 240 130
type_save_folder "$WORK/export/"
press_save_ok
exported() { [ -s "$WORK/export/Level.h" ] && [ -s "$WORK/export/Level.cpp" ]; }
check "Level.h and Level.cpp are written" wait_for 5 exported
check "the \"Saved!\" box answers" wait_for 5 message_shown
screenshot "$shots/saved.png"
check "the export holds the crate" grep -q 'Model\[2\] = _smgr->addAnimatedMeshSceneNode' "$WORK/export/Level.cpp"
dismiss_message

quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
