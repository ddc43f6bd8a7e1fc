// The "Scene Objects" window; see SceneObjectsWindow.h.
#include "SceneObjectsWindow.h"

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"

std::wstring SceneObjectLine(int slot, const SModelState& record)
{
	const SObjectKind* kind = KindOf(record.Type);
	const std::wstring name = kind ? kind->Name : L"?";
	// The water is one of a kind and has no file.
	if (slot == WATER_SLOT)
		return name;
	// A particle system has no file either: its preset or texture names it.
	if (record.Type == CModel::TYPE_PARTICLES)
		return std::to_wstring(slot) + L"  " +
		       particles::SystemName(record.Values, record.Material,
		                             SharedName(record.Textures[0]));
	const size_t slash = record.Mesh.rfind('/');
	return std::to_wstring(slot) + L"  " + name + L"  " +
	       FileNameToWide(record.Mesh.substr(slash == std::string::npos ? 0 : slash + 1));
}

void CSceneObjectsWindow::Create()
{
	// Below "Transform", beside the model window.
	Window = Editor.AddToolWindow(core::rect<s32>(530, 195, 790, 475), L"Scene Objects",
	                              ID_SCENE_OBJECTS_WINDOW);
	// It stays open until its own close button is pressed.
	Window->getCloseButton()->setVisible(true);
	List = Editor._gui->addListBox(core::rect<s32>(10, 30, 250, 270), Window, ID_SCENE_OBJECTS_LIST,
	                               true);
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
	const int selected = Editor.SlotOf(Editor.SelectedModel);
	s32 line = -1;
	for (size_t i = 0; i < Slots.size(); ++i)
		if (Slots[i] == selected)
			line = static_cast<s32>(i);
	if (List->getSelected() != line)
		List->setSelected(line);
}

bool CSceneObjectsWindow::OnGuiEvent(const SEvent::SGUIEvent& event)
{
	if (event.EventType == gui::EGET_ELEMENT_CLOSED && event.Caller == Window)
	{
		Window->setVisible(false);
		return true;
	}
	const bool again = event.EventType == gui::EGET_LISTBOX_SELECTED_AGAIN;
	if (event.Caller != List || (event.EventType != gui::EGET_LISTBOX_CHANGED && !again))
		return false;
	const s32 line = List->getSelected();
	if (line < 0 || line >= static_cast<s32>(Slots.size()))
		return true;
	CModel* object = Editor.ObjectAt(Slots[line]);
	// A click on the system just added makes "Particle Editor" edit it.
	const bool particles = object && object->MODEL_TYPE == CModel::TYPE_PARTICLES;
	if (object != Editor.SelectedModel || (particles && !Editor.ParticleEditor.EditsSelection()))
		Editor.Select(object);
	if (again)
		Editor.View.FrameSelection();
	return true;
}
