// What a new user meets in the first hour: picks that give the mouse back,
// keys that reach open dialogs, windows in front, a view that follows the
// window, F and Home.
#include "EditorTestSupport.h"

#include <functional>

#include "EditorIds.h"

class DesktopTest : public EditorTest
{
protected:
	// A left press at the screen position of a world point, camera frozen.
	void pickAt(const core::vector3df& point)
	{
		editor->CameraMode = false;
		frame();
		const core::position2d<s32> pos =
		    editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(point);
		editor->_device->getCursorControl()->setPosition(pos);
		clickAt(pos.X, pos.Y);
	}
};

TEST_F(DesktopTest, ClicksOnTheGroundTheSkyOrAModelInALevelGiveTheMouseBack)
{
	editor->Positioner->setPosition(core::vector3df(0, 0, 800));
	CModel* selected = placeModel(2);
	selected->setPosition(core::vector3df(0, 0, -600));
	editor->Select(selected);

	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	pickAt(core::vector3df(-40, 0, 30));
	EXPECT_TRUE(editor->CameraMode) << "a flattened plane can be hit";
	EXPECT_EQ(selected, editor->SelectedModel);
	editor->DeletePlane();

	pickAt(core::vector3df(-2000, 3000, 0));
	EXPECT_FALSE(editor->CameraMode) << "an empty click without a sky box";
	editor->SkyBox = editor->_smgr->addSkyBoxSceneNode(0, 0, 0, 0, 0, 0);
	pickAt(core::vector3df(-2000, 3000, 0));
	EXPECT_TRUE(editor->CameraMode) << "under a sky box an empty click is on the sky";
	EXPECT_EQ(selected, editor->SelectedModel);

	ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str()));
	pressKey(KEY_HOME); // the load looked from the player start
	CModel* inLevel = placeModel(5);
	inLevel->setPosition(core::vector3df(0, 0, 30));
	pickAt(core::vector3df(0, 20, 30));
	EXPECT_EQ(inLevel, editor->SelectedModel) << "a model wins over the level around it";
}

TEST_F(DesktopTest, KeysBelongToAnOpenDialogOrMessageBox)
{
	CModel* model = placeModel(1);
	editor->Select(model);
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
	ASSERT_NE(nullptr, openDialog());
	pressKey(KEY_KEY_C, L'c');
	EXPECT_TRUE(editor->CameraMode) << "C is the dialog's";
	holdKeys({KEY_UP}, 5);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), model->getPosition(), 0.0f);
	ASSERT_TRUE(clickDialogButton(L"Cancel"));

	for (EKEY_CODE answerKey : {KEY_RETURN, KEY_ESCAPE})
	{
		editor->DeleteQ3Level(); // "Delete Error"
		ASSERT_EQ(1u, messages().size());
		pressKey(answerKey);
		frame();
		EXPECT_EQ(0u, messages().size()) << answerKey << " answers the message box";
	}
	pressKey(KEY_KEY_C, L'c');
	EXPECT_FALSE(editor->CameraMode) << "with nothing open, C is the editor's again";
}

TEST_F(DesktopTest, ToolWindowsComeToTheFrontAndTheirControlsRespond)
{
	gui::IGUIElement* root = editor->_gui->getRootGUIElement();
	for (s32 command : {ID_MENU_FILE_PROPERTIES, ID_MENU_SAVE_CPP, ID_MENU_WORLD_PROPERTIES,
	                    ID_MENU_SKYBOX_SETUP, ID_MENU_ABOUT})
	{
		ASSERT_TRUE(chooseMenu(command));
		frame();
		gui::IGUIElement* front = *root->getChildren().getLast();
		EXPECT_EQ(gui::EGUIET_WINDOW, front->getType()) << command;
		EXPECT_NE(editor->EditorInfoWindow, front) << command;
		EXPECT_TRUE(front->isVisible()) << command;
	}

	placeModel(1);
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	const s32 before = editor->mpw_scaleX->getPos();
	frame();
	gui::IGUIElement* arrow = 0;
	for (gui::IGUIElement* child : editor->mpw_scaleX->getChildren())
		if (child->getType() == gui::EGUIET_BUTTON)
			arrow = child; // the second is the right arrow
	click(arrow);
	EXPECT_EQ(before + 1, editor->mpw_scaleX->getPos()) << "one click is one step";

	gui::IGUIFont* font = editor->_gui->getSkin()->getFont();
	for (gui::IGUIElement* child : CSceneEditor::AboutWindow->getChildren())
		if (child->getType() == gui::EGUIET_STATIC_TEXT)
		{
			EXPECT_LE(static_cast<s32>(font->getDimension(child->getText()).Width),
			          child->getAbsoluteClippingRect().getWidth())
			    << core::stringc(child->getText()).c_str();
		}
}

TEST_F(DesktopTest, TheViewFollowsTheWindowAndFAndHomeFindThingsAgain)
{
	editor->_driver->OnResize(core::dimension2d<u32>(1200, 700));
	frame();
	EXPECT_FLOAT_EQ(1200.0f / 700.0f, editor->Camera->getAspectRatio());

	CModel* model = placeModel(4);
	model->setPosition(core::vector3df(3000, 0, -2000));
	editor->Select(model);
	pressKey(KEY_KEY_F, L'f');
	frame();
	const core::vector3df centre = model->AnimatedNode->getTransformedBoundingBox().getCenter();
	EXPECT_VEC_NEAR(centre, editor->Camera->getTarget(), 0.01f);
	EXPECT_LT(editor->Camera->getPosition().getDistanceFrom(centre), 200.0f);

	pressKey(KEY_HOME);
	frame();
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getPosition(), 0.01f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Camera->getTarget(), 0.01f);

	// Typed into "File:", F is a letter of the name.
	ASSERT_TRUE(chooseMenu(ID_MENU_OBJECT_PROPERTIES));
	editor->_gui->setFocus(editor->mpw_boxFileName);
	pressKey(KEY_KEY_F, L'f');
	frame();
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getPosition(), 0.01f);
}

TEST_F(DesktopTest, AClickIsTheGuiElementsUnderItAndOnlyOnTheOpenViewAPick)
{
	gui::IGUIElement* root = editor->_gui->getRootGUIElement();
	CModel* model = placeModel(1);
	model->setPosition(editor->Camera->getTarget());
	frame();
	// Every element is moved over the model before it is clicked.
	const core::position2d<s32> spot =
	    editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
	        model->AnimatedNode->getTransformedBoundingBox().getCenter());
	auto over = [&](gui::IGUIElement* element)
	{
		gui::IGUIElement* window = element->getParent();
		window->setVisible(true);
		root->bringToFront(window);
		window->move(spot - element->getAbsolutePosition().getCenter());
		return element;
	};
	auto checkBox = [&] { return FindElement(root, gui::EGUIET_CHECK_BOX, ID_TRANSFORM_SNAP); };
	gui::IGUIElement* const positionBox =
	    FindElement(root, gui::EGUIET_EDIT_BOX, ID_TRANSFORM_POSITION_X);
	gui::IGUIElement* const worldOk = FindElement(root, gui::EGUIET_BUTTON, ID_WORLD_OK);
	const struct
	{
		const char* what;
		gui::IGUIElement* element; // null: the open view
		std::function<bool()> answered;
	} rows[] = {
	    {"Snap", checkBox(),
	     [&] { return static_cast<gui::IGUICheckBox*>(checkBox())->isChecked(); }},
	    {"a position box", positionBox, [&] { return editor->_gui->hasFocus(positionBox); }},
	    {"World Properties Ok", worldOk,
	     [&] { return !CSceneEditor::WorldMainWindow->isVisible(); }},
	    {"the view", nullptr, [&] { return editor->SelectedModel == model; }},
	};
	for (bool cameraMode : {false, true})
		for (const auto& row : rows)
		{
			SCOPED_TRACE(std::string(row.what) + (cameraMode ? ", camera mode on" : ", off"));
			editor->Select(nullptr);
			static_cast<gui::IGUICheckBox*>(checkBox())->setChecked(false);
			editor->_gui->removeFocus(editor->_gui->getFocus());
			editor->CameraMode = cameraMode;
			if (row.element)
				over(row.element);
			frame();
			editor->_device->getCursorControl()->setPosition(spot);
			clickAt(spot.X, spot.Y);
			frame();
			const bool picks = !row.element && !cameraMode;
			EXPECT_EQ(row.element || picks, row.answered());
			EXPECT_EQ(cameraMode || picks, editor->CameraMode);
			if (row.element)
			{
				EXPECT_EQ(nullptr, editor->SelectedModel) << "nothing behind it is picked";
				row.element->getParent()->setVisible(false);
			}
		}

	// Return applies a typed value and gives the keys back to the scene.
	over(positionBox);
	click(positionBox);
	typeText(L"2");
	pressKey(KEY_RETURN);
	pressKey(KEY_KEY_F, L'f');
	frame();
	EXPECT_STREQ(L"2", positionBox->getText());
	EXPECT_FALSE(editor->_gui->hasFocus(positionBox));

	// Escape closes an open menu.
	gui::IGUIElement* bar = FindElement(root, gui::EGUIET_MENU);
	clickAt(bar->getAbsolutePosition().UpperLeftCorner.X + 10,
	        bar->getAbsolutePosition().getCenter().Y);
	gui::IGUIContextMenu* file = static_cast<gui::IGUIContextMenu*>(bar)->getSubMenu(0);
	ASSERT_TRUE(file->isVisible());
	pressKey(KEY_ESCAPE);
	EXPECT_FALSE(file->isVisible());
}
