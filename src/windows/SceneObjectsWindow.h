// CSceneObjectsWindow: the "Scene Objects" window, a list of every object
// of the scene in slot order, one line each ("3  model  crate.obj",
// "water"), following the scene within a frame. A click on a line selects
// the object; a double click selects it and frames it, as F does.
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

	gui::IGUIWindow* Window = 0;
	gui::IGUIListBox* List = 0;

private:
	CSceneEditor& Editor;
	//! The slot of each line, and the lines, as listed now.
	std::vector<int> Slots;
	std::vector<std::wstring> Lines;
	unsigned long long ShownVersion = 0;
};

#endif
