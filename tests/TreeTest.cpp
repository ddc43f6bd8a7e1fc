// The tree of objects: children follow their parents through the engine,
// grouping and reparenting keep places in the world, a subtree is deleted
// and duplicated as one step, scene files nest children as the engine does
// and refuse a broken tree, and every object gets a name of its own.
#include "EditorTestSupport.h"

#include <cstdlib>

#include "EditorIds.h"

namespace
{
const std::string Crate = TOLVANE_SOURCE_DIR "/samples/crate.obj";

core::vector3df WorldPosition(CModel* object)
{
	scene::ISceneNode* node = object->AnimatedNode ? object->AnimatedNode : object->Node;
	// Parents first: each node's absolute place is its parent's times its own.
	std::vector<scene::ISceneNode*> chain;
	for (scene::ISceneNode* n = node; n; n = n->getParent())
		chain.insert(chain.begin(), n);
	for (scene::ISceneNode* n : chain)
		n->updateAbsolutePosition();
	return node->getAbsolutePosition();
}
} // namespace

class TreeTest : public EditorTest
{
protected:
	// A crate at a place, turned and scaled, selected; its slot.
	int addCrate(const core::vector3df& at, f32 turn = 0, f32 size = 1)
	{
		EXPECT_TRUE(editor->CreateNewModel(Crate.c_str()));
		editor->SetSelectedTransform(at, core::vector3df(0, turn, 0),
		                             core::vector3df(size, size, size));
		return editor->SlotOf(editor->SelectedModel);
	}
	const SModelState& record(int slot) { return *editor->Document.Object(slot); }
	int objects()
	{
		int count = 0;
		for (int slot = 0; slot < CSceneEditor::MODEL_SLOTS; ++slot)
			count += editor->Document.Object(slot) != nullptr;
		return count;
	}
	// Parent 1 (turned, scaled 2), child 2 under it, grandchild 3 under that.
	void buildThreeLevels()
	{
		addCrate(core::vector3df(10, 0, 0), 90, 2);
		addCrate(core::vector3df(10, 0, 20));
		addCrate(core::vector3df(10, 5, 20));
		ASSERT_TRUE(editor->SetParent(2, 1));
		ASSERT_TRUE(editor->SetParent(3, 2));
	}
};

TEST_F(TreeTest, AChildFollowsItsParentAndReparentingKeepsItsPlace)
{
	const int parent = addCrate(core::vector3df(10, 0, 0), 90, 2);
	const int child = addCrate(core::vector3df(10, 0, 20));
	ASSERT_TRUE(editor->SetParent(child, parent));
	EXPECT_EQ(parent, record(child).Parent);
	EXPECT_VEC_NEAR(core::vector3df(10, 0, 20), WorldPosition(editor->Model[child]), 1e-3f);
	// Relative to a parent turned a quarter and twice the size.
	EXPECT_VEC_NEAR(core::vector3df(-10, 0, 0), record(child).Position, 1e-3f);
	EXPECT_VEC_NEAR(core::vector3df(0.5f, 0.5f, 0.5f), record(child).Scale, 1e-4f);
	EXPECT_FALSE(editor->SetParent(parent, child)) << "no object hangs from its own child";

	// Moving, turning and hiding the parent acts on the child.
	editor->Select(editor->Model[parent]);
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(0, 0, 0), core::vector3df(0, 0, 0),
	                                         core::vector3df(1, 1, 1)));
	EXPECT_VEC_NEAR(core::vector3df(-10, 0, 0), WorldPosition(editor->Model[child]), 1e-3f);
	pressKey(KEY_KEY_H);
	EXPECT_FALSE(editor->Model[child]->AnimatedNode->isTrulyVisible());

	ASSERT_TRUE(editor->Undo()); // shown again
	ASSERT_TRUE(editor->Undo()); // back in place
	ASSERT_TRUE(editor->Undo()); // hanging from nothing again
	EXPECT_EQ(-1, record(child).Parent);
	EXPECT_EQ(editor->_smgr->getRootSceneNode(), editor->Model[child]->AnimatedNode->getParent());
	EXPECT_VEC_NEAR(core::vector3df(10, 0, 20), WorldPosition(editor->Model[child]), 1e-3f);
	EXPECT_TRUE(editor->DocumentShowsScene());
}

TEST_F(TreeTest, GroupAndUngroupKeepWorldPlacesEachAsOneStep)
{
	const int crate = addCrate(core::vector3df(30, 2, -8), 45, 3);
	ASSERT_TRUE(chooseMenu(ID_MENU_GROUP));
	const int group = editor->SlotOf(editor->SelectedModel);
	ASSERT_NE(crate, group);
	EXPECT_EQ(CModel::TYPE_GROUP, record(group).Type);
	EXPECT_EQ(L"group", std::wstring(record(group).Name.c_str()));
	EXPECT_EQ(group, record(crate).Parent);
	EXPECT_VEC_NEAR(core::vector3df(30, 2, -8), WorldPosition(editor->Model[group]), 1e-3f);
	EXPECT_VEC_NEAR(core::vector3df(30, 2, -8), WorldPosition(editor->Model[crate]), 1e-3f);
	EXPECT_EQ(L"Undo Group", std::wstring(editor->EditMenu->getItemText(0)));

	// The group turned and moved takes the crate along; ungrouping keeps
	// where the crate is then, turn and size included.
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(0, 0, 0), core::vector3df(0, 90, 0),
	                                         core::vector3df(2, 2, 2)));
	const core::vector3df moved = WorldPosition(editor->Model[crate]);
	ASSERT_TRUE(chooseMenu(ID_MENU_UNGROUP));
	EXPECT_EQ(nullptr, editor->Document.Object(group)) << "the empty goes";
	EXPECT_EQ(-1, record(crate).Parent);
	EXPECT_EQ(editor->Model[crate], editor->SelectedModel);
	EXPECT_VEC_NEAR(moved, record(crate).Position, 1e-3f);
	EXPECT_VEC_NEAR(core::vector3df(0, 135, 0), record(crate).Rotation, 1e-3f);
	EXPECT_VEC_NEAR(core::vector3df(6, 6, 6), record(crate).Scale, 1e-3f);

	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(group, record(crate).Parent) << "ungroup was one step";
	ASSERT_TRUE(editor->Undo());
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(1, objects()) << "group was one step";
	EXPECT_EQ(-1, record(crate).Parent);
}

TEST_F(TreeTest, DeleteAndDuplicateActOnASubtreeAsOneStep)
{
	buildThreeLevels();
	editor->Select(editor->Model[1]);
	postKey(KEY_KEY_D, true, L'd', true);
	postKey(KEY_KEY_D, false, L'd', true);
	ASSERT_EQ(6, objects());
	EXPECT_EQ(editor->Model[4], editor->SelectedModel);
	EXPECT_EQ(-1, record(4).Parent);
	EXPECT_EQ(4, record(5).Parent);
	EXPECT_EQ(5, record(6).Parent);
	EXPECT_EQ(L"crate.obj 4", std::wstring(record(4).Name.c_str()));
	EXPECT_VEC_NEAR(record(3).Position, record(6).Position, 1e-4f) << "the copy's own place";
	EXPECT_EQ(editor->Model[5]->AnimatedNode, editor->Model[6]->AnimatedNode->getParent());
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(3, objects()) << "the duplicate was one step";

	editor->Select(editor->Model[2]);
	pressKey(KEY_DELETE);
	EXPECT_EQ(1, objects()) << "the child went with its own child";
	ASSERT_TRUE(editor->Undo());
	ASSERT_EQ(3, objects()) << "the delete was one step";
	EXPECT_EQ(editor->Model[2]->AnimatedNode, editor->Model[3]->AnimatedNode->getParent());
	EXPECT_VEC_NEAR(core::vector3df(10, 5, 20), WorldPosition(editor->Model[3]), 1e-3f);
	EXPECT_TRUE(editor->DocumentShowsScene());
}

TEST_F(TreeTest, AThreeLevelTreeIsNestedInTheSceneFileAndOpensWhole)
{
	buildThreeLevels();
	ASSERT_TRUE(editor->RenameObject(3, L"top cr\u00e4te"));
	const std::string file = ScratchDir() + "/tree.irr";
	ASSERT_TRUE(editor->SaveScene(file.c_str()));
	// The recovery file keeps the tree and the names too.
	ASSERT_TRUE(editor->WriteRecovery());
	SRecoveredScene recovered;
	ASSERT_TRUE(CRecovery::Read(editor->RecoveryFile(), recovered));
	ASSERT_TRUE(recovered.State.Models[3]);
	EXPECT_EQ(2, recovered.State.Models[3]->Parent);
	EXPECT_EQ(L"top cr\u00e4te", std::wstring(recovered.State.Models[3]->Name.c_str()));

	// A bare engine finds the tree by the nodes' names.
	scene::ISceneManager* bare = editor->_smgr->createNewSceneManager(false);
	ASSERT_TRUE(bare->loadScene(file.c_str()));
	scene::ISceneNode* leaf = bare->getSceneNodeFromName("top cr\xc3\xa4te");
	ASSERT_NE(nullptr, leaf);
	ASSERT_NE(nullptr, leaf->getParent());
	EXPECT_STREQ("crate.obj 2", leaf->getParent()->getName());
	EXPECT_STREQ("crate.obj", leaf->getParent()->getParent()->getName());
	bare->drop();

	ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR));
	dismissMessages();
	ASSERT_TRUE(editor->OpenScene(file.c_str()));
	dismissMessages();
	ASSERT_EQ(3, objects());
	EXPECT_EQ(1, record(2).Parent);
	EXPECT_EQ(2, record(3).Parent);
	EXPECT_EQ(L"top cr\u00e4te", std::wstring(record(3).Name.c_str()));
	EXPECT_VEC_NEAR(core::vector3df(10, 5, 20), WorldPosition(editor->Model[3]), 1e-3f);
	EXPECT_TRUE(editor->DocumentShowsScene());
}

TEST_F(TreeTest, ABrokenTreeInASceneFileIsRefusedAndChangesNothing)
{
	addCrate(core::vector3df(0, 0, 0));
	const auto empty = [](int slot, int parent)
	{
		return "<node type=\"empty\"><userData><attributes><int name=\"Slot\" value=\"" +
		       std::to_string(slot) +
		       "\" /><int name=\"Type\" value=\"10\" /><int name=\"Parent\" "
		       "value=\"" +
		       std::to_string(parent) + "\" /></attributes></userData></node>";
	};
	const auto scene = [](const std::string& name, const std::string& nodes)
	{
		return WriteFile(name, "<?xml version=\"1.0\"?><irr_scene><node type=\"empty\"><userData>"
		                       "<attributes><string name=\"Format\" value=\"Tolvane scene\" />"
		                       "</attributes></userData>" +
		                           nodes + "</node></irr_scene>");
	};
	const std::string cycle = scene("cycle.irr", empty(1, 3) + empty(2, 1) + empty(3, 2));
	const std::string dangling = scene("dangling.irr", empty(1, -1) + empty(2, 42));
	const std::string before = DescribeScene(editor);
	EXPECT_FALSE(editor->OpenScene(cycle.c_str()));
	EXPECT_EQ(L"Open Scene Error!: The scene's empty in slot 1 hangs from itself through its "
	          L"parents; nothing was opened.",
	          answer());
	EXPECT_FALSE(editor->OpenScene(dangling.c_str()));
	EXPECT_EQ(L"Open Scene Error!: The scene's empty in slot 2 hangs from slot 42, which holds no "
	          L"object it can hang from; nothing was opened.",
	          answer());
	EXPECT_EQ(before, DescribeScene(editor));
}

TEST_F(TreeTest, NamesAreSuggestedUniqueAndRenamedInSceneObjects)
{
	addCrate(core::vector3df(0, 0, 0));
	addCrate(core::vector3df(20, 0, 0));
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_EMPTY));
	EXPECT_EQ(L"crate.obj", std::wstring(record(1).Name.c_str()));
	EXPECT_EQ(L"crate.obj 2", std::wstring(record(2).Name.c_str()));
	EXPECT_EQ(L"empty", std::wstring(record(3).Name.c_str()));

	// F2 renames the selection where the filter was; Return keeps the name.
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS));
	editor->Select(editor->Model[2]);
	pressKey(KEY_F2);
	ASSERT_EQ(editor->ObjectList.RenameBox, editor->_gui->getFocus());
	for (int i = 0; i < 11; ++i)
		pressKey(KEY_BACK);
	typeText(L"lid");
	pressKey(KEY_RETURN);
	EXPECT_EQ(L"lid", std::wstring(record(2).Name.c_str()));
	EXPECT_EQ(L"Undo Rename lid", std::wstring(editor->EditMenu->getItemText(0)));

	// The list shows the tree; the filter keeps a match and its parents.
	ASSERT_TRUE(editor->SetParent(2, 3));
	frame();
	gui::IGUIListBox* list = editor->ObjectList.List;
	ASSERT_EQ(3u, list->getItemCount());
	EXPECT_STREQ(L"1  model  crate.obj", list->getListItem(0));
	EXPECT_STREQ(L"- 3  empty  empty", list->getListItem(1));
	EXPECT_STREQ(L"   2  model  lid", list->getListItem(2));
	editor->Select(editor->Model[3]);
	editor->_gui->setFocus(list);
	pressKey(KEY_LEFT);
	ASSERT_EQ(2u, list->getItemCount());
	EXPECT_STREQ(L"+ 3  empty  empty", list->getListItem(1));
	editor->_gui->setFocus(editor->ObjectList.FilterBox);
	typeText(L"LI");
	frame();
	ASSERT_EQ(2u, list->getItemCount()) << "a match below a closed line shows";
	EXPECT_STREQ(L"   2  model  lid", list->getListItem(1));
}

TEST_F(TreeTest, DraggingALineOntoAnotherReparentsIt)
{
	addCrate(core::vector3df(0, 0, 0));
	addCrate(core::vector3df(20, 0, 0));
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS));
	frame();
	gui::IGUIListBox* list = editor->ObjectList.List;
	const core::rect<s32> area = list->getAbsolutePosition();
	const s32 x = area.UpperLeftCorner.X + 60, first = area.UpperLeftCorner.Y + 6;
	s32 second = first;
	while (list->getItemAt(x, second) == 0)
		++second;
	second += 3;
	mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, x, second, EMBSM_LEFT);
	mouseEvent(EMIE_MOUSE_MOVED, x, first, EMBSM_LEFT);
	mouseEvent(EMIE_LMOUSE_LEFT_UP, x, first, 0);
	frame();
	EXPECT_EQ(1, record(2).Parent);
	EXPECT_EQ(editor->Model[2], editor->SelectedModel) << "the dragged object stays selected";
	EXPECT_VEC_NEAR(core::vector3df(20, 0, 0), WorldPosition(editor->Model[2]), 1e-3f);
	EXPECT_STREQ(L"   2  model  crate.obj 2", list->getListItem(1));

	// Onto no line: it hangs from nothing again.
	mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, x, second, EMBSM_LEFT);
	mouseEvent(EMIE_MOUSE_MOVED, x, area.LowerRightCorner.Y - 5, EMBSM_LEFT);
	mouseEvent(EMIE_LMOUSE_LEFT_UP, x, area.LowerRightCorner.Y - 5, 0);
	frame();
	EXPECT_EQ(-1, record(2).Parent);
}
