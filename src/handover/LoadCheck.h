// Trying a user's file in a separate, short-lived process before the editor
// loads it: some malformed files crash the engine's loaders or make them loop
// forever, and the editor must not lose its scene to them.
#ifndef TOLVANE_LOADCHECK_H
#define TOLVANE_LOADCHECK_H

#include <functional>
#include <irrlicht.h>
#include <string>

//! Time a file may take to load in the check: a base plus an allowance per
//! megabyte, generous enough for large valid files on a slow machine.
const double LOAD_CHECK_BASE_SECONDS = 10.0;
const double LOAD_CHECK_SECONDS_PER_MB = 1.0;

//! What the helper was asked to load.
enum ELoadKind
{
	LOADKIND_MESH,
	LOADKIND_TEXTURE,
	LOADKIND_LEVEL, // a Quake 3 level, from a .bsp file or a .pk3 archive
	LOADKIND_SCENE  // a scene file: read, nothing it names loaded
};

enum ELoadCheck
{
	LOADCHECK_LOADS,       // the engine loads it
	LOADCHECK_FAILS,       // the engine refuses it cleanly
	LOADCHECK_CRASHED,     // the loader crashed
	LOADCHECK_TIMED_OUT,   // the loader did not finish in time
	LOADCHECK_UNAVAILABLE, // the helper could not be started
	LOADCHECK_CANCELLED,   // the user gave up waiting
	LOADCHECK_NOT_A_FILE   // a folder, a FIFO or a device: not tried at all
};

//! The helper runs as a small server started on the first check: it has the
//! engine loaded and forks a fresh child for every file, which saves the
//! start of a process per check. Should the server be gone, a helper
//! process is started for the one file instead.
class CLoadChecker
{
public:
	CLoadChecker();
	~CLoadChecker();
	CLoadChecker(const CLoadChecker&) = delete;
	CLoadChecker& operator=(const CLoadChecker&) = delete;

	//! Loads `file` in the helper and reports how that went. For a level
	//! archive, `level` names the level in it (see LoadQuake3Level); left
	//! empty, the helper lists the archive's levels and loads the one level
	//! of an archive that holds exactly one. With `data`, a file that loads
	//! leaves there a shared memory file (the caller closes it) holding what
	//! the helper loaded, as plain data (TransferFormat.h); else -1.
	ELoadCheck check(ELoadKind kind, const std::string& file, const std::string& level = "",
	                 int* data = nullptr) const;

	//! Seconds allowed for a file of the given size.
	double timeLimit(long long bytes) const;

	//! Starts a run of checks that shares one time limit and one Cancel (a
	//! scene and every file it names): the base allowance once, plus the
	//! allowance per megabyte of every file checked in the run. Once the
	//! run has timed out or been cancelled, its later checks answer so at
	//! once; LastSeconds is then the run's limit.
	void beginBatch();
	//! Ends the run: LOADCHECK_LOADS when it ran to its end, else
	//! LOADCHECK_TIMED_OUT or LOADCHECK_CANCELLED.
	ELoadCheck endBatch();
	bool inBatch() const { return BatchStart > 0; }
	//! The run has timed out or been cancelled.
	bool batchStopped() const { return inBatch() && BatchStop != LOADCHECK_LOADS; }

	//! Path of the helper executable.
	std::string Helper;
	double BaseSeconds;
	double SecondsPerMB;
	//! What the last check found, and the seconds it was allowed, for reports.
	mutable ELoadCheck LastResult;
	mutable double LastSeconds;
	//! Called about every 50 ms while a file takes longer than a moment
	//! (WAIT_MOMENT_SECONDS), so the caller can show that it is busy; its
	//! false ends the trial (LOADCHECK_CANCELLED).
	std::function<bool()> Waiting;
	static constexpr double WAIT_MOMENT_SECONDS = 0.25;

private:
	ELoadCheck runInServer(const std::string& request, const std::string& file, int data,
	                       double seconds) const;
	ELoadCheck runInProcess(const std::string& request, const std::string& file, int data,
	                        double seconds) const;
	bool startServer() const;
	//! Waits until `fd` is readable or `deadline` passes, calling Waiting;
	//! false on the deadline or when Waiting gave up (Cancelled).
	bool waitReadable(int fd, double deadline) const;
	//! Whether Waiting asks to stop, once the trial has lasted a moment.
	bool giveUp(double start) const;
	mutable bool Cancelled;
	//! When the run of checks began (0: no run), the bytes of its files,
	//! and how it stopped (LOADCHECK_LOADS while it goes on).
	double BatchStart = 0;
	mutable long long BatchBytes = 0;
	mutable ELoadCheck BatchStop = LOADCHECK_LOADS;
	//! Seconds left for a check of a file of `bytes`, counting it in the run.
	double allowance(long long bytes) const;
	//! When the busy callback's moment counts from.
	double momentFrom(double start) const { return inBatch() ? BatchStart : start; }
	void stopServer() const;

	mutable int ServerSocket;
	mutable int ServerPid;
};

//! Name of a kind as the helper takes it on its command line.
const char* LoadKindName(ELoadKind kind);

//! The helper's request for a kind: "level:NAME" names a level of an archive.
std::string LoadRequest(ELoadKind kind, const std::string& level);

#endif
