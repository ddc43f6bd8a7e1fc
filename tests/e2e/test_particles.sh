# A user's session with particle systems: "Tools", "Particle Editor", "Add"
# places a fire at the marker; with the window closed, the fire is drawn
# above the marker and its flames move.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_editor
shots="$ARTEFACTS/particles"

# flame_pixels FILE: how many flame-coloured pixels (red over green over
# blue, bright) lie in the view above the marker at the centre.
flame_pixels() {
	convert "$1" -crop 240x150+280+130 +repage txt:- | awk -F'[(),: ]+' '
		NR > 1 && $3 >= 120 && $3 > $4 && $4 > $5 && $4 >= 20 { n++ }
		END { print n + 0 }'
}
# flames FILE: a fingerprint of that part of the view.
flames() {
	convert "$1" -crop 240x150+280+130 +repage rgb:- | md5sum
}

screenshot "$WORK/before.png"
before=$(flame_pixels "$WORK/before.png")

menu Tools "Particle Editor"
check "Particle Editor opens" wait_for 5 window_shown 580 32
screenshot "$shots/window.png"
xdotool mousemove 753 62 click 1   # "Add"
xdotool mousemove 753 502 click 1  # "Close"
check "Particle Editor closes with its own button" wait_for 5 pixel_is 580 32 "#000000"

fire_drawn() {
	screenshot "$WORK/now.png" && [ "$(flame_pixels "$WORK/now.png")" -gt $((before + 40)) ]
}
check "the fire is drawn above the marker" wait_for 10 fire_drawn || finish
cp "$WORK/now.png" "$shots/fire.png"
first=$(flames "$shots/fire.png")
flames_moved() { screenshot "$WORK/later.png" && [ "$(flames "$WORK/later.png")" != "$first" ]; }
check "the flames move" wait_for 5 flames_moved
check "the editor is still running" editor_running
finish
