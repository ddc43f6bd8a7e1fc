#include "ModelShadow.h"

using namespace irr;

scene::ISceneNode* ShadowVolumeOf(scene::ISceneNode* node)
{
	for (scene::ISceneNode* child : node->getChildren())
		if (child->getType() == scene::ESNT_SHADOW_VOLUME)
			return child;
	return 0;
}

void MatchShadow(scene::IAnimatedMeshSceneNode* node, bool shadow)
{
	if (!node)
		return;
	scene::ISceneNode* volume = ShadowVolumeOf(node);
	if (shadow && !volume)
	{
		// The flag is what a scene file keeps and the export writes; the
		// volume is only drawn, never saved or picked.
		volume = node->addShadowVolumeSceneNode();
		if (volume)
			volume->setIsDebugObject(true);
	}
	else if (!shadow && volume)
		volume->remove();
}
