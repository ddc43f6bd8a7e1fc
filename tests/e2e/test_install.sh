# Installed like a desktop program: the editor installed into a temporary
# prefix and started from another folder with a file to open; --help and
# --version without a window; the Debian package's contents and declared
# dependencies (as root, the package is installed and started too).
source "$(dirname "$0")/e2e-lib.sh"
PREFIX=$WORK/prefix
mkdir -p "$WORK/assets" "$WORK/elsewhere"
cp "$TOLVANE_ROOT"/samples/crate.* "$WORK/assets/"

# The files an installation holds, below its prefix.
INSTALLED_FILES="bin/tolvane lib/tolvane/tolvane_load_check share/tolvane/main_font.bmp
  share/tolvane/positioner.ms3d share/tolvane/positioner_sk.bmp share/tolvane/logo.jpg
  share/tolvane/particle.bmp share/tolvane/water.jpg
  share/applications/tolvane.desktop share/mime/packages/tolvane.xml
  share/icons/hicolor/scalable/apps/tolvane.svg"

crate_shown() {
	screenshot "$WORK/now.png"
	[ "$(centroid "$WORK/now.png" crate)" != none ]
}

# The load-check helper the running editor started.
helper_of_editor() {
	local child
	for child in $(pgrep -P "$EDITOR_PID"); do
		readlink -f "/proc/$child/exe"
	done
}

# editor_session PREFIX NAME: in a folder without Data/, the installed
# editor adds the crate named on its command line and saves the scene; a
# fresh one opens the scene named on its command line and shows the crate.
editor_session() {
	local exe=$1/bin/tolvane scene=$WORK/assets/$2.irr
	start_xvfb
	TOLVANE_EXE=$exe start_editor "$WORK/elsewhere" ../assets/crate.obj || return
	check "$2: the model named on the command line shows" wait_for 10 crate_shown
	check "$2: the installed helper tried it" \
		test "$(helper_of_editor)" = "$(readlink -f "$1/lib/tolvane/tolvane_load_check")"
	menu File "Save Scene"
	wait_for 5 pixel_is 420 190 "#F0F0FF"
	type_into 420 190 "$scene"
	xdotool key Return
	# The save opens no box: the caption loses its "*".
	wait_for 10 test -s "$scene"
	close_editor
	wait_editor_exit 10

	TOLVANE_EXE=$exe start_editor "$WORK/elsewhere" "$scene" || return
	check "$2: the scene named on the command line opens" wait_for 20 message_shown
	dismiss_message
	check "$2: its crate shows" wait_for 10 crate_shown
	screenshot "$ARTEFACTS/install-$2.png"
	close_editor
	wait_editor_exit 10 && check "$2: the editor ends with status 0" test "$EDITOR_STATUS" -eq 0
	stop_xvfb
}

cmake --install "$TOLVANE_BUILD" --prefix "$PREFIX" >"$WORK/install.log"
check "cmake --install succeeds" test $? -eq 0
for file in $INSTALLED_FILES; do
	check "installed: $file" test -s "$PREFIX/$file"
done
check "the desktop entry is valid" desktop-file-validate "$PREFIX/share/applications/tolvane.desktop"
update-mime-database "$PREFIX/share/mime" >/dev/null 2>&1
check "scene files (*.irr) have a file type the desktop entry opens" \
	grep -q "^50:model/x-irrlicht-scene:\*\.irr$" "$PREFIX/share/mime/globs2"

cd "$WORK/elsewhere"
check "--version prints the version without a window" \
	test "$(env -u DISPLAY "$PREFIX/bin/tolvane" --version)" = "Tolvane 0.0.7"
env -u DISPLAY "$PREFIX/bin/tolvane" --help >"$WORK/help.out"
check "--help prints the usage without a window" grep -q '^Usage: tolvane \[FILE\]$' "$WORK/help.out"
editor_session "$PREFIX" prefix

# The Debian package, as CI builds it.
cpack -G DEB --config "$TOLVANE_BUILD/CPackConfig.cmake" -B "$WORK/package" >"$WORK/cpack.log"
check "cpack builds the package" test $? -eq 0
DEB=$(ls "$WORK"/package/tolvane_*.deb 2>/dev/null | head -n1)
mkdir -p "$ARTEFACTS" && cp "$DEB" "$ARTEFACTS/"
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
echo "declared dependencies: $DEPENDS"
for needed in libirrlicht1.8 libassimp5 libx11-6 'libgl1\|libglx0' 'libstdc++6'; do
	check "the package depends on $needed" grep -q "\(^\|, \)\($needed\)\b" <<<"$DEPENDS"
done
dpkg-deb -c "$DEB" >"$WORK/contents"
for file in $INSTALLED_FILES; do
	check "packaged: /usr/$file" grep -q " \./usr/$file$" "$WORK/contents"
done

if [ "$(id -u)" -ne 0 ]; then
	echo "skipped: installing the package (needs root)"
	finish
fi
# Other test runs on this machine may install it too: one at a time. A
# package that was installed before is left installed.
exec 9>/var/lock/tolvane-package-test.lock
flock 9
installed_before=$(dpkg-query -W -f='${Status}' tolvane 2>/dev/null)
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=120 "$DEB" \
	>"$WORK/apt.log" 2>&1
check "the package installs" test $? -eq 0
editor_session /usr package
[ "$installed_before" = "install ok installed" ] || dpkg -r tolvane >/dev/null
flock -u 9
finish
