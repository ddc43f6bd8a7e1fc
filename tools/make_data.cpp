// tolvane_make_data OUTDIR [TTF]: writes the editor's start-up data files
// into OUTDIR: the GUI font (main_font.bmp), the placement marker mesh
// (positioner.ms3d) and its texture (positioner_sk.bmp), and the logo of
// the "About" window (logo.jpg). Glyphs come from a TrueType font through
// FreeType; images are written with the engine's own image writers.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <irrlicht.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

using namespace irr;

namespace
{
const char* const DefaultTtf = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const DefaultBoldTtf = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Marker colours of the engine's bitmap-font format: pixel (0,0) holds the
// upper-left colour, (1,0) the lower-right colour, (2,0) the background.
const video::SColor UpperLeft(255, 255, 0, 0);
const video::SColor LowerRight(255, 255, 255, 0);
const video::SColor Background(255, 0, 0, 0);
const video::SColor Ink(255, 255, 255, 255);

const u32 FontPixelSize = 12;
const u32 FontImageWidth = 256;

bool Fail(const std::string& what)
{
	std::fprintf(stderr, "tolvane_make_data: %s\n", what.c_str());
	return false;
}

u32 NextPowerOfTwo(u32 n)
{
	u32 p = 1;
	while (p < n)
		p <<= 1;
	return p;
}

// Copies a FreeType glyph bitmap into the image at (x, y); monochrome
// bitmaps are drawn in Ink, grey ones blended towards the background colour.
void BlitGlyph(video::IImage* image, const FT_Bitmap& bitmap, s32 x, s32 y,
               const video::SColor& ink, bool blend)
{
	const core::dimension2d<u32> size = image->getDimension();
	for (u32 row = 0; row < bitmap.rows; ++row)
		for (u32 col = 0; col < bitmap.width; ++col)
		{
			const s32 px = x + static_cast<s32>(col);
			const s32 py = y + static_cast<s32>(row);
			if (px < 0 || py < 0 || px >= (s32)size.Width || py >= (s32)size.Height)
				continue;
			const unsigned char* line = bitmap.buffer + row * bitmap.pitch;
			if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
			{
				if (line[col / 8] & (0x80 >> (col % 8)))
					image->setPixel(px, py, ink);
			}
			else if (line[col])
			{
				const video::SColor under = image->getPixel(px, py);
				image->setPixel(px, py,
				                blend ? ink.getInterpolated(under, line[col] / 255.0f) : ink);
			}
		}
}

bool MakeFont(video::IVideoDriver* driver, FT_Library ft, const std::string& ttf,
              const std::string& out)
{
	FT_Face face;
	if (FT_New_Face(ft, ttf.c_str(), 0, &face))
		return Fail("cannot open " + ttf);
	FT_Set_Pixel_Sizes(face, 0, FontPixelSize);
	const s32 ascender = face->size->metrics.ascender >> 6;
	const s32 descender = -(face->size->metrics.descender >> 6);
	const s32 cellHeight = ascender + descender;

	// First pass: lay the glyphs out in rows to find the image size.
	std::vector<core::position2d<s32>> corners;
	std::vector<s32> widths;
	s32 x = 0, y = 0;
	for (u32 c = 32; c < 127; ++c)
	{
		if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO))
			return Fail("no glyph for character " + std::to_string(c));
		const FT_GlyphSlot g = face->glyph;
		s32 width = core::max_<s32>(g->advance.x >> 6, g->bitmap_left + (s32)g->bitmap.width);
		width = core::max_<s32>(width, 3) + 1;
		if (x + width + 1 > (s32)FontImageWidth)
		{
			x = 0;
			y += cellHeight + 1;
		}
		corners.push_back(core::position2d<s32>(x, y));
		widths.push_back(width);
		x += width + 1;
	}
	const u32 height = NextPowerOfTwo(y + cellHeight + 1);
	video::IImage* image =
	    driver->createImage(video::ECF_A8R8G8B8, core::dimension2d<u32>(FontImageWidth, height));
	image->fill(Background);

	// Second pass: draw each glyph and mark its rectangle's corners.
	for (u32 c = 32; c < 127; ++c)
	{
		FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
		const FT_GlyphSlot g = face->glyph;
		const core::position2d<s32> at = corners[c - 32];
		// One column left of the glyph stays free for the upper-left marker.
		BlitGlyph(image, g->bitmap, at.X + 1 + core::max_<s32>(g->bitmap_left, 0),
		          at.Y + ascender - g->bitmap_top, Ink, false);
		image->setPixel(at.X, at.Y, UpperLeft);
		image->setPixel(at.X + widths[c - 32], at.Y + cellHeight, LowerRight);
	}
	// The space glyph sits at (0,0); its top row carries the format's
	// colour definitions.
	image->setPixel(1, 0, LowerRight);
	image->setPixel(2, 0, Background);

	const bool written = driver->writeImageToFile(image, out.c_str());
	image->drop();
	FT_Done_Face(face);
	return written ? true : Fail("cannot write " + out);
}

bool MakeLogo(video::IVideoDriver* driver, FT_Library ft, const std::string& ttf,
              const std::string& out)
{
	const core::dimension2d<u32> size(190, 60);
	video::IImage* image = driver->createImage(video::ECF_A8R8G8B8, size);
	for (u32 py = 0; py < size.Height; ++py)
		for (u32 px = 0; px < size.Width; ++px)
			image->setPixel(px, py, video::SColor(255, 20 + py, 40 + py, 90 + py));

	FT_Face face;
	if (FT_New_Face(ft, ttf.c_str(), 0, &face))
		return Fail("cannot open " + ttf);
	FT_Set_Pixel_Sizes(face, 0, 36);
	const std::string name = "Tolvane";
	s32 textWidth = 0;
	for (char c : name)
	{
		FT_Load_Char(face, c, FT_LOAD_DEFAULT);
		textWidth += face->glyph->advance.x >> 6;
	}
	s32 pen = (static_cast<s32>(size.Width) - textWidth) / 2;
	const s32 baseline = 44;
	for (char c : name)
	{
		FT_Load_Char(face, c, FT_LOAD_RENDER);
		const FT_GlyphSlot g = face->glyph;
		BlitGlyph(image, g->bitmap, pen + g->bitmap_left, baseline - g->bitmap_top,
		          video::SColor(255, 250, 200, 60), true);
		pen += g->advance.x >> 6;
	}
	FT_Done_Face(face);
	const bool written = driver->writeImageToFile(image, out.c_str(), 92);
	image->drop();
	return written ? true : Fail("cannot write " + out);
}

bool MakeMarkerTexture(video::IVideoDriver* driver, const std::string& out)
{
	const core::dimension2d<u32> size(64, 64);
	video::IImage* image = driver->createImage(video::ECF_A8R8G8B8, size);
	for (u32 py = 0; py < size.Height; ++py)
		for (u32 px = 0; px < size.Width; ++px)
		{
			// A light stripe down the middle runs along the heading.
			const bool stripe = px >= 28 && px < 36;
			image->setPixel(px, py,
			                stripe ? video::SColor(255, 255, 240, 200)
			                       : video::SColor(255, 230, 110, 20));
		}
	const bool written = driver->writeImageToFile(image, out.c_str());
	image->drop();
	return written ? true : Fail("cannot write " + out);
}

// The particles' texture: a soft white spot on black, round, brightest in
// the middle. Additive particles show it as a glow of their own colour.
bool MakeParticleTexture(video::IVideoDriver* driver, const std::string& out)
{
	const core::dimension2d<u32> size(32, 32);
	video::IImage* image = driver->createImage(video::ECF_R8G8B8, size);
	for (u32 py = 0; py < size.Height; ++py)
		for (u32 px = 0; px < size.Width; ++px)
		{
			const f32 dx = (px + 0.5f) / 16.0f - 1.0f, dy = (py + 0.5f) / 16.0f - 1.0f;
			const f32 fall = core::max_(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
			const u32 grey = static_cast<u32>(255.0f * fall * fall + 0.5f);
			image->setPixel(px, py, video::SColor(255, grey, grey, grey));
		}
	const bool written = driver->writeImageToFile(image, out.c_str());
	image->drop();
	return written ? true : Fail("cannot write " + out);
}

// Little-endian writer for the packed MilkShape 3D layout.
struct Ms3dWriter
{
	std::vector<unsigned char> bytes;
	void u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
	void u16(unsigned v)
	{
		u8(v & 0xff);
		u8((v >> 8) & 0xff);
	}
	void i32(int32_t v)
	{
		const uint32_t u = static_cast<uint32_t>(v);
		for (int i = 0; i < 4; ++i)
			u8((u >> (8 * i)) & 0xff);
	}
	void f32(float v)
	{
		uint32_t u;
		std::memcpy(&u, &v, 4);
		i32(static_cast<int32_t>(u));
	}
	void text(const char* s, size_t length)
	{
		for (size_t i = 0; i < length; ++i)
			u8(i < std::strlen(s) ? s[i] : 0);
	}
};

// An arrowhead lying flat on the ground, its tip towards +Z: the direction
// in which keypad 8 moves it. MilkShape is right-handed and the loader
// negates Z, so the file stores the tip at -Z. Each face is written with
// both windings so the marker shows from any side.
bool MakeMarkerMesh(const std::string& out)
{
	const float outline[4][2] = {{0, 16}, {-9, -10}, {0, -4}, {9, -10}}; // x, z
	const float heights[2] = {0.0f, 5.0f};
	std::vector<core::vector3df> vertices;
	for (float h : heights)
		for (const auto& p : outline)
			vertices.push_back(core::vector3df(p[0], h, -p[1]));

	std::vector<std::array<unsigned, 3>> faces = {{4, 5, 6}, {4, 6, 7}, {0, 1, 2}, {0, 2, 3}};
	for (unsigned i = 0; i < 4; ++i)
	{
		const unsigned j = (i + 1) % 4;
		faces.push_back({i, j, j + 4});
		faces.push_back({i, j + 4, i + 4});
	}
	const size_t oneSided = faces.size();
	for (size_t i = 0; i < oneSided; ++i)
		faces.push_back({faces[i][0], faces[i][2], faces[i][1]});

	Ms3dWriter w;
	w.text("MS3D000000", 10);
	w.i32(4);
	w.u16(vertices.size());
	for (const core::vector3df& v : vertices)
	{
		w.u8(0);
		w.f32(v.X);
		w.f32(v.Y);
		w.f32(v.Z);
		w.u8(0xff); // no bone
		w.u8(0);
	}
	w.u16(faces.size());
	for (const auto& f : faces)
	{
		const core::vector3df a = vertices[f[0]], b = vertices[f[1]], c = vertices[f[2]];
		core::vector3df n = (b - a).crossProduct(c - a);
		n.normalize();
		w.u16(0);
		for (unsigned k = 0; k < 3; ++k)
			w.u16(f[k]);
		for (unsigned k = 0; k < 3; ++k)
		{
			w.f32(n.X);
			w.f32(n.Y);
			w.f32(n.Z);
		}
		// Texture coordinates from the ground outline: u across, v along.
		for (unsigned k = 0; k < 3; ++k)
			w.f32((vertices[f[k]].X + 9.0f) / 18.0f);
		for (unsigned k = 0; k < 3; ++k)
			w.f32((vertices[f[k]].Z + 16.0f) / 26.0f);
		w.u8(1);
		w.u8(0);
	}
	w.u16(1); // one group, no material
	w.u8(0);
	w.text("positioner", 32);
	w.u16(faces.size());
	for (size_t i = 0; i < faces.size(); ++i)
		w.u16(i);
	w.u8(0xff);
	w.u16(0); // materials
	w.f32(24.0f);
	w.f32(0.0f);
	w.i32(1);
	w.u16(0); // joints

	FILE* file = std::fopen(out.c_str(), "wb");
	if (!file)
		return Fail("cannot write " + out);
	const bool written = std::fwrite(w.bytes.data(), 1, w.bytes.size(), file) == w.bytes.size();
	return std::fclose(file) == 0 && written ? true : Fail("cannot write " + out);
}
} // namespace

int main(int argc, char** argv)
{
	if (argc < 2 || argc > 4)
	{
		std::fprintf(stderr, "usage: tolvane_make_data OUTDIR [TTF [BOLD-TTF]]\n");
		return 2;
	}
	const std::string dir = std::string(argv[1]) + "/";
	const std::string ttf = argc > 2 ? argv[2] : DefaultTtf;
	const std::string boldTtf = argc > 3 ? argv[3] : DefaultBoldTtf;

	IrrlichtDevice* device = createDevice(video::EDT_NULL);
	FT_Library ft;
	if (!device || FT_Init_FreeType(&ft))
		return Fail("cannot start the engine or FreeType") ? 0 : 1;
	video::IVideoDriver* driver = device->getVideoDriver();
	const bool ok = MakeFont(driver, ft, ttf, dir + "main_font.bmp") &&
	                MakeLogo(driver, ft, boldTtf, dir + "logo.jpg") &&
	                MakeMarkerTexture(driver, dir + "positioner_sk.bmp") &&
	                MakeMarkerMesh(dir + "positioner.ms3d") &&
	                MakeParticleTexture(driver, dir + "particle.bmp");
	FT_Done_FreeType(ft);
	device->drop();
	return ok ? 0 : 1;
}
