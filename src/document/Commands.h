// What an undo step did, in the words the "Edit" menu shows after "Undo"
// and "Redo": "Move crate.obj", "Set Wave height", "Add water".
#ifndef TOLVANE_COMMANDS_H
#define TOLVANE_COMMANDS_H

#include <string>

#include "SceneState.h"

//! The change from `before` to `after`, named by the objects and fields it
//! touched; empty when they hold the same scene.
std::wstring DescribeChange(const SSceneState& before, const SSceneState& after);

//! A field's name as words: "WaveHeight" is "Wave height", "SizeX" "Size X".
std::wstring FieldWords(const char* name);

#endif
