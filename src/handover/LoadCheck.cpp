// Spawning and timing the load-check helper; see LoadCheck.h.
#include "LoadCheck.h"

#include <algorithm>
#include "FileNames.h"
#include "InstallPaths.h"
#include "LoadCheckProtocol.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace loadcheck;

namespace
{
void SleepMilliseconds(long ms)
{
	const timespec pause = {0, ms * 1000000L};
	nanosleep(&pause, nullptr);
}

// Waits up to `ms` for the child to end. A process file descriptor wakes
// the wait the moment the child exits; where the kernel has none, a short
// sleep has to do.
void WaitForChild(int pidfd, long ms)
{
	if (pidfd >= 0)
	{
		pollfd p = {pidfd, POLLIN, 0};
		poll(&p, 1, static_cast<int>(ms));
	}
	else
		SleepMilliseconds(ms < 20 ? ms : 20);
}

// Starts the helper with its arguments, its output discarded; `socket`, when
// not -1, becomes its descriptor 3. A spawned process, not a fork: the editor
// has threads of its own. 0 when it cannot be started.
pid_t SpawnHelper(const std::string& helper, const char* first, const char* second, int socket,
                  const char* third = nullptr)
{
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	if (socket >= 0)
		posix_spawn_file_actions_adddup2(&actions, socket, 3);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	const char* argv[] = {helper.c_str(), first, second, third, nullptr};
	pid_t pid = 0;
	const int spawned = posix_spawn(&pid, helper.c_str(), &actions, nullptr,
	                                const_cast<char* const*>(argv), environ);
	posix_spawn_file_actions_destroy(&actions);
	return spawned == 0 ? pid : 0;
}

// The helper's exit: 0 loaded, 1 refused, 127 not started; a signal or any
// other status is a crash.
ELoadCheck FromStatus(int status)
{
	if (WIFSIGNALED(status))
		return LOADCHECK_CRASHED;
	if (!WIFEXITED(status))
		return LOADCHECK_CRASHED;
	switch (WEXITSTATUS(status))
	{
	case 0: return LOADCHECK_LOADS;
	case 1: return LOADCHECK_FAILS;
	case 127: return LOADCHECK_UNAVAILABLE;
	default: return LOADCHECK_CRASHED;
	}
}
} // namespace

const char* LoadKindName(ELoadKind kind)
{
	switch (kind)
	{
	case LOADKIND_TEXTURE: return "texture";
	case LOADKIND_LEVEL: return "level";
	case LOADKIND_SCENE: return "scene";
	default: return "mesh";
	}
}

CLoadChecker::CLoadChecker()
    : Helper(HelperPath()), BaseSeconds(LOAD_CHECK_BASE_SECONDS),
      SecondsPerMB(LOAD_CHECK_SECONDS_PER_MB), LastResult(LOADCHECK_LOADS), LastSeconds(0),
      Cancelled(false), ServerSocket(-1), ServerPid(-1)
{
}

CLoadChecker::~CLoadChecker()
{
	stopServer();
}

double CLoadChecker::timeLimit(long long bytes) const
{
	return BaseSeconds + SecondsPerMB * static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double CLoadChecker::allowance(long long bytes) const
{
	if (!inBatch())
		return LastSeconds = timeLimit(bytes);
	BatchBytes += bytes;
	LastSeconds = timeLimit(BatchBytes);
	return BatchStart + LastSeconds - Now();
}

void CLoadChecker::beginBatch()
{
	BatchStart = Now();
	BatchBytes = 0;
	BatchStop = LOADCHECK_LOADS;
	Cancelled = false;
}

ELoadCheck CLoadChecker::endBatch()
{
	BatchStart = 0;
	return BatchStop;
}

std::string LoadRequest(ELoadKind kind, const std::string& level)
{
	const std::string name = LoadKindName(kind);
	return kind == LOADKIND_LEVEL && !level.empty() ? name + ":" + level : name;
}

ELoadCheck CLoadChecker::check(ELoadKind kind, const std::string& file, const std::string& level,
                               int* data) const
{
	if (data)
		*data = -1;
	if (inBatch() && BatchStop != LOADCHECK_LOADS)
		return LastResult = BatchStop;
	struct stat info;
	const bool exists = stat(file.c_str(), &info) == 0;
	// Opening a FIFO would wait for a writer, a device may never end: only
	// regular files are tried. A missing file is the helper's to refuse.
	if (exists && !S_ISREG(info.st_mode))
		return LastResult = LOADCHECK_NOT_A_FILE;
	const double seconds = allowance(exists ? info.st_size : 0);
	if (seconds <= 0)
		return LastResult = BatchStop = LOADCHECK_TIMED_OUT;
	// What the helper loaded comes back in shared memory, not through the
	// socket.
	const int shared = data ? memfd_create("tolvane-load", MFD_CLOEXEC | MFD_ALLOW_SEALING) : -1;
	const std::string request = LoadRequest(kind, level);
	Cancelled = Cancelled && inBatch();
	LastResult = runInServer(request, file, shared, seconds);
	if (LastResult == LOADCHECK_UNAVAILABLE)
		LastResult = runInProcess(request, file, shared, seconds);
	if (inBatch() && (LastResult == LOADCHECK_TIMED_OUT || LastResult == LOADCHECK_CANCELLED))
		BatchStop = LastResult;
	// Sealed, what the editor checks can no longer change under it; a
	// process that still holds the memory for writing makes it unusable.
	if (LastResult == LOADCHECK_LOADS && shared >= 0 &&
	    fcntl(shared, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0)
		LastResult = LOADCHECK_CRASHED;
	if (LastResult == LOADCHECK_LOADS && data)
		*data = shared;
	else if (shared >= 0)
		close(shared);
	return LastResult;
}

ELoadCheck CLoadChecker::runInProcess(const std::string& request, const std::string& file, int data,
                                      double seconds) const
{
	const pid_t pid =
	    SpawnHelper(Helper, request.c_str(), file.c_str(), data, data >= 0 ? "3" : nullptr);
	if (pid <= 0)
		return LOADCHECK_UNAVAILABLE;

	const double start = Now(), deadline = start + seconds;
	const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
	int status = 0;
	ELoadCheck outcome = LOADCHECK_LOADS;
	for (;;)
	{
		const pid_t done = waitpid(pid, &status, WNOHANG);
		if (done == pid)
			break;
		if (done < 0 && errno != EINTR)
		{
			outcome = LOADCHECK_UNAVAILABLE;
			break;
		}
		const double left = deadline - Now();
		if (left <= 0 || giveUp(momentFrom(start)))
		{
			kill(pid, SIGKILL);
			waitpid(pid, &status, 0);
			outcome = left <= 0 ? LOADCHECK_TIMED_OUT : LOADCHECK_CANCELLED;
			break;
		}
		WaitForChild(pidfd, static_cast<long>((Waiting ? std::min(left, 0.05) : left) * 1000) + 1);
	}
	if (pidfd >= 0)
		close(pidfd);
	if (outcome != LOADCHECK_LOADS)
		return outcome;
	return FromStatus(status);
}

bool CLoadChecker::startServer() const
{
	int ends[2];
	if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
		return false;
	fcntl(ends[0], F_SETFD, FD_CLOEXEC);
	const pid_t pid = SpawnHelper(Helper, "serve", "3", ends[1]);
	close(ends[1]);
	if (pid <= 0)
	{
		close(ends[0]);
		return false;
	}
	ServerSocket = ends[0];
	ServerPid = pid;
	return true;
}

void CLoadChecker::stopServer() const
{
	if (ServerSocket >= 0)
		close(ServerSocket); // the server leaves when its socket closes
	if (ServerPid > 0)
	{
		kill(ServerPid, SIGKILL);
		waitpid(ServerPid, nullptr, 0);
	}
	ServerSocket = -1;
	ServerPid = -1;
}

// One request: the lengths of the kind's name, the path and the working
// directory (with the shared memory file attached), then the three; the
// server answers with the child's process id, then its wait status.
ELoadCheck CLoadChecker::runInServer(const std::string& kindName, const std::string& file, int data,
                                     double seconds) const
{
	if (ServerSocket < 0 && !startServer())
		return LOADCHECK_UNAVAILABLE;
	const std::string folder = WorkingDirectory();
	const uint32_t sizes[3] = {static_cast<uint32_t>(kindName.size()),
	                           static_cast<uint32_t>(file.size()),
	                           static_cast<uint32_t>(folder.size())};
	int32_t child = 0;
	if (!(data >= 0 ? SendWithFd(ServerSocket, sizes, sizeof sizes, data)
	                : SendAll(ServerSocket, sizes, sizeof sizes)) ||
	    !SendAll(ServerSocket, kindName.data(), kindName.size()) ||
	    !SendAll(ServerSocket, file.data(), file.size()) ||
	    !SendAll(ServerSocket, folder.data(), folder.size()) ||
	    !ReceiveAll(ServerSocket, &child, sizeof child, Now() + 10) || child <= 0)
	{
		stopServer();
		return LOADCHECK_UNAVAILABLE;
	}
	int32_t status = 0;
	if (waitReadable(ServerSocket, Now() + seconds) &&
	    ReceiveAll(ServerSocket, &status, sizeof status, Now() + 10))
		return FromStatus(status);
	// Too slow, or given up: end the child; the server then reports it and
	// is ready.
	kill(child, SIGKILL);
	if (!ReceiveAll(ServerSocket, &status, sizeof status, Now() + 10))
		stopServer();
	return Cancelled ? LOADCHECK_CANCELLED : LOADCHECK_TIMED_OUT;
}

bool CLoadChecker::giveUp(double start) const
{
	Cancelled = Cancelled || (Waiting && Now() - start >= WAIT_MOMENT_SECONDS && !Waiting());
	return Cancelled;
}

bool CLoadChecker::waitReadable(int fd, double deadline) const
{
	const double start = momentFrom(Now());
	for (;;)
	{
		const double left = deadline - Now();
		if (left <= 0 || giveUp(start))
			return false;
		pollfd p = {fd, POLLIN, 0};
		const double slice = Waiting ? std::min(left, 0.05) : left;
		if (poll(&p, 1, static_cast<int>(slice * 1000) + 1) > 0)
			return true;
	}
}
