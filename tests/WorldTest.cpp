// World geometry: the ground plane, the Quake 3 level and the sky box, loaded
// through the crash-proof path, replaced without leaving stray nodes, deleted
// and cleared.
#include "EditorTestSupport.h"

#include "EditorIds.h"

namespace
{
const wchar_t* const Faces[6] = {L"irrlicht2_up.jpg", L"irrlicht2_dn.jpg", L"irrlicht2_lf.jpg",
                                 L"irrlicht2_rt.jpg", L"irrlicht2_ft.jpg", L"irrlicht2_bk.jpg"};

// The level packed as the engine's media ships it, and the same level
// unpacked from it.
std::string LevelArchive()
{
	return MediaFile("map-20kdm2.pk3");
}

std::string ExtractedLevel()
{
	const std::string command =
	    "unzip -o -q '" + LevelArchive() + "' -d '" + ScratchDir() + "/data'";
	EXPECT_EQ(0, std::system(command.c_str())) << command;
	return ScratchDir() + "/data/maps/20kdm2.bsp";
}

std::wstring Wide(const std::string& ascii)
{
	return std::wstring(ascii.begin(), ascii.end());
}
} // namespace

class WorldTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		baseline = rootChildren();
	}

	u32 rootChildren() { return editor->_smgr->getRootSceneNode()->getChildren().getSize(); }

	// Fills the "SkyBox Setup" window and presses "Apply" (or "Ok").
	void applySkyBox(const std::wstring& dir, const std::vector<std::wstring>& faces,
	                 s32 button = ID_SKYBOX_APPLY)
	{
		gui::IGUIEditBox* boxes[6] = {editor->sbw_editboxUp,    editor->sbw_editboxDown,
		                              editor->sbw_editboxLeft,  editor->sbw_editboxRight,
		                              editor->sbw_editboxFront, editor->sbw_editboxBack};
		editor->sbw_editboxDir->setText(dir.c_str());
		for (int i = 0; i < 6; ++i)
			boxes[i]->setText(faces[i].c_str());
		clickButton(button);
	}

	std::vector<std::wstring> mediaFaces() { return {Faces, Faces + 6}; }
	std::wstring mediaDir()
	{
		const std::string face = MediaFile("irrlicht2_up.jpg");
		return Wide(face.substr(0, face.rfind('/') + 1));
	}

	u32 baseline = 0;
	const std::string plane = "samples/ground.obj";
	const std::wstring noMessage = L"0 message boxes";
};

TEST_F(WorldTest, APlaneIsSpreadFlatUnlitAtTheOriginAndKeepsItsTextureOnAFailedLoad)
{
	ASSERT_TRUE(editor->LoadLevelPlane(plane.c_str()));
	EXPECT_EQ(L"Plane Message: The plane is scaled x8. Position is 0,0,0.", answer());
	scene::ISceneNode* node = editor->LevelPlane;
	ASSERT_NE(nullptr, node);
	EXPECT_EQ(editor->_smgr->getRootSceneNode(), node->getParent());
	EXPECT_EQ(-1, node->getID());
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), node->getPosition(), 0.0f);
	EXPECT_VEC_NEAR(core::vector3df(8, 0, 8), node->getScale(), 0.0f);
	ASSERT_GT(node->getMaterialCount(), 0u);
	for (u32 i = 0; i < node->getMaterialCount(); ++i)
		EXPECT_FALSE(node->getMaterial(i).Lighting) << i;

	ASSERT_TRUE(editor->LoadPlaneTexture(MediaFile("wall.jpg").c_str()));
	EXPECT_EQ(noMessage, answer());
	video::ITexture* wall = node->getMaterial(0).getTexture(0);
	ASSERT_NE(nullptr, wall);
	EXPECT_FALSE(editor->LoadPlaneTexture(plane.c_str()));
	EXPECT_EQ(L"Load Skin Error!: Wrong file format or corrupted file.", answer());
	EXPECT_EQ(wall, node->getMaterial(0).getTexture(0));
}

TEST_F(WorldTest, AQuakeLevelLoadsFromItsArchiveAndAsAnExtractedFile)
{
	for (const std::string& file : {LevelArchive(), ExtractedLevel()})
	{
		SCOPED_TRACE(file);
		EXPECT_TRUE(editor->LoadQ3Level(file.c_str()));
		ASSERT_EQ(noMessage, answer());
		scene::IAnimatedMeshSceneNode* level =
		    static_cast<scene::IAnimatedMeshSceneNode*>(editor->Q3LevelNode);
		ASSERT_NE(nullptr, level);
		EXPECT_GT(level->getMesh()->getMesh(0)->getMeshBufferCount(), 10u);
		EXPECT_EQ(-1, level->getID());
		EXPECT_FALSE(level->getMaterial(0).Lighting);
		EXPECT_EQ(baseline + 1, rootChildren()) << "the second level replaces the first";
	}
}

TEST_F(WorldTest, WhatIsNotALevelIsAnsweredAndChangesNothing)
{
	ASSERT_TRUE(editor->LoadQ3Level(LevelArchive().c_str()));
	scene::ISceneNode* level = editor->Q3LevelNode;
	const std::string noLevel = WriteFile("textures.pk3", ReadFile(MediaFile("irrlicht.dat")));
	const struct
	{
		std::string file;
		const wchar_t* text;
	} rows[] = {
	    {noLevel, L"The archive holds no Quake 3 level (maps/*.bsp) that can be loaded."},
	    {"/nonexistent/level.bsp", L"Wrong file format or corrupted file."},
	    {MediaFile("wall.jpg"), L"Wrong file format or corrupted file."},
	};
	for (const auto& row : rows)
	{
		EXPECT_FALSE(editor->LoadQ3Level(row.file.c_str())) << row.file;
		EXPECT_EQ(std::wstring(L"Load Q3 Level Error!: ") + row.text, answer());
		EXPECT_EQ(level, editor->Q3LevelNode);
	}
	EXPECT_EQ(baseline + 1, rootChildren());
}

TEST_F(WorldTest, APlaneIsRefusedWhileALevelIsPresentButNotTheOtherWayRound)
{
	ASSERT_TRUE(editor->LoadLevelPlane(plane.c_str()));
	dismissMessages();
	scene::ISceneNode* first = editor->LevelPlane;
	ASSERT_TRUE(editor->LoadQ3Level(LevelArchive().c_str()));
	EXPECT_EQ(first, editor->LevelPlane);

	EXPECT_FALSE(editor->LoadLevelPlane(plane.c_str()));
	EXPECT_EQ(L"Load Plane Error!: Must delete Q3Mesh or Terain.", answer());
	EXPECT_EQ(first, editor->LevelPlane);
	EXPECT_EQ(baseline + 2, rootChildren());

	editor->DeleteQ3Level();
	EXPECT_EQ(noMessage, answer());
	EXPECT_EQ(nullptr, editor->Q3LevelNode);
	ASSERT_TRUE(editor->LoadLevelPlane(plane.c_str()));
	dismissMessages();
	EXPECT_EQ(baseline + 1, rootChildren()) << "the new plane replaced the first";
	EXPECT_FALSE(editor->LoadLevelPlane("/nonexistent/ground.obj"));
	EXPECT_EQ(L"Load Model Error!: Wrong file format or corrupted file.", answer());
	EXPECT_NE(nullptr, editor->LevelPlane) << "a failed load keeps the plane";

	editor->DeletePlane();
	EXPECT_EQ(noMessage, answer());
	EXPECT_EQ(nullptr, editor->LevelPlane);
	EXPECT_EQ(baseline, rootChildren());
}

TEST_F(WorldTest, ASkyBoxIsBuiltFromSixFacesAndReplacedByTheNextOne)
{
	applySkyBox(mediaDir(), mediaFaces());
	EXPECT_EQ(noMessage, answer());
	scene::ISceneNode* sky = editor->SkyBox;
	ASSERT_NE(nullptr, sky);
	EXPECT_EQ(scene::ESNT_SKY_BOX, sky->getType());
	EXPECT_EQ(-1, sky->getID());
	ASSERT_EQ(6u, sky->getMaterialCount());
	// The engine orders its faces front, left, back, right, top, bottom.
	const int faceOfMaterial[6] = {4, 2, 5, 3, 0, 1};
	for (u32 i = 0; i < 6; ++i)
	{
		video::ITexture* texture = sky->getMaterial(i).getTexture(0);
		ASSERT_NE(nullptr, texture) << i;
		EXPECT_NE(std::string::npos, core::stringc(texture->getName().getPath())
		                                 .find(core::stringc(Faces[faceOfMaterial[i]]).c_str()))
		    << i;
	}

	EXPECT_TRUE(CSceneEditor::SkyBoxWindow->isVisible()) << "\"Apply\" leaves it open";

	std::vector<std::wstring> downTwice = mediaFaces();
	downTwice[0] = Faces[1];
	applySkyBox(mediaDir(), downTwice, ID_SKYBOX_OK);
	EXPECT_FALSE(CSceneEditor::SkyBoxWindow->isVisible()) << "\"Ok\" builds and closes";
	EXPECT_EQ(editor->SkyBox->getMaterial(5).getTexture(0),
	          editor->SkyBox->getMaterial(4).getTexture(0));
	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_SKY_BOX));
	EXPECT_EQ(baseline + 1, rootChildren());
}

TEST_F(WorldTest, SkyBoxNamesAreNeitherCutNorGarbled)
{
	// A face under a long non-ASCII name, in a folder with one too.
	const std::string dir = ScratchDir() + "/sky \u00e4\u00f6/";
	ASSERT_EQ(0, std::system(("mkdir -p '" + dir + "'").c_str()));
	const std::string longName = "a face name longer than thirty bytes \u00fc\u6728.jpg";
	WriteFile("sky \u00e4\u00f6/" + longName, ReadFile(MediaFile("irrlicht2_up.jpg")));
	std::vector<std::wstring> faces(6, L"a face name longer than thirty bytes \u00fc\u6728.jpg");
	applySkyBox(Wide(ScratchDir()) + L"/sky \u00e4\u00f6/", faces);
	EXPECT_EQ(noMessage, answer());
	EXPECT_NE(nullptr, editor->SkyBox);

	const std::wstring error = L"Load SkyBox Error!: Wrong filename or file format.";
	faces[3] = L"broken \xD800 name.jpg"; // a lone surrogate names no file
	applySkyBox(mediaDir(), faces);
	EXPECT_EQ(error, answer());
	applySkyBox(mediaDir(), std::vector<std::wstring>(6, L""));
	EXPECT_EQ(error, answer()) << "empty faces: one box";
	std::vector<std::wstring> oneMissing = mediaFaces();
	oneMissing[5] = L"irrlicht2_missing.jpg";
	applySkyBox(mediaDir(), oneMissing, ID_SKYBOX_OK);
	EXPECT_EQ(error, answer());
	EXPECT_TRUE(CSceneEditor::SkyBoxWindow->isVisible()) << "a failed \"Ok\" keeps the fields";
	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_SKY_BOX)) << "the first one stays";
	applySkyBox(mediaDir(), std::vector<std::wstring>(6, L""), ID_SKYBOX_OK);
	EXPECT_EQ(noMessage, answer()) << "\"Ok\" with no face named only closes";
	EXPECT_FALSE(CSceneEditor::SkyBoxWindow->isVisible());
}

TEST_F(WorldTest, DeletesNeedTheirObjectAndClearRemovesAllWorldGeometry)
{
	ASSERT_TRUE(editor->LoadLevelPlane(plane.c_str()));
	dismissMessages();
	ASSERT_TRUE(editor->LoadQ3Level(LevelArchive().c_str()));
	applySkyBox(mediaDir(), mediaFaces());
	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	EXPECT_EQ(baseline + 4, rootChildren());

	ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR));
	EXPECT_EQ(nullptr, editor->LevelPlane);
	EXPECT_EQ(nullptr, editor->Q3LevelNode);
	EXPECT_EQ(nullptr, editor->SkyBox);
	EXPECT_EQ(baseline, rootChildren());

	clickButton(ID_WORLD_DELETE_PLANE);
	EXPECT_EQ(L"Delete Error: No plane in level. ", answer());
	clickButton(ID_WORLD_DELETE_Q3LEVEL);
	EXPECT_EQ(L"Delete Error: No Q3 Level in scene. ", answer());
	EXPECT_FALSE(editor->LoadPlaneTexture(MediaFile("wall.jpg").c_str()));
	EXPECT_EQ(L"Load Skin Error!: No plane in level. Texture could not be loaded. ", answer());
}
