#include "DialogFolders.h"

#include "CEventRec.h"

namespace
{
enum EPurpose
{
	PURPOSE_MESH,
	PURPOSE_TEXTURE,
	PURPOSE_LEVEL,
	PURPOSE_HEIGHT_MAP,
	PURPOSE_SCENE,
	PURPOSE_EXPORT
};

// A model and a ground plane are both meshes; every image but a height map
// is a texture.
EPurpose Purpose(int loadType)
{
	switch (loadType)
	{
	case LOAD_MODEL:
	case LOAD_PLANE: return PURPOSE_MESH;
	case LOAD_Q3_LEVEL: return PURPOSE_LEVEL;
	case LOAD_TERRAIN: return PURPOSE_HEIGHT_MAP;
	case LOAD_SCENE: return PURPOSE_SCENE;
	case LOAD_EXPORT_FOLDER:
	case LOAD_GLTF_FOLDER: return PURPOSE_EXPORT;
	default: return PURPOSE_TEXTURE;
	}
}
} // namespace

std::string CDialogFolders::startFolder(int loadType) const
{
	const auto found = Folders.find(Purpose(loadType));
	return found == Folders.end() ? std::string() : found->second;
}

void CDialogFolders::chosen(int loadType, const std::string& file)
{
	const size_t slash = file.rfind('/');
	if (slash != std::string::npos)
		Folders[Purpose(loadType)] = slash == 0 ? "/" : file.substr(0, slash);
}
