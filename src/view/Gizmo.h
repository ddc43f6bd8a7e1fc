// CGizmo: the handles that move and turn the selected object with the
// mouse. While the mouse picks (CameraMode off) and an object is selected,
// three axis handles (X red, Y green, Z blue) stand at the object's position
// at a constant size on screen, with a ring around its vertical axis and a
// square at its centre, in every view shown. Dragging a handle moves the
// object along its axis, dragging the ring turns it about the vertical
// axis, and dragging the centre or the object itself moves it over the
// horizontal plane through its position, or with Shift held over the
// surfaces under the cursor (level, terrain, plane, other models shown),
// standing on them. Seen orthographically the handles
// move only in the view's own plane: the axis along the view and (but from
// the top) the ring are left out, and the centre moves over that plane. A drag is one undo step (it
// ends with the mouse button); Escape during a drag puts the object back. A press and release
// without moving picks, as any click does.
#ifndef TOLVANE_GIZMO_H
#define TOLVANE_GIZMO_H

#include <irrlicht.h>

#include <vector>

#include "SceneTree.h"
#include "Viewports.h"

using namespace irr;

class CModel;
class CSceneEditor;

class CGizmo
{
public:
	explicit CGizmo(CSceneEditor& editor) : Editor(editor) {}

	//! Parts of the handles a press can take.
	enum EPart
	{
		PART_NONE,
		PART_X,
		PART_Y,
		PART_Z,
		PART_RING,
		//! The centre square or the object itself: a move over the plane.
		PART_BODY
	};

	//! Whether the handles stand: the mouse picks and an object is selected.
	bool Shown() const;
	//! The part under a point of the screen.
	EPart PartAt(const core::position2d<s32>& cursor) const;
	//! A press on a part, and the moves and release that follow it; false
	//! for a mouse event that the handles leave to picking.
	bool OnMouse(const SEvent::SMouseInput& mouse);
	//! Escape: a drag going on puts the object back where it began; false
	//! when no drag is going on.
	bool Cancel();
	//! Draws the handles' lines over a view's scene (its viewport set).
	void Draw(const SViewport& view);
	//! Draws their squares, in the whole window's 2D, after every view.
	void DrawMarks(const SViewport& view);
	//! How long the axis handles are in the world at the selected object,
	//! for their constant size on screen in a view (the active one); 0 when
	//! it is behind the camera.
	f32 HandleLength(const SViewport& view) const;
	f32 HandleLength() const;

	//! Handle length and ring radius on screen, in pixels.
	static const s32 HANDLE_PIXELS = 90;
	static const s32 RING_PIXELS = 65;

private:
	enum EState
	{
		IDLE,
		//! Pressed on a part; no drag until the mouse moves.
		PRESSED,
		DRAGGING,
		//! Escape ended the drag; the button is still down.
		CANCELLED
	};

	void Begin();
	//! `onSurfaces` (Shift held): the centre's drag slides the object over
	//! the surfaces under the cursor instead of the plane.
	void Follow(const core::position2d<s32>& cursor, bool onSurfaces);
	void FollowSurfaces(const core::line3df& ray);
	core::vector3df Centre() const;
	core::line3df Ray(const core::position2d<s32>& cursor) const;
	//! Whether a view shows a part: not an axis along it, not the ring on edge.
	static bool PartShown(const SViewport& view, EPart part);
	video::SColor PartColour(EPart part) const;
	//! The axis the drag over a plane keeps (the plane's normal): the
	//! vertical one, or an orthographic view's depth for its centre.
	int PlaneNormal() const;
	//! Where a ray meets the plane of the drag through its start.
	bool OnPlane(const core::line3df& ray, core::vector3df& point) const;
	//! How far along the dragged axis the point nearest to a ray lies.
	bool AlongAxis(const core::line3df& ray, f32& along) const;

	CSceneEditor& Editor;
	EState State = IDLE;
	EPart Part = PART_NONE;
	CModel* Object = 0;
	//! The view the press came in: the drag follows the cursor there.
	SViewport In;
	core::position2d<s32> PressedAt;
	//! Where the object stood in the world, and its own turn, at the press.
	core::vector3df StartPosition, StartRotation;
	core::vector3df ToParent(const core::vector3df& world) const;
	//! The press's point on the plane, or its place along the axis.
	core::vector3df StartPoint;
	f32 StartAlong = 0.0f;
	//! Several selected: each object that moves, as it stood at the press
	//! (empty while one is selected).
	std::vector<scenetree::SHeld> Held;
	//! The drag's handles' centre to a place, the selection along with it.
	void MoveTo(const core::vector3df& centre);
	//! The selection turned about the vertical axis through the centre.
	void TurnBy(f32 degrees);
};

#endif
