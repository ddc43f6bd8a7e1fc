// CMovementKeys: the keys that move the placement marker and the selected
// object while they are held (the number pad and the arrows, read from the
// editor's key table). A hold steps at a fixed rate by the editor's clock,
// whatever the frame rate; a hold is one edit, so its steps are one undo step.
#ifndef TOLVANE_MOVEMENTKEYS_H
#define TOLVANE_MOVEMENTKEYS_H

#include <irrlicht.h>

using namespace irr;

class CSceneEditor;

class CMovementKeys
{
public:
	explicit CMovementKeys(CSceneEditor& editor) : Editor(editor) {}

	static const int COUNT = 10;
	//! The movement keys, in the order of their holds.
	static const EKEY_CODE Codes[COUNT];

	//! The key table changed: a movement key that went down takes its first
	//! step, one that went up the steps its hold still owes.
	void KeysChanged();
	//! Every frame: the steps that held keys owe by now.
	void TakeDueSteps();
	//! Clears the whole key table; the holds end as their releases would.
	void ReleaseAll();
	//! Whether a movement key is down in the key table.
	bool AnyDown() const;
	//! Whether a hold goes on: its steps fall due frame by frame.
	bool AnyHeld() const;
	//! The keys go up and the holds end where they are, owing nothing.
	void Stop();

private:
	//! A movement key's hold: since when it is down, steps taken since.
	struct SKeyHold
	{
		bool held;
		double since;
		int taken;
	};
	int StepsOwed(const SKeyHold& hold, double now) const;
	//! Takes `due[i]` steps of movement key i (Codes order), as many steps
	//! as the largest count; each step acts on the keys still due.
	void TakeSteps(const int (&due)[COUNT]);
	void MovePositioner(const core::vector3df& forward);
	void MoveSelectedModel(const core::vector3df& mforward);

	CSceneEditor& Editor;
	SKeyHold Holds[COUNT] = {};
};

#endif
