// What an undo step restores: the editor's scene as names and values, with
// no engine object in it (meshes and textures are named by the files they
// came from, and found again in the engine's caches or loaded again).
// Records that a step leaves unchanged are shared with the step before, so
// a step costs about the models it changed.
#ifndef TOLVANE_SCENESTATE_H
#define TOLVANE_SCENESTATE_H

#include <irrlicht.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Finite.h"

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

//! Numbers compare by their bits: a value is always equal to itself (NaN
//! too), so that a record never differs from its own copy.
inline bool SameBits(const irr::core::vector3df& a, const irr::core::vector3df& b)
{
	return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool SameBits(const std::vector<irr::f32>& a, const std::vector<irr::f32>& b)
{
	return a.size() == b.size() && (a.empty() || !std::memcmp(a.data(), b.data(), a.size() * 4));
}

//! One object of the scene: a mesh model, or the water surface (held in
//! entry 0 of the table, which never holds a model).
struct SModelState
{
	std::string Mesh;
	TextureNames Textures[2];
	irr::s32 Type = 0;
	irr::s32 Material = 0;
	bool Shadow = false, Fog = false, Lighting = false, Wireframe = false;
	irr::core::stringw FileName, TextureName, TextureName2;
	irr::core::vector3df Position, Rotation, Scale{1, 1, 1};
	//! A hidden object is not drawn; a locked one is drawn but never picked.
	bool Visible = true, Locked = false;
	//! The values only this kind of object has (the water's waves), in the
	//! order its kind names them.
	std::vector<irr::f32> Values;
	//! The slot of the object this one hangs from (its transform is relative
	//! to that object's), -1 for none; and the name the list shows.
	irr::s32 Parent = -1;
	irr::core::stringw Name;
	//! What a scene of another tool held for the object that the editor does
	//! not edit, as XML text written back unchanged: attributes its node does
	//! not know (and the node's own id), to go inside the node's attribute
	//! list; animators and nodes of kinds the editor does not hold, to go
	//! inside the node after its own parts.
	irr::core::stringw KeptAttributes, Kept;
	//! The material settings such a scene gave each of the object's
	//! materials other than those the editor edits (type, lighting,
	//! wireframe, fog, textures), as one <attributes> element a material:
	//! colours, shininess, culling... given to its node as it is built.
	irr::core::stringw KeptMaterials;

	//! Field by field (RecordFields.h).
	bool operator==(const SModelState& other) const;
};

//! One piece of world geometry: the file it came from (empty: none), the
//! level's name inside its archive, its textures, and whether it is hidden
//! (not drawn) or locked (drawn, never picked).
struct SWorldPiece
{
	std::string File;
	std::string Name;
	TextureNames Textures;
	bool Hidden = false, Locked = false;

	//! Whether the same node shows both: hiding and locking build nothing.
	bool SameBuild(const SWorldPiece& other) const
	{
		return File == other.File && Name == other.Name && Textures == other.Textures;
	}
	bool operator==(const SWorldPiece& other) const
	{
		return SameBuild(other) && Hidden == other.Hidden && Locked == other.Locked;
	}
};

struct SWorldState
{
	SWorldPiece Plane, Terrain, Level;
	//! The sky box's six textures in its material order, empty: none.
	TextureNames Sky;
	bool SkyHidden = false, SkyLocked = false;
	//! "SkyBox Setup" as it was when the sky box was built: the folder, then
	//! the faces up, down, left, right, front and back.
	irr::core::stringw SkyTexts[7];
	//! The scene colour, then the fog colour: red, green, blue each.
	irr::s32 Bars[6] = {};
	irr::core::vector3df MarkerPosition, MarkerRotation;
	int CurrentModel = 0;
	//! Nodes of kinds the editor does not hold that stood at the top of a
	//! scene of another tool, as XML text written back unchanged.
	irr::core::stringw Kept;

	bool operator==(const SWorldState& other) const
	{
		if (Kept != other.Kept)
			return false;
		for (int i = 0; i < 6; ++i)
			if (Bars[i] != other.Bars[i])
				return false;
		for (int i = 0; i < 7; ++i)
			if (SkyTexts[i] != other.SkyTexts[i])
				return false;
		return Plane == other.Plane && Terrain == other.Terrain && Level == other.Level &&
		       Sky == other.Sky && SkyHidden == other.SkyHidden && SkyLocked == other.SkyLocked &&
		       SameBits(MarkerPosition, other.MarkerPosition) &&
		       SameBits(MarkerRotation, other.MarkerRotation) && CurrentModel == other.CurrentModel;
	}
};

//! Entry 0 of the object table holds the water surface; 1 to 99 models.
const int WATER_SLOT = 0;
const int OBJECT_SLOTS = 100;

// The checks every value read from a scene file or a recovery file passes
// before the editor uses it.

//! A name longer than this is no name a scene holds.
const irr::u32 LONGEST_NAME = 4096;

//! Whether text can stand in a scene: no NUL and no character past Unicode.
inline bool TextIsSound(const wchar_t* text, size_t length)
{
	for (size_t i = 0; i < length; ++i)
		if (text[i] == 0 || static_cast<irr::u32>(text[i]) > 0x10FFFF)
			return false;
	return true;
}

//! Whether an object may stand in `slot`: the water surface in WATER_SLOT
//! only, every other kind in 1 to 99.
inline bool SlotFits(int slot, bool water)
{
	return water ? slot == WATER_SLOT : slot > WATER_SLOT && slot < OBJECT_SLOTS;
}

//! Whether a slot counter (the slot filled last, 0 for none) is one the
//! table has.
inline bool CounterFits(int counter)
{
	return counter >= 0 && counter < OBJECT_SLOTS;
}

struct SSceneState
{
	//! Slot by slot; null where the slot holds no object.
	std::shared_ptr<const SModelState> Models[OBJECT_SLOTS];
	std::shared_ptr<const SWorldState> World;

	bool operator==(const SSceneState& other) const
	{
		for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
			if (Models[slot] != other.Models[slot] &&
			    (!Models[slot] || !other.Models[slot] || !(*Models[slot] == *other.Models[slot])))
				return false;
		return World == other.World || (World && other.World && *World == *other.World);
	}
};

#endif
