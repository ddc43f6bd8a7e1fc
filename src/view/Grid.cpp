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
} // namespace

f32 CGrid::DrawnStep(f32 step, f32 unitsPerPixel)
{
	if (!(step > 0.0f))
		step = 1.0f;
	while (unitsPerPixel > 0.0f && step / unitsPerPixel < MIN_PIXELS)
		step *= 10.0f;
	return step;
}

void CGrid::AddLine(const core::vector3df& from, const core::vector3df& to, bool strong,
                    int segments, const core::vector3df& middle, f32 radius)
{
	const u16 first = static_cast<u16>(Vertices.size());
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
		Vertices.push_back(
		    video::S3DVertex(at, core::vector3df(0, 1, 0), colour, core::vector2df(0, 0)));
	}
	for (int i = 0; i < segments; ++i)
	{
		Indices.push_back(static_cast<u16>(first + i));
		Indices.push_back(static_cast<u16>(first + i + 1));
	}
}

void CGrid::Draw(video::IVideoDriver* driver, const SViewport& view, f32 step)
{
	Vertices.clear();
	Indices.clear();
	const scene::ICameraSceneNode* camera = view.Camera;
	if (!camera || view.Area.getHeight() <= 0)
		return;
	if (!view.Orthographic())
	{
		// The ground plane around the point below the one the camera looks at.
		const core::vector3df eye = camera->getPosition(), target = camera->getTarget();
		const core::vector3df middle(target.X, 0.0f, target.Z);
		const f32 radius =
		    ReachPerDistance * core::max_(static_cast<f32>(eye.getDistanceFrom(middle)), 10.0f);
		f32 drawn = DrawnStep(step, 0.0f);
		while (radius / drawn > MAX_LINES)
			drawn *= 10.0f;
		EachLine(middle.X - radius, middle.X + radius, drawn,
		         [&](f32 x, bool strong)
		         {
			         AddLine({x, 0, middle.Z - radius}, {x, 0, middle.Z + radius}, strong,
			                 FadeSegments, middle, radius);
		         });
		EachLine(middle.Z - radius, middle.Z + radius, drawn,
		         [&](f32 z, bool strong)
		         {
			         AddLine({middle.X - radius, 0, z}, {middle.X + radius, 0, z}, strong,
			                 FadeSegments, middle, radius);
		         });
		DrawLines(driver, false);
		return;
	}
	// Across the whole view, in the plane through the point it looks at.
	const core::vector3df middle = camera->getTarget();
	const f32 perPixel = view.UnitsPerPixel(middle);
	const f32 drawn = DrawnStep(step, perPixel);
	const core::vector3df up = camera->getUpVector();
	const core::vector3df right =
	    up.crossProduct(camera->getTarget() - camera->getPosition()).normalize();
	const f32 halfWidth = perPixel * view.Area.getWidth() / 2.0f;
	const f32 halfHeight = perPixel * view.Area.getHeight() / 2.0f;
	const f32 u = middle.dotProduct(right), v = middle.dotProduct(up);
	const core::vector3df base = middle - right * u - up * v; // the plane's own origin
	EachLine(u - halfWidth, u + halfWidth, drawn,
	         [&](f32 a, bool strong)
	         {
		         AddLine(base + right * a + up * (v - halfHeight),
		                 base + right * a + up * (v + halfHeight), strong, 1, middle, 0.0f);
	         });
	EachLine(v - halfHeight, v + halfHeight, drawn,
	         [&](f32 b, bool strong)
	         {
		         AddLine(base + up * b + right * (u - halfWidth),
		                 base + up * b + right * (u + halfWidth), strong, 1, middle, 0.0f);
	         });
	DrawLines(driver, true);
}

void CGrid::DrawLines(video::IVideoDriver* driver, bool behindScene)
{
	if (Indices.empty())
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
	driver->drawVertexPrimitiveList(Vertices.data(), static_cast<u32>(Vertices.size()),
	                                Indices.data(), static_cast<u32>(Indices.size() / 2),
	                                video::EVT_STANDARD, scene::EPT_LINES, video::EIT_16BIT);
}
