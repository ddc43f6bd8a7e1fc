// The editor's event dispatch; see CEventRec.h.
#include "CEventRec.h"

#include <array>
#include <cwctype>
#include <sys/stat.h>
#include <unistd.h>

#include "COrbitCamera.h"
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "XInput.h"

int LOAD_TYPE = LOAD_NONE;

namespace
{
// On X11 the keypad digits arrive as navigation keys; the press carries the
// digit, the release may not.
struct SKeypadKey
{
	EKEY_CODE navigation;
	wchar_t digit;
	EKEY_CODE keypad;
};
const SKeypadKey KeypadKeys[] = {{KEY_DOWN, L'2', KEY_NUMPAD2}, {KEY_NEXT, L'3', KEY_NUMPAD3},
                                 {KEY_LEFT, L'4', KEY_NUMPAD4}, {KEY_RIGHT, L'6', KEY_NUMPAD6},
                                 {KEY_UP, L'8', KEY_NUMPAD8},   {KEY_PRIOR, L'9', KEY_NUMPAD9}};

//! The keypad entry that shares a navigation code, or the code itself.
EKEY_CODE KeypadCounterpart(EKEY_CODE key)
{
	for (const SKeypadKey& k : KeypadKeys)
		if (k.navigation == key)
			return k.keypad;
	return key;
}

// The dialog's wide name holds the path's bytes, one per character.
std::string NarrowFileName(const wchar_t* name)
{
	std::string bytes;
	for (const wchar_t* c = name; c && *c; ++c)
		bytes += static_cast<char>(*c & 0xff);
	return bytes;
}
// Whether a "SkyBox Setup" face field (after the folder) names a file.
bool AnyFaceNamed(const std::array<gui::IGUIEditBox*, 7>& fields)
{
	for (size_t i = 1; i < fields.size(); ++i)
		if (fields[i]->getText()[0])
			return true;
	return false;
}
} // namespace

CTLVEventRec::CTLVEventRec(CSceneEditor* sed)
    : env(0), device(0), ptr_sed(sed), ClosedDialog(0), FocusBeforeDialog(0), SkyBoxField(0),
      LevelNameTypedAt(0)
{
}

CTLVEventRec::~CTLVEventRec()
{
	RestoreWorkingDirectory();
}

void CTLVEventRec::SetGUIEnvironment(gui::IGUIEnvironment* i_gui, IrrlichtDevice* i_device)
{
	env = i_gui;
	device = i_device;
}

bool CTLVEventRec::OnEvent(const SEvent& event)
{
	if (ptr_sed->Loading)
		return OnEventWhileLoading(event);
	const bool input = event.EventType == EET_GUI_EVENT || event.EventType == EET_KEY_INPUT_EVENT ||
	                   event.EventType == EET_MOUSE_INPUT_EVENT;
	// Input may change what the window shows, a hover the GUI's highlight.
	if (input)
		ptr_sed->RequestFrame();
	// A mouse button held is an edit going on (a drag of the handles or of
	// a scroll bar): what it changes is one undo step.
	if (event.EventType == EET_MOUSE_INPUT_EVENT)
	{
		const u32 held = event.MouseInput.ButtonStates;
		if (held && !ptr_sed->MouseButtonsHeld)
			ptr_sed->BeginEdit(EDIT_MOUSE);
		ptr_sed->MouseButtonsHeld = held;
		if (!held)
			ptr_sed->EndEdit(EDIT_MOUSE);
	}
	// The user's input never arrives inside a dialog's own event handling.
	if (event.EventType != EET_GUI_EVENT)
	{
		DropClosedDialog();
		RestoreFocus();
	}
	switch (event.EventType)
	{
	case EET_GUI_EVENT: return OnGuiEvent(event.GUIEvent);
	case EET_KEY_INPUT_EVENT: return OnKey(event.KeyInput);
	case EET_MOUSE_INPUT_EVENT: return OnMouse(event.MouseInput);
	default:
		// Log text (also during device creation, before SetGUIEnvironment)
		// and every other kind of event go on to the engine.
		return false;
	}
}

// While a file is tried, only its "Cancel" (or Escape) does something; the
// mouse goes on to the GUI, whose modal window keeps it to that button.
bool CTLVEventRec::OnEventWhileLoading(const SEvent& event)
{
	if (event.EventType == EET_GUI_EVENT && event.GUIEvent.EventType == gui::EGET_BUTTON_CLICKED &&
	    event.GUIEvent.Caller->getID() == ID_LOADING_CANCEL)
		ptr_sed->Loader.Cancel();
	if (event.EventType != EET_KEY_INPUT_EVENT)
		return false;
	if (event.KeyInput.PressedDown && event.KeyInput.Key == KEY_ESCAPE)
		ptr_sed->Loader.Cancel();
	if (!event.KeyInput.PressedDown)
		RecordKey(event.KeyInput.Key, false, event.KeyInput.Char);
	return true;
}

bool CTLVEventRec::OnGuiEvent(const SEvent::SGUIEvent& gui)
{
	// "Transform", "Scene Objects", "Export glTF", "Assets" and "Properties"
	// answer their own controls.
	if (ptr_sed->Transform.OnGuiEvent(gui) || ptr_sed->ObjectList.OnGuiEvent(gui) ||
	    ptr_sed->GltfExport.OnGuiEvent(gui) || ptr_sed->Shelf.OnGuiEvent(gui) ||
	    ptr_sed->Properties.OnGuiEvent(gui))
		return true;
	switch (gui.EventType)
	{
	case gui::EGET_BUTTON_CLICKED: return OnButton(gui.Caller->getID());
	case gui::EGET_MENU_ITEM_SELECTED:
	{
		gui::IGUIContextMenu* menu = static_cast<gui::IGUIContextMenu*>(gui.Caller);
		const s32 selected = menu->getSelectedItem();
		return selected >= 0 && OnMenuCommand(menu->getItemCommandId(selected));
	}
	case gui::EGET_FILE_SELECTED:
		RestoreWorkingDirectory();
		return OnFileSelected(static_cast<gui::IGUIFileOpenDialog*>(gui.Caller));
	case gui::EGET_FILE_CHOOSE_DIALOG_CANCELLED: RestoreWorkingDirectory(); return false;
	case gui::EGET_DIRECTORY_SELECTED:
	{
		// OK with a folder selected, or with none (the folder shown).
		if (LOAD_TYPE != LOAD_EXPORT_FOLDER && LOAD_TYPE != LOAD_SCENE_FOLDER &&
		    LOAD_TYPE != LOAD_GLTF_FOLDER && LOAD_TYPE != LOAD_ASSETS_FOLDER)
			return false;
		gui::IGUIFileOpenDialog* dialog = static_cast<gui::IGUIFileOpenDialog*>(gui.Caller);
		return OnFolderChosen(dialog, dialog->getDirectoryName().c_str());
	}
	case gui::EGET_LISTBOX_SELECTED_AGAIN:
		// A double click on a level is its "Ok".
		if (gui.Caller->getID() != ID_LEVEL_CHOOSER_LIST)
			return false;
		ChooseLevel();
		return true;
	case gui::EGET_EDITBOX_ENTER:
		// Return in "Save Scene"'s field saves, as its "Ok" does.
		if (gui.Caller->getID() != ID_SAVE_SCENE_FILE)
			return false;
		ptr_sed->Files.SaveSceneFromWindow();
		return true;
	case gui::EGET_COMBO_BOX_CHANGED:
		// A preset sets every other control of "Particle Editor".
		if (gui.Caller->getID() != ID_PARTICLE_PRESET)
			return false;
		ptr_sed->ParticleEditor.ShowPreset(
		    static_cast<gui::IGUIComboBox*>(gui.Caller)->getSelected());
		return true;
	case gui::EGET_MESSAGEBOX_YES:
	case gui::EGET_MESSAGEBOX_NO:
	case gui::EGET_MESSAGEBOX_CANCEL:
		if (gui.Caller->getID() == ID_SAVE_SCENE_REPLACE)
		{
			ptr_sed->OnReplaceAnswered(gui.EventType == gui::EGET_MESSAGEBOX_YES);
			return true;
		}
		return ptr_sed->Keeper.OnQuestionAnswered(gui.Caller->getID(), gui.EventType);
	case gui::EGET_ELEMENT_FOCUSED:
		// What is typed into a field is one step, taken when it ends.
		if (gui.Caller->getType() == gui::EGUIET_EDIT_BOX)
			ptr_sed->BeginEdit(EDIT_TYPING);
		return false;
	case gui::EGET_ELEMENT_FOCUS_LOST:
		// A typed name is one step, ended when another field is touched
		// (by the click whose press is still held).
		if (gui.Caller->getType() == gui::EGUIET_EDIT_BOX)
		{
			ptr_sed->EndEdit(EDIT_TYPING);
			ptr_sed->RecordStep();
		}
		return false;
	default: return false;
	}
}

bool CTLVEventRec::OnMenuCommand(s32 commandId)
{
	CSceneEditor& editor = *ptr_sed;
	switch (commandId)
	{
	case ID_MENU_CLEAR: editor.ClearScene(); break;
	case ID_MENU_FILE_PROPERTIES: ShowWindow(CSceneEditor::ScenePropertiesWindow); break;
	case ID_MENU_QUIT: editor.RequestQuit(); break;
	case ID_MENU_SAVE_CPP:
		ShowWindow(editor.SaveOptionsWindow);
		env->setFocus(editor.sow_editboxDir); // Escape closes it at once
		break;
	case ID_MENU_SCENE_INFO:
		editor.EditorInfoWindow->setVisible(!editor.EditorInfoWindow->isVisible());
		break;
	case ID_MENU_SCENE_OBJECTS: editor.ObjectList.Show(); break;
	case ID_MENU_ASSETS: editor.Shelf.Show(); break;
	case ID_MENU_PROPERTIES: editor.Properties.Show(); break;
	case ID_MENU_TRANSFORM: editor.Transform.Show(); break;
	case ID_MENU_DROP_TO_FLOOR: editor.DropToFloor(); break;
	case ID_MENU_WORLD_PROPERTIES: ShowWindow(CSceneEditor::WorldMainWindow); break;
	case ID_MENU_SKYBOX_SETUP: ShowWindow(CSceneEditor::SkyBoxWindow); break;
	case ID_MENU_REMOVE: editor.DeleteSelectedModel(); break;
	case ID_MENU_OBJECT_PROPERTIES:
		// The selected object's window; the other kinds' windows close. A
		// kind without a window of its own (a light, a camera) shows its
		// place in "Transform".
		if (const SObjectKind* kind =
		        editor.SelectedModel ? KindOf(editor.SelectedModel->MODEL_TYPE) : 0)
		{
			for (const SObjectKind* other : ObjectKinds)
				if (other != kind && other->Window() && other->Window() != kind->Window())
					other->Window()->setVisible(false);
			if (kind->Window())
				ShowWindow(kind->Window());
			else
				editor.Transform.Show();
		}
		break;
	case ID_MENU_ADD_MODEL: OpenFileDialog(L"Select a Model", LOAD_MODEL); break;
	case ID_MENU_OPEN_SCENE: OpenFileDialog(L"Select a Scene", LOAD_SCENE); break;
	case ID_MENU_SAVE_SCENE: editor.Files.ShowSaveSceneWindow(); break;
	case ID_MENU_EXPORT_GLTF: editor.GltfExport.Show(); break;
	case ID_MENU_ADD_WATER: editor.CreateNewWater(); break;
	case ID_MENU_ADD_LIGHT: editor.AddAtMarker(CModel::TYPE_LIGHT); break;
	case ID_MENU_ADD_BILLBOARD: editor.AddAtMarker(CModel::TYPE_BILLBOARD); break;
	case ID_MENU_ADD_CUBE: editor.AddAtMarker(CModel::TYPE_CUBE); break;
	case ID_MENU_ADD_SPHERE: editor.AddAtMarker(CModel::TYPE_SPHERE); break;
	case ID_MENU_ADD_CAMERA: editor.AddAtMarker(CModel::TYPE_CAMERA); break;
	case ID_MENU_ADD_SKY_DOME: editor.AddAtMarker(CModel::TYPE_SKYDOME); break;
	case ID_MENU_ADD_EMPTY: editor.CreateNewEmpty(); break;
	case ID_MENU_GROUP: editor.GroupSelected(); break;
	case ID_MENU_UNGROUP: editor.UngroupSelected(); break;
	case ID_MENU_PARTICLE_EDITOR: ShowWindow(CSceneEditor::ParticleWindow); break;
	case ID_MENU_ABOUT: ShowWindow(CSceneEditor::AboutWindow); break;
	case ID_MENU_UNDO: editor.Undo(); break;
	case ID_MENU_REDO: editor.Redo(); break;
	default:
		if (editor.View.Views.OnMenu(commandId))
			break;
		if (commandId < ID_RECENT_SCENE_FIRST || commandId > ID_RECENT_SCENE_LAST)
			return false;
		editor.OpenRecentScene(static_cast<u32>(commandId - ID_RECENT_SCENE_FIRST));
	}
	return true;
}

bool CTLVEventRec::OnButton(s32 id)
{
	CSceneEditor& editor = *ptr_sed;
	switch (id)
	{
	case ID_EDITOR_PROPERTIES_OK: CSceneEditor::ScenePropertiesWindow->setVisible(false); break;
	case ID_SAVE_OPTIONS_OK:
		editor.SaveOptionsWindow->setVisible(false);
		editor.SaveLevel();
		break;
	case ID_SAVE_OPTIONS_CANCEL: editor.SaveOptionsWindow->setVisible(false); break;
	case ID_SAVE_OPTIONS_BROWSE:
	{
		std::string folder;
		editor.ExportFolder(folder);
		if (!IsFolder(folder))
			folder.clear(); // the working directory
		OpenFileDialog(L"Select a Folder", LOAD_EXPORT_FOLDER, folder);
		break;
	}
	case ID_WORLD_OK: CSceneEditor::WorldMainWindow->setVisible(false); break;
	case ID_SAVE_SCENE_OK: editor.Files.SaveSceneFromWindow(); break;
	case ID_SAVE_SCENE_CANCEL: editor.Files.SaveSceneWindow()->setVisible(false); break;
	case ID_SAVE_SCENE_BROWSE: BrowseSceneFolder(); break;
	case ID_GLTF_BROWSE:
		OpenFileDialog(L"Choose a Folder for the glTF File", LOAD_GLTF_FOLDER,
		               editor.GltfExport.FolderShown());
		break;
	case ID_ASSETS_BROWSE:
		OpenFileDialog(L"Choose a Folder of Assets", LOAD_ASSETS_FOLDER,
		               editor.Shelf.FolderShown());
		break;
	case ID_WORLD_LOAD_TERRAIN: OpenFileDialog(L"Select a Heightmap", LOAD_TERRAIN); break;
	case ID_WORLD_TERRAIN_TEXTURE: OpenFileDialog(L"Select a Texture", LOAD_TERRAIN_TEXTURE); break;
	case ID_WORLD_DELETE_TERRAIN: ptr_sed->DeleteTerrain(); break;
	case ID_WORLD_LOAD_PLANE: OpenFileDialog(L"Select a Plane", LOAD_PLANE); break;
	case ID_WORLD_PLANE_TEXTURE: OpenFileDialog(L"Select a Texture", LOAD_PLANE_TEXTURE); break;
	case ID_WORLD_LOAD_Q3LEVEL: OpenFileDialog(L"Select BSP Level", LOAD_Q3_LEVEL); break;
	case ID_WORLD_DELETE_PLANE: editor.DeletePlane(); break;
	case ID_WORLD_DELETE_Q3LEVEL: editor.DeleteQ3Level(); break;
	case ID_LEVEL_CHOOSER_OK: ChooseLevel(); break;
	case ID_LEVEL_CHOOSER_CANCEL: editor.LevelChooserWindow->setVisible(false); break;
	case ID_SKYBOX_OK:
		// "Ok" builds what the fields name and closes; with no face named
		// there is nothing to build. A failure keeps the fields in view.
		if (!AnyFaceNamed(editor.SkyBoxFields()) || editor.LoadSkyBox())
			CSceneEditor::SkyBoxWindow->setVisible(false);
		break;
	case ID_SKYBOX_APPLY: editor.LoadSkyBox(); break;
	case ID_MODEL_OK: CSceneEditor::ModelPropertiesWindow->setVisible(false); break;
	case ID_MODEL_LOAD_SKIN1: OpenFileDialog(L"Select a Texture", LOAD_MODEL_SKIN1); break;
	case ID_MODEL_LOAD_SKIN2: OpenFileDialog(L"Select a Texture", LOAD_MODEL_SKIN2); break;
	case ID_WATER_OK: CSceneEditor::WaterPropertiesWindow->setVisible(false); break;
	case ID_WATER_LOAD_SKIN1: OpenFileDialog(L"Select a Texture", LOAD_WATER_TEXTURE); break;
	case ID_WATER_LOAD_SKIN2: OpenFileDialog(L"Select a Texture", LOAD_WATER_TEXTURE2); break;
	case ID_ABOUT_CLOSE: CSceneEditor::AboutWindow->setVisible(false); break;
	case ID_PARTICLE_ADD: editor.CreateNewParticleSystem(); break;
	case ID_PARTICLE_LOAD_TEXTURE:
		OpenFileDialog(L"Select a Texture", LOAD_PARTICLE_TEXTURE);
		break;
	case ID_PARTICLE_CLOSE: CSceneEditor::ParticleWindow->setVisible(false); break;
	case ID_PROPERTIES_TEXTURE_FIRST:
	case ID_PROPERTIES_TEXTURE_SECOND:
		editor.Properties.ChooseTextureLayer(id == ID_PROPERTIES_TEXTURE_SECOND);
		OpenFileDialog(L"Select a Texture", LOAD_PROPERTIES_TEXTURE);
		break;
	default:
		if (id < ID_SKYBOX_BROWSE || id >= ID_SKYBOX_BROWSE + 7)
			return false;
		SkyBoxField = id - ID_SKYBOX_BROWSE;
		OpenFileDialog(L"Select a Texture", LOAD_SKYBOX_FIELD);
	}
	return true;
}

void CTLVEventRec::ChooseLevel()
{
	ptr_sed->LoadChosenLevel();
}

bool CTLVEventRec::OnFileSelected(gui::IGUIFileOpenDialog* dialog)
{
	return OnFileChosen(NarrowFileName(dialog->getFileName()));
}

bool CTLVEventRec::OnFileChosen(const std::string& file)
{
	CSceneEditor& editor = *ptr_sed;
	const char* name = file.c_str();
	Folders.chosen(LOAD_TYPE, file);
	// A terrain or a plane is framed while no model is placed yet (a level
	// is seen from where a player starts, however it was loaded).
	switch (LOAD_TYPE)
	{
	case LOAD_MODEL: editor.CreateNewModel(name); break;
	case LOAD_PLANE:
		if (editor.LoadLevelPlane(name))
			editor.View.ViewGround(editor.LevelPlane);
		break;
	case LOAD_PLANE_TEXTURE: editor.LoadPlaneTexture(name); break;
	case LOAD_MODEL_SKIN1: editor.LoadModelSkin(name); break;
	case LOAD_MODEL_SKIN2: editor.LoadModelSkin2(name); break;
	case LOAD_Q3_LEVEL:
		TypedLevelName.clear(); // a new "Choose a Level" starts a new name
		editor.LoadQ3Level(name);
		break;
	case LOAD_WATER_TEXTURE: editor.LoadWaterTexture1(name); break;
	case LOAD_WATER_TEXTURE2: editor.LoadWaterTexture2(name); break;
	case LOAD_TERRAIN:
		if (editor.LoadTerrain(name))
			editor.View.ViewGround(editor.Terrain);
		break;
	case LOAD_TERRAIN_TEXTURE: editor.LoadTerrainTexture(name); break;
	case LOAD_SCENE: editor.OpenScene(name); break;
	case LOAD_SKYBOX_FIELD: FillSkyBoxField(file); break;
	case LOAD_PARTICLE_TEXTURE: editor.LoadParticleTexture(name); break;
	case LOAD_EXPORT_FOLDER: OnFolderChosen(0, file.substr(0, file.rfind('/') + 1)); break;
	case LOAD_SCENE_FOLDER: editor.Files.ChooseSaveSceneFolder(file); break;
	case LOAD_GLTF_FOLDER: editor.GltfExport.ChooseFolder(file); break;
	case LOAD_ASSETS_FOLDER: editor.Shelf.ChooseFolder(file); break;
	case LOAD_PROPERTIES_TEXTURE: editor.Properties.LoadTexture(name); break;
	default: return false;
	}
	return true;
}

// "..." in "SkyBox Setup": the folder field takes the chosen file's folder, a
// face field the file's name and the folder field its folder, so that the
// face is read from where it was chosen.
void CTLVEventRec::FillSkyBoxField(const std::string& file)
{
	const std::array<gui::IGUIEditBox*, 7> fields = ptr_sed->SkyBoxFields();
	const size_t slash = file.rfind('/');
	fields[0]->setText(FileNameToWide(file.substr(0, slash + 1)).c_str());
	if (SkyBoxField > 0 && SkyBoxField < 7)
		fields[SkyBoxField]->setText(FileNameToWide(file.substr(slash + 1)).c_str());
}

void CTLVEventRec::OpenFileDialog(const wchar_t* title, int loadType)
{
	OpenFileDialog(title, loadType, Folders.startFolder(loadType));
}

void CTLVEventRec::OpenFileDialog(const wchar_t* title, int loadType, const std::string& start)
{
	DialogWorkingDirectory = WorkingDirectory();
	RememberFocus();
	std::string folder = start;
	ptr_sed->_gui->addFileOpenDialog(title, true, 0, ID_NONE, false,
	                                 folder.empty() ? 0 : &folder[0]);
	LOAD_TYPE = loadType;
}

// A folder for "..." of "Save Options" or "Save Scene". `dialog`: the dialog
// that is still open (a chosen file closes its dialog itself, a chosen folder
// does not).
bool CTLVEventRec::OnFolderChosen(gui::IGUIFileOpenDialog* dialog, const std::string& folder)
{
	const int purpose = LOAD_TYPE;
	if (dialog)
	{
		// It is inside its own event handling: kept alive until that ends.
		DropClosedDialog();
		dialog->grab();
		ClosedDialog = dialog;
		CloseFileDialog(dialog);
		LOAD_TYPE = LOAD_NONE;
	}
	std::string shown = folder;
	if (!shown.empty() && shown.back() != '/')
		shown += '/';
	if (purpose == LOAD_SCENE_FOLDER)
		ptr_sed->Files.ChooseSaveSceneFolder(shown);
	else if (purpose == LOAD_GLTF_FOLDER)
		ptr_sed->GltfExport.ChooseFolder(shown);
	else if (purpose == LOAD_ASSETS_FOLDER)
		ptr_sed->Shelf.ChooseFolder(shown);
	else
		ptr_sed->sow_editboxDir->setText(FileNameToWide(shown).c_str());
	return true;
}

void CTLVEventRec::DropClosedDialog()
{
	if (ClosedDialog)
		ClosedDialog->drop();
	ClosedDialog = 0;
}

// "..." of "Save Scene": the dialog starts in the field's folder; "OK" on a
// folder or on a file chooses it.
void CTLVEventRec::BrowseSceneFolder()
{
	OpenFileDialog(L"Choose a Folder for the Scene", LOAD_SCENE_FOLDER,
	               ptr_sed->Files.SaveSceneFolderShown());
}

void CTLVEventRec::ForgetFocusBeforeDialog()
{
	if (FocusBeforeDialog)
		FocusBeforeDialog->drop();
	FocusBeforeDialog = 0;
}

void CTLVEventRec::RememberFocus()
{
	ForgetFocusBeforeDialog();
	// A menu item opened it: the keys go back to the scene, not to the menu.
	gui::IGUIElement* focus = env->getFocus();
	if (!focus || focus->getType() == gui::EGUIET_MENU ||
	    focus->getType() == gui::EGUIET_CONTEXT_MENU)
		return;
	// The window, not its "..." button, which Return would press again.
	while (focus->getParent() && focus->getParent() != env->getRootGUIElement())
		focus = focus->getParent();
	FocusBeforeDialog = focus;
	FocusBeforeDialog->grab();
}

void CTLVEventRec::RestoreFocus()
{
	if (!FocusBeforeDialog || FileDialog())
		return;
	// A window the chosen file opened ("Choose a Level", a message box) keeps
	// the focus it took; a focus left on the closed dialog goes back.
	gui::IGUIElement* focus = env->getFocus();
	bool attached = false, shown = true;
	for (gui::IGUIElement* e = focus; e; e = e->getParent())
		attached = attached || e == env->getRootGUIElement();
	for (gui::IGUIElement* e = FocusBeforeDialog; e; e = e->getParent())
		shown = shown && e->isVisible();
	if ((!focus || !attached) && shown)
		env->setFocus(FocusBeforeDialog);
	ForgetFocusBeforeDialog();
}

gui::IGUIFileOpenDialog* CTLVEventRec::FileDialog() const
{
	// A modal dialog sits in a modal screen of its own.
	for (gui::IGUIElement* screen : env->getRootGUIElement()->getChildren())
		for (gui::IGUIElement* child : screen->getChildren())
			if (child->getType() == gui::EGUIET_FILE_OPEN_DIALOG)
				return static_cast<gui::IGUIFileOpenDialog*>(child);
	return 0;
}

void CTLVEventRec::CloseFileDialog(gui::IGUIElement* dialog)
{
	dialog->remove(); // its modal screen goes with it
	RestoreWorkingDirectory();
}

void CTLVEventRec::RestoreWorkingDirectory()
{
	if (!DialogWorkingDirectory.empty() && chdir(DialogWorkingDirectory.c_str()) == 0)
		DialogWorkingDirectory.clear();
}

// A window shown from a menu or a button comes to the front, over the
// information window and any other tool window.
void CTLVEventRec::ShowWindow(gui::IGUIElement* window)
{
	window->setVisible(true);
	env->getRootGUIElement()->bringToFront(window);
}

bool CTLVEventRec::OnKey(const SEvent::SKeyInput& keyInput)
{
	// With the right button held on the view, the fly keys fly the camera.
	if (ptr_sed->Orbit->flyKey(keyInput.Key, keyInput.PressedDown))
		return true;
	const bool escape = keyInput.PressedDown && keyInput.Key == KEY_ESCAPE;
	if (escape && CloseOpenMenu())
		return true;
	// Keys typed into an edit box, or meant for an open file dialog, message
	// box or "Choose a Level", belong to the GUI; a release still ends the
	// key's entry, or the object would go on moving with no key held.
	const bool editing = ptr_sed->CheckEditBoxFocus();
	if (keyInput.PressedDown && AnswerWithKey(keyInput, editing))
		return true;
	// F2 renames in "Scene Objects"; Left and Right open its lines.
	if (!ptr_sed->ModalWindowOpen() && ptr_sed->ObjectList.OnKey(keyInput))
		return true;
	// Escape during a drag of the handles puts the object back.
	if (escape && ptr_sed->Handles.Cancel())
		return true;
	// Escape while typing into a field or dragging a bar takes back what
	// it changed; the field keeps the focus, the bar lets go.
	if (escape && (editing || ptr_sed->MouseButtonsHeld) && !ptr_sed->ModalWindowOpen() &&
	    ptr_sed->CancelEdit())
	{
		gui::IGUIElement* focus = env->getFocus();
		if (focus && focus->getType() == gui::EGUIET_SCROLL_BAR)
			env->removeFocus(focus);
		return true;
	}
	const bool choosing = FocusWithin(ptr_sed->LevelChooserWindow);
	if (editing || ptr_sed->ModalWindowOpen() || choosing)
	{
		if (!keyInput.PressedDown)
			RecordKey(keyInput.Key, false, keyInput.Char);
		// The list takes a release of Return for a second "Ok"; its press
		// was the file dialog's, or already chose.
		return choosing && !keyInput.PressedDown && keyInput.Key == KEY_RETURN;
	}
	if (keyInput.PressedDown && keyInput.Control &&
	    (keyInput.Key == KEY_KEY_Z || keyInput.Key == KEY_KEY_Y))
	{
		// Control+Z undoes; Control+Y and Control+Shift+Z redo.
		if (keyInput.Key == KEY_KEY_Z && !keyInput.Shift)
			ptr_sed->Undo();
		else
			ptr_sed->Redo();
		return true;
	}
	// Escape while a key moves something puts it back where the hold began.
	if (escape && ptr_sed->RollBackHeldChange())
		return true;
	if (ptr_sed->OnObjectKey(keyInput))
		return true;
	if (!keyInput.PressedDown && keyInput.Key == KEY_KEY_C)
		ptr_sed->CameraMode = !ptr_sed->CameraMode;
	if (keyInput.PressedDown && keyInput.Key == KEY_KEY_F)
		ptr_sed->View.FrameSelection();
	if (keyInput.PressedDown && keyInput.Key == KEY_HOME)
		ptr_sed->View.ResetView();
	// 1 to 4 show a view, 5 the four at once.
	if (ptr_sed->View.Views.OnKey(keyInput))
		return true;
	RecordKey(keyInput.Key, keyInput.PressedDown, keyInput.Char);
	return true;
}

bool CTLVEventRec::AnswerWithKey(const SEvent::SKeyInput& keyInput, bool editing)
{
	CSceneEditor& editor = *ptr_sed;
	const bool escape = keyInput.Key == KEY_ESCAPE, enter = keyInput.Key == KEY_RETURN;
	if (enter && editing && ChooseTypedFile())
		return true;
	// The engine's file dialog has no key of its own to cancel it.
	if (gui::IGUIFileOpenDialog* dialog = FileDialog())
	{
		if (escape)
			CloseFileDialog(dialog);
		return escape;
	}
	if (FocusWithin(editor.LevelChooserWindow))
	{
		if (enter)
			ChooseLevel();
		else if (escape)
			editor.LevelChooserWindow->setVisible(false);
		else if (iswgraph(keyInput.Char))
			TypeLevelName(keyInput.Char);
		else
			return false;
		return true;
	}
	if (editor.ModalWindowOpen())
		return false;
	if (escape && FocusWithin(editor.Files.SaveSceneWindow()))
	{
		editor.Files.SaveSceneWindow()->setVisible(false);
		return true;
	}
	if (escape && FocusWithin(editor.GltfExport.Window))
	{
		editor.GltfExport.Window->setVisible(false);
		return true;
	}
	if (escape && FocusWithin(editor.SaveOptionsWindow))
	{
		editor.SaveOptionsWindow->setVisible(false);
		return true;
	}
	return false;
}

namespace
{
// Hides every open submenu below a menu; false when none was open.
bool CloseSubMenus(gui::IGUIContextMenu* menu)
{
	bool closed = false;
	for (u32 i = 0; i < menu->getItemCount(); ++i)
	{
		gui::IGUIContextMenu* sub = menu->getSubMenu(i);
		if (!sub)
			continue;
		closed = CloseSubMenus(sub) || closed;
		if (sub->isVisible())
		{
			sub->setVisible(false);
			closed = true;
		}
	}
	return closed;
}
} // namespace

bool CTLVEventRec::CloseOpenMenu()
{
	for (gui::IGUIElement* element : env->getRootGUIElement()->getChildren())
		if (element->getType() == gui::EGUIET_MENU &&
		    CloseSubMenus(static_cast<gui::IGUIContextMenu*>(element)))
		{
			// The menu bar also forgets its highlighted title.
			env->removeFocus(element);
			return true;
		}
	return false;
}

bool CTLVEventRec::FocusWithin(gui::IGUIElement* window) const
{
	for (gui::IGUIElement* e = env->getFocus(); e; e = e->getParent())
		if (e == window)
			return window->isVisible();
	return false;
}

// Letters typed in "Choose a Level" select the first level whose name
// starts with them; after a pause a new name begins.
void CTLVEventRec::TypeLevelName(wchar_t character)
{
	const u32 now = device->getTimer()->getRealTime();
	if (now - LevelNameTypedAt > 1000)
		TypedLevelName.clear();
	LevelNameTypedAt = now;
	TypedLevelName += towlower(character);
	gui::IGUIListBox* list = ptr_sed->LevelChooserList;
	for (u32 i = 0; i < list->getItemCount(); ++i)
	{
		const std::wstring name = list->getListItem(i);
		if (name.compare(0, TypedLevelName.size(), TypedLevelName) == 0)
		{
			list->setSelected(i);
			return;
		}
	}
}

// The wheel scrolls "Choose a Level" three rows a notch (the engine's list
// moves half a row).
bool CTLVEventRec::ScrollLevelList(const SEvent::SMouseInput& mouse)
{
	gui::IGUIListBox* list = ptr_sed->LevelChooserList;
	if (!ptr_sed->LevelChooserWindow->isVisible() ||
	    !list->getAbsoluteClippingRect().isPointInside(core::position2d<s32>(mouse.X, mouse.Y)))
		return false;
	for (gui::IGUIElement* child : list->getChildren())
		if (child->getType() == gui::EGUIET_SCROLL_BAR)
		{
			gui::IGUIScrollBar* bar = static_cast<gui::IGUIScrollBar*>(child);
			bar->setPos(bar->getPos() -
			            static_cast<s32>(mouse.Wheel * 3) * CSceneEditor::LevelRowHeight);
		}
	return true;
}

// Return in a file dialog's path field that holds the path of an existing
// file chooses that file (the dialog itself only opens folders typed there).
bool CTLVEventRec::ChooseTypedFile()
{
	gui::IGUIElement* field = env->getFocus();
	gui::IGUIElement* dialog = field ? field->getParent() : 0;
	if (!dialog || field->getType() != gui::EGUIET_EDIT_BOX ||
	    dialog->getType() != gui::EGUIET_FILE_OPEN_DIALOG)
		return false;
	std::string file;
	struct stat info;
	if (!WideToFileName(field->getText(), file) || stat(file.c_str(), &info) != 0 ||
	    !S_ISREG(info.st_mode))
		return false;
	// A relative path is meant from the folder the dialog shows.
	if (file[0] != '/')
		file = WorkingDirectory() + "/" + file;
	CloseFileDialog(dialog);
	OnFileChosen(file);
	return true;
}

// A double click on a file in a file dialog's list chooses it, as "OK"
// does (the engine's dialog only selects it).
bool CTLVEventRec::ChooseClickedFile(const SEvent::SMouseInput& mouse)
{
	gui::IGUIFileOpenDialog* dialog = FileDialog();
	gui::IGUIElement* list = 0;
	for (gui::IGUIElement* child : dialog ? dialog->getChildren() : core::list<gui::IGUIElement*>())
		if (child->getType() == gui::EGUIET_LIST_BOX)
			list = child;
	if (!list)
		return false;
	// The first click selected the row; the dialog names the file only
	// when the row is a file, not a folder.
	gui::IGUIListBox* rows = static_cast<gui::IGUIListBox*>(list);
	const s32 row = rows->getItemAt(mouse.X, mouse.Y);
	const std::string file = NarrowFileName(dialog->getFileName());
	if (row < 0 || row != rows->getSelected() || file.empty())
		return false;
	CloseFileDialog(dialog);
	OnFileChosen(file);
	return true;
}

// A navigation code is a keypad key when its press carries the digit
// (NumLock on) or when the keyboard holds the keypad key (NumLock off).
EKEY_CODE CTLVEventRec::PressedCode(EKEY_CODE code, wchar_t character) const
{
	for (const SKeypadKey& k : KeypadKeys)
		if (k.navigation == code)
			return k.digit == character ||
			               KeypadKeyHeld(WindowDisplay(device->getVideoDriver()), k.keypad)
			           ? k.keypad
			           : code;
	return code;
}

void CTLVEventRec::RecordKey(EKEY_CODE code, bool pressedDown, wchar_t character)
{
	// The table has entries for codes 0 to 254 only (KEY_NONE is 255).
	if (code < 0 || code >= CSceneEditor::KEY_ENTRIES)
		return;
	bool* key = ptr_sed->key;
	if (pressedDown)
		key[PressedCode(code, character)] = true;
	else
	{
		// The arrow and the keypad key sharing this code cannot be told
		// apart here: the release ends both, so neither can stay stuck.
		key[code] = false;
		key[KeypadCounterpart(code)] = false;
	}
	// Control is held while either of its keys is.
	if (code == KEY_LCONTROL || code == KEY_RCONTROL)
		key[KEY_CONTROL] = key[KEY_LCONTROL] || key[KEY_RCONTROL];
	ptr_sed->KeysChanged();
}

bool CTLVEventRec::GuiAt(s32 x, s32 y) const
{
	gui::IGUIElement* root = env->getRootGUIElement();
	gui::IGUIElement* hit = root->getElementFromPoint(core::position2d<s32>(x, y));
	return hit && hit != root;
}

bool CTLVEventRec::OnMouse(const SEvent::SMouseInput& mouse)
{
	if (mouse.Event == EMIE_MOUSE_WHEEL && ScrollLevelList(mouse))
		return true;
	if (mouse.Event == EMIE_LMOUSE_DOUBLE_CLICK && ChooseClickedFile(mouse))
		return true;
	// A double click on a picture of "Assets", a drag from one, the wheel.
	if (ptr_sed->Shelf.OnMouse(mouse) || ptr_sed->Properties.OnMouse(mouse))
		return true;
	// A click on a sign of "Scene Objects", a drag of one of its lines.
	if (ptr_sed->ObjectList.OnMouse(mouse))
		return true;
	// A press or a wheel turn on a window, the menu bar or a message box is
	// that element's, whatever the camera mode; only the open view picks.
	const bool pressOrWheel =
	    mouse.Event == EMIE_LMOUSE_PRESSED_DOWN || mouse.Event == EMIE_RMOUSE_PRESSED_DOWN ||
	    mouse.Event == EMIE_MMOUSE_PRESSED_DOWN || mouse.Event == EMIE_MOUSE_WHEEL;
	if (pressOrWheel && GuiAt(mouse.X, mouse.Y))
		return false;
	// A press makes its view active; the wheel zooms the view under the
	// cursor; a middle drag pans a view from the top, front or side.
	if (ptr_sed->View.Views.OnMouse(mouse))
		return true;
	// The handles of the selected object take a press on them, and the
	// drag that follows.
	if (ptr_sed->Handles.OnMouse(mouse))
		return true;
	// While the camera is frozen a left press on the view picks.
	if (ptr_sed->CameraMode || mouse.Event != EMIE_LMOUSE_PRESSED_DOWN)
		return false;
	ptr_sed->SelectNewSceneNode(true, mouse.Control);
	return true;
}
