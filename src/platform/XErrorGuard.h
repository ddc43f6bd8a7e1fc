// Installs the editor's X error handler before the engine opens its window.
#ifndef TOLVANE_XERRORGUARD_H
#define TOLVANE_XERRORGUARD_H

//! Lets pass the one X error that a virtual X server answers the vertical
//! sync request with (GLXBadContextTag); any other X error ends the program
//! with a message instead of leaving the engine looping on a dead window.
void InstallXErrorHandler();

#endif
