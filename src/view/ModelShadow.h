// A model's stencil shadow: the engine's shadow volume, cast from the scene's
// lights, follows the model's "Shadow" flag.
#ifndef TOLVANE_MODELSHADOW_H
#define TOLVANE_MODELSHADOW_H

#include <irrlicht.h>

//! Gives the node a shadow volume, or takes it away, as `shadow` says.
void MatchShadow(irr::scene::IAnimatedMeshSceneNode* node, bool shadow);

//! The node's shadow volume, or null.
irr::scene::ISceneNode* ShadowVolumeOf(irr::scene::ISceneNode* node);

#endif
