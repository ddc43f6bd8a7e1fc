// CViewports: the views of the scene the window shows. One view fills the
// window, or four share it: top, front, side and perspective, each with a
// camera of its own, a caption in its corner and the active one outlined.
// The perspective view is the editor's orbit camera; the top, front and
// side views are orthographic cameras that look along an axis, zoomed with
// the wheel and panned with a middle drag. Picking, the handles and the
// grid ask for the view under the cursor and work through its camera and
// its part of the window.
#ifndef TOLVANE_VIEWPORTS_H
#define TOLVANE_VIEWPORTS_H

#include <irrlicht.h>
#include <vector>

#include "Grid.h"
#include "SelectionOutline.h"

using namespace irr;

class CSceneEditor;

enum EView
{
	VIEW_PERSPECTIVE,
	VIEW_TOP,
	VIEW_FRONT,
	VIEW_SIDE,
	VIEW_COUNT
};

//! One view: its camera and the part of the window it fills.
struct SViewport
{
	EView Kind = VIEW_PERSPECTIVE;
	scene::ICameraSceneNode* Camera = 0;
	core::rect<s32> Area;

	bool Orthographic() const { return Kind != VIEW_PERSPECTIVE; }
	//! The axis an orthographic view looks along (0 X, 1 Y, 2 Z); the
	//! perspective view: -1.
	int DepthAxis() const;
	//! The camera's view as it stands now (not as last drawn).
	core::matrix4 ViewMatrix() const;
	//! The ray through a point of the window, from the camera (or, seen
	//! orthographically, from the near plane) to the far plane.
	core::line3df Ray(const core::position2d<s32>& cursor) const;
	//! Where a point appears in the window; false behind the camera.
	bool ToScreen(const core::vector3df& point, core::position2d<s32>& at) const;
	//! How much of the world a pixel spans at a point; 0 behind the camera.
	f32 UnitsPerPixel(const core::vector3df& point) const;
};

class CViewports
{
public:
	explicit CViewports(CSceneEditor& editor) : Editor(editor) {}
	~CViewports();
	CViewports(const CViewports&) = delete;
	CViewports& operator=(const CViewports&) = delete;

	//! The top, front and side cameras; after the perspective camera exists.
	void Create();
	//! Keeps the "View" menu, whose check marks show the views and the grid.
	void SetMenu(gui::IGUIContextMenu* viewMenu);

	//! Shows one view alone, active.
	void Show(EView view);
	//! The four views at once, or the active one alone.
	void SetFourViews(bool four);
	bool FourViews() const { return Four; }
	EView Active() const { return ActiveKind; }
	void SetGridShown(bool shown);
	bool GridShown() const { return GridOn; }
	const CGrid& GridLines() const { return Grid; }

	//! A view with its area in the layout shown (the whole window for a
	//! view of the single layout, shown or not).
	SViewport View(EView view) const;
	SViewport ActiveView() const { return View(ActiveKind); }
	//! The view shown under a point of the window (the active one where
	//! none is).
	SViewport ViewAt(const core::position2d<s32>& cursor) const;
	//! The views on screen.
	std::vector<SViewport> ShownViews() const;

	//! "View" menu commands; false for any other.
	bool OnMenu(s32 commandId);
	//! 1 to 4 show a view, 5 toggles the four views; false for other keys.
	bool OnKey(const SEvent::SKeyInput& key);
	//! A press makes the view under it active; the wheel zooms the view
	//! under the cursor; a middle drag pans an orthographic view. True for
	//! an event taken here.
	bool OnMouse(const SEvent::SMouseInput& mouse);

	//! The orthographic views look at a ball around `target` whole.
	void FrameOrthographic(const core::vector3df& target, f32 radius);
	//! The orthographic views' start: the origin, a few hundred units across.
	void ResetOrthographic();

	//! Draws every view shown (scene, grid, the selection's outline,
	//! handles), then the captions and frames over the whole window; the
	//! GUI comes after.
	void Draw();
	//! What the views add to a frame's look (layout, active view, the
	//! orthographic cameras, the grid): a frame is due when it changes.
	size_t State() const;
	//! The selected object seen through whatever stands in front of it.
	CSelectionOutline Outline;

	//! The view captions, in EView order.
	static const wchar_t* const CAPTIONS[VIEW_COUNT];
	//! Height of the world an orthographic view shows from the start.
	static constexpr f32 START_HEIGHT = 600.0f;

private:
	struct SOrthographic
	{
		scene::ICameraSceneNode* Camera = 0;
		core::vector3df Centre;
		//! World units across the view's height.
		f32 Height = START_HEIGHT;
	};
	core::rect<s32> AreaOf(EView view) const;
	//! Puts an orthographic camera at its centre with the projection of its area.
	void Place(EView view);
	void PlaceAll();
	void Activate(EView view);
	void ShowMenuState();
	void Zoom(const SViewport& view, const SEvent::SMouseInput& mouse);
	void DrawView(const SViewport& view);
	void DrawFrames(const std::vector<SViewport>& shown);

	CSceneEditor& Editor;
	SOrthographic Ortho[VIEW_COUNT];
	bool Four = false;
	EView ActiveKind = VIEW_PERSPECTIVE;
	bool GridOn = true;
	CGrid Grid;
	gui::IGUIContextMenu* Menu = 0;
	//! A middle drag panning an orthographic view: which, and the last point.
	bool Panning = false;
	EView PanView = VIEW_TOP;
	core::position2d<s32> PanFrom;
};

#endif
