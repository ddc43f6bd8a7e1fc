// Dialogs and windows as a new user meets them: however one closes, the keys
// belong to the scene again; file dialogs start where the last file of their
// kind was chosen; "Choose a Level" and "SkyBox Setup" take the shortcuts
// users expect.
#include "EditorTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "EditorIds.h"
#include "FileNames.h"

namespace
{
// A folder of its own holding a copy of an engine media file.
std::string CopyInto(const std::string& folder, const std::string& media)
{
	const std::string dir = ScratchDir() + "/" + folder;
	EXPECT_EQ(0, std::system(("mkdir -p '" + dir + "'").c_str()));
	const std::string path = dir + "/" + media;
	std::ofstream(path, std::ios::binary) << ReadFile(MediaFile(media));
	return path;
}
} // namespace

class DialogTest : public EditorTest
{
protected:
	int models()
	{
		int count = 0;
		for (CModel* model : editor->Model)
			count += model && model->AnimatedNode;
		return count;
	}

	void postMouse(EMOUSE_INPUT_EVENT what, u32 buttons, f32 wheel = 0)
	{
		const core::position2d<s32> at = editor->_device->getCursorControl()->getPosition();
		SEvent event;
		event.EventType = EET_MOUSE_INPUT_EVENT;
		event.MouseInput = {at.X, at.Y, wheel, false, false, buttons, what};
		editor->_device->postEventFromUser(event);
	}

	// The second click of a double click where the mouse is, as the device
	// reports it: a press, the double click, a release.
	void secondClick()
	{
		postMouse(EMIE_LMOUSE_PRESSED_DOWN, EMBSM_LEFT);
		postMouse(EMIE_LMOUSE_DOUBLE_CLICK, EMBSM_LEFT);
		postMouse(EMIE_LMOUSE_LEFT_UP, 0);
	}

	// "Choose a Level" for an archive of levels with these names.
	gui::IGUIListBox* chooser(const std::vector<std::string>& names)
	{
		const std::string dir = ScratchDir() + "/levels";
		std::string command = "mkdir -p '" + dir + "/maps' && cd '" + dir + "'";
		for (const std::string& name : names)
			command += " && : > maps/" + name + ".bsp";
		EXPECT_EQ(0, std::system((command + " && zip -q -r levels.pk3 maps").c_str()));
		EXPECT_FALSE(editor->LoadQ3Level((dir + "/levels.pk3").c_str()));
		return static_cast<gui::IGUIListBox*>(FindElement(
		    editor->_gui->getRootGUIElement(), gui::EGUIET_LIST_BOX, ID_LEVEL_CHOOSER_LIST));
	}

	gui::IGUIElement* saveSceneField()
	{
		return FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX,
		                   ID_SAVE_SCENE_FILE);
	}

	const std::string crate = std::string(TOLVANE_SOURCE_DIR) + "/samples/crate.obj";
};

TEST_F(DialogTest, HoweverADialogOrWindowClosesTheKeysBelongToTheSceneAgain)
{
	const std::string scene = ScratchDir() + "/scene.irr";
	auto openModelDialog = [&](const std::string& folder)
	{
		ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
		typeDialogFolder(folder);
	};
	auto showSaveScene = [&]
	{
		ASSERT_TRUE(chooseMenu(ID_MENU_SAVE_SCENE));
		saveSceneField()->setText(core::stringw(scene.c_str()).c_str());
	};
	auto showChooser = [&] { ASSERT_NE(nullptr, chooser({"one", "two"})); };
	const std::string glb = ScratchDir() + "/scene.glb";
	auto showGltfExport = [&]
	{
		ASSERT_TRUE(chooseMenu(ID_MENU_EXPORT_GLTF));
		editor->GltfExport.FileBox->setText(core::stringw(glb.c_str()).c_str());
	};
	const std::string samples = crate.substr(0, crate.rfind('/'));
	auto expectNoExport = [&]
	{
		EXPECT_FALSE(editor->SaveOptionsWindow->isVisible());
		EXPECT_TRUE(messages().empty()) << "nothing was written";
	};
	const struct
	{
		const char* way;
		std::function<void()> close;
	} rows[] = {
	    {"a typed file and Return", [&] { openModelDialog(crate); }},
	    {"OK", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL) && chooseFile(crate)); }},
	    {"Cancel", [&] { openModelDialog("/tmp"), clickDialogButton(L"Cancel"); }},
	    {"Escape", [&] { openModelDialog(samples), pressKey(KEY_ESCAPE); }},
	    {"the close button", [&] { openModelDialog(samples), clickDialogButton(L""); }},
	    {"a double click on a file",
	     [&] { chooseMenu(ID_MENU_ADD_MODEL), chooseFile(crate, [&] { secondClick(); }); }},
	    {"Escape in a texture dialog",
	     [&] { clickButton(ID_MODEL_LOAD_SKIN1), pressKey(KEY_ESCAPE); }},
	    {"Escape in a scene dialog", [&] { chooseMenu(ID_MENU_OPEN_SCENE), pressKey(KEY_ESCAPE); }},
	    {"Choose a Level, Ok", [&] { showChooser(), clickButton(ID_LEVEL_CHOOSER_OK); }},
	    {"Choose a Level, Cancel", [&] { showChooser(), clickButton(ID_LEVEL_CHOOSER_CANCEL); }},
	    {"Choose a Level, Return", [&] { showChooser(), pressKey(KEY_RETURN); }},
	    {"Choose a Level, Escape", [&] { showChooser(), pressKey(KEY_ESCAPE); }},
	    {"Save Scene, Ok", [&] { showSaveScene(), clickButton(ID_SAVE_SCENE_OK); }},
	    {"Save Scene, Cancel", [&] { showSaveScene(), clickButton(ID_SAVE_SCENE_CANCEL); }},
	    {"Save Scene, Return", [&] { showSaveScene(), pressKey(KEY_RETURN); }},
	    {"Save Scene, Escape", [&] { showSaveScene(), pressKey(KEY_ESCAPE); }},
	    {"Export glTF, Return",
	     [&]
	     {
		     showGltfExport(), pressKey(KEY_RETURN);
		     EXPECT_NE("", ReadFile(glb)) << "Return exports";
	     }},
	    {"Export glTF, Escape", [&] { showGltfExport(), pressKey(KEY_ESCAPE); }},
	    {"Export glTF, \"...\", Cancel, Escape",
	     [&]
	     {
		     showGltfExport(), clickButton(ID_GLTF_BROWSE), clickDialogButton(L"Cancel");
		     pressKey(KEY_ESCAPE);
		     EXPECT_FALSE(editor->GltfExport.Window->isVisible());
	     }},
	    {"Save Options, Cancel", [&] { clickButton(ID_SAVE_OPTIONS_CANCEL), expectNoExport(); }},
	    {"Save Options, Escape",
	     [&] { chooseMenu(ID_MENU_SAVE_CPP), pressKey(KEY_ESCAPE), expectNoExport(); }},
	    {"Save Options, \"...\", Cancel, Escape",
	     [&]
	     {
		     clickButton(ID_SAVE_OPTIONS_BROWSE), clickDialogButton(L"Cancel");
		     pressKey(KEY_ESCAPE), expectNoExport();
	     }},
	    {"Save Scene, \"...\", Cancel, Escape",
	     [&]
	     {
		     showSaveScene(), clickButton(ID_SAVE_SCENE_BROWSE), clickDialogButton(L"Cancel");
		     pressKey(KEY_ESCAPE);
		     EXPECT_FALSE(saveSceneField()->getParent()->isVisible());
	     }},
	    {"Loading, Escape",
	     [&]
	     {
		     editor->LoadChecker.BaseSeconds = 60.0; // only Escape ends the trial
		     const std::function<bool()> waiting = editor->LoadChecker.Waiting;
		     editor->LoadChecker.Waiting = [&, waiting]
		     {
			     const bool goOn = waiting();
			     pressKey(KEY_ESCAPE);
			     return goOn;
		     };
		     editor->CreateNewModel(HangingMeshFile().c_str());
		     editor->LoadChecker.Waiting = waiting;
	     }},
	};
	for (const auto& row : rows)
	{
		SCOPED_TRACE(row.way);
		row.close();
		dismissMessages();
		frame();
		EXPECT_EQ(nullptr, openDialog());
		const int before = models();
		pressKey(KEY_RETURN);
		frame();
		EXPECT_EQ(before, models()) << "Return does nothing in the scene";
		const core::vector3df marker = editor->Positioner->getPosition();
		holdKeys({KEY_NUMPAD8}, 2);
		EXPECT_FALSE(marker.equals(editor->Positioner->getPosition())) << "the keypad moves";
	}
	EXPECT_EQ(3, models()) << "Return, OK and the double click each added one";
}

TEST_F(DialogTest, EachModelAddedByATypedPathIsItsOwnUndoStep)
{
	for (int i = 0; i < 2; ++i)
	{
		ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
		typeDialogFolder(crate);
		frame();
	}
	ASSERT_EQ(2, models());
	postKey(KEY_KEY_Z, true, L'z', true);
	EXPECT_EQ(1, models());
}

TEST_F(DialogTest, EachKindOfFileDialogStartsWhereItsLastFileWasChosen)
{
	const std::string cwd = WorkingDirectory();
	const std::string mesh = CopyInto("meshes", "sydney.md2");
	const std::string texture = CopyInto("textures", "wall.jpg");
	auto startsIn = [&](bool menu, s32 opener, const std::string& folder)
	{
		if (menu)
			ASSERT_TRUE(chooseMenu(opener));
		else
			clickButton(opener);
		ASSERT_NE(nullptr, openDialog());
		std::string shown = core::stringc(openDialog()->getDirectoryName()).c_str();
		if (shown.size() > 1 && shown.back() == '/')
			shown.pop_back();
		EXPECT_EQ(folder, shown) << opener;
	};
	startsIn(true, ID_MENU_ADD_MODEL, cwd);
	ASSERT_TRUE(chooseFile(mesh));
	startsIn(false, ID_MODEL_LOAD_SKIN1, cwd);
	ASSERT_TRUE(chooseFile(texture));
	const struct
	{
		bool menu;
		s32 opener;
		std::string folder;
	} rows[] = {
	    {true, ID_MENU_ADD_MODEL, ScratchDir() + "/meshes"},
	    {false, ID_WORLD_LOAD_PLANE, ScratchDir() + "/meshes"},
	    {false, ID_WORLD_PLANE_TEXTURE, ScratchDir() + "/textures"},
	    {false, ID_SKYBOX_BROWSE, ScratchDir() + "/textures"},
	    {false, ID_WORLD_LOAD_Q3LEVEL, cwd},
	    {false, ID_WORLD_LOAD_TERRAIN, cwd},
	    {true, ID_MENU_OPEN_SCENE, cwd},
	    {false, ID_SAVE_OPTIONS_BROWSE, cwd}, // its default text means "here"
	};
	for (const auto& row : rows)
	{
		startsIn(row.menu, row.opener, row.folder);
		ASSERT_TRUE(clickDialogButton(L"Cancel"));
		EXPECT_EQ(cwd, WorkingDirectory());
	}
}

// An editor closed while its file dialog has browsed elsewhere leaves the
// process as it found it: a next editor starts as the first one did.
TEST_F(DialogTest, AnEditorClosedWithADialogOpenLeavesNothingBehind)
{
	const std::string cwd = WorkingDirectory();
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
	ASSERT_NE(nullptr, typeDialogFolder(ScratchDir()));
	ASSERT_EQ(ScratchDir(), WorkingDirectory()) << "browsing moves the working directory";
	delete editor;
	editor = nullptr;
	EXPECT_EQ(cwd, WorkingDirectory());
	EXPECT_EQ(LOAD_NONE, LOAD_TYPE);
	for (gui::IGUIWindow* window :
	     {CSceneEditor::ScenePropertiesWindow, CSceneEditor::WorldMainWindow,
	      CSceneEditor::AboutWindow, CSceneEditor::ModelPropertiesWindow,
	      CSceneEditor::SkyBoxWindow, CSceneEditor::WaterPropertiesWindow,
	      CSceneEditor::ParticleWindow})
		EXPECT_EQ(nullptr, window);
}

TEST_F(DialogTest, ChooseALevelTakesLettersTheWheelAndADoubleClick)
{
	std::vector<std::string> names = {"arena", "attic"};
	for (char c = 'a'; c <= 'z'; ++c)
		names.push_back(std::string(1, c) + "map");
	gui::IGUIListBox* list = chooser(names);
	ASSERT_NE(nullptr, list);
	typeText(L"at");
	EXPECT_STREQ(L"attic", list->getListItem(list->getSelected()));

	gui::IGUIScrollBar* bar =
	    static_cast<gui::IGUIScrollBar*>(FindElement(list, gui::EGUIET_SCROLL_BAR));
	ASSERT_NE(nullptr, bar);
	click(list);
	bar->setPos(0);
	postMouse(EMIE_MOUSE_WHEEL, 0, -1);
	EXPECT_EQ(3, list->getItemAt(list->getAbsolutePosition().UpperLeftCorner.X + 5,
	                             list->getAbsolutePosition().UpperLeftCorner.Y + 2))
	    << "one notch down, three rows";

	click(list);
	secondClick();
	EXPECT_FALSE(list->getParent()->isVisible()) << "a double click is Ok";
	EXPECT_EQ(L"Load Q3 Level Error!: Wrong file format or corrupted file.", answer());
}

TEST_F(DialogTest, SkyBoxFileButtonsFillTheFolderAndTheFace)
{
	const std::string face = CopyInto("sky", "irrlicht2_dn.jpg");
	clickButton(ID_SKYBOX_BROWSE + 2);
	ASSERT_NE(nullptr, openDialog());
	EXPECT_STREQ(L"Select a Texture", openDialog()->getText());
	ASSERT_TRUE(chooseFile(face));
	EXPECT_EQ(core::stringw((ScratchDir() + "/sky/").c_str()), editor->sbw_editboxDir->getText());
	EXPECT_STREQ(L"irrlicht2_dn.jpg", editor->sbw_editboxDown->getText());
	EXPECT_STREQ(L"", editor->sbw_editboxUp->getText());
}

TEST_F(DialogTest, ChooseALevelIsModalAndHasTheKeysHoweverTheArchiveWasChosen)
{
	std::vector<std::string> names;
	for (int i = 0; i < 50; ++i)
		names.push_back(std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i));
	gui::IGUIListBox* list = chooser(names);
	ASSERT_NE(nullptr, list);
	clickButton(ID_LEVEL_CHOOSER_CANCEL);
	const std::string archive = ScratchDir() + "/levels/levels.pk3";
	const struct
	{
		const char* way;
		std::function<void()> choose;
		const wchar_t *typed, *selected;
	} ways[] = {
	    {"path typed and Return", [&] { typeDialogFolder(archive); }, L"c", L"c2"},
	    {"OK in the dialog", [&] { chooseFile(archive); }, L"x", L"x23"},
	};
	for (const auto& way : ways)
	{
		SCOPED_TRACE(way.way);
		clickButton(ID_WORLD_LOAD_Q3LEVEL);
		way.choose();
		frame();
		EXPECT_EQ(L"0 message boxes", answer()) << "nothing is loaded before the choice";
		ASSERT_TRUE(list->getParent()->isVisible());
		EXPECT_TRUE(editor->_gui->hasFocus(list));
		typeText(way.typed);
		EXPECT_STREQ(way.selected, list->getListItem(list->getSelected()));

		click(FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_BUTTON, ID_WORLD_OK));
		EXPECT_TRUE(CSceneEditor::WorldMainWindow->isVisible())
		    << "the window behind is out of reach";
		pressKey(KEY_ESCAPE);
		EXPECT_FALSE(list->getParent()->isVisible());
	}
}

// "..." of "Save Options": OK takes the folder the dialog shows, a chosen file
// its folder; the export goes there.
TEST_F(DialogTest, SaveOptionsFolderButtonChoosesWhereTheExportGoes)
{
	const std::string cwd = WorkingDirectory();
	const std::string file = CopyInto("game", "wall.jpg");
	const std::string folder = file.substr(0, file.rfind('/') + 1);
	clickButton(ID_SAVE_OPTIONS_BROWSE);
	typeDialogFolder(folder);
	ASSERT_TRUE(clickDialogButton(L"OK"));
	EXPECT_EQ(nullptr, openDialog());
	EXPECT_EQ(core::stringw(folder.c_str()), editor->sow_editboxDir->getText());
	EXPECT_EQ(cwd, WorkingDirectory());
	clickButton(ID_SAVE_OPTIONS_OK);
	EXPECT_EQ(L"Saved!: Level data saved!", answer());
	EXPECT_FALSE(ReadFile(folder + "Level.h").empty());

	editor->sow_editboxDir->setText(L"elsewhere/");
	clickButton(ID_SAVE_OPTIONS_BROWSE);
	ASSERT_TRUE(chooseFile(file));
	EXPECT_EQ(core::stringw(folder.c_str()), editor->sow_editboxDir->getText());
}
