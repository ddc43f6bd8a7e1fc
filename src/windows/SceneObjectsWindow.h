// CSceneObjectsWindow: the "Scene Objects" window, a list of every object
// of the scene as a tree, one line each, children indented below their
// parent ("1  model  crate.obj", "water"), then the world pieces
// ("level  q3dm1", "sky box"), following the scene within a frame. A line
// says "(hidden)" or "(locked)" after the name. A parent's line starts with
// "-" while its children show and "+" while they are closed; a click on the
// sign, or Left and Right with the list in focus, close and open it. A click
// on a line selects the object; a double click selects it and frames it, as
// F does. Dragging a line onto another hangs its object from that one's,
// keeping its place in the world; onto no line, from nothing. "Find:" shows
// the lines whose name holds its text (any case), with their parents. F2
// renames the selected object in the box that takes Find's place: Return
// keeps the name, Escape leaves it. "Hide" and "Lock" below the list toggle
// the states of the line chosen ("Show" and "Unlock" while it has them).
// Control+click adds a line's object to the selection or takes it out,
// Shift+click selects the lines from the current one to the clicked one;
// while several are selected, their lines start with "* ".
#ifndef TOLVANE_SCENEOBJECTSWINDOW_H
#define TOLVANE_SCENEOBJECTSWINDOW_H

#include <irrlicht.h>
#include <set>
#include <string>
#include <vector>

using namespace irr;

class CSceneEditor;
struct SModelState;

//! The line that names an object of a slot in the list, without its place
//! in the tree.
std::wstring SceneObjectLine(int slot, const SModelState& record);
//! What a line says after the name for the states it has: "  (hidden)",
//! "  (locked)", "  (hidden, locked)", or nothing.
std::wstring StatesText(bool hidden, bool locked);

class CSceneObjectsWindow
{
public:
	explicit CSceneObjectsWindow(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the window, hidden.
	void Create();
	void Show();
	//! Lists the scene as the document holds it and marks the selection.
	void Update();
	//! A click or double click in the list, or the window's close button.
	bool OnGuiEvent(const SEvent::SGUIEvent& event);
	//! A press on a sign, and a drag of a line onto another; false for what
	//! the list itself takes.
	bool OnMouse(const SEvent::SMouseInput& mouse);
	//! F2, Return and Escape of the rename box, Left and Right in the list;
	//! false for other keys.
	bool OnKey(const SEvent::SKeyInput& key);

	//! Hides or shows, locks or unlocks what the chosen line names, as one
	//! step; false without a line.
	bool ToggleChosen(bool lock);
	//! Closes (or opens) the lines below an object's.
	void SetClosed(int slot, bool closed);
	//! The rename box opens on the selected object; false with none.
	bool BeginRename();

	gui::IGUIWindow* Window = 0;
	gui::IGUIListBox* List = 0;
	gui::IGUIButton* HideButton = 0;
	gui::IGUIButton* LockButton = 0;
	gui::IGUIEditBox* FilterBox = 0;
	gui::IGUIEditBox* RenameBox = 0;

private:
	//! The lines of the world pieces after the objects, each named in Slots
	//! by a code below 0.
	void ListWorld(std::vector<int>& slots, std::vector<std::wstring>& lines) const;
	//! The objects' lines, in the tree's order, as the filter lets them.
	void ListObjects(std::vector<int>& slots, std::vector<std::wstring>& lines) const;
	//! Whether a line's object or piece is hidden and locked now.
	void StatesOf(int code, bool& hidden, bool& locked) const;
	//! The line to mark: the selected object's, else a piece chosen.
	s32 ChosenLine() const;
	//! The object's line under a point of the screen, or -1.
	s32 LineAt(s32 x, s32 y) const;
	void EndRename(bool keep);

	CSceneEditor& Editor;
	//! A world piece whose line was clicked while nothing is selected (0: none).
	int ChosenPiece = 0;
	//! The slot (or piece code) of each line, and the lines, as listed now.
	std::vector<int> Slots;
	std::vector<std::wstring> Lines;
	unsigned long long ShownVersion = 0;
	//! The objects whose children are not listed.
	std::set<int> Closed;
	//! The line a press began on, and whether the mouse has left it since.
	s32 PressedLine = -1;
	bool Dragging = false;
	//! The object being renamed.
	int Renaming = -1;
	//! Control and Shift as they were at the press on a line: the click
	//! then adds or takes out, or takes the range from the current line.
	bool ClickControl = false, ClickShift = false;
	//! The slots whose lines carry the mark of the selection now.
	std::vector<int> MarkedSlots;
	//! "* " before each selected line while several are selected (the list
	//! itself marks one line), else nothing.
	std::wstring MarkOf(size_t line) const;
	//! Every line's mark follows the selection.
	void ShowMarks();
	//! Control+click and Shift+click on an object's line.
	void ChooseMany(s32 line);
};

#endif
