// The top, front and side views beside the perspective one: switching
// views from the menu and the keys, the four-view layout, picking and
// dragging the handles through the view under the cursor, and the grid.
#include "EditorTestSupport.h"

#include "EditorIds.h"

namespace
{
// The menu's numbers, kept here so that a wrong constant is caught.
struct SViewRow
{
	const char* name;
	s32 command;
	EKEY_CODE key;
	EView view;
	//! Where the camera looks, or zero for the perspective camera.
	core::vector3df along;
};
const SViewRow ViewRows[] = {
    {"Perspective", 53, KEY_KEY_1, VIEW_PERSPECTIVE, {0, 0, 0}},
    {"Top", 54, KEY_KEY_2, VIEW_TOP, {0, -1, 0}},
    {"Front", 55, KEY_KEY_3, VIEW_FRONT, {0, 0, 1}},
    {"Side", 56, KEY_KEY_4, VIEW_SIDE, {-1, 0, 0}},
};
const s32 FourViewsCommand = 57, GridCommand = 58;
} // namespace

class ViewportsTest : public EditorTest
{
protected:
	CViewports& views() { return editor->View.Views; }
	s32 width() { return static_cast<s32>(editor->_driver->getScreenSize().Width); }
	s32 height() { return static_cast<s32>(editor->_driver->getScreenSize().Height); }

	// Where a point appears in an orthographic view at the start: the view
	// shows START_HEIGHT units of the world across its height around the
	// origin, `right` and `up` the world's axes along the screen's.
	core::position2d<s32> seenAt(const core::rect<s32>& area, f32 right, f32 up)
	{
		const f32 perUnit = area.getHeight() / CViewports::START_HEIGHT;
		const core::position2d<s32> middle = area.getCenter();
		return core::position2d<s32>(middle.X + core::round32(right * perUnit),
		                             middle.Y - core::round32(up * perUnit));
	}

	bool menuChecked(s32 command)
	{
		gui::IGUIContextMenu* bar = static_cast<gui::IGUIContextMenu*>(
		    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_MENU));
		gui::IGUIContextMenu* view = bar->getSubMenu(2);
		return view->isItemChecked(static_cast<u32>(view->findItemWithCommandId(command)));
	}

	void drag(const core::position2d<s32>& from, const core::position2d<s32>& to)
	{
		mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, from.X, from.Y, EMBSM_LEFT);
		editor->Render();
		for (int step = 1; step <= 4; ++step)
		{
			const core::position2d<s32> at = from + (to - from) * step / 4;
			mouseEvent(EMIE_MOUSE_MOVED, at.X, at.Y, EMBSM_LEFT);
			editor->Render();
		}
		mouseEvent(EMIE_LMOUSE_LEFT_UP, to.X, to.Y, 0);
		editor->Render();
	}

	//! The same drag with Shift held.
	void shiftDrag(const core::position2d<s32>& from, const core::position2d<s32>& to)
	{
		const auto send = [&](EMOUSE_INPUT_EVENT what, const core::position2d<s32>& at, u32 buttons)
		{
			SEvent event;
			event.EventType = EET_MOUSE_INPUT_EVENT;
			event.MouseInput = SEvent::SMouseInput();
			event.MouseInput.Event = what;
			event.MouseInput.X = at.X;
			event.MouseInput.Y = at.Y;
			event.MouseInput.ButtonStates = buttons;
			event.MouseInput.Shift = true;
			editor->_device->getCursorControl()->setPosition(at.X, at.Y);
			editor->_device->postEventFromUser(event);
			editor->Render();
		};
		send(EMIE_LMOUSE_PRESSED_DOWN, from, EMBSM_LEFT);
		for (int step = 1; step <= 4; ++step)
			send(EMIE_MOUSE_MOVED, from + (to - from) * step / 4, EMBSM_LEFT);
		send(EMIE_LMOUSE_LEFT_UP, to, 0);
	}
};

TEST_F(ViewportsTest, EachViewHasItsCameraFromTheMenuAndTheKeys)
{
	for (const SViewRow& row : ViewRows)
		for (bool byKey : {false, true})
		{
			// From another view each time.
			views().Show(row.view == VIEW_TOP ? VIEW_SIDE : VIEW_TOP);
			if (byKey)
				pressKey(row.key, static_cast<wchar_t>(L'1' + row.view));
			else
				ASSERT_TRUE(chooseMenu(row.command)) << row.name;
			editor->Render();
			EXPECT_EQ(row.view, views().Active()) << row.name;
			EXPECT_FALSE(views().FourViews()) << row.name;
			EXPECT_TRUE(menuChecked(row.command)) << row.name;
			scene::ICameraSceneNode* camera = editor->_smgr->getActiveCamera();
			const bool perspective = row.view == VIEW_PERSPECTIVE;
			EXPECT_EQ(perspective, camera == editor->Camera) << row.name;
			EXPECT_EQ(!perspective, camera->isOrthogonal()) << row.name;
			if (!perspective)
			{
				const core::vector3df look =
				    (camera->getTarget() - camera->getPosition()).normalize();
				EXPECT_VEC_NEAR(row.along, look, 1e-5f) << row.name;
				// An orthographic projection: w stays 1, whatever the depth.
				EXPECT_EQ(0.0f, camera->getProjectionMatrix()[11]) << row.name;
			}
		}
}

TEST_F(ViewportsTest, FourViewsShareTheWindowInQuartersAndAtRestDrawNothing)
{
	pressKey(KEY_KEY_5, L'5');
	ASSERT_TRUE(views().FourViews());
	EXPECT_TRUE(menuChecked(FourViewsCommand));
	const s32 w = width(), h = height();
	const struct
	{
		EView view;
		core::rect<s32> area;
	} quarters[] = {{VIEW_TOP, {0, 0, w / 2, h / 2}},
	                {VIEW_FRONT, {w / 2, 0, w, h / 2}},
	                {VIEW_SIDE, {0, h / 2, w / 2, h}},
	                {VIEW_PERSPECTIVE, {w / 2, h / 2, w, h}}};
	const std::vector<SViewport> shown = views().ShownViews();
	ASSERT_EQ(4u, shown.size());
	for (const auto& quarter : quarters)
	{
		bool found = false;
		for (const SViewport& view : shown)
			if (view.Kind == quarter.view)
			{
				found = true;
				EXPECT_EQ(quarter.area, view.Area) << ViewRows[quarter.view].name;
			}
		EXPECT_TRUE(found) << ViewRows[quarter.view].name;
		EXPECT_EQ(quarter.view, views().ViewAt(quarter.area.getCenter()).Kind);
	}
	EXPECT_NEAR(static_cast<f32>(w / 2) / (h / 2), editor->Camera->getAspectRatio(), 1e-4f)
	    << "the perspective camera takes its quarter's shape";

	// Settled, the loop draws nothing however many views there are.
	int frames = 0;
	for (int pass = 0; pass < 20; ++pass)
	{
		editor->Update();
		if (editor->FrameNeeded())
		{
			editor->Render();
			++frames;
		}
	}
	EXPECT_LE(frames, 3);
	EXPECT_FALSE(editor->FrameNeeded());

	// The wheel zooms the view under the cursor about the point there, and
	// only that view; a middle drag pans it with the cursor.
	const core::rect<s32> top = quarters[0].area;
	const core::position2d<s32> at = seenAt(top, 100, -50);
	const scene::ICameraSceneNode* front = views().View(VIEW_FRONT).Camera;
	const core::matrix4 frontBefore = front->getProjectionMatrix();
	SEvent wheel;
	wheel.EventType = EET_MOUSE_INPUT_EVENT;
	wheel.MouseInput = {at.X, at.Y, 1.0f, false, false, 0, EMIE_MOUSE_WHEEL};
	editor->_device->postEventFromUser(wheel);
	EXPECT_TRUE(editor->FrameNeeded());
	const SViewport zoomed = views().View(VIEW_TOP);
	core::position2d<s32> still;
	ASSERT_TRUE(zoomed.ToScreen(core::vector3df(100, 0, -50), still));
	EXPECT_NEAR(at.X, still.X, 1);
	EXPECT_NEAR(at.Y, still.Y, 1);
	EXPECT_NEAR(0.8f * CViewports::START_HEIGHT / top.getHeight(),
	            zoomed.UnitsPerPixel(core::vector3df()), 1e-4f);
	EXPECT_EQ(frontBefore, front->getProjectionMatrix());
	mouseEvent(EMIE_MMOUSE_PRESSED_DOWN, at.X, at.Y, EMBSM_MIDDLE);
	mouseEvent(EMIE_MOUSE_MOVED, at.X + 30, at.Y - 20, EMBSM_MIDDLE);
	mouseEvent(EMIE_MMOUSE_LEFT_UP, at.X + 30, at.Y - 20, 0);
	ASSERT_TRUE(views().View(VIEW_TOP).ToScreen(core::vector3df(100, 0, -50), still));
	EXPECT_NEAR(at.X + 30, still.X, 1);
	EXPECT_NEAR(at.Y - 20, still.Y, 1);

	pressKey(KEY_KEY_5, L'5');
	EXPECT_FALSE(views().FourViews());
	EXPECT_EQ(VIEW_TOP, views().Active()) << "the view under the wheel became active";
	EXPECT_EQ(1u, views().ShownViews().size());
}

TEST_F(ViewportsTest, AClickPicksThroughTheCameraOfTheQuarterUnderIt)
{
	CModel* first = placeModel(1);
	CModel* second = placeModel(2);
	first->AnimatedNode->setPosition(core::vector3df(100, 0, -50));
	second->AnimatedNode->setPosition(core::vector3df(-150, 0, -100));
	views().SetFourViews(true);
	editor->Render();
	const s32 w = width(), h = height();
	const struct
	{
		EView view;
		core::rect<s32> area;
		CModel* model;
		f32 right, up;
	} clicks[] = {
	    {VIEW_TOP, {0, 0, w / 2, h / 2}, first, 100, -50},
	    {VIEW_SIDE, {0, h / 2, w / 2, h}, second, -100, 0},
	    {VIEW_FRONT, {w / 2, 0, w, h / 2}, first, 100, 0},
	    {VIEW_TOP, {0, 0, w / 2, h / 2}, second, -150, -100},
	};
	for (const auto& click : clicks)
	{
		editor->CameraMode = false; // the mouse picks
		const f32 middle = click.model->AnimatedNode->getTransformedBoundingBox().getCenter().Y;
		const f32 up = click.view == VIEW_TOP ? click.up : middle;
		const core::position2d<s32> at = seenAt(click.area, click.right, up);
		clickAt(at.X, at.Y);
		EXPECT_EQ(click.view, views().Active()) << ViewRows[click.view].name;
		EXPECT_EQ(click.model, editor->SelectedModel) << ViewRows[click.view].name;
	}
}

TEST_F(ViewportsTest, SeenOrthographicallyTheHandlesMoveInTheViewsPlane)
{
	CModel* crate = placeModel(1);
	editor->Select(crate);
	const core::vector3df start(20, 10, -30);
	ASSERT_TRUE(editor->SetSelectedTransform(start, core::vector3df(), core::vector3df(1, 1, 1)));
	editor->CameraMode = false;
	views().Show(VIEW_FRONT);
	editor->Render();
	const core::rect<s32> screen(0, 0, width(), height());
	const f32 perPixel = CViewports::START_HEIGHT / height();

	// The centre square: over X and Y, the depth kept.
	const core::position2d<s32> centre = seenAt(screen, start.X, start.Y);
	ASSERT_EQ(CGizmo::PART_BODY, editor->Handles.PartAt(centre));
	drag(centre, centre + core::position2d<s32>(40, -30));
	EXPECT_VEC_NEAR(start + core::vector3df(40 * perPixel, 30 * perPixel, 0), crate->getPosition(),
	                0.01f);
	ASSERT_TRUE(editor->Undo());

	// The axis along the view has no handle; the others move along theirs.
	const f32 length = CGizmo::HANDLE_PIXELS * perPixel;
	EXPECT_NEAR(length, editor->Handles.HandleLength(), 1e-3f);
	const core::position2d<s32> yHandle = seenAt(screen, start.X, start.Y + length * 0.6f);
	ASSERT_EQ(CGizmo::PART_Y, editor->Handles.PartAt(yHandle));
	drag(yHandle, yHandle + core::position2d<s32>(25, -20));
	EXPECT_VEC_NEAR(start + core::vector3df(0, 20 * perPixel, 0), crate->getPosition(), 0.01f);
	ASSERT_TRUE(editor->Undo());

	// From the top: no Y handle where it would point at the camera; the
	// centre moves over X and Z.
	views().Show(VIEW_TOP);
	editor->Render();
	const core::position2d<s32> above = seenAt(screen, start.X, start.Z);
	EXPECT_EQ(CGizmo::PART_BODY, editor->Handles.PartAt(above));
	drag(above, above + core::position2d<s32>(-30, 30));
	EXPECT_VEC_NEAR(start + core::vector3df(-30 * perPixel, 0, -30 * perPixel),
	                crate->getPosition(), 0.01f);
}

TEST_F(ViewportsTest, TheViewKeysAreTextWhileAnEditBoxHasTheFocus)
{
	editor->Transform.Show();
	gui::IGUIEditBox* box = static_cast<gui::IGUIEditBox*>(FindElement(
	    editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX, ID_TRANSFORM_POSITION_X));
	click(box);
	box->setText(L"");
	pressKey(KEY_KEY_2, L'2');
	pressKey(KEY_KEY_5, L'5');
	EXPECT_EQ(VIEW_PERSPECTIVE, views().Active());
	EXPECT_FALSE(views().FourViews());
	EXPECT_STREQ(L"25", box->getText());
}

TEST_F(ViewportsTest, TheGridIsShownAndHiddenFromTheMenuAndFollowsTheStep)
{
	ASSERT_TRUE(menuChecked(GridCommand)) << "shown from the start";
	const auto linesDrawn = [&]
	{
		editor->Render();
		editor->Render(); // the engine counts a frame's lines when it ends
		return editor->_driver->getPrimitiveCountDrawn();
	};
	for (EView view : {VIEW_PERSPECTIVE, VIEW_TOP})
	{
		views().Show(view);
		const u32 shown = linesDrawn();
		ASSERT_TRUE(chooseMenu(GridCommand));
		EXPECT_FALSE(menuChecked(GridCommand));
		const u32 hidden = linesDrawn();
		EXPECT_GT(shown, hidden + 20) << ViewRows[view].name;
		ASSERT_TRUE(chooseMenu(GridCommand));
		EXPECT_TRUE(menuChecked(GridCommand));
	}
	// The lines are kept while nothing they are made from changes.
	editor->Transform.Show();
	const auto typeStep = [&](const wchar_t* step)
	{
		click(FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX,
		                  ID_TRANSFORM_GRID));
		postKey(KEY_KEY_A, true, L'a', true);
		postKey(KEY_KEY_A, false, L'a', true);
		typeText(step);
		pressKey(KEY_RETURN);
	};
	for (EView view : {VIEW_PERSPECTIVE, VIEW_TOP})
	{
		views().Show(view);
		editor->Render();
		const u32 builds = views().GridLines().Builds();
		editor->Render();
		EXPECT_EQ(builds, views().GridLines().Builds()) << ViewRows[view].name << ": kept";
		typeStep(L"25");
		editor->Render();
		EXPECT_EQ(builds + 1, views().GridLines().Builds()) << ViewRows[view].name << ": step";
		typeStep(L"10");
	}
	// The lines drawn are the step's, or every tenth where they would crowd.
	EXPECT_EQ(10.0f, CGrid::DrawnStep(10.0f, 1.0f));
	EXPECT_EQ(100.0f, CGrid::DrawnStep(10.0f, 2.0f));
	EXPECT_EQ(1000.0f, CGrid::DrawnStep(10.0f, 20.0f));
}

namespace
{
// Drawn last of the scene's nodes: notes how many outlines had been drawn
// when the scene of a view ended.
class COutlineProbe : public scene::ISceneNode
{
public:
	COutlineProbe(scene::ISceneManager* smgr, const CSelectionOutline& outline)
	    : ISceneNode(smgr->getRootSceneNode(), smgr, -1), Outline(outline)
	{
		setAutomaticCulling(scene::EAC_OFF);
	}
	void OnRegisterSceneNode() override
	{
		SceneManager->registerNodeForRendering(this, scene::ESNRP_TRANSPARENT_EFFECT);
		ISceneNode::OnRegisterSceneNode();
	}
	void render() override { Seen.push_back(Outline.Drawn()); }
	const core::aabbox3d<f32>& getBoundingBox() const override { return Box; }

	std::vector<u32> Seen;

private:
	const CSelectionOutline& Outline;
	core::aabbox3d<f32> Box;
};
} // namespace

TEST_F(ViewportsTest, TheSelectionIsOutlinedAfterEachViewsSceneUnlessHidden)
{
	CModel* model = placeModel(1);
	scene::IAnimatedMeshSceneNode* node = model->AnimatedNode;
	const scene::IMesh* mesh = node->getMesh()->getMesh(core::floor32(node->getFrameNr()));
	u32 triangles = 0;
	for (u32 i = 0; i < mesh->getMeshBufferCount(); ++i)
		triangles += mesh->getMeshBuffer(i)->getIndexCount() / 3;
	ASSERT_GT(triangles, 100u);
	const auto drawn = [&]
	{
		editor->Render();
		editor->Render(); // the engine counts a frame's primitives when it ends
		return editor->_driver->getPrimitiveCountDrawn();
	};
	const CSelectionOutline& outline = views().Outline;
	COutlineProbe* probe = new COutlineProbe(editor->_smgr, outline);
	for (bool four : {false, true})
	{
		views().SetFourViews(four);
		const u32 shownViews = four ? 4 : 1;
		editor->Select(0);
		const u32 bare = drawn();
		editor->Select(model);
		// Every triangle's three edges twice: where hidden, then where seen.
		EXPECT_EQ(bare + 2 * 3 * triangles * shownViews, drawn()) << shownViews << " views";

		// Each view's outline comes after that view's scene.
		probe->Seen.clear();
		const u32 before = outline.Drawn();
		editor->Render();
		ASSERT_EQ(shownViews, probe->Seen.size());
		for (u32 v = 0; v < shownViews; ++v)
			EXPECT_EQ(before + v, probe->Seen[v]) << "view " << v;
		EXPECT_EQ(before + shownViews, outline.Drawn());

		// Hidden, the selection has no outline.
		pressKey(KEY_KEY_H, L'h');
		ASSERT_FALSE(node->isVisible());
		EXPECT_EQ(bare - triangles * shownViews, drawn()) << shownViews << " views";
		pressKey(KEY_KEY_H, L'h');
	}
	probe->remove();
	probe->drop();
}

TEST_F(ViewportsTest, WithShiftTheCentreSlidesTheObjectOverTheSurfacesUnderTheCursor)
{
	// Seen from the top: a crate (20 units, its origin in its middle) on
	// the plane at x = 100, and the one dragged at x = -100.
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(100, 10, 0), core::vector3df(),
	                                         core::vector3df(1, 1, 1)));
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	dismissMessages();
	CModel* dragged = editor->SelectedModel;
	const core::vector3df start(-100, 10, 0);
	ASSERT_TRUE(editor->SetSelectedTransform(start, core::vector3df(), core::vector3df(1, 1, 1)));
	editor->CameraMode = false;
	views().Show(VIEW_TOP);
	editor->Render();
	const core::rect<s32> screen(0, 0, width(), height());
	const f32 perPixel = CViewports::START_HEIGHT / height();
	const core::position2d<s32> centre = seenAt(screen, start.X, start.Z);
	ASSERT_EQ(CGizmo::PART_BODY, editor->Handles.PartAt(centre));

	// A short slide over the plane: the crate does not climb onto itself.
	shiftDrag(centre, centre + core::position2d<s32>(8, 0));
	EXPECT_VEC_NEAR(start + core::vector3df(8 * perPixel, 0, 0), dragged->getPosition(), 0.01f);
	ASSERT_TRUE(editor->Undo());
	EXPECT_VEC_NEAR(start, dragged->getPosition(), 0.01f) << "the whole drag is one step";

	// Onto the other crate, then, with that one hidden, onto the plane
	// where it stands.
	const core::position2d<s32> other = seenAt(screen, 100, 0);
	shiftDrag(centre, other);
	EXPECT_VEC_NEAR(core::vector3df(100, 30, 0), dragged->getPosition(), perPixel);
	EXPECT_EQ(L"Undo Move crate.obj 2", std::wstring(editor->EditMenu->getItemText(0)));
	ASSERT_TRUE(editor->Undo());
	editor->Execute(commands::EditObject(1, [](SModelState& record) { record.Visible = false; }));
	editor->Select(dragged);
	shiftDrag(centre, other);
	EXPECT_VEC_NEAR(core::vector3df(100, 10, 0), dragged->getPosition(), perPixel);
}
