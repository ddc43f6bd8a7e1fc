// xerror_probe: runs the editor's X error handler against a real X server.
// It first hands the handler the vertical-sync error (GLXBadContextTag), which
// must pass, prints "passed", then makes a request on a window that does not
// exist (BadWindow), which must end the process with status 1.
#include <X11/Xlib.h>
#include <cstdio>

#include "XErrorGuard.h"

int main()
{
	InstallXErrorHandler();
	Display* display = XOpenDisplay(nullptr);
	if (!display)
		return 2;
	int opcode = 0, firstEvent = 0, firstError = 0;
	if (!XQueryExtension(display, "GLX", &opcode, &firstEvent, &firstError))
		return 2;

	XErrorHandler handler = XSetErrorHandler(nullptr);
	XSetErrorHandler(handler);
	XErrorEvent vsync = {};
	vsync.type = 0;
	vsync.display = display;
	vsync.request_code = static_cast<unsigned char>(opcode);
	vsync.error_code = static_cast<unsigned char>(firstError + 4); // GLXBadContextTag
	handler(display, &vsync);
	std::printf("passed\n");
	std::fflush(stdout);

	XMapWindow(display, 0x7fffffe);
	XSync(display, False);
	std::printf("still running\n");
	return 0;
}
