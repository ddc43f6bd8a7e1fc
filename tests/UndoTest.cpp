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
		//! How "Edit" names the step.
		const wchar_t* what;
	} steps[] = {
	    {"add a model",
	     [&]
	     {
		     ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
		     chooseFile(FixtureCopy("faerie.md2"));
	     },
	     L"Add faerie.md2"},
	    {"move the marker", [&] { holdKeys({KEY_NUMPAD8}, 7); }, L"Move marker"},
	    {"turn the marker", [&] { holdKeys({KEY_NUMPAD4}, 5); }, L"Turn marker"},
	    {"move the model",
	     [&]
	     {
		     editor->Select(editor->Model[3]);
		     holdKeys({KEY_UP}, 6);
	     },
	     L"Move faerie.md2"},
	    {"raise the model",
	     [&] {
		     holdKeys({KEY_CONTROL, KEY_UP}, 4);
	     },
	     L"Move faerie.md2"},
	    {"choose a material", [&] { editor->mpw_render_type->setSelected(12); }, L"Set Material"},
	    {"tick fog", [&] { editor->mpw_fogbox->setChecked(true); }, L"Set Fog"},
	    {"drag a scale bar", [&] { editor->mpw_scaleY->setPos(4); }, L"Scale faerie.md2"},
	    {"rename", [&] { editor->mpw_boxFileName->setText(L"models/renamed.md2"); },
	     L"Set File name"},
	    {"load a texture", [&] { ASSERT_TRUE(editor->LoadModelSkin(wall.c_str())); },
	     L"Texture faerie.md2"},
	    {"load a second texture", [&] { ASSERT_TRUE(editor->LoadModelSkin2(wall.c_str())); },
	     L"Texture faerie.md2"},
	    {"remove the model", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE)); },
	     L"Remove faerie.md2"},
	    {"load a plane", [&] { ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj")); },
	     L"Load Plane"},
	    {"texture the plane", [&] { ASSERT_TRUE(editor->LoadPlaneTexture(wall.c_str())); },
	     L"Set Plane texture"},
	    {"delete the plane", [&] { clickButton(ID_WORLD_DELETE_PLANE); }, L"Delete Plane"},
	    {"load a terrain", [&] { ASSERT_TRUE(editor->LoadTerrain("samples/valley.png")); },
	     L"Load Terrain"},
	    {"texture the terrain", [&] { ASSERT_TRUE(editor->LoadTerrainTexture(wall.c_str())); },
	     L"Set Terrain texture"},
	    {"hide the crate",
	     [&]
	     {
		     editor->Select(editor->Model[2]);
		     pressKey(KEY_KEY_H, L'h');
	     },
	     L"Hide crate.obj"},
	    {"lock it in Scene Objects",
	     [&]
	     {
		     ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS));
		     frame();
		     click(editor->ObjectList.LockButton);
	     },
	     L"Lock crate.obj"},
	    {"show all",
	     [&]
	     {
		     postKey(KEY_KEY_H, true, L'H', false, true);
		     postKey(KEY_KEY_H, false, L'H', false, true);
	     },
	     L"Show all"},
	    {"load a level",
	     [&] { ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str())); },
	     L"Load Level"},
	    {"delete the level", [&] { clickButton(ID_WORLD_DELETE_Q3LEVEL); }, L"Delete Level"},
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
	     },
	     L"Build SkyBox"},
	    {"build another sky box",
	     [&]
	     {
		     editor->sbw_editboxUp->setText(L"irrlicht2_dn.jpg");
		     clickButton(ID_SKYBOX_APPLY);
	     },
	     L"Build SkyBox"},
	    {"drag a colour bar", [&] { editor->spw_refresh_greenbar->setPos(90); },
	     L"Set Scene colour"},
	    {"add water", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_ADD_WATER)); }, L"Add water"},
	    {"texture the water",
	     [&]
	     {
		     editor->Select(editor->Water);
		     ASSERT_TRUE(editor->LoadWaterTexture1(wall.c_str()));
	     },
	     L"Texture water"},
	    {"move the water", [&] { holdKeys({KEY_UP}, 3); }, L"Move water"},
	    {"drag a wave bar",
	     [&]
	     {
		     gui::IGUIElement* bar =
		         FindElement(CSceneEditor::WaterPropertiesWindow, gui::EGUIET_SCROLL_BAR);
		     static_cast<gui::IGUIScrollBar*>(bar)->setPos(40);
	     },
	     L"Set Wave height"},
	    {"clear", [&] { ASSERT_TRUE(chooseMenu(ID_MENU_CLEAR)); }, L"Clear"},
	    {"open a scene", [&] { ASSERT_TRUE(editor->OpenScene(scene.c_str())); }, L"Open scene.irr"},
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
		EXPECT_EQ(L"Undo " + std::wstring(row.what), editor->EditMenu->getItemText(0));
		ASSERT_TRUE(editor->Undo());
		frame();
		EXPECT_EQ(L"Redo " + std::wstring(row.what), editor->EditMenu->getItemText(1));
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

TEST_F(UndoTest, EscapeDuringAHeldKeyTakesTheHoldBackAndEditNamesWhatIsLeft)
{
	gui::IGUIContextMenu* edit = editor->EditMenu;
	EXPECT_STREQ(L"Undo", edit->getItemText(0));
	EXPECT_FALSE(edit->isItemEnabled(0)) << "nothing to take back";
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	frame();
	editor->Select(editor->Model[1]);
	const core::vector3df start = editor->Model[1]->getPosition();
	postKey(KEY_UP, true);
	runFor(0.3);
	ASSERT_NE(start, editor->Model[1]->getPosition()) << "the held key moves the crate";
	postKey(KEY_ESCAPE, true);
	postKey(KEY_ESCAPE, false);
	runFor(0.3);
	EXPECT_EQ(start, editor->Model[1]->getPosition()) << "back, and the key moves it no more";
	postKey(KEY_UP, false);
	frame();
	EXPECT_EQ(editor->Model[1], editor->SelectedModel) << "Escape took the hold back only";
	EXPECT_EQ(start, editor->Model[1]->getPosition());
	EXPECT_STREQ(L"Undo Add crate.obj", edit->getItemText(0)) << "the hold left no step";
	EXPECT_TRUE(edit->isItemEnabled(0));
	EXPECT_STREQ(L"Redo", edit->getItemText(1));
	EXPECT_FALSE(edit->isItemEnabled(1));
	ASSERT_TRUE(chooseMenu(ID_MENU_UNDO));
	EXPECT_EQ(nullptr, editor->Model[1]->AnimatedNode) << "\"Undo Add crate.obj\" removes it";
	EXPECT_STREQ(L"Redo Add crate.obj", edit->getItemText(1));
	EXPECT_TRUE(edit->isItemEnabled(1));
	ASSERT_TRUE(chooseMenu(ID_MENU_REDO));
	EXPECT_NE(nullptr, editor->Model[1]->AnimatedNode);
}

TEST_F(UndoTest, EscapeTakesBackATypedNameAndADraggedBarAndLeavesNoStep)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	frame();
	editor->Select(editor->Model[1]);
	const core::stringw name = editor->Document.Object(1)->FileName;
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	click(editor->mpw_boxFileName);
	pressKey(KEY_END);
	typeText(L"x");
	frame();
	ASSERT_EQ(name + L"x", editor->Document.Object(1)->FileName) << "each key reaches the record";
	pressKey(KEY_ESCAPE);
	frame();
	EXPECT_EQ(name, editor->Document.Object(1)->FileName);
	EXPECT_EQ(name, core::stringw(editor->mpw_boxFileName->getText())) << "the field shows it";
	EXPECT_EQ(name, editor->Model[1]->FileName) << "the object follows the document";

	ASSERT_TRUE(chooseMenu(ID_MENU_FILE_PROPERTIES));
	gui::IGUIScrollBar* bar = editor->spw_refresh_greenbar;
	const s32 green = editor->Document.World().Bars[1];
	editor->_gui->drawAll(); // the bar places its thumb as it is drawn
	const core::rect<s32> box = bar->getAbsolutePosition();
	const core::position2d<s32> middle = box.getCenter();
	// The thumb stands at the left end, after the arrow button.
	const s32 thumb = box.UpperLeftCorner.X + box.getHeight() + 3;
	mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, thumb, middle.Y, EMBSM_LEFT);
	mouseEvent(EMIE_MOUSE_MOVED, middle.X, middle.Y, EMBSM_LEFT);
	frame();
	ASSERT_NE(green, editor->Document.World().Bars[1]) << "the drag sets the colour as it goes";
	pressKey(KEY_ESCAPE);
	mouseEvent(EMIE_MOUSE_MOVED, box.LowerRightCorner.X, middle.Y, EMBSM_LEFT);
	mouseEvent(EMIE_LMOUSE_LEFT_UP, box.LowerRightCorner.X, middle.Y, 0);
	frame();
	EXPECT_EQ(green, editor->Document.World().Bars[1]) << "and lets go of the bar";
	EXPECT_EQ(green, bar->getPos());
	EXPECT_STREQ(L"Undo Add crate.obj", editor->EditMenu->getItemText(0));
	EXPECT_TRUE(editor->DocumentShowsScene());
}

TEST_F(UndoTest, EveryCommandIsOneStepThatUndoTakesBackWithTheNodes)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	frame();
	const SModelState crate = *editor->Document.Object(1);
	SSceneState empty;
	empty.World = std::make_shared<const SWorldState>(editor->Document.World());
	const struct
	{
		const char* name;
		SCommand command;
		const wchar_t* what;
	} rows[] = {
	    {"add", commands::AddObject(5, crate), L"Add crate.obj"},
	    {"transform",
	     commands::SetTransform(1, core::vector3df(1, 2, 3), core::vector3df(0, 45, 0),
	                            core::vector3df(2, 2, 2)),
	     L"Transform crate.obj"},
	    {"property", commands::EditObject(1, [](SModelState& r) { r.Wireframe = true; }),
	     L"Set Wireframe"},
	    {"named",
	     commands::EditObject(
	         1, [](SModelState& r) { r.Fog = true; }, L"Fog on"),
	     L"Fog on"},
	    {"world", commands::EditWorld([](SWorldState& w) { w.MarkerPosition.set(4, 5, 6); }),
	     L"Move marker"},
	    {"remove", commands::RemoveObject(1), L"Remove crate.obj"},
	    {"clear", commands::Clear(), L"Remove crate.obj"},
	    {"replace", commands::Replace(empty, L"Open empty.irr"), L"Open empty.irr"},
	};
	for (const auto& row : rows)
	{
		SCOPED_TRACE(row.name);
		const SSceneState before = editor->Document.State();
		ASSERT_TRUE(editor->Execute(row.command));
		EXPECT_TRUE(editor->DocumentShowsScene()) << "the nodes follow the document";
		EXPECT_EQ(L"Undo " + std::wstring(row.what), editor->EditMenu->getItemText(0));
		EXPECT_FALSE(editor->Execute(row.command)) << "the same again changes nothing";
		ASSERT_TRUE(editor->Undo());
		EXPECT_TRUE(before == editor->Document.State());
		EXPECT_TRUE(editor->DocumentShowsScene());
	}
}
