// The editor driven as a user drives it: menu commands and buttons through
// mouse clicks, files through the real file-open dialog, keys through the
// key table.
#include "EditorTestSupport.h"

#include <functional>
#include <unistd.h>

#include "EditorIds.h"

class DispatchTest : public EditorTest
{
};

TEST_F(DispatchTest, MenuItemsShowTheirWindows)
{
	struct Row
	{
		s32 command;
		gui::IGUIWindow* window;
	};
	const Row rows[] = {
	    {ID_MENU_FILE_PROPERTIES, CSceneEditor::ScenePropertiesWindow},
	    {ID_MENU_SAVE_CPP, editor->SaveOptionsWindow},
	    {ID_MENU_WORLD_PROPERTIES, CSceneEditor::WorldMainWindow},
	    {ID_MENU_SKYBOX_SETUP, CSceneEditor::SkyBoxWindow},
	    {ID_MENU_ABOUT, CSceneEditor::AboutWindow},
	    {ID_MENU_PARTICLE_EDITOR, CSceneEditor::ParticleWindow},
	};
	for (const Row& row : rows)
	{
		EXPECT_FALSE(row.window->isVisible()) << row.command;
		ASSERT_TRUE(chooseMenu(row.command)) << row.command;
		EXPECT_TRUE(row.window->isVisible()) << row.command;
		row.window->setVisible(false);
	}
}

TEST_F(DispatchTest, OwnButtonsHideTheirWindows)
{
	struct Row
	{
		s32 button;
		gui::IGUIWindow* window;
	};
	const Row rows[] = {
	    {ID_EDITOR_PROPERTIES_OK, CSceneEditor::ScenePropertiesWindow},
	    {ID_WORLD_OK, CSceneEditor::WorldMainWindow},
	    {ID_SKYBOX_OK, CSceneEditor::SkyBoxWindow},
	    {ID_MODEL_OK, CSceneEditor::ModelPropertiesWindow},
	    {ID_WATER_OK, CSceneEditor::WaterPropertiesWindow},
	    {ID_ABOUT_CLOSE, CSceneEditor::AboutWindow},
	    {ID_PARTICLE_CLOSE, CSceneEditor::ParticleWindow},
	};
	for (const Row& row : rows)
	{
		clickButton(row.button);
		EXPECT_FALSE(row.window->isVisible()) << row.button;
	}
	EXPECT_TRUE(messages().empty());
}

TEST_F(DispatchTest, SceneInfoTogglesTheInformationWindow)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_INFO));
	EXPECT_FALSE(editor->EditorInfoWindow->isVisible());
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_INFO));
	EXPECT_TRUE(editor->EditorInfoWindow->isVisible());
}

TEST_F(DispatchTest, ObjectPropertiesShowsTheWindowOfTheSelectedKind)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	EXPECT_FALSE(CSceneEditor::ModelPropertiesWindow->isVisible()) << "nothing selected";
	EXPECT_FALSE(CSceneEditor::WaterPropertiesWindow->isVisible());

	ASSERT_TRUE(editor->CreateNewWater());
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	EXPECT_TRUE(CSceneEditor::WaterPropertiesWindow->isVisible());

	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	EXPECT_TRUE(CSceneEditor::ModelPropertiesWindow->isVisible());
	EXPECT_FALSE(CSceneEditor::WaterPropertiesWindow->isVisible()) << "the other one closes";
}

TEST_F(DispatchTest, DeleteButtonsAndRemoveReportWhatIsMissing)
{
	struct Row
	{
		bool menu;
		s32 id;
		const wchar_t* caption;
		const wchar_t* text;
	};
	const Row rows[] = {
	    {true, ID_MENU_REMOVE, L"Delete Error!", L"No model in selection."},
	    {false, ID_WORLD_DELETE_PLANE, L"Delete Error", L"No plane in level. "},
	    {false, ID_WORLD_DELETE_Q3LEVEL, L"Delete Error", L"No Q3 Level in scene. "},
	    {false, ID_WORLD_DELETE_TERRAIN, L"Delete Error", L"No terrain in level. "},
	};
	for (const Row& row : rows)
	{
		SCOPED_TRACE(row.id);
		if (row.menu)
			ASSERT_TRUE(chooseMenu(row.id));
		else
			clickButton(row.id);
		EXPECT_EQ(std::wstring(row.caption) + L": " + row.text, answer());
	}
}

TEST_F(DispatchTest, QuitClosesTheDevice)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_QUIT));
	EXPECT_FALSE(editor->Update());
}

TEST_F(DispatchTest, ClearEmptiesTheScene)
{
	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR));
	EXPECT_EQ(0, editor->current_model);
	EXPECT_EQ(nullptr, editor->SelectedModel);
	EXPECT_EQ(nullptr, editor->Model[1]->AnimatedNode);
}

TEST_F(DispatchTest, ElementsWithoutAReactionAreNotHandled)
{
	SEvent event;
	event.EventType = EET_GUI_EVENT;
	event.GUIEvent.EventType = gui::EGET_BUTTON_CLICKED;
	event.GUIEvent.Element = 0;
	gui::IGUIElement* const callers[] = {
	    editor->mpw_wirebox, editor->EditorInfoWindow,
	    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_MENU)};
	for (gui::IGUIElement* caller : callers)
	{
		event.GUIEvent.Caller = caller;
		EXPECT_FALSE(editor->event_rec->OnEvent(event)) << caller->getID();
	}
	event.GUIEvent.EventType = gui::EGET_SCROLL_BAR_CHANGED;
	event.GUIEvent.Caller = editor->sbw_red;
	EXPECT_FALSE(editor->event_rec->OnEvent(event));

	event.GUIEvent.EventType = gui::EGET_FILE_SELECTED;
	event.GUIEvent.Caller = editor->_gui->addFileOpenDialog(L"stray");
	EXPECT_FALSE(editor->event_rec->OnEvent(event)) << "no dialog was opened by the editor";

	SEvent log;
	log.EventType = EET_LOG_TEXT_EVENT;
	log.LogEvent.Text = "text";
	log.LogEvent.Level = ELL_INFORMATION;
	EXPECT_FALSE(editor->event_rec->OnEvent(log));
}
