// Tolvane: an editor for 3D scenes on the Irrlicht engine.
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "src/CSceneEditor.h"

CSceneEditor Tolvane;

namespace
{
const char* const Usage =
    "Usage: tolvane [FILE]\n"
    "An editor for 3D scenes on the Irrlicht engine.\n"
    "\n"
    "FILE is opened at start-up by its type:\n"
    "  a scene file (.irr) is opened as the scene,\n"
    "  a Quake 3 level (.pk3, .zip, .bsp) is loaded as the level,\n"
    "  any other file is added as a model (a mesh in a format the engine reads).\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n";

// Waits for Enter so a console window stays open; scripts and tests that do
// not run on a terminal are not held up.
void Pause()
{
	if (!isatty(STDIN_FILENO))
		return;
	std::printf("Press Enter to continue . . . ");
	std::fflush(stdout);
	for (int c = std::getchar(); c != '\n' && c != EOF; c = std::getchar())
	{
	}
}

int Misused(const char* what, const char* argument)
{
	std::fprintf(stderr, "tolvane: %s %s\nTry 'tolvane --help'.\n", what, argument);
	return 2;
}
} // namespace

int main(int argc, char** argv)
{
	// Options are answered before the window opens; "--" ends them, so
	// that a file whose name starts with '-' can be opened.
	const char* file = nullptr;
	bool options = true;
	for (int i = 1; i < argc; ++i)
	{
		const char* argument = argv[i];
		if (options && std::strcmp(argument, "--") == 0)
			options = false;
		else if (options && (!std::strcmp(argument, "-h") || !std::strcmp(argument, "--help")))
		{
			std::fputs(Usage, stdout);
			return 0;
		}
		else if (options && (!std::strcmp(argument, "-v") || !std::strcmp(argument, "--version")))
		{
			std::puts("Tolvane " TOLVANE_VERSION);
			return 0;
		}
		else if (options && argument[0] == '-' && argument[1] != '\0')
			return Misused("unknown option", argument);
		else if (file)
			return Misused("one file at a time; also given:", argument);
		else
			file = argument;
	}

	Tolvane.Init();
	if (!Tolvane.StartupError.empty())
	{
		std::fprintf(stderr, "tolvane: %s\n", Tolvane.StartupError.c_str());
		return 1;
	}
	if (file)
		Tolvane.OpenFile(file);
	// Update waits until there is something to do; a pass draws only when
	// something may look different.
	while (Tolvane.Update())
		if (Tolvane.FrameNeeded())
			Tolvane.Render();
	Pause();
	return 0;
}
