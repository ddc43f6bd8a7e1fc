// Keys that act on the selected object when no edit box or dialog has the
// keys: Delete removes it, Control+D duplicates a model, End drops it to the
// floor, H hides it or shows it again (Shift+H shows everything), Escape ends
// a drag of the handles or else clears the selection.
// Also the search for the surfaces a line meets, which the wheel's zoom and
// the handles' drag over surfaces use.
#include "CSceneEditor.h"

#include <algorithm>
#include <map>
#include <vector>

#include "ObjectKinds.h"
#include "SceneTree.h"

namespace
{
// What can be stood on of a level, terrain, plane or model node, or null.
scene::ITriangleSelector* SurfacesOf(scene::ISceneManager* smgr, scene::ISceneNode* node)
{
	node->updateAbsolutePosition();
	if (node->getType() == scene::ESNT_TERRAIN)
		return smgr->createTerrainTriangleSelector(static_cast<scene::ITerrainSceneNode*>(node));
	if (node->getType() == scene::ESNT_CUBE || node->getType() == scene::ESNT_SPHERE)
	{
		scene::IMesh* shape = static_cast<scene::IMeshSceneNode*>(node)->getMesh();
		return shape ? smgr->createTriangleSelector(shape, node) : 0;
	}
	if (node->getType() != scene::ESNT_ANIMATED_MESH)
		return 0;
	scene::IAnimatedMesh* mesh = static_cast<scene::IAnimatedMeshSceneNode*>(node)->getMesh();
	return mesh ? smgr->createTriangleSelector(mesh->getMesh(0), node) : 0;
}

// Where a line meets a selector's triangles. Every triangle is tried: the
// engine's search along a line inverts the node's transform, which the
// flattened plane does not have.
std::vector<core::vector3df> HitsOnLine(scene::ITriangleSelector* surfaces,
                                        const core::line3df& line)
{
	std::vector<core::triangle3df> triangles(surfaces->getTriangleCount());
	s32 count = 0;
	surfaces->getTriangles(triangles.data(), static_cast<s32>(triangles.size()), count, 0);
	std::vector<core::vector3df> hits;
	for (s32 i = 0; i < count; ++i)
	{
		core::vector3df hit;
		if (triangles[i].getIntersectionWithLimitedLine(line, hit))
			hits.push_back(hit);
	}
	return hits;
}

// The highest point of a selector's triangles on a line.
bool HighestOnLine(scene::ITriangleSelector* surfaces, const core::line3df& line, f32& height)
{
	const std::vector<core::vector3df> hits = HitsOnLine(surfaces, line);
	for (size_t i = 0; i < hits.size(); ++i)
		if (i == 0 || hits[i].Y > height)
			height = hits[i].Y;
	return !hits.empty();
}

// The distance from a line's start to the nearest of a selector's triangles
// on it.
bool NearestOnLine(scene::ITriangleSelector* surfaces, const core::line3df& line, f32& distance)
{
	const std::vector<core::vector3df> hits = HitsOnLine(surfaces, line);
	for (size_t i = 0; i < hits.size(); ++i)
	{
		const f32 along = static_cast<f32>(hits[i].getDistanceFrom(line.start));
		if (i == 0 || along < distance)
			distance = along;
	}
	return !hits.empty();
}
} // namespace

std::vector<scene::ISceneNode*> CSceneEditor::SurfaceNodes() const
{
	// A hidden piece or model is not there for the user: nothing stands on
	// it or stops at it. A locked one is drawn, so it still does.
	std::vector<scene::ISceneNode*> grounds;
	const auto add = [&grounds](scene::ISceneNode* node)
	{
		if (node && node->isTrulyVisible())
			grounds.push_back(node);
	};
	for (scene::ISceneNode* piece :
	     {Q3LevelNode, static_cast<scene::ISceneNode*>(Terrain), LevelPlane})
		add(piece);
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
	{
		const CModel* object = ObjectAt(slot);
		if (object && object->MODEL_TYPE == CModel::TYPE_MESH)
			add(object->AnimatedNode);
		else if (object && (object->MODEL_TYPE == CModel::TYPE_CUBE ||
		                    object->MODEL_TYPE == CModel::TYPE_SPHERE))
			add(object->Node);
	}
	return grounds;
}

f32 CSceneEditor::SurfaceDistance(const core::line3df& ray)
{
	core::vector3df point;
	return SurfacePoint(ray, 0, point) ? static_cast<f32>(point.getDistanceFrom(ray.start)) : 0;
}

bool CSceneEditor::SurfacePoint(const core::line3df& ray, const scene::ISceneNode* except,
                                core::vector3df& point)
{
	f32 nearest = 0;
	for (scene::ISceneNode* ground : SurfaceNodes())
	{
		scene::ITriangleSelector* surfaces = ground != except ? SurfacesOf(_smgr, ground) : 0;
		f32 distance = 0;
		if (surfaces && NearestOnLine(surfaces, ray, distance) && distance > 0 &&
		    (nearest == 0 || distance < nearest))
			nearest = distance;
		if (surfaces)
			surfaces->drop();
	}
	point = ray.start + ray.getVector().normalize() * nearest;
	return nearest > 0;
}

bool CSceneEditor::OnObjectKey(const SEvent::SKeyInput& keyInput)
{
	if (!keyInput.PressedDown)
		return false;
	switch (keyInput.Key)
	{
	case KEY_DELETE: DeleteSelection(); return true;
	case KEY_KEY_D:
		if (!keyInput.Control)
			return false;
		DuplicateSelection();
		return true;
	case KEY_END: DropToFloor(); return true;
	case KEY_KEY_H:
		if (keyInput.Control)
			return false;
		if (keyInput.Shift)
			ShowAll();
		else
			ToggleSelectedHidden();
		return true;
	case KEY_ESCAPE:
		if (!Handles.Cancel() && SelectedModel)
		{
			SelectedModel->setDebugDataVisible(false);
			SelectedModel = 0;
			Selection.clear();
		}
		return true;
	default: return false;
	}
}

bool CSceneEditor::ToggleSelectedHidden()
{
	// Any selected object shown: all are hidden; else all are shown.
	const std::vector<int> slots = SelectedSlots();
	if (slots.empty())
		return false;
	bool anyShown = false;
	for (int slot : slots)
	{
		AdoptObject(slot);
		const SModelState* record = Document.Object(slot);
		anyShown |= record && record->Visible;
	}
	const bool visible = !anyShown;
	return AsOneStep(
	    [&]
	    {
		    bool changed = false;
		    for (int slot : slots)
			    changed |= Execute(commands::EditObject(
			        slot, [visible](SModelState& r) { r.Visible = visible; },
			        slots.size() < 2 ? L""
			                         : (visible ? L"Show " : L"Hide ") +
			                               std::to_wstring(slots.size()) + L" objects"));
		    return changed;
	    });
}

bool CSceneEditor::ShowAll()
{
	return Execute(commands::ShowAll());
}

bool CSceneEditor::DuplicateSelected()
{
	const int from = SlotOf(SelectedModel);
	// The water is one of a kind, and so is a sky dome.
	if (from <= WATER_SLOT || SelectedModel->MODEL_TYPE == CModel::TYPE_SKYDOME)
		return false;
	AdoptObject(from);
	const std::vector<int> tree = scenetree::Subtree(Document.State(), from);
	return AsOneStep(
	    [&]
	    {
		    // Each copy takes the next free slot; the copies hang as the
		    // originals do, the first from the original's parent.
		    std::map<int, int> copies;
		    for (int original : tree)
		    {
			    const int slot = NextModelSlot();
			    const SModelState* record = Document.Object(original);
			    if (slot == 0 || !record)
			    {
				    ShowMessage(L"Load Model Error!",
				                L"The scene is full. Use File, Clear to start again.");
				    return !copies.empty();
			    }
			    SModelState copy = *record;
			    MakeCopy(copy);
			    if (original == from)
				    copy.Position =
				        KeptInWorld(copy.Position + core::vector3df(Transform.GridStep(), 0, 0));
			    else
				    copy.Parent = copies[record->Parent];
			    copy.Name = scenetree::SuggestedName(Document.State(), scenetree::DisplayName(copy))
			                    .c_str();
			    Execute(
			        commands::EditWorld([slot](SWorldState& world) { world.CurrentModel = slot; }));
			    Execute(commands::AddObject(slot, std::move(copy)));
			    copies[original] = slot;
		    }
		    CModel* model = ObjectNode(ObjectAt(copies[from])) ? ObjectAt(copies[from]) : 0;
		    if (model)
			    Select(model);
		    return model != 0;
	    });
}

bool CSceneEditor::DropToFloor()
{
	if (!SelectedModel)
	{
		f32 fall = 0;
		if (!FallBelow({Positioner}, fall))
			return false;
		const core::vector3df fallen = Positioner->getPosition() + core::vector3df(0, fall, 0);
		return Execute(
		    commands::EditWorld([&](SWorldState& world) { world.MarkerPosition = fallen; }));
	}
	const std::vector<int> roots = SelectionRoots();
	return AsOneStep(
	    [&]
	    {
		    bool dropped = false;
		    for (int slot : roots)
			    dropped |= DropObject(slot);
		    return dropped;
	    });
}

bool CSceneEditor::DropObject(int slot)
{
	CModel* object = ObjectAt(slot);
	scene::ISceneNode* node = ObjectNode(object);
	if (!node)
		return false;
	// The object falls with everything that hangs from it.
	std::vector<scene::ISceneNode*> falling;
	for (int each : scenetree::Subtree(Document.State(), slot))
		if (scene::ISceneNode* part = ObjectNode(ObjectAt(each)))
			falling.push_back(part);
	f32 fall = 0;
	if (!FallBelow(falling, fall))
		return false;
	// The fall is in the world; a child's position is its parent's.
	core::vector3df landed = node->getAbsolutePosition() + core::vector3df(0, fall, 0);
	core::matrix4 toParent;
	node->getParent()->getAbsoluteTransformation().getInverse(toParent);
	toParent.transformVect(landed);
	return SetTransformOf(object, landed, object->getRotation(), object->getScale());
}

bool CSceneEditor::FallBelow(const std::vector<scene::ISceneNode*>& falling, f32& fall)
{
	// The marker stands on its point, objects on the bottom of their boxes.
	core::aabbox3df box;
	for (size_t i = 0; i < falling.size(); ++i)
	{
		scene::ISceneNode* node = falling[i];
		node->updateAbsolutePosition();
		const core::aabbox3df part = node == Positioner
		                                 ? core::aabbox3df(node->getAbsolutePosition())
		                                 : node->getTransformedBoundingBox();
		if (i == 0)
			box = part;
		else
			box.addInternalBox(part);
	}
	if (falling.empty())
		return false;
	const core::vector3df foot(box.getCenter().X, box.MinEdge.Y, box.getCenter().Z);
	// From just above the foot, so that what already stands stays.
	const core::line3df down(foot + core::vector3df(0, 0.01f, 0),
	                         core::vector3df(foot.X, foot.Y - 1e6f, foot.Z));
	bool found = false;
	f32 floor = 0;
	for (scene::ISceneNode* ground : SurfaceNodes())
	{
		const bool own = std::find(falling.begin(), falling.end(), ground) != falling.end();
		scene::ITriangleSelector* surfaces = own ? 0 : SurfacesOf(_smgr, ground);
		f32 height = 0;
		if (surfaces && HighestOnLine(surfaces, down, height) && (!found || height > floor))
		{
			floor = height;
			found = true;
		}
		if (surfaces)
			surfaces->drop();
	}
	fall = floor - foot.Y;
	return found;
}
