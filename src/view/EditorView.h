// CEditorView: what the window shows and when. It draws a frame only when
// something may look different (frames on demand), waits between passes of
// the main loop, keeps the frame rate the information text shows, follows
// the window's shape, and points the camera at the selection, the loaded
// ground or the whole scene.
#ifndef TOLVANE_EDITORVIEW_H
#define TOLVANE_EDITORVIEW_H

#include <deque>
#include <irrlicht.h>

#include "Viewports.h"

using namespace irr;

class CSceneEditor;

class CEditorView
{
public:
	explicit CEditorView(CSceneEditor& editor) : Views(editor), Editor(editor) {}

	//! The views the window shows: one, or four at once.
	CViewports Views;

	//! Asks for a frame: something that may look different has changed.
	void RequestFrame() { FrameWanted = true; }
	//! Whether this pass of the main loop draws: a frame was asked for, a
	//! movement key or mouse button is held, the camera, the window or a
	//! GUI window changed, something animated is in view, or the
	//! information text is out of date. Never while the window is minimized.
	bool FrameNeeded() const;
	//! The first frame is drawn without waiting for its turn.
	void DrawFirstFrameAtOnce();
	//! Waits until a frame is due: for its turn within the frame rate cap,
	//! or at rest for input, a window event or the next timed frame.
	void WaitForWork();
	//! Draws the scene, the handles and the GUI, and notes the frame.
	void Draw();
	//! A change of the document may look different: asks for a frame.
	void FollowDocument();
	//! Frames a second while drawing goes on; 0 at rest.
	s32 DrawRate() const { return Rate; }

	//! The perspective camera takes its view's shape as soon as the window
	//! is resized or the layout changes.
	void FollowWindowShape();
	//! F: the camera looks at the selected object, or at the marker.
	void FrameSelection();
	//! Home: the start view.
	void ResetView();
	//! After the user loaded a level: the camera where a player starts it, or
	//! the level framed whole; the marker on the ground the camera looks at.
	void ViewLevel();
	//! After the user loaded a terrain or a plane into a scene without
	//! models: framed whole, the marker on the ground in its middle.
	void ViewGround(scene::ISceneNode* ground);
	//! Everything that can be pointed at (level, ground, models) in view,
	//! seen from the start view's side; nothing changes in an empty scene.
	void FrameScene();
	//! The start view, which Home returns to.
	static const core::vector3df START_POSITION, START_TARGET;

	//! The triangles of the scene in the last frame drawn, without the
	//! selection's outline (the driver counts its lines as primitives).
	u32 SceneTriangles() const;

private:
	//! What a frame shows besides the scene's own content: the camera, the
	//! window's size and the GUI's top-level windows and focus.
	struct SView
	{
		core::vector3df position, target;
		f32 aspect, fov, farValue;
		core::dimension2d<u32> screen;
		size_t gui;
		size_t views;
		bool operator==(const SView& other) const;
	};
	SView CurrentView() const;
	size_t GuiState() const;
	void WaitForInput(double seconds);
	//! Something keeps changing the picture from frame to frame.
	bool Busy() const;
	bool AnimatedInView(scene::ISceneNode* parent) const;
	//! When a frame is due without a change (a focused edit box's cursor
	//! blinks); a large number when none is.
	double NextTimedFrame() const;
	//! The information text shows out-of-date figures.
	bool InfoStale() const;

	//! Notes a frame drawn now, for the rate the information text shows.
	void NoteFrame(bool drawingGoesOn);
	//! The camera looks at `target`, far enough back that a ball of `radius`
	//! around it fits the view; the far plane reaches across it.
	void LookFromAfar(const core::vector3df& target, f32 radius);
	void FrameGround(scene::ISceneNode* ground);

	CSceneEditor& Editor;
	bool FrameWanted = true;
	double LastPass = 0.0, LastFrame = 0.0;
	//! Whether the last frame came a modal screen's blink after the one before.
	bool LastFrameSettled = true;
	std::deque<double> FrameTimes;
	s32 Rate = 0;
	u32 ShownTriangles = 0;
	//! The lines of the selection's outline in the frame the driver's count
	//! is of, which are no part of the scene's triangles.
	u32 OutlinePrimitives = 0;
	SView DrawnView = SView();
	//! The document's version the last frame asked for showed.
	unsigned long long FramedVersion = 0;
	//! The camera moved while the last frame was drawn (an animator).
	bool CameraAnimated = false;
	//! Frames go on until then after the window changed its size, while
	//! the window system and the renderer settle on the new size.
	double ResizeSettledAt = 0.0;
};

#endif
