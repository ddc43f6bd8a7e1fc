// Frames only on change, at most 60 a second, and movement steps timed by
// the clock, not by frames.
#include "EditorTestSupport.h"

#include <functional>

#include "EditorIds.h"

class FramesTest : public EditorTest
{
protected:
	// The main loop for a while of the editor's clock: the frames drawn.
	int drawFor(double seconds)
	{
		const double end = clock + seconds;
		int frames = 0;
		passes = 0;
		while (clock < end && editor->Update())
		{
			++passes;
			if (editor->FrameNeeded())
			{
				editor->Render();
				++frames;
			}
		}
		return frames;
	}
	// Runs the loop until a pass draws nothing; false if it never does.
	bool settle()
	{
		for (int i = 0; i < 10; ++i)
		{
			editor->Update();
			if (!editor->FrameNeeded())
				return true;
			editor->Render();
		}
		return false;
	}
	std::wstring infoText() { return editor->EditorInfoText->getText(); }
	int passes = 0;
};

TEST_F(FramesTest, AtRestNothingIsDrawnAndTheLoopSleeps)
{
	ASSERT_TRUE(settle()) << "start-up draws a few frames, then rests";
	EXPECT_EQ(0, drawFor(2.0));
	EXPECT_LE(passes, 3) << "a pass at rest waits up to a second";
	EXPECT_NE(std::wstring::npos, infoText().find(L" - at rest\nTriangles: "));

	// The blinking cursor of a focused box costs at most two frames a second.
	editor->Transform.Show();
	editor->_gui->setFocus(FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX,
	                                   ID_TRANSFORM_POSITION_X));
	settle();
	const int frames = drawFor(4.0);
	EXPECT_GE(frames, 2) << "the cursor blinks";
	EXPECT_LE(frames, 8);
}

TEST_F(FramesTest, AFrameFollowsEachKindOfChange)
{
	const core::dimension2d<u32> screen = editor->_driver->getScreenSize();
	const std::pair<const char*, std::function<void()>> changes[] = {
	    {"a key", [&] { pressKey(KEY_KEY_W); }},
	    {"a mouse move", [&] { moveMouse(200, 200); }},
	    {"a resized window", [&] { editor->_driver->OnResize(screen + screen); }},
	    {"a message box", [&] { editor->ShowMessage(L"Caption", L"Text"); }},
	    {"a tool window shown", [&] { CSceneEditor::AboutWindow->setVisible(true); }},
	    {"the camera moved", [&] { editor->Camera->setPosition(core::vector3df(0, 50, 90)); }},
	    {"a requested frame", [&] { editor->RequestFrame(); }},
	};
	for (const auto& change : changes)
	{
		ASSERT_TRUE(settle()) << change.first;
		change.second();
		editor->Update();
		EXPECT_TRUE(editor->FrameNeeded()) << change.first;
		drawFor(1.0);
		EXPECT_EQ(0, drawFor(1.0)) << change.first << ": then the editor rests again";
	}
}

TEST_F(FramesTest, AnimatedThingsInViewAreDrawnSixtyTimesASecond)
{
	ASSERT_TRUE(settle());
	scene::IAnimatedMeshSceneNode* sydney = placeModel(1)->AnimatedNode;
	scene::ISceneNode* water = nullptr;
	scene::ISceneNode* particles = editor->_smgr->addParticleSystemSceneNode();
	particles->setVisible(false);
	const std::pair<const char*, std::function<void(bool)>> rows[] = {
	    {"an animated mesh", [&](bool on) { sydney->setVisible(on); }},
	    {"water",
	     [&](bool on)
	     {
		     if (!water)
			     water = (editor->Water->addWater(), editor->Water->Node);
		     water->setVisible(on);
	     }},
	    {"a particle system", [&](bool on) { particles->setVisible(on); }},
	};
	for (const auto& row : rows)
	{
		row.second(true);
		const int frames = drawFor(1.0);
		EXPECT_GE(frames, 59) << row.first;
		EXPECT_LE(frames, 61) << row.first;
		EXPECT_NE(std::wstring::npos, infoText().find(L" - FPS:60\n")) << row.first;
		row.second(false);
		EXPECT_TRUE(settle()) << row.first;
		EXPECT_NE(std::wstring::npos, infoText().find(L" - at rest\n")) << row.first;
	}

	sydney->setVisible(true);
	sydney->setPosition(core::vector3df(1000, 0, 0)); // behind the camera
	EXPECT_TRUE(settle()) << "an animated mesh out of view";
	sydney->setPosition(core::vector3df(0, 0, 0));
	sydney->setAnimationSpeed(0);
	EXPECT_TRUE(settle()) << "a mesh whose animation is stopped";
}

TEST_F(FramesTest, AHeldKeyTakesSixtyStepsASecondHoweverTheClockJumps)
{
	// The clock moves by these steps in turn, whatever the editor waits.
	editor->Sleep = [](double) {};
	const double jumps[] = {0.003, 0.051, 0.0167, 0.2, 0.0009, 0.09, 0.034, 0.0501};
	struct Row
	{
		double seconds;
		int steps;
	};
	const Row rows[] = {{0.0, 1}, {0.5 / 60, 1}, {1.5 / 60, 2}, {1.0, 60}, {2.0, 120}};
	f32 z = 0;
	size_t jump = 0;
	for (const Row& row : rows)
	{
		const double release = clock + row.seconds;
		postKey(KEY_NUMPAD8, true);
		for (;;)
		{
			clock = std::min(release, clock + jumps[jump++ % 8]);
			if (clock >= release)
				break;
			editor->Update();
		}
		postKey(KEY_NUMPAD8, false);
		editor->Update();
		z += 3.0f * row.steps;
		EXPECT_NEAR(z, editor->Positioner->getPosition().Z, 0.01f) << row.seconds << " s held";
	}
}
