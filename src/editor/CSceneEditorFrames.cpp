// Frames on demand: whether a pass of the main loop draws, and the wait
// between passes. The editor draws when something may look different and
// otherwise sleeps until input, a window event or a timed frame is due.
#include "CSceneEditor.h"

#include <cmath>

#include "XInput.h"

namespace
{
// A focused edit box blinks its cursor (the engine shows it 350 ms of every
// 700): one frame every one and a half periods shows the cursor and hides
// it in turn, at less than a frame a second.
const double CursorFrameSeconds = 1.05;
// A modal screen flashes for this long when a click or a focus change is
// refused; a frame drawn then would keep showing the flash.
const double ModalFlashSeconds = 0.35;
// Frames further apart than this belong to separate bursts of drawing.
const double DrawingGapSeconds = 0.5;
// The rate the information text shows is taken over this much time.
const double RateWindowSeconds = 1.0;

void Mix(size_t& hash, size_t value)
{
	hash = hash * 1000003u ^ value;
}

// Whether a node changes by itself from frame to frame.
bool Animates(scene::ISceneNode* node)
{
	switch (node->getType())
	{
	case scene::ESNT_WATER_SURFACE:
	case scene::ESNT_PARTICLE_SYSTEM: return true;
	// The camera's animator follows the mouse, whose events ask for frames.
	case scene::ESNT_CAMERA: return false;
	case scene::ESNT_ANIMATED_MESH:
	{
		scene::IAnimatedMeshSceneNode* mesh = static_cast<scene::IAnimatedMeshSceneNode*>(node);
		const f32 speed = mesh->getAnimationSpeed();
		const s32 start = mesh->getStartFrame(), end = mesh->getEndFrame();
		if (speed != 0.0f && start != end &&
		    (mesh->getLoopMode() ||
		     (speed > 0 ? mesh->getFrameNr() < end : mesh->getFrameNr() > start)))
			return true;
		break;
	}
	default: break;
	}
	return !node->getAnimators().empty();
}

// Whether any of a node's box lies inside the camera's view. The engine's
// own test compares boxes with the box around the view, which reaches far
// to the sides and behind a camera that looks down.
bool InView(const scene::ISceneNode* node, const scene::ICameraSceneNode* camera)
{
	if (!camera)
		return false;
	const scene::SViewFrustum* view = camera->getViewFrustum();
	const core::aabbox3df box = node->getTransformedBoundingBox();
	for (const core::plane3df& side : view->planes)
		if (box.classifyPlaneRelation(side) == core::ISREL3D_FRONT)
			return false;
	return true;
}
} // namespace

bool CSceneEditor::SView::operator==(const SView& other) const
{
	return position == other.position && target == other.target && aspect == other.aspect &&
	       fov == other.fov && farValue == other.farValue && screen == other.screen &&
	       gui == other.gui;
}

CSceneEditor::SView CSceneEditor::CurrentView() const
{
	SView view = SView();
	if (Camera)
	{
		view.position = Camera->getPosition();
		view.target = Camera->getTarget();
		view.aspect = Camera->getAspectRatio();
		view.fov = Camera->getFOV();
		view.farValue = Camera->getFarValue();
	}
	if (_driver)
		view.screen = _driver->getScreenSize();
	view.gui = GuiState();
	return view;
}

// The top-level windows that are shown and where, and the focus: a window
// or message box that opens, closes or moves changes it.
size_t CSceneEditor::GuiState() const
{
	size_t hash = 0;
	if (!_gui)
		return hash;
	for (gui::IGUIElement* element : _gui->getRootGUIElement()->getChildren())
	{
		if (!element->isVisible())
			continue;
		const core::rect<s32> box = element->getAbsolutePosition();
		Mix(hash, reinterpret_cast<size_t>(element));
		Mix(hash, static_cast<size_t>(box.UpperLeftCorner.X) << 16 ^ box.UpperLeftCorner.Y);
		Mix(hash, static_cast<size_t>(box.LowerRightCorner.X) << 16 ^ box.LowerRightCorner.Y);
	}
	Mix(hash, reinterpret_cast<size_t>(_gui->getFocus()));
	return hash;
}

void CSceneEditor::RequestFrame()
{
	FrameWanted = true;
}

bool CSceneEditor::FrameNeeded() const
{
	if (!_device || !_driver || _device->isWindowMinimized())
		return false;
	return FrameWanted || Busy() || !(CurrentView() == DrawnView) || InfoStale() ||
	       Now() >= NextTimedFrame();
}

bool CSceneEditor::Busy() const
{
	for (const SKeyHold& hold : Holds)
		if (hold.held)
			return true;
	// A drag, or a scroll bar's arrow held down; a window that was resized.
	if (MouseButtonsHeld || Now() < ResizeSettledAt)
		return true;
	return CameraAnimated || (_smgr && AnimatedInView(_smgr->getRootSceneNode()));
}

bool CSceneEditor::AnimatedInView(scene::ISceneNode* parent) const
{
	for (scene::ISceneNode* node : parent->getChildren())
	{
		if (!node->isVisible())
			continue;
		if ((Animates(node) && InView(node, _smgr->getActiveCamera())) || AnimatedInView(node))
			return true;
	}
	return false;
}

double CSceneEditor::NextTimedFrame() const
{
	gui::IGUIElement* focus = _gui ? _gui->getFocus() : 0;
	double due = HUGE_VAL;
	if (focus && focus->getType() == gui::EGUIET_EDIT_BOX)
		due = LastFrame + CursorFrameSeconds;
	// One more frame once a modal screen's flash is over.
	if (!LastFrameSettled && _gui && ModalWindowOpen())
		due = core::min_(due, LastFrame + ModalFlashSeconds);
	return due;
}

// The text shows the triangles of the frame before the last one, or a rate
// although drawing has stopped.
bool CSceneEditor::InfoStale() const
{
	if (ShownTriangles != _driver->getPrimitiveCountDrawn())
		return true;
	return DrawRate > 0 && !FrameWanted && !Busy() && CurrentView() == DrawnView;
}

void CSceneEditor::NoteFrame(bool drawingGoesOn)
{
	const double now = Now();
	if (!FrameTimes.empty() && now - FrameTimes.back() > DrawingGapSeconds)
		FrameTimes.clear();
	FrameTimes.push_back(now);
	while (now - FrameTimes.front() > RateWindowSeconds)
		FrameTimes.pop_front();
	LastFrameSettled = now - LastFrame >= ModalFlashSeconds;
	LastFrame = now;
	DrawRate = 0;
	const double span = FrameTimes.back() - FrameTimes.front();
	if (drawingGoesOn && FrameTimes.size() >= 2 && span > 0)
		DrawRate = core::max_(1, static_cast<s32>((FrameTimes.size() - 1) / span + 0.5));
}

void CSceneEditor::WaitForWork()
{
	const double now = Now();
	if (FrameNeeded())
	{
		// At most MAX_FRAMES_PER_SECOND: each frame waits for its turn,
		// counted from the last one's so that the rate does not drift. A
		// pass that came late keeps the count (the next turn comes sooner);
		// one more than a frame late starts it again from now.
		const double frame = 1.0 / MAX_FRAMES_PER_SECOND;
		const double turn = LastPass + frame;
		if (turn > now)
		{
			Sleep(turn - now);
			LastPass = turn;
		}
		else
			LastPass = now - turn < frame ? turn : now;
	}
	else
	{
		double until = core::min_(NextTimedFrame(), now + MAX_REST_SECONDS);
		// The autosave is written when due, not a rest later.
		if (SecondsToAutosave() > 0)
			until = core::min_(until, now + SecondsToAutosave());
		// A timed frame that is due but not needed (a minimized window)
		// must not make the wait a busy loop.
		if (until <= now)
			until = now + MAX_REST_SECONDS;
		WaitForInput(until - now);
		LastPass = Now();
	}
	// Events the engine handles itself (expose, resize, focus, minimize)
	// may change what the window shows.
	if (WindowEventsQueued(WindowDisplay(_driver)))
		RequestFrame();
}

void CSceneEditor::WaitForInput(double seconds)
{
	if (seconds <= 0)
		return;
	void* display = WindowDisplay(_driver);
	if (display)
		WaitForWindowEvents(display, static_cast<int>(std::ceil(seconds * 1000.0)));
	else
		Sleep(seconds); // the null driver: input comes from the program itself
}
