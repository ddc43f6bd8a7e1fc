// Start-up, frame statistics, scene clearing and the per-frame update.
#include "EditorTestSupport.h"

#include <unistd.h>

#include "EditorIds.h"

TEST(EditorState, IsEmptyBeforeStartUp)
{
	CSceneEditor editor;
	EXPECT_EQ(nullptr, editor.SelectedModel);
	EXPECT_EQ(nullptr, editor._device);
	EXPECT_EQ(nullptr, editor._smgr);
	EXPECT_EQ(nullptr, editor._gui);
	EXPECT_EQ(nullptr, editor.Water);
	EXPECT_EQ(0, editor.current_model);
	EXPECT_TRUE(editor.CameraMode);
	EXPECT_TRUE(editor.listNode.empty());
	for (CModel* slot : editor.Model)
		EXPECT_EQ(nullptr, slot);
	for (bool down : editor.key)
		EXPECT_FALSE(down);
	EXPECT_EQ(0, LOAD_TYPE);
}

TEST_F(EditorTest, StartUpPlacesCameraMarkerLightAndInfoWindow)
{
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getPosition(), 0.001f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Camera->getTarget(), 0.001f);
	EXPECT_EQ(editor->Camera, editor->_smgr->getActiveCamera());

	ASSERT_NE(nullptr, editor->Positioner);
	EXPECT_EQ(-1, editor->Positioner->getID());
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Positioner->getPosition(), 0.0f);
	EXPECT_FALSE(editor->Positioner->getMaterial(0).Lighting);
	EXPECT_NE(nullptr, editor->Positioner->getMaterial(0).getTexture(0));

	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_LIGHT));

	ASSERT_NE(nullptr, editor->EditorInfoWindow);
	EXPECT_TRUE(editor->EditorInfoWindow->isVisible());
	EXPECT_FALSE(editor->EditorInfoWindow->getCloseButton()->isVisible());
	EXPECT_EQ(core::rect<s32>(30, 30, 300, 125), editor->EditorInfoWindow->getRelativePosition());
	EXPECT_STREQ(L"Scene Information", editor->EditorInfoWindow->getText());
	EXPECT_STREQ(L"Scene Information", editor->EditorInfoText->getText());

	ASSERT_NE(nullptr, editor->Water);
	EXPECT_EQ(nullptr, editor->Water->Node);
	EXPECT_EQ(nullptr, editor->Water->AnimatedNode);
	EXPECT_TRUE(editor->CameraMode);
}

TEST_F(EditorTest, GuiSkinIsOpaqueThroughWindowColour)
{
	gui::IGUISkin* skin = editor->_gui->getSkin();
	EXPECT_EQ(video::SColor(200, 25, 25, 75), skin->getColor(gui::EGDC_ACTIVE_BORDER));
	editor->Update();
	EXPECT_EQ(gui::EGDC_WINDOW, 17) << "18 colours up to the window background";
	for (int i = gui::EGDC_3D_DARK_SHADOW; i <= gui::EGDC_WINDOW; ++i)
		EXPECT_EQ(255u, skin->getColor(gui::EGUI_DEFAULT_COLOR(i)).getAlpha()) << i;
	EXPECT_EQ(video::SColor(255, 25, 25, 75), skin->getColor(gui::EGDC_ACTIVE_BORDER));
}

TEST_F(EditorTest, CameraKeepsStartViewAfterDrawnFrames)
{
	for (int i = 0; i < 10; ++i)
		frame();
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getAbsolutePosition(), 0.01f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Camera->getTarget(), 0.01f);
}

TEST_F(EditorTest, CameraOrbitsWithLeftDragOnlyInCameraMode)
{
	frame();
	SEvent mouse;
	mouse.EventType = EET_MOUSE_INPUT_EVENT;
	mouse.MouseInput.ButtonStates = 0;
	mouse.MouseInput.Wheel = 0;
	mouse.MouseInput.Shift = mouse.MouseInput.Control = false;
	auto send = [&](EMOUSE_INPUT_EVENT what, s32 x, s32 y)
	{
		if (what == EMIE_LMOUSE_PRESSED_DOWN)
			mouse.MouseInput.ButtonStates = EMBSM_LEFT;
		if (what == EMIE_LMOUSE_LEFT_UP)
			mouse.MouseInput.ButtonStates = 0;
		mouse.MouseInput.Event = what;
		mouse.MouseInput.X = x;
		mouse.MouseInput.Y = y;
		editor->_device->postEventFromUser(mouse);
		frame();
	};
	const f32 distance = editor->Camera->getPosition().getLength();
	editor->CameraMode = false;
	frame();
	send(EMIE_LMOUSE_PRESSED_DOWN, 400, 300);
	send(EMIE_MOUSE_MOVED, 480, 300);
	send(EMIE_LMOUSE_LEFT_UP, 480, 300);
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getPosition(), 0.01f);

	editor->CameraMode = true;
	frame();
	send(EMIE_LMOUSE_PRESSED_DOWN, 400, 300);
	send(EMIE_MOUSE_MOVED, 480, 300);
	send(EMIE_LMOUSE_LEFT_UP, 480, 300);
	const core::vector3df turned = editor->Camera->getPosition();
	EXPECT_GT(std::abs(turned.Z), 10.0f) << "a horizontal drag turns the camera about Y";
	EXPECT_NEAR(250.0f, turned.Y, 0.01f);
	EXPECT_NEAR(distance, turned.getLength(), 0.01f);

	// A release the camera never saw: the next move carries no button, and
	// the camera stays.
	send(EMIE_LMOUSE_PRESSED_DOWN, 400, 300);
	mouse.MouseInput.ButtonStates = 0;
	send(EMIE_MOUSE_MOVED, 300, 300);
	send(EMIE_MOUSE_MOVED, 200, 250);
	EXPECT_VEC_NEAR(turned, editor->Camera->getPosition(), 0.01f);
}

TEST_F(EditorTest, SceneInfoTextHasThreeLines)
{
	const core::stringw text = editor->SceneInfoText();
	const core::stringw expected =
	    core::stringw(editor->_driver->getName()) + L" - at rest\nTriangles: " +
	    core::stringw(editor->_driver->getPrimitiveCountDrawn()) + L"\nCameraMode: On";
	EXPECT_STREQ(expected.c_str(), text.c_str());
	editor->CameraMode = false;
	const core::stringw off = editor->SceneInfoText();
	EXPECT_STREQ(L"CameraMode: Off", off.subString(off.findLast(L'\n') + 1, 100).c_str());
}

TEST_F(EditorTest, RenderDrawsAWindowThatIsNotFocused)
{
	ASSERT_FALSE(editor->_device->isWindowActive());
	editor->Update();
	editor->Render();
	EXPECT_STRNE(L"Scene Information", editor->EditorInfoText->getText());
}

TEST_F(EditorTest, ClearSceneRemovesModelsAndWorldButKeepsWaterAndMarker)
{
	placeModel(1);
	placeModel(2);
	editor->current_model = 2;
	editor->SelectedModel = editor->Model[2];
	scene::IAnimatedMesh* mesh = editor->_smgr->getMesh(MediaFile("sydney.md2").c_str());
	editor->LevelPlane = editor->_smgr->addAnimatedMeshSceneNode(mesh);
	editor->Q3LevelNode = editor->_smgr->addAnimatedMeshSceneNode(mesh);
	editor->SkyBox = editor->_smgr->addEmptySceneNode();
	editor->Water->addWater();
	const int meshNodesBefore = CountNodes(editor->_smgr, scene::ESNT_ANIMATED_MESH);
	ASSERT_EQ(5, meshNodesBefore) << "marker, two models, plane and level";

	editor->ClearScene();
	EXPECT_EQ(nullptr, editor->SelectedModel);
	EXPECT_EQ(0, editor->current_model);
	EXPECT_EQ(nullptr, editor->LevelPlane);
	EXPECT_EQ(nullptr, editor->Q3LevelNode);
	EXPECT_EQ(nullptr, editor->SkyBox);
	EXPECT_EQ(1, CountNodes(editor->_smgr, scene::ESNT_ANIMATED_MESH)) << "only the marker";
	EXPECT_EQ(0, CountNodes(editor->_smgr, scene::ESNT_EMPTY));
	for (int slot : {1, 2})
	{
		ASSERT_NE(nullptr, editor->Model[slot]) << "the object stays in its slot";
		EXPECT_EQ(nullptr, editor->Model[slot]->AnimatedNode);
		EXPECT_EQ(CModel::TYPE_MESH, editor->Model[slot]->MODEL_TYPE);
	}
	EXPECT_EQ(nullptr, editor->Water->Node) << "the water surface goes too";
	EXPECT_NE(nullptr, editor->Positioner);

	editor->ClearScene();
	EXPECT_EQ(0, editor->current_model);
}

class MovementTest : public EditorTest
{
};

TEST_F(MovementTest, KeypadMovesAndTurnsTheMarker)
{
	holdKeys({KEY_NUMPAD8}, 60);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 180), editor->Positioner->getPosition(), 0.01f);

	holdKeys({KEY_NUMPAD4}, 45);
	EXPECT_VEC_NEAR(core::vector3df(0, -90, 0), editor->Positioner->getRotation(), 0.01f);
	holdKeys({KEY_NUMPAD8}, 10);
	EXPECT_VEC_NEAR(core::vector3df(-30, 0, 180), editor->Positioner->getPosition(), 0.01f)
	    << "moves along its new heading";

	holdKeys({KEY_NUMPAD9}, 5);
	holdKeys({KEY_NUMPAD3}, 2);
	EXPECT_NEAR(6.0f, editor->Positioner->getPosition().Y, 0.001f);

	holdKeys({KEY_NUMPAD6}, 45);
	EXPECT_NEAR(0.0f, editor->Positioner->getRotation().Y, 0.01f);
	holdKeys({KEY_NUMPAD2}, 10);
	EXPECT_VEC_NEAR(core::vector3df(-30, 6, 150), editor->Positioner->getPosition(), 0.01f);
}

TEST_F(MovementTest, OppositeKeysCancel)
{
	holdKeys({KEY_NUMPAD8, KEY_NUMPAD2}, 20);
	holdKeys({KEY_NUMPAD4, KEY_NUMPAD6}, 20);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Positioner->getPosition(), 0.001f);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Positioner->getRotation(), 0.001f);
}

TEST_F(MovementTest, ArrowsMoveOnlyTheSelectedObject)
{
	holdKeys({KEY_UP, KEY_LEFT, KEY_CONTROL}, 10);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 0), editor->Positioner->getPosition(), 0.0f);

	CModel* model = placeModel(1);
	editor->SelectedModel = model;
	holdKeys({KEY_CONTROL, KEY_UP}, 5);
	EXPECT_VEC_NEAR(core::vector3df(0, 10, 0), model->getPosition(), 0.001f)
	    << "Control and up raise by 2 per frame";
	holdKeys({KEY_UP}, 5);
	EXPECT_VEC_NEAR(core::vector3df(0, 10, 15), model->getPosition(), 0.001f);
	holdKeys({KEY_CONTROL, KEY_DOWN}, 1);
	EXPECT_NEAR(8.0f, model->getPosition().Y, 0.001f);
	holdKeys({KEY_DOWN}, 5);
	EXPECT_VEC_NEAR(core::vector3df(0, 8, 0), model->getPosition(), 0.001f);

	model->setRotation(core::vector3df(30, 0, 40));
	holdKeys({KEY_CONTROL, KEY_RIGHT}, 45);
	EXPECT_VEC_NEAR(core::vector3df(0, 90, 0), model->getRotation(), 0.01f)
	    << "turning drops the rotation about X and Z and works with Control held";
	holdKeys({KEY_UP}, 1);
	EXPECT_VEC_NEAR(core::vector3df(3, 8, 0), model->getPosition(), 0.01f);
	EXPECT_TRUE(model->AnimatedNode->isDebugDataVisible());
}

TEST_F(MovementTest, TurnAndMoveInOneFrameUseTheHeadingFromBefore)
{
	CModel* model = placeModel(1);
	editor->SelectedModel = model;
	holdKeys({KEY_UP, KEY_RIGHT}, 1);
	EXPECT_VEC_NEAR(core::vector3df(0, 0, 3), model->getPosition(), 0.001f);
	EXPECT_NEAR(2.0f, model->getRotation().Y, 0.001f);
}

TEST_F(EditorTest, KeyTableIgnoresCodesPastItsEnd)
{
	EXPECT_TRUE(postKey(KEY_OEM_CLEAR, true));
	EXPECT_TRUE(editor->key[KEY_OEM_CLEAR]) << "code 254 is the last entry";
	postKey(KEY_KEY_CODES_COUNT == 256 ? EKEY_CODE(255) : KEY_OEM_CLEAR, true);
	EXPECT_TRUE(editor->key[KEY_OEM_CLEAR]);
}

TEST_F(EditorTest, UpdateStopsOnceTheDeviceIsClosed)
{
	EXPECT_TRUE(editor->Update());
	editor->_device->closeDevice();
	EXPECT_FALSE(editor->Update());
}

namespace
{
// Runs start-up in a folder that lacks some of the data files.
std::string StartUpErrorWithout(const std::vector<std::string>& missing)
{
	char tmpl[] = "/tmp/tolvane-data-XXXXXX";
	const std::string dir = mkdtemp(tmpl);
	const std::string data = dir + "/Data";
	std::string command =
	    "mkdir -p '" + data + "' && cp '" TOLVANE_SOURCE_DIR "'/Data/* '" + data + "'";
	for (const std::string& name : missing)
		command += " && rm '" + data + "/" + name + "'";
	EXPECT_EQ(0, std::system(command.c_str()));
	char cwd[4096];
	EXPECT_NE(nullptr, getcwd(cwd, sizeof(cwd)));
	EXPECT_EQ(0, chdir(dir.c_str()));
	std::string error;
	{
		CSceneEditor editor;
		editor.Init(video::EDT_NULL);
		error = editor.StartupError;
		EXPECT_EQ(error.empty(), editor.Update()) << "a failed start-up never enters the loop";
	}
	EXPECT_EQ(0, chdir(cwd));
	std::system(("rm -rf '" + dir + "'").c_str());
	return error + "|" + dir;
}
} // namespace

TEST(StartUpFailure, NamesTheMissingDataFileAndTheWorkingDirectory)
{
	struct Row
	{
		std::vector<std::string> missing;
		std::string named;
	};
	const Row rows[] = {
	    {{"main_font.bmp"}, "Data/main_font.bmp"},
	    {{"positioner.ms3d"}, "Data/positioner.ms3d"},
	    {{"positioner_sk.bmp"}, "Data/positioner_sk.bmp"},
	    {{"logo.jpg"}, ""},
	};
	for (const Row& row : rows)
	{
		const std::string result = StartUpErrorWithout(row.missing);
		const std::string error = result.substr(0, result.find('|'));
		const std::string dir = result.substr(result.find('|') + 1);
		if (row.named.empty())
		{
			EXPECT_EQ("", error) << "a missing logo only leaves the About window empty";
			continue;
		}
		EXPECT_NE(std::string::npos, error.find(row.named)) << error;
		EXPECT_NE(std::string::npos, error.find(dir)) << error;
	}
}
