// CGrid: lines every grid step, every tenth line stronger. In perspective
// they lie on the ground plane and fade with distance from where the camera
// looks; an orthographic view shows them across the whole view, behind the
// scene. Where the lines would crowd together only every tenth is drawn (and
// every hundredth stronger), so snapping still lands on lines drawn.
// Each view keeps its lines between frames and builds them again only when
// what they are made from (step, camera, view size) changes.
#ifndef TOLVANE_GRID_H
#define TOLVANE_GRID_H

#include <irrlicht.h>
#include <array>
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
	u32 LinesDrawn() const { return LastLines; }
	//! How often lines were built: once for each change a view saw.
	u32 Builds() const { return BuildCount; }

	static constexpr f32 MIN_PIXELS = 6.0f;
	//! Lines on each side of the middle in perspective at most.
	static constexpr int MAX_LINES = 100;

private:
	//! What a view's lines are made from; equal layouts give equal lines.
	struct SLayout
	{
		bool Orthographic = false;
		//! Where the camera looks: the fade's middle in perspective.
		core::vector3df Middle;
		//! Orthographic: the view's plane, its directions and half size.
		core::vector3df Right, Up;
		f32 HalfWidth = 0, HalfHeight = 0;
		//! Perspective: how far the lines reach from the middle.
		f32 Radius = 0;
		f32 Drawn = 0;
		bool operator==(const SLayout& other) const;
	};
	struct SLines
	{
		SLayout Layout{};
		bool Built = false;
		std::vector<video::S3DVertex> Vertices;
		std::vector<u16> Indices;
	};

	static SLayout PerspectiveLayout(const SViewport& view, f32 step);
	static SLayout OrthographicLayout(const SViewport& view, f32 step);
	void Build(SLines& lines, const SLayout& layout);
	static void BuildPerspective(SLines& lines);
	static void BuildOrthographic(SLines& lines);
	static void AddLine(SLines& lines, const core::vector3df& from, const core::vector3df& to,
	                    bool strong, int segments, const core::vector3df& middle, f32 radius);
	void DrawLines(video::IVideoDriver* driver, const SLines& lines, bool behindScene);

	//! One set of lines for each kind of view (they are shown side by side).
	std::array<SLines, 4> Views;
	u32 LastLines = 0;
	u32 BuildCount = 0;
};

#endif
