// tolvane_load_check KIND FILE [FD]: loads one file with the engine on its
// null driver and exits 0 when it loads, 1 when the engine refuses it; with
// FD, what it loaded is written there as plain data (TransferFormat.h) for
// the editor to check and rebuild.
// tolvane_load_check serve FD: the same for every request on a socket. The
// editor has every file the user chose loaded here, and only here: a crash,
// a hang or damaged memory here costs the editor nothing.
#include <irrlicht.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AssimpModel.h"
#include "FileNames.h"
#include "LoadCheck.h"
#include "LoadCheckProtocol.h"
#include "MeshTransfer.h"
#include "Quake3Level.h"
#include "SceneFile.h"

using namespace irr;

namespace
{
// A lightmap of a Quake 3 level, from the level file's lightmap lump, as the
// engine's loader names it ("<level>.lightmap.<n>") and makes it: 128 x 128
// pixels of 8-bit red, green and blue.
video::IImage* Lightmap(video::IVideoDriver* driver, io::IReadFile* bsp, const io::path& name)
{
	const std::string text = name.c_str();
	const size_t at = text.rfind(".lightmap.");
	if (at == std::string::npos)
		return 0;
	char* end = 0;
	const long index = std::strtol(text.c_str() + at + 10, &end, 10);
	const s32 LightmapLump = 14, Lumps = 17, Side = 128, Bytes = Side * Side * 3;
	s32 header[2 + 2 * Lumps];
	if (*end || index < 0 || !bsp->seek(0) || bsp->read(header, sizeof header) != sizeof header)
		return 0;
	const s32 offset = header[2 + 2 * LightmapLump], length = header[3 + 2 * LightmapLump];
	if (offset < 0 || (index + 1) * Bytes > length)
		return 0;
	video::IImage* image = driver->createImage(video::ECF_R8G8B8, core::dimension2du(Side, Side));
	const bool read = bsp->seek(offset + index * Bytes) && bsp->read(image->lock(), Bytes) == Bytes;
	image->unlock();
	if (!read)
	{
		image->drop();
		return 0;
	}
	return image;
}

// A level as the editor loads it. An archive without a level name is
// answered with its levels; its one level, if it has only one, must load.
bool LoadLevel(IrrlichtDevice* device, const char* file, std::string level,
               const transfer::CImageRecorder* images, transfer::CWriter& out)
{
	if (IsLevelArchive(file) && level.empty())
	{
		const std::vector<std::string> names = ArchiveLevelNames(device->getFileSystem(), file);
		transfer::WriteNames(out, names);
		if (names.size() != 1)
			return !names.empty();
		level = names[0];
	}
	video::IVideoDriver* driver = device->getVideoDriver();
	const auto write = [&](scene::IAnimatedMesh* mesh, io::IReadFile* bsp)
	{
		SLevelStart start;
		if (mesh->getMeshType() == scene::EAMT_BSP &&
		    FindLevelStart(*static_cast<scene::IQ3LevelMesh*>(mesh), start))
		{
			out.put(transfer::REC_START);
			const f32 values[4] = {start.Origin.X, start.Origin.Y, start.Origin.Z, start.Angle};
			out.put(values);
		}
		transfer::WriteMesh(out, mesh, images,
		                    [&](const io::path& name) { return Lightmap(driver, bsp, name); });
	};
	return LoadQuake3Level(device->getSceneManager(), file, level, write) != 0;
}

// Loads the file and leaves with the answer, without tearing the engine
// down: 0 loaded, 1 refused, 2 an unknown kind, 4 the data could not be
// written.
[[noreturn]] void LoadAndExit(IrrlichtDevice* device, const std::string& kind, const char* file,
                              int out)
{
	video::IVideoDriver* driver = device->getVideoDriver();
	// Written straight into the editor's shared memory file.
	transfer::CWriter data(out);
	transfer::Begin(data);
	// A mesh's or level's images are written as they are decoded; a
	// texture's is kept for its own record.
	transfer::CImageRecorder* images =
	    new transfer::CImageRecorder(driver, kind == "texture" ? nullptr : &data);
	driver->addExternalImageLoader(images);
	bool loaded = false;
	if (kind == "mesh" && IsLibraryModel(file))
	{
		// Why the library refused a file is an answer for the editor.
		assimpmodel::CEmbeddedPixels embedded;
		std::string problem;
		scene::IAnimatedMesh* mesh = assimpmodel::Load(device, file, embedded, problem);
		if (mesh)
		{
			transfer::WriteMesh(data, mesh, images, embedded.source());
			mesh->drop();
		}
		else
			transfer::WriteRefusal(data, problem);
		loaded = true;
	}
	else if (kind == "mesh")
	{
		scene::IAnimatedMesh* mesh = device->getSceneManager()->getMesh(file);
		if ((loaded = mesh != 0))
			transfer::WriteMesh(data, mesh, images);
	}
	else if (kind == "texture")
	{
		video::ITexture* texture = driver->getTexture(file);
		video::IImage* image = texture ? images->image(texture->getName()) : 0;
		if ((loaded = image != 0))
			transfer::WriteImage(data, texture->getName(), image);
	}
	else if (kind == "level")
		loaded = LoadLevel(device, file, "", images, data);
	else if (kind.compare(0, 6, "level:") == 0)
		loaded = LoadLevel(device, file, kind.substr(6), images, data);
	else if (kind == "scene")
	{
		scenefile::SSceneContent content;
		core::stringw problem;
		const bool read = scenefile::ReadScene(device->getFileSystem(), file, content, problem);
		scenefile::LoadNodeAttributes(device->getSceneManager(), content);
		// Why a file is no scene is an answer for the editor too.
		scenefile::WriteContent(data, read, content, problem);
		loaded = true;
	}
	else
		_exit(2);
	transfer::End(data);
	if (loaded && !data.finish())
		_exit(4);
	_exit(loaded ? 0 : 1);
}

// Serves requests on a socket until it closes: each file is loaded in a
// child forked from this single-threaded process, whose engine has never
// loaded anything, so every file meets fresh loaders. The child works in
// the editor's working directory, so that relative names resolve as they
// would in the editor. Answers the child's process id (so the editor can
// end a hanging one), then its wait status.
int Serve(IrrlichtDevice* device, int socket)
{
	for (;;)
	{
		uint32_t sizes[3];
		int out = -1;
		if (!loadcheck::ReceiveWithFd(socket, sizes, sizeof sizes, out) || sizes[0] > 4096 ||
		    sizes[1] > (1u << 20) || sizes[2] > (1u << 20))
			return 0;
		std::string kind(sizes[0], '\0'), file(sizes[1], '\0'), folder(sizes[2], '\0');
		if (!loadcheck::ReceiveAll(socket, &kind[0], kind.size()) ||
		    !loadcheck::ReceiveAll(socket, &file[0], file.size()) ||
		    !loadcheck::ReceiveAll(socket, &folder[0], folder.size()))
			return 0;
		const pid_t child = fork();
		if (child == 0)
		{
			close(socket);
			if (!folder.empty() && chdir(folder.c_str()) != 0)
				_exit(1);
			LoadAndExit(device, kind, file.c_str(), out);
		}
		if (out >= 0)
			close(out);
		const int32_t pid = child;
		int status = 127 << 8; // could not fork: "not started"
		if (!loadcheck::SendAll(socket, &pid, sizeof pid))
			return 0;
		if (child > 0)
			while (waitpid(child, &status, 0) < 0 && errno == EINTR)
			{
			}
		const int32_t answer = status;
		if (!loadcheck::SendAll(socket, &answer, sizeof answer))
			return 0;
	}
}
} // namespace

// tolvane_load_check KIND FILE [FD], or tolvane_load_check serve FD
int main(int argc, char** argv)
{
	if (argc != 3 && argc != 4)
		return 2;
	SIrrlichtCreationParameters params;
	params.DriverType = video::EDT_NULL;
	params.LoggingLevel = ELL_NONE;
	IrrlichtDevice* device = createDeviceEx(params);
	if (!device)
		return 3;
	if (std::strcmp(argv[1], "serve") == 0)
		return Serve(device, std::atoi(argv[2]));
	LoadAndExit(device, argv[1], argv[2], argc == 4 ? std::atoi(argv[3]) : -1);
}
