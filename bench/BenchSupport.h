// Shared by the editor's benchmark and the bare engine loop it is compared
// with: clocks, medians, resident memory and the window focus that makes the
// engine draw under a virtual X server.
#ifndef TOLVANE_BENCHSUPPORT_H
#define TOLVANE_BENCHSUPPORT_H

#include <X11/Xlib.h>
#include <irrlicht.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "HeightMap.h"

namespace bench
{
inline double NowMs()
{
	using namespace std::chrono;
	return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> values)
{
	if (values.empty())
		return 0;
	std::sort(values.begin(), values.end());
	const size_t mid = values.size() / 2;
	return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

//! Resident memory of this process in kilobytes.
//! Resident memory now (VmRSS), or at its peak so far (VmHWM).
inline long ResidentKb(const char* field = "VmRSS:")
{
	std::ifstream status("/proc/self/status");
	for (std::string line; std::getline(status, line);)
		if (line.rfind(field, 0) == 0)
			return std::stol(line.substr(6));
	return 0;
}

//! Gives the device's window the input focus: without a window manager
//! nothing else does, and the engine reports the window inactive until then.
inline void FocusWindow(irr::IrrlichtDevice* device)
{
	const irr::video::SExposedVideoData& data = device->getVideoDriver()->getExposedVideoData();
	Display* display = static_cast<Display*>(data.OpenGLLinux.X11Display);
	const Window window = static_cast<Window>(data.OpenGLLinux.X11Window);
	if (!display || !window)
		return;
	for (int i = 0; i < 200 && !device->isWindowActive(); ++i)
	{
		XSetInputFocus(display, window, RevertToParent, CurrentTime);
		XSync(display, False);
		device->run();
	}
}

//! Runs `frame` `count` times and returns the mean milliseconds per call.
template <typename Frame> double MeanFrameMs(int count, Frame frame)
{
	const double start = NowMs();
	for (int i = 0; i < count; ++i)
		frame();
	return (NowMs() - start) / count;
}
//! Runs `frame` 100 times and for at least `ms` milliseconds: particle
//! systems need their particles' lifetime to fill up.
const double ParticleWarmUpMs = 5000;
template <typename Frame> void WarmUp(Frame frame, double ms)
{
	const double start = NowMs();
	for (int i = 0; i < 100 || NowMs() - start < ms; ++i)
		frame();
}

//! The terrain the editor builds from a 257-pixel grey height map, built
//! the bare way: one addTerrainSceneNode from the file, unlit and tiled.
inline irr::scene::ITerrainSceneNode* AddTerrain(irr::scene::ISceneManager* smgr,
                                                 const char* heightMap, const char* texture)
{
	using namespace irr;
	const f32 half = 128 * heightmap::PixelSpacing;
	scene::ITerrainSceneNode* terrain = smgr->addTerrainSceneNode(
	    heightMap, 0, -1, core::vector3df(-half, 0, -half), core::vector3df(0, 0, 0),
	    core::vector3df(heightmap::PixelSpacing, heightmap::WhiteHeight / 255,
	                    heightmap::PixelSpacing),
	    video::SColor(255, 255, 255, 255), 5, scene::ETPS_17);
	if (!terrain)
		return 0;
	terrain->setMaterialFlag(video::EMF_LIGHTING, false);
	terrain->scaleTexture(256 / heightmap::PixelsPerTextureTile);
	if (texture)
		terrain->setMaterialTexture(0, smgr->getVideoDriver()->getTexture(texture));
	return terrain;
}
} // namespace bench

#endif
