// Undo and redo: every kind of step, taken back and brought back, compared
// in full; one step per held key and per edited field; the keys.
#include "EditorTestSupport.h"

#include <functional>

#include "EditorIds.h"

class UndoTest : public EditorTest
{
protected:
	std::string exported()
	{
		editor->sow_editboxDir->setText(core::stringw((ScratchDir() + "/").c_str()).c_str());
		EXPECT_TRUE(editor->SaveLevel());
		dismissMessages();
		return ReadFile(ScratchDir() + "/Level.cpp");
	}
};

TEST_F(UndoTest, EveryKindOfStepIsTakenBackAndBroughtBackExactly)
{
	const std::string mesh = MediaFile("sydney.md2"), wall = MediaFile("wall.jpg");
	const std::string scene = ScratchDir() + "/scene.irr";
	ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	frame();
	const std::string face = MediaFile("irrlicht2_up.jpg");
	const struct
	{
		const char* step;
		std::function<void()> act;
	} steps[] = {
	    {"add a model",
	     [&]
	     {
		     ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
		     chooseFile(FixtureCopy("faerie.md2"));
	     }},
	    {"move the marker", [&] { holdKeys({KEY_NUMPAD8}, 7); }},
	    {"turn the marker", [&] { holdKeys({KEY_NUMPAD4}, 5); }},
	    {"move the model",
	     [&]
	     {
		     editor->Select(editor->Model[3]);
		     holdKeys({KEY_UP}, 6);
	     }},
	    {"raise the model",
	     [&] {
		     holdKeys({KEY_CONTROL, KEY_UP}, 4);
	     }},
	    {"choose a material", [&] { editor->mpw_render_type->setSelected(12); }},
	    {"tick fog", [&] { editor->mpw_fogbox->setChecked(true); }},
	    {"drag a scale bar", [&] { editor->mpw_scaleY->setPos(4); }},
	    {"rename", [&] { editor->mpw_boxFileName->setText(L"models/renamed.md2"); }},
	    {"load a texture", [&] { ASSERT_TRUE(editor->LoadModelSkin(wall.c_str())); }},
	    {"load a second texture", [&] { ASSERT_TRUE(editor->LoadModelSkin2(wall.c_str())); }},
	    {"remove the model", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE)); }},
	    {"load a plane", [&] { ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj")); }},
	    {"texture the plane", [&] { ASSERT_TRUE(editor->LoadPlaneTexture(wall.c_str())); }},
	    {"delete the plane", [&] { clickButton(ID_WORLD_DELETE_PLANE); }},
	    {"load a terrain", [&] { ASSERT_TRUE(editor->LoadTerrain("samples/valley.png")); }},
	    {"texture the terrain", [&] { ASSERT_TRUE(editor->LoadTerrainTexture(wall.c_str())); }},
	    {"load a level",
	     [&] { ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str())); }},
	    {"delete the level", [&] { clickButton(ID_WORLD_DELETE_Q3LEVEL); }},
	    {"build a sky box",
	     [&]
	     {
		     editor->sbw_editboxDir->setText(
		         core::stringw(face.substr(0, face.rfind('/') + 1).c_str()).c_str());
		     gui::IGUIEditBox* boxes[] = {editor->sbw_editboxUp,    editor->sbw_editboxDown,
		                                  editor->sbw_editboxLeft,  editor->sbw_editboxRight,
		                                  editor->sbw_editboxFront, editor->sbw_editboxBack};
		     const wchar_t* names[] = {L"irrlicht2_up.jpg", L"irrlicht2_dn.jpg",
		                               L"irrlicht2_lf.jpg", L"irrlicht2_rt.jpg",
		                               L"irrlicht2_ft.jpg", L"irrlicht2_bk.jpg"};
		     for (int i = 0; i < 6; ++i)
			     boxes[i]->setText(names[i]);
		     clickButton(ID_SKYBOX_APPLY);
	     }},
	    {"build another sky box",
	     [&]
	     {
		     editor->sbw_editboxUp->setText(L"irrlicht2_dn.jpg");
		     clickButton(ID_SKYBOX_APPLY);
	     }},
	    {"drag a colour bar", [&] { editor->spw_refresh_greenbar->setPos(90); }},
	    {"add water", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_ADD_WATER)); }},
	    {"texture the water",
	     [&]
	     {
		     editor->Select(editor->Water);
		     ASSERT_TRUE(editor->LoadWaterTexture1(wall.c_str()));
	     }},
	    {"move the water", [&] { holdKeys({KEY_UP}, 3); }},
	    {"drag a wave bar",
	     [&]
	     {
		     gui::IGUIElement* bar =
		         FindElement(CSceneEditor::WaterPropertiesWindow, gui::EGUIET_SCROLL_BAR);
		     static_cast<gui::IGUIScrollBar*>(bar)->setPos(40);
	     }},
	    {"clear", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR)); }},
	    {"open a scene", [&] { ASSERT_TRUE(editor->OpenScene(scene.c_str())); }},
	};
	for (const auto& row : steps)
	{
		SCOPED_TRACE(row.step);
		if (std::string(row.step) == "clear")
		{
			// The scene "open a scene" brings back, saved before the clear.
			ASSERT_TRUE(editor->SaveScene(scene.c_str()));
			dismissMessages();
		}
		const std::string before = DescribeScene(editor), beforeExport = exported();
		row.act();
		dismissMessages();
		frame();
		const std::string after = DescribeScene(editor);
		ASSERT_NE(before, after);
		ASSERT_TRUE(editor->Undo());
		frame();
		EXPECT_EQ(before, DescribeScene(editor));
		EXPECT_EQ(beforeExport, exported());
		ASSERT_TRUE(editor->Redo());
		frame();
		EXPECT_EQ(after, DescribeScene(editor));
		EXPECT_FALSE(editor->Redo()) << "one step, redone";
	}
}

TEST_F(UndoTest, KeysUndoAndRedoAndANewChangeDropsWhatWasTakenBack)
{
	EXPECT_FALSE(editor->Undo()) << "nothing to take back";
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	frame();
	const std::string placed = DescribeScene(editor);
	ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE));
	frame();
	postKey(KEY_KEY_Z, true, L'z', true);
	postKey(KEY_KEY_Z, false, L'z', true);
	frame();
	EXPECT_EQ(placed, DescribeScene(editor)) << "Control+Z brings the crate back";
	postKey(KEY_KEY_Y, true, L'y', true);
	postKey(KEY_KEY_Y, false, L'y', true);
	frame();
	EXPECT_EQ(nullptr, editor->Model[1]->AnimatedNode) << "Control+Y removes it again";

	// Typing a name is one step until another field is touched.
	ASSERT_TRUE(editor->Undo());
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	click(editor->mpw_boxFileName);
	pressKey(KEY_END);
	typeText(L"abc");
	frame();
	click(editor->mpw_boxTexture);
	typeText(L"xyz");
	frame();
	click(editor->mpw_boxFileName->getParent());
	frame();
	ASSERT_TRUE(editor->Undo());
	EXPECT_STREQ(L"samples/crate.objabc", editor->Model[1]->FileName.c_str());
	EXPECT_STREQ(L"", editor->Model[1]->TextureName.c_str());
	EXPECT_STREQ(L"", editor->mpw_boxTexture->getText()) << "the window follows";
	ASSERT_TRUE(editor->Undo());
	EXPECT_STREQ(L"samples/crate.obj", editor->Model[1]->FileName.c_str());

	// A new change after undoing leaves nothing to redo.
	holdKeys({KEY_NUMPAD8}, 3);
	EXPECT_FALSE(editor->Redo());
}
