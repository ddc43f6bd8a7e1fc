# Opening a scene that names a file the engine's loader never finishes: one
# "Loading <scene>..." window stands for the whole scene, its Cancel ends the
# open, and the scene is left as it was.
source "$(dirname "$0")/e2e-lib.sh"
caption() { xdotool getwindowname "$EDITOR_WINDOW" 2>/dev/null; }
caption_is() { [ "$(caption)" = "$1" ]; }
crate_shown() {
	screenshot "$WORK/now.png"
	[ "$(centroid "$WORK/now.png" crate)" != none ]
}
no_crate() { ! crate_shown; }
no_message() { ! message_shown; }
# The loading window's "Cancel" button, drawn over the scene's black.
loading_shown() { pixel_is_not 505 297 "#000000"; }

mkdir -p "$WORK/assets"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/assets/"
# A LightWave object whose surface carries an "ALPH" sub-chunk: the engine's
# loader never leaves it.
{
	printf 'FORM\x00\x00\x00\x68LWOBSRFS\x00\x00\x00\x06Test\x00\x00PNTS\x00\x00\x00\x24'
	printf '\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x3f\x80\x00\x00\x00\x00\x00\x00'
	printf '\x00\x00\x00\x00\x00\x00\x00\x00\x3f\x80\x00\x00\x00\x00\x00\x00'
	printf 'POLS\x00\x00\x00\x0a\x00\x03\x00\x00\x00\x01\x00\x02\x00\x01'
	printf 'SURF\x00\x00\x00\x10Test\x00\x00ALPH\x00\x04\x00\x02\x00\xff'
} >"$WORK/assets/hangs.lwo"
model() {
	echo "<node type=\"empty\"><userData><attributes><int name=\"Slot\" value=\"$1\" />"
	echo "<string name=\"MeshFile\" value=\"$2\" /></attributes></userData></node>"
}
{
	echo '<?xml version="1.0"?><irr_scene><node type="empty"><userData><attributes>'
	echo '<string name="Format" value="Tolvane scene" /></attributes></userData>'
	model 1 crate.obj
	model 2 hangs.lwo
	echo '</node></irr_scene>'
} >"$WORK/assets/slow.irr"

start_xvfb
start_editor "$TOLVANE_ROOT" "$WORK/assets/slow.irr"
check "one loading window stands for the scene" wait_for 20 loading_shown
screenshot "$ARTEFACTS/scene-cancel/loading.png"
xdotool mousemove 505 297 click 1
check "Cancel ends the whole open" wait_for 10 pixel_is 505 297 "#000000"
screenshot "$ARTEFACTS/scene-cancel/cancelled.png"
check "no message follows a Cancel" no_message
check "the scene is as it was: no crate" wait_for 5 no_crate
check "the caption names no scene and no change" wait_for 5 caption_is "0.0.7"
check "the editor still runs" editor_running
close_editor
wait_editor_exit 10 && check "the editor ends with status 0" test "$EDITOR_STATUS" -eq 0
finish
