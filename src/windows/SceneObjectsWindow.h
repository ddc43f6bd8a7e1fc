// CSceneObjectsWindow: the "Scene Objects" window, a list of every object
// of the scene in slot order, one line each ("3  model  crate.obj",
// "water"), then the world pieces ("level  q3dm1", "sky box"), following the
// scene within a frame. A line says "(hidden)" or "(locked)" after the name.
// A click on a line selects the object; a double click selects it and frames
// it, as F does. "Hide" and "Lock" below the list toggle the states of the
// line chosen ("Show" and "Unlock" while it has them).
#ifndef TOLVANE_SCENEOBJECTSWINDOW_H
#define TOLVANE_SCENEOBJECTSWINDOW_H

#include <irrlicht.h>
#include <string>
#include <vector>

using namespace irr;

class CSceneEditor;
struct SModelState;

//! The line that names an object of a slot in the list.
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

	//! Hides or shows, locks or unlocks what the chosen line names, as one
	//! step; false without a line.
	bool ToggleChosen(bool lock);

	gui::IGUIWindow* Window = 0;
	gui::IGUIListBox* List = 0;
	gui::IGUIButton* HideButton = 0;
	gui::IGUIButton* LockButton = 0;

private:
	//! The lines of the world pieces after the objects, each named in Slots
	//! by a code below 0.
	void ListWorld(std::vector<int>& slots, std::vector<std::wstring>& lines) const;
	//! Whether a line's object or piece is hidden and locked now.
	void StatesOf(int code, bool& hidden, bool& locked) const;
	//! The line to mark: the selected object's, else a piece chosen.
	s32 ChosenLine() const;

	CSceneEditor& Editor;
	//! A world piece whose line was clicked while nothing is selected (0: none).
	int ChosenPiece = 0;
	//! The slot (or piece code) of each line, and the lines, as listed now.
	std::vector<int> Slots;
	std::vector<std::wstring> Lines;
	unsigned long long ShownVersion = 0;
};

#endif
