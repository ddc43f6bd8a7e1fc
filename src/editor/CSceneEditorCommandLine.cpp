// A file named on the command line: opened by its type through the same
// operations (and so the same crash-proof loading) as the menus.
#include "CSceneEditor.h"

#include <cerrno>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileNames.h"
#include "Quake3Level.h"

namespace
{
bool HasExtension(const std::string& file, const char* extension)
{
	const size_t length = std::strlen(extension);
	return file.size() > length && strcasecmp(file.c_str() + file.size() - length, extension) == 0;
}

// Why a file cannot be read at all, or empty when it can.
std::wstring Unreadable(const std::string& file)
{
	struct stat info;
	if (stat(file.c_str(), &info) != 0 || access(file.c_str(), R_OK) != 0)
		return FileNameToWide(std::strerror(errno)) + L".";
	if (S_ISDIR(info.st_mode))
		return L"It is a folder.";
	return L"";
}
} // namespace

bool CSceneEditor::OpenFile(const char* filename)
{
	// The file dialog hands over absolute paths; a name given relative to the
	// working directory becomes one too, so that it means the same file after
	// a dialog has browsed elsewhere and in what the scene file and export
	// store.
	const std::string file = AbsolutePath(filename ? filename : "");
	const std::wstring why = Unreadable(file);
	if (!why.empty())
	{
		const std::wstring text = L"Cannot open " + FileNameToWide(file) + L": " + why;
		ShowMessage(L"Open Error!", text.c_str());
		return false;
	}
	if (HasExtension(file, ".irr"))
		return OpenScene(file.c_str());
	if (IsLevelArchive(file) || HasExtension(file, ".bsp"))
		return LoadQ3Level(file.c_str());
	return CreateNewModel(file.c_str());
}
