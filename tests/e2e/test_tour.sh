# The guided tour that scripts/run gives on a machine without a display:
# every step does what it should and the exported level, compiled and run,
# rebuilds every model. Its screenshots stay in the artefacts.
source "$(dirname "$0")/e2e-lib.sh"
start_xvfb
"$TOLVANE_ROOT/scripts/tour" "$ARTEFACTS/tour" >"$WORK/report" 2>&1
status=$?
cat "$WORK/report"
check "every step of the tour does what it should" test "$status" -eq 0
check "the exported level rebuilds both crates" grep -q "rebuilt 2 of 2 models" "$WORK/report"
finish
