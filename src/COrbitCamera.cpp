// Orbit camera animator; see COrbitCamera.h.
#include "COrbitCamera.h"

namespace
{
const f32 MinDistance = 0.1f;
// Keeps the camera off the poles, where the up vector would flip.
const f32 MaxElevation = 89.0f;
} // namespace

COrbitCameraAnimator::COrbitCameraAnimator(video::IVideoDriver* driver, f32 rotateSpeed,
                                           f32 zoomSpeed)
    : Driver(driver), RotateSpeed(rotateSpeed), ZoomSpeed(zoomSpeed), Seeded(false),
      Drag(DRAG_NONE), Azimuth(0), Elevation(0), Distance(MinDistance), DragAzimuth(0),
      DragElevation(0), DragDistance(MinDistance)
{
	Buttons[0] = Buttons[1] = Buttons[2] = false;
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
	const core::dimension2d<u32> size = Driver->getScreenSize();
	MousePos.set(event.MouseInput.X / core::max_(1.0f, static_cast<f32>(size.Width)),
	             event.MouseInput.Y / core::max_(1.0f, static_cast<f32>(size.Height)));
	updateDragMode();
	return true;
}

void COrbitCameraAnimator::updateDragMode()
{
	EDrag wanted = DRAG_NONE;
	if (Buttons[1])
		wanted = DRAG_ZOOM;
	else if (Buttons[0])
		wanted = DRAG_ROTATE;
	else if (Buttons[2])
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

void COrbitCameraAnimator::animateNode(scene::ISceneNode* node, u32 /*timeMs*/)
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
		commitDrag();
	}

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
