// The objects' tree: each object may hang from another (SModelState::Parent),
// its transform then relative to that object's. What walks the tree, checks
// it, moves objects in it keeping their place in the world, and suggests
// names that no other object has.
#ifndef TOLVANE_SCENETREE_H
#define TOLVANE_SCENETREE_H

#include <string>
#include <vector>

#include "SceneState.h"

namespace scenetree
{
//! An object as it stood when an edit of several began: its world
//! transform and its own scale, which later steps of the edit start from.
struct SHeld
{
	int Slot;
	irr::core::matrix4 World;
	irr::core::vector3df Scale;
};

//! The object's transform relative to its parent, as the engine builds it.
irr::core::matrix4 LocalTransform(const SModelState& record);
//! The object's transform in the world: its parents' applied.
irr::core::matrix4 WorldTransform(const SSceneState& scene, int slot);
//! Gives the record the position, rotation and scale of `local`.
void SetTransform(SModelState& record, const irr::core::matrix4& local);

//! The slots of the objects that hang from `slot`, directly.
std::vector<int> Children(const SSceneState& scene, int slot);
//! `slot` and everything below it, each parent before its children.
std::vector<int> Subtree(const SSceneState& scene, int slot);
//! Whether `ancestor` is `slot` or one of its parents.
bool IsAncestor(const SSceneState& scene, int ancestor, int slot);
//! How many parents an object has above it.
int Depth(const SSceneState& scene, int slot);

//! Whether every parent is an object of slots 1 to 99 and no object is its
//! own ancestor; when not, what is wrong ("model in slot 4 hangs from slot
//! 7, which holds no object").
bool TreeIsSound(const SSceneState& scene, std::wstring& problem);

//! The name a new object of `record`'s kind starts with: a model's mesh
//! file name, else its kind's name.
std::wstring BaseName(const SModelState& record);
//! What lists and step names call an object: its name, else its BaseName
//! (an object of a file written before objects had names).
std::wstring DisplayName(const SModelState& record);
//! `base` when no object but `except` has that name, else "base 2",
//! "base 3"... (a base that ends in " N" counts on from there).
std::wstring SuggestedName(const SSceneState& scene, const std::wstring& base, int except = -1);
} // namespace scenetree

#endif
