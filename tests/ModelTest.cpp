// The model object on both kinds of node.
#include "EditorTestSupport.h"

class ModelTest : public EditorTest
{
protected:
	bool everyMaterial(scene::ISceneNode* node, std::function<bool(const video::SMaterial&)> check)
	{
		for (u32 i = 0; i < node->getMaterialCount(); ++i)
			if (!check(node->getMaterial(i)))
				return false;
		return node->getMaterialCount() > 0;
	}
};

TEST_F(ModelTest, NewObjectIsEmpty)
{
	CModel model(editor->_smgr);
	EXPECT_EQ(CModel::TYPE_EMPTY, model.MODEL_TYPE);
	EXPECT_EQ(0, model.getMaterialType());
	EXPECT_FALSE(model.Shadow || model.Fog || model.Lighting || model.Wireframe);
	EXPECT_TRUE(model.FileName.empty() && model.TextureName.empty() && model.TextureName2.empty());
	EXPECT_EQ(nullptr, model.Node);
	EXPECT_EQ(nullptr, model.AnimatedNode);
}

TEST_F(ModelTest, MaterialIndexMapsToEngineTypeWithSolidFallback)
{
	const video::E_MATERIAL_TYPE expected[] = {
	    video::EMT_SOLID,
	    video::EMT_SOLID_2_LAYER,
	    video::EMT_LIGHTMAP,
	    video::EMT_LIGHTMAP_ADD,
	    video::EMT_LIGHTMAP_M2,
	    video::EMT_LIGHTMAP_M4,
	    video::EMT_LIGHTMAP_LIGHTING,
	    video::EMT_LIGHTMAP_LIGHTING_M2,
	    video::EMT_LIGHTMAP_LIGHTING_M4,
	    video::EMT_SPHERE_MAP,
	    video::EMT_REFLECTION_2_LAYER,
	    video::EMT_TRANSPARENT_ADD_COLOR,
	    video::EMT_TRANSPARENT_ALPHA_CHANNEL,
	    video::EMT_TRANSPARENT_VERTEX_ALPHA,
	    video::EMT_TRANSPARENT_REFLECTION_2_LAYER,
	};
	CModel* model = placeModel(1);
	for (int index = -1; index <= 15; ++index)
	{
		model->setMaterialType(index);
		const video::E_MATERIAL_TYPE want =
		    index >= 0 && index < 15 ? expected[index] : video::EMT_SOLID;
		EXPECT_TRUE(everyMaterial(model->AnimatedNode, [want](const video::SMaterial& m)
		                          { return m.MaterialType == want; }))
		    << "index " << index;
		EXPECT_EQ(index, model->getMaterialType()) << "the index is kept as given";
	}
}

TEST_F(ModelTest, FlagsReachEveryMaterialAndAreRemembered)
{
	CModel* model = placeModel(1, "faerie.md2");
	model->setFog(true);
	model->setLighting(true);
	model->setWireframe(true);
	EXPECT_TRUE(model->Fog && model->Lighting && model->Wireframe);
	EXPECT_TRUE(everyMaterial(model->AnimatedNode, [](const video::SMaterial& m)
	                          { return m.FogEnable && m.Lighting && m.Wireframe; }));
	model->setLighting(false);
	EXPECT_TRUE(
	    everyMaterial(model->AnimatedNode, [](const video::SMaterial& m) { return !m.Lighting; }));

	CModel empty(editor->_smgr);
	empty.setFog(true);
	EXPECT_TRUE(empty.Fog) << "an object without nodes only remembers the flag";
}

TEST_F(ModelTest, TransformsReachBothNodes)
{
	CModel* model = placeModel(1);
	model->addWater();
	ASSERT_NE(nullptr, model->Node);
	model->setPosition(core::vector3df(1, 2, 3));
	model->setRotation(core::vector3df(0, 45, 0));
	EXPECT_VEC_NEAR(core::vector3df(1, 2, 3), model->Node->getPosition(), 0.0f);
	EXPECT_VEC_NEAR(core::vector3df(1, 2, 3), model->AnimatedNode->getPosition(), 0.0f);
	EXPECT_VEC_NEAR(core::vector3df(0, 45, 0), model->AnimatedNode->getRotation(), 0.0f);
	model->Node->setScale(core::vector3df(2, 2, 2));
	EXPECT_VEC_NEAR(core::vector3df(2, 2, 2), model->getScale(), 0.0f) << "Node wins";
	model->setModelID(7);
	EXPECT_EQ(7, model->Node->getID());
	EXPECT_EQ(7, model->AnimatedNode->getID());
}

TEST_F(ModelTest, DefaultWaterSurface)
{
	CModel water(editor->_smgr);
	water.addWater();
	ASSERT_NE(nullptr, water.Node);
	EXPECT_EQ(scene::ESNT_WATER_SURFACE, water.Node->getType());
	EXPECT_EQ(CModel::TYPE_WATER, water.MODEL_TYPE);
	EXPECT_EQ(nullptr, water.AnimatedNode);
	EXPECT_EQ(-1, water.Node->getID());
	const core::aabbox3df box = water.Mesh->getBoundingBox();
	EXPECT_NEAR(800.0f, box.getExtent().X, 0.01f) << "40 tiles of 20 units";
	water.setMaterialType(11);
	EXPECT_EQ(video::EMT_TRANSPARENT_ADD_COLOR, water.Node->getMaterial(0).MaterialType);
}

TEST_F(ModelTest, RemoveTakesNodesOutAndKeepsTheRest)
{
	CModel* model = placeModel(1);
	model->FileName = L"tree.3ds";
	model->setWireframe(true);
	model->setDebugDataVisible(true);
	model->remove();
	EXPECT_EQ(nullptr, model->AnimatedNode);
	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_ANIMATED_MESH)) << "only the marker";
	EXPECT_EQ(CModel::TYPE_MESH, model->MODEL_TYPE);
	EXPECT_STREQ(L"tree.3ds", model->FileName.c_str());
	EXPECT_TRUE(model->Wireframe);
	model->remove();
	model->setPosition(core::vector3df(1, 1, 1));
	EXPECT_EQ(nullptr, model->Node);
}
