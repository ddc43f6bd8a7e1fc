# "View", "Assets" in the editor on OpenGL: a folder with the sample crate and
# its texture, typed into the shelf's field, shows the crate drawn by the
# engine into its picture and the texture scaled down into its own.
source "$(dirname "$0")/e2e-lib.sh"
mkdir -p "$WORK/assets" "$ARTEFACTS/assets"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/assets/"

# The colours of a picture cell (64 pixels square at window x, y): a few of
# the window's shaded body (under 30) before the picture is made, hundreds
# once the lit crate or its texture is drawn.
cell_colours() {
	convert "$ARTEFACTS/assets/shelf.png" -crop "64x64+$1+$2" +repage -unique-colors txt:- |
		tail -n +2 | wc -l
}
pictures_drawn() {
	screenshot "$ARTEFACTS/assets/shelf.png"
	[ "$(cell_colours 528 120)" -gt 100 ] && [ "$(cell_colours 448 120)" -gt 100 ]
}

start_xvfb
start_editor
menu View Assets
check "Assets opens" wait_for 5 window_shown 600 470
type_into 600 100 "$WORK/assets/"
xdotool key Return
check "the crate and its texture show as pictures" wait_for 10 pictures_drawn
echo "colours: crate.obj $(cell_colours 528 120), crate.jpg $(cell_colours 448 120)"

check "the editor still runs" editor_running
quit_discarding
wait_editor_exit 10 && check "the editor ends with status 0" test "$EDITOR_STATUS" -eq 0
finish
