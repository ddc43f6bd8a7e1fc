// CTLVEventRec: the editor's engine event receiver. It turns menu commands,
// button clicks, chosen files, keys and mouse clicks into editor operations;
// the operations themselves live in CSceneEditor.
#ifndef TOLVANE_CEVENTREC_H
#define TOLVANE_CEVENTREC_H

#include <irrlicht.h>
#include <string>

#include "DialogFolders.h"

using namespace irr;

class CSceneEditor;

//! Values of LOAD_TYPE: which operation receives the file chosen in the
//! file-open dialog that is open (2 is not used).
enum ELoadType
{
	LOAD_NONE = 0,
	LOAD_MODEL = 1,
	LOAD_PLANE = 3,
	LOAD_PLANE_TEXTURE = 4,
	LOAD_MODEL_SKIN1 = 5,
	LOAD_MODEL_SKIN2 = 6,
	LOAD_Q3_LEVEL = 7,
	LOAD_WATER_TEXTURE = 8,
	LOAD_WATER_TEXTURE2 = 9,
	LOAD_TERRAIN = 10,
	LOAD_TERRAIN_TEXTURE = 11,
	LOAD_SCENE = 12,
	//! A "..." button of "SkyBox Setup": the field it fills is SkyBoxField.
	LOAD_SKYBOX_FIELD = 13,
	LOAD_PARTICLE_TEXTURE = 14,
	//! "..." of "Save Options": a folder for the export, not a file.
	LOAD_EXPORT_FOLDER = 16,
	//! "..." of "Save Scene": a folder (or a scene file) for its field.
	LOAD_SCENE_FOLDER = 20,
	//! "..." of "Export glTF": a folder (or a .glb file) for its field.
	LOAD_GLTF_FOLDER = 21,
	//! "..." of "Assets": the folder whose models and images it shows.
	LOAD_ASSETS_FOLDER = 22,
	//! "..." of a texture in "Properties": the layer it fills is its own.
	LOAD_PROPERTIES_TEXTURE = 23
};

class CTLVEventRec : public IEventReceiver
{
public:
	explicit CTLVEventRec(CSceneEditor* sed);
	//! Gives back the working directory an open file dialog has changed.
	~CTLVEventRec() override;

	void SetGUIEnvironment(gui::IGUIEnvironment* i_gui, IrrlichtDevice* i_device);
	bool OnEvent(const SEvent& event) override;
	//! Releases a dialog closed during its own event (before the device goes).
	void DropClosedDialog();
	//! Releases what is kept for a file dialog (before the device goes).
	void ForgetFocusBeforeDialog();

	gui::IGUIEnvironment* env;
	IrrlichtDevice* device;

private:
	bool OnEventWhileLoading(const SEvent& event);
	bool OnGuiEvent(const SEvent::SGUIEvent& gui);
	bool OnMenuCommand(s32 commandId);
	bool OnButton(s32 id);
	bool OnFileSelected(gui::IGUIFileOpenDialog* dialog);
	bool OnFileChosen(const std::string& file);
	bool ChooseTypedFile();
	bool ChooseClickedFile(const SEvent::SMouseInput& mouse);
	//! The open file-open dialog, or null.
	gui::IGUIFileOpenDialog* FileDialog() const;
	void CloseFileDialog(gui::IGUIElement* dialog);
	bool OnKey(const SEvent::SKeyInput& keyInput);
	//! Return, Escape and letters that answer the dialog or window holding
	//! the keys; false when the key is not one of those.
	bool AnswerWithKey(const SEvent::SKeyInput& keyInput, bool editing);
	bool FocusWithin(gui::IGUIElement* window) const;
	//! Escape: closes the menu bar's open menu; false when none is open.
	bool CloseOpenMenu();
	//! "Ok" of "Choose a Level".
	void ChooseLevel();
	void TypeLevelName(wchar_t character);
	bool ScrollLevelList(const SEvent::SMouseInput& mouse);
	void FillSkyBoxField(const std::string& file);
	bool OnMouse(const SEvent::SMouseInput& mouse);
	//! Whether a GUI element (window, menu, message box) is at a screen point.
	bool GuiAt(s32 x, s32 y) const;
	void OpenFileDialog(const wchar_t* title, int loadType);
	void OpenFileDialog(const wchar_t* title, int loadType, const std::string& start);
	//! The folder of "Save Options" or "Save Scene" becomes a folder chosen
	//! (or the folder of a file chosen) in the dialog.
	bool OnFolderChosen(gui::IGUIFileOpenDialog* dialog, const std::string& folder);
	void BrowseSceneFolder();
	//! Keeps the element with the focus as a file dialog opens, and gives it
	//! back once the dialog has gone (unless something else took it).
	void RememberFocus();
	void RestoreFocus();
	void RestoreWorkingDirectory();
	void RecordKey(EKEY_CODE code, bool pressedDown, wchar_t character);
	//! The key-table entry a press is recorded under.
	EKEY_CODE PressedCode(EKEY_CODE code, wchar_t character) const;
	void ShowWindow(gui::IGUIElement* window);

	CSceneEditor* ptr_sed;
	//! Working directory when the open file dialog was opened; browsing in
	//! the dialog changes it.
	std::string DialogWorkingDirectory;
	CDialogFolders Folders;
	//! A dialog closed while it was still sending its event, kept until the
	//! next input event so that it outlives its own event handling.
	gui::IGUIElement* ClosedDialog;
	//! The element that had the focus when the open file dialog opened, so
	//! that Escape and Return go on answering the window of its "..." button.
	gui::IGUIElement* FocusBeforeDialog;
	//! The "SkyBox Setup" field a "..." button fills: 0 the folder, 1 to 6
	//! the faces.
	int SkyBoxField;
	//! What was typed in "Choose a Level", and when (engine milliseconds).
	std::wstring TypedLevelName;
	u32 LevelNameTypedAt;
};

#endif
