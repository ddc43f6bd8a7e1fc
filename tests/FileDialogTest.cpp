// Files chosen in the real file-open dialog reach the operation that opened
// it, and browsing in the dialog does not move the editor's working folder.
#include "EditorTestSupport.h"

#include <functional>
#include <unistd.h>

#include "EditorIds.h"

namespace
{
std::string WorkingDirectory()
{
	char buffer[4096];
	return getcwd(buffer, sizeof(buffer)) ? buffer : "";
}
} // namespace

class FileDialogTest : public EditorTest
{
};

TEST_F(FileDialogTest, EachDialogHandsItsFileToItsOperation)
{
	const std::string mesh = FixtureCopy("sydney.md2");
	const std::string texture = FixtureCopy("wall.jpg");
	const std::string texture2 = FixtureCopy("water.jpg");
	CModel* model = nullptr;
	struct Row
	{
		bool menu;
		s32 opener;
		const wchar_t* title;
		int loadType;
		std::string file;
		std::function<bool()> happened;
	};
	auto layer = [](scene::ISceneNode* node, u32 layer)
	{ return node ? node->getMaterial(0).getTexture(layer) : nullptr; };
	const Row rows[] = {
	    {true, ID_MENU_ADD_MODEL, L"Select a Model", 1, mesh,
	     [&] { return (model = editor->Model[1]) && model->AnimatedNode; }},
	    {false, ID_MODEL_LOAD_SKIN1, L"Select a Texture", 5, texture,
	     [&] { return layer(model->AnimatedNode, 0) != nullptr; }},
	    {false, ID_MODEL_LOAD_SKIN2, L"Select a Texture", 6, texture2,
	     [&] { return layer(model->AnimatedNode, 1) != nullptr; }},
	    {false, ID_WORLD_LOAD_PLANE, L"Select a Plane", 3, mesh,
	     [&] { return editor->LevelPlane != nullptr; }},
	    {false, ID_WORLD_PLANE_TEXTURE, L"Select a Texture", 4, texture,
	     [&] { return layer(editor->LevelPlane, 0) != nullptr; }},
	    {false, ID_WATER_LOAD_SKIN1, L"Select a Texture", 8, texture,
	     [&]
	     {
		     return layer(editor->Water->Node, 0) &&
		            layer(editor->Water->Node, 0) == layer(model->AnimatedNode, 0);
	     }},
	    {false, ID_WATER_LOAD_SKIN2, L"Select a Texture", 9, texture2,
	     [&] { return layer(editor->Water->Node, 1) != nullptr; }},
	    {false, ID_WORLD_LOAD_Q3LEVEL, L"Select BSP Level", 7, FixtureCopy("map-20kdm2.pk3"),
	     [&] { return editor->Q3LevelNode != nullptr; }},
	};
	const std::string cwd = WorkingDirectory();
	for (const Row& row : rows)
	{
		SCOPED_TRACE(row.loadType);
		if (row.loadType == 8)
			editor->CreateNewWater(); // the water window acts on a selected surface
		if (row.loadType == 3)
			editor->Select(model);
		if (row.menu)
			ASSERT_TRUE(chooseMenu(row.opener));
		else
			clickButton(row.opener);
		gui::IGUIFileOpenDialog* dialog = openDialog();
		ASSERT_NE(nullptr, dialog);
		EXPECT_STREQ(row.title, dialog->getText());
		EXPECT_EQ(row.loadType, LOAD_TYPE);
		ASSERT_TRUE(chooseFile(row.file));
		EXPECT_TRUE(row.happened());
		EXPECT_EQ(cwd, WorkingDirectory()) << "the dialog's folder changes are undone";
		dismissMessages();
		editor->Update();
		EXPECT_EQ(nullptr, openDialog());
	}
}

TEST_F(FileDialogTest, CancellingKeepsTheLoadTypeAndTheWorkingFolder)
{
	const std::string cwd = WorkingDirectory();
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
	ASSERT_NE(nullptr, typeDialogFolder("/tmp"));
	EXPECT_EQ("/tmp", WorkingDirectory()) << "typing a folder in the path field browses";
	ASSERT_TRUE(clickDialogButton(L"Cancel"));
	EXPECT_EQ(cwd, WorkingDirectory());
	EXPECT_EQ(LOAD_MODEL, LOAD_TYPE);
	EXPECT_EQ(0, editor->current_model);
}

TEST_F(FileDialogTest, ATypedFilePathIsChosenAndNamesTheModelAndItsTexture)
{
	const std::string crate = std::string(TOLVANE_SOURCE_DIR) + "/samples/crate.obj";
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
	ASSERT_NE(nullptr, typeDialogFolder(crate)) << "typed, then Return";
	EXPECT_EQ(nullptr, openDialog());
	ASSERT_NE(nullptr, editor->Model[1]);
	ASSERT_NE(nullptr, editor->Model[1]->AnimatedNode);
	EXPECT_EQ(std::wstring(crate.begin(), crate.end()), editor->mpw_boxFileName->getText());

	const std::string wall = MediaFile("wall.jpg");
	ASSERT_TRUE(editor->LoadModelSkin(wall.c_str()));
	editor->Update();
	EXPECT_EQ(std::wstring(wall.begin(), wall.end()), editor->mpw_boxTexture->getText());
	EXPECT_STREQ(editor->mpw_boxTexture->getText(), editor->Model[1]->TextureName.c_str());
	EXPECT_EQ(std::wstring(crate.begin(), crate.end()), editor->Model[1]->FileName.c_str());
}
