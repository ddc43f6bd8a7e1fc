# The four views on a desktop (openbox): a level opened from the command
# line, then "View", "Four Views": the top, front, side and perspective
# views each show it in their quarter of the window.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
start_openbox
media=/usr/share/doc/libirrlicht-dev/media
gzip -dc "$media/map-20kdm2.pk3.gz" >"$WORK/map-20kdm2.pk3"
start_editor "$TOLVANE_ROOT" "$WORK/map-20kdm2.pk3"
shots="$ARTEFACTS/four-views"

# The part of a quarter of the window (0 top left, 1 top right, 2 bottom
# left, 3 bottom right) that is not black, in percent; its middle, clear
# of the menu bar, the information window and the caption.
lit_percent() {
	local file=$1 q=$2 w h
	read -r w h < <(identify -format "%w %h" "$file")
	local qw=$((w / 2)) qh=$((h / 2))
	local x=$((q % 2 * qw + qw / 8)) y=$((q / 2 * qh + qh / 4))
	convert "$file" -crop $((qw * 3 / 4))x$((qh / 2))+$x+$y +repage -fuzz 3% -fill white \
		+opaque black -colorspace gray -format "%[fx:int(100 * mean)]" info:
}
level_in_view() { screenshot "$WORK/now.png" && [ "$(lit_percent "$WORK/now.png" 3)" -ge 20 ]; }
check "the level is drawn" wait_for 30 level_in_view
screenshot "$shots/perspective.png"

# Without the grid, whatever is not black in a quarter is the level.
menu View "Four Views"
menu View Grid
quarters_lit() {
	screenshot "$WORK/now.png" || return 1
	for q in 0 1 2 3; do
		[ "$(lit_percent "$WORK/now.png" $q)" -ge 5 ] || return 1
	done
}
check "each quarter shows the level" wait_for 10 quarters_lit
# Seen from the front, the level stands in the scene colour; the
# perspective view alone, inside it, would show a wall there.
check "the front view shows the level whole" pixel_is 780 60 "#000000"
screenshot "$shots/four-views.png"
for q in 0 1 2 3; do echo "quarter $q: $(lit_percent "$shots/four-views.png" $q) % lit"; done
grid_lit() { screenshot "$WORK/now.png" && [ "$(lit_percent "$WORK/now.png" 0)" -gt "$1" ]; }
menu View Grid
check "the grid shows again across the top view" wait_for 10 grid_lit \
	"$(lit_percent "$shots/four-views.png" 0)"
screenshot "$shots/four-views-grid.png"

# Key 1 shows the perspective view alone again.
xdotool key 1
check "the editor is still running" editor_running
quit_discarding
wait_editor_exit 10 && check "the editor ends normally" test "$EDITOR_STATUS" -eq 0
finish
