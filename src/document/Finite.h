// Whether numbers that came from a file, the helper or a user are numbers
// the editor can hold: neither infinite nor "not a number".
#ifndef TOLVANE_FINITE_H
#define TOLVANE_FINITE_H

#include <irrlicht.h>

#include <cmath>
#include <cstdint>
#include <cstring>

inline bool IsFinite(irr::f32 value)
{
	return std::isfinite(value);
}

//! A number is infinite or not a number when all its exponent bits are set.
//! Tested two at a time on their bits, with no early exit: key frames hold
//! hundreds of thousands of them.
inline bool IsFinite(const irr::f32* values, size_t count)
{
	const uint64_t exponents = 0x7f8000007f800000ull, lowest = 0x0000000100000001ull,
	               highest = 0x8000000080000000ull;
	uint64_t infinite = 0;
	size_t i = 0;
	for (; i + 2 <= count; i += 2)
	{
		uint64_t two;
		std::memcpy(&two, values + i, sizeof two);
		// A half is zero where a number has every exponent bit set.
		const uint64_t x = (two & exponents) ^ exponents;
		infinite |= (x - lowest) & ~x & highest;
	}
	return !infinite && (i == count || std::isfinite(values[i]));
}

inline bool IsFinite(const irr::core::vector3df& v)
{
	return IsFinite(v.X) && IsFinite(v.Y) && IsFinite(v.Z);
}

inline bool IsFinite(const irr::core::vector2df& v)
{
	return IsFinite(v.X) && IsFinite(v.Y);
}

inline bool IsFinite(const irr::core::aabbox3df& box)
{
	return IsFinite(box.MinEdge) && IsFinite(box.MaxEdge);
}

inline bool IsFinite(const irr::core::quaternion& q)
{
	return IsFinite(q.X) && IsFinite(q.Y) && IsFinite(q.Z) && IsFinite(q.W);
}

inline bool IsFinite(const irr::core::matrix4& m)
{
	return IsFinite(m.pointer(), 16);
}

#endif
