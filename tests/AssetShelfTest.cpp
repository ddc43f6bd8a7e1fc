// "View", "Assets": a folder's models and images listed as pictures, made a
// few a pass and kept by name, size and time; a double click adds or
// applies, a drag drops a model on the surface under the cursor.
#include "EditorTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "EditorIds.h"

class AssetShelfTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		folder = ScratchDir() + "/assets/";
		mkdir(folder.c_str(), 0700);
		for (const char* name : {"crate.obj", "crate.mtl", "crate.jpg", "ground.bmp", "valley.png"})
			WriteFile("assets/" + std::string(name),
			          ReadFile(std::string(TOLVANE_SOURCE_DIR) + "/samples/" + name));
		WriteFile("assets/notes.txt", "not an asset");
		// Opened from the menu, the folder typed into its field.
		ASSERT_TRUE(chooseMenu(ID_MENU_ASSETS));
		editor->_gui->setFocus(editor->Shelf.FolderBox);
		editor->Shelf.FolderBox->setText(L"");
		typeText(std::wstring(folder.begin(), folder.end()).c_str());
		pressKey(KEY_RETURN, L'\r');
	}
	// Passes of the main loop until the shelf asks for no more frames.
	int passesUntilMade()
	{
		int passes = 0;
		while (editor->Shelf.Pending() && passes < 100)
		{
			editor->Update();
			editor->Render();
			++passes;
		}
		return passes;
	}
	// The middle of a listed file's name under its picture.
	core::position2di cellOf(const wchar_t* name)
	{
		for (gui::IGUIElement* child : editor->Shelf.Window->getChildren())
			if (child->getType() == gui::EGUIET_STATIC_TEXT &&
			    std::wstring(child->getText()) == name)
				return child->getAbsolutePosition().getCenter();
		ADD_FAILURE() << "no cell for " << core::stringc(name).c_str();
		return core::position2di(0, 0);
	}
	std::string folder;
};

TEST_F(AssetShelfTest, ListsModelsAndImagesAndMakesTheirPicturesAFewAPass)
{
	const std::vector<CAssetShelf::SEntry>& listed = editor->Shelf.Entries();
	const std::pair<const wchar_t*, bool> expected[] = {{L"crate.jpg", false},
	                                                    {L"crate.obj", true},
	                                                    {L"ground.bmp", false},
	                                                    {L"valley.png", false}};
	ASSERT_EQ(4u, listed.size()) << "no .mtl, no .txt";
	for (size_t i = 0; i < listed.size(); ++i)
	{
		EXPECT_EQ(expected[i].first, listed[i].Name);
		EXPECT_EQ(expected[i].second, listed[i].Model) << i;
	}
	editor->Update();
	EXPECT_EQ(size_t(CAssetShelf::PICTURES_PER_PASS), editor->Shelf.PicturesMade());
	EXPECT_TRUE(editor->FrameNeeded()) << "pictures still to be made ask for frames";
	EXPECT_GE(passesUntilMade(), 1);
	EXPECT_EQ(4u, editor->Shelf.PicturesMade());
	// The null driver draws into no texture: the crate is its name alone.
	EXPECT_EQ(nullptr, editor->Shelf.PictureOf(1));
	for (size_t image : {0, 2, 3})
		EXPECT_NE(nullptr, editor->Shelf.PictureOf(image)) << image;
	// At rest once every picture is made.
	int passes = 0;
	for (editor->Update(); editor->FrameNeeded() && passes < 10; editor->Update(), ++passes)
		editor->Render();
	EXPECT_LT(passes, 10);

	// Shown again, nothing is made again; a file changed gets a new picture.
	editor->Shelf.ShowFolder(folder);
	EXPECT_EQ(0u, editor->Shelf.Pending());
	const timespec times[2] = {{0, UTIME_NOW}, {12345, 0}};
	ASSERT_EQ(0, utimensat(AT_FDCWD, (folder + "valley.png").c_str(), times, 0));
	editor->Shelf.ShowFolder(folder);
	EXPECT_EQ(1u, editor->Shelf.Pending());
	passesUntilMade();
	EXPECT_EQ(5u, editor->Shelf.PicturesMade());
}

TEST_F(AssetShelfTest, FolderButtonChoosesTheFolderShown)
{
	editor->Shelf.ShowFolder("/nowhere");
	ASSERT_TRUE(editor->Shelf.Entries().empty());
	clickButton(ID_ASSETS_BROWSE);
	typeDialogFolder(folder);
	ASSERT_TRUE(clickDialogButton(L"OK"));
	EXPECT_EQ(nullptr, openDialog());
	EXPECT_EQ(std::wstring(folder.begin(), folder.end()), editor->Shelf.FolderBox->getText());
	EXPECT_EQ(4u, editor->Shelf.Entries().size());
}

TEST_F(AssetShelfTest, DoubleClickAddsAModelAtTheMarkerAndAppliesAnImage)
{
	passesUntilMade();
	const core::position2di crate = cellOf(L"crate.obj");
	mouseEvent(EMIE_LMOUSE_DOUBLE_CLICK, crate.X, crate.Y, 0);
	ASSERT_NE(nullptr, editor->SelectedModel);
	EXPECT_NE(std::string::npos, editor->Document.Object(1)->Mesh.find("crate.obj"));
	EXPECT_VEC_NEAR(editor->Positioner->getPosition(), editor->SelectedModel->getPosition(),
	                0.001f);

	const core::position2di valley = cellOf(L"valley.png");
	mouseEvent(EMIE_LMOUSE_DOUBLE_CLICK, valley.X, valley.Y, 0);
	video::ITexture* skin = editor->SelectedModel->AnimatedNode->getMaterial(0).getTexture(0);
	ASSERT_NE(nullptr, skin);
	EXPECT_NE(std::string::npos, std::string(skin->getName().getPath().c_str()).find("valley.png"));
	EXPECT_TRUE(messages().empty());
}

TEST_F(AssetShelfTest, AModelDraggedOntoTheViewStandsOnTheSurfaceUnderTheCursor)
{
	ASSERT_TRUE(editor->LoadLevelPlane(TOLVANE_SOURCE_DIR "/samples/ground.obj"));
	dismissMessages(); // what the plane's loading says
	editor->View.ViewGround(editor->LevelPlane);
	passesUntilMade();
	editor->Update();
	editor->Render(); // the camera's view follows it
	// Where the marker stands on the ground, the shelf moved out of the way.
	editor->Shelf.Window->setRelativePosition(core::position2di(500, 300));
	const core::position2di drop =
	    editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
	        editor->Positioner->getPosition(), editor->Camera);
	const core::line3df ray =
	    editor->_smgr->getSceneCollisionManager()->getRayFromScreenCoordinates(drop,
	                                                                           editor->Camera);
	const f32 distance = editor->SurfaceDistance(ray);
	ASSERT_GT(distance, 0) << "the ground is under the cursor";
	const core::vector3df ground = ray.start + ray.getVector().normalize() * distance;

	const core::position2di crate = cellOf(L"crate.obj");
	mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, crate.X, crate.Y, EMBSM_LEFT);
	mouseEvent(EMIE_MOUSE_MOVED, 300, 300, EMBSM_LEFT);
	mouseEvent(EMIE_MOUSE_MOVED, drop.X, drop.Y, EMBSM_LEFT);
	mouseEvent(EMIE_LMOUSE_LEFT_UP, drop.X, drop.Y, 0);
	ASSERT_NE(nullptr, editor->SelectedModel);
	editor->SelectedModel->AnimatedNode->updateAbsolutePosition();
	const core::aabbox3df box = editor->SelectedModel->AnimatedNode->getTransformedBoundingBox();
	EXPECT_VEC_NEAR(ground, core::vector3df(box.getCenter().X, box.MinEdge.Y, box.getCenter().Z),
	                0.01f);
	editor->Update();
	EXPECT_TRUE(editor->Undo());
	EXPECT_EQ(nullptr, editor->Document.Object(1)) << "added and placed in one step";
}
