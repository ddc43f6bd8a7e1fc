// Checks a Half-Life model's companion files; see HalfLifeCheck.h.
#include "HalfLifeCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace irr;

namespace
{
// Sizes and field offsets of the model format, as the engine reads it.
const long HeaderSize = 244;
const long HeaderNumSeq = 164;
const long HeaderSeqIndex = 168;
const long HeaderNumSeqGroups = 172;
const long HeaderSeqGroupIndex = 176;
const long HeaderNumTextures = 180;
const long HeaderNumBones = 140;
const long SequenceSize = 176;
const long SequenceNumBlends = 120;
const long SequenceAnimIndex = 124;
const long SequenceGroup = 156;
const long GroupSize = 104;
const long GroupData = 100;       // where group 0's animations start in the model
const long AnimOffsetSize = 12;   // six 16-bit offsets per bone
const u32 MaxSequenceGroups = 32; // the loader's fixed table

// The whole file, empty when it cannot be opened.
std::vector<u8> ReadWhole(io::IFileSystem* fileSystem, const io::path& file)
{
	std::vector<u8> bytes;
	io::IReadFile* in = fileSystem->createAndOpenFile(file);
	if (!in)
		return bytes;
	bytes.resize(static_cast<size_t>(in->getSize()));
	if (in->read(bytes.data(), bytes.size()) != static_cast<s32>(bytes.size()))
		bytes.clear();
	in->drop();
	return bytes;
}

long FileSize(io::IFileSystem* fileSystem, const io::path& file)
{
	io::IReadFile* in = fileSystem->createAndOpenFile(file);
	if (!in)
		return -1;
	const long size = in->getSize();
	in->drop();
	return size;
}

// A little-endian 32-bit field, as the format stores it.
int64_t Field(const std::vector<u8>& bytes, long offset)
{
	int32_t value;
	std::memcpy(&value, bytes.data() + offset, sizeof value);
	return value;
}

bool IsHalfLifeModel(const std::vector<u8>& bytes)
{
	return bytes.size() >= 4 && std::memcmp(bytes.data(), "IDST", 4) == 0;
}

// A table of `count` entries of `size` bytes at `offset` lies in the file.
bool TableFits(const std::vector<u8>& bytes, int64_t offset, int64_t count, long size)
{
	return offset >= 0 && count >= 0 && offset + count * size <= static_cast<int64_t>(bytes.size());
}

// Every sequence must find its table of animation offsets in its group:
// group 0 in the model itself, the others in their companions.
bool SequencesFitTheirGroups(const std::vector<u8>& model, const std::vector<long>& groupSizes)
{
	const int64_t count = Field(model, HeaderNumSeq);
	const int64_t table = Field(model, HeaderSeqIndex);
	const int64_t groupTable = Field(model, HeaderSeqGroupIndex);
	const int64_t bones = Field(model, HeaderNumBones);
	const int64_t groups = static_cast<int64_t>(groupSizes.size());
	if (!TableFits(model, table, count, SequenceSize) ||
	    !TableFits(model, groupTable, groups, GroupSize) || bones < 0)
		return false;
	for (int64_t i = 0; i < count; ++i)
	{
		const long sequence = static_cast<long>(table + i * SequenceSize);
		const int64_t group = Field(model, sequence + SequenceGroup);
		if (group < 0 || group >= groups)
			return false;
		int64_t start = Field(model, sequence + SequenceAnimIndex);
		if (group == 0)
			start += Field(model, static_cast<long>(groupTable) + GroupData);
		const int64_t blends = Field(model, sequence + SequenceNumBlends);
		if (start < 0 || blends < 0 || start + blends * bones * AnimOffsetSize > groupSizes[group])
			return false;
	}
	return true;
}
} // namespace

bool HalfLifeCompanionsComplete(io::IFileSystem* fileSystem, const io::path& file)
{
	core::stringc extension;
	core::getFileNameExtension(extension, file);
	if (!extension.equals_ignore_case(".mdl"))
		return true;
	const std::vector<u8> model = ReadWhole(fileSystem, file);
	if (!IsHalfLifeModel(model))
		return true; // another kind of .mdl, or none the engine will take
	if (static_cast<long>(model.size()) < HeaderSize)
		return false;

	// The companions are named after the model: "<name>T.mdl" for the
	// textures, "<name>01.mdl" and on for sequence groups.
	const io::path stem = file.subString(0, file.size() - extension.size());
	if (Field(model, HeaderNumTextures) == 0 && FileSize(fileSystem, stem + "T.mdl") < HeaderSize)
		return false;
	const int64_t groups = Field(model, HeaderNumSeqGroups);
	if (groups < 0 || groups > MaxSequenceGroups)
		return false;
	std::vector<long> groupSizes(static_cast<size_t>(groups), static_cast<long>(model.size()));
	for (int64_t g = 1; g < groups; ++g)
	{
		char suffix[16];
		std::snprintf(suffix, sizeof suffix, "%02d.mdl", static_cast<int>(g));
		groupSizes[g] = FileSize(fileSystem, stem + suffix);
		if (groupSizes[g] < HeaderSize)
			return false;
	}
	return SequencesFitTheirGroups(model, groupSizes);
}
