// The terrain: height maps generated here become the engine's terrain
// through "World Properties", are textured, replaced, deleted and cleared,
// and odd or broken images are resampled or refused.
#include "EditorTestSupport.h"

#include <cmath>

#include "EditorIds.h"

namespace
{
const wchar_t* const TerrainError = L"Load Terrain Error!: ";
}

class TerrainTest : public EditorTest
{
protected:
	// A height map of `width` x `height` pixels, each pixel `shade(x, y)`
	// (a grey level, or a colour), written as PNG in the scratch folder.
	std::string heightMap(const std::string& name, u32 width, u32 height,
	                      const std::function<video::SColor(u32, u32)>& shade)
	{
		video::IImage* image =
		    editor->_driver->createImage(video::ECF_R8G8B8, core::dimension2du(width, height));
		for (u32 y = 0; y < height; ++y)
			for (u32 x = 0; x < width; ++x)
				image->setPixel(x, y, shade(x, y));
		const std::string path = ScratchDir() + "/" + name;
		EXPECT_TRUE(editor->_driver->writeImageToFile(image, path.c_str()));
		image->drop();
		return path;
	}

	// White in the middle, falling to black at the edges.
	std::string bump(u32 side = 257)
	{
		return heightMap("bump.png", side, side,
		                 [side](u32 x, u32 y)
		                 {
			                 const f32 r = core::vector2df(x, y).getDistanceFrom(
			                                   core::vector2df(side / 2.0f, side / 2.0f)) /
			                               (side / 2.0f);
			                 const u32 grey = core::round32(255 * core::max_(0.0f, 1 - r));
			                 return video::SColor(255, grey, grey, grey);
		                 });
	}

	core::aabbox3df box() { return editor->Terrain->getBoundingBox(); }
};

TEST_F(TerrainTest, AHeightMapChosenInWorldPropertiesBecomesACentredUnlitTexturedTerrain)
{
	clickButton(ID_WORLD_LOAD_TERRAIN);
	ASSERT_NE(nullptr, openDialog());
	EXPECT_STREQ(L"Select a Heightmap", openDialog()->getText());
	ASSERT_TRUE(chooseFile(bump()));
	EXPECT_EQ(L"0 message boxes", answer());
	scene::ITerrainSceneNode* terrain = editor->Terrain;
	ASSERT_NE(nullptr, terrain);
	EXPECT_EQ(-1, terrain->getID());
	EXPECT_EQ(editor->_smgr->getRootSceneNode(), terrain->getParent());
	EXPECT_FALSE(terrain->getMaterial(0).Lighting);
	// 257 pixels, 10 units apart, centred; white stands 250 units high.
	EXPECT_VEC_NEAR(core::vector3df(-1280, 0, -1280), box().MinEdge, 0.5f);
	EXPECT_VEC_NEAR(core::vector3df(1280, 0, 1280),
	                box().MaxEdge - core::vector3df(0, box().MaxEdge.Y, 0), 0.5f);
	EXPECT_NEAR(250, terrain->getHeight(0, 0), 2);
	EXPECT_NEAR(0, terrain->getHeight(1270, 1270), 2);
	EXPECT_GE(editor->Camera->getFarValue(), box().getExtent().getLength());

	clickButton(ID_WORLD_TERRAIN_TEXTURE);
	EXPECT_STREQ(L"Select a Texture", openDialog()->getText());
	ASSERT_TRUE(chooseFile(FixtureCopy("terrain-texture.jpg")));
	EXPECT_EQ(L"0 message boxes", answer());
	video::ITexture* texture = terrain->getMaterial(0).getTexture(0);
	ASSERT_NE(nullptr, texture);
	// Tiled: one repeat per 16 pixels, 16 across the whole terrain.
	const video::S3DVertex2TCoords* vertices =
	    static_cast<const video::S3DVertex2TCoords*>(terrain->getRenderBuffer()->getVertices());
	f32 widest = 0;
	for (u32 i = 0; i < terrain->getRenderBuffer()->getVertexCount(); ++i)
		widest = core::max_(widest, vertices[i].TCoords.Y);
	EXPECT_NEAR(16, widest, 0.01f);

	EXPECT_FALSE(editor->LoadTerrainTexture(WriteFile("notes.png", "not a picture").c_str()));
	EXPECT_EQ(L"Load Skin Error!: Wrong file format or corrupted file.", answer());
	EXPECT_EQ(texture, terrain->getMaterial(0).getTexture(0)) << "the old texture stays";
}

TEST_F(TerrainTest, ATerrainIsReplacedDeletedAndClearedAndExcludesTheGroundPlane)
{
	const u32 before = editor->_smgr->getRootSceneNode()->getChildren().getSize();
	ASSERT_TRUE(editor->LoadTerrain(bump().c_str()));
	scene::ITerrainSceneNode* first = editor->Terrain;
	ASSERT_TRUE(editor->LoadTerrainTexture(MediaFile("wall.jpg").c_str()));
	video::ITexture* texture = first->getMaterial(0).getTexture(0);
	EXPECT_FALSE(editor->LoadTerrain(WriteFile("broken.png", "\x89PNG\r\n\x1a\n").c_str()));
	EXPECT_EQ(std::wstring(TerrainError) + L"Wrong file format or corrupted file.", answer());
	EXPECT_EQ(first, editor->Terrain) << "a failed load keeps the terrain";

	const std::string ramp = heightMap(
	    "ramp.png", 129, 129, [](u32 x, u32) { return video::SColor(255, 2 * x, 2 * x, 2 * x); });
	ASSERT_TRUE(editor->LoadTerrain(ramp.c_str()));
	EXPECT_NE(first, editor->Terrain);
	EXPECT_EQ(texture, editor->Terrain->getMaterial(0).getTexture(0)) << "its texture stays";
	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_TERRAIN)) << "the second replaces the first";
	EXPECT_VEC_NEAR(core::vector3df(640, 0, 640),
	                box().MaxEdge - core::vector3df(0, box().MaxEdge.Y, 0), 0.5f);

	// A level and a terrain may coexist; a plane may not.
	ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str()));
	EXPECT_FALSE(editor->LoadLevelPlane("samples/ground.obj"));
	EXPECT_EQ(L"Load Plane Error!: Must delete Q3Mesh or Terain.", answer());
	editor->DeleteQ3Level();
	clickButton(ID_WORLD_DELETE_TERRAIN);
	EXPECT_EQ(nullptr, editor->Terrain);
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	EXPECT_FALSE(editor->LoadTerrain(ramp.c_str()));
	EXPECT_EQ(std::wstring(TerrainError) + L"Must delete the plane first.", answer());
	EXPECT_EQ(nullptr, editor->Terrain);
	EXPECT_FALSE(editor->LoadTerrainTexture(MediaFile("wall.jpg").c_str()));
	EXPECT_EQ(L"Load Skin Error!: No terrain in level. Texture could not be loaded. ", answer());

	editor->DeletePlane();
	ASSERT_TRUE(editor->LoadTerrain(ramp.c_str()));
	EXPECT_EQ(nullptr, editor->Terrain->getMaterial(0).getTexture(0)) << "Delete took it too";
	ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR));
	EXPECT_EQ(nullptr, editor->Terrain);
	EXPECT_EQ(before, editor->_smgr->getRootSceneNode()->getChildren().getSize());
}

TEST_F(TerrainTest, OddImagesAreResampledToAGreySquareOrRefusedByName)
{
	struct Row
	{
		u32 width, height;
		bool colour;
		const wchar_t* answer;
		f32 span; // of the terrain built, 0 when refused
	};
	const Row rows[] = {
	    {256, 256, false,
	     L"Terrain Message: The height map of 256 x 256 pixels was read as 257 x 257 grey pixels.",
	     2560},
	    {300, 200, false,
	     L"Terrain Message: The height map of 300 x 200 pixels was read as 513 x 513 grey pixels.",
	     5120},
	    {2, 2, false,
	     L"Terrain Message: The height map of 2 x 2 pixels was read as 17 x 17 grey pixels.", 160},
	    {65, 65, true,
	     L"Terrain Message: The height map of 65 x 65 pixels was read as 65 x 65 grey pixels.",
	     640},
	    {1, 1, false,
	     L"Load Terrain Error!: The height map is 1 x 1 pixels; the editor draws terrains of 2 x 2 "
	     L"up to 2049 x 2049 pixels.",
	     0},
	    {2050, 8, false,
	     L"Load Terrain Error!: The height map is 2050 x 8 pixels; the editor draws terrains of 2 "
	     L"x "
	     L"2 up to 2049 x 2049 pixels.",
	     0},
	    {16385, 2, false, // over the limit of every image the editor takes
	     L"Load Terrain Error!: The height map is 16385 x 2 pixels; the editor draws terrains of "
	     L"2 x 2 up to 2049 x 2049 pixels.",
	     0},
	};
	for (const Row& row : rows)
	{
		SCOPED_TRACE(row.width);
		editor->DeleteTerrain();
		dismissMessages();
		// Pure red, green or blue stripes: luminance keeps them apart.
		const std::string file =
		    heightMap("odd.png", row.width, row.height,
		              [&row](u32 x, u32)
		              {
			              if (!row.colour)
				              return video::SColor(255, 128, 128, 128);
			              const u32 channel = x % 3;
			              return video::SColor(255, channel == 0 ? 255 : 0, channel == 1 ? 255 : 0,
			                                   channel == 2 ? 255 : 0);
		              });
		EXPECT_EQ(row.span > 0, editor->LoadTerrain(file.c_str()));
		EXPECT_EQ(row.answer, answer());
		if (row.span == 0)
		{
			EXPECT_EQ(nullptr, editor->Terrain);
			continue;
		}
		ASSERT_NE(nullptr, editor->Terrain);
		EXPECT_NEAR(row.span, box().getExtent().X, 0.5f);
		EXPECT_NEAR(row.span, box().getExtent().Z, 0.5f) << "the whole square is drawn";
		if (row.colour)
			EXPECT_NEAR(250 * 0.59f, box().MaxEdge.Y, 2) << "green's luminance is the highest";
		else
			EXPECT_NEAR(250 * 128 / 255.0f, box().MaxEdge.Y, 1) << "flat grey stays flat";
	}
}

TEST_F(TerrainTest, AClickOnTheTerrainKeepsTheSelectionAndGivesTheMouseBack)
{
	CModel* model = placeModel(1);
	model->setPosition(core::vector3df(0, 0, 400));
	editor->Select(model);
	ASSERT_TRUE(editor->LoadTerrain(bump(65).c_str()));
	editor->CameraMode = false;
	frame();
	clickAt(5, 590);
	EXPECT_EQ(model, editor->SelectedModel);
	EXPECT_TRUE(editor->CameraMode);
}
