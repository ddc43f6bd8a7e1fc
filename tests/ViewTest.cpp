// What the user sees after loading world geometry, and the camera's drags:
// a level from where a player starts, a terrain or plane framed whole with
// the marker on it, pans that follow the cursor and zooms both ways.
#include "EditorTestSupport.h"

#include <functional>

#include "EditorIds.h"

class ViewTest : public EditorTest
{
protected:
	core::position2d<s32> onScreen(const core::vector3df& point)
	{
		return editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
		    point, editor->Camera);
	}

	void drag(EMOUSE_INPUT_EVENT press, u32 button, core::position2d<s32> from,
	          core::position2d<s32> to)
	{
		SEvent event;
		event.EventType = EET_MOUSE_INPUT_EVENT;
		event.MouseInput = {from.X, from.Y, 0, false, false, button, press};
		editor->_device->postEventFromUser(event);
		frame();
		event.MouseInput = {to.X, to.Y, 0, false, false, button, EMIE_MOUSE_MOVED};
		editor->_device->postEventFromUser(event);
		frame();
	}

	void release(core::position2d<s32> at)
	{
		SEvent event;
		event.EventType = EET_MOUSE_INPUT_EVENT;
		event.MouseInput = {at.X, at.Y, 0, false, false, 0, EMIE_MOUSE_MOVED};
		editor->_device->postEventFromUser(event);
		frame();
	}
};

TEST_F(ViewTest, ALevelIsSeenFromItsFirstPlayerStartWithTheMarkerOnTheFloorAhead)
{
	// The level's first info_player_deathmatch stands at (896 960 216) in the
	// file, Z up, facing its X axis; the floor there is at 192.
	const core::vector3df start(896, 216 + 50, 960);
	const std::string pk3 = FixtureCopy("map-20kdm2.pk3");
	const std::pair<const char*, std::function<bool()>> loads[] = {
	    {"LoadQ3Level", [&] { return editor->LoadQ3Level(pk3.c_str()); }},
	    {"LoadQ3LevelFromArchive",
	     [&] { return editor->LoadQ3LevelFromArchive(pk3.c_str(), "20kdm2"); }},
	    {"the command line", [&] { return editor->OpenFile(pk3.c_str()); }},
	    {"undo back to a level",
	     [&]
	     {
		     editor->DeleteQ3Level();
		     frame();
		     pressKey(KEY_HOME);
		     return editor->Undo();
	     }},
	};
	for (const auto& load : loads)
	{
		pressKey(KEY_HOME);
		frame();
		EXPECT_TRUE(load.second()) << load.first;
		frame();
		EXPECT_VEC_NEAR(start, editor->Camera->getPosition(), 0.5f) << load.first;
	}
	editor->DeleteQ3Level();

	clickButton(ID_WORLD_LOAD_Q3LEVEL);
	ASSERT_TRUE(chooseFile(pk3));
	EXPECT_EQ(L"0 message boxes", answer());
	frame();
	const core::vector3df eye = editor->Camera->getPosition();
	EXPECT_VEC_NEAR(start, eye, 0.5f);
	const core::vector3df look = editor->Camera->getTarget() - eye;
	EXPECT_GT(look.X, 100.0f);
	EXPECT_NEAR(0.0f, look.Z, 0.5f);
	EXPECT_VEC_NEAR(editor->Camera->getTarget(), editor->Positioner->getPosition(), 0.01f);
	EXPECT_NEAR(192.0f, editor->Positioner->getPosition().Y, 0.5f) << "the marker is on the floor";

	pressKey(KEY_HOME);
	frame();
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getPosition(), 0.01f);
}

TEST_F(ViewTest, ATerrainOrPlaneLoadedWithoutModelsIsFramedWholeWithTheMarkerOnIt)
{
	const struct
	{
		s32 opener, remover;
		const char* file;
		std::function<scene::ISceneNode*()> node;
	} rows[] = {
	    {ID_WORLD_LOAD_TERRAIN, ID_WORLD_DELETE_TERRAIN, "samples/valley.png",
	     [&] { return editor->Terrain; }},
	    {ID_WORLD_LOAD_PLANE, ID_WORLD_DELETE_PLANE, "samples/ground.obj",
	     [&] { return editor->LevelPlane; }},
	};
	for (const auto& row : rows)
	{
		SCOPED_TRACE(row.file);
		clickButton(row.opener);
		ASSERT_TRUE(chooseFile(std::string(TOLVANE_SOURCE_DIR) + "/" + row.file));
		dismissMessages();
		frame();
		scene::ISceneNode* ground = row.node();
		ASSERT_NE(nullptr, ground);
		const core::aabbox3df box = ground->getTransformedBoundingBox();
		core::vector3df corners[8];
		box.getEdges(corners);
		for (const core::vector3df& corner : corners)
		{
			const core::position2d<s32> at = onScreen(corner);
			EXPECT_TRUE(core::rect<s32>(0, 0, 800, 600).isPointInside(at)) << at.X << " " << at.Y;
			EXPECT_LT(corner.getDistanceFrom(editor->Camera->getPosition()),
			          editor->Camera->getFarValue());
		}
		const core::vector3df marker = editor->Positioner->getPosition();
		EXPECT_VEC_NEAR(editor->Camera->getTarget(), marker, 0.01f);
		const f32 ground_y =
		    editor->Terrain ? editor->Terrain->getHeight(marker.X, marker.Z) : box.MinEdge.Y;
		EXPECT_NEAR(ground_y, marker.Y, 0.5f) << "the marker stands on it";
		clickButton(row.remover);
	}

	// With a model placed, the view stays where the user works.
	placeModel(1);
	pressKey(KEY_HOME);
	frame();
	clickButton(ID_WORLD_LOAD_PLANE);
	ASSERT_TRUE(chooseFile(std::string(TOLVANE_SOURCE_DIR) + "/samples/ground.obj"));
	dismissMessages();
	frame();
	EXPECT_VEC_NEAR(core::vector3df(100, 250, 0), editor->Camera->getPosition(), 0.01f);
}

TEST_F(ViewTest, AMiddleDragKeepsThePointUnderTheCursorAndARightDragZoomsBothWays)
{
	frame();
	auto distance = [&]
	{ return editor->Camera->getPosition().getDistanceFrom(editor->Camera->getTarget()); };
	const core::position2d<s32> centre(400, 300), left(100, 300), down(400, 540), up(400, 60);
	for (const char* from : {"near", "far"})
	{
		SCOPED_TRACE(from);
		const core::vector3df target = editor->Camera->getTarget();
		const core::position2d<s32> to(centre.X + 120, centre.Y + 70);
		drag(EMIE_MMOUSE_PRESSED_DOWN, EMBSM_MIDDLE, onScreen(target), to);
		const core::position2d<s32> after = onScreen(target);
		EXPECT_NEAR(to.X, after.X, 2);
		EXPECT_NEAR(to.Y, after.Y, 2);
		release(to);

		// Left zooms out, and so does down: "far" pans from much farther.
		const f32 start = distance();
		drag(EMIE_RMOUSE_PRESSED_DOWN, EMBSM_RIGHT, centre, left);
		release(left);
		const f32 leftwards = distance();
		drag(EMIE_RMOUSE_PRESSED_DOWN, EMBSM_RIGHT, centre, down);
		release(down);
		EXPECT_GT(leftwards, start + 100);
		EXPECT_GT(distance(), leftwards + 100) << "a vertical drag zooms";
	}
	const f32 start = distance();
	drag(EMIE_RMOUSE_PRESSED_DOWN, EMBSM_RIGHT, centre, up);
	release(up);
	EXPECT_LT(distance(), start - 100) << "up zooms in";
}

TEST_F(ViewTest, TheWheelZoomsTowardTheCursorAndTheRightButtonFliesInBothCameraModes)
{
	ITimer* timer = editor->_device->getTimer();
	timer->stop(); // the fly steps below set the time
	auto distance = [&]
	{ return editor->Camera->getPosition().getDistanceFrom(editor->Camera->getTarget()); };
	auto look = [&]
	{ return (editor->Camera->getTarget() - editor->Camera->getPosition()).normalize(); };
	auto mouse = [&](EMOUSE_INPUT_EVENT what, core::position2d<s32> at, u32 buttons, f32 wheel)
	{
		SEvent event;
		event.EventType = EET_MOUSE_INPUT_EVENT;
		event.MouseInput = {at.X, at.Y, wheel, false, false, buttons, what};
		editor->_device->postEventFromUser(event);
		frame();
	};
	const core::position2d<s32> cursor(560, 200), centre(400, 300), left(100, 300);
	for (bool cameraMode : {true, false})
	{
		SCOPED_TRACE(cameraMode ? "camera mode on" : "camera mode off");
		pressKey(KEY_HOME);
		editor->CameraMode = cameraMode;
		frame();
		// The point under the cursor at the target's depth stays under it.
		const core::vector3df along = core::vector3df(editor->_smgr->getSceneCollisionManager()
		                                                  ->getRayFromScreenCoordinates(cursor)
		                                                  .getVector())
		                                  .normalize();
		const core::vector3df point =
		    editor->Camera->getPosition() + along * (distance() / along.dotProduct(look()));
		const f32 before = distance();
		for (f32 notches : {1.0f, 2.0f, -3.0f})
		{
			mouse(EMIE_MOUSE_WHEEL, cursor, 0, notches);
			EXPECT_NEAR(cursor.X, onScreen(point).X, 2) << notches;
			EXPECT_NEAR(cursor.Y, onScreen(point).Y, 2) << notches;
			if (notches == 1.0f)
			{
				EXPECT_NEAR(0.8f * before, distance(), 0.01f) << "a notch up comes nearer";
			}
		}
		EXPECT_NEAR(before, distance(), 0.01f) << "and as far back again";
		drag(EMIE_RMOUSE_PRESSED_DOWN, EMBSM_RIGHT, centre, left);
		release(left);
		EXPECT_GT(distance(), before + 100) << "a right drag zooms";

		// Holding the right button, W flies along the view and the mouse
		// turns it in place; released, the orbit goes on around where it looks.
		const core::vector3df from = editor->Camera->getPosition(), ahead = look();
		mouse(EMIE_RMOUSE_PRESSED_DOWN, centre, EMBSM_RIGHT, 0);
		postKey(KEY_KEY_W, true);
		for (u32 ms : {10000, 10200, 10400})
		{
			timer->setTime(ms);
			frame();
		}
		postKey(KEY_KEY_W, false);
		const core::vector3df flown = editor->Camera->getPosition() - from;
		EXPECT_GT(flown.getLength(), 50.0f);
		EXPECT_NEAR(flown.getLength(), flown.dotProduct(ahead), 0.1f) << "straight ahead";
		const core::vector3df eye = editor->Camera->getPosition();
		mouse(EMIE_MOUSE_MOVED, core::position2d<s32>(centre.X + 80, centre.Y), EMBSM_RIGHT, 0);
		EXPECT_VEC_NEAR(eye, editor->Camera->getPosition(), 0.01f);
		const core::vector3df right = core::vector3df(0, 1, 0).crossProduct(ahead).normalize();
		EXPECT_GT((look() - ahead).dotProduct(right), 0.1f) << "a move right turns right";
		const core::vector3df target = editor->Camera->getTarget();
		mouse(EMIE_RMOUSE_LEFT_UP, core::position2d<s32>(centre.X + 80, centre.Y), 0, 0);
		release(core::position2d<s32>(centre.X + 80, centre.Y));
		EXPECT_VEC_NEAR(eye, editor->Camera->getPosition(), 0.01f);
		EXPECT_VEC_NEAR(target, editor->Camera->getTarget(), 0.01f);
	}
	timer->start();
}

// Pointed at the ground in front of the target, the wheel nears the ground
// and stops short of it instead of diving through it.
TEST_F(ViewTest, TheWheelNearsTheSurfaceUnderTheCursorWithoutPassingIt)
{
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	dismissMessages();
	pressKey(KEY_HOME);
	frame();
	const f32 ground = editor->LevelPlane->getTransformedBoundingBox().MaxEdge.Y;
	SEvent wheel;
	wheel.EventType = EET_MOUSE_INPUT_EVENT;
	wheel.MouseInput = {400, 560, 1.0f, false, false, 0, EMIE_MOUSE_WHEEL};
	for (int notch = 0; notch < 30; ++notch)
	{
		editor->_device->postEventFromUser(wheel);
		frame();
	}
	EXPECT_GT(editor->Camera->getPosition().Y, ground);
	EXPECT_LT(editor->Camera->getPosition().Y, ground + 5.0f) << "it came near";
}
