// Quake 3 levels as games ship them: a level file inside a .pk3 (zip)
// archive or an extracted tree, whose textures may sit in other archives of
// the same data folder. The editor and its load-check helper both load a
// level through here, so that the trial load sees exactly the files the
// editor will read.
#ifndef TOLVANE_QUAKE3LEVEL_H
#define TOLVANE_QUAKE3LEVEL_H

#include <functional>
#include <irrlicht.h>
#include <string>
#include <vector>

//! Whether a file is chosen as an archive (.pk3 or .zip, any case).
bool IsLevelArchive(const std::string& file);

//! The levels of an archive: its entries maps/NAME.bsp (any case), as NAME,
//! sorted. Empty when the file is no archive or holds no level.
std::vector<std::string> ArchiveLevelNames(irr::io::IFileSystem* fileSystem,
                                           const std::string& archive);

//! The name a loaded level is kept under in the engine's mesh cache: one per
//! file and level, so that two archives holding maps/x.bsp never share one.
irr::io::path LevelCacheName(const std::string& chosen, const std::string& levelName);

//! Loads the level `levelName` of an archive, or the chosen .bsp file
//! (`levelName` ignored), with `loaders`. While it loads, the archives and
//! folders holding its textures are mounted as the game would mount them:
//! for an archive, it and every other .pk3 of its folder (in name order);
//! for a .bsp inside a folder named maps, the folder above it and the .pk3
//! files there. They are taken away again afterwards, so that no later file
//! chosen by its path is read from an archive instead. Null on failure.
//! `whileOpen` sees the loaded level while its archives are mounted and its
//! file is open.
irr::scene::IAnimatedMesh* LoadQuake3Level(
    irr::scene::ISceneManager* loaders, const std::string& chosen, const std::string& levelName,
    const std::function<void(irr::scene::IAnimatedMesh*, irr::io::IReadFile*)>& whileOpen = {});

//! Where a player starts a level: the first info_player_deathmatch (else
//! info_player_start) entity's origin, in the level file's coordinates, and
//! its angle in degrees.
struct SLevelStart
{
	irr::core::vector3df Origin;
	irr::f32 Angle = 0;
};
//! False when the level names no start. `level` must be the engine's own
//! Quake 3 level mesh, as its loader made it.
bool FindLevelStart(irr::scene::IQ3LevelMesh& level, SLevelStart& start);

//! Whether a mesh has anything to draw (a buffer with a triangle).
bool HasTriangles(irr::scene::IAnimatedMesh* mesh);

#endif
