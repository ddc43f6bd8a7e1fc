// The editor's event dispatch; see CEventRec.h.
#include "CEventRec.h"

#include "CSceneEditor.h"

int LOAD_TYPE = LOAD_NONE;

CTLVEventRec::CTLVEventRec(CSceneEditor* sed) : env(0), device(0), ptr_sed(sed) {}

void CTLVEventRec::SetGUIEnvironment(gui::IGUIEnvironment* i_gui, IrrlichtDevice* i_device)
{
	env = i_gui;
	device = i_device;
}

bool CTLVEventRec::OnEvent(const SEvent& event)
{
	switch (event.EventType)
	{
	case EET_KEY_INPUT_EVENT: return OnKey(event.KeyInput);
	case EET_MOUSE_INPUT_EVENT: return OnMouse(event.MouseInput);
	default:
		// Log text (also during device creation, before SetGUIEnvironment)
		// and every other kind of event go on to the engine.
		return false;
	}
}

bool CTLVEventRec::OnKey(const SEvent::SKeyInput& keyInput)
{
	// Keys typed into an edit box belong to the GUI.
	if (ptr_sed->CheckEditBoxFocus())
		return false;
	if (!keyInput.PressedDown && keyInput.Key == KEY_KEY_C)
		ptr_sed->CameraMode = !ptr_sed->CameraMode;
	// The table has entries for codes 0 to 254 only (KEY_NONE is 255).
	if (keyInput.Key < CSceneEditor::KEY_ENTRIES)
		ptr_sed->key[keyInput.Key] = keyInput.PressedDown;
	return true;
}

bool CTLVEventRec::OnMouse(const SEvent::SMouseInput& mouse)
{
	// While the camera is frozen a left press picks, wherever it lands.
	if (ptr_sed->CameraMode || mouse.Event != EMIE_LMOUSE_PRESSED_DOWN)
		return false;
	ptr_sed->SelectNewSceneNode(true);
	return true;
}
