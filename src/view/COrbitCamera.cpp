// Orbit camera animator; see COrbitCamera.h.
#include "COrbitCamera.h"

namespace
{
const f32 MinDistance = 0.1f;
// Keeps the camera off the poles, where the up vector would flip.
const f32 MaxElevation = 89.0f;
// One wheel notch brings the camera this much nearer.
const f32 WheelFactor = 0.8f;
// Degrees the view turns in flight for a mouse move across the window.
const f32 FlyTurnSpeed = 200.0f;
// The flight speed is this many orbit distances a second, within bounds.
const f32 FlyDistancesPerSecond = 2.0f, MinFlySpeed = 100.0f, MaxFlySpeed = 2000.0f;
// A frame that came late moves the camera no further than this.
const f32 MaxFlyStepSeconds = 0.25f;
// The fly keys: forward, back, left, right, down, up.
const EKEY_CODE FlyKeyCodes[6] = {KEY_KEY_W, KEY_KEY_S, KEY_KEY_A, KEY_KEY_D, KEY_KEY_Q, KEY_KEY_E};
} // namespace

COrbitCameraAnimator::COrbitCameraAnimator(video::IVideoDriver* driver, f32 rotateSpeed,
                                           f32 zoomSpeed)
    : Driver(driver), RotateSpeed(rotateSpeed), ZoomSpeed(zoomSpeed), Seeded(false),
      Drag(DRAG_NONE), Azimuth(0), Elevation(0), Distance(MinDistance), DragAzimuth(0),
      DragElevation(0), DragDistance(MinDistance), LeftTurns(true), Flying(false),
      FlySpeed(MinFlySpeed), LastTimeMs(0)
{
	Buttons[0] = Buttons[1] = Buttons[2] = false;
	for (bool& held : FlyKeys)
		held = false;
}

// Offset of the camera from its target: the distance along X, raised by the
// elevation and then turned about Y by the azimuth.
core::vector3df COrbitCameraAnimator::offset(f32 azimuth, f32 elevation, f32 distance) const
{
	const f32 a = azimuth * core::DEGTORAD;
	const f32 e = elevation * core::DEGTORAD;
	return core::vector3df(distance * cosf(e) * cosf(a), distance * sinf(e),
	                       -distance * cosf(e) * sinf(a));
}

void COrbitCameraAnimator::seed(const scene::ICameraSceneNode* camera)
{
	Target = camera->getTarget();
	const core::vector3df d = camera->getPosition() - Target;
	Distance = core::max_(static_cast<f32>(d.getLength()), MinDistance);
	Elevation = asinf(core::clamp(d.Y / Distance, -1.0f, 1.0f)) * core::RADTODEG;
	Elevation = core::clamp(Elevation, -MaxElevation, MaxElevation);
	Azimuth = atan2f(-d.Z, d.X) * core::RADTODEG;
	Seeded = true;
}

void COrbitCameraAnimator::lookFrom(scene::ICameraSceneNode* camera,
                                    const core::vector3df& position, const core::vector3df& target)
{
	camera->setPosition(position);
	camera->setTarget(target);
	Drag = DRAG_NONE;
	DragStart = MousePos;
	seed(camera);
}

void COrbitCameraAnimator::zoomToward(scene::ICameraSceneNode* camera, const core::line3df& ray,
                                      f32 notches, f32 surface)
{
	if (!Seeded)
		seed(camera);
	commitDrag();
	const core::vector3df from = eye();
	const core::vector3df forward = (Target - from).normalize();
	const core::vector3df along = core::vector3df(ray.getVector()).normalize();
	const f32 facing = along.dotProduct(forward);
	if (facing > 0.01f)
	{
		// Scaling the view about the point keeps it on the same pixel.
		// A wall or floor under the cursor is neared but never passed.
		const core::vector3df point = from + along * (surface > 0 ? surface : Distance / facing);
		const f32 factor = core::max_(powf(WheelFactor, notches), MinDistance / Distance);
		Target = point + (Target - point) * factor;
		Distance *= factor;
		camera->setPosition(eye());
		camera->setTarget(Target);
	}
	updateDragMode(); // a drag held on goes on from here
}

bool COrbitCameraAnimator::flyKey(EKEY_CODE key, bool pressedDown)
{
	for (int i = 0; i < 6; ++i)
	{
		if (FlyKeyCodes[i] != key)
			continue;
		if (!pressedDown || !Buttons[1])
		{
			FlyKeys[i] = false;
			return false;
		}
		if (!Flying)
		{
			// The zoom of the drag so far stays; from now on the mouse turns.
			commitDrag();
			Flying = true;
			FlySpeed = core::clamp(Distance * FlyDistancesPerSecond, MinFlySpeed, MaxFlySpeed);
		}
		FlyKeys[i] = true;
		return true;
	}
	return false;
}

// The camera stays where it is and looks elsewhere: the target moves round
// it. Right turns right, up looks up.
void COrbitCameraAnimator::turnInPlace(const core::vector2df& moved)
{
	const core::vector3df from = eye();
	Azimuth += moved.X * FlyTurnSpeed;
	Elevation = core::clamp(Elevation + moved.Y * FlyTurnSpeed, -MaxElevation, MaxElevation);
	Target = from - offset(Azimuth, Elevation, Distance);
}

void COrbitCameraAnimator::fly(f32 seconds)
{
	const core::vector3df forward = -offset(Azimuth, Elevation, 1.0f);
	core::vector3df right = core::vector3df(0, 1, 0).crossProduct(forward);
	right.normalize();
	core::vector3df way = forward * (f32(FlyKeys[0]) - f32(FlyKeys[1])) +
	                      right * (f32(FlyKeys[3]) - f32(FlyKeys[2])) +
	                      core::vector3df(0, f32(FlyKeys[5]) - f32(FlyKeys[4]), 0);
	if (way.getLength() < 0.5f)
		return;
	Target += way.normalize() * (FlySpeed * seconds);
}

bool COrbitCameraAnimator::OnEvent(const SEvent& event)
{
	if (event.EventType != EET_MOUSE_INPUT_EVENT)
		return false;
	switch (event.MouseInput.Event)
	{
	case EMIE_LMOUSE_PRESSED_DOWN: Buttons[0] = true; break;
	case EMIE_RMOUSE_PRESSED_DOWN: Buttons[1] = true; break;
	case EMIE_MMOUSE_PRESSED_DOWN: Buttons[2] = true; break;
	case EMIE_LMOUSE_LEFT_UP: Buttons[0] = false; break;
	case EMIE_RMOUSE_LEFT_UP: Buttons[1] = false; break;
	case EMIE_MMOUSE_LEFT_UP: Buttons[2] = false; break;
	case EMIE_MOUSE_MOVED:
		// The button states of a move are the truth: a press or release the
		// GUI swallowed must not leave a drag running.
		Buttons[0] = event.MouseInput.isLeftPressed();
		Buttons[1] = event.MouseInput.isRightPressed();
		Buttons[2] = event.MouseInput.isMiddlePressed();
		break;
	default: return false;
	}
	const core::dimension2d<u32> size = ViewSize.Width ? ViewSize : Driver->getScreenSize();
	const core::vector2df before = MousePos;
	MousePos.set(event.MouseInput.X / core::max_(1.0f, static_cast<f32>(size.Width)),
	             event.MouseInput.Y / core::max_(1.0f, static_cast<f32>(size.Height)));
	if (Flying && Buttons[1])
		turnInPlace(MousePos - before);
	else if (Flying)
	{
		// Released: the orbit goes on around where the camera looks.
		Flying = false;
		for (bool& held : FlyKeys)
			held = false;
	}
	updateDragMode();
	return true;
}

void COrbitCameraAnimator::updateDragMode()
{
	// In flight the mouse turns the view instead of dragging it.
	EDrag wanted = DRAG_NONE;
	if (!Flying && Buttons[1])
		wanted = DRAG_ZOOM;
	else if (!Flying && Buttons[0] && LeftTurns)
		wanted = DRAG_ROTATE;
	else if (!Flying && Buttons[2])
		wanted = DRAG_PAN;
	if (wanted == Drag)
		return;
	commitDrag();
	Drag = wanted;
	DragStart = MousePos;
}

// Makes the values of a drag in progress the new resting state.
void COrbitCameraAnimator::commitDrag()
{
	if (Drag == DRAG_ROTATE)
	{
		Azimuth = DragAzimuth;
		Elevation = DragElevation;
	}
	else if (Drag == DRAG_ZOOM)
		Distance = DragDistance;
	else if (Drag == DRAG_PAN)
		Target = DragTarget;
	Drag = DRAG_NONE;
}

void COrbitCameraAnimator::animateNode(scene::ISceneNode* node, u32 timeMs)
{
	if (!node || node->getType() != scene::ESNT_CAMERA)
		return;
	scene::ICameraSceneNode* camera = static_cast<scene::ICameraSceneNode*>(node);
	if (!Seeded)
		seed(camera);

	// Releases are not delivered while the camera ignores input: end the drag.
	if (!camera->isInputReceiverEnabled())
	{
		Buttons[0] = Buttons[1] = Buttons[2] = false;
		Flying = false;
		commitDrag();
	}
	const u32 elapsedMs = LastTimeMs && timeMs > LastTimeMs ? timeMs - LastTimeMs : 0;
	LastTimeMs = timeMs;
	if (Flying)
		fly(core::min_(elapsedMs / 1000.0f, MaxFlyStepSeconds));

	const core::vector2df moved = DragStart - MousePos;
	DragAzimuth = Azimuth;
	DragElevation = Elevation;
	DragDistance = Distance;
	DragTarget = Target;
	if (Drag == DRAG_ROTATE)
	{
		DragAzimuth = Azimuth + moved.X * RotateSpeed;
		DragElevation = core::clamp(Elevation + moved.Y * RotateSpeed, -MaxElevation, MaxElevation);
	}
	else if (Drag == DRAG_ZOOM) // right or up zooms in
		DragDistance = core::max_(Distance + (moved.X - moved.Y) * ZoomSpeed, MinDistance);
	else if (Drag == DRAG_PAN)
	{
		const core::vector3df toCamera = offset(Azimuth, Elevation, Distance);
		core::vector3df right = toCamera.crossProduct(core::vector3df(0, 1, 0));
		right.normalize();
		core::vector3df up = right.crossProduct(toCamera);
		up.normalize();
		// The view's height and width at the target's distance: the scene
		// there moves exactly as far as the cursor.
		const f32 height = 2.0f * Distance * tanf(camera->getFOV() / 2.0f);
		const f32 width = height * camera->getAspectRatio();
		DragTarget = Target + right * (moved.X * width) - up * (moved.Y * height);
	}

	camera->setPosition(DragTarget + offset(DragAzimuth, DragElevation, DragDistance));
	camera->setTarget(DragTarget);
}

scene::ISceneNodeAnimator* COrbitCameraAnimator::createClone(scene::ISceneNode* /*node*/,
                                                             scene::ISceneManager* /*mgr*/)
{
	return new COrbitCameraAnimator(Driver, RotateSpeed, ZoomSpeed);
}
