// CModel: one editable object of the scene; see CModel.h.
#include "CModel.h"

const CModel::SMaterialEntry CModel::MATERIALS[CModel::MATERIAL_COUNT] = {
    {video::EMT_SOLID, L"SOLID", "EMT_SOLID"},
    {video::EMT_SOLID_2_LAYER, L"SOLID_2_LAYER", "EMT_SOLID_2_LAYER"},
    {video::EMT_LIGHTMAP, L"LIGHTMAP", "EMT_LIGHTMAP"},
    {video::EMT_LIGHTMAP_ADD, L"LIGHTMAP_ADD", "EMT_LIGHTMAP_ADD"},
    {video::EMT_LIGHTMAP_M2, L"LIGHTMAP_M2", "EMT_LIGHTMAP_M2"},
    {video::EMT_LIGHTMAP_M4, L"LIGHTMAP_M4", "EMT_LIGHTMAP_M4"},
    {video::EMT_LIGHTMAP_LIGHTING, L"LIGHTMAP_LIGHTING", "EMT_LIGHTMAP_LIGHTING"},
    {video::EMT_LIGHTMAP_LIGHTING_M2, L"LIGHTMAP_LIGHTING_M2", "EMT_LIGHTMAP_LIGHTING_M2"},
    {video::EMT_LIGHTMAP_LIGHTING_M4, L"LIGHTMAP_LIGHTING_M4", "EMT_LIGHTMAP_LIGHTING_M4"},
    {video::EMT_SPHERE_MAP, L"SPHERE_MAP", "EMT_SPHERE_MAP"},
    {video::EMT_REFLECTION_2_LAYER, L"REFLECTION_2_LAYER", "EMT_REFLECTION_2_LAYER"},
    {video::EMT_TRANSPARENT_ADD_COLOR, L"TRANS_ADD_COLOR", "EMT_TRANSPARENT_ADD_COLOR"},
    {video::EMT_TRANSPARENT_ALPHA_CHANNEL, L"TRANS_ALPHA_CHANNEL", "EMT_TRANSPARENT_ALPHA_CHANNEL"},
    {video::EMT_TRANSPARENT_VERTEX_ALPHA, L"TRANS_VERTEX_ALPHA", "EMT_TRANSPARENT_VERTEX_ALPHA"},
    {video::EMT_TRANSPARENT_REFLECTION_2_LAYER, L"TRANS_REFLECT_2_LAYER",
     "EMT_TRANSPARENT_REFLECTION_2_LAYER"},
};

CModel::CModel(scene::ISceneManager* mgr)
    : _smgr(mgr), Node(0), AnimatedNode(0), Mesh(0), MODEL_TYPE(TYPE_EMPTY), MaterialType(0),
      Shadow(false), Fog(false), Lighting(false), Wireframe(false), water_Material(0),
      water_TileCount(0), water_TileSize(1.0f), water_HillHeight(1.0f), water_HillCountX(1.0f),
      water_HillCountY(1.0f), water_TextureCountX(1.0f), water_TextureCountY(1.0f),
      water_WaveHeight(1.0f), water_WaveLength(1.0f), water_WaveSpeed(1.0f)
{
}

// Nodes belong to the scene manager; whoever needs them gone calls remove().
CModel::~CModel() {}

const CModel::SMaterialEntry& CModel::material(s32 index)
{
	return MATERIALS[index >= 0 && index < MATERIAL_COUNT ? index : 0];
}

video::E_MATERIAL_TYPE CModel::engineMaterialType(s32 index)
{
	return material(index).Type;
}

template <typename Action> void CModel::forEachNode(Action action)
{
	if (Node)
		action(Node);
	if (AnimatedNode)
		action(AnimatedNode);
}

void CModel::setDebugDataVisible(bool t_f)
{
	const scene::E_DEBUG_SCENE_TYPE state = t_f ? scene::EDS_BBOX : scene::EDS_OFF;
	forEachNode([state](scene::ISceneNode* n) { n->setDebugDataVisible(state); });
}

void CModel::setPosition(core::vector3df npos)
{
	forEachNode([&npos](scene::ISceneNode* n) { n->setPosition(npos); });
}

void CModel::setRotation(core::vector3df nrot)
{
	forEachNode([&nrot](scene::ISceneNode* n) { n->setRotation(nrot); });
}

void CModel::setScale(core::vector3df nscale)
{
	forEachNode([&nscale](scene::ISceneNode* n) { n->setScale(nscale); });
}

// The getters read Node first; an object without nodes reads as the origin
// (and unit scale), which no caller relies on.
core::vector3df CModel::getPosition()
{
	if (Node)
		return Node->getPosition();
	return AnimatedNode ? AnimatedNode->getPosition() : core::vector3df(0, 0, 0);
}

core::vector3df CModel::getRotation()
{
	if (Node)
		return Node->getRotation();
	return AnimatedNode ? AnimatedNode->getRotation() : core::vector3df(0, 0, 0);
}

core::vector3df CModel::getScale()
{
	if (Node)
		return Node->getScale();
	return AnimatedNode ? AnimatedNode->getScale() : core::vector3df(1, 1, 1);
}

namespace
{
// The nodes of other objects that hang from a node being removed go to the
// scene's root first: the engine would delete them with it. Objects' nodes
// carry their slot (1 to 99) as their id.
void ReleaseObjectChildren(scene::ISceneNode* node)
{
	const core::list<scene::ISceneNode*> children = node->getChildren();
	for (scene::ISceneNode* child : children)
		if (child->getID() > 0 && child->getID() < 100)
			child->setParent(node->getSceneManager()->getRootSceneNode());
}
} // namespace

void CModel::remove()
{
	forEachNode(ReleaseObjectChildren);
	if (Node)
	{
		Node->setDebugDataVisible(scene::EDS_OFF);
		Node->remove();
		Node = 0;
	}
	if (AnimatedNode)
	{
		AnimatedNode->setDebugDataVisible(scene::EDS_OFF);
		AnimatedNode->remove();
		AnimatedNode = 0;
	}
}

void CModel::setModelID(int i_d)
{
	forEachNode([i_d](scene::ISceneNode* n) { n->setID(i_d); });
}

void CModel::setFlag(video::E_MATERIAL_FLAG flag, bool value)
{
	forEachNode([flag, value](scene::ISceneNode* n) { n->setMaterialFlag(flag, value); });
}

bool CModel::setFog(bool t_f)
{
	setFlag(video::EMF_FOG_ENABLE, t_f);
	Fog = t_f;
	return true;
}

bool CModel::setLighting(bool t_f)
{
	setFlag(video::EMF_LIGHTING, t_f);
	Lighting = t_f;
	return true;
}

bool CModel::setWireframe(bool t_f)
{
	setFlag(video::EMF_WIREFRAME, t_f);
	Wireframe = t_f;
	return true;
}

void CModel::setMaterialType(int type)
{
	MaterialType = type;
	const video::E_MATERIAL_TYPE engineType = engineMaterialType(type);
	if (AnimatedNode)
		AnimatedNode->setMaterialType(engineType);
	if (Node)
		Node->setMaterialType(engineType);
}

s32 CModel::getMaterialType()
{
	return MaterialType;
}

void CModel::buildWater(const io::path& meshName, const core::dimension2d<f32>& tileSize,
                        const core::dimension2d<u32>& tileCount, f32 hillHeight,
                        const core::dimension2d<f32>& hillCount,
                        const core::dimension2d<f32>& textureCount, f32 waveHeight, f32 waveSpeed,
                        f32 waveLength)
{
	Mesh = _smgr->addHillPlaneMesh(meshName, tileSize, tileCount, 0, hillHeight, hillCount,
	                               textureCount);
	// The engine adds a mesh name once: a surface built again under the same
	// name takes the mesh the cache already holds.
	if (!Mesh)
		Mesh = _smgr->getMeshCache()->getMeshByName(meshName);
	if (!Mesh)
		return;
	Node = _smgr->addWaterSurfaceSceneNode(Mesh->getMesh(0, 255, -1, -1), waveHeight, waveSpeed,
	                                       waveLength, 0, -1);
	MODEL_TYPE = TYPE_WATER;
}

void CModel::addWater()
{
	addWater(3.0f, 20.0f, 300.0f);
}

void CModel::addWater(f32 waveHeight, f32 waveLength, f32 waveSpeed)
{
	buildWater("NewWater", core::dimension2d<f32>(WATER_TILE_SIDE, WATER_TILE_SIDE),
	           core::dimension2d<u32>(WATER_TILES, WATER_TILES), 0.0f,
	           core::dimension2d<f32>(0.0f, 0.0f), core::dimension2d<f32>(10.0f, 10.0f), waveHeight,
	           waveSpeed, waveLength);
}

void CModel::updateWater(const char* /*Name*/, int tile_count, f32 tile_size, f32 hill_height,
                         f32 hill_countX, f32 hill_countY, f32 texture_countX, f32 texture_countY)
{
	const u32 count = tile_count > 0 ? static_cast<u32>(tile_count) : 1;
	buildWater("TEST", core::dimension2d<f32>(tile_size, tile_size),
	           core::dimension2d<u32>(count, count), hill_height,
	           core::dimension2d<f32>(hill_countX, hill_countY),
	           core::dimension2d<f32>(texture_countX, texture_countY), water_WaveHeight,
	           water_WaveSpeed, water_WaveLength);
}

// Takes the water surface out of the scene, leaving a mesh model's node alone.
void CModel::removeWater()
{
	if (!Node)
		return;
	Node->setDebugDataVisible(scene::EDS_OFF);
	Node->remove();
	Node = 0;
}
