// Frames on demand: whether a pass of the main loop draws, and the wait
// between passes. The editor draws when something may look different and
// otherwise sleeps until input, a window event or a timed frame is due.
#include "EditorView.h"

#include <cmath>

#include "COrbitCamera.h"
#include "CSceneEditor.h"
#include "ObjectKinds.h"
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

bool CEditorView::SView::operator==(const SView& other) const
{
	return position == other.position && target == other.target && aspect == other.aspect &&
	       fov == other.fov && farValue == other.farValue && screen == other.screen &&
	       gui == other.gui && views == other.views;
}

CEditorView::SView CEditorView::CurrentView() const
{
	SView view = SView();
	if (Editor.Camera)
	{
		view.position = Editor.Camera->getPosition();
		view.target = Editor.Camera->getTarget();
		view.aspect = Editor.Camera->getAspectRatio();
		view.fov = Editor.Camera->getFOV();
		view.farValue = Editor.Camera->getFarValue();
	}
	if (Editor._driver)
		view.screen = Editor._driver->getScreenSize();
	view.gui = GuiState();
	view.views = Views.State();
	return view;
}

// The top-level windows that are shown and where, and the focus: a window
// or message box that opens, closes or moves changes it.
size_t CEditorView::GuiState() const
{
	size_t hash = 0;
	if (!Editor._gui)
		return hash;
	for (gui::IGUIElement* element : Editor._gui->getRootGUIElement()->getChildren())
	{
		if (!element->isVisible())
			continue;
		const core::rect<s32> box = element->getAbsolutePosition();
		Mix(hash, reinterpret_cast<size_t>(element));
		Mix(hash, static_cast<size_t>(box.UpperLeftCorner.X) << 16 ^ box.UpperLeftCorner.Y);
		Mix(hash, static_cast<size_t>(box.LowerRightCorner.X) << 16 ^ box.LowerRightCorner.Y);
	}
	Mix(hash, reinterpret_cast<size_t>(Editor._gui->getFocus()));
	return hash;
}

const core::vector3df CEditorView::START_POSITION(100, 250, 0);
const core::vector3df CEditorView::START_TARGET(0, 0, 0);

bool CEditorView::FrameNeeded() const
{
	if (!Editor._device || !Editor._driver || Editor._device->isWindowMinimized())
		return false;
	return FrameWanted || Busy() || !(CurrentView() == DrawnView) || InfoStale() ||
	       Editor.Now() >= NextTimedFrame();
}

bool CEditorView::Busy() const
{
	if (Editor.Keys.AnyHeld())
		return true;
	// A drag, or a scroll bar's arrow held down; a window that was resized.
	if (Editor.MouseButtonsHeld || Editor.Now() < ResizeSettledAt)
		return true;
	return CameraAnimated || (Editor._smgr && AnimatedInView(Editor._smgr->getRootSceneNode()));
}

bool CEditorView::AnimatedInView(scene::ISceneNode* parent) const
{
	for (scene::ISceneNode* node : parent->getChildren())
	{
		if (!node->isVisible())
			continue;
		if (AnimatedInView(node))
			return true;
		if (!Animates(node))
			continue;
		for (const SViewport& view : Views.ShownViews())
			if (InView(node, view.Camera))
				return true;
	}
	return false;
}

double CEditorView::NextTimedFrame() const
{
	gui::IGUIElement* focus = Editor._gui ? Editor._gui->getFocus() : 0;
	double due = HUGE_VAL;
	if (focus && focus->getType() == gui::EGUIET_EDIT_BOX)
		due = LastFrame + CursorFrameSeconds;
	// One more frame once a modal screen's flash is over.
	if (!LastFrameSettled && Editor._gui && Editor.ModalWindowOpen())
		due = core::min_(due, LastFrame + ModalFlashSeconds);
	return due;
}

// The text shows the triangles of the frame before the last one, or a rate
// although drawing has stopped.
bool CEditorView::InfoStale() const
{
	if (ShownTriangles != Editor._driver->getPrimitiveCountDrawn())
		return true;
	return Rate > 0 && !FrameWanted && !Busy() && CurrentView() == DrawnView;
}

u32 CEditorView::SceneTriangles() const
{
	const u32 drawn = Editor._driver->getPrimitiveCountDrawn();
	return drawn - core::min_(drawn, OutlinePrimitives);
}

void CEditorView::NoteFrame(bool drawingGoesOn)
{
	const double now = Editor.Now();
	if (!FrameTimes.empty() && now - FrameTimes.back() > DrawingGapSeconds)
		FrameTimes.clear();
	FrameTimes.push_back(now);
	while (now - FrameTimes.front() > RateWindowSeconds)
		FrameTimes.pop_front();
	LastFrameSettled = now - LastFrame >= ModalFlashSeconds;
	LastFrame = now;
	Rate = 0;
	const double span = FrameTimes.back() - FrameTimes.front();
	if (drawingGoesOn && FrameTimes.size() >= 2 && span > 0)
		Rate = core::max_(1, static_cast<s32>((FrameTimes.size() - 1) / span + 0.5));
}

void CEditorView::WaitForWork()
{
	const double now = Editor.Now();
	if (FrameNeeded())
	{
		// At most MAX_FRAMES_PER_SECOND: each frame waits for its turn,
		// counted from the last one's so that the rate does not drift. A
		// pass that came late keeps the count (the next turn comes sooner);
		// one more than a frame late starts it again from now.
		const double frame = 1.0 / CSceneEditor::MAX_FRAMES_PER_SECOND;
		const double turn = LastPass + frame;
		if (turn > now)
		{
			Editor.Sleep(turn - now);
			LastPass = turn;
		}
		else
			LastPass = now - turn < frame ? turn : now;
	}
	else
	{
		double until = core::min_(NextTimedFrame(), now + CSceneEditor::MAX_REST_SECONDS);
		// The autosave is written when due, not a rest later.
		if (Editor.SecondsToAutosave() > 0)
			until = core::min_(until, now + Editor.SecondsToAutosave());
		// A timed frame that is due but not needed (a minimized window)
		// must not make the wait a busy loop.
		if (until <= now)
			until = now + CSceneEditor::MAX_REST_SECONDS;
		WaitForInput(until - now);
		LastPass = Editor.Now();
	}
	// Events the engine handles itself (expose, resize, focus, minimize)
	// may change what the window shows.
	if (WindowEventsQueued(WindowDisplay(Editor._driver)))
		RequestFrame();
}

void CEditorView::WaitForInput(double seconds)
{
	if (seconds <= 0)
		return;
	void* display = WindowDisplay(Editor._driver);
	if (display)
		WaitForWindowEvents(display, static_cast<int>(std::ceil(seconds * 1000.0)));
	else
		Editor.Sleep(seconds); // the null driver: input comes from the program itself
}

void CEditorView::DrawFirstFrameAtOnce()
{
	LastPass = Editor.Now() - 1.0 / CSceneEditor::MAX_FRAMES_PER_SECOND;
	RequestFrame();
}

void CEditorView::Draw()
{
	video::IVideoDriver* driver = Editor._driver;
	// Drawn whenever the window can be seen, focused or not.
	if (!Editor._device || Editor._device->isWindowMinimized())
		return;
	if (DrawnView.screen.Width > 0 && driver->getScreenSize() != DrawnView.screen)
		ResizeSettledAt = Editor.Now() + CSceneEditor::RESIZE_SETTLE_SECONDS;
	NoteFrame(FrameWanted || Busy() || !(CurrentView() == DrawnView));
	FrameWanted = false;
	driver->beginScene(true, true, Editor.SceneColour());
	const SView before = CurrentView();
	// The count the driver gives now is the last frame's, outline included.
	OutlinePrimitives = Views.Outline.TakePrimitives();
	Views.Draw();
	CameraAnimated = !(CurrentView() == before);
	// Set before the GUI is drawn, so that this frame shows its own rate
	// and camera mode; the engine counts triangles at the end of a frame,
	// so the count is the previous frame's (InfoStale draws once more when
	// it differs).
	ShownTriangles = driver->getPrimitiveCountDrawn();
	Editor.EditorInfoText->setText(Editor.SceneInfoText().c_str());
	Editor._gui->drawAll();
	driver->endScene();
	DrawnView = CurrentView();
}

void CEditorView::FollowDocument()
{
	if (Editor.Document.Version != FramedVersion)
	{
		FramedVersion = Editor.Document.Version;
		RequestFrame();
	}
}

// ---------------------------------------------------------------------------
// The camera

void CEditorView::FollowWindowShape()
{
	const core::rect<s32> area = Views.View(VIEW_PERSPECTIVE).Area;
	if (area.getWidth() <= 0 || area.getHeight() <= 0)
		return;
	const f32 aspect = static_cast<f32>(area.getWidth()) / static_cast<f32>(area.getHeight());
	if (aspect == Editor.Camera->getAspectRatio())
		return;
	// The frame drawn right after the resize still had the old shape.
	Editor.Camera->setAspectRatio(aspect);
	RequestFrame();
}

void CEditorView::FrameSelection()
{
	const CModel* selected = Editor.SelectedModel;
	scene::ISceneNode* node = Editor.Positioner;
	if (selected && selected->AnimatedNode)
		node = selected->AnimatedNode;
	else if (selected && selected->Node)
		node = selected->Node;
	node->updateAbsolutePosition(); // it may have moved since the last frame
	// A light or a camera is framed by its icon, not by its range.
	const SObjectKind* kind = selected ? KindOf(selected->MODEL_TYPE) : 0;
	const core::aabbox3df box = kind && kind->PickBox == IconPickBox
	                                ? IconPickBox(*selected)
	                                : node->getTransformedBoundingBox();
	LookFromAfar(box.getCenter(), core::max_(box.getExtent().getLength() / 2.0f, 10.0f));
}

// Far enough back that a ball around the target fits the view, seen from the
// direction the camera looks from now.
void CEditorView::LookFromAfar(const core::vector3df& target, f32 radius)
{
	scene::ICameraSceneNode* camera = Editor.Camera;
	core::vector3df back = camera->getPosition() - camera->getTarget();
	if (back.getLength() < 0.001f)
		back = START_POSITION - START_TARGET;
	back.normalize();
	const f32 distance = radius / sinf(camera->getFOV() / 2.0f) * 1.1f;
	Editor.Orbit->lookFrom(camera, target + back * distance, target);
	if (camera->getFarValue() < distance + radius)
		camera->setFarValue(distance + radius);
	Views.FrameOrthographic(target, radius);
}

void CEditorView::ResetView()
{
	Editor.Orbit->lookFrom(Editor.Camera, START_POSITION, START_TARGET);
	Views.ResetOrthographic();
}
