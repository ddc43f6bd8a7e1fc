// Models of the formats the engine's own loaders do not read (glTF 2.0,
// FBX) or read only in part (Collada), read in the helper by the Open Asset
// Import Library and built as the engine's meshes, so that they are handed
// over as plain data like every other mesh. Only the helper links the
// library: its decoders never run in the editor.
#ifndef TOLVANE_ASSIMPMODEL_H
#define TOLVANE_ASSIMPMODEL_H

#include <irrlicht.h>
#include <string>

#include "MeshTransfer.h"

namespace assimpmodel
{
//! Images a model carries as pixels rather than as an image file, by the
//! name their texture has in the driver's cache; they are handed over as
//! any texture's pixels (PixelSource).
class CEmbeddedPixels
{
public:
	CEmbeddedPixels() = default;
	CEmbeddedPixels(const CEmbeddedPixels&) = delete;
	CEmbeddedPixels& operator=(const CEmbeddedPixels&) = delete;
	~CEmbeddedPixels();
	void add(const irr::io::path& name, irr::video::IImage* image);
	transfer::PixelSource source() const;

private:
	irr::core::map<irr::io::path, irr::video::IImage*> Images;
};

//! The model in the pose its file stores, as a static mesh whose textures
//! are in the driver's cache: image files and compressed embedded images
//! are decoded by the engine's image loaders (and so written by the
//! helper's image recorder), raw embedded pixels go to `embedded`. A file
//! read whole that holds no triangles gives a mesh of none. Null, with the
//! library's reason in `problem`, when the file cannot be read. The caller
//! drops the mesh.
irr::scene::IAnimatedMesh* Load(irr::IrrlichtDevice* device, const irr::io::path& file,
                                CEmbeddedPixels& embedded, std::string& problem);
} // namespace assimpmodel

#endif
