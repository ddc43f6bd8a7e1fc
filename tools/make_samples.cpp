// tolvane_make_samples OUTDIR: writes sample models for a first session: a
// crate (a textured cube) and a ground tile (a textured flat grid) from the
// engine's geometry creator, each as a Wavefront OBJ with its material file,
// and their textures, written by the engine's image writers; and a height
// map for a terrain (a valley between hills).
#include <irrlicht.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace irr;

namespace
{
typedef video::SColor (*Painter)(u32 x, u32 y);

video::SColor CratePixel(u32 x, u32 y)
{
	// Planks with dark seams and a frame round the edge.
	const bool frame = x < 8 || y < 8 || x >= 120 || y >= 120;
	const bool seam = (y % 28) < 2;
	const u32 grain = (x * 7 + y * 3) % 11;
	if (frame)
		return video::SColor(255, 110, 70, 30);
	if (seam)
		return video::SColor(255, 70, 45, 20);
	return video::SColor(255, 170 + grain, 120 + grain, 60);
}

video::SColor GroundPixel(u32 x, u32 y)
{
	// A grassy tile with a faint checker, so that its repeats show.
	const u32 noise = (x * 73 + y * 151 + x * y) % 23;
	const bool checker = ((x / 32) + (y / 32)) % 2 == 0;
	return video::SColor(255, 40 + noise, (checker ? 120 : 105) + noise, 40);
}

video::SColor ValleyPixel(u32 x, u32 y)
{
	// Flat ground round the middle, where the marker stands, rising to
	// rolling hills towards the edges.
	const f32 r = core::vector2df(x, y).getDistanceFrom(core::vector2df(128, 128)) / 128;
	const f32 hill = core::clamp((r - 0.3f) / 0.7f, 0.0f, 1.0f);
	const f32 waves = 0.5f + 0.5f * sinf(x * 0.08f) * cosf(y * 0.06f);
	const u32 grey = core::round32(255 * hill * (0.6f + 0.4f * waves));
	return video::SColor(255, grey, grey, grey);
}

bool WriteTexture(video::IVideoDriver* driver, const std::string& path, Painter paint,
                  u32 side = 128)
{
	video::IImage* image =
	    driver->createImage(video::ECF_A8R8G8B8, core::dimension2d<u32>(side, side));
	for (u32 y = 0; y < side; ++y)
		for (u32 x = 0; x < side; ++x)
			image->setPixel(x, y, paint(x, y));
	const bool written = driver->writeImageToFile(image, path.c_str(), 90);
	image->drop();
	return written;
}

// Writes the first buffer of a mesh as Wavefront OBJ with a material file
// naming its texture. The engine's OBJ loader mirrors X and reverses each
// face, so both are written mirrored and reversed here.
bool WriteMesh(scene::IMesh* mesh, const std::string& dir, const std::string& name,
               const std::string& texture)
{
	const std::string mtl = name + ".mtl";
	FILE* obj = std::fopen((dir + "/" + name + ".obj").c_str(), "w");
	FILE* mat = std::fopen((dir + "/" + mtl).c_str(), "w");
	if (!obj || !mat)
		return false;
	std::fprintf(mat, "newmtl %s\nKa 1 1 1\nKd 1 1 1\nmap_Kd %s\n", name.c_str(), texture.c_str());
	std::fprintf(obj, "# %s, made by tolvane_make_samples\nmtllib %s\nusemtl %s\n", name.c_str(),
	             mtl.c_str(), name.c_str());
	const scene::IMeshBuffer* buffer = mesh->getMeshBuffer(0);
	const video::S3DVertex* vertices = static_cast<const video::S3DVertex*>(buffer->getVertices());
	for (u32 i = 0; i < buffer->getVertexCount(); ++i)
	{
		const video::S3DVertex& v = vertices[i];
		std::fprintf(obj, "v %g %g %g\nvt %g %g\nvn %g %g %g\n", -v.Pos.X, v.Pos.Y, v.Pos.Z,
		             v.TCoords.X, 1.0f - v.TCoords.Y, -v.Normal.X, v.Normal.Y, v.Normal.Z);
	}
	const u16* indices = buffer->getIndices();
	for (u32 i = 0; i + 2 < buffer->getIndexCount(); i += 3)
	{
		const u32 a = indices[i + 2] + 1, b = indices[i + 1] + 1, c = indices[i] + 1;
		std::fprintf(obj, "f %u/%u/%u %u/%u/%u %u/%u/%u\n", a, a, a, b, b, b, c, c, c);
	}
	const bool written = std::fclose(obj) == 0;
	return std::fclose(mat) == 0 && written;
}
} // namespace

int main(int argc, char** argv)
{
	if (argc != 2)
	{
		std::fprintf(stderr, "usage: tolvane_make_samples OUTDIR\n");
		return 2;
	}
	IrrlichtDevice* device = createDevice(video::EDT_NULL);
	if (!device)
		return 1;
	const std::string dir = argv[1];
	video::IVideoDriver* driver = device->getVideoDriver();
	const scene::IGeometryCreator* geometry = device->getSceneManager()->getGeometryCreator();

	scene::IMesh* crate = geometry->createCubeMesh(core::vector3df(20, 20, 20));
	scene::IMesh* ground =
	    geometry->createPlaneMesh(core::dimension2d<f32>(10, 10), core::dimension2d<u32>(8, 8), 0,
	                              core::dimension2d<f32>(2, 2));
	const bool ok = WriteTexture(driver, dir + "/crate.jpg", CratePixel) &&
	                WriteTexture(driver, dir + "/ground.bmp", GroundPixel) &&
	                WriteTexture(driver, dir + "/valley.png", ValleyPixel, 257) &&
	                WriteMesh(crate, dir, "crate", "crate.jpg") &&
	                WriteMesh(ground, dir, "ground", "ground.bmp");
	crate->drop();
	ground->drop();
	device->drop();
	if (!ok)
		std::fprintf(stderr, "tolvane_make_samples: could not write the samples\n");
	return ok ? 0 : 1;
}
