// What an undo step restores: the editor's scene as names and values, with
// no engine object in it (meshes and textures are named by the files they
// came from, and found again in the engine's caches or loaded again).
// Records that a step leaves unchanged are shared with the step before, so
// a step costs about the models it changed.
#ifndef TOLVANE_SCENESTATE_H
#define TOLVANE_SCENESTATE_H

#include <irrlicht.h>

#include <memory>
#include <string>
#include <vector>

//! Texture names of one layer, one per material of a node.
typedef std::vector<std::string> TextureNames;

inline TextureNames LayerNames(irr::scene::ISceneNode* node, irr::u32 layer)
{
	TextureNames names(node->getMaterialCount());
	for (irr::u32 i = 0; i < names.size(); ++i)
	{
		irr::video::ITexture* texture = node->getMaterial(i).getTexture(layer);
		names[i] = texture ? texture->getName().getPath().c_str() : "";
	}
	return names;
}

//! The name every material has in a layer (as "Load Skin" leaves it); empty
//! when there is none or they differ.
inline std::string SharedName(const TextureNames& names)
{
	for (const std::string& name : names)
		if (name != names[0])
			return "";
	return names.empty() ? "" : names[0];
}

struct SModelState
{
	std::string Mesh;
	TextureNames Textures[2];
	irr::s32 Type = 0;
	irr::s32 Material = 0;
	bool Shadow = false, Fog = false, Lighting = false, Wireframe = false;
	irr::core::stringw FileName, TextureName, TextureName2;
	irr::core::vector3df Position, Rotation, Scale;

	bool operator==(const SModelState& other) const
	{
		return Mesh == other.Mesh && Textures[0] == other.Textures[0] &&
		       Textures[1] == other.Textures[1] && Type == other.Type &&
		       Material == other.Material && Shadow == other.Shadow && Fog == other.Fog &&
		       Lighting == other.Lighting && Wireframe == other.Wireframe &&
		       FileName == other.FileName && TextureName == other.TextureName &&
		       TextureName2 == other.TextureName2 && Position == other.Position &&
		       Rotation == other.Rotation && Scale == other.Scale;
	}
};

//! One piece of world geometry: the file it came from (empty: none), the
//! level's name inside its archive, and its textures.
struct SWorldPiece
{
	std::string File;
	std::string Name;
	TextureNames Textures;

	bool operator==(const SWorldPiece& other) const
	{
		return File == other.File && Name == other.Name && Textures == other.Textures;
	}
};

struct SWorldState
{
	SWorldPiece Plane, Terrain, Level;
	//! The sky box's six textures in its material order, empty: none.
	TextureNames Sky;
	irr::s32 Bars[6] = {};
	irr::core::vector3df MarkerPosition, MarkerRotation;
	int CurrentModel = 0;

	bool operator==(const SWorldState& other) const
	{
		for (int i = 0; i < 6; ++i)
			if (Bars[i] != other.Bars[i])
				return false;
		return Plane == other.Plane && Terrain == other.Terrain && Level == other.Level &&
		       Sky == other.Sky && MarkerPosition == other.MarkerPosition &&
		       MarkerRotation == other.MarkerRotation && CurrentModel == other.CurrentModel;
	}
};

struct SSceneState
{
	//! Slot by slot; null where the slot holds no model.
	std::shared_ptr<const SModelState> Models[100];
	std::shared_ptr<const SWorldState> World;
};

#endif
