// The editor's reading of the plain data the load-check helper wrote
// (TransferFormat.h): every size is checked against what is left before
// anything is read.
#ifndef TOLVANE_TRANSFERREADER_H
#define TOLVANE_TRANSFERREADER_H

#include <cstring>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TransferFormat.h"

namespace transfer
{
// Reads the helper's shared memory with every size checked against what is
// left. Small values come from the mapping; large arrays are copied with
// pread straight into their place, so the mapping's pages never add to the
// editor's resident memory for long, or are lent where they are. The
// mapping is private: what the engine might write into pixels it is lent
// stays in this process.
class CReader
{
public:
	explicit CReader(int fd) : Fd(fd)
	{
		struct stat info;
		if (fstat(fd, &info) != 0 || info.st_size <= 0)
			return;
		const size_t size = static_cast<size_t>(info.st_size);
		void* map = mmap(0, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
		if (map == MAP_FAILED)
			return;
		Mapping.reset(static_cast<char*>(map), [size](char* at) { munmap(at, size); });
		Map = Mapping.get();
		Size = size;
	}
	CReader(const CReader&) = delete;
	CReader& operator=(const CReader&) = delete;

	//! The mapping, for whoever keeps what it lends beyond the reader.
	std::shared_ptr<const char> mapping() const { return Mapping; }

	bool bytes(void* target, size_t count)
	{
		if (!Map || count > Size - Pos)
			return false;
		if (count == 0) // an empty array may have no place at all
			return true;
		if (count < (1u << 16))
			std::memcpy(target, Map + Pos, count);
		else
		{
			char* to = static_cast<char*>(target);
			for (size_t done = 0; done < count;)
			{
				const ssize_t got = pread(Fd, to + done, count - done, Pos + done);
				if (got <= 0)
					return false;
				done += static_cast<size_t>(got);
			}
		}
		Pos += count;
		return true;
	}
	template <typename T> bool get(T& value) { return bytes(&value, sizeof value); }
	//! The format's mark and version, as the data must begin.
	bool begin()
	{
		uint32_t magic = 0, version = 0;
		return get(magic) && get(version) && magic == Magic && version == Version;
	}
	bool fits(uint64_t count) const { return count <= Size - Pos; }
	//! The next `count` bytes where they are, for as long as the mapping
	//! lives; null when fewer are left.
	char* lend(size_t count)
	{
		if (!Map || count > Size - Pos)
			return 0;
		Pos += count;
		return Map + Pos - count;
	}
	//! Skips the writer's padding up to a multiple of `unit` bytes.
	bool align(size_t unit)
	{
		const size_t skip = (unit - Pos % unit) % unit;
		if (!Map || skip > Size - Pos)
			return false;
		Pos += skip;
		return true;
	}
	//! A count of items of `unit` bytes each that must still fit.
	bool count(uint32_t& n, size_t unit)
	{
		return get(n) && n <= MaxCount && static_cast<uint64_t>(n) * unit <= Size - Pos;
	}
	bool text(std::string& value)
	{
		uint32_t n = 0;
		if (!count(n, 1))
			return false;
		value.assign(Map + Pos, n);
		Pos += n;
		return true;
	}

private:
	int Fd;
	std::shared_ptr<char> Mapping;
	char* Map = 0;
	size_t Size = 0;
	size_t Pos = 0;
};
} // namespace transfer

#endif
