#include "PendingFile.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

std::string CPendingFile::Journal;

namespace
{
// Temporary files are named "<target><TempMark>XXXXXX"; their backups of
// the file they replace add "-old".
const char* const TempMark = ".tolvane-";

std::string FolderOf(const std::string& path)
{
	const size_t slash = path.rfind('/');
	return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Notes a target in the journal once per run, before its first temporary
// file is created.
void NoteInJournal(const std::string& target)
{
	static std::set<std::string> noted;
	if (CPendingFile::Journal.empty() || !noted.insert(target).second)
		return;
	const int fd = open(CPendingFile::Journal.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600);
	if (fd < 0)
		return;
	const std::string line = target + "\n";
	if (write(fd, line.data(), line.size()) < 0)
		noted.erase(target);
	close(fd);
}
} // namespace

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

std::string SaveTarget(const std::string& path)
{
	std::string file = path;
	// As many links as the system itself follows.
	for (int hops = 0; hops < 40; ++hops)
	{
		char link[PATH_MAX];
		const ssize_t length = readlink(file.c_str(), link, sizeof(link) - 1);
		if (length <= 0)
			break;
		const std::string points(link, static_cast<size_t>(length));
		file = points[0] == '/' ? points : FolderOf(file) + "/" + points;
	}
	return file;
}

CPendingFile::CPendingFile(const std::string& target)
    : Target(target), File(0), Error(0), Written(SaveTarget(target)), LockFd(-1)
{
	NoteInJournal(Written);
	RemoveStaleTemps(Written);
	struct stat old;
	const bool replaces = stat(Written.c_str(), &old) == 0;
	int fd = -1;
	// A save cleaning up at this very moment may take a file not yet locked.
	for (int attempt = 0; attempt < 3 && fd < 0; ++attempt)
	{
		Temp = Written + TempMark + "XXXXXX";
		fd = mkstemp(&Temp[0]);
		if (fd < 0)
		{
			Error = errno;
			Temp.clear();
			return;
		}
		struct stat made;
		if (flock(fd, LOCK_EX) != 0 || fstat(fd, &made) != 0 || made.st_nlink == 0)
		{
			close(fd);
			fd = -1;
		}
	}
	if (fd < 0)
	{
		Error = EAGAIN;
		Temp.clear();
		return;
	}
	if (replaces)
	{
		// The replaced file's permission bits (and owner, where allowed).
		if (fchown(fd, old.st_uid, old.st_gid) != 0 && old.st_gid != getegid())
			(void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
		fchmod(fd, old.st_mode & 07777);
	}
	else
	{
		// mkstemp creates the file private; give it the usual permissions.
		const mode_t mask = umask(0);
		umask(mask);
		fchmod(fd, 0666 & ~mask);
	}
	// The lock lives as long as this second descriptor: until the file is
	// in place or removed.
	LockFd = dup(fd);
	File = fdopen(fd, "w");
	if (!File)
	{
		Error = errno;
		close(fd);
	}
}

CPendingFile::~CPendingFile()
{
	if (File)
		std::fclose(File);
	if (!Temp.empty())
		unlink(Temp.c_str());
	if (LockFd >= 0)
		close(LockFd);
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
	CPendingFile* failed = 0;
	return commitAll({this}, failed);
}

bool CPendingFile::commitAll(const std::vector<CPendingFile*>& files, CPendingFile*& failed)
{
	// Each file replaced keeps a second name for its earlier content until
	// all are in place.
	std::vector<std::string> backups;
	std::vector<bool> existed;
	for (CPendingFile* file : files)
	{
		const std::string backup = file->Temp + "-old";
		const bool linked = link(file->Written.c_str(), backup.c_str()) == 0;
		backups.push_back(linked ? backup : "");
		existed.push_back(linked || errno != ENOENT);
	}
	size_t moved = 0;
	for (; moved < files.size(); ++moved)
		if (std::rename(files[moved]->Temp.c_str(), files[moved]->Written.c_str()) != 0)
		{
			failed = files[moved];
			failed->Error = errno;
			break;
		}
	const bool all = moved == files.size();
	for (size_t i = 0; i < files.size(); ++i)
	{
		if (i < moved)
			files[i]->Temp.clear();
		if (!all && i < moved)
		{
			if (!existed[i])
				unlink(files[i]->Written.c_str());
			else if (std::rename(backups[i].c_str(), files[i]->Written.c_str()) == 0)
				continue;
		}
		if (!backups[i].empty())
			unlink(backups[i].c_str());
	}
	return all;
}

void RemoveStaleTemps(const std::string& target)
{
	const size_t slash = target.rfind('/');
	const std::string prefix =
	    (slash == std::string::npos ? target : target.substr(slash + 1)) + TempMark;
	const std::string folder = FolderOf(target);
	DIR* dir = opendir(folder.c_str());
	if (!dir)
		return;
	while (dirent* entry = readdir(dir))
	{
		if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0)
			continue;
		const std::string path = folder + "/" + entry->d_name;
		const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
		if (fd < 0)
			continue;
		// A file still locked is being written by a save that runs.
		if (flock(fd, LOCK_EX | LOCK_NB) == 0)
			unlink(path.c_str());
		close(fd);
	}
	closedir(dir);
}

void RemoveJournalledTemps(const std::string& journal)
{
	FILE* in = std::fopen(journal.c_str(), "r");
	if (!in)
		return;
	std::string line;
	for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in))
		if (c != '\n')
			line += static_cast<char>(c);
		else if (!line.empty())
		{
			RemoveStaleTemps(line);
			line.clear();
		}
	std::fclose(in);
	unlink(journal.c_str());
}
