// Picking under the cursor and the model window as the live editor of the
// selected object.
#include "EditorTestSupport.h"

class SelectionTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		// Keep the marker away from the models the tests pick.
		editor->Positioner->setPosition(core::vector3df(0, 0, 400));
		frame();
	}

	// A left press at the screen position of a point, with the camera frozen.
	void clickAt(const core::position2d<s32>& pos)
	{
		editor->_device->getCursorControl()->setPosition(pos);
		SEvent event;
		event.EventType = EET_MOUSE_INPUT_EVENT;
		event.MouseInput.Event = EMIE_LMOUSE_PRESSED_DOWN;
		event.MouseInput.X = pos.X;
		event.MouseInput.Y = pos.Y;
		event.MouseInput.Wheel = 0;
		event.MouseInput.ButtonStates = EMBSM_LEFT;
		event.MouseInput.Shift = event.MouseInput.Control = false;
		consumed = editor->_device->postEventFromUser(event);
	}

	core::position2d<s32> screenPos(scene::ISceneNode* node)
	{
		node->updateAbsolutePosition();
		return editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
		    node->getTransformedBoundingBox().getCenter());
	}

	void clickOn(scene::ISceneNode* node)
	{
		editor->CameraMode = false;
		frame();
		clickAt(screenPos(node));
	}

	bool consumed = false;
};

TEST_F(SelectionTest, ClickOnAModelSelectsItsSlot)
{
	CModel* model = placeModel(3);
	model->setPosition(core::vector3df(0, 0, -60));
	clickOn(model->AnimatedNode);
	EXPECT_TRUE(consumed);
	EXPECT_EQ(model, editor->SelectedModel);
	EXPECT_TRUE(editor->CameraMode) << "a hit gives the mouse back to the camera";
	frame();
	EXPECT_TRUE(model->AnimatedNode->isDebugDataVisible());
}

TEST_F(SelectionTest, ClickOnEmptySpaceChangesNothing)
{
	CModel* model = placeModel(1);
	editor->SelectedModel = model;
	editor->CameraMode = false;
	frame();
	clickAt(core::position2d<s32>(5, 590));
	EXPECT_TRUE(consumed);
	EXPECT_EQ(model, editor->SelectedModel);
	EXPECT_FALSE(editor->CameraMode) << "the next click can pick again";
}

TEST_F(SelectionTest, ClickWithCameraModeOnNeverPicks)
{
	CModel* model = placeModel(2);
	frame();
	clickAt(screenPos(model->AnimatedNode));
	EXPECT_EQ(nullptr, editor->SelectedModel) << "the press went on to the camera";
}

TEST_F(SelectionTest, ClickOnANodeOutsideTheTableKeepsTheSelection)
{
	CModel* model = placeModel(1);
	model->setPosition(core::vector3df(0, 0, -300));
	editor->SelectedModel = model;

	editor->Positioner->setPosition(core::vector3df(0, 0, 0));
	clickOn(editor->Positioner);
	EXPECT_EQ(model, editor->SelectedModel) << "id -1";
	EXPECT_TRUE(editor->CameraMode);

	editor->Positioner->setPosition(core::vector3df(0, 0, 400));
	editor->Water->addWater();
	editor->Water->Node->setID(101);
	clickOn(editor->Water->Node);
	EXPECT_EQ(editor->Water, editor->SelectedModel) << "id 101: the water is an object";
	EXPECT_TRUE(editor->CameraMode);
	editor->SelectedModel = model;

	placeModel(5)->setPosition(core::vector3df(0, 0, -300));
	editor->Model[5]->AnimatedNode->setID(0);
	clickOn(editor->Model[5]->AnimatedNode);
	EXPECT_EQ(model, editor->SelectedModel) << "id 0: slot 0 is never filled";
}

TEST_F(SelectionTest, SwitchingModelsRefillsTheWindowFromTheNewOne)
{
	CModel* first = placeModel(1);
	first->setPosition(core::vector3df(0, 0, -80));
	CModel* second = placeModel(2);
	second->setPosition(core::vector3df(0, 0, 80));
	second->FileName = L"second.md2";
	second->TextureName = L"second.jpg";
	second->TextureName2 = L"second-detail.jpg";
	second->setMaterialType(12);
	second->setWireframe(true);
	second->Shadow = true;
	second->AnimatedNode->setScale(core::vector3df(2.9f, 3, 4));

	clickOn(first->AnimatedNode);
	ASSERT_EQ(first, editor->SelectedModel);
	editor->mpw_boxFileName->setText(L"first.md2");
	editor->mpw_fogbox->setChecked(true);
	editor->mpw_render_type->setSelected(3);
	frame();
	EXPECT_STREQ(L"first.md2", first->FileName.c_str());
	EXPECT_TRUE(first->Fog);
	EXPECT_EQ(3, first->getMaterialType());

	clickOn(second->AnimatedNode);
	ASSERT_EQ(second, editor->SelectedModel);
	EXPECT_FALSE(first->AnimatedNode->isDebugDataVisible());
	EXPECT_STREQ(L"second.md2", editor->mpw_boxFileName->getText());
	EXPECT_STREQ(L"second.jpg", editor->mpw_boxTexture->getText());
	EXPECT_STREQ(L"second-detail.jpg", editor->mpw_boxTexture2->getText());
	EXPECT_EQ(12, editor->mpw_render_type->getSelected());
	EXPECT_FALSE(editor->mpw_fogbox->isChecked());
	EXPECT_TRUE(editor->mpw_wirebox->isChecked());
	EXPECT_FALSE(editor->mpw_lightbox->isChecked());
	EXPECT_TRUE(editor->mpw_shadowbox->isChecked());
	EXPECT_EQ(3, editor->mpw_scaleX->getPos()) << "the bar's nearest position";
	EXPECT_EQ(4, editor->mpw_scaleZ->getPos());

	frame();
	EXPECT_FALSE(second->Fog) << "the first model's check box did not carry over";
	EXPECT_EQ(12, second->getMaterialType());
	EXPECT_STREQ(L"second.md2", second->FileName.c_str());
	EXPECT_TRUE(second->Shadow);
	EXPECT_VEC_NEAR(core::vector3df(2.9f, 3, 4), second->AnimatedNode->getScale(), 0.0f)
	    << "a bar the user did not move leaves its axis exact";
}

TEST_F(SelectionTest, WindowEditsReachTheSelectedModelNextFrame)
{
	CModel* model = placeModel(1);
	editor->SelectedModel = model;
	editor->SelectNewSceneNode(false);
	editor->mpw_scaleX->setPos(0);
	editor->mpw_scaleY->setPos(7);
	editor->mpw_boxTexture->setText(L"bark.png");
	editor->mpw_boxTexture2->setText(L"moss.png");
	editor->mpw_shadowbox->setChecked(true);
	editor->mpw_lightbox->setChecked(true);
	editor->mpw_wirebox->setChecked(true);
	frame();
	EXPECT_VEC_NEAR(core::vector3df(1, 7, 1), model->AnimatedNode->getScale(), 0.0f)
	    << "the bars start at 1: no scale of 0, which \"Transform\" refuses too";
	EXPECT_STREQ(L"bark.png", model->TextureName.c_str());
	EXPECT_STREQ(L"moss.png", model->TextureName2.c_str());
	EXPECT_TRUE(model->Shadow && model->Lighting && model->Wireframe);
	EXPECT_TRUE(model->AnimatedNode->getMaterial(0).Lighting);
	EXPECT_EQ(nullptr, model->AnimatedNode->getMaterial(0).getTexture(0))
	    << "typing a name loads nothing";
}

TEST_F(SelectionTest, SelectedWaterTakesTheWaterMaterialAndNotTheModelWindow)
{
	editor->Water->addWater();
	editor->Water->Node->setID(101);
	editor->SelectedModel = editor->Water;
	editor->mpw_fogbox->setChecked(true);
	editor->mpw_lightbox->setChecked(true);
	editor->mpw_render_type->setSelected(5);
	editor->wpw_render_type->setSelected(11);
	editor->mpw_boxFileName->setText(L"lake");
	editor->SelectNewSceneNode(false);
	EXPECT_STREQ(L"lake", editor->mpw_boxFileName->getText()) << "water does not fill it";
	EXPECT_EQ(0, editor->wpw_render_type->getSelected()) << "the water window shows the water";
	editor->wpw_render_type->setSelected(11);
	frame();
	EXPECT_EQ(11, editor->Water->getMaterialType());
	EXPECT_FALSE(editor->Water->Fog || editor->Water->Lighting || editor->Water->Wireframe);
	EXPECT_TRUE(editor->Water->FileName.empty());
	EXPECT_TRUE(editor->Water->Node->isDebugDataVisible());
}

TEST_F(SelectionTest, ClicksPassThroughLockedAndHiddenObjects)
{
	// A plane under the cursor and nothing else: picked, and once locked
	// the click finds nothing.
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	for (bool locked : {false, true})
	{
		editor->Execute(
		    commands::EditWorld([=](SWorldState& world) { world.Plane.Locked = locked; }));
		editor->CameraMode = false;
		frame();
		clickAt(screenPos(editor->LevelPlane));
		EXPECT_EQ(!locked, editor->CameraMode) << "a hit gives the mouse to the camera";
	}

	// Two models on one line of sight from the camera, the nearer in front.
	const core::vector3df eye = editor->Camera->getAbsolutePosition();
	const core::vector3df ahead = (editor->Camera->getTarget() - eye).normalize();
	CModel* behind = placeModel(1);
	behind->setPosition(eye + ahead * 300);
	CModel* front = placeModel(2);
	front->setPosition(eye + ahead * 100);
	editor->SyncDocument();
	const auto setFront = [&](bool visible, bool locked)
	{
		editor->Execute(commands::EditObject(2,
		                                     [=](SModelState& record)
		                                     {
			                                     record.Visible = visible;
			                                     record.Locked = locked;
		                                     }));
		editor->Select(0);
		clickOn(front->AnimatedNode);
	};
	setFront(true, false);
	EXPECT_EQ(front, editor->SelectedModel) << "the nearer of two";
	setFront(true, true);
	EXPECT_EQ(behind, editor->SelectedModel) << "a locked model is passed through";
	EXPECT_TRUE(front->AnimatedNode->isVisible()) << "and still drawn";
	setFront(false, false);
	EXPECT_EQ(behind, editor->SelectedModel) << "a hidden model is passed through";
	EXPECT_FALSE(front->AnimatedNode->isVisible());
}
