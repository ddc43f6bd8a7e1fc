// Where the editor finds the files it ships with: its start-up data and the
// load-check helper. Both are found relative to the running executable, so
// an installed editor works from any prefix and from any working directory.
#ifndef TOLVANE_INSTALLPATHS_H
#define TOLVANE_INSTALLPATHS_H

#include <string>

//! The folder of the running executable, ending in '/'; empty if unknown.
std::string ExecutableFolder();

//! The folder holding the start-up data, ending in '/': "Data/" of the
//! working directory when it holds the GUI font, else the data folder
//! installed with the editor. When neither does, "Data/", so that the
//! start-up error names the file a user expects.
std::string DataFolder();

//! The load-check helper: beside the executable, else in the helper folder
//! installed with the editor, else the build tree's copy (tests and
//! benchmarks run from other folders of the build tree).
std::string HelperPath();

#endif
