// The socket protocol between the editor and the load-check helper server.
// A request is two 32-bit lengths, then the kind's name and the file's path;
// the answer is the forked child's process id, then its wait status, each a
// 32-bit integer.
#ifndef TOLVANE_LOADCHECKPROTOCOL_H
#define TOLVANE_LOADCHECKPROTOCOL_H

#include <cerrno>
#include <cstddef>
#include <ctime>
#include <poll.h>
#include <sys/socket.h>

namespace loadcheck
{
//! Seconds on a steady clock.
inline double Now()
{
	timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return t.tv_sec + t.tv_nsec / 1e9;
}

//! Sends all bytes; false when the other side is gone (no SIGPIPE).
inline bool SendAll(int fd, const void* data, size_t size)
{
	const char* bytes = static_cast<const char*>(data);
	while (size > 0)
	{
		const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
		if (sent < 0 && errno == EINTR)
			continue;
		if (sent <= 0)
			return false;
		bytes += sent;
		size -= static_cast<size_t>(sent);
	}
	return true;
}

//! Receives exactly `size` bytes, waiting until `deadline` (0: for ever).
//! False on a closed socket, an error or the deadline.
inline bool ReceiveAll(int fd, void* data, size_t size, double deadline = 0)
{
	char* bytes = static_cast<char*>(data);
	while (size > 0)
	{
		if (deadline > 0)
		{
			const double left = deadline - Now();
			pollfd p = {fd, POLLIN, 0};
			if (left <= 0 || poll(&p, 1, static_cast<int>(left * 1000) + 1) == 0)
				return false;
		}
		const ssize_t got = recv(fd, bytes, size, 0);
		if (got < 0 && errno == EINTR)
			continue;
		if (got <= 0)
			return false;
		bytes += got;
		size -= static_cast<size_t>(got);
	}
	return true;
}
} // namespace loadcheck

#endif
