// The outline of the selection over the scene; see SelectionOutline.h.
#include "SelectionOutline.h"

#include "CModel.h"
#include "ObjectKinds.h"
#include "Viewports.h"

const video::SColor CSelectionOutline::BRIGHT(255, 255, 170, 40);
const video::SColor CSelectionOutline::DIM(255, 175, 115, 30);

namespace
{
// Unlit lines in their vertices' colour.
video::SMaterial OutlineMaterial(video::E_COMPARISON_FUNC depth)
{
	video::SMaterial material;
	material.Lighting = false;
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

// The projection with every depth pulled a little towards the camera, so
// that edges lying on the object's own faces pass the depth test: lines get
// no polygon offset. A multiple of w taken from z works for perspective and
// orthographic projections alike.
core::matrix4 PulledForward(core::matrix4 projection)
{
	const f32 pull = 2e-4f;
	for (int row = 0; row < 4; ++row)
		projection[row * 4 + 2] -= pull * projection[row * 4 + 3];
	return projection;
}
} // namespace

CSelectionOutline::CSelectionOutline()
    : Hidden(OutlineMaterial(video::ECFN_ALWAYS)), Seen(OutlineMaterial(video::ECFN_LESSEQUAL))
{
}

void CSelectionOutline::Draw(video::IVideoDriver* driver, const SViewport& view,
                             const CModel* object)
{
	scene::ISceneNode* node = ObjectNode(object);
	if (!node || !node->isTrulyVisible())
		return;
	const core::matrix4& projection = view.Camera->getProjectionMatrix();
	driver->setTransform(video::ETS_VIEW, view.ViewMatrix());
	// The hidden part first: the seen part then draws over it.
	driver->setTransform(video::ETS_PROJECTION, projection);
	driver->setMaterial(Hidden);
	DrawPass(driver, *object, node, DIM);
	driver->setTransform(video::ETS_PROJECTION, PulledForward(projection));
	driver->setMaterial(Seen);
	DrawPass(driver, *object, node, BRIGHT);
	driver->setTransform(video::ETS_PROJECTION, projection);
	++DrawnCount;
}

void CSelectionOutline::DrawPass(video::IVideoDriver* driver, const CModel& object,
                                 scene::ISceneNode* node, video::SColor colour)
{
	const scene::IMesh* mesh = ShownMesh(node);
	if (!mesh)
	{
		const SObjectKind* kind = KindOf(object.MODEL_TYPE);
		const core::aabbox3df box =
		    kind && kind->PickBox ? kind->PickBox(object) : node->getTransformedBoundingBox();
		driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
		driver->draw3DBox(box, colour);
		return;
	}
	node->updateAbsolutePosition();
	driver->setTransform(video::ETS_WORLD, node->getAbsoluteTransformation());
	for (u32 i = 0; i < mesh->getMeshBufferCount(); ++i)
	{
		EdgesOf(*mesh->getMeshBuffer(i), colour);
		if (Edges.empty())
			continue;
		driver->drawVertexPrimitiveList(Vertices.const_pointer(), Vertices.size(),
		                                Edges.const_pointer(), Edges.size() / 2,
		                                video::EVT_STANDARD, scene::EPT_LINES, video::EIT_32BIT);
		Primitives += Edges.size() / 2;
	}
}

void CSelectionOutline::EdgesOf(const scene::IMeshBuffer& buffer, video::SColor colour)
{
	const u32 vertexCount = buffer.getVertexCount();
	Vertices.set_used(vertexCount);
	for (u32 v = 0; v < vertexCount; ++v)
	{
		Vertices[v].Pos = buffer.getPosition(v);
		Vertices[v].Color = colour;
	}
	// The engine's getIndices says u16 whatever the buffer holds.
	const void* stored = buffer.getIndices();
	const bool wide = buffer.getIndexType() == video::EIT_32BIT;
	const u32 triangles = buffer.getIndexCount() / 3;
	Edges.set_used(0);
	for (u32 t = 0; t < triangles; ++t)
	{
		u32 corner[3];
		for (u32 c = 0; c < 3; ++c)
			corner[c] = wide ? static_cast<const u32*>(stored)[3 * t + c]
			                 : static_cast<const u16*>(stored)[3 * t + c];
		if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount)
			continue; // a buffer that points past its vertices is not drawn either
		for (u32 c = 0; c < 3; ++c)
		{
			Edges.push_back(corner[c]);
			Edges.push_back(corner[(c + 1) % 3]);
		}
	}
}
