# A glTF model added through "Object", "Add", "Model" on OpenGL, drawn with
# its texture: the crate written as a .glb by "Export glTF" (its JPEG inside)
# comes back as a model of its own, read in the helper by assimp.
source "$(dirname "$0")/e2e-lib.sh"
mkdir -p "$WORK/assets" "$WORK/glb"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/assets/"
{
	echo '<?xml version="1.0"?><irr_scene><node type="empty"><userData><attributes>'
	echo '<string name="Format" value="Tolvane scene" /></attributes></userData>'
	echo '<node type="empty"><userData><attributes><int name="Slot" value="1" />'
	echo '<string name="MeshFile" value="crate.obj" /></attributes></userData></node>'
	echo '</node></irr_scene>'
} >"$WORK/assets/one.irr"
caption_names_scene() { xdotool getwindowname "$EDITOR_WINDOW" 2>/dev/null | grep -q one.irr; }
crate_shown() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" != none ]; }

start_xvfb
start_editor "$TOLVANE_ROOT" "$WORK/assets/one.irr"
check "the scene opens" wait_for 20 caption_names_scene
dismiss_message
menu File "Export glTF"
check "Export glTF opens" wait_for 5 window_shown 200 235
xdotool key Return
check "the crate is written as one.glb" wait_for 10 test -s "$WORK/assets/one.glb"
wait_for 10 message_shown && dismiss_message
quit_discarding
wait_editor_exit 10
mv "$WORK/assets/one.glb" "$WORK/glb/crate.glb"

start_editor
menu Object Add 33
choose_file "$WORK/glb/crate.glb" 1
check "the glTF crate appears at the marker with its wood" wait_for 15 crate_shown
screenshot "$ARTEFACTS/glb/added.png"
check "the editor still runs" editor_running
quit_discarding
wait_editor_exit 10 && check "the editor ends with status 0" test "$EDITOR_STATUS" -eq 0
finish
