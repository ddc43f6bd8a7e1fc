# Work is never lost: closing a changed scene asks first; an editor killed
# after its autosave offers its scene at the next start; an editor whose X
# server goes away leaves its scene behind.
source "$(dirname "$0")/e2e-lib.sh"
shots="$ARTEFACTS/recovery"
caption() { xdotool getwindowname "$EDITOR_WINDOW" 2>/dev/null; }
recovery_file() { compgen -G "$XDG_STATE_HOME/tolvane/*.recovery" | head -n1; }
has_recovery() { [ -n "$(recovery_file)" ]; }
# The offer is wider than a box with one line; left of the marker the scene
# is black.
offer_shown() { pixel_is_not 200 300 "#000000"; }
marker_x() { screenshot "$WORK/now.png" && centroid_x "$WORK/now.png" marker; }
marker_moved() { local x; x=$(marker_x); [ "$x" != none ] && [ "$x" -gt $((start_x + 30)) ]; }

start_xvfb
start_editor
# Keypad 8 moves the marker along its heading, to the right on screen.
start_x=$(marker_x)
check "the marker moves to the right" move_until "$WORK/moved.png" KP_8 marker -gt $((start_x + 40))
check "the caption marks the unsaved change" wait_for 5 test "$(caption)" = "Untitled* - 0.0.7"
moved_x=$(marker_x)

# The window's close button asks; Escape goes back to the scene.
close_editor
check "closing asks first" wait_for 5 message_shown
screenshot "$shots/question.png"
check "the editor still runs" editor_running
xdotool key Escape
check "Escape goes back to the scene" wait_for 5 marker_moved
check "the editor still runs after Escape" editor_running

# Autosave within 30 s of the change, then SIGKILL: nothing else can run.
check "the recovery file is written within 30 s" wait_for 40 has_recovery
kill -KILL "$EDITOR_PID"
wait "$EDITOR_PID" 2>/dev/null
EDITOR_PID=""

start_editor
check "the next start offers the scene" wait_for 5 offer_shown
# Warm pixels in the middle of the question: the marker shows through it
# (once the modal screen's opening flash is over).
marker_through() {
	screenshot "$shots/offer.png" &&
		convert "$shots/offer.png" -crop 200x60+300+270 +repage txt:- |
		awk -F'[(),: ]+' 'NR > 1 && $3 - $5 > 60 { n++ } END { exit !(n >= 5) }'
}
check "the scene shows through the question" wait_for 5 marker_through
xdotool key y
check "Yes brings the moved marker back" wait_for 10 marker_moved
screenshot "$shots/recovered.png"
check "the recovered scene has unsaved changes" test "$(caption)" = "Untitled* - 0.0.7"
x=$(marker_x)
check "the marker is where it was (x $x, before $moved_x)" test "${x/none/0}" -ge $((moved_x - 3)) -a "${x/none/0}" -le $((moved_x + 3))

# The X server goes away: the editor writes its scene and ends.
rm -f "$XDG_STATE_HOME"/tolvane/*.recovery
stop_xvfb
wait_editor_exit 20 && check "the editor ends with status 1 (got $EDITOR_STATUS)" test "$EDITOR_STATUS" -eq 1
check "a recovery file is left" has_recovery
check "standard error names it" grep -q "kept in $(recovery_file)" "$WORK/editor.err"

# No folder to keep work in (a file has its name): SIGTERM tries it again,
# and says on standard error what happened.
start_xvfb
export XDG_STATE_HOME="$WORK/blocked"
echo "not a folder" >"$XDG_STATE_HOME"
start_editor
start_x=$(marker_x)
check "the marker moves without a recovery folder" move_until "$WORK/moved.png" KP_8 marker -gt $((start_x + 40))
check "the caption marks the change" wait_for 5 test "$(caption)" = "Untitled* - 0.0.7"
rm "$XDG_STATE_HOME" && mkdir "$XDG_STATE_HOME"
kill -TERM "$EDITOR_PID"
wait_editor_exit 20
check "SIGTERM keeps the scene in the folder that can be written now" has_recovery
check "standard error says where" grep -q "kept in $(recovery_file)" "$WORK/editor.err"
finish
