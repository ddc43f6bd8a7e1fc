# Shell helpers shared by scripts/ and the end-to-end tests.
# shellcheck shell=bash

TOLVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TOLVANE_BUILD=${TOLVANE_BUILD:-$TOLVANE_ROOT/build}

# Everything the build, the editor and the tests need from Debian.
TOLVANE_PACKAGES="cmake g++ make libirrlicht-dev libirrlicht-doc libgtest-dev libx11-dev
  libgl-dev libassimp-dev libfreetype-dev fonts-dejavu-core xvfb xauth libgl1-mesa-dri x11-apps x11-utils
  xdotool imagemagick assimp-testmodels unzip zip locales openbox x11-xserver-utils
  dpkg-dev desktop-file-utils shared-mime-info procps"

die() {
	echo "$*" >&2
	exit 1
}

# Installs the packages that are missing, as root or through sudo.
ensure_packages() {
	local missing=() p
	for p in $TOLVANE_PACKAGES "$@"; do
		dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
			missing+=("$p")
	done
	[ ${#missing[@]} -eq 0 ] && return 0
	echo "Installing: ${missing[*]}"
	local sudo=""
	[ "$(id -u)" -ne 0 ] && sudo="sudo"
	$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null ||
		die "apt-get update failed"
	$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
		"${missing[@]}" >/dev/null || die "could not install: ${missing[*]}"
}

# Generates a locale the tests switch to (numbers with a decimal comma).
ensure_locale() {
	locale -a 2>/dev/null | grep -qix "${1%.UTF-8}.utf8" && return 0
	local sudo=""
	[ "$(id -u)" -ne 0 ] && sudo="sudo"
	$sudo sed -i "s/^# *\($1 UTF-8\)/\1/" /etc/locale.gen &&
		grep -q "^$1 UTF-8" /etc/locale.gen ||
		echo "$1 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
	$sudo locale-gen >/dev/null || die "could not generate the locale $1"
}

# Builds into TOLVANE_BUILD, printing one line a compiled file ("[ 42%]
# Building CXX object ...") and every compiler message: a first build takes
# minutes, a later one seconds.
build_project() {
	echo "Building in $TOLVANE_BUILD (the first build takes several minutes)" >&2
	cmake -S "$TOLVANE_ROOT" -B "$TOLVANE_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null ||
		die "configuring failed (run: cmake -S $TOLVANE_ROOT -B $TOLVANE_BUILD)"
	if ! (
		set -o pipefail
		cmake --build "$TOLVANE_BUILD" -j"$(nproc)" 2>&1 |
			sed -u -E '/Built target|Scanning dependencies|Consolidate compiler|^make/d' >&2
	); then
		die "build failed (run: cmake --build $TOLVANE_BUILD)"
	fi
}

# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds or the
# deadline passes.
wait_for() {
	local deadline=$((SECONDS + $1))
	shift
	until "$@"; do
		[ $SECONDS -ge $deadline ] && return 1
		sleep 0.1
	done
}

# Starts a virtual X server on a free display and exports DISPLAY. Without
# -noreset the server resets whenever its last client disconnects and drops
# connections that arrive meanwhile.
start_xvfb() {
	local fdfile
	fdfile=$(mktemp)
	Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
	XVFB_PID=$!
	wait_for 20 test -s "$fdfile" || die "Xvfb did not start"
	export DISPLAY=":$(head -n1 "$fdfile")"
	rm -f "$fdfile"
	wait_for 20 xdpyinfo >/dev/null 2>&1 || die "Xvfb at $DISPLAY does not answer"
}

# Starts the openbox window manager on the virtual X server, for tests of
# what a desktop does (focus, resizing). Windows open undecorated at the
# top-left corner, so that screen and window coordinates agree.
start_openbox() {
	local config
	config=$(mktemp --suffix=.xml)
	cat >"$config" <<'XML'
<?xml version="1.0"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><keepBorder>no</keepBorder></theme>
  <applications>
    <application class="*">
      <decor>no</decor>
      <position force="yes"><x>0</x><y>0</y></position>
    </application>
  </applications>
</openbox_config>
XML
	openbox --config-file "$config" >/dev/null 2>&1 &
	OPENBOX_PID=$!
	wait_for 20 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
		die "openbox did not start"
}

stop_xvfb() {
	[ -n "${OPENBOX_PID:-}" ] && kill "$OPENBOX_PID" 2>/dev/null && wait "$OPENBOX_PID" 2>/dev/null
	OPENBOX_PID=""
	[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
	XVFB_PID=""
}

# Id of the editor's window, once it exists. Its caption ends in "0.0.7"
# ("<scene file>* - 0.0.7" once the scene has a file or changes).
editor_window() {
	xdotool search --name '0\.0\.7$' 2>/dev/null | head -n1
}

has_editor_window() {
	[ -n "$(editor_window)" ]
}

editor_has_focus() {
	xdotool windowfocus "$EDITOR_WINDOW" 2>/dev/null
	[ "$(xdotool getwindowfocus 2>/dev/null)" = "$EDITOR_WINDOW" ]
}

# Waits for the editor window and gives it the input focus (without a window
# manager nothing else would).
focus_editor() {
	wait_for 20 has_editor_window || return 1
	EDITOR_WINDOW=$(editor_window)
	wait_for 10 editor_has_focus
}

# window_pixel X Y: the colour of a pixel of the editor window as #RRGGBB.
window_pixel() {
	xwd -id "$EDITOR_WINDOW" -silent 2>/dev/null |
		convert xwd:- -format "%[hex:p{$1,$2}]" info:- 2>/dev/null | cut -c1-6 | sed 's/^/#/'
}

# pixel_is X Y #RRGGBB
pixel_is() {
	[ "$(window_pixel "$1" "$2")" = "$3" ]
}

pixel_is_not() {
	local p
	p=$(window_pixel "$1" "$2")
	[ -n "$p" ] && [ "$p" != "#" ] && [ "$p" != "$3" ]
}

# screenshot FILE: saves the editor window as PNG.
screenshot() {
	mkdir -p "$(dirname "$1")"
	xwd -id "$EDITOR_WINDOW" -silent | convert xwd:- "$1"
}

# The scene colour starts black; the menu bar strip is drawn only by the
# editor, so a grey strip means a frame has been drawn.
editor_drawn() {
	pixel_is_not 790 10 "#000000"
}

# Asks the editor window to close as a window manager would.
close_editor() {
	"$TOLVANE_BUILD/xclose" "$EDITOR_WINDOW"
}
