// Files written beside their target and moved into place only when
// complete, so that a failed save never replaces a good earlier file. A
// save keeps what it replaces: through a symbolic link it writes the file
// the link points to, and an existing file keeps its permission bits.
#ifndef TOLVANE_PENDINGFILE_H
#define TOLVANE_PENDINGFILE_H

#include <irrlicht.h>

#include <cstdio>
#include <string>
#include <vector>

//! "Saving failed: <what> <path> (<reason>)."
irr::core::stringw SaveFailure(const std::string& what, const std::string& path, int error);

//! The file a save to `path` writes: the end of its chain of symbolic links
//! (the path itself when it is no link).
std::string SaveTarget(const std::string& path);

// A file written beside its target and moved into place only when complete,
// so a failed save never replaces a good earlier export. While it is
// written it holds a lock, so that a later save can tell a temporary file
// left by a save that died (no lock) from one being written now.
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

	//! Moves several finished files into place together: when one cannot
	//! be moved, those already moved get their earlier files back. False,
	//! with the failing file's Error set, when nothing was replaced.
	static bool commitAll(const std::vector<CPendingFile*>& files, CPendingFile*& failed);

	//! Where the names of temporary files are noted before they are
	//! created (empty: nowhere), so that a later start can remove those a
	//! killed editor left behind.
	static std::string Journal;

	//! The path given; the file written is SaveTarget of it.
	const std::string Target;
	std::string Temp;
	FILE* File;
	int Error;

private:
	const std::string Written;
	int LockFd;
};

//! Removes the temporary files of `target` that no save is writing any more.
void RemoveStaleTemps(const std::string& target);

//! Removes the temporary files a journal names that no save is writing any
//! more, then the journal.
void RemoveJournalledTemps(const std::string& journal);

#endif
