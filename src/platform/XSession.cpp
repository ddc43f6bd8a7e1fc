// Kept apart from the engine's headers: Xlib's macros clash with its names.
#include "XSession.h"

#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <unistd.h>

namespace
{
Atom Protocols = None, DeleteWindow = None;
bool CloseRequested = false;
Bool (*ConvertClientMessage)(Display*, XEvent*, xEvent*) = nullptr;
void (*Lost)() = nullptr;

// Xlib turns every client message from the wire into an event here; one
// that is dropped never reaches the engine's event queue.
Bool OnClientMessage(Display* display, XEvent* event, xEvent* wire)
{
	const Bool keep = ConvertClientMessage(display, event, wire);
	if (keep && event->type == ClientMessage && event->xclient.message_type == Protocols &&
	    static_cast<Atom>(event->xclient.data.l[0]) == DeleteWindow)
	{
		CloseRequested = true;
		return False;
	}
	return keep;
}

int OnIOError(Display*)
{
	if (Lost)
		Lost();
	_exit(1);
}
} // namespace

void InterceptWindowClose(void* display)
{
	Display* x = static_cast<Display*>(display);
	if (!x || ConvertClientMessage)
		return;
	Protocols = XInternAtom(x, "WM_PROTOCOLS", False);
	DeleteWindow = XInternAtom(x, "WM_DELETE_WINDOW", False);
	ConvertClientMessage = XESetWireToEvent(x, ClientMessage, OnClientMessage);
}

bool TakeCloseRequest()
{
	const bool requested = CloseRequested;
	CloseRequested = false;
	return requested;
}

void OnConnectionLost(void (*lost)())
{
	Lost = lost;
	XSetIOErrorHandler(OnIOError);
}
