// What keeps unsaved work when the editor ends without saving it: one
// recovery file per running editor in the user's state folder, written from
// the scene's plain values, and the recovery files that editors which no
// longer run left behind.
//
// Each editor holds a lock on "<tag>.lock" for as long as it runs; a lock
// that can be taken belongs to an editor that ended, however it ended
// (the system drops the locks of a killed process). Its "<tag>.recovery" is
// then left over, and "<tag>.temps" names the files it was saving to.
#ifndef TOLVANE_RECOVERY_H
#define TOLVANE_RECOVERY_H

#include <atomic>
#include <csignal>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "SceneState.h"

//! A recovery file left by an editor that no longer runs; this editor holds
//! its lock until it is adopted or discarded, so no other editor takes it.
struct SLeftRecovery
{
	std::string Path;
	std::string Lock;
	int LockFd = -1;
	//! When it was written.
	std::time_t Written = 0;
};

//! What a recovery file holds.
struct SRecoveredScene
{
	SSceneState State;
	//! The scene file the work belongs to (empty: never saved).
	std::string SceneFile;
	//! The objects the file names, and those read whole: fewer when it is
	//! cut short.
	unsigned Named = 0, Whole = 0;
	//! The file ends before its end mark.
	bool CutShort = false;
	//! Why it cannot be opened ("its slot counter is -3, ...").
	std::wstring Problem;
};

class CRecovery
{
public:
	CRecovery();
	~CRecovery();

	//! $XDG_STATE_HOME/tolvane, or ~/.local/state/tolvane when it is unset.
	static std::string Folder();

	//! Takes this editor's own name in the folder (making the folder when
	//! needed); false when the folder cannot be used, and then every write
	//! tries it again.
	bool Start();
	//! The folder in use, and the system's error number of the last write
	//! (or of taking the folder) that failed.
	const std::string& FolderInUse() const { return Dir; }
	int LastError() const { return Error; }
	//! The file this editor writes to (empty before Start).
	const std::string& File() const { return Path; }

	//! Keeps the scene to write when the process must end at once; cheap
	//! (the records are shared), and safe against an ending that arrives
	//! meanwhile: the copy written last stays whole until the next is done.
	void Keep(const SSceneState& state, const std::string& sceneFile, bool unsaved);
	//! Writes the scene kept last, completely or not at all, after the
	//! write of the writing thread. For an `ending` (a signal's handler) it
	//! waits for nothing and makes only system calls, with no allocation.
	bool WriteKept(bool ending = false);
	//! Writes the scene kept last in a thread of its own, so that the
	//! frame does not wait for the disk; a write still going is waited for
	//! first.
	void WriteKeptLater();
	//! Waits for the write of WriteKeptLater; false when it failed.
	bool Wait();
	//! Whether the kept scene has unsaved changes.
	bool KeptUnsaved() const;
	//! Removes this editor's recovery file.
	void Remove();
	//! Whether this editor's recovery file exists.
	bool Written() const { return HasFile; }
	//! Whether a write of WriteKeptLater has failed since the last call.
	bool TakeFailure() { return Failed.exchange(false); }

	//! The recovery files of editors that no longer run, newest first, each
	//! locked by this editor; the temporary files those editors were saving
	//! are removed on the way.
	std::vector<SLeftRecovery> FindLeft();
	//! Reads a recovery file, and checks every value in it as a scene
	//! file's values are checked (RecordIsSound, the slots and the slot
	//! counter, the marker, valid text). True when it can be opened: whole,
	//! or cut short after the scene-wide values (`CutShort`, with the
	//! objects before the cut); false, with `Problem`, when not.
	static bool Read(const std::string& path, SRecoveredScene& scene);
	//! Drops the lock on a left recovery file, whose lock file goes; with
	//! `remove`, the recovery file goes too (else the next start offers it
	//! again).
	static void Release(SLeftRecovery& left, bool remove);
	//! Renames a left recovery file that is not to be offered again to
	//! "<file>.damaged", and releases it; the name it has now (the old one
	//! when it cannot be renamed).
	static std::string SetAside(SLeftRecovery& left);

	//! SIGTERM, SIGHUP and SIGINT write the scene kept last, when it has
	//! unsaved changes, before they end the process.
	void WriteOnEndingSignals();
	//! For endings that leave no time to ask: writes the scene kept last
	//! when it has unsaved changes, and says where on standard error.
	static void WriteBeforeEnding();

	//! Ends the run cleanly: this editor's name leaves the folder (its
	//! recovery file stays when `keepFile`).
	void Finish(bool keepFile);

private:
	struct SKept
	{
		SSceneState State;
		std::string SceneFile;
		bool Unsaved = false;
	};
	SKept Kept[2];
	volatile std::sig_atomic_t Active;
	//! What the writing thread writes, and the thread.
	SKept Later;
	std::thread Writer;
	std::atomic<bool> Failed{false};
	//! A write is going on (an ending then writes through a file of its own).
	std::atomic<int> Writing{0};
	//! The writing thread is renaming its file into place; an ending has
	//! begun to rename its own. Either sees the other's mark, so the
	//! thread's older scene never replaces the ending's.
	std::atomic<bool> Renaming{false}, Ending{false};
	std::atomic<int> Error{0};
	std::string Dir, Tag, Path, TempPath, EndingTempPath, LockPath, JournalPath;
	int LockFd, DirFd;
	std::atomic<bool> HasFile;
	//! Makes the folder and takes this editor's lock in it, once.
	bool Claim();
	enum EWriter
	{
		IN_FRAME,
		IN_THREAD,
		IN_ENDING
	};
	bool WriteTo(const SKept& kept, const char* temp, EWriter writer);
	//! The recovery of the editor that runs, for the endings.
	static CRecovery* Running;
};

#endif
