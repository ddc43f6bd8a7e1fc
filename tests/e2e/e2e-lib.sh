# Helpers for the end-to-end tests: a virtual X server per test, the real
# editor, and checks that report by name.
# shellcheck shell=bash
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/ui.sh"

ARTEFACTS=${TOLVANE_ARTEFACTS:-$TOLVANE_BUILD/artefacts}
FAILURES=0
EDITOR_PID=""
WORK=$(mktemp -d)
# Recovery files of the editors under test stay with the test.
export XDG_STATE_HOME="$WORK/state"

fail() {
	echo "FAIL: $*" >&2
	FAILURES=$((FAILURES + 1))
}

# check DESCRIPTION COMMAND...
check() {
	local what=$1
	shift
	if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

cleanup() {
	[ -n "$EDITOR_PID" ] && kill "$EDITOR_PID" 2>/dev/null
	stop_xvfb
	rm -rf "$WORK"
}
trap cleanup EXIT

# start_editor [DIR [ARGUMENT...]]: starts the editor in DIR (the project
# root by default) and waits until its window has the focus and a frame is
# drawn.
start_editor() {
	launch_editor "$WORK" "${1:-$TOLVANE_ROOT}" "${@:2}" ||
		{ fail "the editor window appears, takes the focus and draws"; return 1; }
}

# wait_editor_exit SECONDS: waits for the editor to end; sets EDITOR_STATUS.
wait_editor_exit() {
	wait_for "$1" editor_gone || { fail "the editor ends within $1 s"; return 1; }
	wait "$EDITOR_PID"
	EDITOR_STATUS=$?
	EDITOR_PID=""
}

finish() {
	if [ "$FAILURES" -ne 0 ]; then
		echo "$FAILURES check(s) failed; editor stderr:" >&2
		cat "$WORK/editor.err" >&2 2>/dev/null
		exit 1
	fi
	echo "all checks passed"
}
