# Driving the editor's window with real X input: the menu bar, the file
# dialog, edit boxes, keys, message boxes, and reading the screen back.
# shellcheck shell=bash
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Positions of the menu bar's entries and of the items below them, in window
# pixels: items are 15 pixels apart from y 30, separators take 10.
declare -A MENU_X=([File]=22 [Edit]=70 [View]=120 [World]=176 [Object]=238 [Tools]=300 [Help]=356)
declare -A ITEM_Y=(["File/Clear"]=30 ["File/Open Scene"]=55 ["File/Open Recent"]=70
	["File/Save Scene"]=85 ["File/Save C++"]=110 ["File/Export glTF"]=125 ["File/Properties"]=150 ["File/Quit"]=175 ["Edit/Undo"]=30 ["Edit/Redo"]=45 ["View/Scene Info"]=30 ["View/Scene Objects"]=45 ["View/Assets"]=60
	["View/Properties"]=75 ["View/Perspective"]=100 ["View/Top"]=115 ["View/Front"]=130
	["View/Side"]=145 ["View/Four Views"]=160 ["View/Grid"]=185 ["World/SkyBox Setup"]=30
	["World/World Properties"]=45 ["Object/Add"]=30 ["Object/Remove"]=45
	["Object/Properties"]=60 ["Object/Transform"]=75 ["Object/Drop to Floor"]=90 ["Object/Group"]=105 ["Object/Ungroup"]=120 ["Tools/Particle Editor"]=30 ["Help/About"]=30)

# The y of each entry of "Object", "Add" (menu Object Add "${ADD_Y[Light]}").
declare -A ADD_Y=([Model]=33 [Water]=48 [Light]=63 [Billboard]=78 [Cube]=93 [Sphere]=108
	[Camera]=123 ["Sky Dome"]=138 [Empty]=153)

# menu MENU ITEM [SUBITEM-Y]: opens a menu of the bar and clicks an item; with
# SUBITEM-Y, hovers the item and clicks the entry of its submenu at that y.
menu() {
	local x=${MENU_X[$1]} y=${ITEM_Y["$1/$2"]}
	xdotool mousemove "$x" 9 click 1 mousemove $((x + 10)) "$y"
	if [ $# -eq 3 ]; then
		xdotool mousemove $((x + 120)) "$y" mousemove $((x + 120)) "$3" click 1
	else
		xdotool click 1
	fi
}

# choose_file PATH: in the open file dialog, types the file's folder into the
# path field, clicks the file's row and "OK". The folder must hold only the
# file and names sorting before it ($2: its row, counting ".." as 0).
choose_file() {
	local dir=${1%/*} row=${2:-1}
	type_into 360 214 "$dir"
	xdotool key Return
	xdotool mousemove 300 $((240 + row * 19)) click 1 mousemove 530 214 click 1
}

# centroid FILE KIND: mean "x y" of the pixels of the placement marker
# (orange) or of the sample crate (brown wood) below the menus, or "none".
centroid() {
	convert "$1" -crop 800x480+0+120 +repage -sample 50% txt:- | awk -v kind="$2" -F'[(),: ]+' '
		NR > 1 {
			x = 2 * $1; y = 2 * $2; r = $3; g = $4; b = $5
			if (kind == "marker") hit = r >= 215 && g >= 80 && g <= 140 && b < 60
			else hit = r >= 60 && r <= 200 && r > g && g > b && b < 80
			if (hit) { sx += x; sy += y; n++ }
		}
		END { if (n < 5) print "none"; else printf "%d %d\n", sx / n, sy / n + 120 }'
}

# centroid_x FILE KIND: the x of centroid, or "none".
centroid_x() {
	local c
	c=$(centroid "$1" "$2")
	echo "${c%% *}"
}

# triangles_line FILE: a fingerprint of the "Triangles:" line of the
# information window, which changes when geometry is drawn.
triangles_line() {
	convert "$1" -crop 200x14+40+76 +repage rgb:- | md5sum
}

# window_shown X Y: a tool window (its title bar or body, neutral grey) is
# drawn at that point, where the scene shows black or colours.
window_shown() {
	local p
	p=$(window_pixel "$1" "$2")
	[ ${#p} -eq 7 ] && [ "$p" != "#000000" ] && [ "${p:1:2}" = "${p:3:2}" ] && [ "${p:1:2}" = "${p:5:2}" ]
}

# nudge KEY [SECONDS]: holds a key for a moment (a few frames).
nudge() {
	xdotool keydown "$1" sleep "${2:-0.01}" keyup "$1"
}

# move_until SHOT KEY KIND OP LIMIT: taps KEY until the centroid x of KIND
# (see centroid) in a fresh screenshot SHOT is -gt or -lt LIMIT, for up to 20
# seconds. A held key moves things 60 steps a second and a tap takes at least
# one step, so short taps move a little each time and do not overshoot. Where
# a tap showed no movement at all (the screenshot came before the frame),
# the next one is held twice as long.
move_until() {
	local shot=$1 key=$2 kind=$3 op=$4 limit=$5 hold=0.01 x last="" deadline=$((SECONDS + 20))
	while [ $SECONDS -lt $deadline ]; do
		nudge "$key" "$hold"
		screenshot "$shot"
		x=$(centroid_x "$shot" "$kind")
		[ "$x" != none ] && [ "$x" "$op" "$limit" ] && return 0
		if [ "$x" != none ] && [ "$x" = "$last" ]; then
			hold=$(awk -v h="$hold" 'BEGIN { print (h < 0.1 ? h * 2 : h) }')
		fi
		last=$x
	done
	return 1
}

# drag X1 Y1 X2 Y2: drags with the left button (a scroll bar's thumb). The
# steps are paced: a press, moves and release within one frame move nothing.
drag() {
	xdotool mousemove "$1" "$2" mousedown 1 sleep 0.1 mousemove $((($1 + $3) / 2)) "$4" \
		sleep 0.1 mousemove "$3" "$4" sleep 0.1 mouseup 1
}

# wait_window_closed X Y: waits until the window drawn at that point has
# gone (the point shows something else).
wait_window_closed() {
	local drawn
	drawn=$(window_pixel "$1" "$2")
	wait_for 5 pixel_is_not "$1" "$2" "$drawn"
}

# type_into X Y TEXT: replaces the text of the edit box at that point.
type_into() {
	xdotool mousemove "$1" "$2" click 1 key ctrl+a
	xdotool type --delay 5 "$3"
}

# The "Save Options" and "SkyBox Setup" windows open behind "Scene
# Information", which covers their first fields: a click on a window's body
# brings it to the front.

# type_save_folder DIR: types the folder into the open "Save Options".
type_save_folder() {
	xdotool mousemove 100 150 click 1
	type_into 100 85 "$1"
}

# type_sky_faces DIR: types the folder and the names of the engine's six
# sample faces (irrlicht2_*.jpg) into the open "SkyBox Setup".
type_sky_faces() {
	local y=90 face
	xdotool mousemove 60 265 click 1
	type_into 150 65 "$1"
	for face in up dn lf rt ft bk; do
		type_into 150 "$y" "irrlicht2_$face.jpg"
		y=$((y + 25))
	done
}

# Presses "Ok" in "Save Options" and "Ok" (builds and closes) in "SkyBox
# Setup".
press_save_ok() { xdotool mousemove 222 177 click 1; }
press_sky_ok() { xdotool mousemove 252 260 click 1; }

# ok_button_y: the y of the middle of a message box's "OK" button, or
# nothing. The button stands in the middle of the window, 80 pixels wide
# with a white left edge and a two-pixel shadow on the right, whatever the
# text above it; the loading window and file dialogs have none there.
ok_button_y() {
	xwd -id "$EDITOR_WINDOW" -silent 2>/dev/null |
		convert xwd:- -crop 84x400+357+100 +repage txt:- 2>/dev/null | awk -F'[(),: ]+' '
			NR > 1 { p[$1, $2] = $3 "," $4 "," $5 }
			END {
				for (a = 0; a < 4; a++) {
					n = 0; sum = 0
					for (y = 0; y < 400; y++)
						if (p[a, y] == "255,255,255" && p[a + 78, y] == "130,130,130" &&
							p[a + 79, y] == "50,50,50") { n++; sum += y }
					if (n >= 15) { printf "%d\n", sum / n + 100; exit }
				}
			}'
}

# A message box is on screen (its "OK" button is drawn).
message_shown() {
	[ -n "$(ok_button_y)" ]
}

# Clicks "OK" in the message box on screen, once it is drawn.
dismiss_message() {
	wait_for 5 message_shown || return 1
	xdotool mousemove 400 "$(ok_button_y)" click 1
}

# quit_discarding: closes the window and, while the editor asks whether to
# save its changes, answers "No" (the key N; in the scene N does nothing).
quit_discarding() {
	close_editor
	wait_for 10 gone_or_say_no
}

gone_or_say_no() {
	editor_gone || {
		xdotool key n
		false
	}
}

# launch_editor LOGDIR [DIR [ARGUMENT...]]: starts the editor (TOLVANE_EXE,
# the build's by default) in DIR (the project root by default), its output in
# LOGDIR; waits until its window has the focus and a frame is drawn. Sets
# EDITOR_PID.
launch_editor() {
	local log=$1 dir=${2:-$TOLVANE_ROOT}
	shift $(($# < 2 ? $# : 2))
	(cd "$dir" && exec "${TOLVANE_EXE:-$TOLVANE_BUILD/tolvane}" "$@" </dev/null \
		>"$log/editor.out" 2>"$log/editor.err") &
	EDITOR_PID=$!
	focus_editor && wait_for 20 editor_drawn
}

# camera_line FILE: a fingerprint of the "CameraMode:" line of the
# information window.
camera_line() {
	convert "$1" -crop 200x14+40+91 +repage rgb:- | md5sum
}

editor_running() {
	kill -0 "$EDITOR_PID" 2>/dev/null
}

editor_gone() {
	! editor_running
}
