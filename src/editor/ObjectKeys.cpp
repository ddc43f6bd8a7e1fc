// Keys that act on the selected object when no edit box or dialog has the
// keys: Delete removes it, Control+D duplicates a model, End drops it to the
// floor, H hides it or shows it again (Shift+H shows everything), Escape ends
// a drag of the handles or else clears the selection.
// Also the search for the surfaces a line meets, which the wheel's zoom and
// the handles' drag over surfaces use.
#include "CSceneEditor.h"

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
	const int slot = SlotOf(SelectedModel);
	AdoptObject(slot);
	const SModelState* record = slot < 0 ? 0 : Document.Object(slot);
	if (!record)
		return false;
	const bool visible = !record->Visible;
	return Execute(commands::EditObject(slot, [visible](SModelState& r) { r.Visible = visible; }));
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
			    const std::wstring base =
			        copy.Name.empty() ? scenetree::BaseName(copy) : copy.Name.c_str();
			    copy.Name = scenetree::SuggestedName(Document.State(), base).c_str();
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
	const SObjectKind* kind = SelectedModel ? KindOf(SelectedModel->MODEL_TYPE) : 0;
	scene::ISceneNode* falling = kind ? kind->NodeOf(*SelectedModel) : Positioner;
	if (!falling)
		return false;
	// The marker stands on its point, an object on the bottom of its box.
	falling->updateAbsolutePosition();
	core::vector3df foot = falling->getAbsolutePosition();
	if (falling != Positioner)
	{
		const core::aabbox3df box = falling->getTransformedBoundingBox();
		foot.set(box.getCenter().X, box.MinEdge.Y, box.getCenter().Z);
	}
	const std::vector<scene::ISceneNode*> grounds = SurfaceNodes();
	// From just above the foot, so that what already stands stays.
	const core::line3df down(foot + core::vector3df(0, 0.01f, 0),
	                         core::vector3df(foot.X, foot.Y - 1e6f, foot.Z));
	bool found = false;
	f32 floor = 0;
	for (scene::ISceneNode* ground : grounds)
	{
		scene::ITriangleSelector* surfaces = ground != falling ? SurfacesOf(_smgr, ground) : 0;
		f32 height = 0;
		if (surfaces && HighestOnLine(surfaces, down, height) && (!found || height > floor))
		{
			floor = height;
			found = true;
		}
		if (surfaces)
			surfaces->drop();
	}
	if (!found)
		return false;
	const core::vector3df fall(0, floor - foot.Y, 0);
	if (SelectedModel)
	{
		// The fall is in the world; a child's position is its parent's.
		core::vector3df landed = falling->getAbsolutePosition() + fall;
		core::matrix4 toParent;
		falling->getParent()->getAbsoluteTransformation().getInverse(toParent);
		toParent.transformVect(landed);
		return SetSelectedTransform(landed, SelectedModel->getRotation(),
		                            SelectedModel->getScale());
	}
	const core::vector3df fallen = Positioner->getPosition() + fall;
	return Execute(commands::EditWorld([&](SWorldState& world) { world.MarkerPosition = fallen; }));
}
