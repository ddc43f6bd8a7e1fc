// The outline of the selection over the scene; see SelectionOutline.h.
#include "SelectionOutline.h"

#include "CModel.h"
#include "ObjectKinds.h"
#include "Viewports.h"

const video::SColor CSelectionOutline::BRIGHT(255, 255, 170, 40);
const video::SColor CSelectionOutline::DIM(255, 120, 80, 30);

namespace
{
// Edges in one flat colour whatever the mesh's vertex colours and the
// scene's lights: lit, with the colour as the only light it gives off.
video::SMaterial OutlineMaterial(video::SColor colour, video::E_COMPARISON_FUNC depth)
{
	video::SMaterial material;
	material.Wireframe = true;
	material.Lighting = true;
	material.ColorMaterial = video::ECM_NONE;
	material.AmbientColor = material.DiffuseColor = material.SpecularColor = video::SColor(0);
	material.EmissiveColor = colour;
	material.Shininess = 0.0f;
	material.FogEnable = false;
	material.BackfaceCulling = false;
	material.ZBuffer = depth;
	material.ZWriteEnable = false;
	return material;
}

// The mesh a node draws now (a model's animation in the frame it shows), or
// null for a node without one.
const scene::IMesh* ShownMesh(scene::ISceneNode* node)
{
	switch (node->getType())
	{
	case scene::ESNT_ANIMATED_MESH:
	{
		scene::IAnimatedMeshSceneNode* animated = static_cast<scene::IAnimatedMeshSceneNode*>(node);
		scene::IAnimatedMesh* mesh = animated->getMesh();
		return mesh ? mesh->getMesh(core::floor32(animated->getFrameNr())) : 0;
	}
	case scene::ESNT_MESH:
	case scene::ESNT_CUBE:
	case scene::ESNT_SPHERE:
	case scene::ESNT_WATER_SURFACE: return static_cast<scene::IMeshSceneNode*>(node)->getMesh();
	default: return 0;
	}
}
} // namespace

CSelectionOutline::CSelectionOutline()
    : Hidden(OutlineMaterial(DIM, video::ECFN_ALWAYS)),
      Seen(OutlineMaterial(BRIGHT, video::ECFN_LESSEQUAL))
{
	// Pulled a little towards the camera, so that the object's own faces
	// do not hide its edges.
	Seen.PolygonOffsetFactor = 1;
	Seen.PolygonOffsetDirection = video::EPO_FRONT;
}

void CSelectionOutline::Draw(video::IVideoDriver* driver, const SViewport& view,
                             const CModel* object)
{
	scene::ISceneNode* node = ObjectNode(object);
	if (!node || !node->isTrulyVisible())
		return;
	driver->setTransform(video::ETS_VIEW, view.ViewMatrix());
	driver->setTransform(video::ETS_PROJECTION, view.Camera->getProjectionMatrix());
	// The hidden part first: the seen part then draws over it.
	driver->setMaterial(Hidden);
	DrawShape(driver, *object, node, DIM);
	driver->setMaterial(Seen);
	DrawShape(driver, *object, node, BRIGHT);
	++DrawnCount;
}

void CSelectionOutline::DrawShape(video::IVideoDriver* driver, const CModel& object,
                                  scene::ISceneNode* node, video::SColor colour)
{
	const scene::IMesh* mesh = ShownMesh(node);
	if (mesh)
	{
		node->updateAbsolutePosition();
		driver->setTransform(video::ETS_WORLD, node->getAbsoluteTransformation());
		for (u32 i = 0; i < mesh->getMeshBufferCount(); ++i)
			driver->drawMeshBuffer(mesh->getMeshBuffer(i));
		return;
	}
	const SObjectKind* kind = KindOf(object.MODEL_TYPE);
	const core::aabbox3df box =
	    kind && kind->PickBox ? kind->PickBox(object) : node->getTransformedBoundingBox();
	driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
	driver->draw3DBox(box, colour);
}
