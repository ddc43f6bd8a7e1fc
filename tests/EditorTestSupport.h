// Helpers for in-process tests: an editor started on the null driver and
// input delivered through the device exactly as the engine delivers it.
#ifndef TOLVANE_EDITORTESTSUPPORT_H
#define TOLVANE_EDITORTESTSUPPORT_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CEventRec.h"
#include "CSceneEditor.h"

class EditorTest : public ::testing::Test
{
protected:
	void SetUp() override;
	void TearDown() override;

	//! Sends a key press or release through the device.
	bool postKey(EKEY_CODE code, bool pressed, wchar_t ch = 0, bool control = false,
	             bool shift = false);
	//! Presses, holds for `frames` step times (editor updates), releases.
	void holdKeys(std::initializer_list<EKEY_CODE> codes, int frames);
	//! Runs editor updates until the clock has moved this far.
	void runFor(double seconds);
	//! Update plus the scene's animation step (the null driver never renders).
	void frame();
	//! A mesh model node in a table slot, as the editor keeps models.
	CModel* placeModel(int slot, const char* mesh = "sydney.md2");

	//! A left press and release at a screen point, as the mouse sends them.
	void clickAt(s32 x, s32 y);
	//! Clicks the middle of a GUI element.
	void click(gui::IGUIElement* element);
	//! Moves the mouse without buttons.
	void moveMouse(s32 x, s32 y);
	//! One mouse event at a screen point, the cursor there too.
	void mouseEvent(EMOUSE_INPUT_EVENT what, s32 x, s32 y, u32 buttons);
	//! Types text and keys into whatever has the focus.
	void typeText(const wchar_t* text);
	void pressKey(EKEY_CODE code, wchar_t ch = 0);

	//! Chooses a menu item with the mouse, as a user opens the menu bar and
	//! clicks the item; false when the item cannot be reached.
	bool chooseMenu(s32 commandId);
	//! Clicks the button with this id in the window holding it, showing
	//! the window first if needed.
	void clickButton(s32 id);

	//! The open file-open dialog, or null.
	gui::IGUIFileOpenDialog* openDialog();
	//! Types a folder into the open dialog's path field and presses Enter,
	//! as a user browses there; the field, or null without a dialog.
	gui::IGUIEditBox* typeDialogFolder(const std::string& folder);
	//! Picks a file in the open dialog as a user does: types its folder into
	//! the path field, clicks the file in the list and then "OK"
	//! (`beforeOk` runs just before that click).
	bool chooseFile(const std::string& path, const std::function<void()>& beforeOk = {});
	//! Clicks "OK" or "Cancel" in the open file dialog.
	bool clickDialogButton(const wchar_t* caption);

	struct Message
	{
		std::wstring caption, text;
	};
	//! Every message box on screen, oldest first.
	std::vector<Message> messages();
	//! Closes every message box with its OK button.
	void dismissMessages();
	//! The one message box on screen as "caption: text" (else how many there
	//! are, as "N message boxes"), then dismissed.
	std::wstring answer();

	CSceneEditor* editor = nullptr;
	//! The editor's clock (seconds): it moves only while the editor waits.
	double clock = 0.0;
};

//! A GUI element anywhere in the tree by type and id (any id when -2).
gui::IGUIElement* FindElement(gui::IGUIElement* root, gui::EGUI_ELEMENT_TYPE type, s32 id = -2);

//! This process's temporary folder.
std::string ScratchDir();
//! Writes a small file and returns its path (in ScratchDir()).
std::string WriteFile(const std::string& name, const std::string& bytes);
//! A whole file, empty when it cannot be read.
std::string ReadFile(const std::string& path);

//! A LightWave object that makes the engine's loader loop forever.
std::string HangingMeshFile();
//! A load-check time limit (seconds) for files that end: no sanitizer on a
//! busy machine comes near it, so only a file that never ends reaches it.
const double NEVER_TIMES_OUT = 120.0;

//! A copy of an engine media file in this process's temporary folder, so
//! that a file-open dialog there lists only a few files.
std::string FixtureCopy(const std::string& media);

//! Path of an engine media file, unpacked into a temporary folder if needed.
std::string MediaFile(const std::string& name);

//! Counts the scene nodes of a type below the root.
int CountNodes(scene::ISceneManager* smgr, scene::ESCENE_NODE_TYPE type);

//! Everything an undo step may change, as text: every model's fields, node,
//! material and textures, the world geometry, the colours and the marker.
std::string DescribeScene(CSceneEditor* editor);

//! Names the engine's sample sky box faces in "SkyBox Setup" and builds it.
bool LoadSampleSkyBox(CSceneEditor* editor);

//! Whether two vectors agree within a tolerance, naming both when not.
::testing::AssertionResult VecNear(const core::vector3df& expected, const core::vector3df& actual,
                                   f32 tolerance);

#define EXPECT_VEC_NEAR(expected, actual, tolerance)                                               \
	EXPECT_TRUE(VecNear((expected), (actual), (tolerance)))

#endif
