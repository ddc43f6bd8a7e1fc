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
	EXPECT_VEC_NEAR(core::vector3df(40, 5, -60), editor->Water->getPosition(), 0.0f);
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
	EXPECT_VEC_NEAR(core::vector3df(40, 5, -60), editor->Water->getPosition(), 0.0f);

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
