// The editor's side of the hand-over: the plain data the load-check helper
// wrote for a file (TransferFormat.h) is checked in full and only then
// built into engine objects. The engine's file loaders never run in the
// editor on a file the user chose; what the helper's loader produced is
// refused as damaged unless every size, index and number is sound (a value
// only drawing uses that is no number is drawn as 0).
#ifndef TOLVANE_LOADEDDATA_H
#define TOLVANE_LOADEDDATA_H

#include <irrlicht.h>
#include <string>
#include <vector>

namespace loaded
{
//! What a file held, once checked.
struct SContent
{
	SContent() = default;
	SContent(const SContent&) = delete;
	SContent& operator=(const SContent&) = delete;
	~SContent();

	//! The levels of an archive (REC_NAMES).
	std::vector<std::string> Names;
	//! An image and the name the engine's texture cache gives its file.
	irr::video::IImage* Image = 0;
	irr::io::path ImageName;
	//! A mesh, its textures already in the driver's cache.
	irr::scene::IAnimatedMesh* Mesh = 0;
	//! The mesh is of a kind that cannot be rebuilt from data.
	bool Keep = false;
	//! The file loaded, but as a mesh with no triangles to draw.
	bool Empty = false;
	//! The size of an image too large for the editor (REC_IMAGE_SIZE);
	//! zero when none came.
	irr::core::dimension2du TooLarge;
	//! Where a player starts a level (REC_START): origin x, y, z, angle.
	bool HasStart = false;
	float Start[4] = {};
	//! Why the helper's model reader refused the file (REC_REFUSAL),
	//! printable ASCII; empty when it did not.
	std::string Refusal;
};

//! Reads and checks what the helper wrote into the shared memory `fd`;
//! false when anything is out of bounds or not a number, and then nothing
//! of it is kept (no texture enters the driver's cache).
bool Read(int fd, irr::video::IVideoDriver* driver, irr::scene::ISceneManager* smgr,
          SContent& content);
} // namespace loaded

#endif
