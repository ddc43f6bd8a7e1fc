// Height maps for the engine's terrain. The engine builds a terrain from the
// image's width alone (a narrower image reads black rows, a taller one loses
// its lower rows), draws only whole patches of 17 vertices (a 256-pixel map
// loses its last 15 rows and columns, a map under 17 pixels draws nothing)
// and reads heights as each pixel's lightness (the mean of its strongest and
// weakest channel, which flattens colour images). The editor therefore hands
// it a grey square of 2^n+1 pixels.
#ifndef TOLVANE_HEIGHTMAP_H
#define TOLVANE_HEIGHTMAP_H

#include <irrlicht.h>

namespace heightmap
{
//! The smallest terrain side the engine's 17-vertex patches draw.
const irr::u32 MinSide = 17;
//! The largest side drawn at a usable frame rate (about 20 ms a frame with
//! the whole terrain in view under software OpenGL; 4097 takes 34 ms, 1.4 GB
//! and 6 s to build).
const irr::u32 MaxSide = 2049;
//! World units between two pixels, and the height of full white: a 257-pixel
//! map spans 2,560 units, white stands 250 units above black.
const irr::f32 PixelSpacing = 10.0f;
const irr::f32 WhiteHeight = 250.0f;
//! Pixels one repeat of the terrain's texture covers.
const irr::f32 PixelsPerTextureTile = 16.0f;

//! The side of the square terrain an image becomes: the smallest 2^n+1 that
//! is at least its larger side, and at least MinSide.
irr::u32 TerrainSide(const irr::core::dimension2du& size);

//! Whether any pixel has colour (channels that differ).
bool HasColour(irr::video::IImage* image);

//! The image the terrain is built from: `image` itself (grabbed) when it is a
//! grey square of `side` pixels, else a grey copy scaled to `side` x `side`
//! whose heights are the pixels' luminance. `colour` is what HasColour says
//! of the image. The caller drops it.
irr::video::IImage* GreySquare(irr::video::IVideoDriver* driver, irr::video::IImage* image,
                               irr::u32 side, bool colour);
} // namespace heightmap

#endif
