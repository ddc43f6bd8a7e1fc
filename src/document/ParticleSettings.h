// A particle system's settings: the values of the particle kind in their
// order (SModelState::Values), their names in scene files, their ranges, and
// the presets of the "Particle Editor" window.
//
// The ranges keep one system below 20,000 live particles: it emits at most
// 1,000 a second and each lives at most 10 seconds. The engine's emitter
// rounds a frame's share up by at most a third and, after a stall, emits at
// most twice its rate at once, so no more than 1,000 x 4/3 x 10 + 2,000 =
// 15,333 particles live at any time.
#ifndef TOLVANE_PARTICLESETTINGS_H
#define TOLVANE_PARTICLESETTINGS_H

#include <irrlicht.h>

#include <string>
#include <vector>

class CModel;

namespace particles
{
using namespace irr;

//! The values, in order. Speeds and directions are per second, times in
//! milliseconds, colours red, green, blue, alpha (0 to 255), switches 0 or 1.
enum EValue
{
	SHAPE,
	SIZE_X,
	SIZE_Y,
	SIZE_Z,
	DIRECTION_X,
	DIRECTION_Y,
	DIRECTION_Z,
	ANGLE,
	RATE_LEAST,
	RATE_MOST,
	LIFE_LEAST,
	LIFE_MOST,
	DARK_RED,
	DARK_GREEN,
	DARK_BLUE,
	DARK_ALPHA,
	BRIGHT_RED,
	BRIGHT_GREEN,
	BRIGHT_BLUE,
	BRIGHT_ALPHA,
	START_SIZE_LEAST,
	START_SIZE_MOST,
	FADE_ON,
	FADE_RED,
	FADE_GREEN,
	FADE_BLUE,
	FADE_ALPHA,
	FADE_TIME,
	GRAVITY_ON,
	GRAVITY_X,
	GRAVITY_Y,
	GRAVITY_Z,
	GRAVITY_TIME,
	SPIN_ON,
	SPIN_X,
	SPIN_Y,
	SPIN_Z,
	PIVOT_X,
	PIVOT_Y,
	PIVOT_Z,
	ATTRACTION_ON,
	ATTRACTION_X,
	ATTRACTION_Y,
	ATTRACTION_Z,
	ATTRACTION_SPEED,
	REPEL,
	GROW_ON,
	GROW_BY,
	VALUE_COUNT
};

//! Emitter shapes (the value SHAPE). Size X is a box's width and the radius
//! of the round shapes; size Y a box's height, a cylinder's length and a
//! ring's thickness; size Z a box's depth.
enum EShape
{
	POINT,
	BOX,
	SPHERE,
	CYLINDER,
	RING,
	SHAPE_COUNT
};

struct SValue
{
	//! Name in scene files.
	const char* Name;
	//! What the window's tool tip calls it.
	const wchar_t* Caption;
	f32 Least, Most;
};
extern const SValue Values[VALUE_COUNT];

//! Whether a value is a switch (a check box) rather than a number.
bool IsSwitch(s32 value);

//! The editor material indices of the two materials a particle system
//! takes: additive, alpha-blended.
const s32 Materials[2] = {11, 13};

struct SPreset
{
	const char* Name;
	s32 Material;
	f32 Values[VALUE_COUNT];
};
//! "Fire" first: a new window and a new scene start with it.
extern const SPreset Presets[5];

//! A system's values, in order.
std::vector<f32> ValuesOf(const CModel& particles);
//! The preset a system's values and material are, or -1.
s32 PresetOf(const std::vector<f32>& values, s32 material);
//! How lists name a system: by its preset ("fire particles"), else by its
//! texture's file name ("smoke particles" for smoke.png).
std::wstring SystemName(const std::vector<f32>& values, s32 material, const std::string& texture);
} // namespace particles

#endif
