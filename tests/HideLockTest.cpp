// Hidden and locked objects and world pieces: "Scene Objects" shows and
// toggles both, and scene files, the recovery file and the export keep them.
#include "EditorTestSupport.h"

#include "EditorIds.h"

class HideLockTest : public EditorTest
{
protected:
	std::wstring line(u32 i) { return editor->ObjectList.List->getListItem(i); }
	//! Clicks a line of "Scene Objects", then a button below the list.
	void toggle(s32 line, gui::IGUIButton* button)
	{
		gui::IGUIListBox* list = editor->ObjectList.List;
		const core::rect<s32> area = list->getAbsolutePosition();
		for (s32 y = area.UpperLeftCorner.Y + 2; y < area.LowerRightCorner.Y; ++y)
			if (list->getItemAt(area.UpperLeftCorner.X + 10, y) == line)
			{
				clickAt(area.UpperLeftCorner.X + 10, y);
				frame();
				click(button);
				frame();
				return;
			}
		ADD_FAILURE() << "no line " << line;
	}
	std::wstring undoName() { return editor->EditMenu->getItemText(0); }
};

TEST_F(HideLockTest, SceneObjectsShowsAndTogglesBothStatesOfObjectsAndPieces)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->LoadTerrain("samples/valley.png"));
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS));
	frame();
	gui::IGUIButton* hide = editor->ObjectList.HideButton;
	gui::IGUIButton* lock = editor->ObjectList.LockButton;
	EXPECT_EQ(L"terrain  valley.png", line(1));

	toggle(1, hide);
	EXPECT_EQ(nullptr, editor->SelectedModel) << "a piece's line is no selection";
	EXPECT_FALSE(editor->Terrain->isVisible());
	EXPECT_EQ(L"Undo Hide Terrain", undoName());
	EXPECT_STREQ(L"Show", hide->getText());
	toggle(1, lock);
	EXPECT_EQ(L"terrain  valley.png  (hidden, locked)", line(1));
	EXPECT_EQ(L"Undo Lock Terrain", undoName());

	toggle(0, lock);
	EXPECT_EQ(editor->Model[1], editor->SelectedModel);
	EXPECT_EQ(L"1  model  crate.obj  (locked)", line(0));
	EXPECT_EQ(L"Undo Lock crate.obj", undoName());
	toggle(0, lock);
	EXPECT_EQ(L"Undo Unlock crate.obj", undoName());

	// H acts on the selection only; Shift+H shows the terrain, still locked.
	pressKey(KEY_KEY_H, L'h');
	EXPECT_FALSE(editor->Model[1]->AnimatedNode->isVisible());
	editor->Select(0);
	const unsigned long long version = editor->Document.Version;
	pressKey(KEY_KEY_H, L'h');
	EXPECT_EQ(version, editor->Document.Version) << "nothing selected, nothing hidden";
	postKey(KEY_KEY_H, true, L'H', false, true);
	frame();
	EXPECT_TRUE(editor->Model[1]->AnimatedNode->isVisible() && editor->Terrain->isVisible());
	EXPECT_EQ(L"terrain  valley.png  (locked)", line(1));
}

TEST_F(HideLockTest, StatesSurviveSceneFilesTheRecoveryFileAndReachTheExport)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	editor->Select(editor->Model[1]);
	pressKey(KEY_KEY_H, L'h');
	editor->Execute(commands::EditObject(1, [](SModelState& record) { record.Locked = true; }));
	editor->Execute(commands::EditWorld(
	    [](SWorldState& world)
	    {
		    world.Plane.Hidden = true;
		    world.Plane.Locked = true;
	    }));

	const std::string file = ScratchDir() + "/hidden.irr";
	ASSERT_TRUE(editor->SaveScene(file.c_str()));
	dismissMessages();
	// A game's loadScene keeps the hidden model hidden.
	IrrlichtDevice* game = createDevice(video::EDT_NULL);
	ASSERT_TRUE(game->getSceneManager()->loadScene(file.c_str()));
	ASSERT_NE(nullptr, game->getSceneManager()->getSceneNodeFromId(1));
	EXPECT_FALSE(game->getSceneManager()->getSceneNodeFromId(1)->isVisible());
	EXPECT_TRUE(game->getSceneManager()->getSceneNodeFromId(2)->isVisible());
	game->drop();

	ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR));
	ASSERT_TRUE(editor->OpenScene(file.c_str()));
	dismissMessages();
	const SSceneState& opened = editor->Document.State();
	ASSERT_TRUE(opened.Models[1] && opened.Models[2]);
	EXPECT_TRUE(!opened.Models[1]->Visible && opened.Models[1]->Locked);
	EXPECT_TRUE(opened.Models[2]->Visible && !opened.Models[2]->Locked);
	EXPECT_TRUE(opened.World->Plane.Hidden && opened.World->Plane.Locked);
	EXPECT_FALSE(editor->Model[1]->AnimatedNode->isVisible());
	EXPECT_FALSE(editor->LevelPlane->isVisible());

	ASSERT_TRUE(editor->WriteRecovery());
	SRecoveredScene kept;
	ASSERT_TRUE(CRecovery::Read(editor->RecoveryFile(), kept));
	EXPECT_TRUE(kept.State == editor->Document.State());
	EXPECT_TRUE(kept.State.Models[1]->Locked && kept.State.World->Plane.Locked);

	editor->sow_editboxDir->setText(core::stringw((ScratchDir() + "/").c_str()).c_str());
	ASSERT_TRUE(editor->SaveLevel());
	const std::string source = ReadFile(ScratchDir() + "/Level.cpp");
	EXPECT_NE(std::string::npos, source.find("\t\tModel[1]->setVisible(false);\n\t}\n"));
	EXPECT_EQ(std::string::npos, source.find("Model[2]->setVisible"));
}

TEST_F(HideLockTest, AHiddenParticleSystemLeavesTheEditorAtRest)
{
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	frame();
	ASSERT_TRUE(editor->AnimationInView());
	pressKey(KEY_KEY_H, L'h');
	EXPECT_FALSE(editor->AnimationInView()) << "nothing moves on screen";
	EXPECT_EQ(L"Undo Hide particle system", undoName());
}

TEST_F(HideLockTest, HiddenThingsAreNoFloorsNorSurfacesLockedOnesStillAre)
{
	// A crate standing on the plane, a second one high above it.
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(0, 10, 0), core::vector3df(),
	                                         core::vector3df(1, 1, 1)));
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	dismissMessages();
	CModel* falling = editor->SelectedModel;
	const core::vector3df above(0, 200, 0);
	const auto setWorld = [&](bool crateHidden, bool crateLocked, bool planeHidden)
	{
		editor->Execute(commands::EditObject(1,
		                                     [=](SModelState& record)
		                                     {
			                                     record.Visible = !crateHidden;
			                                     record.Locked = crateLocked;
		                                     }));
		editor->Execute(
		    commands::EditWorld([=](SWorldState& world) { world.Plane.Hidden = planeHidden; }));
		editor->Select(falling);
		ASSERT_TRUE(
		    editor->SetSelectedTransform(above, core::vector3df(), core::vector3df(1, 1, 1)));
	};
	const core::line3df down(core::vector3df(0, 300, 0), core::vector3df(0, -300, 0));
	struct SRow
	{
		const char* what;
		bool crateHidden, crateLocked, planeHidden;
		//! Where End puts the crate's origin, and the wheel's surface.
		f32 landsAt, surfaceDistance;
	};
	const SRow rows[] = {
	    {"both shown", false, false, false, 30, 280},
	    {"crate locked: still drawn", false, true, false, 30, 280},
	    {"crate hidden", true, false, false, 10, 300},
	    {"crate and plane hidden", true, false, true, 200, 0},
	};
	for (const SRow& row : rows)
	{
		setWorld(row.crateHidden, row.crateLocked, row.planeHidden);
		EXPECT_EQ(row.landsAt != 200, editor->DropToFloor()) << row.what;
		EXPECT_VEC_NEAR(core::vector3df(0, row.landsAt, 0), falling->getPosition(), 0.02f)
		    << row.what;
		// The falling crate itself out of the way of the wheel's ray.
		editor->Select(falling);
		ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(500, 0, 500), core::vector3df(),
		                                         core::vector3df(1, 1, 1)));
		EXPECT_NEAR(row.surfaceDistance, editor->SurfaceDistance(down), 0.02f) << row.what;
	}

	// A cube (10 units a side) is a surface as a model is.
	setWorld(true, false, false);
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(500, 0, 500), core::vector3df(),
	                                         core::vector3df(1, 1, 1)));
	ASSERT_TRUE(editor->AddAtMarker(CModel::TYPE_CUBE));
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(0, 50, 0), core::vector3df(),
	                                         core::vector3df(1, 1, 1)));
	EXPECT_NEAR(245, editor->SurfaceDistance(down), 0.02f);
}
