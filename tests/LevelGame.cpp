// A small game built on an exported level: it compiles with the exported
// Level.cpp, rebuilds the level on the null driver, once on the heap and once
// on the stack as games use it, and prints every rebuilt node (models,
// particle systems, lights, cameras..., and where each in a parent stands)
// so that a test can compare it with the editor's scene.
#include <cstdio>

#include "Level.h"

namespace
{
const char* MeshName(ISceneManager* smgr, ISceneNode* node)
{
	if (node->getType() != ESNT_ANIMATED_MESH)
		return "";
	IAnimatedMesh* mesh = static_cast<IAnimatedMeshSceneNode*>(node)->getMesh();
	return mesh ? smgr->getMeshCache()->getMeshName(mesh).getPath().c_str() : "";
}

const char* TextureName(ISceneNode* node)
{
	ITexture* texture = node->getMaterialCount() ? node->getMaterial(0).getTexture(0) : 0;
	return texture ? texture->getName().getPath().c_str() : "";
}

void PrintVector(const vector3df& v)
{
	std::printf("|%.4f %.4f %.4f", v.X, v.Y, v.Z);
}

// A node other than a model: slot|its type|its attributes as the engine
// writes them (a particle system's emitter and affectors included)|material|
// texture, and for a camera whether it is the active one.
void PrintAttributes(ISceneManager* smgr, int slot, ISceneNode* node)
{
	IAttributes* attributes = smgr->getFileSystem()->createEmptyAttributes();
	node->serializeAttributes(attributes);
	std::printf("%d|%s|", slot, smgr->getSceneNodeTypeName(node->getType()));
	for (u32 i = 0; i < attributes->getAttributeCount(); ++i)
		std::printf("%s=%s;", attributes->getAttributeName(i),
		            stringc(attributes->getAttributeAsString(i)).c_str());
	attributes->drop();
	std::printf("|%d|%s", int(node->getMaterial(0).MaterialType), TextureName(node));
	if (node->getType() == ESNT_CAMERA)
		std::printf("|%d", int(smgr->getActiveCamera() == node));
	std::printf("\n");
}

// One line per rebuilt node:
// slot|mesh|position|rotation|scale|material|lighting|wireframe|texture, and
// for a model |start end|speed|looping
void PrintNode(ISceneManager* smgr, int slot, ISceneNode* node)
{
	const SMaterial& material = node->getMaterial(0);
	std::printf("%d|%s", slot, MeshName(smgr, node));
	PrintVector(node->getPosition());
	PrintVector(node->getRotation());
	PrintVector(node->getScale());
	std::printf("|%d|%d|%d|%s", int(material.MaterialType), int(material.Lighting),
	            int(material.Wireframe), TextureName(node));
	if (node->getType() == ESNT_ANIMATED_MESH)
	{
		const IAnimatedMeshSceneNode* model = static_cast<IAnimatedMeshSceneNode*>(node);
		std::printf("|%d %d|%.2f|%d", model->getStartFrame(), model->getEndFrame(),
		            model->getAnimationSpeed(), int(model->getLoopMode()));
	}
	std::printf("\n");
}

// Each node in a parent's: 200 + slot|in <parent slot>|world position.
void PrintTree(const TLVNLevel& level)
{
	level._smgr->getRootSceneNode()->OnAnimate(0); // places every node in the world
	for (int i = 0; i < 100; ++i)
		for (int parent = 0; level.Model[i] && parent < 100; ++parent)
			if (level.Model[parent] && level.Model[i]->getParent() == level.Model[parent])
			{
				std::printf("%d|in %d", 200 + i, parent);
				PrintVector(level.Model[i]->getAbsolutePosition());
				std::printf("\n");
			}
}

// The objects in their slots, then the water surface (node id 101).
void PrintLevel(const TLVNLevel& level)
{
	for (int i = 0; i < 100; ++i)
		if (level.Model[i] && level.Model[i]->getType() != ESNT_ANIMATED_MESH)
			PrintAttributes(level._smgr, i, level.Model[i]);
		else if (level.Model[i])
			PrintNode(level._smgr, i, level.Model[i]);
	ISceneNode* water = level._smgr->getSceneNodeFromId(101);
	if (water && water->getType() == ESNT_WATER_SURFACE)
		PrintNode(level._smgr, 101, water);
	PrintTree(level);
}
} // namespace

int main()
{
	SIrrlichtCreationParameters parameters;
	parameters.DriverType = EDT_NULL;
	parameters.LoggingLevel = ELL_NONE;
	IrrlichtDevice* device = createDeviceEx(parameters);
	if (!device)
		return 2;

	TLVNLevel* onHeap = new TLVNLevel(device);
	onHeap->LoadModels();
	delete onHeap;
	device->getSceneManager()->clear();

	{
		TLVNLevel level(device);
		level.LoadModels();
		PrintLevel(level);
	}
	device->drop();
	return 0;
}
