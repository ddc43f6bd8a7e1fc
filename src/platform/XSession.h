// How the editor's window and its X connection may end the run: a close
// request from the window manager, and the loss of the connection.
#ifndef TOLVANE_XSESSION_H
#define TOLVANE_XSESSION_H

//! Keeps the window manager's close requests (the window's close button)
//! from the engine, which would end the run at once; TakeCloseRequest then
//! tells that one came. `display` is the engine's X display.
void InterceptWindowClose(void* display);
bool TakeCloseRequest();

//! Calls `lost` when the connection to the X server breaks; the process
//! then ends with status 1.
void OnConnectionLost(void (*lost)());

#endif
