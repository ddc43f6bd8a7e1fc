// The scene as plain values: every object in its slot, the world, the
// placement marker and the slot counter (SceneState.h). Undo, scene files
// and the export read it and nothing else. A version number moves on every
// change; a content id names what the scene holds, so that undoing back to
// the point where the scene was saved or opened reads as no change.
#ifndef TOLVANE_SCENEDOCUMENT_H
#define TOLVANE_SCENEDOCUMENT_H

#include "SceneState.h"

class CSceneDocument
{
public:
	CSceneDocument() { Live.World = std::make_shared<const SWorldState>(); }

	const SSceneState& State() const { return Live; }
	const SModelState* Object(int slot) const { return Live.Models[slot].get(); }
	const SWorldState& World() const { return *Live.World; }

	//! Puts a record into a slot (null: the slot is empty).
	void SetObject(int slot, std::shared_ptr<const SModelState> record)
	{
		const std::shared_ptr<const SModelState>& old = Live.Models[slot];
		if (old == record || (old && record && *old == *record))
			return;
		Live.Models[slot] = std::move(record);
		Changed();
	}
	void SetObject(int slot, SModelState&& record)
	{
		if (!Live.Models[slot] || !(*Live.Models[slot] == record))
			SetObject(slot, std::make_shared<const SModelState>(std::move(record)));
	}

	//! Changes the world through `edit`, which gets a copy to change.
	template <typename Edit> void EditWorld(Edit edit)
	{
		SWorldState world = *Live.World;
		edit(world);
		if (world == *Live.World)
			return;
		Live.World = std::make_shared<const SWorldState>(std::move(world));
		Changed();
	}

	//! The scene becomes `state`, whose content is known by `content` (an
	//! undo step's).
	void Replace(const SSceneState& state, unsigned long long content)
	{
		Live = state;
		++Version;
		Content = content;
	}

	//! Moves on every change (drawing, autosave).
	unsigned long long Version = 0;
	//! Names what the scene holds; equal ids, equal scenes.
	unsigned long long Content = 0;
	//! The content the scene had when it was last saved or opened.
	unsigned long long SavedContent = 0;

	bool Unsaved() const { return Content != SavedContent; }
	void MarkSaved() { SavedContent = Content; }

private:
	void Changed()
	{
		++Version;
		Content = ++LastContent;
	}

	SSceneState Live;
	unsigned long long LastContent = 0;
};

#endif
