// Half-Life models (.mdl) may keep their textures and some of their
// animations in companion files beside them. The engine's loader reads a
// full model header from every companion and animation data at offsets the
// main file gives, without comparing either with the companion's size: a
// short or missing companion makes it read past its buffer, at load time
// and again whenever the animation reaches such a sequence. What it reads
// there depends on the process's heap, so a trial load in another process
// cannot vouch for it; such models are refused before the engine sees them.
#ifndef TOLVANE_HALFLIFECHECK_H
#define TOLVANE_HALFLIFECHECK_H

#include <irrlicht.h>

//! False for a Half-Life model whose companion files are missing or too
//! short for what the model reads from them; true for every other file.
bool HalfLifeCompanionsComplete(irr::io::IFileSystem* fileSystem, const irr::io::path& file);

#endif
