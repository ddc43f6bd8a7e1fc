// Placing things exactly: typed values in "Transform", drags of the
// handles and of the object itself, snapping, Escape during a drag, Delete,
// Control+D, Escape, and the "Scene Objects" list following the scene.
#include "EditorTestSupport.h"

#include <cmath>

#include "EditorIds.h"

class PlacementTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
		crate = editor->SelectedModel;
		frame();
	}

	gui::IGUIEditBox* box(s32 id)
	{
		return static_cast<gui::IGUIEditBox*>(
		    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX, id));
	}

	// Clicks a box, selects its text and types over it, then Return.
	void typeInto(s32 id, const wchar_t* text)
	{
		click(box(id));
		postKey(KEY_KEY_A, true, L'a', true);
		postKey(KEY_KEY_A, false, L'a', true);
		typeText(text);
		pressKey(KEY_RETURN);
		frame();
	}

	core::position2d<s32> onScreen(const core::vector3df& point)
	{
		return editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
		    point, editor->Camera);
	}

	// The point of the horizontal plane at height y under a screen point.
	core::vector3df onPlane(const core::position2d<s32>& at, f32 y)
	{
		const core::line3df ray =
		    editor->_smgr->getSceneCollisionManager()->getRayFromScreenCoordinates(at,
		                                                                           editor->Camera);
		const core::vector3df d = ray.getVector();
		return ray.start + d * ((y - ray.start.Y) / d.Y);
	}

	// A left drag in a few steps with a frame between them, as a hand makes
	// it; with `escape`, Escape is pressed before the release.
	void drag(const core::position2d<s32>& from, const core::position2d<s32>& to,
	          bool escape = false)
	{
		mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, from.X, from.Y, EMBSM_LEFT);
		frame();
		for (int step = 1; step <= 4; ++step)
		{
			const core::position2d<s32> at = from + (to - from) * step / 4;
			mouseEvent(EMIE_MOUSE_MOVED, at.X, at.Y, EMBSM_LEFT);
			frame();
		}
		if (escape)
			pressKey(KEY_ESCAPE);
		mouseEvent(EMIE_LMOUSE_LEFT_UP, to.X, to.Y, 0);
		frame();
	}

	// The camera frozen, so that the mouse picks and the handles stand.
	void freezeCamera()
	{
		pressKey(KEY_KEY_C, L'c');
		frame();
		ASSERT_FALSE(editor->CameraMode);
		ASSERT_TRUE(editor->Handles.Shown());
	}

	CModel* crate = nullptr;
};

namespace
{
f32 Component(CModel* model, s32 box)
{
	const int i = box - ID_TRANSFORM_POSITION_X;
	const core::vector3df v = i < 3   ? model->getPosition()
	                          : i < 6 ? model->getRotation()
	                                  : model->getScale();
	return i % 3 == 0 ? v.X : i % 3 == 1 ? v.Y : v.Z;
}
} // namespace

TEST_F(PlacementTest, TypedValuesApplyOneStepEachAndOtherTextIsRefused)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_TRANSFORM));
	frame();
	EXPECT_TRUE(editor->Transform.Window->isVisible());
	const struct
	{
		s32 box;
		const wchar_t* typed;
		f32 value;
		const wchar_t* shown;
	} applied[] = {
	    {701, L"12.5", 12.5f, L"12.5"},  {702, L"-3,25", -3.25f, L"-3.25"},
	    {703, L" 1e2 ", 100.0f, L"100"}, {704, L"45", 45.0f, L"45"},
	    {705, L"+90", 90.0f, L"90"},     {706, L"-30.1234", -30.1234f, L"-30.123"},
	    {707, L"2", 2.0f, L"2"},         {708, L"-0,5", -0.5f, L"-0.5"},
	    {709, L"0.0004", 0.0004f, L"0"},
	};
	for (const auto& row : applied)
	{
		SCOPED_TRACE(core::stringc(row.typed).c_str());
		const std::string before = DescribeScene(editor);
		typeInto(row.box, row.typed);
		EXPECT_EQ(row.value, Component(crate, row.box));
		EXPECT_STREQ(row.shown, box(row.box)->getText());
		const std::string after = DescribeScene(editor);
		ASSERT_TRUE(editor->Undo());
		frame();
		EXPECT_EQ(before, DescribeScene(editor)) << "one step per applied box";
		ASSERT_TRUE(editor->Redo());
		frame();
		EXPECT_EQ(after, DescribeScene(editor));
	}
	const struct
	{
		s32 box;
		const wchar_t* typed;
	} refused[] = {{701, L"abc"},   {702, L"inf"},  {703, L"nan"}, {704, L"1e40"}, {705, L"1.2.3"},
	               {706, L""},      {707, L"0"},    {708, L"-0"},  {709, L"0,0"},  {711, L"-5"},
	               {712, L"0"},     {701, L"3e38"}, {706, L"2e6"}, {707, L"3e38"}, {709, L"1e-5"},
	               {711, L"1e-40"}, {711, L"3e38"}, {712, L"400"}, {712, L"0.001"}};
	for (const auto& row : refused)
	{
		SCOPED_TRACE(core::stringc(row.typed).c_str());
		const std::string before = DescribeScene(editor);
		const core::stringw shown = box(row.box)->getText();
		typeInto(row.box, row.typed);
		EXPECT_EQ(before, DescribeScene(editor));
		EXPECT_EQ(shown, box(row.box)->getText()) << "the current value again";
	}
	EXPECT_EQ(10.0f, editor->Transform.GridStep());
	EXPECT_EQ(15.0f, editor->Transform.AngleStep());

	// The same through the public call.
	const core::vector3df p(1, 2, 3), r(0, 4, 0), s(1, 1, 1), nan(NAN, 0, 0);
	EXPECT_FALSE(editor->SetSelectedTransform(nan, r, s));
	EXPECT_FALSE(editor->SetSelectedTransform(p, core::vector3df(0, INFINITY, 0), s));
	EXPECT_FALSE(editor->SetSelectedTransform(p, r, core::vector3df(1, 0, 1)));
	EXPECT_TRUE(editor->SetSelectedTransform(p, r, s));
	frame();
	EXPECT_STREQ(L"2", box(702)->getText());
	EXPECT_STREQ(L"4", box(705)->getText());
	editor->Select(nullptr);
	EXPECT_FALSE(editor->SetSelectedTransform(p, r, s)) << "nothing selected";
}

TEST_F(PlacementTest, TheWindowFollowsKeysUndoAndTheMarker)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_TRANSFORM));
	frame();
	EXPECT_STREQ(L"0", box(703)->getText());
	holdKeys({KEY_UP}, 5);
	frame();
	EXPECT_STREQ(L"15", box(703)->getText()) << "arrow up: 3 units a frame along +Z";
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_STREQ(L"0", box(703)->getText());

	// Nothing selected: the marker's position and heading, no scale.
	pressKey(KEY_ESCAPE);
	frame();
	EXPECT_EQ(nullptr, editor->SelectedModel);
	holdKeys({KEY_NUMPAD8}, 4);
	holdKeys({KEY_NUMPAD6}, 3);
	frame();
	EXPECT_STREQ(L"12", box(703)->getText());
	EXPECT_STREQ(L"6", box(705)->getText());
	EXPECT_STREQ(L"", box(707)->getText());
	EXPECT_FALSE(box(707)->isEnabled());
	typeInto(701, L"7");
	EXPECT_VEC_NEAR(core::vector3df(7, 0, 12), editor->Positioner->getPosition(), 0.0f);
	editor->Select(crate);
	frame();
	EXPECT_STREQ(L"0", box(701)->getText());
	EXPECT_TRUE(box(707)->isEnabled());
}

TEST_F(PlacementTest, DragsMoveAlongAnAxisOrOverThePlaneAsOneStep)
{
	// A crate 60 units across, so that its faces reach past the handles.
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(0, 0, 0), core::vector3df(0, 0, 0),
	                                         core::vector3df(3, 3, 3)));
	freezeCamera();
	const core::vector3df start = crate->getPosition();

	// A click on the object without moving picks it, as designed.
	drag(onScreen(start), onScreen(start));
	EXPECT_TRUE(editor->CameraMode);
	EXPECT_EQ(start, crate->getPosition());
	freezeCamera();

	// The object itself: the point under the cursor stays under it.
	const core::position2d<s32> face = onScreen(start + core::vector3df(0, 30, -20));
	ASSERT_EQ(CGizmo::PART_BODY, editor->Handles.PartAt(face));
	const core::position2d<s32> to = face + core::position2d<s32>(40, 25);
	drag(face, to);
	const core::vector3df moved = start + onPlane(to, start.Y) - onPlane(face, start.Y);
	EXPECT_VEC_NEAR(moved, crate->getPosition(), 0.01f);
	EXPECT_FALSE(editor->CameraMode) << "a drag is no pick";

	// The Z handle: along Z only, with the cursor.
	const f32 along = editor->Handles.HandleLength() * 0.6f;
	const core::vector3df z(0, 0, 1);
	drag(onScreen(moved + z * along), onScreen(moved + z * (along + 20)));
	EXPECT_EQ(moved.X, crate->getPosition().X);
	EXPECT_EQ(moved.Y, crate->getPosition().Y);
	EXPECT_NEAR(moved.Z + 20, crate->getPosition().Z, 1.0f);

	// Each drag was one step.
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(moved, crate->getPosition());
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(start, crate->getPosition());
}

TEST_F(PlacementTest, SnappingLandsOnTheGridAndTheAngleSteps)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_TRANSFORM));
	frame();
	click(FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_CHECK_BOX, ID_TRANSFORM_SNAP));
	typeInto(ID_TRANSFORM_GRID, L"25");
	typeInto(ID_TRANSFORM_ANGLE, L"30");
	clickAt(400, 560); // back in the scene: the box gives up the keys
	frame();
	ASSERT_TRUE(editor->Transform.Snap());
	ASSERT_EQ(25.0f, editor->Transform.GridStep());
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(3, 4, 7), core::vector3df(0, 0, 0),
	                                         core::vector3df(3, 3, 3)));
	freezeCamera();
	const core::vector3df start = crate->getPosition();
	const f32 length = editor->Handles.HandleLength();
	const f32 ring = length * CGizmo::RING_PIXELS / CGizmo::HANDLE_PIXELS;
	const auto onRing = [&](f32 degrees)
	{
		const f32 a = degrees * core::DEGTORAD;
		return onScreen(start + core::vector3df(std::sin(a), 0, std::cos(a)) * ring);
	};

	drag(onScreen(start), onScreen(start) + core::position2d<s32>(37, 21));
	const core::vector3df p = crate->getPosition();
	EXPECT_EQ(0.0f, std::fmod(p.X, 25.0f)) << p.X;
	EXPECT_EQ(0.0f, std::fmod(p.Z, 25.0f)) << p.Z;
	EXPECT_EQ(4.0f, p.Y) << "over the plane through the object";
	EXPECT_FALSE(p == start);

	ASSERT_TRUE(editor->SetSelectedTransform(start, core::vector3df(0, 0, 0), crate->getScale()));
	frame();
	drag(onRing(45), onRing(95));
	EXPECT_EQ(60.0f, crate->getRotation().Y) << "a turn of 50 degrees lands on 60";
}

// Values at the ends of every range still save and open again: a copy one
// grid step beyond the largest coordinate stays on it, framing it keeps the
// view a place; a save that would write what opening refuses writes nothing.
TEST_F(PlacementTest, EditsAtTheLimitsSaveAndOpenAgain)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_TRANSFORM));
	frame();
	typeInto(ID_TRANSFORM_GRID, L"10000");
	typeInto(701, L"1000000");
	typeInto(707, L"10000");
	clickAt(400, 560);
	frame();
	EXPECT_EQ(10000.0f, editor->Transform.GridStep());
	ASSERT_TRUE(editor->DuplicateSelected());
	frame();
	EXPECT_EQ(1e6f, editor->Model[2]->getPosition().X);
	pressKey(KEY_KEY_F, L'f');
	frame();
	const std::string file = ScratchDir() + "/limits.irr";
	ASSERT_TRUE(editor->SaveScene(file.c_str()));
	EXPECT_TRUE(editor->OpenScene(file.c_str()));
	EXPECT_EQ(L"Scene Opened: Opened 2 of 2 objects from " +
	              std::wstring(core::stringw(file.c_str()).c_str()) + L".",
	          answer());

	const std::string refused = ScratchDir() + "/refused.irr";
	std::remove(refused.c_str());
	editor->Select(editor->Model[1]);
	editor->Model[1]->FileName = core::stringw(std::string(5000, 'a').c_str());
	EXPECT_FALSE(editor->SaveScene(refused.c_str()));
	EXPECT_EQ(L"Save Error: Saving failed: A name is longer than 4096 characters. Nothing was "
	          L"written.",
	          answer());
	EXPECT_TRUE(ReadFile(refused).empty());
}

TEST_F(PlacementTest, EscapeDuringADragPutsTheObjectBack)
{
	freezeCamera();
	const std::string before = DescribeScene(editor);
	const core::vector3df start = crate->getPosition();
	const f32 along = editor->Handles.HandleLength() * 0.6f;
	const core::vector3df z(0, 0, 1);
	drag(onScreen(start + z * along), onScreen(start + z * (along + 30)), true);
	EXPECT_EQ(before, DescribeScene(editor));
	EXPECT_EQ(crate, editor->SelectedModel) << "Escape ended the drag, not the selection";
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(nullptr, editor->Model[1]->AnimatedNode) << "no step was left by the drag";
}

TEST_F(PlacementTest, DeleteDuplicateAndEscapeActOnTheSelection)
{
	ASSERT_TRUE(editor->LoadModelSkin(MediaFile("wall.jpg").c_str()));
	crate->setMaterialType(12);
	crate->setWireframe(true);
	crate->TextureName2 = L"detail.jpg";
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(5, 1, 7), core::vector3df(0, 30, 0),
	                                         core::vector3df(2, 1, 3)));
	frame();

	postKey(KEY_KEY_D, true, L'd', true);
	postKey(KEY_KEY_D, false, L'd', true);
	frame();
	CModel* copy = editor->Model[2];
	ASSERT_TRUE(copy && copy->AnimatedNode);
	EXPECT_EQ(copy, editor->SelectedModel);
	SModelState expected = *editor->Document.Object(1);
	expected.Position.X += 10;
	expected.Name = L"crate.obj 2";
	EXPECT_TRUE(expected == *editor->Document.Object(2)) << "all but a grid step and its name";

	const std::string withCopy = DescribeScene(editor);
	pressKey(KEY_DELETE);
	frame();
	EXPECT_EQ(nullptr, editor->Model[2]->AnimatedNode);
	EXPECT_EQ(nullptr, editor->SelectedModel);
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_EQ(withCopy, DescribeScene(editor)) << "Delete is one step";
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_EQ(nullptr, editor->Model[2]->AnimatedNode) << "Control+D is one step";

	// Keys typed into a box are the box's.
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(chooseMenu(ID_MENU_TRANSFORM));
	click(box(701));
	pressKey(KEY_DELETE);
	frame();
	EXPECT_NE(nullptr, editor->Model[1]->AnimatedNode);
	clickAt(400, 560);

	pressKey(KEY_ESCAPE);
	EXPECT_EQ(nullptr, editor->SelectedModel);
	EXPECT_FALSE(editor->DuplicateSelected());
	pressKey(KEY_DELETE);
	EXPECT_NE(nullptr, editor->Model[1]->AnimatedNode) << "nothing selected, nothing removed";
}

TEST_F(PlacementTest, SceneObjectsListFollowsTheSceneAndSelectsAndFrames)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS));
	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	ASSERT_TRUE(editor->CreateNewWater());
	frame();
	gui::IGUIListBox* list = editor->ObjectList.List;
	const auto lines = [&]
	{
		std::wstring all;
		for (u32 i = 0; i < list->getItemCount(); ++i)
			all += std::wstring(list->getListItem(i)) + L"|";
		return all;
	};
	EXPECT_EQ(L"water|1  model  crate.obj|2  model  sydney.md2|", lines());
	EXPECT_EQ(0, list->getSelected()) << "the water, just added, is selected";

	editor->Select(crate);
	pressKey(KEY_DELETE);
	frame();
	EXPECT_EQ(L"water|2  model  sydney.md2|", lines());
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_EQ(L"water|1  model  crate.obj|2  model  sydney.md2|", lines());

	// A click on a line selects; a second one frames the object, as F does.
	const auto clickLine = [&](s32 line)
	{
		const core::rect<s32> area = list->getAbsolutePosition();
		for (s32 y = area.UpperLeftCorner.Y + 2; y < area.LowerRightCorner.Y; ++y)
			if (list->getItemAt(area.UpperLeftCorner.X + 10, y) == line)
				return clickAt(area.UpperLeftCorner.X + 10, y);
		ADD_FAILURE() << "no line " << line;
	};
	CModel* sydney = editor->Model[2];
	const core::vector3df target = editor->Camera->getTarget();
	clickLine(2);
	EXPECT_EQ(sydney, editor->SelectedModel);
	EXPECT_EQ(target, editor->Camera->getTarget());
	clickLine(2);
	EXPECT_VEC_NEAR(sydney->AnimatedNode->getTransformedBoundingBox().getCenter(),
	                editor->Camera->getTarget(), 0.01f);
}
