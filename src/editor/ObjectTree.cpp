// The tree of objects in the editor: empties, grouping, reparenting and
// names, each one command on the document; and the nodes following the
// document's parents.
#include "CSceneEditor.h"

#include <algorithm>

#include "Commands.h"
#include "ObjectKinds.h"
#include "SceneTree.h"

void CSceneEditor::LinkTree()
{
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
	{
		const CModel* object = ObjectAt(slot);
		scene::ISceneNode* node = ObjectNode(object);
		if (!node)
			continue;
		scene::ISceneNode* parent = object->Parent > 0 ? ObjectNode(ObjectAt(object->Parent)) : 0;
		// A node never hangs below itself, whatever a record says.
		for (scene::ISceneNode* above = parent; above; above = above->getParent())
			if (above == node)
				parent = 0;
		if (!parent)
			parent = _smgr->getRootSceneNode();
		if (node->getParent() != parent)
			node->setParent(parent);
	}
}

SSceneState CSceneEditor::ShownNames() const
{
	SSceneState names;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		if (ObjectNode(ObjectAt(slot)))
		{
			auto record = std::make_shared<SModelState>();
			record->Name = ObjectAt(slot)->Name;
			names.Models[slot] = record;
		}
	return names;
}

int CSceneEditor::FreeSlotOrSay()
{
	const int slot = NextModelSlot();
	if (slot == 0)
		ShowMessage(L"Scene Full", L"The scene is full: it holds 99 objects.");
	return slot;
}

bool CSceneEditor::SetParent(int slot, int parent)
{
	if (slot < 0 || slot >= MODEL_SLOTS)
		return false;
	AdoptObject(slot);
	const SModelState* record = Document.Object(slot);
	if (!record)
		return false;
	SCommand command = commands::SetParent(slot, parent);
	command.What = L"Parent " + scenetree::DisplayName(*record);
	return Execute(command);
}

bool CSceneEditor::CreateNewEmpty()
{
	const int slot = FreeSlotOrSay();
	if (slot == 0)
		return false;
	SModelState record;
	record.Type = CModel::TYPE_GROUP;
	record.Position = Positioner->getPosition();
	record.Name = scenetree::SuggestedName(ShownNames(), L"empty").c_str();
	const bool added = AsOneStep(
	    [&]
	    {
		    Execute(commands::EditWorld([slot](SWorldState& world) { world.CurrentModel = slot; }));
		    return Execute(commands::AddObject(slot, std::move(record)));
	    });
	if (added && ObjectNode(ObjectAt(slot)))
		Select(ObjectAt(slot));
	return added;
}

bool CSceneEditor::GroupSelected()
{
	std::vector<int> roots = SelectionRoots();
	// The water hangs from nothing.
	roots.erase(std::remove(roots.begin(), roots.end(), WATER_SLOT), roots.end());
	if (roots.empty())
		return false;
	for (int slot : roots)
		AdoptObject(slot);
	const int emptySlot = FreeSlotOrSay();
	if (emptySlot == 0)
		return false;
	const core::stringw name = scenetree::SuggestedName(ShownNames(), L"group").c_str();
	const bool grouped = AsOneStep(
	    [&]
	    {
		    Execute(commands::EditWorld([emptySlot](SWorldState& world)
		                                { world.CurrentModel = emptySlot; }));
		    if (roots.size() == 1)
			    return Execute(commands::Group(roots[0], emptySlot, name));
		    SCommand add = commands::AddObject(emptySlot, GroupEmpty(roots, name));
		    add.What = L"Group";
		    Execute(add);
		    for (int slot : roots)
			    Execute(commands::SetParent(slot, emptySlot));
		    return true;
	    });
	if (grouped && ObjectNode(ObjectAt(emptySlot)))
		Select(ObjectAt(emptySlot));
	return grouped;
}

SModelState CSceneEditor::GroupEmpty(const std::vector<int>& members, const core::stringw& name)
{
	// It hangs where all the members hang, else from nothing.
	int parent = Document.Object(members[0])->Parent;
	for (int slot : members)
		if (Document.Object(slot)->Parent != parent)
			parent = -1;
	core::vector3df centre = SelectionCentre();
	if (parent >= 0)
	{
		core::matrix4 toParent;
		scenetree::WorldTransform(Document.State(), parent).getInverse(toParent);
		toParent.transformVect(centre);
	}
	SModelState empty;
	empty.Type = CModel::TYPE_GROUP;
	empty.Parent = parent;
	empty.Position = centre;
	empty.Name = name;
	return empty;
}

bool CSceneEditor::UngroupSelected()
{
	const int slot = SlotOf(SelectedModel);
	if (slot <= WATER_SLOT)
		return false;
	AdoptObject(slot);
	const std::vector<int> children = scenetree::Children(Document.State(), slot);
	if (!Execute(commands::Ungroup(slot)))
		return false;
	// The first object taken out is selected where the empty went.
	if (!ObjectNode(ObjectAt(slot)) && !children.empty())
		Select(ObjectAt(children[0]));
	else if (!ObjectNode(ObjectAt(slot)))
		Select(0);
	return true;
}

bool CSceneEditor::RenameObject(int slot, const core::stringw& name)
{
	if (slot < 0 || slot >= MODEL_SLOTS || !Document.Object(slot) || name.size() > LONGEST_NAME ||
	    !TextIsSound(name.c_str(), name.size()))
		return false;
	AdoptObject(slot);
	return Execute(commands::EditObject(
	    slot, [name](SModelState& record) { record.Name = name; },
	    L"Rename " + std::wstring(name.c_str())));
}
