// CSelectionOutline: the selected object drawn once more over a view's
// scene as the edges of its triangles, so that it stays in sight behind a
// wall: dim where something stands in front of it, bright where it is in
// view. An object without a mesh (a particle system) is outlined by the box
// a click picks it by. A hidden object has no outline.
#ifndef TOLVANE_SELECTIONOUTLINE_H
#define TOLVANE_SELECTIONOUTLINE_H

#include <irrlicht.h>

using namespace irr;

class CModel;
struct SViewport;

class CSelectionOutline
{
public:
	CSelectionOutline();

	//! Draws an object's outline over a view's scene, after the scene
	//! (which fills the depth buffer that tells the two parts apart).
	void Draw(video::IVideoDriver* driver, const SViewport& view, const CModel* object);
	//! How many outlines have been drawn since the start.
	u32 Drawn() const { return DrawnCount; }
	//! The lines drawn since the last call, which the driver counts among
	//! the frame's primitives although they are no part of the scene.
	u32 TakePrimitives()
	{
		const u32 lines = Primitives;
		Primitives = 0;
		return lines;
	}

	static const video::SColor BRIGHT, DIM;

private:
	//! The outline in one colour, with the material set before.
	void DrawPass(video::IVideoDriver* driver, const CModel& object, scene::ISceneNode* node,
	              video::SColor colour);
	//! A buffer's triangle edges as lines in the arrays below, in the
	//! buffer's own coordinates.
	void EdgesOf(const scene::IMeshBuffer& buffer, video::SColor colour);

	//! The pass over everything (depth ignored) and the pass where the
	//! object is in view (depth tested).
	video::SMaterial Hidden, Seen;
	//! Kept from frame to frame, so that drawing allocates nothing once
	//! they have grown to the object's size.
	core::array<video::S3DVertex> Vertices;
	core::array<u32> Edges;
	u32 DrawnCount = 0;
	u32 Primitives = 0;
};

#endif
