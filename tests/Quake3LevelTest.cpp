// Quake 3 levels laid out as real games ship them (a maps archive beside a
// textures archive, extracted trees, archives holding several levels or
// levels of the same name), all made from the engine's sample level.
#include "EditorTestSupport.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>

#include "EditorIds.h"

namespace
{
void Shell(const std::string& command)
{
	ASSERT_EQ(0, std::system(command.c_str())) << command;
}

// The sample level unpacked once per test, and the layouts built from it.
std::string Tree()
{
	const std::string tree = ScratchDir() + "/tree";
	if (!std::filesystem::exists(tree))
		Shell("mkdir -p '" + tree + "' && unzip -o -q '" + MediaFile("map-20kdm2.pk3") + "' -d '" +
		      tree + "'");
	return tree;
}

// A new archive `to` of the tree's entries `what` (names inside the tree).
std::string Pack(const std::string& to, const std::string& what)
{
	Shell("mkdir -p \"$(dirname '" + to + "')\" && cd '" + Tree() + "' && zip -q -r '" + to + "' " +
	      what);
	return to;
}

// The sample level with each vertex (its 44 bytes, with its number) changed
// by `edit`: another level.
std::string EditedLevel(const std::string& to, const std::function<void(char*, int)>& edit)
{
	std::string bsp = ReadFile(Tree() + "/maps/20kdm2.bsp");
	int32_t lump[2];
	std::memcpy(lump, &bsp[8 + 10 * 8], sizeof lump); // lump 10: vertices
	for (int32_t at = lump[0]; at + 44 <= lump[0] + lump[1]; at += 44)
		edit(&bsp[at], (at - lump[0]) / 44);
	Shell("mkdir -p \"$(dirname '" + to + "')\"");
	std::ofstream(to, std::ios::binary) << bsp;
	return to;
}

// Every vertex moved along X.
std::string ShiftedLevel(const std::string& to, f32 shift)
{
	return EditedLevel(to,
	                   [shift](char* vertex, int)
	                   {
		                   f32 x;
		                   std::memcpy(&x, vertex, 4);
		                   x += shift;
		                   std::memcpy(vertex, &x, 4);
	                   });
}

// What level compilers leave on some surfaces: lightmap coordinates (at
// byte 20) and normals (at 28) that are no numbers.
std::string UnnumberedLevel(const std::string& to)
{
	const f32 nan = std::nanf("");
	return EditedLevel(to,
	                   [nan](char* vertex, int number)
	                   {
		                   for (int at : {20, 24})
			                   if (number % 7 == 0)
				                   std::memcpy(vertex + at, &nan, 4);
		                   if (number % 11 == 0)
			                   std::memcpy(vertex + 28, &nan, 4);
	                   });
}

const wchar_t* const NoSurfaces =
    L"Load Q3 Level Error!: The level has no surfaces to draw. Are its textures missing?";
} // namespace

class Quake3LevelTest : public EditorTest
{
protected:
	scene::IAnimatedMeshSceneNode* level()
	{
		return static_cast<scene::IAnimatedMeshSceneNode*>(editor->Q3LevelNode);
	}
	u32 archivesMounted() { return editor->_device->getFileSystem()->getFileArchiveCount(); }
	const std::string base = ScratchDir();
};

TEST_F(Quake3LevelTest, ALevelFindsItsTexturesWhereAGameKeepsThem)
{
	const std::string split = Pack(base + "/split/map-maps.pk3", "maps");
	Pack(base + "/split/map-textures.pk3", "textures scripts models");
	const std::string alone = Pack(base + "/alone/map-maps.pk3", "maps");
	Shell("mkdir -p " + base + "/mapsonly/MAPS && cp " + Tree() + "/maps/20kdm2.bsp " + base +
	      "/mapsonly/MAPS/");
	Pack(base + "/mapsonly/textures.pk3", "textures scripts");
	Pack(base + "/unnumbered/textures.pk3", "textures scripts");
	const struct
	{
		std::string file;
		const wchar_t* answer;
	} rows[] = {
	    {split, L"0 message boxes"},
	    {Tree() + "/maps/20kdm2.bsp", L"0 message boxes"},
	    {base + "/mapsonly/MAPS/20kdm2.bsp", L"0 message boxes"},
	    {UnnumberedLevel(base + "/unnumbered/maps/20kdm2.bsp"), L"0 message boxes"},
	    {alone, NoSurfaces},
	    {ShiftedLevel(base + "/loose/20kdm2.bsp", 0), NoSurfaces},
	};
	for (const auto& row : rows)
	{
		SCOPED_TRACE(row.file);
		scene::ISceneNode* before = editor->Q3LevelNode;
		const bool loaded = editor->LoadQ3Level(row.file.c_str());
		EXPECT_EQ(row.answer, answer());
		EXPECT_EQ(0u, archivesMounted()) << "nothing stays mounted after a load";
		if (!loaded)
		{
			EXPECT_EQ(before, editor->Q3LevelNode) << "a refused level keeps the old one";
			continue;
		}
		ASSERT_NE(nullptr, level());
		scene::IMesh* mesh = level()->getMesh()->getMesh(0);
		EXPECT_GT(mesh->getMeshBufferCount(), 10u);
		for (u32 i = 0; i < mesh->getMeshBufferCount(); ++i)
		{
			const auto* v =
			    static_cast<const video::S3DVertex2TCoords*>(mesh->getMeshBuffer(i)->getVertices());
			for (u32 k = 0; k < mesh->getMeshBuffer(i)->getVertexCount(); ++k)
				ASSERT_TRUE(std::isfinite(v[k].Normal.Y + v[k].TCoords2.X + v[k].TCoords2.Y))
				    << "what is no number is drawn as 0";
		}
	}
}

TEST_F(Quake3LevelTest, AnArchiveOfSeveralLevelsLetsTheUserChoose)
{
	ShiftedLevel(Tree() + "/maps/Arena.bsp", 5000);
	ShiftedLevel(Tree() + "/stray.bsp", 0);
	const std::string archive = Pack(base + "/two/levels.pk3", "maps textures scripts stray.bsp");
	gui::IGUIElement* root = editor->_gui->getRootGUIElement();
	gui::IGUIListBox* list = static_cast<gui::IGUIListBox*>(
	    FindElement(root, gui::EGUIET_LIST_BOX, ID_LEVEL_CHOOSER_LIST));
	ASSERT_NE(nullptr, list);

	EXPECT_FALSE(editor->LoadQ3Level(archive.c_str())) << "nothing is loaded before the choice";
	EXPECT_EQ(L"0 message boxes", answer());
	ASSERT_TRUE(list->getParent()->isVisible());
	EXPECT_STREQ(L"Choose a Level", list->getParent()->getText());
	ASSERT_EQ(2u, list->getItemCount());
	EXPECT_STREQ(L"20kdm2", list->getListItem(0));
	EXPECT_STREQ(L"arena", list->getListItem(1));

	clickButton(ID_LEVEL_CHOOSER_CANCEL);
	EXPECT_FALSE(list->getParent()->isVisible());
	EXPECT_EQ(nullptr, editor->Q3LevelNode);

	editor->LoadQ3Level(archive.c_str());
	list->setSelected(1);
	clickButton(ID_LEVEL_CHOOSER_OK);
	EXPECT_EQ(L"0 message boxes", answer());
	ASSERT_NE(nullptr, level());
	const f32 arenaX = level()->getTransformedBoundingBox().getCenter().X;

	ASSERT_TRUE(editor->LoadQ3LevelFromArchive(archive.c_str(), "20kdm2"));
	EXPECT_GT(arenaX - level()->getTransformedBoundingBox().getCenter().X, 1000.0f)
	    << "the other level is shown";
	EXPECT_FALSE(editor->LoadQ3LevelFromArchive(archive.c_str(), "stray"));
	EXPECT_EQ(L"Load Q3 Level Error!: Wrong file format or corrupted file.", answer());
}

TEST_F(Quake3LevelTest, LevelsOfTheSameNameInTwoArchivesAreEachTheirOwn)
{
	ShiftedLevel(base + "/v2/maps/mymap.bsp", 20000);
	Shell("mkdir -p " + base + "/v1/maps && cp " + Tree() + "/maps/20kdm2.bsp " + base +
	      "/v1/maps/mymap.bsp");
	Shell("cd " + base +
	      "/v1 && zip -q -r ../mymap_v1.pk3 maps && cd ../v2 && zip -q -r "
	      "../mymap_v2.pk3 maps");
	Pack(base + "/textures.pk3", "textures scripts");
	ASSERT_TRUE(editor->LoadQ3Level((base + "/mymap_v1.pk3").c_str()));
	const core::aabbox3df first = level()->getTransformedBoundingBox();
	ASSERT_TRUE(editor->LoadQ3Level((base + "/mymap_v2.pk3").c_str()));
	const core::aabbox3df second = level()->getTransformedBoundingBox();
	EXPECT_GT(second.getCenter().X - first.getCenter().X, 5000.0f) << "the second level is shown";
	EXPECT_GE(editor->Camera->getFarValue(), second.getExtent().getLength())
	    << "the far plane reaches across the whole level";
}

TEST_F(Quake3LevelTest, AFileChosenByItsPathIsNeverReadFromALevelArchive)
{
	// The archive holds textures/e7/e7bigwall.jpg; the user's file of that
	// name is another image.
	const std::string own = base + "/mine/e7bigwall.jpg";
	Shell("mkdir -p " + base + "/mine && cp " + MediaFile("wall.jpg") + " " + own);
	ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str()));
	placeModel(1);
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(editor->LoadModelSkin(own.c_str()));
	video::ITexture* wall = editor->_driver->getTexture(MediaFile("wall.jpg").c_str());
	EXPECT_EQ(wall->getOriginalSize(),
	          editor->Model[1]->AnimatedNode->getMaterial(0).getTexture(0)->getOriginalSize());
}
