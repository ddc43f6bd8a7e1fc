// The objects' tree; see SceneTree.h.
#include "SceneTree.h"

#include <cmath>
#include <cwctype>

#include "CModel.h"
#include "FileNames.h"
#include "ObjectKinds.h"

using namespace irr;

namespace scenetree
{
core::matrix4 LocalTransform(const SModelState& record)
{
	// As ISceneNode::getRelativeTransformation: translation, rotation, scale.
	core::matrix4 local;
	local.setRotationDegrees(record.Rotation);
	local.setTranslation(record.Position);
	core::matrix4 scale;
	scale.setScale(record.Scale);
	return local * scale;
}

core::matrix4 WorldTransform(const SSceneState& scene, int slot)
{
	core::matrix4 world;
	// A sound tree is at most 99 deep; the bound keeps a damaged one finite.
	for (int depth = 0; depth < OBJECT_SLOTS && slot >= 0 && scene.Models[slot]; ++depth)
	{
		world = LocalTransform(*scene.Models[slot]) * world;
		slot = scene.Models[slot]->Parent;
	}
	return world;
}

void SetTransform(SModelState& record, const core::matrix4& local)
{
	record.Position = KeptInWorld(local.getTranslation());
	// A turn about the vertical axis alone reads back as one: the engine's
	// angles for 135 degrees are (180, 45, 180).
	core::vector3df rotation = local.getRotationDegrees();
	const auto half = [](f32 angle) { return std::fabs(std::fabs(angle) - 180.0f) < 1e-3f; };
	if (half(rotation.X) && half(rotation.Z))
	{
		const f32 y = 180.0f - rotation.Y;
		rotation.set(0, y > 180.0f ? y - 360.0f : y, 0);
	}
	record.Rotation = KeptInWorld(rotation);
	// The engine reads a scale as lengths: a mirrored axis comes back
	// turned instead.
	record.Scale = KeptScale(local.getScale());
}

std::vector<int> Children(const SSceneState& scene, int slot)
{
	std::vector<int> children;
	for (int i = 0; i < OBJECT_SLOTS; ++i)
		if (i != slot && scene.Models[i] && scene.Models[i]->Parent == slot)
			children.push_back(i);
	return children;
}

std::vector<int> Subtree(const SSceneState& scene, int slot)
{
	std::vector<int> tree;
	if (slot < 0 || !scene.Models[slot])
		return tree;
	tree.push_back(slot);
	for (size_t i = 0; i < tree.size() && tree.size() < OBJECT_SLOTS; ++i)
		for (int child : Children(scene, tree[i]))
			tree.push_back(child);
	return tree;
}

bool IsAncestor(const SSceneState& scene, int ancestor, int slot)
{
	for (int depth = 0; depth <= OBJECT_SLOTS && slot >= 0; ++depth)
	{
		if (slot == ancestor)
			return true;
		slot = scene.Models[slot] ? scene.Models[slot]->Parent : -1;
	}
	return false;
}

int Depth(const SSceneState& scene, int slot)
{
	int depth = 0;
	while (depth < OBJECT_SLOTS && scene.Models[slot] && scene.Models[slot]->Parent >= 0)
	{
		slot = scene.Models[slot]->Parent;
		++depth;
	}
	return depth;
}

bool TreeIsSound(const SSceneState& scene, std::wstring& problem)
{
	for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
	{
		const SModelState* record = scene.Models[slot].get();
		if (!record || record->Parent == -1)
			continue;
		const SObjectKind* kind = KindOf(record->Type);
		const std::wstring object =
		    std::wstring(kind ? kind->Name : L"object") + L" in slot " + std::to_wstring(slot);
		const int parent = record->Parent;
		if (slot == WATER_SLOT || parent <= WATER_SLOT || parent >= OBJECT_SLOTS ||
		    !scene.Models[parent])
		{
			problem = object + L" hangs from slot " + std::to_wstring(parent) +
			          L", which holds no object it can hang from";
			return false;
		}
		// Walking up from the object must end at the root.
		int above = parent;
		for (int depth = 0; above >= 0; ++depth)
		{
			if (above == slot || depth >= OBJECT_SLOTS)
			{
				problem = object + L" hangs from itself through its parents";
				return false;
			}
			above = scene.Models[above] ? scene.Models[above]->Parent : -1;
		}
	}
	return true;
}

std::wstring BaseName(const SModelState& record)
{
	if (record.Type == CModel::TYPE_MESH && !record.Mesh.empty())
		return FileNameToWide(record.Mesh.substr(record.Mesh.find_last_of('/') + 1));
	const SObjectKind* kind = KindOf(record.Type);
	return kind ? kind->Name : L"object";
}

std::wstring DisplayName(const SModelState& record)
{
	return record.Name.empty() ? BaseName(record) : std::wstring(record.Name.c_str());
}

std::wstring SuggestedName(const SSceneState& scene, const std::wstring& base, int except)
{
	const auto taken = [&](const std::wstring& name)
	{
		for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
			if (slot != except && scene.Models[slot] && name == scene.Models[slot]->Name.c_str())
				return true;
		return false;
	};
	if (!taken(base))
		return base;
	// "crate.obj 2" counts on from 2: its stem is "crate.obj".
	std::wstring stem = base;
	const size_t space = base.find_last_of(L' ');
	if (space != std::wstring::npos && space + 1 < base.size() &&
	    base.find_first_not_of(L"0123456789", space + 1) == std::wstring::npos)
		stem = base.substr(0, space);
	for (int n = 2;; ++n)
	{
		const std::wstring name = stem + L" " + std::to_wstring(n);
		if (!taken(name))
			return name;
	}
}
} // namespace scenetree
