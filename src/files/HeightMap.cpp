#include "HeightMap.h"

using namespace irr;

namespace heightmap
{
u32 TerrainSide(const core::dimension2du& size)
{
	const u32 larger = core::max_(size.Width, size.Height);
	u32 side = MinSide;
	while (side < larger)
		side = (side - 1) * 2 + 1;
	return side;
}

bool HasColour(video::IImage* image)
{
	const core::dimension2du size = image->getDimension();
	for (u32 y = 0; y < size.Height; ++y)
		for (u32 x = 0; x < size.Width; ++x)
		{
			const video::SColor pixel = image->getPixel(x, y);
			if (pixel.getRed() != pixel.getGreen() || pixel.getGreen() != pixel.getBlue())
				return true;
		}
	return false;
}

video::IImage* GreySquare(video::IVideoDriver* driver, video::IImage* image, u32 side, bool colour)
{
	if (!colour && image->getDimension() == core::dimension2du(side, side))
	{
		image->grab();
		return image;
	}
	video::IImage* square = driver->createImage(video::ECF_R8G8B8, core::dimension2du(side, side));
	image->copyToScaling(square);
	if (colour)
		for (u32 y = 0; y < side; ++y)
			for (u32 x = 0; x < side; ++x)
			{
				const u32 grey = core::round32(square->getPixel(x, y).getLuminance());
				square->setPixel(x, y, video::SColor(255, grey, grey, grey));
			}
	return square;
}
} // namespace heightmap
