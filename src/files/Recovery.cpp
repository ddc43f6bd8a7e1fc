#include "Recovery.h"
#include "SceneTree.h"
#include "FileNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sched.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "CModel.h"
#include "ObjectKinds.h"
#include "RecordFields.h"
#include "PendingFile.h"

using namespace irr;

namespace
{
const char Magic[] = "TOLVANE RECOVERY 4\n";
const size_t AllFields = std::tuple_size<std::decay_t<decltype(RecordFieldTable())>>::value;
// The files of earlier builds: before objects kept other tools' material
// settings (a record ends before its last field; a billboard had no alpha
// values), before they kept the rest of what such scenes held for them (two
// fields fewer, the world without its kept nodes), and before objects had
// parents and names (two fewer again).
struct SOlderFormat
{
	const char* Magic;
	size_t Fields;
	bool WorldKept;
};
const SOlderFormat OlderFormats[] = {{"TOLVANE RECOVERY 3\n", AllFields - 1, true},
                                     {"TOLVANE RECOVERY 2\n", AllFields - 3, false},
                                     {"TOLVANE RECOVERY 1\n", AllFields - 5, false}};
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
	//! Whether what is left is the start of `mark`.
	bool cutShortIn(const char* mark)
	{
		return Ok && Bytes.size() - At < std::strlen(mark) &&
		       Bytes.compare(At, std::string::npos, mark, Bytes.size() - At) == 0;
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

template <typename Stream, typename Record>
void ModelFields(Stream& s, Record& m, size_t fields = SIZE_MAX)
{
	size_t done = 0;
	EachRecordField(
	    [&](const auto& field)
	    {
		    if (done++ < fields)
			    s.io(FieldOf(m, field));
	    });
}

template <typename Stream, typename Piece> void PieceFields(Stream& s, Piece& piece)
{
	Each(s, piece.File, piece.Name, piece.Textures, piece.Hidden, piece.Locked);
}

template <typename Stream, typename World> void WorldFields(Stream& s, World& w, bool kept = true)
{
	PieceFields(s, w.Plane);
	PieceFields(s, w.Terrain);
	PieceFields(s, w.Level);
	Each(s, w.Sky, w.SkyHidden, w.SkyLocked);
	for (auto& text : w.SkyTexts)
		s.io(text);
	for (auto& bar : w.Bars)
		s.io(bar);
	s.io(w.MarkerPosition);
	s.io(w.MarkerRotation);
	s.io(w.CurrentModel);
	if (kept)
		s.io(w.Kept);
}

// A record of an earlier build may lack the values its kind gained since
// (they are only ever added at the end): they take their defaults.
void AddNewerValues(SModelState& model)
{
	const SObjectKind* kind = KindOf(model.Type);
	if (kind && !model.Values.empty() && model.Values.size() < kind->ValueCount)
		for (u32 i = static_cast<u32>(model.Values.size()); i < kind->ValueCount; ++i)
			model.Values.push_back(kind->DefaultValues[i]);
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

// What a system error number means, without the allocation of a
// translation (a signal's handler says it).
const char* ErrorText(int error)
{
	const char* text = error ? strerrordesc_np(error) : nullptr;
	return text ? text : "unknown error";
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
	if (!running || !running->KeptUnsaved())
		return;
	if (running->WriteKept(true))
	{
		Say("tolvane: the unsaved scene was kept in ");
		Say(running->Path.c_str());
	}
	else
	{
		Say("tolvane: the unsaved scene could not be kept in ");
		Say(running->Path.c_str());
		Say(": ");
		Say(ErrorText(running->Error));
	}
	Say("\n");
}

CRecovery::CRecovery() : Active(0), LockFd(-1), DirFd(-1), HasFile(false)
{
	Kept[0].State.World = Kept[1].State.World = std::make_shared<const SWorldState>();
}

CRecovery::~CRecovery()
{
	if (LockFd >= 0 || Running == this)
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
	Tag = RunTag();
	LockPath = Dir + "/" + Tag + ".lock";
	Path = Dir + "/" + Tag + ".recovery";
	TempPath = Path + ".tmp";
	EndingTempPath = Path + ".end.tmp";
	JournalPath = Dir + "/" + Tag + ".temps";
	CPendingFile::Journal = JournalPath;
	Running = this;
	return Claim();
}

bool CRecovery::Claim()
{
	if (LockFd >= 0)
		return true;
	if (!MakeFolders(Dir))
	{
		Error = errno;
		return false;
	}
	// Written without a lock, the file would look left behind to another
	// editor while this one runs.
	LockFd = OpenLock(LockPath, O_CREAT | O_EXCL);
	if (LockFd < 0 || flock(LockFd, LOCK_EX | LOCK_NB) != 0)
	{
		Error = errno;
		if (LockFd >= 0)
		{
			unlink(LockPath.c_str());
			close(LockFd);
		}
		LockFd = -1;
		return false;
	}
	DirFd = open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
	if (ending)
		// The folder may be back; one that is gone takes no more than this
		// (making its parents would allocate).
		mkdir(Dir.c_str(), 0700);
	else
	{
		Wait();
		if (!Claim())
			return false;
	}
	// An ending that interrupts a write, or meets one in the writing
	// thread, writes a file of its own, so the two never share one.
	const bool busy = Writing.fetch_add(1) != 0;
	const bool written = WriteTo(Kept[Active], busy ? EndingTempPath.c_str() : TempPath.c_str(),
	                             ending ? IN_ENDING : IN_FRAME);
	--Writing;
	return written;
}

void CRecovery::WriteKeptLater()
{
	if (Path.empty())
		return;
	Wait();
	if (!Claim())
	{
		Failed = true;
		return;
	}
	Later = Kept[Active];
	++Writing;
	Writer = std::thread(
	    [this]
	    {
		    if (!WriteTo(Later, TempPath.c_str(), IN_THREAD))
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

bool CRecovery::WriteTo(const SKept& kept, const char* temp, EWriter writer)
{
	const int fd = open(temp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
	if (fd < 0)
	{
		Error = errno;
		return false;
	}
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
	int failure = out.flush() && fsync(fd) == 0 ? 0 : errno;
	if (close(fd) != 0 && !failure)
		failure = errno;
	// The thread renames only while no ending has begun to rename the newer
	// scene; an ending renames only once the thread's rename is done.
	bool superseded = false;
	if (writer == IN_THREAD)
	{
		Renaming = true;
		superseded = Ending;
	}
	else if (writer == IN_ENDING)
	{
		Ending = true;
		while (Renaming)
			sched_yield();
	}
	if (!failure && !superseded && rename(temp, Path.c_str()) != 0)
		failure = errno;
	if (writer == IN_THREAD)
		Renaming = false;
	if (failure || superseded)
	{
		if (failure)
			Error = failure;
		unlink(temp);
		return !failure;
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

namespace
{
bool NameFits(const std::string& name)
{
	return name.size() <= LONGEST_NAME;
}

bool NamesFit(const TextureNames& names)
{
	return std::all_of(names.begin(), names.end(), NameFits);
}

bool TextFits(const core::stringw& text)
{
	return text.size() <= LONGEST_NAME && TextIsSound(text.c_str(), text.size());
}

bool PieceFits(const SWorldPiece& piece)
{
	return NameFits(piece.File) && NameFits(piece.Name) && NamesFit(piece.Textures);
}

// The scene-wide values pass what a scene file's pass; else what does not.
bool WorldIsSound(const SWorldState& world, std::wstring& problem)
{
	if (!IsFinite(world.MarkerPosition) || !IsFinite(world.MarkerRotation))
		problem = L"its placement marker is not at a place it can hold";
	else if (!CounterFits(world.CurrentModel))
		problem = L"its slot counter is " + std::to_wstring(world.CurrentModel) +
		          L", not between 0 and 99";
	else if (std::any_of(std::begin(world.Bars), std::end(world.Bars),
	                     [](s32 bar) { return bar < 0 || bar > 255; }))
		problem = L"a colour of it is not between 0 and 255";
	else if (!PieceFits(world.Plane) || !PieceFits(world.Terrain) || !PieceFits(world.Level) ||
	         !NamesFit(world.Sky) ||
	         !std::all_of(std::begin(world.SkyTexts), std::end(world.SkyTexts), TextFits))
		problem = L"a name in its world is no text a scene holds";
	return problem.empty();
}

bool RecordFits(int slot, const SModelState& record, std::wstring& problem)
{
	const SObjectKind* kind = KindOf(record.Type);
	const std::wstring name = kind ? kind->Name : L"object";
	std::string field;
	if (!SlotFits(slot, record.Type == CModel::TYPE_WATER))
		problem = L"its " + name + L" is in slot " + std::to_wstring(slot) +
		          (slot == WATER_SLOT ? L", which holds the water surface only"
		                              : L", which holds no water surface");
	else if (!RecordIsSound(record, field))
		problem = std::wstring(L"its ") + UnsoundRecordText(slot, record.Type, field).c_str();
	else if (!NameFits(record.Mesh) || !NamesFit(record.Textures[0]) ||
	         !NamesFit(record.Textures[1]) || !TextFits(record.FileName) ||
	         !TextFits(record.TextureName) || !TextFits(record.TextureName2))
		problem = L"a name of its " + name + L" in slot " + std::to_wstring(slot) +
		          L" is no text a scene holds";
	return problem.empty();
}

bool IsSound(const SRecoveredScene& scene, std::wstring& problem)
{
	if (!NameFits(scene.SceneFile))
	{
		problem = L"the scene file it names is no text a scene holds";
		return false;
	}
	if (!WorldIsSound(*scene.State.World, problem))
		return false;
	for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
		if (scene.State.Models[slot] && !RecordFits(slot, *scene.State.Models[slot], problem))
			return false;
	std::wstring tree;
	if (!scenetree::TreeIsSound(scene.State, tree))
	{
		problem = L"its " + tree;
		return false;
	}
	return true;
}
} // namespace

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
	const SOlderFormat* older = 0;
	for (const SOlderFormat& format : OlderFormats)
		if (bytes.compare(0, std::strlen(format.Magic), format.Magic) == 0)
			older = &format;
	if (!older && bytes.compare(0, sizeof Magic - 1, Magic) != 0)
	{
		scene.Problem = L"it is no recovery file of this editor";
		return false;
	}
	CRawIn in(bytes);
	std::string magic(sizeof Magic - 1, '\0');
	in.take(&magic[0], magic.size());
	in.io(scene.SceneFile);
	SWorldState world;
	WorldFields(in, world, !older || older->WorldKept);
	in.io(scene.Named);
	if (!in.Ok)
	{
		scene.Problem = L"it is cut short before the objects it holds";
		return false;
	}
	scene.State.World = std::make_shared<const SWorldState>(world);
	for (; scene.Whole < scene.Named; ++scene.Whole)
	{
		s32 slot = -1;
		SModelState model;
		in.io(slot);
		ModelFields(in, model, older ? older->Fields : SIZE_MAX);
		if (older)
			AddNewerValues(model);
		// Cut short: the objects before the cut are whole.
		if (!in.Ok)
			break;
		if (slot < 0 || slot >= OBJECT_SLOTS || scene.State.Models[slot])
		{
			scene.Problem =
			    L"it names slot " + std::to_wstring(slot) + L" twice or outside 0 to 99";
			return false;
		}
		scene.State.Models[slot] = std::make_shared<const SModelState>(std::move(model));
	}
	scene.CutShort = !in.atEnd(EndMark);
	if (scene.CutShort && in.Ok && !in.cutShortIn(EndMark))
	{
		scene.Problem = L"it holds more than the objects it names";
		return false;
	}
	return IsSound(scene, scene.Problem);
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
		unlink(left.Path.c_str());
	// The editor that held it no longer runs; the next start makes it again.
	unlink(left.Lock.c_str());
	if (left.LockFd >= 0)
		close(left.LockFd);
	left.LockFd = -1;
}

std::string CRecovery::SetAside(SLeftRecovery& left)
{
	const std::string aside = left.Path + ".damaged";
	const bool renamed = rename(left.Path.c_str(), aside.c_str()) == 0;
	Release(left, false);
	return renamed ? aside : left.Path;
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
