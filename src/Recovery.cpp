#include "Recovery.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "PendingFile.h"

using namespace irr;

namespace
{
const char Magic[] = "TOLVANE RECOVERY 1\n";
const char EndMark[] = "END.";

// Writes the file through a buffer of its own: system calls only, no
// allocation, so that a signal handler can use it whatever it interrupted.
class CRawOut
{
public:
	explicit CRawOut(int fd) : Fd(fd) {}

	void bytes(const void* data, size_t size)
	{
		const char* from = static_cast<const char*>(data);
		while (size > 0)
		{
			if (Used == sizeof(Buffer))
				flush();
			const size_t part = std::min(size, sizeof(Buffer) - Used);
			std::memcpy(Buffer + Used, from, part);
			Used += part;
			from += part;
			size -= part;
		}
	}
	bool flush()
	{
		for (size_t done = 0; done < Used && Ok;)
		{
			const ssize_t n = ::write(Fd, Buffer + done, Used - done);
			if (n > 0)
				done += static_cast<size_t>(n);
			else if (n < 0 && errno != EINTR)
				Ok = false;
		}
		Used = 0;
		return Ok;
	}

	void io(const u32& v) { bytes(&v, sizeof v); }
	void io(const s32& v) { bytes(&v, sizeof v); }
	void io(const f32& v) { bytes(&v, sizeof v); }
	void io(const bool& v) { bytes(&v, 1); }
	void io(const core::vector3df& v) { bytes(&v.X, 3 * sizeof(f32)); }
	void io(const std::string& s)
	{
		io(static_cast<u32>(s.size()));
		bytes(s.data(), s.size());
	}
	void io(const core::stringw& s)
	{
		io(s.size());
		bytes(s.c_str(), s.size() * sizeof(wchar_t));
	}
	template <typename T> void io(const std::vector<T>& items)
	{
		io(static_cast<u32>(items.size()));
		for (const T& item : items)
			io(item);
	}

private:
	int Fd;
	bool Ok = true;
	size_t Used = 0;
	char Buffer[16384];
};

// Reads what CRawOut wrote; any size past the end fails the whole read.
class CRawIn
{
public:
	explicit CRawIn(const std::string& bytes) : Bytes(bytes) {}
	bool Ok = true;

	bool take(void* to, size_t size)
	{
		if (!Ok || size > Bytes.size() - At)
			return Ok = false;
		std::memcpy(to, Bytes.data() + At, size);
		At += size;
		return true;
	}
	void io(u32& v) { take(&v, sizeof v); }
	void io(s32& v) { take(&v, sizeof v); }
	void io(f32& v) { take(&v, sizeof v); }
	void io(bool& v)
	{
		unsigned char b = 0;
		take(&b, 1);
		v = b != 0;
	}
	void io(core::vector3df& v) { take(&v.X, 3 * sizeof(f32)); }
	void io(std::string& s)
	{
		u32 size = 0;
		io(size);
		if (!Ok || size > Bytes.size() - At)
		{
			Ok = false;
			return;
		}
		s.assign(Bytes.data() + At, size);
		At += size;
	}
	void io(core::stringw& s)
	{
		u32 size = 0;
		io(size);
		if (!Ok || size > (Bytes.size() - At) / sizeof(wchar_t))
		{
			Ok = false;
			return;
		}
		std::wstring text(size, L'\0');
		take(&text[0], size * sizeof(wchar_t));
		s = core::stringw(text.c_str(), size);
	}
	template <typename T> void io(std::vector<T>& items)
	{
		u32 size = 0;
		io(size);
		if (!Ok || size > Bytes.size() - At)
		{
			Ok = false;
			return;
		}
		items.resize(size);
		for (T& item : items)
			io(item);
	}
	bool atEnd(const char* mark)
	{
		return Ok && Bytes.size() - At == std::strlen(mark) &&
		       Bytes.compare(At, std::string::npos, mark) == 0;
	}

private:
	const std::string& Bytes;
	size_t At = 0;
};

// One walk over a record's fields serves the writer and the reader, so the
// two cannot disagree.
template <typename Stream, typename... Fields> void Each(Stream& s, Fields&... fields)
{
	(s.io(fields), ...);
}

template <typename Stream, typename Record> void ModelFields(Stream& s, Record& m)
{
	Each(s, m.Mesh, m.Textures[0], m.Textures[1], m.Type, m.Material, m.Shadow, m.Fog, m.Lighting,
	     m.Wireframe, m.FileName, m.TextureName, m.TextureName2, m.Position, m.Rotation, m.Scale,
	     m.Values);
}

template <typename Stream, typename Piece> void PieceFields(Stream& s, Piece& piece)
{
	Each(s, piece.File, piece.Name, piece.Textures);
}

template <typename Stream, typename World> void WorldFields(Stream& s, World& w)
{
	PieceFields(s, w.Plane);
	PieceFields(s, w.Terrain);
	PieceFields(s, w.Level);
	s.io(w.Sky);
	for (auto& text : w.SkyTexts)
		s.io(text);
	for (auto& bar : w.Bars)
		s.io(bar);
	s.io(w.MarkerPosition);
	s.io(w.MarkerRotation);
	s.io(w.CurrentModel);
}

bool MakeFolders(const std::string& path)
{
	for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
	{
		const std::string part = path.substr(0, slash);
		if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
			return false;
		if (slash == std::string::npos)
			return true;
	}
}

// A name no other run takes: the process id and the start time.
std::string RunTag()
{
	timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	char tag[64];
	std::snprintf(tag, sizeof tag, "%ld-%llx", static_cast<long>(getpid()),
	              static_cast<unsigned long long>(now.tv_sec) * 1000000000ull +
	                  static_cast<unsigned long long>(now.tv_nsec));
	return tag;
}

int OpenLock(const std::string& path, int flags)
{
	return open(path.c_str(), O_RDWR | O_CLOEXEC | flags, 0600);
}

void Say(const char* text)
{
	if (write(STDERR_FILENO, text, std::strlen(text)) < 0)
		return;
}

pthread_t MainThread;

// Runs on the main thread, the only one that changes the scene: the engine's
// renderer has threads of its own, and a signal may land on one of them.
void OnEndingSignal(int sig)
{
	if (!pthread_equal(pthread_self(), MainThread))
	{
		pthread_kill(MainThread, sig);
		return;
	}
	CRecovery::WriteBeforeEnding();
	// Ends as the signal would have ended it.
	signal(sig, SIG_DFL);
	raise(sig);
}
} // namespace

CRecovery* CRecovery::Running = nullptr;

void CRecovery::WriteOnEndingSignals()
{
	MainThread = pthread_self();
	struct sigaction action = {};
	action.sa_handler = OnEndingSignal;
	sigemptyset(&action.sa_mask);
	const int endings[] = {SIGTERM, SIGHUP, SIGINT};
	for (int sig : endings)
		sigaddset(&action.sa_mask, sig);
	for (int sig : endings)
		sigaction(sig, &action, nullptr);
}

void CRecovery::WriteBeforeEnding()
{
	CRecovery* running = Running;
	if (!running || !running->KeptUnsaved() || !running->WriteKept(true))
		return;
	Say("tolvane: the unsaved scene was kept in ");
	Say(running->Path.c_str());
	Say("\n");
}

CRecovery::CRecovery() : Active(0), LockFd(-1), DirFd(-1), HasFile(false)
{
	Kept[0].State.World = Kept[1].State.World = std::make_shared<const SWorldState>();
}

CRecovery::~CRecovery()
{
	if (LockFd >= 0)
		Finish(HasFile);
}

std::string CRecovery::Folder()
{
	// A relative XDG_STATE_HOME is ignored, as desktops do.
	const char* state = std::getenv("XDG_STATE_HOME");
	if (state && state[0] == '/')
		return std::string(state) + "/tolvane";
	const char* home = std::getenv("HOME");
	if (!home || !*home)
	{
		const passwd* user = getpwuid(getuid());
		home = user ? user->pw_dir : "/tmp";
	}
	return std::string(home) + "/.local/state/tolvane";
}

bool CRecovery::Start()
{
	Dir = Folder();
	if (!MakeFolders(Dir))
		return false;
	Tag = RunTag();
	LockPath = Dir + "/" + Tag + ".lock";
	LockFd = OpenLock(LockPath, O_CREAT | O_EXCL);
	if (LockFd < 0 || flock(LockFd, LOCK_EX | LOCK_NB) != 0)
		return false;
	Path = Dir + "/" + Tag + ".recovery";
	TempPath = Path + ".tmp";
	EndingTempPath = Path + ".end.tmp";
	JournalPath = Dir + "/" + Tag + ".temps";
	CPendingFile::Journal = JournalPath;
	DirFd = open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	Running = this;
	return true;
}

void CRecovery::Keep(const SSceneState& state, const std::string& sceneFile, bool unsaved)
{
	SKept& next = Kept[1 - Active];
	next.State = state;
	if (next.SceneFile != sceneFile)
		next.SceneFile = sceneFile;
	next.Unsaved = unsaved;
	Active = 1 - Active;
}

bool CRecovery::KeptUnsaved() const
{
	return Kept[Active].Unsaved;
}

bool CRecovery::WriteKept(bool ending)
{
	if (Path.empty())
		return false;
	if (!ending)
		Wait();
	// An ending that interrupts a write, or meets one in the writing
	// thread, writes a file of its own, so the two never share one.
	const bool busy = Writing.fetch_add(1) != 0;
	const bool written = WriteTo(Kept[Active], busy ? EndingTempPath.c_str() : TempPath.c_str());
	--Writing;
	return written;
}

void CRecovery::WriteKeptLater()
{
	if (Path.empty())
		return;
	Wait();
	Later = Kept[Active];
	++Writing;
	Writer = std::thread(
	    [this]
	    {
		    if (!WriteTo(Later, TempPath.c_str()))
			    Failed = true;
		    --Writing;
	    });
}

bool CRecovery::Wait()
{
	if (Writer.joinable())
		Writer.join();
	return !Failed;
}

bool CRecovery::WriteTo(const SKept& kept, const char* temp)
{
	const int fd = open(temp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	if (fd < 0)
		return false;
	CRawOut out(fd);
	out.bytes(Magic, sizeof Magic - 1);
	out.io(kept.SceneFile);
	WorldFields(out, *kept.State.World);
	u32 count = 0;
	for (const auto& model : kept.State.Models)
		count += model ? 1 : 0;
	out.io(count);
	for (s32 slot = 0; slot < OBJECT_SLOTS; ++slot)
		if (const SModelState* model = kept.State.Models[slot].get())
		{
			out.io(slot);
			ModelFields(out, *model);
		}
	out.bytes(EndMark, sizeof EndMark - 1);
	// On the disk before it takes the place of the last one: a power cut
	// leaves one whole file or the other.
	bool ok = out.flush() && fsync(fd) == 0;
	ok = close(fd) == 0 && ok;
	if (!ok || rename(temp, Path.c_str()) != 0)
	{
		unlink(temp);
		return false;
	}
	if (DirFd >= 0)
		fsync(DirFd);
	HasFile = true;
	return true;
}

void CRecovery::Remove()
{
	// A write still going would bring the file back.
	Wait();
	if (!Path.empty() && HasFile)
		unlink(Path.c_str());
	HasFile = false;
}

bool CRecovery::Read(const std::string& path, SRecoveredScene& scene)
{
	std::string bytes;
	if (FILE* in = std::fopen(path.c_str(), "rb"))
	{
		char buffer[16384];
		for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
			bytes.append(buffer, n);
		std::fclose(in);
	}
	if (bytes.compare(0, sizeof Magic - 1, Magic) != 0)
		return false;
	CRawIn in(bytes);
	std::string magic(sizeof Magic - 1, '\0');
	in.take(&magic[0], magic.size());
	in.io(scene.SceneFile);
	SWorldState world;
	WorldFields(in, world);
	scene.State.World = std::make_shared<const SWorldState>(world);
	u32 count = 0;
	in.io(count);
	for (u32 i = 0; i < count && in.Ok; ++i)
	{
		s32 slot = -1;
		SModelState model;
		in.io(slot);
		ModelFields(in, model);
		if (slot < 0 || slot >= OBJECT_SLOTS || scene.State.Models[slot])
			return false;
		scene.State.Models[slot] = std::make_shared<const SModelState>(std::move(model));
	}
	return in.atEnd(EndMark);
}

std::vector<SLeftRecovery> CRecovery::FindLeft()
{
	std::vector<SLeftRecovery> left;
	std::set<std::string> tags;
	if (DIR* dir = opendir(Dir.c_str()))
	{
		while (dirent* entry = readdir(dir))
		{
			const std::string name = entry->d_name;
			const size_t dot = name.find('.');
			if (dot != std::string::npos && dot > 0 && name.substr(0, dot) != Tag)
				tags.insert(name.substr(0, dot));
		}
		closedir(dir);
	}
	for (const std::string& tag : tags)
	{
		SLeftRecovery found;
		found.Lock = Dir + "/" + tag + ".lock";
		found.Path = Dir + "/" + tag + ".recovery";
		found.LockFd = OpenLock(found.Lock, O_CREAT);
		if (found.LockFd < 0)
			continue;
		// Locked: that editor still runs.
		if (flock(found.LockFd, LOCK_EX | LOCK_NB) != 0)
		{
			close(found.LockFd);
			continue;
		}
		RemoveJournalledTemps(Dir + "/" + tag + ".temps");
		unlink((found.Path + ".tmp").c_str());
		unlink((found.Path + ".end.tmp").c_str());
		struct stat info;
		if (stat(found.Path.c_str(), &info) == 0)
		{
			found.Written = info.st_mtime;
			left.push_back(found);
			continue;
		}
		unlink(found.Lock.c_str());
		close(found.LockFd);
	}
	std::sort(left.begin(), left.end(),
	          [](const SLeftRecovery& a, const SLeftRecovery& b) { return a.Written > b.Written; });
	return left;
}

void CRecovery::Release(SLeftRecovery& left, bool remove)
{
	if (remove)
	{
		unlink(left.Path.c_str());
		unlink(left.Lock.c_str());
	}
	if (left.LockFd >= 0)
		close(left.LockFd);
	left.LockFd = -1;
}

void CRecovery::Finish(bool keepFile)
{
	Wait();
	if (!keepFile)
		Remove();
	unlink(JournalPath.c_str());
	unlink(LockPath.c_str());
	if (LockFd >= 0)
		close(LockFd);
	if (DirFd >= 0)
		close(DirFd);
	LockFd = DirFd = -1;
	if (Running == this)
		Running = nullptr;
	if (CPendingFile::Journal == JournalPath)
		CPendingFile::Journal.clear();
}
