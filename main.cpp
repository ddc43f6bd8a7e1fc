// Tolvane: an editor for 3D scenes on the Irrlicht engine.
#include <cstdio>
#include <unistd.h>

#include "src/CSceneEditor.h"

CSceneEditor Tolvane;

namespace
{
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
} // namespace

int main()
{
	Tolvane.Init();
	if (!Tolvane.StartupError.empty())
	{
		std::fprintf(stderr, "tolvane: %s\n", Tolvane.StartupError.c_str());
		return 1;
	}
	// Update waits until there is something to do; a pass draws only when
	// something may look different.
	while (Tolvane.Update())
		if (Tolvane.FrameNeeded())
			Tolvane.Render();
	Pause();
	return 0;
}
