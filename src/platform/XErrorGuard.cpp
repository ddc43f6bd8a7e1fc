// X error handling; kept apart because Xlib's macros clash with engine names.
#include "XErrorGuard.h"

#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

namespace
{
// GLX error numbers are relative to the extension's first error code.
const int GLXBadContextTag = 4;
int GlxOpcode = -1;
int GlxFirstError = -1;

int OnXError(Display* display, XErrorEvent* error)
{
	if (GlxFirstError >= 0 && error->request_code == GlxOpcode &&
	    error->error_code == GlxFirstError + GLXBadContextTag)
		return 0;

	char text[256];
	XGetErrorText(display, error->error_code, text, sizeof(text));
	std::fprintf(stderr, "tolvane: X error \"%s\" (code %d, request %d.%d); stopping.\n", text,
	             error->error_code, error->request_code, error->minor_code);
	std::fflush(stderr);
	std::_Exit(1);
}
} // namespace

void InstallXErrorHandler()
{
	// The engine opens its own connection; the extension's codes are the
	// server's, so a short connection of our own can look them up.
	if (Display* display = XOpenDisplay(nullptr))
	{
		int firstEvent = 0;
		if (!XQueryExtension(display, "GLX", &GlxOpcode, &firstEvent, &GlxFirstError))
			GlxOpcode = GlxFirstError = -1;
		XCloseDisplay(display);
	}
	XSetErrorHandler(OnXError);
}
