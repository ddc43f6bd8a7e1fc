// Keys that act on the selected object when no edit box or dialog has the
// keys: Delete removes it, Control+D duplicates a model, End drops it to the
// floor, Escape ends a drag of the handles or else clears the selection.
#include "CSceneEditor.h"

#include "ObjectKinds.h"

namespace
{
// What can be stood on of a level, terrain, plane or model node, or null.
scene::ITriangleSelector* SurfacesOf(scene::ISceneManager* smgr, scene::ISceneNode* node)
{
	node->updateAbsolutePosition();
	if (node->getType() == scene::ESNT_TERRAIN)
		return smgr->createTerrainTriangleSelector(static_cast<scene::ITerrainSceneNode*>(node));
	if (node->getType() != scene::ESNT_ANIMATED_MESH)
		return 0;
	scene::IAnimatedMesh* mesh = static_cast<scene::IAnimatedMeshSceneNode*>(node)->getMesh();
	return mesh ? smgr->createOctreeTriangleSelector(mesh->getMesh(0), node) : 0;
}
} // namespace

bool CSceneEditor::OnObjectKey(const SEvent::SKeyInput& keyInput)
{
	if (!keyInput.PressedDown)
		return false;
	switch (keyInput.Key)
	{
	case KEY_DELETE:
		if (SelectedModel)
			AsOneStep(
			    [this]
			    {
				    DeleteSelectedModel();
				    return true;
			    });
		return true;
	case KEY_KEY_D:
		if (!keyInput.Control)
			return false;
		DuplicateSelected();
		return true;
	case KEY_END: DropToFloor(); return true;
	case KEY_ESCAPE:
		if (!Handles.Cancel() && SelectedModel)
		{
			SelectedModel->setDebugDataVisible(false);
			SelectedModel = 0;
		}
		return true;
	default: return false;
	}
}

bool CSceneEditor::DuplicateSelected()
{
	const int from = SlotOf(SelectedModel);
	if (from < 0 || SelectedModel->MODEL_TYPE != CModel::TYPE_MESH)
		return false;
	return AsOneStep(
	    [&]
	    {
		    const int slot = NextModelSlot();
		    const SModelState* original = Document.Object(from);
		    if (slot == 0 || !original)
		    {
			    ShowMessage(L"Load Model Error!",
			                L"The scene is full. Use File, Clear to start again.");
			    return false;
		    }
		    SModelState copy = *original;
		    copy.Position.X += Transform.GridStep();
		    current_model = slot;
		    CModel* model = BuildObject(slot, copy);
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
	scene::IMetaTriangleSelector* surfaces = _smgr->createMetaTriangleSelector();
	f32 lowest = foot.Y;
	auto add = [&](scene::ISceneNode* node)
	{
		scene::ITriangleSelector* selector =
		    node && node != falling ? SurfacesOf(_smgr, node) : 0;
		if (!selector)
			return;
		surfaces->addTriangleSelector(selector);
		selector->drop();
		lowest = core::min_(lowest, node->getTransformedBoundingBox().MinEdge.Y);
	};
	add(Q3LevelNode);
	add(Terrain);
	add(LevelPlane);
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		if (CModel* object = ObjectAt(slot))
			if (object->MODEL_TYPE == CModel::TYPE_MESH)
				add(object->AnimatedNode);
	// From just above the foot, so that what already stands stays.
	const core::line3df down(foot + core::vector3df(0, 0.01f, 0),
	                         core::vector3df(foot.X, lowest - 1.0f, foot.Z));
	core::vector3df hit;
	core::triangle3df triangle;
	scene::ISceneNode* hitNode = 0;
	const bool found =
	    _smgr->getSceneCollisionManager()->getCollisionPoint(down, surfaces, hit, triangle, hitNode);
	surfaces->drop();
	if (!found)
		return false;
	const core::vector3df fall(0, hit.Y - foot.Y, 0);
	if (SelectedModel)
		return SetSelectedTransform(SelectedModel->getPosition() + fall, SelectedModel->getRotation(),
		                            SelectedModel->getScale());
	return AsOneStep(
	    [&]
	    {
		    Positioner->setPosition(Positioner->getPosition() + fall);
		    return true;
	    });
}
