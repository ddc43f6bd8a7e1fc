// The writer of the hand-over's plain data (TransferFormat.h), with which the
// helper writes what it loaded; it stands beside the scene hand-over
// (SceneTransfer.cpp), whose writing and reading halves share one file.
#include "TransferFormat.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace transfer
{
// The file starts this large and doubles when full; its pages exist only
// where something was written.
const size_t FirstCapacity = 16u << 20;

CWriter::CWriter(int fd) : Fd(fd) {}

CWriter::~CWriter()
{
	if (Map)
		munmap(Map, Capacity);
}

char* CWriter::room(size_t size)
{
	if (Fd < 0)
	{
		Bytes.resize(Bytes.size() + size);
		return &Bytes[Bytes.size() - size];
	}
	if (!Failed && Used + size > Capacity)
	{
		const size_t grown = std::max(Used + size, Capacity ? 2 * Capacity : FirstCapacity);
		void* map = ftruncate(Fd, static_cast<off_t>(grown)) != 0 ? MAP_FAILED
		            : Map ? mremap(Map, Capacity, grown, MREMAP_MAYMOVE)
		                  : mmap(0, grown, PROT_READ | PROT_WRITE, MAP_SHARED, Fd, 0);
		if (map == MAP_FAILED)
			Failed = true;
		else
		{
			Map = static_cast<char*>(map);
			Capacity = grown;
		}
	}
	if (Failed) // what follows is lost; finish() says so
	{
		Bytes.resize(size);
		return &Bytes[0];
	}
	Used += size;
	return Map + Used - size;
}

void CWriter::align(size_t unit)
{
	const size_t pad = (unit - size() % unit) % unit;
	if (pad)
		std::memset(room(pad), 0, pad);
}

void CWriter::cut(size_t size)
{
	if (Fd < 0)
		Bytes.resize(std::min(size, Bytes.size()));
	else
		Used = std::min(size, Used);
}

bool CWriter::finish()
{
	return Fd < 0 || (!Failed && ftruncate(Fd, static_cast<off_t>(Used)) == 0);
}
} // namespace transfer
