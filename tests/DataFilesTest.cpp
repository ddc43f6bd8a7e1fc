// The start-up data files load through the engine and hold what matters.
#include <gtest/gtest.h>

#include <irrlicht.h>

using namespace irr;

class DataFilesTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		device = createDevice(video::EDT_NULL);
		ASSERT_NE(nullptr, device);
	}
	void TearDown() override { device->drop(); }
	IrrlichtDevice* device = nullptr;
};

TEST_F(DataFilesTest, FontHasAGlyphForEveryPrintableCharacter)
{
	gui::IGUIFont* font = device->getGUIEnvironment()->getFont("Data/main_font.bmp");
	ASSERT_NE(nullptr, font);
	ASSERT_EQ(gui::EGFT_BITMAP, font->getType());
	gui::IGUIFontBitmap* bitmap = static_cast<gui::IGUIFontBitmap*>(font);
	EXPECT_EQ(95u, bitmap->getSpriteBank()->getPositions().size());
	for (wchar_t c = 32; c < 127; ++c)
	{
		EXPECT_EQ(u32(c - 32), bitmap->getSpriteNoFromChar(&c)) << "character " << int(c);
		const wchar_t text[2] = {c, 0};
		EXPECT_GE(font->getDimension(text).Width, 3u) << "character " << int(c);
	}
	const core::dimension2d<u32> line = font->getDimension(L"Scene Information");
	EXPECT_GE(line.Height, 11u);
	EXPECT_LE(line.Height, 15u) << "fits the 15-pixel label rows";
	EXPECT_LT(font->getDimension(L"i").Width, font->getDimension(L"W").Width);
}

TEST_F(DataFilesTest, MarkerMeshHasTrianglesAndPointsAlongPlusZ)
{
	scene::IAnimatedMesh* mesh = device->getSceneManager()->getMesh("Data/positioner.ms3d");
	ASSERT_NE(nullptr, mesh);
	u32 indices = 0;
	for (u32 i = 0; i < mesh->getMeshBufferCount(); ++i)
		indices += mesh->getMeshBuffer(i)->getIndexCount();
	EXPECT_GE(indices / 3, 8u);
	const core::aabbox3df box = mesh->getBoundingBox();
	EXPECT_GT(box.MaxEdge.Z, -box.MinEdge.Z) << "the tip reaches further along +Z";
	EXPECT_GE(box.MinEdge.Y, 0.0f) << "it stands on the ground";
}

TEST_F(DataFilesTest, MarkerTextureAndLogoLoad)
{
	video::IVideoDriver* driver = device->getVideoDriver();
	video::IImage* skin = driver->createImageFromFile("Data/positioner_sk.bmp");
	ASSERT_NE(nullptr, skin);
	EXPECT_EQ(core::dimension2d<u32>(64, 64), skin->getDimension());
	skin->drop();
	video::IImage* logo = driver->createImageFromFile("Data/logo.jpg");
	ASSERT_NE(nullptr, logo);
	EXPECT_EQ(core::dimension2d<u32>(190, 60), logo->getDimension());
	logo->drop();
	EXPECT_NE(nullptr, driver->getTexture("Data/logo.jpg"));
}
