#include "XInput.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

using namespace irr;

namespace
{
// The keysyms of each keypad key, with NumLock off and on.
struct SKeypadSyms
{
	EKEY_CODE code;
	KeySym off, on;
};
const SKeypadSyms KeypadSyms[] = {
    {KEY_NUMPAD2, XK_KP_Down, XK_KP_2}, {KEY_NUMPAD3, XK_KP_Next, XK_KP_3},
    {KEY_NUMPAD4, XK_KP_Left, XK_KP_4}, {KEY_NUMPAD6, XK_KP_Right, XK_KP_6},
    {KEY_NUMPAD8, XK_KP_Up, XK_KP_8},   {KEY_NUMPAD9, XK_KP_Prior, XK_KP_9}};

bool KeyCodeDown(const char (&keys)[32], KeyCode code)
{
	return code != 0 && (keys[code / 8] & (1 << (code % 8)));
}
} // namespace

void* WindowDisplay(video::IVideoDriver* driver)
{
	if (!driver || driver->getDriverType() != video::EDT_OPENGL)
		return 0;
	return driver->getExposedVideoData().OpenGLLinux.X11Display;
}

bool KeypadKeyHeld(void* display, EKEY_CODE keypad)
{
	Display* x = static_cast<Display*>(display);
	if (!x)
		return false;
	for (const SKeypadSyms& k : KeypadSyms)
		if (k.code == keypad)
		{
			char keys[32];
			XQueryKeymap(x, keys);
			return KeyCodeDown(keys, XKeysymToKeycode(x, k.off)) ||
			       KeyCodeDown(keys, XKeysymToKeycode(x, k.on));
		}
	return false;
}

void WaitForWindowEvents(void* display, int ms)
{
	Display* x = static_cast<Display*>(display);
	if (!x)
	{
		usleep(static_cast<useconds_t>(ms) * 1000);
		return;
	}
	if (XPending(x) > 0)
		return;
	pollfd p = {ConnectionNumber(x), POLLIN, 0};
	poll(&p, 1, ms);
}

bool WindowEventsQueued(void* display)
{
	return display && XPending(static_cast<Display*>(display)) > 0;
}
