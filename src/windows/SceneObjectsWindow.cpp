// The "Scene Objects" window; see SceneObjectsWindow.h.
#include "SceneObjectsWindow.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"
#include "SceneTree.h"

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

namespace
{
// Whether `text` holds `part`, in any case.
bool HoldsText(const std::wstring& text, const std::wstring& part)
{
	std::wstring lower = text, wanted = part;
	for (wchar_t& c : lower)
		c = static_cast<wchar_t>(std::towlower(c));
	for (wchar_t& c : wanted)
		c = static_cast<wchar_t>(std::towlower(c));
	return lower.find(wanted) != std::wstring::npos;
}
} // namespace

std::wstring SceneObjectLine(int slot, const SModelState& record)
{
	const SObjectKind* kind = KindOf(record.Type);
	const std::wstring name = kind ? kind->Name : L"?";
	const std::wstring states = StatesText(!record.Visible, record.Locked);
	// The water is one of a kind.
	if (slot == WATER_SLOT)
		return name + states;
	// A particle system not renamed is named by its preset or texture.
	if (record.Type == CModel::TYPE_PARTICLES &&
	    (record.Name.empty() || HoldsText(record.Name.c_str(), name)))
		return std::to_wstring(slot) + L"  " +
		       particles::SystemName(record.Values, record.Material,
		                             SharedName(record.Textures[0])) +
		       states;
	return std::to_wstring(slot) + L"  " + name + L"  " + scenetree::DisplayName(record) + states;
}

void CSceneObjectsWindow::Create()
{
	// Below "Transform", beside the model window.
	Window = Editor.AddToolWindow(core::rect<s32>(530, 195, 790, 475), L"Scene Objects",
	                              ID_SCENE_OBJECTS_WINDOW);
	// It stays open until its own close button is pressed.
	Window->getCloseButton()->setVisible(true);
	Editor.AddLabel(L"Find:", core::rect<s32>(10, 33, 48, 48), Window, false);
	FilterBox = Editor._gui->addEditBox(L"", core::rect<s32>(50, 30, 250, 50), true, Window,
	                                    ID_SCENE_OBJECTS_FILTER);
	RenameBox = Editor._gui->addEditBox(L"", core::rect<s32>(50, 30, 250, 50), true, Window,
	                                    ID_SCENE_OBJECTS_RENAME);
	RenameBox->setVisible(false);
	List = Editor._gui->addListBox(core::rect<s32>(10, 54, 250, 242), Window, ID_SCENE_OBJECTS_LIST,
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

void CSceneObjectsWindow::ListObjects(std::vector<int>& slots,
                                      std::vector<std::wstring>& lines) const
{
	const SSceneState& scene = Editor.Document.State();
	const std::wstring wanted = FilterBox ? FilterBox->getText() : L"";
	// A line the filter keeps keeps its parents' lines too.
	std::set<int> kept;
	for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
		if (scene.Models[slot] && HoldsText(scenetree::DisplayName(*scene.Models[slot]), wanted))
			for (int above = slot; above >= 0 && kept.insert(above).second;)
				above = scene.Models[above] ? scene.Models[above]->Parent : -1;
	// Depth first from the objects that hang from nothing; a filter shows
	// what it finds below a closed line too.
	std::vector<int> open;
	for (int slot = OBJECT_SLOTS - 1; slot >= 0; --slot)
		if (scene.Models[slot] && scene.Models[slot]->Parent < 0)
			open.push_back(slot);
	while (!open.empty() && slots.size() < OBJECT_SLOTS)
	{
		const int slot = open.back();
		open.pop_back();
		if (!kept.count(slot))
			continue;
		const std::vector<int> children = scenetree::Children(scene, slot);
		const bool closed = Closed.count(slot) && wanted.empty();
		const std::wstring sign = children.empty() ? L"" : closed ? L"+ " : L"- ";
		slots.push_back(slot);
		lines.push_back(std::wstring(3 * scenetree::Depth(scene, slot), L' ') + sign +
		                SceneObjectLine(slot, *scene.Models[slot]));
		if (!closed)
			open.insert(open.end(), children.rbegin(), children.rend());
	}
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
	// The list's own reaction to the release of a drag is over.
	if (!Editor.MouseButtonsHeld)
		Dragging = false;
	if (Editor.Document.Version != ShownVersion)
	{
		ShownVersion = Editor.Document.Version;
		std::vector<int> slots;
		std::vector<std::wstring> lines;
		ListObjects(slots, lines);
		ListWorld(slots, lines);
		// Moving an object changes no line: the list stays as it is.
		if (lines != Lines)
		{
			Slots = slots;
			Lines = lines;
			List->clear();
			for (const std::wstring& line : Lines)
				List->addItem(line.c_str());
			MarkedSlots.clear();
		}
	}
	ShowMarks();
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
	if (event.EventType == gui::EGET_EDITBOX_CHANGED && event.Caller == FilterBox)
	{
		ShownVersion = Editor.Document.Version - 1; // lists the scene afresh
		return true;
	}
	if (event.EventType == gui::EGET_ELEMENT_FOCUS_LOST && event.Caller == RenameBox)
	{
		EndRename(false);
		return false;
	}
	// The lines a drag passes over are no choice.
	if (Dragging && event.Caller == List)
		return true;
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
	if (ClickControl || ClickShift)
	{
		ChooseMany(line);
		return true;
	}
	CModel* object = Editor.ObjectAt(Slots[line]);
	// A click on the system just added makes "Particle Editor" edit it.
	const bool particles = object && object->MODEL_TYPE == CModel::TYPE_PARTICLES;
	// A plain click on the current line of many selected selects it alone.
	const bool many = Editor.SelectedSlots().size() > 1;
	if (object != Editor.SelectedModel || many ||
	    (particles && !Editor.ParticleEditor.EditsSelection()))
		Editor.Select(object);
	if (again)
		Editor.View.FrameSelection();
	return true;
}

void CSceneObjectsWindow::SetClosed(int slot, bool closed)
{
	if (closed)
		Closed.insert(slot);
	else
		Closed.erase(slot);
	ShownVersion = Editor.Document.Version - 1;
	Update();
}

s32 CSceneObjectsWindow::LineAt(s32 x, s32 y) const
{
	const s32 line = List->getItemAt(x, y);
	return line >= 0 && line < static_cast<s32>(Slots.size()) && Slots[line] >= 0 ? line : -1;
}

bool CSceneObjectsWindow::OnMouse(const SEvent::SMouseInput& mouse)
{
	if (!Window || !Window->isVisible())
		return false;
	const core::position2d<s32> at(mouse.X, mouse.Y);
	const bool inList = List->getAbsoluteClippingRect().isPointInside(at);
	if (mouse.Event == EMIE_LMOUSE_PRESSED_DOWN)
	{
		PressedLine = inList ? LineAt(mouse.X, mouse.Y) : -1;
		Dragging = false;
		ClickControl = PressedLine >= 0 && mouse.Control;
		ClickShift = PressedLine >= 0 && mouse.Shift;
		if (PressedLine < 0)
			return false;
		// The sign at the start of a parent's line opens and closes it.
		const std::wstring& line = Lines[PressedLine];
		const size_t indent = line.find_first_not_of(L' ');
		const bool sign =
		    indent != std::wstring::npos && (line[indent] == L'+' || line[indent] == L'-');
		gui::IGUIFont* font = Editor._gui->getSkin()->getFont();
		const s32 signEnd =
		    List->getAbsolutePosition().UpperLeftCorner.X + 4 +
		    static_cast<s32>(
		        font->getDimension((MarkOf(PressedLine) + line.substr(0, indent + 2)).c_str())
		            .Width);
		if (sign && mouse.X <= signEnd)
		{
			const int slot = Slots[PressedLine];
			PressedLine = -1;
			SetClosed(slot, !Closed.count(slot));
			return true;
		}
		return false;
	}
	if (mouse.Event == EMIE_MOUSE_MOVED && PressedLine >= 0 && mouse.isLeftPressed() &&
	    List->getItemAt(mouse.X, mouse.Y) != PressedLine)
		Dragging = true;
	if (mouse.Event != EMIE_LMOUSE_LEFT_UP)
		return false;
	const int dragged = PressedLine >= 0 && Dragging ? Slots[PressedLine] : -1;
	PressedLine = -1;
	if (dragged < 0 || !Window->getAbsoluteClippingRect().isPointInside(at))
		return false;
	// Onto an object's line: below it; onto no line (or a piece's): below
	// nothing.
	const s32 target = inList ? LineAt(mouse.X, mouse.Y) : -1;
	Editor.SetParent(dragged, target >= 0 ? Slots[target] : -1);
	Editor.Select(Editor.ObjectAt(dragged));
	return false;
}

bool CSceneObjectsWindow::BeginRename()
{
	const int slot = Editor.SlotOf(Editor.SelectedModel);
	const SModelState* record = slot >= 0 ? Editor.Document.Object(slot) : 0;
	if (!record || !Window)
		return false;
	if (!Window->isVisible())
		Show();
	Renaming = slot;
	FilterBox->setVisible(false);
	RenameBox->setText(record->Name.c_str());
	RenameBox->setVisible(true);
	Editor._gui->setFocus(RenameBox);
	// Typing goes on from the end of the name.
	SEvent end;
	end.EventType = EET_KEY_INPUT_EVENT;
	end.KeyInput.Char = 0;
	end.KeyInput.Key = KEY_END;
	end.KeyInput.PressedDown = true;
	end.KeyInput.Shift = end.KeyInput.Control = false;
	RenameBox->OnEvent(end);
	return true;
}

void CSceneObjectsWindow::EndRename(bool keep)
{
	if (Renaming < 0)
		return;
	const int slot = Renaming;
	Renaming = -1;
	RenameBox->setVisible(false);
	FilterBox->setVisible(true);
	if (Editor._gui->getFocus() == RenameBox)
		Editor._gui->removeFocus(RenameBox);
	if (keep)
		Editor.RenameObject(slot, RenameBox->getText());
}

bool CSceneObjectsWindow::OnKey(const SEvent::SKeyInput& key)
{
	if (!Window || !key.PressedDown)
		return false;
	if (Renaming >= 0 && Editor._gui->getFocus() == RenameBox)
	{
		if (key.Key != KEY_RETURN && key.Key != KEY_ESCAPE)
			return false;
		EndRename(key.Key == KEY_RETURN);
		return true;
	}
	if (key.Key == KEY_F2 && !Editor.CheckEditBoxFocus())
		return BeginRename();
	// Left closes the selected object's line, Right opens it, while the list
	// has the keys (elsewhere they move the object).
	if ((key.Key != KEY_LEFT && key.Key != KEY_RIGHT) || Editor._gui->getFocus() != List)
		return false;
	const int slot = Editor.SlotOf(Editor.SelectedModel);
	if (slot < 0)
		return false;
	SetClosed(slot, key.Key == KEY_LEFT);
	return true;
}

std::wstring CSceneObjectsWindow::MarkOf(size_t line) const
{
	const bool many = Editor.SelectedSlots().size() > 1;
	return many && line < Slots.size() && Slots[line] >= 0 && Editor.IsSelected(Slots[line]) ? L"* "
	                                                                                         : L"";
}

void CSceneObjectsWindow::ShowMarks()
{
	std::vector<int> marked;
	if (Editor.SelectedSlots().size() > 1)
		marked = Editor.SelectedSlots();
	if (marked == MarkedSlots)
		return;
	MarkedSlots = marked;
	for (size_t i = 0; i < Lines.size(); ++i)
		List->setItem(static_cast<u32>(i), (MarkOf(i) + Lines[i]).c_str(), -1);
}

void CSceneObjectsWindow::ChooseMany(s32 line)
{
	const bool control = ClickControl, shift = ClickShift;
	ClickControl = ClickShift = false;
	const int clicked = Slots[line];
	const s32 from = ChosenLine();
	if (control && !shift)
	{
		Editor.ToggleSelected(clicked);
		return;
	}
	// Shift: the lines between the current one and the clicked one, the
	// clicked one current; with Control too, added to the selection.
	std::set<int> range;
	const s32 first = from < 0 ? line : std::min(from, line);
	const s32 last = from < 0 ? line : std::max(from, line);
	for (s32 i = first; i <= last; ++i)
		if (Slots[i] >= 0)
			range.insert(Slots[i]);
	if (control)
		for (int slot : Editor.SelectedSlots())
			range.insert(slot);
	Editor.Select(Editor.ObjectAt(clicked));
	Editor.Selection = range;
}
