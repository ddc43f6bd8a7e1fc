// The socket protocol between the editor and the load-check helper server.
// A request is three 32-bit lengths, carrying the descriptor of a shared
// memory file for the answer's data, then the kind's name, the file's path
// and the editor's working directory; the answer is the forked child's
// process id, then its wait status, each a 32-bit integer.
#ifndef TOLVANE_LOADCHECKPROTOCOL_H
#define TOLVANE_LOADCHECKPROTOCOL_H

#include <cerrno>
#include <cstddef>
#include <cstring>
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

//! A message of one piece of data with room for one file descriptor.
struct SMessage
{
	SMessage(void* data, size_t size) : Part{data, size}
	{
		Header.msg_iov = &Part;
		Header.msg_iovlen = 1;
		Header.msg_control = Control;
		Header.msg_controllen = sizeof Control;
	}
	SMessage(const SMessage&) = delete;
	SMessage& operator=(const SMessage&) = delete;
	iovec Part;
	char Control[CMSG_SPACE(sizeof(int))] = {};
	msghdr Header = {};
};

//! Sends `size` bytes with a file descriptor attached.
inline bool SendWithFd(int fd, const void* data, size_t size, int attached)
{
	SMessage m(const_cast<void*>(data), size);
	msghdr& message = m.Header;
	cmsghdr* header = CMSG_FIRSTHDR(&message);
	header->cmsg_level = SOL_SOCKET;
	header->cmsg_type = SCM_RIGHTS;
	header->cmsg_len = CMSG_LEN(sizeof(int));
	std::memcpy(CMSG_DATA(header), &attached, sizeof(int));
	ssize_t sent;
	while ((sent = sendmsg(fd, &message, MSG_NOSIGNAL)) < 0 && errno == EINTR)
	{
	}
	return sent == static_cast<ssize_t>(size);
}

//! Receives `size` bytes (sent in one piece) and the descriptor attached to
//! them (-1 when none came).
inline bool ReceiveWithFd(int fd, void* data, size_t size, int& attached)
{
	attached = -1;
	SMessage m(data, size);
	msghdr& message = m.Header;
	ssize_t got;
	while ((got = recvmsg(fd, &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR)
	{
	}
	for (cmsghdr* header = CMSG_FIRSTHDR(&message); header;
	     header = CMSG_NXTHDR(&message, header))
		if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS)
			std::memcpy(&attached, CMSG_DATA(header), sizeof(int));
	return got == static_cast<ssize_t>(size);
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
