// What the engine's key events leave out, read from the X server of the
// editor's window: which physical key is held, and a wait for the window's
// next event.
#ifndef TOLVANE_XINPUT_H
#define TOLVANE_XINPUT_H

#include <irrlicht.h>

//! The X display of an OpenGL window, or null (the null driver has none).
void* WindowDisplay(irr::video::IVideoDriver* driver);

//! Whether the keypad key behind an engine keypad code (KEY_NUMPAD2 ...) is
//! held down right now. With NumLock off X11 reports keypad 8 as the up
//! arrow, and so on; only the keyboard's key codes tell the two apart.
bool KeypadKeyHeld(void* display, irr::EKEY_CODE keypad);

//! Sleeps until the X server has something for the window, at most `ms`.
void WaitForWindowEvents(void* display, int ms);

//! Whether events for the window wait to be handled (false without a display).
bool WindowEventsQueued(void* display);

#endif
