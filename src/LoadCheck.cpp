// Spawning and timing the load-check helper; see LoadCheck.h.
#include "LoadCheck.h"

#include <cerrno>
#include <fcntl.h>
#include <csignal>
#include <ctime>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
const char* const HelperName = "tolvane_load_check";

// The helper lives beside the editor's executable; the build tree's copy
// serves programs that are not installed there (tests, benchmarks).
std::string FindHelper()
{
	char self[4096];
	const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
	if (length > 0)
	{
		std::string dir(self, length);
		dir.erase(dir.find_last_of('/') + 1);
		if (access((dir + HelperName).c_str(), X_OK) == 0)
			return dir + HelperName;
	}
#ifdef TOLVANE_LOAD_CHECK_PATH
	return TOLVANE_LOAD_CHECK_PATH;
#else
	return HelperName;
#endif
}

void SleepMilliseconds(long ms)
{
	const timespec pause = {0, ms * 1000000L};
	nanosleep(&pause, nullptr);
}

double Now()
{
	timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return t.tv_sec + t.tv_nsec / 1e9;
}
} // namespace

const char* LoadKindName(ELoadKind kind)
{
	switch (kind)
	{
	case LOADKIND_TEXTURE: return "texture";
	case LOADKIND_LEVEL: return "level";
	default: return "mesh";
	}
}

CLoadChecker::CLoadChecker()
    : Helper(FindHelper()), BaseSeconds(LOAD_CHECK_BASE_SECONDS),
      SecondsPerMB(LOAD_CHECK_SECONDS_PER_MB), LastResult(LOADCHECK_LOADS)
{
}

double CLoadChecker::timeLimit(long long bytes) const
{
	return BaseSeconds + SecondsPerMB * static_cast<double>(bytes) / (1024.0 * 1024.0);
}

ELoadCheck CLoadChecker::check(ELoadKind kind, const std::string& file) const
{
	LastResult = run(kind, file);
	return LastResult;
}

ELoadCheck CLoadChecker::run(ELoadKind kind, const std::string& file) const
{
	struct stat info;
	const long long bytes = stat(file.c_str(), &info) == 0 ? info.st_size : 0;

	// A helper process, not a fork: the editor has threads of its own.
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	const char* argv[] = {Helper.c_str(), LoadKindName(kind), file.c_str(), nullptr};
	pid_t pid = 0;
	const int spawned = posix_spawn(&pid, Helper.c_str(), &actions, nullptr,
	                                const_cast<char* const*>(argv), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (spawned != 0)
		return LOADCHECK_UNAVAILABLE;

	const double deadline = Now() + timeLimit(bytes);
	int status = 0;
	long pause = 1;
	for (;;)
	{
		const pid_t done = waitpid(pid, &status, WNOHANG);
		if (done == pid)
			break;
		if (done < 0 && errno != EINTR)
			return LOADCHECK_UNAVAILABLE;
		if (Now() >= deadline)
		{
			kill(pid, SIGKILL);
			waitpid(pid, &status, 0);
			return LOADCHECK_TIMED_OUT;
		}
		SleepMilliseconds(pause);
		pause = pause < 20 ? pause * 2 : 20;
	}
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
