// Where the camera goes after the user loaded world geometry: a level is
// seen from where a player starts it, a terrain or a plane (or a level
// without a start) is framed whole. The placement marker moves to the ground
// spot the camera looks at, so that the next model lands in view.
#include "EditorView.h"

#include "COrbitCamera.h"
#include "CSceneEditor.h"

namespace
{
// A player's eyes above the origin of the start entity.
const f32 EyeHeight = 50.0f;
// The camera looks at the floor this far ahead of the player at most, and
// never beyond half the way to the wall ahead.
const f32 LookAhead = 256.0f;
// The first point of a mesh node's surfaces on a line.
bool FirstHit(scene::ISceneManager* smgr, scene::IAnimatedMeshSceneNode* node,
              const core::line3df& line, core::vector3df& hit)
{
	scene::ITriangleSelector* surfaces =
	    smgr->createOctreeTriangleSelector(node->getMesh()->getMesh(0), node);
	core::triangle3df triangle;
	scene::ISceneNode* hitNode = 0;
	const bool found = surfaces && smgr->getSceneCollisionManager()->getCollisionPoint(
	                                   line, surfaces, hit, triangle, hitNode);
	if (surfaces)
		surfaces->drop();
	return found;
}

// The ground of a terrain, plane or level below a point.
bool GroundBelow(scene::ISceneManager* smgr, scene::ISceneNode* ground,
                 const core::vector3df& point, core::vector3df& spot)
{
	if (ground->getType() == scene::ESNT_TERRAIN)
	{
		const f32 height =
		    static_cast<scene::ITerrainSceneNode*>(ground)->getHeight(point.X, point.Z);
		spot.set(point.X, height, point.Z);
		return height > ground->getTransformedBoundingBox().MinEdge.Y - 1.0f;
	}
	const f32 bottom = ground->getTransformedBoundingBox().MinEdge.Y - 1.0f;
	return FirstHit(smgr, static_cast<scene::IAnimatedMeshSceneNode*>(ground),
	                core::line3df(point, core::vector3df(point.X, bottom, point.Z)), spot);
}
} // namespace

void CEditorView::ViewLevel()
{
	scene::IAnimatedMeshSceneNode* level =
	    static_cast<scene::IAnimatedMeshSceneNode*>(Editor.Q3LevelNode);
	scene::IAnimatedMesh* mesh = level ? level->getMesh() : 0;
	if (!mesh)
		return;
	const auto known =
	    Editor.LevelStarts.find(Editor._smgr->getMeshCache()->getMeshName(mesh).getPath().c_str());
	if (known == Editor.LevelStarts.end())
	{
		FrameGround(level);
		return;
	}
	const SLevelStart& start = known->second;
	level->updateAbsolutePosition();
	core::vector3df feet = start.Origin;
	level->getAbsoluteTransformation().transformVect(feet);
	const core::vector3df eye = feet + core::vector3df(0, EyeHeight, 0);
	// The file's angle turns from its X axis towards its Y axis (our Z).
	const f32 angle = start.Angle * core::DEGTORAD;
	const core::vector3df heading(cosf(angle), 0, sinf(angle));
	f32 ahead = LookAhead;
	core::vector3df wall;
	if (FirstHit(Editor._smgr, level, core::line3df(eye, eye + heading * (2 * LookAhead)), wall))
		ahead = core::min_(ahead, eye.getDistanceFrom(wall) / 2);
	core::vector3df spot = eye + heading * ahead;
	if (!GroundBelow(Editor._smgr, level, spot, spot))
		spot.Y = feet.Y;
	Editor.Orbit->lookFrom(Editor.Camera, eye, spot);
	Editor.Positioner->setPosition(spot);
	// Seen from above and the sides, the whole level.
	const core::aabbox3df box = level->getTransformedBoundingBox();
	Views.FrameOrthographic(box.getCenter(), box.getExtent().getLength() / 2);
}

void CEditorView::ViewGround(scene::ISceneNode* ground)
{
	for (int slot = 1; slot < CSceneEditor::MODEL_SLOTS; ++slot)
		if (Editor.Model[slot] && Editor.Model[slot]->AnimatedNode)
			return; // the user is placing models: the view stays with them
	FrameGround(ground);
}

// Seen from the start view's side, the whole of it in view.
void CEditorView::FrameGround(scene::ISceneNode* ground)
{
	ground->updateAbsolutePosition();
	const core::aabbox3df box = ground->getTransformedBoundingBox();
	core::vector3df spot;
	if (!GroundBelow(Editor._smgr, ground, box.getCenter(), spot))
		spot.set(box.getCenter().X, box.MinEdge.Y, box.getCenter().Z);
	ResetView();
	LookFromAfar(spot, box.getExtent().getLength() / 2 + spot.getDistanceFrom(box.getCenter()));
	Editor.Positioner->setPosition(spot);
}

void CEditorView::FrameScene()
{
	core::aabbox3df all;
	bool any = false;
	for (scene::ISceneNode* node : Editor.SurfaceNodes())
	{
		if (!node)
			continue;
		node->updateAbsolutePosition();
		const core::aabbox3df box = node->getTransformedBoundingBox();
		if (any)
			all.addInternalBox(box);
		else
			all = box;
		any = true;
	}
	if (!any)
		return;
	ResetView();
	LookFromAfar(all.getCenter(), core::max_(all.getExtent().getLength() / 2.0f, 10.0f));
}
