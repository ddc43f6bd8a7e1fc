// The undo history: the document after each step, the step shown now, and
// the edits going on. An edit (a held key, a drag, a typed field, a file
// being loaded) is open from its beginning to its end; the commands it runs
// become one step when the last open edit ends, and Escape takes them back
// to where the first one began.
#ifndef TOLVANE_HISTORY_H
#define TOLVANE_HISTORY_H

#include <deque>
#include <string>

#include "SceneDocument.h"

//! Edits that stay open while the user goes on: one bit each.
enum EEdit : unsigned
{
	EDIT_KEYS = 1,      //!< a movement key held
	EDIT_MOUSE = 2,     //!< a mouse button held (the handles, a scroll bar)
	EDIT_TYPING = 4,    //!< an edit box holds the focus
	EDIT_OPERATION = 8, //!< an operation of several commands (open, clear, a load)
};

class CEditHistory
{
public:
	struct SStep
	{
		SSceneState State;
		unsigned long long Content;
		//! What the step did, as "Edit" names it.
		std::wstring What;
	};

	//! Steps kept; older ones are dropped.
	static constexpr size_t STEPS = 1000;

	//! Whether a first step (where undo stops) has been taken.
	bool Started() const { return !Steps.empty(); }
	//! Adds the document as a step named `what` when it differs from the
	//! step shown; true when it did. The first call takes the first step.
	bool Record(CSceneDocument& document, const std::wstring& what);
	//! The step shown now: the document as the last step left it.
	const SStep& Shown() const { return Steps[Position]; }
	bool CanUndo() const { return Position > 0 && Position < Steps.size(); }
	bool CanRedo() const { return Position + 1 < Steps.size(); }
	//! What undo and redo would take back and bring back; empty: nothing.
	std::wstring UndoName() const { return CanUndo() ? Steps[Position].What : L""; }
	std::wstring RedoName() const { return CanRedo() ? Steps[Position + 1].What : L""; }
	//! Moves one step back or on; the step to show then (null: none).
	const SStep* Back();
	const SStep* Forward();

	//! An edit of a kind begins; it may already be open (then nothing changes).
	void Begin(EEdit edit) { OpenEdits |= edit; }
	//! An edit of a kind ends; true when no edit is open any more.
	bool End(EEdit edit)
	{
		OpenEdits &= ~static_cast<unsigned>(edit);
		return OpenEdits == 0;
	}
	bool Open() const { return OpenEdits != 0; }
	bool IsOpen(EEdit edit) const { return (OpenEdits & edit) != 0; }
	//! Ends every open edit (after a roll-back).
	void EndAll() { OpenEdits = 0; }

	//! The name the step going on takes: its first command's.
	void Name(const std::wstring& what)
	{
		if (Pending.empty())
			Pending = what;
	}
	//! A name that wins over the commands' ("Open scene.irr").
	void Rename(const std::wstring& what) { Pending = what; }

private:
	std::deque<SStep> Steps;
	size_t Position = 0;
	unsigned OpenEdits = 0;
	std::wstring Pending;
};

#endif
