// The commands, and naming a change: the slots that differ, and in one
// object the fields that differ (RecordFields.h), else the pieces of the world.
#include "Commands.h"

#include <cwctype>

#include "FileNames.h"
#include "RecordFields.h"
#include "SceneTree.h"

std::wstring FieldWords(const char* name)
{
	std::wstring words;
	for (const char* c = name; *c; ++c)
	{
		const bool upper = std::isupper(static_cast<unsigned char>(*c));
		const bool digit = std::isdigit(static_cast<unsigned char>(*c));
		const unsigned char before = c == name ? 0 : static_cast<unsigned char>(c[-1]);
		// A word starts at a capital after a small letter, at a number and
		// at a letter after a number.
		if ((upper && std::islower(before)) || (digit && std::isalpha(before)) ||
		    (std::isalpha(static_cast<unsigned char>(*c)) && std::isdigit(before)))
			words += L' ';
		// A capital that starts a word of its own stays ("Size X").
		const bool wordOfOne = !std::islower(static_cast<unsigned char>(c[1]));
		words += static_cast<wchar_t>(
		    upper && c != name && !wordOfOne ? std::tolower(static_cast<unsigned char>(*c)) : *c);
	}
	return words;
}

namespace
{
// How the menu names an object: by its name, else a model by its mesh
// file and anything else by its kind.
std::wstring ObjectName(const SModelState& record)
{
	if (!record.Name.empty())
		return record.Name.c_str();
	if (record.Type == CModel::TYPE_MESH && !record.Mesh.empty())
	{
		const size_t slash = record.Mesh.find_last_of('/');
		return FileNameToWide(slash == std::string::npos ? record.Mesh
		                                                 : record.Mesh.substr(slash + 1));
	}
	const SObjectKind* kind = KindOf(record.Type);
	return kind ? kind->Name : L"object";
}

// One object that is in both scenes, changed.
std::wstring DescribeEdit(const SModelState& before, const SModelState& after)
{
	std::vector<std::string> changed;
	EachRecordField(
	    [&](const auto& field)
	    {
		    if (!SameValue(FieldOf(before, field), FieldOf(after, field)))
			    changed.push_back(field.Name);
	    });
	const std::wstring name = ObjectName(after);
	bool transformOnly = !changed.empty();
	for (const std::string& field : changed)
		transformOnly =
		    transformOnly && (field == "Position" || field == "Rotation" || field == "Scale");
	for (const std::string& field : changed)
		if (field == "Skin1File" || field == "Skin2File")
			return L"Texture " + name;
	if (changed.size() == 1 && changed[0] == "Visible")
		return (after.Visible ? L"Show " : L"Hide ") + name;
	if (changed.size() == 1 && changed[0] == "Locked")
		return (after.Locked ? L"Lock " : L"Unlock ") + name;
	if (transformOnly && changed.size() > 1)
		return L"Transform " + name;
	if (transformOnly)
		return (changed[0] == "Position"   ? L"Move "
		        : changed[0] == "Rotation" ? L"Rotate "
		                                   : L"Scale ") +
		       name;
	const SObjectKind* kind = KindOf(after.Type);
	if (changed.size() == 1 && changed[0] == "Values" && kind &&
	    before.Values.size() == after.Values.size())
		for (u32 i = 0; i < kind->ValueCount && i < after.Values.size(); ++i)
			if (before.Values[i] != after.Values[i])
				return L"Set " + FieldWords(kind->ValueNames[i]);
	if (changed.size() == 1)
		return L"Set " + FieldWords(changed[0].c_str());
	return L"Change " + name;
}

// Hiding or locking, showing or unlocking: the words and the piece's name.
std::wstring DescribeFlags(bool hiddenBefore, bool hiddenAfter, bool lockedAfter,
                           const wchar_t* name)
{
	if (hiddenBefore != hiddenAfter)
		return (hiddenAfter ? L"Hide " : L"Show ") + std::wstring(name);
	return (lockedAfter ? L"Lock " : L"Unlock ") + std::wstring(name);
}

std::wstring DescribePiece(const SWorldPiece& before, const SWorldPiece& after, const wchar_t* name)
{
	if (before.SameBuild(after))
		return DescribeFlags(before.Hidden, after.Hidden, after.Locked, name);
	if (before.File.empty())
		return std::wstring(L"Load ") + name;
	if (after.File.empty())
		return std::wstring(L"Delete ") + name;
	return std::wstring(L"Set ") + name + (before.File == after.File ? L" texture" : L"");
}

std::wstring DescribeWorld(const SWorldState& before, const SWorldState& after)
{
	if (!(before.Terrain == after.Terrain))
		return DescribePiece(before.Terrain, after.Terrain, L"Terrain");
	if (!(before.Plane == after.Plane))
		return DescribePiece(before.Plane, after.Plane, L"Plane");
	if (!(before.Level == after.Level))
		return DescribePiece(before.Level, after.Level, L"Level");
	if (before.Sky != after.Sky)
		return after.Sky.empty() ? L"Remove SkyBox" : L"Build SkyBox";
	if (before.SkyHidden != after.SkyHidden || before.SkyLocked != after.SkyLocked)
		return DescribeFlags(before.SkyHidden, after.SkyHidden, after.SkyLocked, L"SkyBox");
	for (int i = 0; i < 6; ++i)
		if (before.Bars[i] != after.Bars[i])
			return i < 3 ? L"Set Scene colour" : L"Set Fog colour";
	if (!SameBits(before.MarkerPosition, after.MarkerPosition))
		return L"Move marker";
	if (!SameBits(before.MarkerRotation, after.MarkerRotation))
		return L"Turn marker";
	for (int i = 0; i < 7; ++i)
		if (before.SkyTexts[i] != after.SkyTexts[i])
			return L"Set SkyBox Setup";
	return before.CurrentModel != after.CurrentModel ? L"Change slot" : L"";
}
} // namespace

std::wstring DescribeChange(const SSceneState& before, const SSceneState& after)
{
	int added = 0, removed = 0, edited = 0, last = -1, left = 0;
	for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
	{
		const SModelState* was = before.Models[slot].get();
		const SModelState* is = after.Models[slot].get();
		left += is != 0;
		if (was == is || (was && is && *was == *is))
			continue;
		last = slot;
		added += !was;
		removed += !is;
		edited += was && is;
	}
	const int changed = added + removed + edited;
	if (changed == 1)
	{
		const SModelState* was = before.Models[last].get();
		const SModelState* is = after.Models[last].get();
		if (!was)
			return L"Add " + ObjectName(*is);
		if (!is)
			return L"Remove " + ObjectName(*was);
		return DescribeEdit(*was, *is);
	}
	if (changed > 1 && left == 0)
		return L"Clear";
	if (changed > 1)
		return added == changed ? L"Add " + std::to_wstring(added) + L" objects"
		                        : L"Change " + std::to_wstring(changed) + L" objects";
	if (before.World == after.World || !before.World || !after.World)
		return L"";
	return DescribeWorld(*before.World, *after.World);
}

namespace commands
{
SCommand AddObject(int slot, SModelState record)
{
	auto shared = std::make_shared<const SModelState>(std::move(record));
	return {[slot, shared](CSceneDocument& document)
	        {
		        document.SetObject(slot, shared);
		        KeepOneActiveCamera(document, slot);
	        },
	        L""};
}

SCommand RemoveObject(int slot)
{
	return {[slot](CSceneDocument& document) { document.SetObject(slot, nullptr); }, L""};
}

SCommand RemoveTree(int slot)
{
	return {[slot](CSceneDocument& document)
	        {
		        for (int each : scenetree::Subtree(document.State(), slot))
			        document.SetObject(each, nullptr);
	        },
	        L""};
}

namespace
{
// Moves an object under `parent` in the document, keeping its world transform.
void Reparent(CSceneDocument& document, int slot, int parent)
{
	const SSceneState& scene = document.State();
	const SModelState* record = document.Object(slot);
	if (!record || record->Parent == parent || (parent >= 0 && !document.Object(parent)) ||
	    (parent >= 0 && scenetree::IsAncestor(scene, slot, parent)) || slot == WATER_SLOT ||
	    parent == WATER_SLOT)
		return;
	core::matrix4 toParent;
	if (parent >= 0)
		scenetree::WorldTransform(scene, parent).getInverse(toParent);
	SModelState moved = *record;
	scenetree::SetTransform(moved, toParent * scenetree::WorldTransform(scene, slot));
	moved.Parent = parent;
	document.SetObject(slot, std::move(moved));
}
} // namespace

SCommand SetParent(int slot, int parent)
{
	return {[slot, parent](CSceneDocument& document) { Reparent(document, slot, parent); }, L""};
}

SCommand Group(int slot, int emptySlot, core::stringw name)
{
	return {[=](CSceneDocument& document)
	        {
		        const SModelState* record = document.Object(slot);
		        if (!record || slot == WATER_SLOT || document.Object(emptySlot))
			        return;
		        SModelState empty;
		        empty.Type = CModel::TYPE_GROUP;
		        empty.Parent = record->Parent;
		        empty.Position = record->Position;
		        empty.Name = name;
		        document.SetObject(emptySlot, std::move(empty));
		        SModelState grouped = *record;
		        grouped.Parent = emptySlot;
		        grouped.Position = core::vector3df(0, 0, 0);
		        document.SetObject(slot, std::move(grouped));
	        },
	        L"Group"};
}

SCommand Ungroup(int slot)
{
	return {[slot](CSceneDocument& document)
	        {
		        const SModelState* record = document.Object(slot);
		        if (!record)
			        return;
		        const int parent = record->Parent;
		        const bool empty = record->Type == CModel::TYPE_GROUP;
		        for (int child : scenetree::Children(document.State(), slot))
			        Reparent(document, child, parent);
		        if (empty)
			        document.SetObject(slot, nullptr);
	        },
	        L"Ungroup"};
}

SCommand SetTransform(int slot, const core::vector3df& position, const core::vector3df& rotation,
                      const core::vector3df& scale)
{
	return EditObject(slot,
	                  [=](SModelState& record)
	                  {
		                  record.Position = position;
		                  record.Rotation = rotation;
		                  record.Scale = scale;
	                  });
}

SCommand EditObject(int slot, std::function<void(SModelState&)> edit, std::wstring what)
{
	return {[slot, edit](CSceneDocument& document)
	        {
		        if (const SModelState* old = document.Object(slot))
		        {
			        SModelState record = *old;
			        edit(record);
			        document.SetObject(slot, std::move(record));
			        KeepOneActiveCamera(document, slot);
		        }
	        },
	        std::move(what)};
}

SCommand EditWorld(std::function<void(SWorldState&)> edit, std::wstring what)
{
	return {[edit](CSceneDocument& document) { document.EditWorld(edit); }, std::move(what)};
}

SCommand ShowAll()
{
	return {[](CSceneDocument& document)
	        {
		        for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
			        if (document.Object(slot) && !document.Object(slot)->Visible)
			        {
				        SModelState record = *document.Object(slot);
				        record.Visible = true;
				        document.SetObject(slot, std::move(record));
			        }
		        document.EditWorld(
		            [](SWorldState& world) {
			            world.Plane.Hidden = world.Terrain.Hidden = world.Level.Hidden =
			                world.SkyHidden = false;
		            });
	        },
	        L"Show all"};
}

SCommand Clear()
{
	return {[](CSceneDocument& document)
	        {
		        for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
			        document.SetObject(slot, nullptr);
		        document.EditWorld(
		            [](SWorldState& world)
		            {
			            world.Plane = world.Terrain = world.Level = SWorldPiece();
			            world.Sky.clear();
			            world.SkyHidden = world.SkyLocked = false;
			            world.CurrentModel = 0;
		            });
	        },
	        L""};
}

SCommand Replace(SSceneState state, std::wstring what)
{
	return {[state](CSceneDocument& document)
	        {
		        for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
			        document.SetObject(slot, state.Models[slot]);
		        document.EditWorld([&](SWorldState& world) { world = *state.World; });
	        },
	        std::move(what)};
}
} // namespace commands
