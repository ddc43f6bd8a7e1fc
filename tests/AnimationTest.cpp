// A model's animation: the mesh's own frames for a new model, a named MD2
// animation chosen in "View", "Properties", frames kept within the mesh's,
// undo, scene files and the files of an earlier version.
#include "EditorTestSupport.h"

#include "EditorIds.h"
#include "FileNames.h"

namespace
{
enum
{
	ANIMATION = 0,
	SPEED = 1,
	START = 2,
	END = 3,
	LOOPING = 4
};
// sydney.md2: 792 frames; the engine's "run" is 160 to 183 at 40 a second.
const std::vector<f32> SydneyOwn = {0, 25, 0, 791, 1};
const std::vector<f32> SydneyRuns = {2, 40, 160, 183, 1};

class AnimationTest : public EditorTest
{
protected:
	const std::vector<f32>& values(int slot) { return editor->Document.Object(slot)->Values; }

	scene::IAnimatedMeshSceneNode* node(int slot) { return editor->Model[slot]->AnimatedNode; }

	// "start..end at speed, looping or not", as the node plays it.
	std::string played(int slot)
	{
		char text[64];
		std::snprintf(text, sizeof text, "%d..%d at %.2f%s", node(slot)->getStartFrame(),
		              node(slot)->getEndFrame(), node(slot)->getAnimationSpeed(),
		              node(slot)->getLoopMode() ? " looping" : "");
		return text;
	}

	gui::IGUIElement* window()
	{
		return FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_WINDOW,
		                   ID_PROPERTIES_WINDOW);
	}
	gui::IGUIElement* valueControl(gui::EGUI_ELEMENT_TYPE type, u32 value)
	{
		return FindElement(window(), type, ID_PROPERTIES_VALUES + static_cast<s32>(value));
	}

	// Scrolls the window's rows until the control shows.
	void showRow(gui::IGUIElement* control)
	{
		gui::IGUIScrollBar* bar = editor->Properties.RowsBar;
		for (s32 row = 0; !control->isVisible() && row <= bar->getMax(); ++row)
		{
			bar->setPos(row);
			SEvent moved{};
			moved.EventType = EET_GUI_EVENT;
			moved.GUIEvent.EventType = gui::EGET_SCROLL_BAR_CHANGED;
			moved.GUIEvent.Caller = bar;
			bar->OnEvent(moved);
		}
	}

	// Opens the list and clicks its entry, as a user does.
	void chooseAnimation(s32 entry)
	{
		gui::IGUIElement* list = valueControl(gui::EGUIET_COMBO_BOX, ANIMATION);
		ASSERT_NE(nullptr, list);
		showRow(list);
		click(list);
		auto* entries = static_cast<gui::IGUIListBox*>(FindElement(list, gui::EGUIET_LIST_BOX));
		ASSERT_NE(nullptr, entries) << "the list opens";
		const core::rect<s32> area = entries->getAbsolutePosition();
		s32 y = area.UpperLeftCorner.Y;
		while (y < area.LowerRightCorner.Y && entries->getItemAt(area.getCenter().X, y) != entry)
			++y;
		clickAt(area.getCenter().X, y + 2);
		frame();
	}

	void typeValue(u32 value, const wchar_t* text)
	{
		gui::IGUIElement* box = valueControl(gui::EGUIET_EDIT_BOX, value);
		ASSERT_NE(nullptr, box);
		showRow(box);
		click(box);
		pressKey(KEY_END);
		for (int i = 0; i < 12; ++i)
			pressKey(KEY_BACK);
		typeText(text);
		pressKey(KEY_RETURN, L'\r');
		frame();
	}

	std::wstring undoName() { return editor->EditMenu->getItemText(0); }
};
} // namespace

TEST_F(AnimationTest, ANamedAnimationChosenInPropertiesPlaysAndIsUndoneSavedAndOpened)
{
	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	frame();
	EXPECT_EQ(SydneyOwn, values(1)) << "a new model plays all of its mesh";
	EXPECT_EQ("0..791 at 25.00 looping", played(1));
	ASSERT_TRUE(chooseMenu(ID_MENU_PROPERTIES));

	chooseAnimation(2);
	EXPECT_EQ(SydneyRuns, values(1));
	EXPECT_EQ("160..183 at 40.00 looping", played(1));
	EXPECT_EQ(L"Undo Set Animation", undoName());

	// Other frames typed while "run" is chosen are frames of their own; an
	// end past the mesh's last frame is its last.
	typeValue(START, L"170");
	EXPECT_EQ(std::vector<f32>({0, 40, 170, 183, 1}), values(1));
	typeValue(END, L"5000");
	EXPECT_EQ(std::vector<f32>({0, 40, 170, 791, 1}), values(1));
	EXPECT_EQ("170..791 at 40.00 looping", played(1));
	EXPECT_EQ(L"Undo Set End frame", undoName()) << "the kept frame is the same step";
	click(valueControl(gui::EGUIET_CHECK_BOX, LOOPING));
	frame();
	EXPECT_EQ("170..791 at 40.00", played(1));

	for (int step = 0; step < 3; ++step)
		ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(SydneyRuns, values(1));
	EXPECT_EQ("160..183 at 40.00 looping", played(1));
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(SydneyOwn, values(1));
	EXPECT_EQ("0..791 at 25.00 looping", played(1));
	ASSERT_TRUE(editor->Redo());
	EXPECT_EQ("160..183 at 40.00 looping", played(1));

	// The engine's loadScene drops the frames it writes; the editor keeps
	// them beside the node and plays them again.
	const std::string file = ScratchDir() + "/runs.irr";
	ASSERT_TRUE(editor->SaveScene(file.c_str()));
	editor->ClearScene();
	ASSERT_TRUE(editor->OpenScene(file.c_str()));
	ASSERT_TRUE(editor->Model[1] && node(1));
	EXPECT_EQ(SydneyRuns, values(1));
	EXPECT_EQ("160..183 at 40.00 looping", played(1));
	EXPECT_FALSE(editor->Document.Unsaved());
	scene::ISceneManager* bare = editor->_smgr->createNewSceneManager(false);
	ASSERT_TRUE(bare->loadScene(file.c_str()));
	auto* game = static_cast<scene::IAnimatedMeshSceneNode*>(
	    bare->getSceneNodeFromType(scene::ESNT_ANIMATED_MESH));
	ASSERT_NE(nullptr, game);
	EXPECT_NEAR(40.0f, game->getAnimationSpeed(), 0.01f) << "a game's loadScene gets the speed";
	bare->drop();
}

TEST_F(AnimationTest, AModelOfAnEarlierVersionPlaysItsMeshAndExportsAsBefore)
{
	const std::string dir = ScratchDir() + "/earlier";
	std::system(("mkdir -p '" + dir + "' && cp samples/crate.* samples/ground.bmp " +
	             "samples/valley.png tests/fixtures/old-scene.irr '" + dir + "/'")
	                .c_str());
	ASSERT_TRUE(editor->OpenScene((dir + "/old-scene.irr").c_str()));
	ASSERT_TRUE(editor->Model[1] && node(1));
	EXPECT_EQ(std::vector<f32>({0, 25, 0, 0, 1}), values(1)) << "the crate's one frame";
	EXPECT_FALSE(editor->Document.Unsaved());

	// Its export has no animation lines; a model of another mesh refuses a
	// named animation.
	editor->sow_editboxDir->setText(FileNameToWide(dir + "/").c_str());
	ASSERT_TRUE(editor->SaveLevel());
	EXPECT_EQ(std::string::npos, ReadFile(dir + "/Level.cpp").find("setFrameLoop"));
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(editor->EditSelected([](SModelState& r) { r.Values[ANIMATION] = 2; }));
	frame();
	EXPECT_EQ(0, values(1)[ANIMATION]);
}
