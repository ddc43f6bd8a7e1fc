// COrbitCameraAnimator: orbit, zoom and pan with the mouse around a target,
// like the engine's Maya camera (left drag turns, right drag zooms, middle
// drag pans), but starting from wherever the camera was placed. A pan keeps
// the point under the cursor (at the target's distance) under the cursor.
// Holding the right button, the fly keys (W/A/S/D, Q/E) fly the camera and
// the mouse turns it in place, as in a game; on release the orbit goes on
// around the point the camera looks at. The engine's
// own Maya animator of this release resets the camera onto the X axis on its
// first frame and has no way to seed its angles.
#ifndef TOLVANE_CORBITCAMERA_H
#define TOLVANE_CORBITCAMERA_H

#include <irrlicht.h>

using namespace irr;

class COrbitCameraAnimator : public scene::ISceneNodeAnimator
{
public:
	//! Speeds are per full window width or height of mouse travel.
	COrbitCameraAnimator(video::IVideoDriver* driver, f32 rotateSpeed, f32 zoomSpeed);

	void animateNode(scene::ISceneNode* node, u32 timeMs) override;
	scene::ISceneNodeAnimator* createClone(scene::ISceneNode* node,
	                                       scene::ISceneManager* newManager = 0) override;
	bool isEventReceiverEnabled() const override { return true; }
	bool OnEvent(const SEvent& event) override;

	//! Orbit state derived from the camera's position and target.
	f32 distance() const { return Distance; }
	//! Puts the camera at `position` looking at `target`; the orbit goes on
	//! from there. A drag in progress is dropped.
	void lookFrom(scene::ICameraSceneNode* camera, const core::vector3df& position,
	              const core::vector3df& target);
	//! Whether a left drag turns the view; while the mouse picks it does not.
	void setLeftTurns(bool turns) { LeftTurns = turns; }
	//! Moves the camera `notches` wheel notches toward (or, negative, away
	//! from) a point of `ray`, which stays where it is on the screen: the
	//! surface the ray meets `surface` units from the camera, or with none
	//! (0) the point at the target's depth.
	void zoomToward(scene::ICameraSceneNode* camera, const core::line3df& ray, f32 notches,
	                f32 surface = 0);
	//! A fly key pressed or released: true when the press flies the camera
	//! (the right button is held), so that it is no other key's.
	bool flyKey(EKEY_CODE key, bool pressedDown);
	bool flying() const { return Flying; }
	//! The size of the view the camera fills, which drags are measured
	//! against; the whole window while it is 0.
	void setViewSize(const core::dimension2d<u32>& size) { ViewSize = size; }

private:
	enum EDrag
	{
		DRAG_NONE,
		DRAG_ROTATE,
		DRAG_ZOOM,
		DRAG_PAN
	};

	void seed(const scene::ICameraSceneNode* camera);
	void commitDrag();
	core::vector3df offset(f32 azimuth, f32 elevation, f32 distance) const;
	void updateDragMode();
	void turnInPlace(const core::vector2df& moved);
	void fly(f32 seconds);
	core::vector3df eye() const { return Target + offset(Azimuth, Elevation, Distance); }

	video::IVideoDriver* Driver;
	f32 RotateSpeed, ZoomSpeed;
	bool Seeded;
	bool Buttons[3]; // left, right, middle
	EDrag Drag;
	core::vector2df DragStart, MousePos;
	core::vector3df Target, DragTarget;
	f32 Azimuth, Elevation, Distance;
	f32 DragAzimuth, DragElevation, DragDistance;
	bool LeftTurns;
	//! Flying: which fly keys are held, the speed (units a second), and the
	//! time of the last animation step (0 before the first).
	bool Flying;
	bool FlyKeys[6];
	f32 FlySpeed;
	u32 LastTimeMs;
	core::dimension2d<u32> ViewSize;
};

#endif
