// Selecting many objects: Control+click in the view and in "Scene Objects",
// Shift+click for a range, and the handles, "Transform", Delete, Control+D
// and "Properties" acting on every selected object as one step.
#include "EditorTestSupport.h"

#include "EditorIds.h"

class MultiSelectTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		editor->Positioner->setPosition(core::vector3df(0, 0, 400));
		for (f32 x : {-30.0f, 0.0f, 30.0f})
		{
			ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
			ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(x, 0, 0),
			                                         core::vector3df(0, 0, 0),
			                                         core::vector3df(0.5f, 0.5f, 0.5f)));
		}
		editor->Select(0);
		frame();
	}

	core::vector3df world(int slot)
	{
		scene::ISceneNode* node = editor->Model[slot]->AnimatedNode;
		if (scene::ISceneNode* parent = node->getParent())
			parent->updateAbsolutePosition();
		node->updateAbsolutePosition();
		return node->getAbsolutePosition();
	}
	core::position2d<s32> onScreen(const core::vector3df& point)
	{
		return editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
		    point, editor->Camera);
	}
	// A left press and release, with Control or Shift held, the camera frozen.
	void clickWith(const core::position2d<s32>& at, bool control, bool shift = false)
	{
		editor->CameraMode = false;
		editor->_device->getCursorControl()->setPosition(at);
		for (EMOUSE_INPUT_EVENT what : {EMIE_LMOUSE_PRESSED_DOWN, EMIE_LMOUSE_LEFT_UP})
		{
			SEvent event;
			event.EventType = EET_MOUSE_INPUT_EVENT;
			event.MouseInput.Event = what;
			event.MouseInput.X = at.X;
			event.MouseInput.Y = at.Y;
			event.MouseInput.Wheel = 0;
			event.MouseInput.ButtonStates = what == EMIE_LMOUSE_PRESSED_DOWN ? EMBSM_LEFT : 0;
			event.MouseInput.Shift = shift;
			event.MouseInput.Control = control;
			editor->_device->postEventFromUser(event);
		}
		frame();
	}
	// The middle of a line of "Scene Objects", opened.
	core::position2d<s32> lineAt(s32 line)
	{
		gui::IGUIListBox* list = editor->ObjectList.List;
		const core::rect<s32> area = list->getAbsolutePosition();
		const s32 x = area.UpperLeftCorner.X + 60;
		for (s32 y = area.UpperLeftCorner.Y; y < area.LowerRightCorner.Y; ++y)
			if (list->getItemAt(x, y) == line && list->getItemAt(x, y + 3) == line)
				return core::position2d<s32>(x, y + 3);
		ADD_FAILURE() << "no line " << line;
		return core::position2d<s32>();
	}
	void selectAll()
	{
		editor->Select(editor->Model[1]);
		editor->AddToSelection(2);
		editor->AddToSelection(3);
	}
	std::vector<int> selected() { return editor->SelectedSlots(); }
	int objects()
	{
		int count = 0;
		for (int slot = 1; slot < CSceneEditor::MODEL_SLOTS; ++slot)
			count += editor->Document.Object(slot) != nullptr;
		return count;
	}
};

TEST_F(MultiSelectTest, ControlClickAddsAndTakesOutShiftClickTakesARange)
{
	// In the view.
	clickWith(onScreen(world(1)), false);
	clickWith(onScreen(world(3)), true);
	EXPECT_EQ((std::vector<int>{1, 3}), selected());
	EXPECT_EQ(editor->Model[3], editor->SelectedModel) << "the last clicked is current";
	clickWith(onScreen(world(1)), true);
	EXPECT_EQ((std::vector<int>{3}), selected()) << "a second Control+click takes it out";
	clickWith(onScreen(world(2)), false);
	EXPECT_EQ((std::vector<int>{2}), selected()) << "a plain click selects one";
	clickWith(onScreen(world(1)), true);
	clickWith(onScreen(world(1)), false);
	EXPECT_EQ((std::vector<int>{1}), selected()) << "the current one too";

	// In the list: the marks follow the selection.
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS));
	frame();
	gui::IGUIListBox* list = editor->ObjectList.List;
	clickWith(lineAt(0), false);
	clickWith(lineAt(2), true);
	EXPECT_EQ((std::vector<int>{1, 3}), selected());
	EXPECT_EQ(L'*', list->getListItem(0)[0]);
	EXPECT_NE(L'*', list->getListItem(1)[0]);
	EXPECT_EQ(L'*', list->getListItem(2)[0]);
	clickWith(lineAt(1), false, true);
	EXPECT_EQ((std::vector<int>{2, 3}), selected()) << "from the current line to the clicked";
	EXPECT_EQ(editor->Model[2], editor->SelectedModel);
	clickWith(lineAt(2), true);
	EXPECT_EQ((std::vector<int>{2}), selected());
	EXPECT_STREQ(L"2  model  crate.obj 2", list->getListItem(1)) << "one selected: no marks";
	clickWith(lineAt(0), true);
	clickWith(lineAt(0), false);
	EXPECT_EQ((std::vector<int>{1}), selected()) << "a plain click on the current line";

	// Undo that removes a selected object drops it from the selection.
	selectAll();
	ASSERT_TRUE(editor->Undo()); // the last crate's placement
	ASSERT_TRUE(editor->Undo()); // the last crate
	frame();
	EXPECT_EQ((std::vector<int>{1, 2}), selected());
}

TEST_F(MultiSelectTest, HandlesAndTransformMoveTheSelectionOnceEachInOneStep)
{
	ASSERT_TRUE(editor->SetParent(2, 1));
	selectAll();
	pressKey(KEY_KEY_C, L'c');
	frame();
	ASSERT_TRUE(editor->Handles.Shown());
	const core::vector3df centre = editor->SelectionCentre();
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), centre, 1e-3f);
	const core::vector3df before[] = {world(1), world(2), world(3)};

	// The Z handle, dragged in steps with frames between.
	const core::vector3df z(0, 0, 1);
	const f32 along = editor->Handles.HandleLength() * 0.6f;
	const core::position2d<s32> from = onScreen(centre + z * along),
	                            to = onScreen(centre + z * (along + 20));
	mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, from.X, from.Y, EMBSM_LEFT);
	for (int step = 1; step <= 4; ++step)
	{
		const core::position2d<s32> at = from + (to - from) * step / 4;
		mouseEvent(EMIE_MOUSE_MOVED, at.X, at.Y, EMBSM_LEFT);
		frame();
	}
	mouseEvent(EMIE_LMOUSE_LEFT_UP, to.X, to.Y, 0);
	frame();
	const f32 moved = world(1).Z - before[0].Z;
	EXPECT_NEAR(20.0f, moved, 1.0f);
	for (int i = 0; i < 3; ++i)
		EXPECT_VEC_NEAR(before[i] + z * moved, world(i + 1), 1e-3f)
		    << "crate " << i + 1 << " moved by the same delta, the child once";
	ASSERT_TRUE(editor->Undo());
	for (int i = 0; i < 3; ++i)
		EXPECT_VEC_NEAR(before[i], world(i + 1), 1e-3f) << "the drag was one step";

	// "Transform": the current object's X typed 10 higher moves all by 10.
	ASSERT_TRUE(chooseMenu(ID_MENU_TRANSFORM));
	frame();
	gui::IGUIEditBox* x = static_cast<gui::IGUIEditBox*>(
	    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX, 701));
	click(x);
	postKey(KEY_KEY_A, true, L'a', true);
	postKey(KEY_KEY_A, false, L'a', true);
	typeText(L"40");
	pressKey(KEY_RETURN);
	frame();
	for (int i = 0; i < 3; ++i)
		EXPECT_VEC_NEAR(before[i] + core::vector3df(10, 0, 0), world(i + 1), 1e-3f)
		    << "crate " << i + 1;
	ASSERT_TRUE(editor->Undo());
	for (int i = 0; i < 3; ++i)
		EXPECT_VEC_NEAR(before[i], world(i + 1), 1e-3f) << "the typed change was one step";

	// A turn of the whole selection about its centre.
	ASSERT_TRUE(editor->SetSelectedTransform(editor->SelectedModel->getPosition(),
	                                         core::vector3df(0, 90, 0),
	                                         editor->SelectedModel->getScale()));
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 30), world(1), 1e-3f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), world(2), 1e-3f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, -30), world(3), 1e-3f);
}

TEST_F(MultiSelectTest, DeleteAndDuplicateActOnTheWholeSelectionAsOneStep)
{
	editor->Select(editor->Model[1]);
	editor->AddToSelection(3);
	postKey(KEY_KEY_D, true, L'd', true);
	postKey(KEY_KEY_D, false, L'd', true);
	ASSERT_EQ(5, objects());
	EXPECT_EQ((std::vector<int>{4, 5}), selected()) << "the copies are selected";
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(3, objects()) << "the copies were one step";

	editor->Select(editor->Model[1]);
	editor->AddToSelection(3);
	pressKey(KEY_DELETE);
	EXPECT_EQ(1, objects());
	EXPECT_TRUE(selected().empty());
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(3, objects()) << "the delete was one step";
	EXPECT_TRUE(editor->DocumentShowsScene());
}

TEST_F(MultiSelectTest, PropertiesShowWhatTwoCratesShareAndEditBothInOneStep)
{
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(editor->EditSelected([](SModelState& record) { record.Material = 2; }));
	editor->AddToSelection(2);
	ASSERT_TRUE(chooseMenu(ID_MENU_PROPERTIES));
	frame();
	EXPECT_STREQ(L"2 objects selected", editor->Properties.Caption->getText());
	gui::IGUIElement* root = editor->_gui->getRootGUIElement();
	auto* material = static_cast<gui::IGUIComboBox*>(FindElement(root, gui::EGUIET_COMBO_BOX, 732));
	ASSERT_NE(nullptr, material);
	EXPECT_EQ(-1, material->getSelected()) << "a material they differ in shows empty";

	auto* fog = static_cast<gui::IGUICheckBox*>(FindElement(root, gui::EGUIET_CHECK_BOX, 734));
	ASSERT_NE(nullptr, fog);
	click(fog);
	frame();
	EXPECT_TRUE(editor->Document.Object(1)->Fog);
	EXPECT_TRUE(editor->Document.Object(2)->Fog);
	EXPECT_FALSE(editor->Document.Object(3)->Fog) << "an object not selected keeps its own";
	EXPECT_TRUE(fog->isChecked());
	ASSERT_TRUE(editor->Undo());
	EXPECT_FALSE(editor->Document.Object(1)->Fog);
	EXPECT_FALSE(editor->Document.Object(2)->Fog) << "the edit of both was one step";
	EXPECT_EQ(2, editor->Document.Object(1)->Material);
}

TEST_F(MultiSelectTest, HideGroupAndDropActOnEverySelectedObjectAsOneStepEach)
{
	const auto record = [&](int slot) { return *editor->Document.Object(slot); };
	// H: one selected object shown hides all; all hidden, H shows all.
	editor->Select(editor->Model[2]);
	pressKey(KEY_KEY_H, L'h');
	selectAll();
	pressKey(KEY_KEY_C, L'c'); // the handles are shown out of camera mode
	pressKey(KEY_KEY_H, L'h');
	for (int slot : {1, 2, 3})
		EXPECT_FALSE(record(slot).Visible) << slot;
	EXPECT_FALSE(editor->Handles.Shown()) << "hidden objects are not dragged unseen";
	pressKey(KEY_KEY_H, L'h');
	EXPECT_TRUE(editor->Handles.Shown());
	pressKey(KEY_KEY_C, L'c');
	for (int slot : {1, 2, 3})
		EXPECT_TRUE(record(slot).Visible) << slot;
	ASSERT_TRUE(editor->Undo());
	ASSERT_TRUE(editor->Undo());
	EXPECT_TRUE(record(1).Visible) << "hiding all was one step";
	EXPECT_FALSE(record(2).Visible);
	ASSERT_TRUE(editor->Undo());
	EXPECT_TRUE(record(2).Visible);

	// Group: the selection's roots under one empty at its middle, the child
	// of a selected object staying with it.
	ASSERT_TRUE(editor->SetParent(2, 1));
	ASSERT_TRUE(editor->SetTransformOf(editor->Model[3], core::vector3df(30, 60, 0),
	                                   core::vector3df(0, 45, 0), core::vector3df(1, 1, 1)));
	const core::vector3df before[] = {world(1), world(2), world(3)};
	selectAll();
	ASSERT_TRUE(chooseMenu(ID_MENU_GROUP));
	const int group = editor->SlotOf(editor->SelectedModel);
	ASSERT_EQ(4, group);
	EXPECT_EQ((std::vector<int>{4}), selected()) << "the empty is selected";
	EXPECT_EQ(CModel::TYPE_GROUP, record(group).Type);
	EXPECT_VEC_NEAR(core::vector3df(0, 20, 0), record(group).Position, 1e-3f);
	EXPECT_EQ(group, record(1).Parent);
	EXPECT_EQ(1, record(2).Parent);
	EXPECT_EQ(group, record(3).Parent);
	for (int i = 0; i < 3; ++i)
		EXPECT_VEC_NEAR(before[i], world(i + 1), 1e-3f) << "crate " << i + 1 << " stays";
	EXPECT_EQ(L"Undo Group", std::wstring(editor->EditMenu->getItemText(0)));
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(3, objects()) << "the group was one step";
	EXPECT_EQ(-1, record(3).Parent);

	// End: each root (with its child) falls onto the plane by itself.
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	ASSERT_TRUE(editor->SetTransformOf(editor->Model[1], core::vector3df(-30, 40, 0),
	                                   core::vector3df(), core::vector3df(0.5f, 0.5f, 0.5f)));
	editor->Select(editor->Model[1]);
	editor->AddToSelection(3);
	pressKey(KEY_END);
	EXPECT_NEAR(5.0f, world(1).Y, 0.02f);
	EXPECT_NEAR(5.0f, world(2).Y, 0.02f) << "the child falls with its parent";
	EXPECT_NEAR(10.0f, world(3).Y, 0.02f) << "each falls its own way";
	ASSERT_TRUE(editor->Undo());
	EXPECT_NEAR(40.0f, world(1).Y, 0.02f) << "the drop was one step";
	EXPECT_NEAR(60.0f, world(3).Y, 0.02f);
}

TEST_F(MultiSelectTest, PropertiesParentAndTextureReachTheSelectionAsOneStep)
{
	const auto record = [&](int slot) { return *editor->Document.Object(slot); };
	ASSERT_TRUE(editor->SetParent(2, 1));
	editor->Positioner->setPosition(core::vector3df(0, 0, 0));
	ASSERT_TRUE(editor->AddAtMarker(CModel::TYPE_LIGHT));
	ASSERT_TRUE(chooseMenu(ID_MENU_PROPERTIES));
	frame();
	gui::IGUIElement* root = editor->_gui->getRootGUIElement();
	const auto parentList = [&]
	{ return static_cast<gui::IGUIComboBox*>(FindElement(root, gui::EGUIET_COMBO_BOX, 789)); };
	const auto entries = [&]
	{
		std::vector<std::wstring> all;
		for (u32 i = 0; i < parentList()->getItemCount(); ++i)
			all.push_back(parentList()->getItem(i));
		return all;
	};
	// Picks a list's entry with the mouse: open it, click the line.
	const auto choose = [&](const wchar_t* entry)
	{
		click(parentList());
		auto* lines =
		    static_cast<gui::IGUIListBox*>(FindElement(parentList(), gui::EGUIET_LIST_BOX));
		ASSERT_NE(nullptr, lines);
		const core::rect<s32> area = lines->getAbsolutePosition();
		for (s32 y = area.UpperLeftCorner.Y; y < area.LowerRightCorner.Y; ++y)
		{
			const s32 line = lines->getItemAt(area.UpperLeftCorner.X + 10, y);
			if (line >= 0 && std::wstring(lines->getListItem(static_cast<u32>(line))) == entry)
			{
				clickAt(area.UpperLeftCorner.X + 10, y + 3);
				frame();
				return;
			}
		}
		ADD_FAILURE() << "no line for the entry";
	};

	// A crate and a light: no surface in common, the parent still shared.
	editor->Select(editor->Model[3]);
	editor->AddToSelection(4);
	frame();
	EXPECT_EQ(nullptr, FindElement(root, gui::EGUIET_COMBO_BOX, ID_PROPERTIES_MATERIAL));
	ASSERT_NE(nullptr, parentList());
	EXPECT_EQ(0, parentList()->getSelected()) << "both hang from nothing";

	// One crate: none of what hangs below it is offered.
	editor->Select(editor->Model[1]);
	frame();
	EXPECT_EQ((std::vector<std::wstring>{L"(none)", L"3  crate.obj 3", L"4  light"}), entries());
	EXPECT_EQ(0, parentList()->getSelected());

	// All four: every root under the chosen one, but for the one that would
	// then hang below itself.
	editor->Select(editor->Model[4]);
	editor->AddToSelection(1);
	editor->AddToSelection(2);
	editor->AddToSelection(3);
	frame();
	EXPECT_EQ(-1, parentList()->getSelected()) << "their parents differ";
	const core::vector3df before = world(3);
	choose(L"2  crate.obj 2");
	EXPECT_EQ(-1, record(1).Parent) << "crate 1 holds crate 2";
	EXPECT_EQ(1, record(2).Parent);
	EXPECT_EQ(2, record(3).Parent);
	EXPECT_EQ(2, record(4).Parent);
	EXPECT_VEC_NEAR(before, world(3), 1e-3f);
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(-1, record(3).Parent);
	EXPECT_EQ(-1, record(4).Parent) << "the parent of all was one step";

	// A texture through "...": every selected crate takes it, in one step.
	editor->Select(editor->Model[1]);
	editor->AddToSelection(3);
	frame();
	const std::string texture = FixtureCopy("wall.jpg");
	clickButton(ID_PROPERTIES_TEXTURE_FIRST);
	ASSERT_TRUE(chooseFile(texture));
	frame();
	const auto textured = [&](int slot)
	{
		const TextureNames& names = record(slot).Textures[0];
		return !names.empty() && names[0].find("wall.jpg") != std::string::npos;
	};
	EXPECT_TRUE(textured(1));
	EXPECT_TRUE(textured(3));
	EXPECT_FALSE(textured(2));
	ASSERT_TRUE(editor->Undo());
	EXPECT_FALSE(textured(1)) << "the texture of both was one step";
	EXPECT_FALSE(textured(3));
}
