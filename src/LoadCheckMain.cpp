// tolvane_load_check KIND FILE: loads one file with the engine on its null
// driver and exits 0 when it loads, 1 when the engine refuses it.
// tolvane_load_check serve FD: the same for every request on a socket. The
// editor has a file the user chose loaded here first; a crash or a hang here
// costs the editor nothing.
#include <irrlicht.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "LoadCheck.h"
#include "LoadCheckProtocol.h"
#include "Quake3Level.h"
#include "SceneFile.h"

using namespace irr;

namespace
{
// A level as the editor loads it. An archive without a level name passes
// when it holds levels; its one level, if it has only one, must load.
bool LoadLevel(IrrlichtDevice* device, const char* file, std::string level)
{
	if (IsLevelArchive(file) && level.empty())
	{
		const std::vector<std::string> names = ArchiveLevelNames(device->getFileSystem(), file);
		if (names.size() != 1)
			return !names.empty();
		level = names[0];
	}
	return LoadQuake3Level(device->getSceneManager(), file, level) != 0;
}

// Loads the file and leaves with the answer, without tearing the engine
// down: 0 loaded, 1 refused, 2 an unknown kind.
[[noreturn]] void LoadAndExit(IrrlichtDevice* device, const std::string& kind, const char* file)
{
	bool loaded = false;
	if (kind == "mesh")
		loaded = device->getSceneManager()->getMesh(file) != 0;
	else if (kind == "texture")
		loaded = device->getVideoDriver()->getTexture(file) != 0;
	else if (kind == "level")
		loaded = LoadLevel(device, file, "");
	else if (kind.compare(0, 6, "level:") == 0)
		loaded = LoadLevel(device, file, kind.substr(6));
	else if (kind == "scene")
	{
		scenefile::SSceneContent content;
		core::stringw problem;
		loaded = scenefile::ReadScene(device->getFileSystem(), file, content, problem);
	}
	else
		_exit(2);
	_exit(loaded ? 0 : 1);
}

// Serves requests on a socket until it closes: each file is loaded in a
// child forked from this single-threaded process, whose engine has never
// loaded anything, so every file meets fresh loaders. Answers the child's
// process id (so the editor can end a hanging one), then its wait status.
int Serve(IrrlichtDevice* device, int socket)
{
	for (;;)
	{
		uint32_t sizes[2];
		if (!loadcheck::ReceiveAll(socket, sizes, sizeof sizes) || sizes[0] > 4096 ||
		    sizes[1] > (1u << 20))
			return 0;
		std::string kind(sizes[0], '\0'), file(sizes[1], '\0');
		if (!loadcheck::ReceiveAll(socket, &kind[0], kind.size()) ||
		    !loadcheck::ReceiveAll(socket, &file[0], file.size()))
			return 0;
		const pid_t child = fork();
		if (child == 0)
		{
			close(socket);
			LoadAndExit(device, kind, file.c_str());
		}
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

// tolvane_load_check KIND FILE, or tolvane_load_check serve FD
int main(int argc, char** argv)
{
	if (argc != 3)
		return 2;
	SIrrlichtCreationParameters params;
	params.DriverType = video::EDT_NULL;
	params.LoggingLevel = ELL_NONE;
	IrrlichtDevice* device = createDeviceEx(params);
	if (!device)
		return 3;
	if (std::strcmp(argv[1], "serve") == 0)
		return Serve(device, std::atoi(argv[2]));
	LoadAndExit(device, argv[1], argv[2]);
}
