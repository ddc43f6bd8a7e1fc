// CGrid: lines every grid step, every tenth line stronger. In perspective
// they lie on the ground plane and fade with distance from where the camera
// looks; an orthographic view shows them across the whole view, behind the
// scene. Where the lines would crowd together only every tenth is drawn (and
// every hundredth stronger), so snapping still lands on lines drawn.
#ifndef TOLVANE_GRID_H
#define TOLVANE_GRID_H

#include <irrlicht.h>
#include <vector>

using namespace irr;

struct SViewport;

class CGrid
{
public:
	//! Draws the grid of `step` into a view (its viewport and camera set).
	void Draw(video::IVideoDriver* driver, const SViewport& view, f32 step);
	//! The spacing of the lines drawn: the step, or a power of ten of it
	//! where lines `unitsPerPixel` apart would come closer than MIN_PIXELS.
	static f32 DrawnStep(f32 step, f32 unitsPerPixel);
	//! Lines drawn by the last Draw.
	u32 LinesDrawn() const { return static_cast<u32>(Indices.size() / 2); }

	static constexpr f32 MIN_PIXELS = 6.0f;
	//! Lines on each side of the middle in perspective at most.
	static constexpr int MAX_LINES = 100;

private:
	void AddLine(const core::vector3df& from, const core::vector3df& to, bool strong, int segments,
	             const core::vector3df& middle, f32 radius);
	void DrawLines(video::IVideoDriver* driver, bool behindScene);

	std::vector<video::S3DVertex> Vertices;
	std::vector<u16> Indices;
};

#endif
