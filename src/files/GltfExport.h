// Writes engine meshes as one binary glTF 2.0 file (.glb): a node per
// object with its name and world transform, a mesh per object from its
// mesh buffers, a material per distinct look and the base colour textures
// embedded. A hidden object's node says so in its extras: {"visible": false}. It takes plain inputs
// and knows nothing of the editor.
#ifndef TOLVANE_GLTFEXPORT_H
#define TOLVANE_GLTFEXPORT_H

#include <irrlicht.h>
#include <string>
#include <vector>

using namespace irr;

namespace gltf
{
//! One object of the scene as it is drawn.
struct SObject
{
	std::string Name;
	//! Its buffers as drawn now (an animated mesh's current frame).
	const scene::IMesh* Mesh = 0;
	//! The node's material of each buffer; a buffer without one here keeps
	//! the buffer's own.
	std::vector<video::SMaterial> Materials;
	core::matrix4 World;
	//! Hidden in the editor: written all the same, marked as not visible.
	bool Hidden = false;
};

struct SResult
{
	//! Nodes written with a mesh.
	int Meshes = 0;
	//! Of those, the ones marked as not visible.
	int Hidden = 0;
	//! Objects left out because they had no triangles.
	std::vector<std::string> Empty;
	//! Textures whose pixels could be had neither from their file nor from
	//! the driver (the null driver keeps none), by their name.
	std::vector<std::string> TexturesLeftOut;
};

//! The .glb bytes of the objects. A texture is embedded as the bytes of the
//! PNG or JPEG file it was loaded from, or else as PNG encoded from the
//! pixels the driver holds. Irrlicht's left-handed coordinates become
//! glTF's right-handed ones by mirroring Z. False only when the writer fails.
bool WriteGlb(const std::vector<SObject>& objects, video::IVideoDriver* driver,
              io::IFileSystem* files, std::string& bytes, SResult& result);
} // namespace gltf

#endif
