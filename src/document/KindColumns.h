// A kind's own values written as rows (name, default, range, how a window
// shows it), turned into the columns the kind table takes.
#ifndef TOLVANE_KINDCOLUMNS_H
#define TOLVANE_KINDCOLUMNS_H

#include "ObjectKinds.h"

struct SKindValue
{
	const char* Name;
	f32 Default, Least, Most;
	EValueShape Shape;
	const wchar_t* Label;
	const wchar_t* const* Choices;
};

template <u32 N> struct SKindColumns
{
	const char* Names[N];
	f32 Defaults[N], Least[N], Most[N];
	SValueShape Shapes[N];
	static constexpr u32 Count = N;
	explicit SKindColumns(const SKindValue (&rows)[N])
	{
		for (u32 i = 0; i < N; ++i)
		{
			Names[i] = rows[i].Name;
			Defaults[i] = rows[i].Default;
			Least[i] = rows[i].Least;
			Most[i] = rows[i].Most;
			Shapes[i] = {rows[i].Shape, rows[i].Label, rows[i].Choices};
		}
	}
};

#endif
