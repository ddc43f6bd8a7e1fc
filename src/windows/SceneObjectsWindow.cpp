// The "Scene Objects" window; see SceneObjectsWindow.h.
#include "SceneObjectsWindow.h"

#include <cwchar>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"

namespace
{
// The codes of the world pieces' lines in the slot list.
enum
{
	LINE_PLANE = -1,
	LINE_TERRAIN = -2,
	LINE_LEVEL = -3,
	LINE_SKY = -4
};

std::wstring BaseName(const std::string& file)
{
	const size_t slash = file.rfind('/');
	return FileNameToWide(file.substr(slash == std::string::npos ? 0 : slash + 1)).c_str();
}

// Where the world keeps a piece's flag (to read or to change).
template <typename World> auto& PieceFlag(World& world, int code, bool lock)
{
	switch (code)
	{
	case LINE_PLANE: return lock ? world.Plane.Locked : world.Plane.Hidden;
	case LINE_TERRAIN: return lock ? world.Terrain.Locked : world.Terrain.Hidden;
	case LINE_LEVEL: return lock ? world.Level.Locked : world.Level.Hidden;
	default: return lock ? world.SkyLocked : world.SkyHidden;
	}
}
} // namespace

std::wstring StatesText(bool hidden, bool locked)
{
	if (hidden && locked)
		return L"  (hidden, locked)";
	return hidden ? L"  (hidden)" : locked ? L"  (locked)" : L"";
}

std::wstring SceneObjectLine(int slot, const SModelState& record)
{
	const SObjectKind* kind = KindOf(record.Type);
	const std::wstring name = kind ? kind->Name : L"?";
	const std::wstring states = StatesText(!record.Visible, record.Locked);
	// The water is one of a kind and has no file.
	if (slot == WATER_SLOT)
		return name + states;
	// A particle system has no file either: its preset or texture names it.
	if (record.Type == CModel::TYPE_PARTICLES)
		return std::to_wstring(slot) + L"  " +
		       particles::SystemName(record.Values, record.Material,
		                             SharedName(record.Textures[0])) +
		       states;
	return std::to_wstring(slot) + L"  " + name + L"  " + BaseName(record.Mesh) + states;
}

void CSceneObjectsWindow::Create()
{
	// Below "Transform", beside the model window.
	Window = Editor.AddToolWindow(core::rect<s32>(530, 195, 790, 475), L"Scene Objects",
	                              ID_SCENE_OBJECTS_WINDOW);
	// It stays open until its own close button is pressed.
	Window->getCloseButton()->setVisible(true);
	List = Editor._gui->addListBox(core::rect<s32>(10, 30, 250, 242), Window, ID_SCENE_OBJECTS_LIST,
	                               true);
	HideButton = Editor._gui->addButton(core::rect<s32>(10, 248, 125, 272), Window,
	                                    ID_SCENE_OBJECTS_HIDE, L"Hide");
	LockButton = Editor._gui->addButton(core::rect<s32>(135, 248, 250, 272), Window,
	                                    ID_SCENE_OBJECTS_LOCK, L"Lock");
}

void CSceneObjectsWindow::ListWorld(std::vector<int>& slots, std::vector<std::wstring>& lines) const
{
	const SWorldState& world = Editor.Document.World();
	const auto add = [&](int code, bool present, const std::wstring& name)
	{
		if (!present)
			return;
		bool hidden = false, locked = false;
		StatesOf(code, hidden, locked);
		slots.push_back(code);
		lines.push_back(name + StatesText(hidden, locked));
	};
	add(LINE_PLANE, !world.Plane.File.empty(), L"plane  " + BaseName(world.Plane.File));
	add(LINE_TERRAIN, !world.Terrain.File.empty(), L"terrain  " + BaseName(world.Terrain.File));
	add(LINE_LEVEL, !world.Level.File.empty(),
	    L"level  " +
	        (world.Level.Name.empty() ? BaseName(world.Level.File) : BaseName(world.Level.Name)));
	add(LINE_SKY, !world.Sky.empty(), L"sky box");
}

void CSceneObjectsWindow::StatesOf(int code, bool& hidden, bool& locked) const
{
	if (code >= 0)
	{
		const SModelState* record = Editor.Document.Object(code);
		hidden = record && !record->Visible;
		locked = record && record->Locked;
		return;
	}
	const SWorldState& world = Editor.Document.World();
	hidden = PieceFlag(world, code, false);
	locked = PieceFlag(world, code, true);
}

s32 CSceneObjectsWindow::ChosenLine() const
{
	const int chosen = Editor.SelectedModel ? Editor.SlotOf(Editor.SelectedModel) : ChosenPiece;
	for (size_t i = 0; i < Slots.size(); ++i)
		if (Slots[i] == chosen && (chosen != 0 || Editor.SelectedModel))
			return static_cast<s32>(i);
	return -1;
}

bool CSceneObjectsWindow::ToggleChosen(bool lock)
{
	const s32 line = ChosenLine();
	if (line < 0)
		return false;
	const int code = Slots[line];
	if (code < 0)
		return Editor.Execute(commands::EditWorld(
		    [code, lock](SWorldState& world)
		    {
			    bool& flag = PieceFlag(world, code, lock);
			    flag = !flag;
		    }));
	Editor.AdoptObject(code);
	return Editor.Execute(commands::EditObject(code,
	                                           [lock](SModelState& record)
	                                           {
		                                           if (lock)
			                                           record.Locked = !record.Locked;
		                                           else
			                                           record.Visible = !record.Visible;
	                                           }));
}

void CSceneObjectsWindow::Show()
{
	Window->setVisible(true);
	Editor._gui->getRootGUIElement()->bringToFront(Window);
	ShownVersion = Editor.Document.Version - 1; // lists the scene afresh
	Update();
}

void CSceneObjectsWindow::Update()
{
	if (!Window || !Window->isVisible())
		return;
	if (Editor.Document.Version != ShownVersion)
	{
		ShownVersion = Editor.Document.Version;
		std::vector<int> slots;
		std::vector<std::wstring> lines;
		for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
			if (const SModelState* record = Editor.Document.Object(slot))
			{
				slots.push_back(slot);
				lines.push_back(SceneObjectLine(slot, *record));
			}
		ListWorld(slots, lines);
		// Moving an object changes no line: the list stays as it is.
		if (lines != Lines)
		{
			Slots = slots;
			Lines = lines;
			List->clear();
			for (const std::wstring& line : Lines)
				List->addItem(line.c_str());
		}
	}
	// A selected object takes the mark from a piece chosen before.
	if (Editor.SelectedModel)
		ChosenPiece = 0;
	const s32 line = ChosenLine();
	if (List->getSelected() != line)
		List->setSelected(line);
	// The buttons say what a click on them does to the line's object.
	bool hidden = false, locked = false;
	if (line >= 0)
		StatesOf(Slots[line], hidden, locked);
	const wchar_t* const hide = hidden ? L"Show" : L"Hide";
	const wchar_t* const lock = locked ? L"Unlock" : L"Lock";
	if (std::wcscmp(HideButton->getText(), hide))
		HideButton->setText(hide);
	if (std::wcscmp(LockButton->getText(), lock))
		LockButton->setText(lock);
}

bool CSceneObjectsWindow::OnGuiEvent(const SEvent::SGUIEvent& event)
{
	if (event.EventType == gui::EGET_ELEMENT_CLOSED && event.Caller == Window)
	{
		Window->setVisible(false);
		return true;
	}
	if (event.EventType == gui::EGET_BUTTON_CLICKED &&
	    (event.Caller == HideButton || event.Caller == LockButton))
	{
		ToggleChosen(event.Caller == LockButton);
		return true;
	}
	const bool again = event.EventType == gui::EGET_LISTBOX_SELECTED_AGAIN;
	if (event.Caller != List || (event.EventType != gui::EGET_LISTBOX_CHANGED && !again))
		return false;
	const s32 line = List->getSelected();
	if (line < 0 || line >= static_cast<s32>(Slots.size()))
		return true;
	// A world piece is chosen for the buttons; it is no selection.
	if (Slots[line] < 0)
	{
		ChosenPiece = Slots[line];
		if (Editor.SelectedModel)
			Editor.Select(0);
		return true;
	}
	CModel* object = Editor.ObjectAt(Slots[line]);
	// A click on the system just added makes "Particle Editor" edit it.
	const bool particles = object && object->MODEL_TYPE == CModel::TYPE_PARTICLES;
	if (object != Editor.SelectedModel || (particles && !Editor.ParticleEditor.EditsSelection()))
		Editor.Select(object);
	if (again)
		Editor.View.FrameSelection();
	return true;
}
