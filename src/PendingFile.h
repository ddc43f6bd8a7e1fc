// Files written beside their target and moved into place only when
// complete, so that a failed save never replaces a good earlier file.
#ifndef TOLVANE_PENDINGFILE_H
#define TOLVANE_PENDINGFILE_H

#include <irrlicht.h>

#include <cstdio>
#include <string>

//! "Saving failed: <what> <path> (<reason>)."
irr::core::stringw SaveFailure(const std::string& what, const std::string& path, int error);

// A file written beside its target and moved into place only when complete,
// so a failed save never replaces a good earlier export.
class CPendingFile
{
public:
	explicit CPendingFile(const std::string& target);
	~CPendingFile();
	bool opened() const { return File != 0; }
	void write(const std::string& text);
	//! Flushes and closes; true when every byte reached the file.
	bool finish();
	//! Moves the file into place.
	bool commit();

	const std::string Target;
	std::string Temp;
	FILE* File;
	int Error;
};

#endif
