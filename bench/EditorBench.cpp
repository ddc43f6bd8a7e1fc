// The editor's side of the benchmarks (scripts/bench runs it and the bare
// engine loop and prints the comparison).
//   tolvane_bench export DIR MESH [P]
//                                   99 models (the last P of them particle
//                                   systems) on the null driver, exported to DIR
//                                   fifty times: median milliseconds, and the
//                                   time to write the same bytes plainly
//   tolvane_bench views MESH N LEVEL.bsp
//                                   four views of the level and 99 models,
//                                   with and without the grid, and the
//                                   grid's own cost in one view
//   tolvane_bench frames MESH N [HEIGHTMAP TEXTURE]
//                                   the full loop with 99 models and a selection
//                                   (OpenGL), optionally on a terrain: frame
//                                   time, the editor's own work per frame,
//                                   resident memory, renderer
//   tolvane_bench particles MESH N  the same frame with 89 models and 10 particle
//                                   systems ("Fire" and "Smoke")
//   tolvane_bench startup           milliseconds until the first frame is shown
//   tolvane_bench load FILE [N]     the crash-proof load against a bare getMesh,
//                                   N times each (default 7)
//   tolvane_bench first FILE [N]    from asking for a model to the first frame
//                                   that shows it (OpenGL), N times (default 7)
//   tolvane_bench level MAPS NAME   a level of a maps archive whose textures are
//                                   in the archives beside it, against a bare
//                                   getMesh with the same archives mounted
//   tolvane_bench peak FILE editor|bare
//                                   peak resident memory of one load, in a
//                                   process of its own
//   tolvane_bench obj FILE          writes a 19 MB OBJ of 320,000 triangles
//   tolvane_bench glb FILE          writes a 10 MB binary glTF of one mesh
//   tolvane_bench library FILE [N]  a model the helper reads with the Open
//                                   Asset Import Library: the crash-proof load
//                                   against the library and the mesh building
//                                   alone in this process, N times (default 7)
//   tolvane_bench terrain HEIGHTMAP the editor's terrain load against a bare
//                                   addTerrainSceneNode
//   tolvane_bench undo MESH N       undo and redo in a 99-model scene (OpenGL):
//                                   their time, the frames they fall in, and
//                                   the memory of the history
//   tolvane_bench autosave MESH N   the autosave of a 99-model scene (OpenGL): the
//                                   frame that writes the recovery file against
//                                   the usual frame, and the write alone
//   tolvane_bench scene DIR MESH    save and open of a 99-model scene file in DIR
//                                   against the engine's bare saveScene and
//                                   loadScene, and the trial loads an open makes
//   tolvane_bench rest KIND SECONDS XPID [MESH]
//                                   the editor's own main loop at rest (OpenGL):
//                                   processor time of the editor and of the X
//                                   server (process XPID) as a share of one
//                                   core, and the frames drawn a second; KIND
//                                   is empty, static (99 models of MESH) or
//                                   animated (one model of MESH in view)
//   tolvane_bench shelf DIR         "Assets" on a folder of models (OpenGL): the
//                                   time until the first picture is shown and
//                                   until all are, the frames while they are
//                                   made against the usual frame
//   tolvane_bench hold              the main loop while keypad 8 is held from
//                                   outside (after "ready"): the frame rate
//                                   while it is held, the marker's distance
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "AssimpModel.h"
#include "BenchSupport.h"
#include "CSceneEditor.h"
#include "Quake3Level.h"

using namespace irr;

namespace
{
const int Models = 99;
// The particle systems of the particle frame: the last slots of the 99.
const int ParticleSystems = 10;

// 99 objects in a grid around the origin: models, each named for the
// export, and the last `particles` of them particle systems, "Fire" and
// "Smoke" in turn; the middle one selected.
void BuildScene(CSceneEditor& editor, const char* mesh, int particles = 0)
{
	for (int i = 0; i < Models; ++i)
	{
		editor.Positioner->setPosition(
		    core::vector3df(-100.0f + 20.0f * (i % 11), 0, -80.0f + 20.0f * (i / 11)));
		if (i >= Models - particles)
		{
			if (!editor.CreateNewParticleSystem() ||
			    !editor.SetParticlePreset(i % 2 ? "Smoke" : "Fire"))
				std::exit(2);
			continue;
		}
		if (!editor.CreateNewModel(mesh))
		{
			std::fprintf(stderr, "cannot load %s\n", mesh);
			std::exit(2);
		}
		editor.SelectedModel->FileName = mesh;
	}
	editor.Positioner->setPosition(core::vector3df(0, 0, 0));
	editor.Select(editor.Model[50]);
}

// The editor on OpenGL with its window focused; false when it cannot start.
bool StartOnScreen(CSceneEditor& editor)
{
	editor.Init(video::EDT_OPENGL);
	if (!editor.StartupError.empty())
		return false;
	bench::FocusWindow(editor._device);
	return true;
}

// One frame of the editor's main loop, drawn at once: no waiting for the
// frame's turn, whether or not something changed.
std::function<void()> FrameOf(CSceneEditor& editor)
{
	editor.Sleep = [](double) {};
	return [&editor]
	{
		editor.RequestFrame();
		editor.Update();
		editor.Render();
	};
}

// The editor's main loop as the program runs it, until `done`: the frames
// drawn.
int RunLoop(CSceneEditor& editor, const std::function<bool()>& done)
{
	int frames = 0;
	while (!done() && editor.Update())
		if (editor.FrameNeeded())
		{
			editor.Render();
			++frames;
		}
	return frames;
}

// Processor seconds a process (0: this one) has used so far.
double ProcessorSeconds(int pid)
{
	std::ifstream stat(pid ? "/proc/" + std::to_string(pid) + "/stat" : "/proc/self/stat");
	std::string line;
	std::getline(stat, line);
	// The fields after the command's closing parenthesis; utime and stime
	// are the 12th and 13th of them.
	std::istringstream fields(line.substr(line.rfind(')') + 2));
	std::string field;
	double ticks = 0;
	for (int i = 1; i <= 13 && fields >> field; ++i)
		if (i >= 12)
			ticks += std::atof(field.c_str());
	return ticks / sysconf(_SC_CLK_TCK);
}

// Processor milliseconds this process (all its threads, the renderer's
// among them) has used so far.
double ProcessorMs()
{
	timespec now;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
	return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Closes the message boxes a user would have answered, those in a modal
// screen of their own (every one the editor shows) with their screen.
void RemoveMessageBoxes(CSceneEditor& editor)
{
	const auto holdsMessage = [](gui::IGUIElement* screen)
	{
		for (gui::IGUIElement* inner : screen->getChildren())
			if (inner->getType() == gui::EGUIET_MESSAGE_BOX)
				return true;
		return false;
	};
	core::list<gui::IGUIElement*> children = editor._gui->getRootGUIElement()->getChildren();
	for (gui::IGUIElement* child : children)
		if (child->getType() == gui::EGUIET_MESSAGE_BOX ||
		    (child->getType() == gui::EGUIET_MODAL_SCREEN && holdsMessage(child)))
			child->remove();
}

std::string ReadAll(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int Export(const char* dir, const char* mesh, int particles)
{
	CSceneEditor editor;
	editor.Init(video::EDT_NULL);
	BuildScene(editor, mesh, particles);
	editor.sow_editboxDir->setText(core::stringw(dir).c_str());
	std::vector<double> times, plain;
	for (int i = 0; i < 50; ++i)
	{
		const double start = bench::NowMs();
		if (!editor.SaveLevel())
			return 2;
		times.push_back(bench::NowMs() - start);
		RemoveMessageBoxes(editor);
	}
	// The floor: the same bytes written with one fwrite per file.
	const std::string header = ReadAll(std::string(dir) + "Level.h");
	const std::string source = ReadAll(std::string(dir) + "Level.cpp");
	for (int i = 0; i < 50; ++i)
	{
		const double start = bench::NowMs();
		for (const std::string* text : {&header, &source})
		{
			FILE* file = std::fopen((std::string(dir) + "plain.tmp").c_str(), "w");
			std::fwrite(text->data(), 1, text->size(), file);
			std::fclose(file);
		}
		plain.push_back(bench::NowMs() - start);
	}
	std::remove((std::string(dir) + "plain.tmp").c_str());
	std::printf("export_ms %.4f\nexport_plain_ms %.4f\n", bench::Median(times),
	            bench::Median(plain));
	return 0;
}

int Frames(const char* mesh, int frames, const char* heightMap, const char* texture, int particles)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor) ||
	    (heightMap && !(editor.LoadTerrain(heightMap) && editor.LoadTerrainTexture(texture))))
		return 2;
	BuildScene(editor, mesh, particles);
	const std::function<void()> frame = FrameOf(editor);
	bench::WarmUp(frame, particles ? bench::ParticleWarmUpMs : 0);
	const double frameMs = bench::MeanFrameMs(frames, frame);

	// The editor's own work: Update without the device's run step, Render
	// without the engine's draw calls (the clear colour and the statistics).
	const double ownMs =
	    bench::MeanFrameMs(2000,
	                       [&]
	                       {
		                       editor.UpdateState();
		                       const video::SColor clear = editor.SceneColour();
		                       editor.EditorInfoText->setText(editor.SceneInfoText().c_str());
		                       (void)clear;
	                       });
	const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
	std::printf("frame_ms %.4f\nown_us %.3f\nrss_kb %ld\nprimitives %u\nrenderer %s\n", frameMs,
	            ownMs * 1000.0, bench::ResidentKb(), editor._driver->getPrimitiveCountDrawn(),
	            renderer ? renderer : "unknown");
	return 0;
}

// The four views of a level and the 99 models, at the start views (the
// bare loop sets up the same four cameras), with and without the grid; and
// the grid's own cost in the perspective view alone. Each comparison takes
// blocks of frames of its two sides in turn, so that a machine busy with
// other work, or a slow start, weighs on both sides alike: the medians of
// the blocks, and of each pair's difference.
int Views(const char* mesh, int frames, const char* level)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor) || !editor.LoadQ3Level(level))
		return 2;
	BuildScene(editor, mesh);
	editor.View.ResetView();
	CViewports& views = editor.View.Views;
	const std::function<void()> frame = FrameOf(editor);
	const int block = 20, pairs = std::max(frames / block / 2, 5);
	struct SPaired
	{
		std::vector<double> with, without, difference, processor;
	};
	const auto paired = [&](bool four)
	{
		views.SetFourViews(four);
		bench::WarmUp(frame, 0);
		SPaired result;
		for (int i = 0; i < pairs; ++i)
		{
			const double start = ProcessorMs();
			for (bool grid : {true, false})
			{
				views.SetGridShown(grid);
				frame(); // the first frame of a change builds what later ones keep
				(grid ? result.with : result.without).push_back(bench::MeanFrameMs(block, frame));
				if (grid)
					result.processor.push_back(ProcessorMs() - start);
			}
			const double both = ProcessorMs() - start;
			result.difference.push_back(result.with.back() - result.without.back());
			result.processor.back() = (2 * result.processor.back() - both) / (block + 1);
		}
		return result;
	};
	const SPaired four = paired(true), one = paired(false);
	std::printf("four_views_ms %.4f\nfour_views_no_grid_ms %.4f\nfour_views_grid_ms %.4f\n"
	            "grid_ms %.4f\ngrid_processor_ms %.4f\n",
	            bench::Median(four.with), bench::Median(four.without),
	            bench::Median(four.difference), bench::Median(one.difference),
	            bench::Median(one.processor));
	return 0;
}

int Startup(double started)
{
	CSceneEditor editor;
	editor.Init(video::EDT_OPENGL);
	if (!editor.StartupError.empty())
		return 2;
	bench::FocusWindow(editor._device);
	editor.Update();
	editor.Render();
	std::printf("startup_ms %.3f\n", bench::NowMs() - started);
	return 0;
}

int Load(const char* file, int repetitions)
{
	CSceneEditor editor;
	editor.Init(video::EDT_NULL);
	scene::IMeshCache* cache = editor._smgr->getMeshCache();
	std::vector<double> guarded, bare;
	for (int i = 0; i < repetitions; ++i)
	{
		double start = bench::NowMs();
		// A level goes the level's way: the model's refuses it.
		const bool level = core::hasFileExtension(file, "bsp");
		scene::IAnimatedMesh* mesh = level ? 0 : editor.LoadMeshSafely(file);
		if (level && editor.LoadQ3Level(file))
			for (u32 m = 0; m < cache->getMeshCount() && !mesh; ++m)
				if (core::hasFileExtension(cache->getMeshName(m).getPath(), "bsp"))
					mesh = cache->getMeshByIndex(m);
		guarded.push_back(bench::NowMs() - start);
		if (!mesh)
			return 2;
		if (level)
			editor.DeleteQ3Level();
		cache->removeMesh(mesh);

		scene::ISceneManager* fresh = editor._smgr->createNewSceneManager(false);
		start = bench::NowMs();
		mesh = fresh->getMesh(file);
		bare.push_back(bench::NowMs() - start);
		cache->removeMesh(mesh);
		fresh->drop();
	}
	std::printf("guarded_ms %.3f\nbare_ms %.3f\n", bench::Median(guarded), bench::Median(bare));
	return 0;
}
// From asking for a model to the first frame that shows it, through the
// crash-proof load and the editor's own model (OpenGL), N times: each
// round reads the file again and starts from an empty scene.
int FirstFrame(const char* file, int repetitions)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	RemoveMessageBoxes(editor);
	const std::function<void()> frame = FrameOf(editor);
	bench::WarmUp(frame, 0);
	scene::IMeshCache* cache = editor._smgr->getMeshCache();
	std::vector<double> times;
	for (int i = 0; i < repetitions; ++i)
	{
		const double start = bench::NowMs();
		if (!editor.CreateNewModel(file))
			return 2;
		frame();
		times.push_back(bench::NowMs() - start);
		const io::path mesh = cache->getMeshName(editor.SelectedModel->AnimatedNode->getMesh());
		editor.ClearScene();
		cache->removeMesh(cache->getMeshByName(mesh));
		frame();
	}
	std::printf("first_frame_ms %.3f\n", bench::Median(times));
	return 0;
}

int Level(const std::string& maps, const std::string& name)
{
	CSceneEditor editor;
	editor.Init(video::EDT_NULL);
	scene::IMeshCache* cache = editor._smgr->getMeshCache();
	io::IFileSystem* files = editor._device->getFileSystem();
	const std::string folder = maps.substr(0, maps.rfind('/') + 1);
	std::vector<double> guarded, bare;
	for (int i = 0; i < 7; ++i)
	{
		// Both loads decode every texture: none is left in the cache.
		editor._driver->removeAllTextures();
		double start = bench::NowMs();
		if (!editor.LoadQ3LevelFromArchive(maps.c_str(), name.c_str()))
			return 2;
		guarded.push_back(bench::NowMs() - start);
		editor.DeleteQ3Level();
		cache->removeMesh(cache->getMeshByName(LevelCacheName(maps, name)));

		editor._driver->removeAllTextures();
		scene::ISceneManager* fresh = editor._smgr->createNewSceneManager(false);
		start = bench::NowMs();
		for (const char* archive : {"maps.pk3", "textures.pk3"})
			files->addFileArchive((folder + archive).c_str(), true, false, io::EFAT_ZIP);
		scene::IAnimatedMesh* mesh = fresh->getMesh(("maps/" + name + ".bsp").c_str());
		bare.push_back(bench::NowMs() - start);
		if (!mesh)
			return 2;
		cache->removeMesh(mesh);
		while (files->getFileArchiveCount() > 0)
			files->removeFileArchive(0u);
		fresh->drop();
	}
	std::printf("guarded_ms %.3f\nbare_ms %.3f\n", bench::Median(guarded), bench::Median(bare));
	return 0;
}

int Peak(const char* file, bool editorLoad)
{
	long before = 0;
	bool loaded = false;
	if (editorLoad)
	{
		CSceneEditor editor;
		editor.Init(video::EDT_NULL);
		before = bench::ResidentKb();
		loaded = editor.LoadMeshSafely(file) != 0;
	}
	else
	{
		IrrlichtDevice* device = createDevice(video::EDT_NULL);
		before = bench::ResidentKb();
		loaded = device->getSceneManager()->getMesh(file) != 0;
		device->drop();
	}
	std::printf("start_kb %ld\npeak_kb %ld\n", before, bench::ResidentKb("VmHWM:"));
	return loaded ? 0 : 2;
}

// A binary glTF of one mesh, about 10 MB: a 420 x 420 grid of points
// (position, normal, texture coordinates) and its triangles, written by
// hand as the format lays it out: a JSON chunk, then the binary one.
int WriteGlb(const char* path)
{
	const u32 side = 420, points = side * side, triangles = 2 * (side - 1) * (side - 1);
	std::vector<f32> attributes;
	attributes.reserve(points * 8);
	for (u32 z = 0; z < side; ++z)
		for (u32 x = 0; x < side; ++x)
		{
			const f32 height = std::sin(x * 0.1f) * std::cos(z * 0.1f);
			for (f32 value : {x * 0.5f, height, z * 0.5f, 0.0f, 1.0f, 0.0f, x / (side - 1.0f),
			                  z / (side - 1.0f)})
				attributes.push_back(value);
		}
	std::vector<u32> indices;
	indices.reserve(triangles * 3);
	for (u32 z = 0; z + 1 < side; ++z)
		for (u32 x = 0; x + 1 < side; ++x)
		{
			const u32 a = z * side + x, b = a + 1, c = a + side, d = c + 1;
			for (u32 index : {a, c, b, b, c, d})
				indices.push_back(index);
		}
	const size_t vertexBytes = attributes.size() * sizeof(f32);
	const size_t indexBytes = indices.size() * sizeof(u32);
	const f32 far = (side - 1) * 0.5f;
	std::ostringstream json;
	json << "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
	     << "\"nodes\":[{\"mesh\":0}],\"meshes\":[{\"primitives\":[{\"attributes\":"
	     << "{\"POSITION\":0,\"NORMAL\":1,\"TEXCOORD_0\":2},\"indices\":3}]}],"
	     << "\"buffers\":[{\"byteLength\":" << vertexBytes + indexBytes << "}],"
	     << "\"bufferViews\":[{\"buffer\":0,\"byteLength\":" << vertexBytes
	     << ",\"byteStride\":32,\"target\":34962},{\"buffer\":0,\"byteOffset\":" << vertexBytes
	     << ",\"byteLength\":" << indexBytes << ",\"target\":34963}],\"accessors\":["
	     << "{\"bufferView\":0,\"componentType\":5126,\"count\":" << points
	     << ",\"type\":\"VEC3\",\"min\":[0,-1,0],\"max\":[" << far << ",1," << far << "]},"
	     << "{\"bufferView\":0,\"byteOffset\":12,\"componentType\":5126,\"count\":" << points
	     << ",\"type\":\"VEC3\"},"
	     << "{\"bufferView\":0,\"byteOffset\":24,\"componentType\":5126,\"count\":" << points
	     << ",\"type\":\"VEC2\"},"
	     << "{\"bufferView\":1,\"componentType\":5125,\"count\":" << indices.size()
	     << ",\"type\":\"SCALAR\"}]}";
	std::string text = json.str();
	text.resize((text.size() + 3) / 4 * 4, ' '); // chunks are 4-byte aligned
	const u32 binary = static_cast<u32>(vertexBytes + indexBytes);
	const u32 header[5] = {0x46546C67, 2, static_cast<u32>(12 + 8 + text.size() + 8 + binary),
	                       static_cast<u32>(text.size()), 0x4E4F534A};
	const u32 binaryHeader[2] = {binary, 0x004E4942};
	std::ofstream out(path, std::ios::binary);
	out.write(reinterpret_cast<const char*>(header), sizeof header);
	out.write(text.data(), static_cast<std::streamsize>(text.size()));
	out.write(reinterpret_cast<const char*>(binaryHeader), sizeof binaryHeader);
	out.write(reinterpret_cast<const char*>(attributes.data()),
	          static_cast<std::streamsize>(vertexBytes));
	out.write(reinterpret_cast<const char*>(indices.data()),
	          static_cast<std::streamsize>(indexBytes));
	return out.good() ? 0 : 2;
}

// A model the library reads: the crash-proof load (the helper reads it
// and hands the mesh over) against the same reading and building of the
// engine's mesh in this process, N times each.
int LibraryLoad(const char* file, int repetitions)
{
	CSceneEditor editor;
	editor.Init(video::EDT_NULL);
	scene::IMeshCache* cache = editor._smgr->getMeshCache();
	std::vector<double> guarded, alone;
	for (int i = 0; i < repetitions; ++i)
	{
		double start = bench::NowMs();
		scene::IAnimatedMesh* mesh = editor.LoadMeshSafely(file);
		guarded.push_back(bench::NowMs() - start);
		if (!mesh)
			return 2;
		cache->removeMesh(mesh);

		assimpmodel::CEmbeddedPixels embedded;
		std::string problem;
		start = bench::NowMs();
		mesh = assimpmodel::Load(editor._device, file, embedded, problem);
		alone.push_back(bench::NowMs() - start);
		if (!mesh)
			return 2;
		mesh->drop();
	}
	std::printf("guarded_ms %.3f\nbare_ms %.3f\n", bench::Median(guarded), bench::Median(alone));
	return 0;
}

// A 400 x 400 grid of quads, each two triangles, with texture coordinates.
int WriteObj(const char* path)
{
	FILE* out = std::fopen(path, "w");
	if (!out)
		return 2;
	const int side = 401;
	for (int z = 0; z < side; ++z)
		for (int x = 0; x < side; ++x)
			std::fprintf(out, "v %.4f %.4f %.4f\n", x * 0.5, std::sin(x * 0.1) * std::cos(z * 0.1),
			             z * 0.5);
	for (int z = 0; z < side; ++z)
		for (int x = 0; x < side; ++x)
			std::fprintf(out, "vt %.5f %.5f\n", x / 400.0, z / 400.0);
	for (int z = 0; z + 1 < side; ++z)
		for (int x = 0; x + 1 < side; ++x)
		{
			const int a = z * side + x + 1, b = a + 1, c = a + side, d = c + 1;
			std::fprintf(out, "f %d/%d %d/%d %d/%d\nf %d/%d %d/%d %d/%d\n", a, a, c, c, b, b, b, b,
			             c, c, d, d);
		}
	return std::fclose(out) == 0 ? 0 : 2;
}

int TerrainLoad(const char* heightMap)
{
	CSceneEditor editor;
	editor.Init(video::EDT_NULL);
	std::vector<double> guarded, bare;
	for (int i = 0; i < 7; ++i)
	{
		double start = bench::NowMs();
		if (!editor.LoadTerrain(heightMap))
			return 2;
		guarded.push_back(bench::NowMs() - start);
		editor.DeleteTerrain();
		RemoveMessageBoxes(editor);

		start = bench::NowMs();
		scene::ITerrainSceneNode* terrain = bench::AddTerrain(editor._smgr, heightMap, 0);
		bare.push_back(bench::NowMs() - start);
		if (!terrain)
			return 2;
		terrain->remove();
	}
	std::printf("guarded_ms %.3f\nbare_ms %.3f\n", bench::Median(guarded), bench::Median(bare));
	return 0;
}
// One step as a user makes it: the arrow key held for two frames.
void MoveSelection(CSceneEditor& editor, const std::function<void()>& frame)
{
	SEvent key;
	key.EventType = EET_KEY_INPUT_EVENT;
	key.KeyInput.Key = KEY_UP;
	key.KeyInput.Char = 0;
	key.KeyInput.Shift = key.KeyInput.Control = false;
	for (bool down : {true, false})
	{
		key.KeyInput.PressedDown = down;
		editor._device->postEventFromUser(key);
		frame();
		frame();
	}
}

int Rest(const std::string& kind, double seconds, int xServer, const char* mesh)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	if (kind == "static")
		BuildScene(editor, mesh);
	else if (kind == "animated" && !editor.CreateNewModel(mesh))
		return 2;
	RemoveMessageBoxes(editor);
	const auto until = [&](double end) { return [&editor, end] { return editor.Now() >= end; }; };
	RunLoop(editor, until(editor.Now() + 1.0)); // whatever start-up still draws
	const double editorStart = ProcessorSeconds(0), xStart = ProcessorSeconds(xServer);
	const double start = editor.Now();
	const int frames = RunLoop(editor, until(start + seconds));
	const double elapsed = editor.Now() - start;
	std::printf("rest_cpu %.5f\nxserver_cpu %.5f\nrest_fps %.2f\n",
	            (ProcessorSeconds(0) - editorStart) / elapsed,
	            (ProcessorSeconds(xServer) - xStart) / elapsed, frames / elapsed);
	return 0;
}

int Shelf(const std::string& folder)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	const std::function<void()> frame = FrameOf(editor);
	editor.Shelf.Show();
	bench::WarmUp(frame, 0);
	const double start = bench::NowMs();
	editor.Shelf.ChooseFolder(folder);
	frame();
	const double first = bench::NowMs() - start;
	if (!editor.Shelf.PictureOf(0))
		return 2;
	// Frames until every picture is made, each timed.
	double slowest = 0, sum = 0;
	int frames = 0;
	while (editor.Shelf.Pending())
	{
		const double began = bench::NowMs();
		frame();
		const double took = bench::NowMs() - began;
		slowest = std::max(slowest, took);
		sum += took;
		++frames;
	}
	const double all = bench::NowMs() - start;
	const double usual = bench::MeanFrameMs(200, frame);
	std::printf("shelf_first_ms %.3f\nshelf_all_ms %.3f\nshelf_frame_ms %.3f\n"
	            "shelf_frame_max_ms %.3f\nusual_frame_ms %.3f\npictures %zu\n",
	            first, all, frames ? sum / frames : 0.0, slowest, usual,
	            editor.Shelf.Entries().size());
	return 0;
}

int Hold()
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	std::printf("ready\n");
	std::fflush(stdout);
	const double limit = editor.Now() + 20.0;
	double down = -1, up = -1;
	int framesHeld = 0;
	while (editor.Now() < limit && (up < 0 || editor.Now() < up + 0.5) && editor.Update())
	{
		const bool held = editor.key[KEY_NUMPAD8];
		if (held && down < 0)
			down = editor.Now();
		if (!held && down >= 0 && up < 0)
			up = editor.Now();
		if (editor.FrameNeeded())
		{
			editor.Render();
			framesHeld += held;
		}
	}
	if (down < 0 || up < 0)
	{
		std::fprintf(stderr, "keypad 8 was not held\n");
		return 2;
	}
	std::printf("hold_units %.2f\nhold_seconds %.4f\nhold_fps %.2f\n",
	            editor.Positioner->getPosition().getLength(), up - down, framesHeld / (up - down));
	return 0;
}

size_t HeapBytes()
{
	return mallinfo2().uordblks;
}

int UndoRedo(const char* mesh, int steps)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	BuildScene(editor, mesh);
	const std::function<void()> frame = FrameOf(editor);
	bench::MeanFrameMs(100, frame);
	std::vector<double> usual;
	for (int i = 0; i < steps; ++i)
		usual.push_back(bench::MeanFrameMs(1, frame));

	// Steps moving one model each, made with the editor's own work only
	// (no drawing), so that the heap grows by the history alone.
	const auto update = [&] { editor.UpdateState(); };
	const size_t heap = HeapBytes();
	for (int i = 0; i < steps; ++i)
	{
		editor.Select(editor.Model[1 + i % Models]);
		MoveSelection(editor, update);
	}
	const double stepsKb = (HeapBytes() - heap) / 1024.0;

	// Each undo and redo inside a frame of its own.
	std::vector<double> undo, redo, undoFrames;
	const auto measure = [&](bool (CSceneEditor::*step)(), std::vector<double>& times)
	{
		for (int i = 0; i < steps; ++i)
		{
			const double start = bench::NowMs();
			if (!(editor.*step)())
				return false;
			times.push_back(bench::NowMs() - start);
			frame();
			undoFrames.push_back(bench::NowMs() - start);
		}
		return true;
	};
	if (!measure(&CSceneEditor::Undo, undo) || !measure(&CSceneEditor::Redo, redo))
		return 2;

	std::sort(undo.begin(), undo.end());
	std::sort(redo.begin(), redo.end());
	std::printf("undo_ms %.4f\nundo_max_ms %.4f\nredo_ms %.4f\nredo_max_ms %.4f\n"
	            "usual_frame_ms %.4f\nundo_frame_ms %.4f\nsteps_kb %.1f\nscene_state_bytes %zu\n"
	            "model_state_bytes %zu\n",
	            bench::Median(undo), undo.back(), bench::Median(redo), redo.back(),
	            bench::Median(usual), bench::Median(undoFrames), stepsKb, sizeof(SSceneState),
	            sizeof(SModelState));
	return 0;
}

int Autosave(const char* mesh, int writes)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	// The autosave falls due when the bench says so: it moves the clock on.
	double ahead = 0;
	const std::function<double()> clock = editor.Now;
	editor.Now = [&] { return clock() + ahead; };
	BuildScene(editor, mesh);
	const std::function<void()> frame = FrameOf(editor);
	bench::MeanFrameMs(100, frame);
	// Each round: a change, a usual frame, then the frame in which the
	// autosave falls due.
	std::vector<double> usual, holding, alone;
	for (int i = 0; i < writes; ++i)
	{
		MoveSelection(editor, frame);
		usual.push_back(bench::MeanFrameMs(1, frame));
		ahead += CSceneEditor::AUTOSAVE_SECONDS + 1;
		holding.push_back(bench::MeanFrameMs(1, frame));
		if (editor.SecondsToAutosave() >= 0 || !editor.WaitForAutosave())
			return 2; // the frame did not write
		const double start = bench::NowMs();
		if (!editor.WriteRecovery())
			return 2;
		alone.push_back(bench::NowMs() - start);
	}
	struct stat info;
	stat(editor.RecoveryFile().c_str(), &info);
	std::printf("usual_frame_ms %.4f\nautosave_frame_ms %.4f\nwrite_ms %.4f\nrecovery_kb %.1f\n",
	            bench::Median(usual), bench::Median(holding), bench::Median(alone),
	            info.st_size / 1024.0);
	return 0;
}

int SceneFiles(const std::string& dir, const char* mesh)
{
	CSceneEditor editor;
	editor.Init(video::EDT_NULL);
	BuildScene(editor, mesh);
	const std::string file = dir + "scene.irr", bareFile = dir + "bare.irr";
	scene::IMeshCache* cache = editor._smgr->getMeshCache();
	// The bare scene: the same 99 nodes in a scene manager of their own.
	scene::ISceneManager* bare = editor._smgr->createNewSceneManager(false);
	for (int i = 1; i <= Models; ++i)
		editor.Model[i]->AnimatedNode->clone(bare->getRootSceneNode(), bare);
	std::vector<double> save, bareSave, open, bareOpen, meshTrial, sceneTrial;
	for (int i = 0; i < 7; ++i)
	{
		double start = bench::NowMs();
		if (!editor.SaveScene(file.c_str()))
			return 2;
		save.push_back(bench::NowMs() - start);
		start = bench::NowMs();
		if (!bare->saveScene(bareFile.c_str()))
			return 2;
		bareSave.push_back(bench::NowMs() - start);
		RemoveMessageBoxes(editor);

		// Both opens read the mesh from its file; the editor's comes last,
		// so that its models hold the mesh the cache names.
		cache->removeMesh(cache->getMeshByName(mesh));
		scene::ISceneManager* game = editor._smgr->createNewSceneManager(false);
		start = bench::NowMs();
		if (!game->loadScene(file.c_str()))
			return 2;
		bareOpen.push_back(bench::NowMs() - start);
		game->drop();
		cache->removeMesh(cache->getMeshByName(mesh));
		start = bench::NowMs();
		if (!editor.OpenScene(file.c_str()) || !editor.Model[Models]->AnimatedNode)
			return 2;
		open.push_back(bench::NowMs() - start);
		RemoveMessageBoxes(editor);

		start = bench::NowMs();
		editor.LoadChecker.check(LOADKIND_MESH, mesh);
		meshTrial.push_back(bench::NowMs() - start);
		start = bench::NowMs();
		editor.LoadChecker.check(LOADKIND_SCENE, file);
		sceneTrial.push_back(bench::NowMs() - start);
	}
	bare->drop();
	std::printf("save_ms %.3f\nbare_save_ms %.3f\nopen_ms %.3f\nbare_open_ms %.3f\n"
	            "trials_ms %.3f\n",
	            bench::Median(save), bench::Median(bareSave), bench::Median(open),
	            bench::Median(bareOpen), bench::Median(meshTrial) + bench::Median(sceneTrial));
	return 0;
}

// 99 objects of mixed kinds in a tree three levels deep: 11 empties, each
// holding a model and a cube, each of those holding a sphere, a billboard
// and a light (11 + 22 + 66).
void BuildTree(CSceneEditor& editor, const char* mesh)
{
	const s32 leaves[3] = {CModel::TYPE_SPHERE, CModel::TYPE_BILLBOARD, CModel::TYPE_LIGHT};
	const auto add = [&](bool made, int parent, const core::vector3df& at)
	{
		if (!made)
			std::exit(2);
		const int slot = editor.SlotOf(editor.SelectedModel);
		if (parent > 0 && !editor.SetParent(slot, parent))
			std::exit(2);
		editor.SetSelectedTransform(at, core::vector3df(0, 15, 0), core::vector3df(1, 1, 1));
		return slot;
	};
	for (int group = 0; group < 11; ++group)
	{
		const int top =
		    add(editor.CreateNewEmpty(), 0, core::vector3df(-100.0f + 20.0f * group, 0, -60.0f));
		for (int middle = 0; middle < 2; ++middle)
		{
			const bool model = middle == 0;
			const int held =
			    add(model ? editor.CreateNewModel(mesh) : editor.AddAtMarker(CModel::TYPE_CUBE),
			        top, core::vector3df(0, 0, 40.0f * (middle + 1)));
			for (s32 leaf : leaves)
				add(editor.AddAtMarker(leaf), held,
				    core::vector3df(5.0f * (&leaf - leaves), 20, 0));
		}
	}
	RemoveMessageBoxes(editor);
	editor.Select(0);
}

// The tree scene's frame, save and open against a bare engine: the bare
// scene manager loads the editor's file (the same nodes a game gets) and
// draws it from the editor's camera; its save is the engine's saveScene.
int Tree(const std::string& dir, const char* mesh, int frames)
{
	CSceneEditor editor;
	if (!StartOnScreen(editor))
		return 2;
	BuildTree(editor, mesh);
	const std::string file = dir + "tree.irr", bareFile = dir + "tree-bare.irr";
	std::vector<double> save, bareSave, open, bareOpen, trials;
	scene::ISceneManager* bare = 0;
	for (int i = 0; i < 7; ++i)
	{
		double start = bench::NowMs();
		if (!editor.SaveScene(file.c_str()))
			return 2;
		save.push_back(bench::NowMs() - start);
		RemoveMessageBoxes(editor);
		if (bare)
			bare->drop();
		bare = editor._smgr->createNewSceneManager(false);
		start = bench::NowMs();
		if (!bare->loadScene(file.c_str()))
			return 2;
		bareOpen.push_back(bench::NowMs() - start);
		start = bench::NowMs();
		if (!bare->saveScene(bareFile.c_str()))
			return 2;
		bareSave.push_back(bench::NowMs() - start);
		start = bench::NowMs();
		if (!editor.OpenScene(file.c_str()) || !editor.Document.Object(99))
			return 2;
		open.push_back(bench::NowMs() - start);
		RemoveMessageBoxes(editor);
		start = bench::NowMs();
		editor.LoadChecker.check(LOADKIND_SCENE, file);
		editor.LoadChecker.check(LOADKIND_MESH, mesh);
		trials.push_back(bench::NowMs() - start);
	}
	editor.View.ResetView();
	const std::function<void()> frame = FrameOf(editor);
	bench::WarmUp(frame, 0);
	scene::ICameraSceneNode* camera =
	    bare->addCameraSceneNode(0, editor.Camera->getPosition(), editor.Camera->getTarget());
	camera->setFarValue(editor.Camera->getFarValue());
	video::IVideoDriver* driver = editor._driver;
	const auto bareFrame = [&]
	{
		editor._device->run();
		driver->beginScene(true, true, editor.SceneColour());
		bare->drawAll();
		driver->endScene();
	};
	bench::WarmUp(bareFrame, 0);
	std::vector<double> editorMs, noGridMs, bareMs;
	for (int block = 0; block < std::max(frames / 75, 5); ++block)
	{
		editor.View.Views.SetGridShown(true);
		editorMs.push_back(bench::MeanFrameMs(25, frame));
		editor.View.Views.SetGridShown(false);
		noGridMs.push_back(bench::MeanFrameMs(25, frame));
		bareMs.push_back(bench::MeanFrameMs(25, bareFrame));
	}
	bare->drop();
	std::printf("tree_frame_ms %.4f\ntree_frame_no_grid_ms %.4f\nbare_tree_frame_ms %.4f\n"
	            "tree_save_ms %.3f\n"
	            "bare_tree_save_ms %.3f\ntree_open_ms %.3f\nbare_tree_open_ms %.3f\n"
	            "tree_trials_ms %.3f\n",
	            bench::Median(editorMs), bench::Median(noGridMs), bench::Median(bareMs),
	            bench::Median(save), bench::Median(bareSave), bench::Median(open),
	            bench::Median(bareOpen), bench::Median(trials));
	return 0;
}
} // namespace

int main(int argc, char** argv)
{
	const double started = bench::NowMs();
	const std::string mode = argc > 1 ? argv[1] : "";
	if (mode == "export" && (argc == 4 || argc == 5))
		return Export(argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 0);
	if (mode == "frames" && argc >= 3)
		return Frames(argv[2], argc > 3 ? std::atoi(argv[3]) : 500, argc > 5 ? argv[4] : 0,
		              argc > 5 ? argv[5] : 0, 0);
	if (mode == "particles" && argc >= 3)
		return Frames(argv[2], argc > 3 ? std::atoi(argv[3]) : 500, 0, 0, ParticleSystems);
	if (mode == "terrain" && argc == 3)
		return TerrainLoad(argv[2]);
	if (mode == "scene" && argc == 4)
		return SceneFiles(argv[2], argv[3]);
	if (mode == "tree" && argc >= 4)
		return Tree(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 500);
	if (mode == "undo" && argc >= 3)
		return UndoRedo(argv[2], argc > 3 ? std::atoi(argv[3]) : 100);
	if (mode == "autosave" && argc >= 3)
		return Autosave(argv[2], argc > 3 ? std::atoi(argv[3]) : 50);
	if (mode == "views" && argc == 5)
		return Views(argv[2], std::atoi(argv[3]), argv[4]);
	if (mode == "startup")
		return Startup(started);
	if (mode == "load" && argc >= 3)
		return Load(argv[2], argc > 3 ? std::atoi(argv[3]) : 7);
	if (mode == "first" && argc >= 3)
		return FirstFrame(argv[2], argc > 3 ? std::atoi(argv[3]) : 7);
	if (mode == "level" && argc == 4)
		return Level(argv[2], argv[3]);
	if (mode == "peak" && argc == 4)
		return Peak(argv[2], std::string(argv[3]) == "editor");
	if (mode == "glb" && argc == 3)
		return WriteGlb(argv[2]);
	if (mode == "library" && argc >= 3)
		return LibraryLoad(argv[2], argc > 3 ? std::atoi(argv[3]) : 7);
	if (mode == "obj" && argc == 3)
		return WriteObj(argv[2]);
	if (mode == "rest" && argc >= 5)
		return Rest(argv[2], std::atof(argv[3]), std::atoi(argv[4]), argc > 5 ? argv[5] : "");
	if (mode == "shelf" && argc == 3)
		return Shelf(argv[2]);
	if (mode == "hold")
		return Hold();
	std::fprintf(
	    stderr,
	    "usage: tolvane_bench export DIR MESH [PARTICLE-SYSTEMS] | frames MESH [N [HEIGHTMAP "
	    "TEXTURE]] | particles MESH [N] | startup | load FILE [N] | level MAPS NAME | peak FILE "
	    "editor|bare | first FILE [N] | obj FILE | glb FILE | library FILE [N] | terrain HEIGHTMAP "
	    "| scene DIR MESH | tree DIR MESH [N] | undo MESH [N] | "
	    "rest KIND SECONDS XPID [MESH] | hold | autosave MESH [N] | views MESH N LEVEL\n");
	return 1;
}
