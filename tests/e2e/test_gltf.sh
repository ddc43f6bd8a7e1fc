# "File", "Export glTF" in the editor on OpenGL: a scene of two models
# written as one .glb beside its scene file and read back by assimp. The
# crate's JPEG texture travels as its file's bytes, the ground's BMP texture
# as a PNG of the same pixels, read from the renderer.
source "$(dirname "$0")/e2e-lib.sh"
mkdir -p "$WORK/assets" "$WORK/read"
cp "$TOLVANE_ROOT"/samples/crate.* "$TOLVANE_ROOT"/samples/ground.* "$WORK/assets/"
model() {
	echo "<node type=\"empty\"><userData><attributes><int name=\"Slot\" value=\"$1\" />"
	echo "<string name=\"MeshFile\" value=\"$2\" /></attributes></userData></node>"
}
{
	echo '<?xml version="1.0"?><irr_scene><node type="empty"><userData><attributes>'
	echo '<string name="Format" value="Tolvane scene" /></attributes></userData>'
	model 1 crate.obj
	model 2 ground.obj
	echo '</node></irr_scene>'
} >"$WORK/assets/two.irr"
caption_names_scene() { xdotool getwindowname "$EDITOR_WINDOW" 2>/dev/null | grep -q two.irr; }
texture_of() { awk -v f="$1" '$1 == "texture" && $3 == f { print $2 }' "$WORK/read/probe.out"; }

start_xvfb
start_editor "$TOLVANE_ROOT" "$WORK/assets/two.irr"
check "the scene opens" wait_for 20 caption_names_scene
# "Opened 2 of 2 objects": a scene written by hand holds no editor state.
dismiss_message
menu File "Export glTF"
check "Export glTF opens" wait_for 5 window_shown 200 235
screenshot "$ARTEFACTS/gltf/window.png"
# The field has the focus and names two.glb beside two.irr.
xdotool key Return
check "a message says what was written" wait_for 10 message_shown
screenshot "$ARTEFACTS/gltf/written.png"
dismiss_message

"$TOLVANE_BUILD/tests/gltf_probe" "$WORK/assets/two.glb" "$WORK/read" >"$WORK/read/probe.out"
check "assimp reads the file" test $? -eq 0
cat "$WORK/read/probe.out"
check "the crate is a node with its 12 triangles" grep -q '^node crate.obj [0-9]* 12$' "$WORK/read/probe.out"
check "the ground is a node" grep -q '^node ground.obj ' "$WORK/read/probe.out"
jpg=$(texture_of jpg) png=$(texture_of png)
check "the crate's texture is crate.jpg as it is" cmp -s "$WORK/read/texture$jpg.jpg" "$WORK/assets/crate.jpg"
same_pixels() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
check "the ground's texture is ground.bmp's pixels as PNG" \
	same_pixels "$WORK/read/texture$png.png" "$WORK/assets/ground.bmp"

check "the editor still runs" editor_running
quit_discarding
wait_editor_exit 10 && check "the editor ends with status 0" test "$EDITOR_STATUS" -eq 0
finish
