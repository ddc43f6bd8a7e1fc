// CModel: the editor's handle on one editable scene object, either a mesh
// model (an animated mesh node) or a water surface (a water node over a
// generated hill-plane mesh). It forwards transforms and material settings
// to whichever node it holds and remembers what the export writes back.
#ifndef TOLVANE_CMODEL_H
#define TOLVANE_CMODEL_H

#include <irrlicht.h>
#include <vector>

using namespace irr;

class CModel
{
public:
	//! Kinds of object kept in MODEL_TYPE.
	enum
	{
		TYPE_EMPTY = 0,
		TYPE_MESH = 1,
		TYPE_WATER = 2,
		TYPE_PARTICLES = 3,
		TYPE_LIGHT = 4,
		TYPE_BILLBOARD = 5,
		TYPE_CUBE = 6,
		TYPE_SPHERE = 7,
		TYPE_CAMERA = 8,
		TYPE_SKYDOME = 9,
		TYPE_GROUP = 10
	};

	//! Number of entries in the material lists (editor material index 0..14).
	static const s32 MATERIAL_COUNT = 15;
	//! A water surface made by addWater: tiles of this side, this many a row.
	static constexpr f32 WATER_TILE_SIDE = 20.0f;
	static constexpr u32 WATER_TILES = 40;
	//! One entry of the material lists: the engine type it applies, the text
	//! the lists show and the type's name in exported source.
	struct SMaterialEntry
	{
		video::E_MATERIAL_TYPE Type;
		const wchar_t* ListText;
		const char* SourceName;
	};
	//! The entries in the order of the editor material index.
	static const SMaterialEntry MATERIALS[MATERIAL_COUNT];
	//! The entry of an editor material index; EMT_SOLID's outside 0..14.
	static const SMaterialEntry& material(s32 index);

	explicit CModel(scene::ISceneManager* mgr);
	~CModel();

	void setDebugDataVisible(bool t_f);
	void setPosition(core::vector3df npos);
	void setRotation(core::vector3df nrot);
	void setScale(core::vector3df nscale);
	core::vector3df getPosition();
	core::vector3df getRotation();
	core::vector3df getScale();
	void remove();
	void setModelID(int i_d);

	bool setFog(bool t_f);
	bool setLighting(bool t_f);
	bool setWireframe(bool t_f);
	void setMaterialType(int type);
	s32 getMaterialType();

	void addWater();
	//! The default surface with waves of its own.
	void addWater(f32 waveHeight, f32 waveLength, f32 waveSpeed);
	void updateWater(const char* Name, int tile_count, f32 tile_size, f32 hill_height,
	                 f32 hill_countX, f32 hill_countY, f32 texture_countX, f32 texture_countY);
	void removeWater();

	//! Engine material type for an editor material index; EMT_SOLID outside 0..14.
	static video::E_MATERIAL_TYPE engineMaterialType(s32 index);

	scene::ISceneManager* _smgr;
	scene::ISceneNode* Node;
	scene::IAnimatedMeshSceneNode* AnimatedNode;
	scene::IAnimatedMesh* Mesh;
	s32 MODEL_TYPE;
	s32 MaterialType;
	bool Shadow;
	bool Fog;
	bool Lighting;
	bool Wireframe;
	core::stringw FileName;
	core::stringw TextureName;
	core::stringw TextureName2;
	video::SMaterial* water_Material;
	s32 water_TileCount;
	f32 water_TileSize;
	f32 water_HillHeight;
	f32 water_HillCountX;
	f32 water_HillCountY;
	f32 water_TextureCountX;
	f32 water_TextureCountY;
	f32 water_WaveHeight;
	f32 water_WaveLength;
	f32 water_WaveSpeed;
	//! The values of its kind that have no field of their own (a particle
	//! system's settings), in the order the kind names them.
	std::vector<f32> Values;
	//! The slot of the object whose node holds this one's (-1: the scene's
	//! root), and the object's name.
	s32 Parent = -1;
	core::stringw Name;

private:
	//! Node and then AnimatedNode, each only when set.
	template <typename Action> void forEachNode(Action action);
	void setFlag(video::E_MATERIAL_FLAG flag, bool value);
	void buildWater(const io::path& meshName, const core::dimension2d<f32>& tileSize,
	                const core::dimension2d<u32>& tileCount, f32 hillHeight,
	                const core::dimension2d<f32>& hillCount,
	                const core::dimension2d<f32>& textureCount, f32 waveHeight, f32 waveSpeed,
	                f32 waveLength);
};

#endif
