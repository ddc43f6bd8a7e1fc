// The folder each file-open dialog starts in: the folder of the last file
// chosen for the same purpose in this session (models, textures, levels,
// height maps, scene files), or the working directory at first.
#ifndef TOLVANE_DIALOGFOLDERS_H
#define TOLVANE_DIALOGFOLDERS_H

#include <map>
#include <string>

class CDialogFolders
{
public:
	//! Where a dialog for this LOAD_TYPE starts; empty for the working
	//! directory.
	std::string startFolder(int loadType) const;
	//! Remembers the folder of a file (an absolute path) chosen in a dialog
	//! for this LOAD_TYPE.
	void chosen(int loadType, const std::string& file);

private:
	//! By purpose (see Purpose in the source).
	std::map<int, std::string> Folders;
};

#endif
