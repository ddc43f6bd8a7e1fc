// The grid's lines; see Grid.h.
#include "Grid.h"

#include <cmath>

#include "Viewports.h"

namespace
{
const video::SColor LineColour(255, 190, 190, 200);
const u32 FaintAlpha = 60, StrongAlpha = 150;
// A perspective line is cut into pieces so that its fade follows the
// distance, not only its two ends.
const int FadeSegments = 16;
// In perspective the grid reaches this many times the camera's distance
// from where it looks.
const f32 ReachPerDistance = 3.0f;

// Calls `line` with each multiple of `step` from `low` to `high`, and
// whether it is a tenth line.
template <typename Line> void EachLine(f32 low, f32 high, f32 step, Line line)
{
	for (long long i = static_cast<long long>(std::ceil(low / step)); i * step <= high; ++i)
		line(static_cast<f32>(i * step), i % 10 == 0);
}

// Half the chord of a circle `offset` from its middle: the part of a
// perspective line that has not faded out.
f32 HalfChord(f32 radius, f32 offset)
{
	const f32 squared = radius * radius - offset * offset;
	return squared > 0.0f ? std::sqrt(squared) : 0.0f;
}
} // namespace

static_assert(VIEW_COUNT <= 4, "CGrid keeps lines for four kinds of view");

bool CGrid::SLayout::operator==(const SLayout& other) const
{
	return Orthographic == other.Orthographic && Middle == other.Middle && Right == other.Right &&
	       Up == other.Up && HalfWidth == other.HalfWidth && HalfHeight == other.HalfHeight &&
	       Radius == other.Radius && Drawn == other.Drawn;
}

f32 CGrid::DrawnStep(f32 step, f32 unitsPerPixel)
{
	if (!(step > 0.0f))
		step = 1.0f;
	while (unitsPerPixel > 0.0f && step / unitsPerPixel < MIN_PIXELS)
		step *= 10.0f;
	return step;
}

CGrid::SLayout CGrid::PerspectiveLayout(const SViewport& view, f32 step)
{
	// The ground plane around the point below the one the camera looks at.
	SLayout layout;
	const core::vector3df eye = view.Camera->getPosition(), target = view.Camera->getTarget();
	layout.Middle.set(target.X, 0.0f, target.Z);
	layout.Radius =
	    ReachPerDistance * core::max_(static_cast<f32>(eye.getDistanceFrom(layout.Middle)), 10.0f);
	layout.Drawn = DrawnStep(step, 0.0f);
	while (layout.Radius / layout.Drawn > MAX_LINES)
		layout.Drawn *= 10.0f;
	return layout;
}

CGrid::SLayout CGrid::OrthographicLayout(const SViewport& view, f32 step)
{
	// Across the whole view, in the plane through the point it looks at.
	SLayout layout;
	layout.Orthographic = true;
	const scene::ICameraSceneNode* camera = view.Camera;
	layout.Middle = camera->getTarget();
	const f32 perPixel = view.UnitsPerPixel(layout.Middle);
	layout.Drawn = DrawnStep(step, perPixel);
	layout.Up = camera->getUpVector();
	layout.Right = layout.Up.crossProduct(camera->getTarget() - camera->getPosition()).normalize();
	layout.HalfWidth = perPixel * view.Area.getWidth() / 2.0f;
	layout.HalfHeight = perPixel * view.Area.getHeight() / 2.0f;
	return layout;
}

void CGrid::AddLine(SLines& lines, const core::vector3df& from, const core::vector3df& to,
                    bool strong, int segments, const core::vector3df& middle, f32 radius)
{
	const u16 first = static_cast<u16>(lines.Vertices.size());
	for (int i = 0; i <= segments; ++i)
	{
		const core::vector3df at = from + (to - from) * (static_cast<f32>(i) / segments);
		f32 alpha = static_cast<f32>(strong ? StrongAlpha : FaintAlpha);
		if (radius > 0.0f)
		{
			const f32 near = 1.0f - static_cast<f32>(at.getDistanceFrom(middle)) / radius;
			alpha *= core::clamp(near, 0.0f, 1.0f);
		}
		video::SColor colour = LineColour;
		colour.setAlpha(static_cast<u32>(alpha));
		lines.Vertices.push_back(
		    video::S3DVertex(at, core::vector3df(0, 1, 0), colour, core::vector2df(0, 0)));
	}
	for (int i = 0; i < segments; ++i)
	{
		lines.Indices.push_back(static_cast<u16>(first + i));
		lines.Indices.push_back(static_cast<u16>(first + i + 1));
	}
}

void CGrid::BuildPerspective(SLines& lines)
{
	// Each line only where it has not faded out: within the circle of the
	// reach, so that no piece is drawn that shows nothing.
	const core::vector3df middle = lines.Layout.Middle;
	const f32 radius = lines.Layout.Radius, drawn = lines.Layout.Drawn;
	EachLine(middle.X - radius, middle.X + radius, drawn,
	         [&](f32 x, bool strong)
	         {
		         const f32 half = HalfChord(radius, x - middle.X);
		         if (half > 0.0f)
			         AddLine(lines, {x, 0, middle.Z - half}, {x, 0, middle.Z + half}, strong,
			                 FadeSegments, middle, radius);
	         });
	EachLine(middle.Z - radius, middle.Z + radius, drawn,
	         [&](f32 z, bool strong)
	         {
		         const f32 half = HalfChord(radius, z - middle.Z);
		         if (half > 0.0f)
			         AddLine(lines, {middle.X - half, 0, z}, {middle.X + half, 0, z}, strong,
			                 FadeSegments, middle, radius);
	         });
}

void CGrid::BuildOrthographic(SLines& lines)
{
	const SLayout& layout = lines.Layout;
	const core::vector3df middle = layout.Middle, right = layout.Right, up = layout.Up;
	const f32 u = middle.dotProduct(right), v = middle.dotProduct(up);
	const core::vector3df base = middle - right * u - up * v; // the plane's own origin
	EachLine(u - layout.HalfWidth, u + layout.HalfWidth, layout.Drawn,
	         [&](f32 a, bool strong)
	         {
		         AddLine(lines, base + right * a + up * (v - layout.HalfHeight),
		                 base + right * a + up * (v + layout.HalfHeight), strong, 1, middle, 0.0f);
	         });
	EachLine(v - layout.HalfHeight, v + layout.HalfHeight, layout.Drawn,
	         [&](f32 b, bool strong)
	         {
		         AddLine(lines, base + up * b + right * (u - layout.HalfWidth),
		                 base + up * b + right * (u + layout.HalfWidth), strong, 1, middle, 0.0f);
	         });
}

void CGrid::Build(SLines& lines, const SLayout& layout)
{
	// clear() keeps the arrays' memory: a view that moves builds its lines
	// again without allocating.
	lines.Vertices.clear();
	lines.Indices.clear();
	lines.Layout = layout;
	lines.Built = true;
	if (layout.Orthographic)
		BuildOrthographic(lines);
	else
		BuildPerspective(lines);
	++BuildCount;
}

void CGrid::Draw(video::IVideoDriver* driver, const SViewport& view, f32 step)
{
	LastLines = 0;
	if (!view.Camera || view.Area.getHeight() <= 0)
		return;
	SLines& lines = Views[view.Kind];
	const SLayout layout =
	    view.Orthographic() ? OrthographicLayout(view, step) : PerspectiveLayout(view, step);
	if (!lines.Built || !(lines.Layout == layout))
		Build(lines, layout);
	LastLines = static_cast<u32>(lines.Indices.size() / 2);
	DrawLines(driver, lines, view.Orthographic());
}

void CGrid::DrawLines(video::IVideoDriver* driver, const SLines& lines, bool behindScene)
{
	if (lines.Indices.empty())
		return;
	video::SMaterial material;
	material.Lighting = false;
	material.MaterialType = video::EMT_TRANSPARENT_VERTEX_ALPHA;
	material.BackfaceCulling = false;
	material.ZWriteEnable = false;
	// Behind the scene it is drawn first and hides nothing; on the ground
	// the scene's surfaces hide it.
	material.ZBuffer = behindScene ? video::ECFN_ALWAYS : video::ECFN_LESSEQUAL;
	driver->setMaterial(material);
	driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
	driver->drawVertexPrimitiveList(lines.Vertices.data(), static_cast<u32>(lines.Vertices.size()),
	                                lines.Indices.data(),
	                                static_cast<u32>(lines.Indices.size() / 2), video::EVT_STANDARD,
	                                scene::EPT_LINES, video::EIT_16BIT);
}
