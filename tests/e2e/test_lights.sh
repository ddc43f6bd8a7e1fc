# A light added through "Object", "Add", "Light" lights a model: the lower
# part of a lit crate's front, which the editor's sun leaves dark, brightens
# in a screenshot of the front view.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_editor
shots="$ARTEFACTS/lights"

mkdir -p "$WORK/models"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/models/"
crate_shown() { screenshot "$WORK/now.png" && [ "$(centroid_x "$WORK/now.png" crate)" != none ]; }
menu Object Add "${ADD_Y[Model]}"
choose_file "$WORK/models/crate.obj" 3
check "the crate appears at the marker" wait_for 10 crate_shown || finish

# Lit by the scene's lights: "Lighting" in "Selected Model Properties".
menu Object Properties
check "Selected Model Properties opens" wait_for 5 window_shown 160 50
title=$(window_pixel 160 50)
xdotool mousemove 160 152 click 1 mousemove 245 312 click 1
check "Selected Model Properties closes" wait_for 5 pixel_is_not 160 50 "$title"

# place X Y Z: types the selected object's position into "Transform" (a
# minus sign as its key: xdotool would take it for an option).
place() {
	local x=572 v
	for v in "$@"; do
		xdotool mousemove "$x" 82 click 1 key ctrl+a
		[ "${v#-}" != "$v" ] && xdotool key minus
		xdotool type --delay 5 "${v#-}"
		xdotool key Return
		x=$((x + 84))
	done
}
menu Object Transform
check "Transform opens" wait_for 5 window_shown 660 40
place 0 0 0

# The front view (along +Z) framed on the crate, nothing selected.
xdotool key f 3 Escape

# brightness FILE: the mean grey, 0 to 255, of the lower part of the crate's
# front, leaving out the light's yellow icon should it stand there.
brightness() {
	convert "$1" -crop 200x90+300+335 +repage txt:- | awk -F'[(),: ]+' '
		NR > 1 {
			r = $3; g = $4; b = $5
			if (r >= 230 && g >= 200 && b <= 100) next
			sum += (r + g + b) / 3; n++
		}
		END { printf "%d\n", n ? sum / n : 0 }'
}
# settled FILE: a screenshot taken until two in a row agree.
settled() {
	local last=""
	for _ in $(seq 20); do
		screenshot "$1"
		local now
		now=$(md5sum <"$1")
		[ "$now" = "$last" ] && return 0
		last=$now
		sleep 0.2
	done
	return 1
}
check "the front view settles" settled "$shots/unlit.png"
before=$(brightness "$shots/unlit.png")

# The light: added at the marker, then placed below and in front of the
# crate's front.
menu Object Add "${ADD_Y[Light]}"
place 0 -15 -25
xdotool key Escape
brighter() { screenshot "$WORK/now.png" && [ "$(brightness "$WORK/now.png")" -ge $((before + 30)) ]; }
check "the light brightens the crate's front (from $before)" wait_for 10 brighter
screenshot "$shots/lit.png"
echo "brightness: $before before, $(brightness "$shots/lit.png") with the light"
finish
