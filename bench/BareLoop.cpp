// The bare engine loop the editor is measured against: the same window, the
// same camera, and the models (and particle systems) of the editor's own
// export (Level.cpp, compiled in by scripts/bench), drawn with nothing else.
//   bare_loop frames N [HEIGHTMAP TEXTURE]
//                        mean frame time and resident memory, optionally
//                        with the terrain the editor builds
//   bare_loop startup    milliseconds until the first frame is shown
//   bare_loop first FILE [N]
//                        from getMesh to the first frame showing the model
//   bare_loop views N LEVEL.bsp
//                        mean frame time of the level and the models in four
//                        viewports, with the cameras of the editor's four
//                        views at their start
#include <cstdlib>
#include <cstring>
#include <functional>

#include "BenchSupport.h"
#include "Level.h"

// The editor's four views at their start: top, front and side looking at
// the origin along -Y, +Z and -X from 20000 units, 600 units high, and the
// perspective camera, in the quarters top left, top right, bottom left and
// bottom right.
int FourViews(IrrlichtDevice* device, ICameraSceneNode* perspective, int frames, const char* bsp)
{
	ISceneManager* smgr = device->getSceneManager();
	IVideoDriver* driver = device->getVideoDriver();
	IAnimatedMesh* mesh = smgr->getMesh(bsp);
	if (!mesh)
		return 2;
	smgr->addAnimatedMeshSceneNode(mesh)->setMaterialFlag(EMF_LIGHTING, false);
	TLVNLevel level(device);
	level.LoadModels();
	const dimension2d<u32> screen = driver->getScreenSize();
	const s32 w = screen.Width / 2, h = screen.Height / 2;
	const f32 aspect = f32(w) / f32(h);
	perspective->setAspectRatio(aspect);
	const vector3df along[3] = {{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}};
	const vector3df up[3] = {{0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
	ICameraSceneNode* cameras[4];
	for (int i = 0; i < 3; ++i)
	{
		cameras[i] =
		    smgr->addCameraSceneNode(0, along[i] * -20000.0f, vector3df(0, 0, 0), -1, false);
		cameras[i]->setUpVector(up[i]);
		matrix4 projection;
		projection.buildProjectionMatrixOrthoLH(600.0f * aspect, 600.0f, 1.0f, 40000.0f);
		cameras[i]->setProjectionMatrix(projection, true);
	}
	cameras[3] = perspective;
	const rect<s32> quarters[4] = {
	    {0, 0, w, h}, {w, 0, 2 * w, h}, {0, h, w, 2 * h}, {w, h, 2 * w, 2 * h}};
	auto frame = [&]
	{
		device->run();
		driver->beginScene(true, true, SColor(150, 0, 0, 0));
		for (int i = 0; i < 4; ++i)
		{
			driver->setViewPort(quarters[i]);
			smgr->setActiveCamera(cameras[i]);
			smgr->drawAll();
		}
		driver->setViewPort(rect<s32>(0, 0, screen.Width, screen.Height));
		driver->draw2DRectangle(SColor(255, 0, 0, 0), rect<s32>(0, 0, 1, 1));
		driver->endScene();
	};
	// Blocks of frames, their median, as the editor's side is taken.
	bench::WarmUp(frame, 0);
	std::vector<double> blocks;
	for (int i = 0; i < std::max(frames / 20, 5); ++i)
		blocks.push_back(bench::MeanFrameMs(20, frame));
	std::printf("four_views_ms %.4f\n", bench::Median(blocks));
	device->drop();
	return 0;
}

// From asking for a model to the first frame that shows it: getMesh,
// addAnimatedMeshSceneNode and one frame, N times, each reading the file
// again into an empty scene.
int FirstFrame(IrrlichtDevice* device, const std::function<void()>& frame, const char* file,
               int repetitions)
{
	ISceneManager* smgr = device->getSceneManager();
	bench::WarmUp(frame, 0);
	std::vector<double> times;
	for (int i = 0; i < repetitions; ++i)
	{
		const double start = bench::NowMs();
		IAnimatedMesh* mesh = smgr->getMesh(file);
		if (!mesh)
			return 2;
		IAnimatedMeshSceneNode* node = smgr->addAnimatedMeshSceneNode(mesh);
		node->setMaterialFlag(EMF_LIGHTING, false);
		frame();
		times.push_back(bench::NowMs() - start);
		node->remove();
		smgr->getMeshCache()->removeMesh(mesh);
		frame();
	}
	std::printf("first_frame_ms %.3f\n", bench::Median(times));
	device->drop();
	return 0;
}

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
	if (argc > 2 && std::strcmp(argv[1], "first") == 0)
		return FirstFrame(device, frame, argv[2], argc > 3 ? std::atoi(argv[3]) : 7);
	if (argc > 3 && std::strcmp(argv[1], "views") == 0)
		return FourViews(device, camera, frames, argv[3]);
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
