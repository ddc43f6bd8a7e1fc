// The changes the scene takes: every edit is a command on the document (or
// several, as one edit of the history). A command knows what it does in the
// words the "Edit" menu shows after "Undo" and "Redo" ("Move crate.obj",
// "Set Wave height"); one without words is named by what it changed.
#ifndef TOLVANE_COMMANDS_H
#define TOLVANE_COMMANDS_H

#include <functional>
#include <string>

#include "SceneDocument.h"

struct SCommand
{
	std::function<void(CSceneDocument&)> Apply;
	//! Empty: named by what it changed (DescribeChange).
	std::wstring What;
};

namespace commands
{
//! An object in an empty slot, or in place of the one there.
SCommand AddObject(int slot, SModelState record);
SCommand RemoveObject(int slot);
//! The object's place, turn and size.
SCommand SetTransform(int slot, const irr::core::vector3df& position,
                      const irr::core::vector3df& rotation, const irr::core::vector3df& scale);
//! Changes one object through `edit`, which gets a copy of its record.
SCommand EditObject(int slot, std::function<void(SModelState&)> edit, std::wstring what = L"");
//! Changes the world (pieces, colours, marker, slot counter) through `edit`.
SCommand EditWorld(std::function<void(SWorldState&)> edit, std::wstring what = L"");
//! The object and every object below it.
SCommand RemoveTree(int slot);
//! The object hangs from `parent` (-1: from nothing), keeping its place in
//! the world; nothing changes when that would make it its own ancestor.
SCommand SetParent(int slot, int parent);
//! A new empty in `emptySlot` where the object is, under the object's
//! parent, and the object under it ("Group").
SCommand Group(int slot, int emptySlot, irr::core::stringw name);
//! The objects that hang from `slot` hang from its parent instead, keeping
//! their places in the world; an empty goes ("Ungroup").
SCommand Ungroup(int slot);
//! Every hidden object and world piece shown again ("Show all").
SCommand ShowAll();
//! Every object and world piece gone; the colours, the marker and
//! "SkyBox Setup" stay.
SCommand Clear();
//! The scene becomes `state` (a scene file's, the recovery file's).
SCommand Replace(SSceneState state, std::wstring what);
} // namespace commands

//! The change from `before` to `after`, named by the objects and fields it
//! touched; empty when they hold the same scene.
std::wstring DescribeChange(const SSceneState& before, const SSceneState& after);

//! A field's name as words: "WaveHeight" is "Wave height", "SizeX" "Size X".
std::wstring FieldWords(const char* name);

#endif
