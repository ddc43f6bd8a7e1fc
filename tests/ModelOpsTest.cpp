// Creating, texturing and deleting models and the water surface: the slot
// rules, the selection and every message the operations show.
#include "EditorTestSupport.h"

#include "EditorIds.h"

class ModelOpsTest : public EditorTest
{
protected:
	std::string mesh = MediaFile("sydney.md2");
	std::string missing = "/nonexistent/tree.3ds";

	int meshNodes() { return CountNodes(editor->_smgr, scene::ESNT_ANIMATED_MESH); }
	void expectMessages(const std::vector<std::pair<std::wstring, std::wstring>>& expected)
	{
		const std::vector<Message> shown = messages();
		ASSERT_EQ(expected.size(), shown.size());
		for (size_t i = 0; i < shown.size(); ++i)
		{
			EXPECT_EQ(expected[i].first, shown[i].caption) << i;
			EXPECT_EQ(expected[i].second, shown[i].text) << i;
		}
		dismissMessages();
	}
};

TEST_F(ModelOpsTest, ModelsFillSlotsInOrderAndAFailedLoadUsesNoSlot)
{
	editor->Positioner->setPosition(core::vector3df(10, 20, 30));
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	EXPECT_FALSE(editor->CreateNewModel(missing.c_str()));
	expectMessages({{L"Load Model Error!", L"Wrong file format or corrupted file."}});
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	EXPECT_EQ(2, editor->current_model);

	for (int slot : {1, 2})
	{
		CModel* model = editor->Model[slot];
		ASSERT_NE(nullptr, model);
		EXPECT_EQ(CModel::TYPE_MESH, model->MODEL_TYPE);
		EXPECT_EQ(slot, model->AnimatedNode->getID());
		EXPECT_VEC_NEAR(core::vector3df(10, 20, 30), model->getPosition(), 0.0f);
		EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), model->getRotation(), 0.0f);
		EXPECT_VEC_NEAR(core::vector3df(1, 1, 1), model->getScale(), 0.0f);
		EXPECT_FALSE(model->AnimatedNode->getMaterial(0).Lighting);
		EXPECT_FALSE(model->Lighting);
	}
	EXPECT_EQ(editor->Model[2], editor->SelectedModel);
	EXPECT_FALSE(editor->Model[1]->AnimatedNode->isDebugDataVisible()) << "lost the selection";
	EXPECT_EQ(std::wstring(mesh.begin(), mesh.end()), editor->mpw_boxFileName->getText())
	    << "the window shows the new model, named by its file";
	EXPECT_EQ(1, editor->mpw_scaleY->getPos());
}

TEST_F(ModelOpsTest, DeletingKeepsTheObjectAndClearRestartsAtSlotOne)
{
	for (int i = 0; i < 3; ++i)
		ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	editor->Select(editor->Model[2]);
	editor->Model[2]->FileName = L"kept.md2";
	ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE));
	EXPECT_EQ(nullptr, editor->SelectedModel);
	ASSERT_NE(nullptr, editor->Model[2]);
	EXPECT_EQ(nullptr, editor->Model[2]->AnimatedNode);
	EXPECT_STREQ(L"kept.md2", editor->Model[2]->FileName.c_str());
	EXPECT_NE(nullptr, editor->Model[1]->AnimatedNode);
	EXPECT_NE(nullptr, editor->Model[3]->AnimatedNode);
	ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE));
	expectMessages({{L"Delete Error!", L"No model in selection."}});

	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	EXPECT_NE(nullptr, editor->Model[4]) << "a deleted slot is not reused";

	editor->ClearScene();
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	EXPECT_EQ(1, editor->current_model);
	EXPECT_NE(nullptr, editor->Model[1]->AnimatedNode) << "the emptied object is replaced";
	EXPECT_EQ(2, meshNodes()) << "the marker and the new model";
}

TEST_F(ModelOpsTest, SlotsWithoutAModelAreReusedAndOnly99ModelsFillTheScene)
{
	// 99 attempts, every third a failed load that uses no slot; then two
	// models removed.
	for (int i = 1; i < 100; ++i)
		editor->CreateNewModel(i % 3 ? mesh.c_str() : "/nonexistent/model.md2");
	dismissMessages();
	ASSERT_EQ(66, editor->current_model);
	for (int slot : {5, 3})
	{
		editor->Select(editor->Model[slot]);
		editor->DeleteSelectedModel();
	}

	std::vector<int> slots;
	while (editor->CreateNewModel(mesh.c_str()))
		slots.push_back(editor->current_model);
	ASSERT_EQ(35u, slots.size()) << "33 slots after the last one used and two removals were free";
	EXPECT_EQ(67, slots[0]) << "in order while the slots after the last one used are free";
	EXPECT_EQ(3, slots[33]) << "then the lowest free slot";
	EXPECT_EQ(5, slots[34]);
	EXPECT_EQ(slots[33], editor->Model[slots[33]]->AnimatedNode->getID());
	expectMessages({{L"Load Model Error!", L"The scene is full. Use File, Clear to start again."}});
	EXPECT_EQ(nullptr,
	          editor->_smgr->getMeshCache()->getMeshByName(MediaFile("faerie.md2").c_str()));
	EXPECT_FALSE(editor->CreateNewModel(MediaFile("faerie.md2").c_str()));
	EXPECT_EQ(nullptr,
	          editor->_smgr->getMeshCache()->getMeshByName(MediaFile("faerie.md2").c_str()))
	    << "a full scene does not even load the mesh";
}

TEST_F(ModelOpsTest, SkinsGoToTheirLayerOfTheSelectedKindOnly)
{
	const std::string wall = MediaFile("wall.jpg"), water = MediaFile("water.jpg");
	EXPECT_FALSE(editor->LoadModelSkin(wall.c_str()));
	EXPECT_FALSE(editor->LoadModelSkin2(wall.c_str()));
	EXPECT_FALSE(editor->LoadWaterTexture1(wall.c_str()));
	EXPECT_FALSE(editor->LoadWaterTexture2(wall.c_str()));
	const std::wstring noModel = L"No model in selection. Texture could not be loaded. ";
	const std::wstring noWater = L"No water in selection. Texture could not be loaded. ";
	expectMessages({{L"Load Skin Error!", noModel},
	                {L"Load Skin Error!", noModel},
	                {L"Load Skin Error!", noWater},
	                {L"Load Skin Error!", noWater}});

	ASSERT_TRUE(editor->CreateNewWater());
	EXPECT_FALSE(editor->LoadModelSkin(wall.c_str())) << "water is not a model";
	EXPECT_FALSE(editor->LoadModelSkin2(wall.c_str()));
	expectMessages({{L"Load Skin Error!", noModel}, {L"Load Skin Error!", noModel}});
	EXPECT_TRUE(editor->LoadWaterTexture1(wall.c_str()));
	EXPECT_TRUE(editor->LoadWaterTexture2(water.c_str()));
	EXPECT_NE(nullptr, editor->Water->Node->getMaterial(0).getTexture(1));

	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	CModel* model = editor->SelectedModel;
	EXPECT_FALSE(editor->LoadWaterTexture1(wall.c_str())) << "a model is not water";
	expectMessages({{L"Load Skin Error!", noWater}});
	ASSERT_TRUE(editor->LoadModelSkin(wall.c_str()));
	video::ITexture* first = model->AnimatedNode->getMaterial(0).getTexture(0);
	ASSERT_NE(nullptr, first);
	ASSERT_TRUE(editor->LoadModelSkin2(water.c_str()));
	EXPECT_EQ(first, model->AnimatedNode->getMaterial(0).getTexture(0)) << "layer 0 is kept";
	EXPECT_NE(nullptr, model->AnimatedNode->getMaterial(0).getTexture(1));
	EXPECT_TRUE(messages().empty());
}

TEST_F(ModelOpsTest, AnUnloadableTextureKeepsTheLayerAndIsReported)
{
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	ASSERT_TRUE(editor->LoadModelSkin(MediaFile("wall.jpg").c_str()));
	video::ITexture* kept = editor->SelectedModel->AnimatedNode->getMaterial(0).getTexture(0);
	const std::string broken = WriteFile("broken.jpg", "this is not a JPEG image");
	EXPECT_FALSE(editor->LoadModelSkin(broken.c_str()));
	EXPECT_FALSE(editor->LoadModelSkin(missing.c_str()));
	expectMessages({{L"Load Skin Error!", L"Wrong file format or corrupted file."},
	                {L"Load Skin Error!", L"Wrong file format or corrupted file."}});
	EXPECT_EQ(kept, editor->SelectedModel->AnimatedNode->getMaterial(0).getTexture(0));
}

TEST_F(ModelOpsTest, WaterIsAnObjectLikeAModel)
{
	editor->Positioner->setPosition(core::vector3df(40, 5, -60));
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_WATER));
	EXPECT_TRUE(messages().empty());
	ASSERT_NE(nullptr, editor->Water->Node);
	EXPECT_EQ(editor->Water, editor->SelectedModel);
	// Its waves just above the marker, about as wide as the ground in view,
	// textured and letting the floor show through.
	EXPECT_VEC_NEAR(core::vector3df(40, 8, -60), editor->Water->getPosition(), 0.0f);
	editor->Water->Node->updateAbsolutePosition();
	const f32 side = editor->Water->Node->getTransformedBoundingBox().getExtent().X;
	EXPECT_NEAR(editor->Camera->getPosition().getDistanceFrom(editor->Camera->getTarget()), side,
	            1.0f);
	const video::SMaterial& surface = editor->Water->Node->getMaterial(0);
	ASSERT_NE(nullptr, surface.getTexture(0));
	EXPECT_NE(std::string::npos,
	          core::stringc(surface.getTexture(0)->getName().getPath()).find("Data/water.jpg"));
	EXPECT_EQ(video::EMT_TRANSPARENT_ADD_COLOR, surface.MaterialType);
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	EXPECT_TRUE(CSceneEditor::WaterPropertiesWindow->isVisible());

	// The wave bars sit below the design's controls; a moved bar rebuilds
	// the surface in its place, with its material.
	std::vector<gui::IGUIScrollBar*> bars;
	for (gui::IGUIElement* child : CSceneEditor::WaterPropertiesWindow->getChildren())
		if (child->getType() == gui::EGUIET_SCROLL_BAR)
			bars.push_back(static_cast<gui::IGUIScrollBar*>(child));
	ASSERT_EQ(3u, bars.size());
	EXPECT_EQ(3, bars[0]->getPos());
	editor->wpw_render_type->setSelected(11);
	bars[0]->setPos(12);
	frame();
	EXPECT_EQ(12.0f, editor->Water->water_WaveHeight);
	EXPECT_EQ(20.0f, editor->Water->water_WaveLength) << "the other waves stay";
	EXPECT_EQ(video::EMT_TRANSPARENT_ADD_COLOR, editor->Water->Node->getMaterial(0).MaterialType);
	EXPECT_VEC_NEAR(core::vector3df(40, 8, -60), editor->Water->getPosition(), 0.0f);

	holdKeys({KEY_RIGHT}, 5);
	EXPECT_VEC_NEAR(core::vector3df(0, 10, 0), editor->Water->getRotation(), 0.001f);
	ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE));
	EXPECT_EQ(nullptr, editor->Water->Node);
	EXPECT_EQ(0, CountNodes(editor->_smgr, scene::ESNT_WATER_SURFACE));
}

TEST_F(ModelOpsTest, ASecondWaterSurfaceReplacesTheFirst)
{
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	ASSERT_TRUE(editor->CreateNewWater());
	EXPECT_EQ(editor->Water, editor->SelectedModel);
	EXPECT_EQ(101, editor->Water->Node->getID());
	EXPECT_EQ(CModel::TYPE_WATER, editor->Water->MODEL_TYPE);
	EXPECT_FALSE(editor->Model[1]->AnimatedNode->isDebugDataVisible());
	ASSERT_TRUE(editor->CreateNewWater());
	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_WATER_SURFACE));
	EXPECT_EQ(101, editor->Water->Node->getID());
	for (int i = 0; i < CSceneEditor::MODEL_SLOTS; ++i)
		EXPECT_NE(editor->Water, editor->Model[i]) << "water is never in the table";
}

// The null driver has no stencil buffer, so the editor's shadow itself is
// seen in the end-to-end test.
TEST_F(ModelOpsTest, ATickedShadowIsExportedAfterItsCommentLine)
{
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	editor->mpw_shadowbox->setChecked(true);
	frame();
	editor->sow_editboxDir->setText(core::stringw((ScratchDir() + "/").c_str()).c_str());
	ASSERT_TRUE(editor->SaveLevel());
	dismissMessages();
	EXPECT_NE(std::string::npos, ReadFile(ScratchDir() + "/Level.cpp")
	                                 .find("\t\t//Model[1]->//SHADOW (INCOMPLETE)\n"
	                                       "\t\tstatic_cast<IAnimatedMeshSceneNode*>(Model[1])->"
	                                       "addShadowVolumeSceneNode();\n"));
}

TEST_F(ModelOpsTest, DropToFloorFallsOntoTheFirstSurfaceBelowAsOneStep)
{
	auto bottom = [&](CModel* model)
	{
		model->AnimatedNode->updateAbsolutePosition();
		return model->AnimatedNode->getTransformedBoundingBox().MinEdge.Y;
	};
	const core::vector3df spot(40, 100, 30);
	editor->Positioner->setPosition(spot);
	pressKey(KEY_END);
	EXPECT_VEC_NEAR(spot, editor->Positioner->getPosition(), 0.0f) << "nothing below";

	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	frame();
	pressKey(KEY_END);
	frame();
	EXPECT_VEC_NEAR(core::vector3df(40, 0, 30), editor->Positioner->getPosition(), 0.01f)
	    << "the marker onto the plane";
	ASSERT_TRUE(editor->Undo());
	EXPECT_VEC_NEAR(spot, editor->Positioner->getPosition(), 0.0f) << "one step";

	const std::string crate = std::string(TOLVANE_SOURCE_DIR) + "/samples/crate.obj";
	ASSERT_TRUE(editor->CreateNewModel(crate.c_str()));
	ASSERT_TRUE(editor->CreateNewModel(crate.c_str()));
	CModel* lower = editor->Model[1];
	CModel* upper = editor->Model[2];
	frame();
	const core::vector3df upright(0, 0, 0), size(1, 1, 1);
	editor->Select(lower);
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(40, 50, 30), upright, size));
	pressKey(KEY_END);
	frame();
	EXPECT_NEAR(0.0f, bottom(lower), 0.01f) << "a model onto the plane";
	editor->Select(upper);
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(40, 500, 30), upright, size));
	frame();
	ASSERT_TRUE(chooseMenu(ID_MENU_DROP_TO_FLOOR));
	frame();
	EXPECT_NEAR(lower->AnimatedNode->getTransformedBoundingBox().MaxEdge.Y, bottom(upper), 0.01f)
	    << "a model onto another";

	editor->DeletePlane();
	editor->Select(nullptr);
	ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str()));
	editor->Positioner->setPosition(core::vector3df(896, 266, 960)); // the player start
	pressKey(KEY_END);
	EXPECT_NEAR(192.0f, editor->Positioner->getPosition().Y, 0.5f) << "the marker onto the level";
}
