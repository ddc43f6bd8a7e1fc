// The bare engine loop the editor is measured against: the same window, the
// same camera, and the models (and particle systems) of the editor's own
// export (Level.cpp, compiled in by scripts/bench), drawn with nothing else.
//   bare_loop frames N [HEIGHTMAP TEXTURE]
//                        mean frame time and resident memory, optionally
//                        with the terrain the editor builds
//   bare_loop startup    milliseconds until the first frame is shown
#include <cstdlib>
#include <cstring>

#include "BenchSupport.h"
#include "Level.h"

int main(int argc, char** argv)
{
	const double started = bench::NowMs();
	const bool startup = argc > 1 && std::strcmp(argv[1], "startup") == 0;
	const int frames = argc > 2 ? std::atoi(argv[2]) : 500;

	SIrrlichtCreationParameters parameters;
	parameters.DriverType = EDT_OPENGL;
	parameters.WindowSize = dimension2d<u32>(800, 600);
	parameters.Bits = 32;
	parameters.Stencilbuffer = true;
	parameters.LoggingLevel = ELL_NONE;
	IrrlichtDevice* device = createDeviceEx(parameters);
	if (!device)
		return 2;
	device->setWindowCaption(L"0.0.7");
	ISceneManager* smgr = device->getSceneManager();
	IVideoDriver* driver = device->getVideoDriver();
	ICameraSceneNode* camera =
	    smgr->addCameraSceneNode(0, vector3df(100, 250, 0), vector3df(0, 0, 0));
	bench::FocusWindow(device);
	auto frame = [&]
	{
		device->run();
		driver->beginScene(true, true, SColor(150, 0, 0, 0));
		smgr->drawAll();
		// One 2D draw after the scene, as any GUI makes: without it the
		// engine's OpenGL driver leaves a state behind that makes llvmpipe
		// draw the same scene about three times slower, which would flatter
		// the editor.
		driver->draw2DRectangle(SColor(255, 0, 0, 0), rect<s32>(0, 0, 1, 1));
		driver->endScene();
	};

	if (startup)
	{
		frame();
		std::printf("startup_ms %.3f\n", bench::NowMs() - started);
		device->drop();
		return 0;
	}
	if (argc > 4)
	{
		ITerrainSceneNode* terrain = bench::AddTerrain(smgr, argv[3], argv[4]);
		if (!terrain)
			return 2;
		// As far as the editor sees: the whole terrain.
		camera->setFarValue(terrain->getTransformedBoundingBox().getExtent().getLength());
	}
	TLVNLevel level(device);
	level.LoadModels();
	int models = 0, particles = 0;
	for (ISceneNode* node : level.Model)
	{
		models += node && node->getType() != ESNT_PARTICLE_SYSTEM;
		particles += node && node->getType() == ESNT_PARTICLE_SYSTEM;
	}
	bench::WarmUp(frame, particles ? bench::ParticleWarmUpMs : 0);
	const double frameMs = bench::MeanFrameMs(frames, frame);
	std::printf("models %d\nparticle_systems %d\nframe_ms %.4f\nrss_kb %ld\nprimitives %u\n",
	            models, particles, frameMs, bench::ResidentKb(), driver->getPrimitiveCountDrawn());
	device->drop();
	return 0;
}
