# A user's third hour, on a desktop (openbox): with camera mode off a click on
# "Snap" in "Transform" toggles it and picks nothing; the typed path of an
# archive of 50 levels and Return open "Choose a Level"; the wheel zooms.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_openbox
start_editor
shots="$ARTEFACTS/third-hour"

# Camera mode off: the "CameraMode:" line changes.
screenshot "$WORK/now.png"
camera_on=$(camera_line "$WORK/now.png")
xdotool key c
camera_changed() { screenshot "$WORK/now.png" && [ "$(camera_line "$WORK/now.png")" != "$camera_on" ]; }
check "C turns camera mode off" wait_for 5 camera_changed
camera_off=$(camera_line "$WORK/now.png")

# "Snap" is ticked by a click on it: its box gets the dark tick.
menu Object Transform
check "Transform opens" wait_for 5 window_shown 700 40
tick_pixels() {
	screenshot "$WORK/now.png"
	convert "$WORK/now.png" -crop 12x12+544+156 +repage txt:- |
		awk -F'[(),: ]+' 'NR > 1 && $3 < 100 && $4 < 100 && $5 < 100 { n++ } END { print n + 0 }'
}
unticked=$(tick_pixels)
xdotool mousemove 548 162 click 1
ticked() { [ "$(tick_pixels)" -gt "$unticked" ]; }
check "a click on Snap ticks it" wait_for 5 ticked
screenshot "$shots/snap.png"
check "camera mode stays off" test "$(camera_line "$shots/snap.png")" = "$camera_off"
xdotool mousemove 779 40 click 1 # the window's close button
check "Transform closes" wait_for 5 pixel_is 700 40 "#000000"
screenshot "$WORK/before-level.png"

# An archive of 50 levels, its path typed into "Select BSP Level" and Return.
media=/usr/share/doc/libirrlicht-dev/media
mkdir -p "$WORK/tree/maps"
gzip -dc "$media/map-20kdm2.pk3.gz" >"$WORK/map.pk3"
unzip -q "$WORK/map.pk3" maps/20kdm2.bsp -d "$WORK/tree"
for i in $(seq -w 1 49); do ln "$WORK/tree/maps/20kdm2.bsp" "$WORK/tree/maps/level$i.bsp"; done
(cd "$WORK/tree" && zip -q -1 -r "$WORK/levels.pk3" maps)
menu World "World Properties"
check "World Properties opens" wait_for 5 window_shown 480 38
xdotool mousemove 90 140 click 1
type_into 360 214 "$WORK/levels.pk3"
xdotool key Return
# The chooser's list is white where the file dialog was grey.
check "Choose a Level opens" wait_for 20 pixel_is 400 340 "#FFFFFF"
screenshot "$shots/chooser.png"
xdotool key Escape
check "Escape closes it" wait_for 5 pixel_is_not 400 340 "#FFFFFF"
xdotool mousemove 462 477 click 1
check "World Properties closes" wait_for 5 pixel_is 400 340 "#000000"
screenshot "$WORK/now.png"
check "no level was loaded without asking" test "$(triangles_line "$WORK/now.png")" = \
	"$(triangles_line "$WORK/before-level.png")"

# The wheel zooms toward the cursor: the marker in the middle grows.
marker_pixels() {
	screenshot "$WORK/now.png"
	convert "$WORK/now.png" txt:- | awk -F'[(),: ]+' '
		NR > 1 && $3 >= 215 && $4 >= 80 && $4 <= 140 && $5 < 60 { n++ } END { print n + 0 }'
}
xdotool key Home
before=$(marker_pixels)
xdotool mousemove 400 300 click 4 click 4 click 4
grown() { [ "$(marker_pixels)" -gt $((before * 3 / 2)) ]; }
check "three notches of the wheel zoom in (marker: $before pixels)" wait_for 5 grown
screenshot "$shots/zoomed.png"

quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
