// The movement keys; see MovementKeys.h.
#include "MovementKeys.h"

#include <cmath>

#include "CSceneEditor.h"
#include "ObjectKinds.h"

const EKEY_CODE CMovementKeys::Codes[COUNT] = {KEY_NUMPAD2, KEY_NUMPAD3, KEY_NUMPAD4, KEY_NUMPAD6,
                                               KEY_NUMPAD8, KEY_NUMPAD9, KEY_UP,      KEY_DOWN,
                                               KEY_LEFT,    KEY_RIGHT};

namespace
{
// Movement per step (STEPS_PER_SECOND steps a second of holding a key).
const f32 MoveStep = 3.0f;
const f32 ClimbStep = 2.0f;
const f32 TurnStep = 2.0f;

// Horizontal unit heading for a rotation about Y given in degrees.
core::vector3df Heading(f32 yDegrees)
{
	const f32 a = yDegrees * 3.14159f / 180.0f;
	return core::vector3df(sinf(a), 0.0f, cosf(a));
}

core::vector3df TurnedAboutY(const core::vector3df& rotation, f32 degrees)
{
	return core::vector3df(0.0f, rotation.Y + degrees, 0.0f);
}
} // namespace

// A hold owes one step at once and one more for every step time it lasts
// beyond that: a tap is one step, one second of holding is
// STEPS_PER_SECOND steps, however the frames fall.
int CMovementKeys::StepsOwed(const SKeyHold& hold, double now) const
{
	// The slack keeps a clock that adds up step times from counting one
	// step too many through rounding.
	const double steps = std::ceil((now - hold.since) * CSceneEditor::STEPS_PER_SECOND - 1e-3);
	return core::max_(1, static_cast<int>(steps));
}

void CMovementKeys::KeysChanged()
{
	const double now = Editor.Now();
	int due[COUNT] = {};
	for (int i = 0; i < COUNT; ++i)
	{
		SKeyHold& hold = Holds[i];
		const bool down = Editor.key[Codes[i]];
		if (down == hold.held)
			continue;
		if (down)
			hold = SKeyHold{true, now, 0};
		hold.held = down;
		// A new hold takes its first step now; an ended one what it owes.
		due[i] = StepsOwed(hold, now) - hold.taken;
		hold.taken += due[i];
	}
	// A released key is already up in the table; TakeSteps holds it down
	// for the steps it still owes. A hold is an edit: its steps are one.
	const bool held = AnyHeld();
	if (held)
		Editor.BeginEdit(EDIT_KEYS);
	TakeSteps(due);
	if (!held)
		Editor.EndEdit(EDIT_KEYS);
}

void CMovementKeys::TakeDueSteps()
{
	const double now = Editor.Now();
	int due[COUNT] = {};
	for (int i = 0; i < COUNT; ++i)
		if (Holds[i].held)
		{
			due[i] = StepsOwed(Holds[i], now) - Holds[i].taken;
			Holds[i].taken += due[i];
		}
	TakeSteps(due);
}

void CMovementKeys::TakeSteps(const int (&due)[COUNT])
{
	int steps = 0;
	for (int n : due)
		steps = core::max_(steps, n);
	if (steps == 0)
		return;
	// The step bodies read the key table: each step sees the keys that
	// still owe it, then the table is put back.
	bool held[COUNT];
	for (int i = 0; i < COUNT; ++i)
		held[i] = Editor.key[Codes[i]];
	for (int step = 0; step < steps; ++step)
	{
		for (int i = 0; i < COUNT; ++i)
			Editor.key[Codes[i]] = due[i] > step;
		// A turn and a move in one step move along the heading from before.
		const core::vector3df forward = Heading(Editor.Positioner->getRotation().Y);
		const core::vector3df mforward = Editor.SelectedModel
		                                     ? Heading(Editor.SelectedModel->getRotation().Y)
		                                     : core::vector3df(0, 0, 0);
		MovePositioner(forward);
		if (Editor.SelectedModel)
			MoveSelectedModel(mforward);
	}
	for (int i = 0; i < COUNT; ++i)
		Editor.key[Codes[i]] = held[i];
}

void CMovementKeys::MovePositioner(const core::vector3df& forward)
{
	core::vector3df position = Editor.Positioner->getPosition();
	core::vector3df rotation = Editor.Positioner->getRotation();
	if (Editor.key[KEY_NUMPAD2])
		position -= forward * MoveStep;
	if (Editor.key[KEY_NUMPAD3])
		position.Y -= ClimbStep;
	if (Editor.key[KEY_NUMPAD4])
		rotation = TurnedAboutY(rotation, -TurnStep);
	if (Editor.key[KEY_NUMPAD6])
		rotation = TurnedAboutY(rotation, TurnStep);
	if (Editor.key[KEY_NUMPAD8])
		position += forward * MoveStep;
	if (Editor.key[KEY_NUMPAD9])
		position.Y += ClimbStep;
	Editor.Execute(commands::EditWorld(
	    [&](SWorldState& world)
	    {
		    world.MarkerPosition = KeptInWorld(position);
		    world.MarkerRotation = KeptInWorld(rotation);
	    }));
}

void CMovementKeys::MoveSelectedModel(const core::vector3df& mforward)
{
	CModel* m = Editor.SelectedModel;
	const bool control = Editor.key[KEY_CONTROL];
	core::vector3df position = m->getPosition();
	core::vector3df rotation = m->getRotation();
	if (control && Editor.key[KEY_UP])
		position.Y += ClimbStep;
	if (control && Editor.key[KEY_DOWN])
		position.Y -= ClimbStep;
	if (!control && Editor.key[KEY_UP])
		position += mforward * MoveStep;
	if (!control && Editor.key[KEY_DOWN])
		position -= mforward * MoveStep;
	if (Editor.key[KEY_LEFT])
		rotation = TurnedAboutY(rotation, -TurnStep);
	if (Editor.key[KEY_RIGHT])
		rotation = TurnedAboutY(rotation, TurnStep);
	// Several selected move and turn alike, about their centre.
	if (Editor.SelectedSlots().size() > 1)
		Editor.ChangeSelectionLike(position, rotation, m->getScale(), false);
	else
		Editor.SetTransformOf(m, position, rotation, m->getScale());
}

void CMovementKeys::ReleaseAll()
{
	for (bool& down : Editor.key)
		down = false;
	KeysChanged();
}

bool CMovementKeys::AnyDown() const
{
	for (EKEY_CODE code : Codes)
		if (Editor.key[code])
			return true;
	return false;
}

bool CMovementKeys::AnyHeld() const
{
	for (const SKeyHold& hold : Holds)
		if (hold.held)
			return true;
	return false;
}

void CMovementKeys::Stop()
{
	for (int i = 0; i < COUNT; ++i)
	{
		Editor.key[Codes[i]] = false;
		Holds[i] = SKeyHold{false, 0.0, 0};
	}
}
