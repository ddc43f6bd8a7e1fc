// A scene file's content as plain data: the helper reads the file and
// writes what it found; the editor checks every count, length and number
// before it rebuilds the attribute lists it reads.
#include "SceneFile.h"

#include <cmath>
#include <unistd.h>

namespace scenefile
{
namespace
{
void PutWide(transfer::CWriter& out, const std::wstring& value)
{
	out.put(static_cast<uint32_t>(value.size()));
	out.raw(value.data(), value.size() * sizeof(wchar_t));
}

void PutList(transfer::CWriter& out, const SNodeAttributes& list)
{
	out.put(static_cast<uint32_t>(list.size()));
	for (const SNodeAttribute& attribute : list)
	{
		out.text(attribute.Type);
		out.text(attribute.Name);
		PutWide(out, attribute.Value);
	}
}

// An attribute list of the engine's as its types, names and values as text.
SNodeAttributes ListOf(io::IAttributes* data)
{
	SNodeAttributes list;
	for (u32 i = 0; i < data->getAttributeCount(); ++i)
		list.push_back({core::stringc(data->getAttributeTypeString(i)).c_str(),
		                data->getAttributeName(i), data->getAttributeAsStringW(i).c_str()});
	return list;
}

// Reads the helper's bytes with every size checked against what is left.
class CCursor
{
public:
	explicit CCursor(const std::string& bytes) : Bytes(bytes) {}

	template <typename T> bool get(T& value)
	{
		if (sizeof value > Bytes.size() - Pos)
			return false;
		std::memcpy(&value, Bytes.data() + Pos, sizeof value);
		Pos += sizeof value;
		return true;
	}
	//! A count of items of at least `unit` bytes each that must still fit.
	bool count(uint32_t& n, size_t unit)
	{
		return get(n) && static_cast<uint64_t>(n) * unit <= Bytes.size() - Pos;
	}
	bool text(std::string& value)
	{
		uint32_t n = 0;
		if (!count(n, 1))
			return false;
		value.assign(Bytes.data() + Pos, n);
		Pos += n;
		return true;
	}
	bool wide(std::wstring& value)
	{
		uint32_t n = 0;
		if (!count(n, sizeof(wchar_t)))
			return false;
		value.resize(n);
		std::memcpy(&value[0], Bytes.data() + Pos, n * sizeof(wchar_t));
		Pos += n * sizeof(wchar_t);
		// A character outside Unicode has no place in a name or a number.
		for (wchar_t c : value)
			if (c == 0 || static_cast<uint32_t>(c) > 0x10FFFF)
				return false;
		return true;
	}
	bool list(SNodeAttributes& values)
	{
		uint32_t n = 0;
		if (!count(n, 12)) // three lengths at least
			return false;
		values.resize(n);
		for (SNodeAttribute& attribute : values)
			if (!text(attribute.Type) || !text(attribute.Name) || !wide(attribute.Value))
				return false;
		return true;
	}

private:
	const std::string& Bytes;
	size_t Pos = 0;
};

// The engine's attribute list again, each value of its own type.
io::IAttributes* AttributesOf(io::IFileSystem* files, const SNodeAttributes& list)
{
	io::IAttributes* data = files->createEmptyAttributes(0);
	for (const SNodeAttribute& attribute : list)
	{
		const char* name = attribute.Name.c_str();
		if (attribute.Type == "int")
			data->addInt(name, 0);
		else if (attribute.Type == "float")
			data->addFloat(name, 0);
		else if (attribute.Type == "bool")
			data->addBool(name, false);
		else
		{
			data->addString(name, attribute.Value.c_str());
			continue;
		}
		// Parsed from its text as the engine's file reader does.
		data->setAttribute(static_cast<s32>(data->getAttributeCount()) - 1,
		                   attribute.Value.c_str());
	}
	return data;
}

bool ReadAll(int fd, std::string& bytes)
{
	const off_t size = lseek(fd, 0, SEEK_END);
	if (size <= 0 || size > (1LL << 31))
		return false;
	bytes.resize(static_cast<size_t>(size));
	for (size_t done = 0; done < bytes.size();)
	{
		const ssize_t got = pread(fd, &bytes[done], bytes.size() - done, done);
		if (got <= 0)
			return false;
		done += static_cast<size_t>(got);
	}
	return true;
}
} // namespace

void WriteContent(transfer::CWriter& out, bool read, const SSceneContent& content,
                  const core::stringw& problem)
{
	out.put(transfer::REC_SCENE);
	out.put(static_cast<uint8_t>(read));
	PutWide(out, problem.c_str());
	out.put(static_cast<uint8_t>(content.State != 0));
	if (content.State)
		PutList(out, ListOf(content.State));
	out.put(static_cast<uint32_t>(content.Models.size()));
	for (io::IAttributes* data : content.Models)
		PutList(out, ListOf(data));
	out.put(static_cast<uint32_t>(content.Foreign.size()));
	for (const SForeignNode& node : content.Foreign)
	{
		out.text(node.Type);
		PutList(out, node.Attributes);
		out.put(static_cast<uint32_t>(node.Materials.size()));
		for (const SNodeAttributes& material : node.Materials)
			PutList(out, material);
		out.raw(node.World.pointer(), 16 * sizeof(f32));
	}
}

bool ReadContent(int fd, io::IFileSystem* files, bool& read, SSceneContent& content,
                 core::stringw& problem)
{
	std::string bytes;
	if (!ReadAll(fd, bytes))
		return false;
	CCursor in(bytes);
	uint32_t magic = 0, version = 0, tag = 0, models = 0, nodes = 0;
	uint8_t wasRead = 0, hasState = 0;
	std::wstring why;
	if (!in.get(magic) || magic != transfer::Magic || !in.get(version) ||
	    version != transfer::Version || !in.get(tag) || tag != transfer::REC_SCENE ||
	    !in.get(wasRead) || !in.wide(why) || !in.get(hasState))
		return false;
	read = wasRead != 0;
	problem = why.c_str();
	SNodeAttributes list;
	if (hasState)
	{
		if (!in.list(list))
			return false;
		content.State = AttributesOf(files, list);
	}
	if (!in.count(models, 4))
		return false;
	for (uint32_t i = 0; i < models; ++i)
	{
		if (!in.list(list))
			return false;
		content.Models.push_back(AttributesOf(files, list));
	}
	if (!in.count(nodes, 4 + 4 + 4 + 64))
		return false;
	content.Foreign.resize(nodes);
	for (SForeignNode& node : content.Foreign)
	{
		uint32_t materials = 0;
		if (!in.text(node.Type) || !in.list(node.Attributes) || !in.count(materials, 4))
			return false;
		node.Materials.resize(materials);
		for (SNodeAttributes& material : node.Materials)
			if (!in.list(material))
				return false;
		f32 world[16];
		if (!in.get(world))
			return false;
		for (f32 value : world)
			if (!std::isfinite(value))
				return false;
		node.World.setM(world);
	}
	return in.get(tag) && tag == transfer::REC_END;
}
} // namespace scenefile
