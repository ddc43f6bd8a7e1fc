// What the object windows share to tell the user's changes from their own:
// each remembers what it last gave a control, and a control that shows
// something else was changed by the user.
#ifndef TOLVANE_USERCHANGES_H
#define TOLVANE_USERCHANGES_H

//! Whether a control shows something else than it was last given; then it
//! takes the new value as shown.
template <typename Value> bool ChangedByUser(Value now, Value& shown)
{
	if (now == shown)
		return false;
	shown = now;
	return true;
}

#endif
