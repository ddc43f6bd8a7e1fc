// A scene file's content as plain data: the helper reads the file and
// writes what it found; the editor checks every count, length and number
// before it rebuilds the attribute lists it reads.
#include "SceneFile.h"

#include "SceneState.h"
#include "TransferReader.h"

#include <cmath>

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

bool ReadWide(transfer::CReader& in, std::wstring& value)
{
	uint32_t n = 0;
	if (!in.count(n, sizeof(wchar_t)))
		return false;
	value.resize(n);
	if (!in.bytes(&value[0], n * sizeof(wchar_t)))
		return false;
	// A character outside Unicode has no place in a name or a number.
	return TextIsSound(value.data(), value.size());
}

bool ReadList(transfer::CReader& in, SNodeAttributes& values)
{
	uint32_t n = 0;
	if (!in.count(n, 12)) // three lengths at least
		return false;
	values.resize(n);
	for (SNodeAttribute& attribute : values)
		if (!in.text(attribute.Type) || !in.text(attribute.Name) || !ReadWide(in, attribute.Value))
			return false;
	return true;
}

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

} // namespace

void WriteContent(transfer::CWriter& out, bool read, const SSceneContent& content,
                  const core::stringw& problem)
{
	out.put(transfer::REC_SCENE);
	out.put(static_cast<uint8_t>(read));
	PutWide(out, problem.c_str());
	out.put(static_cast<uint8_t>(content.State != 0));
	if (content.State)
		PutList(out, AttributeList(content.State));
	out.put(static_cast<uint32_t>(content.Models.size()));
	for (io::IAttributes* data : content.Models)
		PutList(out, AttributeList(data));
	out.put(static_cast<uint32_t>(content.Foreign.size()));
	for (const SForeignNode& node : content.Foreign)
	{
		out.text(node.Type);
		PutList(out, node.Attributes);
		out.put(static_cast<uint32_t>(node.Materials.size()));
		for (const SNodeAttributes& material : node.Materials)
			PutList(out, material);
		out.raw(node.World.pointer(), 16 * sizeof(f32));
		out.put(node.Parent);
		PutWide(out, node.Kept);
		PutList(out, node.Loaded);
	}
}

bool ReadContent(int fd, io::IFileSystem* files, bool& read, SSceneContent& content,
                 core::stringw& problem)
{
	transfer::CReader in(fd);
	uint32_t tag = 0, models = 0, nodes = 0;
	uint8_t wasRead = 0, hasState = 0;
	std::wstring why;
	if (!in.begin() || !in.get(tag) || tag != transfer::REC_SCENE || !in.get(wasRead) ||
	    !ReadWide(in, why) || !in.get(hasState))
		return false;
	read = wasRead != 0;
	problem = why.c_str();
	SNodeAttributes list;
	if (hasState)
	{
		if (!ReadList(in, list))
			return false;
		content.State = AttributesOf(files, list);
	}
	if (!in.count(models, 4))
		return false;
	for (uint32_t i = 0; i < models; ++i)
	{
		if (!ReadList(in, list))
			return false;
		content.Models.push_back(AttributesOf(files, list));
	}
	if (!in.count(nodes, 4 + 4 + 4 + 64 + 4 + 4 + 4))
		return false;
	content.Foreign.resize(nodes);
	for (s32 index = 0; index < static_cast<s32>(nodes); ++index)
	{
		SForeignNode& node = content.Foreign[index];
		uint32_t materials = 0;
		if (!in.text(node.Type) || !ReadList(in, node.Attributes) || !in.count(materials, 4))
			return false;
		node.Materials.resize(materials);
		for (SNodeAttributes& material : node.Materials)
			if (!ReadList(in, material))
				return false;
		f32 world[16];
		if (!in.get(world) || !IsFinite(world, 16))
			return false;
		node.World.setM(world);
		// A parent comes before its children in the list.
		if (!in.get(node.Parent) || node.Parent < -1 || node.Parent >= index ||
		    !ReadWide(in, node.Kept) || !ReadList(in, node.Loaded))
			return false;
	}
	// The helper's slots are not taken on trust: they index the object table.
	core::stringw slots;
	if (read && content.State && !CheckSlots(content, slots))
		return false;
	return in.get(tag) && tag == transfer::REC_END;
}
} // namespace scenefile
