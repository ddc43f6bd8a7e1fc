// Locating the editor's own files; see InstallPaths.h.
#include "InstallPaths.h"

#include <unistd.h>

namespace
{
const char* const HelperName = "tolvane_load_check";
const char* const FontName = "main_font.bmp";

bool Readable(const std::string& path)
{
	return access(path.c_str(), R_OK) == 0;
}

// The install prefix of the running executable, ending in '/': the folder
// above the one it lies in (<prefix>/bin/tolvane).
std::string InstallPrefix()
{
	std::string folder = ExecutableFolder();
	if (folder.size() < 2)
		return "";
	folder.erase(folder.find_last_of('/', folder.size() - 2) + 1);
	return folder;
}
} // namespace

std::string ExecutableFolder()
{
	char self[4096];
	const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
	if (length <= 0)
		return "";
	std::string folder(self, length);
	return folder.erase(folder.find_last_of('/') + 1);
}

std::string DataFolder()
{
	const std::string local = "Data/";
	if (Readable(local + FontName))
		return local;
	const std::string installed = InstallPrefix() + TOLVANE_INSTALL_DATA_DIR "/";
	return Readable(installed + FontName) ? installed : local;
}

std::string HelperPath()
{
	const std::string candidates[] = {
	    ExecutableFolder() + HelperName,
	    InstallPrefix() + TOLVANE_INSTALL_HELPER_DIR "/" + HelperName,
	};
	for (const std::string& helper : candidates)
		if (access(helper.c_str(), X_OK) == 0)
			return helper;
#ifdef TOLVANE_LOAD_CHECK_PATH
	return TOLVANE_LOAD_CHECK_PATH;
#else
	return HelperName;
#endif
}
