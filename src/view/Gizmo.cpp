// The handles that move and turn the selected object; see Gizmo.h.
#include "Gizmo.h"

#include <cmath>

#include "CSceneEditor.h"
#include "ObjectKinds.h"

namespace
{
// Within this many pixels of the centre a press moves over the plane; a
// press this near to an axis or the ring takes it.
const f32 CentrePixels = 8.0f;
const f32 PickPixels = 6.0f;
// A press becomes a drag once the mouse has moved this far.
const s32 DragPixels = 3;
const int RingSegments = 48;

const core::vector3df Axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
const video::SColor PartColours[] = {
    {255, 230, 40, 40}, {255, 40, 200, 40}, {255, 50, 100, 255}, {255, 240, 200, 0}};
const video::SColor Active(255, 255, 255, 255);

f32 SegmentDistance(const core::vector2df& p, const core::vector2df& a, const core::vector2df& b)
{
	const core::vector2df ab = b - a;
	const f32 squared = ab.getLengthSQ();
	const f32 t = squared > 0.0f ? core::clamp((p - a).dotProduct(ab) / squared, 0.0f, 1.0f) : 0.0f;
	return static_cast<f32>(p.getDistanceFrom(a + ab * t));
}

// A multiple of the step, never -0.
f32 Snapped(f32 value, f32 step)
{
	return std::round(value / step) * step + 0.0f;
}

f32 HeadingDegrees(const core::vector3df& from, const core::vector3df& to)
{
	return std::atan2(to.X - from.X, to.Z - from.Z) * core::RADTODEG;
}
} // namespace

// Hidden objects get no handles: H would otherwise leave them to be
// dragged unseen.
bool CGizmo::Shown() const
{
	const CModel* object = Editor.SelectedModel;
	const SObjectKind* kind = object ? KindOf(object->MODEL_TYPE) : 0;
	if (Editor.CameraMode || !kind || !kind->NodeOf(*object))
		return false;
	for (const int slot : Editor.SelectedSlots())
		if (scene::ISceneNode* node = ObjectNode(Editor.ObjectAt(slot)))
			if (node->isTrulyVisible())
				return true;
	return false;
}

// The handles stand where the object is in the world, whatever it hangs
// from.
core::vector3df CGizmo::Centre() const
{
	// Several selected: the handles stand at the middle of their places.
	if (Editor.SelectedSlots().size() > 1)
		return Editor.SelectionCentre();
	scene::ISceneNode* node = ObjectNode(Editor.SelectedModel);
	if (!node)
		return Editor.SelectedModel->getPosition();
	node->updateAbsolutePosition();
	return node->getAbsolutePosition();
}

// A place in the world as the object's position, relative to its parent.
core::vector3df CGizmo::ToParent(const core::vector3df& world) const
{
	scene::ISceneNode* node = ObjectNode(Object);
	scene::ISceneNode* parent = node ? node->getParent() : 0;
	if (!parent)
		return world;
	core::matrix4 toParent;
	parent->updateAbsolutePosition();
	parent->getAbsoluteTransformation().getInverse(toParent);
	core::vector3df local = world;
	toParent.transformVect(local);
	return local;
}

f32 CGizmo::HandleLength() const
{
	return HandleLength(Editor.View.Views.ActiveView());
}

f32 CGizmo::HandleLength(const SViewport& view) const
{
	if (!Shown())
		return 0.0f;
	return HANDLE_PIXELS * view.UnitsPerPixel(Centre());
}

bool CGizmo::PartShown(const SViewport& view, EPart part)
{
	if (part >= PART_X && part <= PART_Z)
		return part - PART_X != view.DepthAxis();
	if (part == PART_RING)
		return !view.Orthographic() || view.Kind == VIEW_TOP;
	return true;
}

int CGizmo::PlaneNormal() const
{
	return Part == PART_BODY && In.Orthographic() ? In.DepthAxis() : 1;
}

namespace
{
core::vector2df OnScreen(const SViewport& view, const core::vector3df& point)
{
	core::position2d<s32> p(-10000, -10000);
	view.ToScreen(point, p);
	return core::vector2df(static_cast<f32>(p.X), static_cast<f32>(p.Y));
}

core::vector3df RingPoint(const core::vector3df& centre, f32 radius, int i)
{
	const f32 a = 2.0f * core::PI * static_cast<f32>(i) / RingSegments;
	return centre + core::vector3df(std::sin(a), 0.0f, std::cos(a)) * radius;
}
} // namespace

CGizmo::EPart CGizmo::PartAt(const core::position2d<s32>& cursor) const
{
	const SViewport view = Editor.View.Views.ViewAt(cursor);
	const f32 length = HandleLength(view);
	if (length <= 0.0f)
		return PART_NONE;
	const core::vector3df centre = Centre();
	const core::vector2df at(static_cast<f32>(cursor.X), static_cast<f32>(cursor.Y));
	const core::vector2df middle = OnScreen(view, centre);
	if (at.getDistanceFrom(middle) <= CentrePixels)
		return PART_BODY;
	EPart part = PART_NONE;
	f32 nearest = PickPixels;
	for (int a = 0; a < 3; ++a)
	{
		if (!PartShown(view, static_cast<EPart>(PART_X + a)))
			continue;
		const f32 d = SegmentDistance(at, middle, OnScreen(view, centre + Axes[a] * length));
		if (d <= nearest)
		{
			nearest = d;
			part = static_cast<EPart>(PART_X + a);
		}
	}
	const f32 radius = length * RING_PIXELS / HANDLE_PIXELS;
	for (int i = 0; i < RingSegments && PartShown(view, PART_RING); ++i)
	{
		const f32 d = SegmentDistance(at, OnScreen(view, RingPoint(centre, radius, i)),
		                              OnScreen(view, RingPoint(centre, radius, i + 1)));
		if (d <= nearest)
		{
			nearest = d;
			part = PART_RING;
		}
	}
	if (part != PART_NONE)
		return part;
	// The object itself, where a click would pick it.
	CSceneEditor::SPick hit = {0, 0, 0.0f};
	Editor.PickAlongRay(Editor._smgr->getRootSceneNode(), view.Ray(cursor), hit);
	const SObjectKind* kind = KindOf(Editor.SelectedModel->MODEL_TYPE);
	if (!hit.node)
		return PART_NONE;
	return hit.node == kind->NodeOf(*Editor.SelectedModel) ||
	               Editor.IsSelected(Editor.SlotOfNode(hit.node))
	           ? PART_BODY
	           : PART_NONE;
}

core::line3df CGizmo::Ray(const core::position2d<s32>& cursor) const
{
	return In.Ray(cursor);
}

bool CGizmo::OnPlane(const core::line3df& ray, core::vector3df& point) const
{
	const core::vector3df direction = ray.getVector();
	const int normal = PlaneNormal();
	const f32 across[3] = {direction.X, direction.Y, direction.Z};
	const f32 start[3] = {ray.start.X, ray.start.Y, ray.start.Z};
	const f32 plane[3] = {StartPosition.X, StartPosition.Y, StartPosition.Z};
	if (std::fabs(across[normal]) < 1e-6f * direction.getLength())
		return false;
	const f32 along = (plane[normal] - start[normal]) / across[normal];
	if (along <= 0.0f)
		return false; // the plane lies behind the camera
	point = ray.start + direction * along;
	return true;
}

// The point of the axis through the start position nearest to the ray.
bool CGizmo::AlongAxis(const core::line3df& ray, f32& along) const
{
	const core::vector3df& axis = Axes[Part - PART_X];
	const core::vector3df direction = ray.getVector().normalize();
	const core::vector3df w = StartPosition - ray.start;
	const f32 b = axis.dotProduct(direction);
	const f32 denominator = 1.0f - b * b;
	if (denominator < 1e-4f)
		return false; // the axis points along the view
	along = (b * direction.dotProduct(w) - axis.dotProduct(w)) / denominator;
	return true;
}

bool CGizmo::OnMouse(const SEvent::SMouseInput& mouse)
{
	const core::position2d<s32> at(mouse.X, mouse.Y);
	// A new press starts afresh, whatever became of the last one.
	if (mouse.Event == EMIE_LMOUSE_PRESSED_DOWN)
	{
		State = IDLE;
		// Control+click adds to the selection or takes out: it drags nothing.
		Part = Shown() && !Editor.ModalWindowOpen() && !mouse.Control ? PartAt(at) : PART_NONE;
		if (Part == PART_NONE)
			return false;
		Object = Editor.SelectedModel;
		In = Editor.View.Views.ViewAt(at);
		PressedAt = at;
		State = PRESSED;
		return true;
	}
	if (State == IDLE)
		return false;
	// The object went (undone, removed) while the button was down.
	if (Editor.SelectedModel != Object)
		State = CANCELLED;
	if (mouse.Event == EMIE_MOUSE_MOVED)
	{
		if (State == PRESSED && (core::abs_(at.X - PressedAt.X) >= DragPixels ||
		                         core::abs_(at.Y - PressedAt.Y) >= DragPixels))
			Begin();
		if (State == DRAGGING)
			Follow(at, mouse.Shift);
	}
	else if (mouse.Event == EMIE_LMOUSE_LEFT_UP)
	{
		const bool click = State == PRESSED;
		State = IDLE;
		if (click)
			Editor.SelectNewSceneNode(true, mouse.Control);
	}
	return true;
}

void CGizmo::Begin()
{
	StartPosition = Centre();
	StartRotation = Object->getRotation();
	Held = Editor.SelectedSlots().size() > 1 ? Editor.HeldSelection()
	                                         : std::vector<scenetree::SHeld>();
	const core::line3df ray = Ray(PressedAt);
	const bool axis = Part >= PART_X && Part <= PART_Z;
	State = (axis ? AlongAxis(ray, StartAlong) : OnPlane(ray, StartPoint)) ? DRAGGING : CANCELLED;
}

void CGizmo::Follow(const core::position2d<s32>& cursor, bool onSurfaces)
{
	const core::line3df ray = Ray(cursor);
	if (Part == PART_BODY && onSurfaces)
	{
		FollowSurfaces(ray);
		return;
	}
	const bool snap = Editor.Transform.Snap();
	const f32 grid = Editor.Transform.GridStep();
	if (Part >= PART_X && Part <= PART_Z)
	{
		f32 along = 0.0f;
		if (!AlongAxis(ray, along))
			return;
		core::vector3df position = StartPosition + Axes[Part - PART_X] * (along - StartAlong);
		f32* const moved[3] = {&position.X, &position.Y, &position.Z};
		if (snap)
			*moved[Part - PART_X] = Snapped(*moved[Part - PART_X], grid);
		MoveTo(position);
		return;
	}
	core::vector3df point;
	if (!OnPlane(ray, point))
		return;
	if (Part == PART_RING)
	{
		// The turn the cursor made around the vertical axis since the press.
		f32 turn = HeadingDegrees(StartPosition, point) - HeadingDegrees(StartPosition, StartPoint);
		turn -= 360.0f * std::round(turn / 360.0f);
		core::vector3df rotation = StartRotation;
		rotation.Y += turn;
		if (snap)
			rotation.Y = Snapped(rotation.Y, Editor.Transform.AngleStep());
		if (!Held.empty())
			TurnBy(rotation.Y - StartRotation.Y);
		else
			Editor.SetTransformOf(Object, Object->getPosition(), rotation, Object->getScale());
		return;
	}
	// The point under the cursor stays under it; the plane's normal keeps
	// its value.
	core::vector3df position = StartPosition + (point - StartPoint);
	f32* const axes[3] = {&position.X, &position.Y, &position.Z};
	const f32 kept[3] = {StartPosition.X, StartPosition.Y, StartPosition.Z};
	for (int a = 0; a < 3; ++a)
		if (a == PlaneNormal())
			*axes[a] = kept[a];
		else if (snap)
			*axes[a] = Snapped(*axes[a], grid);
	// A ray nearly along the plane meets it far away.
	MoveTo(position);
}

void CGizmo::MoveTo(const core::vector3df& centre)
{
	if (Held.empty())
	{
		Editor.SetTransformOf(Object, ToParent(centre), Object->getRotation(), Object->getScale());
		return;
	}
	core::matrix4 move;
	move.setTranslation(centre - StartPosition);
	Editor.PlaceHeld(Held, move, StartPosition);
}

void CGizmo::TurnBy(f32 degrees)
{
	core::matrix4 there, turn, back;
	there.setTranslation(StartPosition);
	turn.setRotationDegrees(core::vector3df(0, degrees, 0));
	back.setTranslation(-StartPosition);
	Editor.PlaceHeld(Held, there * turn * back, StartPosition);
}

// The bottom of the object's box stands on the first surface under the
// cursor; where there is none, the object stays where it is.
void CGizmo::FollowSurfaces(const core::line3df& ray)
{
	scene::ISceneNode* node = ObjectNode(Object);
	core::vector3df point;
	if (!node || !Editor.SurfacePoint(ray, node, point))
		return;
	node->updateAbsolutePosition();
	const core::aabbox3df box = node->getTransformedBoundingBox();
	const core::vector3df foot(box.getCenter().X, box.MinEdge.Y, box.getCenter().Z);
	if (!Held.empty())
	{
		// The current object's foot lands on the point; the others keep
		// their places beside it.
		MoveTo(Centre() + (point - foot));
		return;
	}
	Editor.SetTransformOf(Object, Object->getPosition() + (point - foot), Object->getRotation(),
	                      Object->getScale());
}

bool CGizmo::Cancel()
{
	if (State != PRESSED && State != DRAGGING)
		return false;
	if (State == DRAGGING && Editor.SelectedModel == Object)
		Editor.CancelEdit();
	State = CANCELLED;
	return true;
}

void CGizmo::Draw(const SViewport& view)
{
	const f32 length = HandleLength(view);
	if (length <= 0.0f)
		return;
	video::IVideoDriver* driver = Editor._driver;
	// Over the scene: nothing hides the handles.
	video::SMaterial material;
	material.Lighting = false;
	material.ZBuffer = video::ECFN_ALWAYS;
	material.ZWriteEnable = false;
	material.Thickness = 3.0f;
	driver->setMaterial(material);
	driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
	driver->setTransform(video::ETS_VIEW, view.ViewMatrix());
	driver->setTransform(video::ETS_PROJECTION, view.Camera->getProjectionMatrix());
	const core::vector3df centre = Centre();
	const f32 radius = length * RING_PIXELS / HANDLE_PIXELS;
	for (int i = 0; i < RingSegments && PartShown(view, PART_RING); ++i)
		driver->draw3DLine(RingPoint(centre, radius, i), RingPoint(centre, radius, i + 1),
		                   PartColour(PART_RING));
	for (int a = 0; a < 3; ++a)
		if (PartShown(view, static_cast<EPart>(PART_X + a)))
			driver->draw3DLine(centre, centre + Axes[a] * length,
			                   PartColour(static_cast<EPart>(PART_X + a)));
}

video::SColor CGizmo::PartColour(EPart part) const
{
	if (State == DRAGGING && part == Part)
		return Active;
	return part == PART_BODY ? video::SColor(255, 230, 230, 230) : PartColours[part - PART_X];
}

void CGizmo::DrawMarks(const SViewport& view)
{
	const f32 length = HandleLength(view);
	if (length <= 0.0f)
		return;
	video::IVideoDriver* driver = Editor._driver;
	const core::vector3df centre = Centre();
	const core::rect<s32>* clip = &view.Area;
	for (int a = 0; a < 3; ++a)
	{
		const EPart part = static_cast<EPart>(PART_X + a);
		if (!PartShown(view, part))
			continue;
		const core::vector2df end = OnScreen(view, centre + Axes[a] * length);
		const s32 x = static_cast<s32>(end.X), y = static_cast<s32>(end.Y);
		driver->draw2DRectangle(PartColour(part), core::rect<s32>(x - 4, y - 4, x + 5, y + 5),
		                        clip);
	}
	const core::vector2df middle = OnScreen(view, centre);
	const s32 x = static_cast<s32>(middle.X), y = static_cast<s32>(middle.Y);
	const s32 half = static_cast<s32>(CentrePixels);
	// The centre square's four sides, kept within the view.
	const video::SColor colour = PartColour(PART_BODY);
	driver->draw2DRectangle(colour, core::rect<s32>(x - half, y - half, x + half, y - half + 1),
	                        clip);
	driver->draw2DRectangle(colour, core::rect<s32>(x - half, y + half - 1, x + half, y + half),
	                        clip);
	driver->draw2DRectangle(colour, core::rect<s32>(x - half, y - half, x - half + 1, y + half),
	                        clip);
	driver->draw2DRectangle(colour, core::rect<s32>(x + half - 1, y - half, x + half, y + half),
	                        clip);
}
