// The scene files last opened or saved, newest first, for "File", "Open
// Recent". The list is kept in a file of the editor's state folder, one
// absolute path a line, so that it outlives the run.
#ifndef TOLVANE_RECENTSCENES_H
#define TOLVANE_RECENTSCENES_H

#include <string>
#include <vector>

class CRecentScenes
{
public:
	//! How many files the list keeps.
	static const size_t MOST = 8;

	//! Reads the list kept in `file`; a missing or unreadable file is an
	//! empty list.
	void Load(const std::string& file);
	//! Puts a file first (once), drops the oldest past MOST, keeps the list.
	void Add(const std::string& file);
	//! Takes a file out (one that no longer exists) and keeps the list.
	void Remove(const std::string& file);
	const std::vector<std::string>& Files() const { return List; }

	//! The list's file in the state folder ($XDG_STATE_HOME/tolvane).
	static std::string DefaultFile();

private:
	void Keep() const;

	std::string File;
	std::vector<std::string> List;
};

#endif
