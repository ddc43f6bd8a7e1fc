# World geometry through its windows and dialogs: the engine's sample sky box
# from the "SkyBox Setup" window, then the Quake 3 level from "World
# Properties", "Load Q3Level" and the file dialog, its textures in a sibling
# archive; locked in "Scene Objects", it lets a click through to a crate,
# whose outline then shows through the level from above.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_editor
shots="$ARTEFACTS/world"
media=/usr/share/doc/libirrlicht-dev/media

# The corners of the scene are the clear colour until a sky box covers them.
check "no sky before" pixel_is 790 590 "#000000"
menu World "SkyBox Setup"
check "SkyBox Setup opens" wait_for 5 window_shown 275 130
type_sky_faces "$media/"
screenshot "$shots/skybox-setup.png"
press_sky_ok
check "the sky box fills the background" wait_for 10 pixel_is_not 790 590 "#000000"
screenshot "$shots/skybox.png"
before=$(triangles_line "$shots/skybox.png")

# The level as a game ships it: its maps archive beside its textures archive.
mkdir -p "$WORK/level" "$WORK/tree"
gzip -dc "$media/map-20kdm2.pk3.gz" >"$WORK/map.pk3"
unzip -q "$WORK/map.pk3" -d "$WORK/tree"
(cd "$WORK/tree" && zip -q -r "$WORK/level/map-20kdm2.pk3" maps &&
	zip -q -r "$WORK/level/textures.pk3" textures scripts models)
menu World "World Properties"
check "World Properties opens" wait_for 5 window_shown 480 38
xdotool mousemove 90 140 click 1
choose_file "$WORK/level/map-20kdm2.pk3" 1
xdotool mousemove 462 477 click 1
level_drawn() { screenshot "$WORK/now.png" && [ "$(triangles_line "$WORK/now.png")" != "$before" ]; }
check "the level is drawn (the triangle count changes)" wait_for 20 level_drawn
screenshot "$shots/level.png"

# A locked level lets a click through to the model in it: "Scene Objects"
# locks the level (its line comes first), then a crate framed in the middle
# of the view is picked there, its handles standing on it.
menu View "Scene Objects"
check "Scene Objects opens" wait_for 5 window_shown 660 205
xdotool mousemove 600 259 click 1 sleep 0.2 mousemove 722 455 click 1
mkdir -p "$WORK/models"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/models/"
menu Object Add 33
choose_file "$WORK/models/crate.obj" 3
sleep 1
xdotool key f sleep 0.5 key Escape key c
# The red of the X handle in the middle of the view.
handles_shown() {
	screenshot "$WORK/now.png" &&
		[ "$(convert "$WORK/now.png" -crop 200x200+300+200 txt:- | grep -c '#E62828')" -gt 20 ]
}
check "no handles with nothing selected" wait_for 5 eval '! handles_shown'
xdotool mousemove 400 300 click 1 sleep 0.3 key c
check "the click through the locked level picks the crate" wait_for 5 handles_shown
screenshot "$shots/locked-level-pick.png"
# Seen from the top the crate lies under the level's ceiling: its outline
# shows through, in the dim colour of the hidden part (#AF731E).
xdotool key 2
outline_through_ceiling() {
	screenshot "$WORK/now.png" &&
		[ "$(convert "$WORK/now.png" -crop 800x580+0+20 txt:- | grep -c '#AF731E')" -gt 100 ]
}
check "the selected crate's outline shows through the ceiling" wait_for 5 outline_through_ceiling
screenshot "$shots/outline-from-top.png"
# Dragged by its centre with Shift held, it stands on what lies under the
# cursor, seen from the top: on the level, in sight, its outline bright.
xdotool mousemove 400 300 keydown shift mousedown 1 sleep 0.1 mousemove 300 300 sleep 0.1 \
	mousemove 200 300 sleep 0.1 mouseup 1 keyup shift
outline_in_sight() {
	screenshot "$WORK/now.png" &&
		[ "$(convert "$WORK/now.png" -crop 800x580+0+20 txt:- | grep -c '#FFAA28')" -gt 100 ]
}
check "Shift and a drag put the crate on top of the level" wait_for 5 outline_in_sight
screenshot "$shots/dropped-on-level.png"
check "the editor is still running" editor_running
quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
