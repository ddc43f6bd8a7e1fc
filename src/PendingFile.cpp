#include "PendingFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

irr::core::stringw SaveFailure(const std::string& what, const std::string& path, int error)
{
	irr::core::stringw text(L"Saving failed: ");
	text += what.c_str();
	text += L" ";
	text += path.c_str();
	text += L" (";
	text += std::strerror(error);
	text += L").";
	return text;
}

CPendingFile::CPendingFile(const std::string& target)
    : Target(target), Temp(target + ".XXXXXX"), File(0), Error(0)
{
	const int fd = mkstemp(&Temp[0]);
	if (fd < 0)
	{
		Error = errno;
		Temp.clear();
		return;
	}
	// mkstemp creates the file private; give it the usual permissions.
	const mode_t mask = umask(0);
	umask(mask);
	fchmod(fd, 0666 & ~mask);
	File = fdopen(fd, "w");
	if (!File)
		Error = errno;
}

CPendingFile::~CPendingFile()
{
	if (File)
		std::fclose(File);
	if (!Temp.empty())
		unlink(Temp.c_str());
}

void CPendingFile::write(const std::string& text)
{
	if (File && !Error && std::fwrite(text.data(), 1, text.size(), File) != text.size())
		Error = errno ? errno : EIO;
}

bool CPendingFile::finish()
{
	if (!File)
		return false;
	if (!Error && (std::fflush(File) != 0 || std::ferror(File)))
		Error = errno ? errno : EIO;
	if (std::fclose(File) != 0 && !Error)
		Error = errno ? errno : EIO;
	File = 0;
	return !Error;
}

bool CPendingFile::commit()
{
	if (std::rename(Temp.c_str(), Target.c_str()) != 0)
	{
		Error = errno;
		return false;
	}
	Temp.clear();
	return true;
}
