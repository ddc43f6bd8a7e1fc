#include "SceneFile.h"
#include "FileNames.h"
#include "SceneState.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <map>
#include <set>
#include <sys/stat.h>

namespace scenefile
{
const wchar_t* const StateNodeName = L"Tolvane editor state";
const char* const FormatMark = "Tolvane scene";

std::string StoredPath(const std::string& sceneDir, const std::string& file)
{
	if (file.empty())
		return file;
	const std::string absolute = AbsolutePath(file);
	const std::string below = sceneDir + "/";
	if (absolute.compare(0, below.size(), below) == 0)
		return absolute.substr(below.size());
	return absolute;
}

std::string ResolvedPath(const std::string& sceneDir, const std::string& stored)
{
	if (stored.empty() || stored[0] == '/')
		return stored;
	return sceneDir + "/" + stored;
}

std::string FloatsText(const f32* values, int count)
{
	std::string text;
	for (int i = 0; i < count; ++i)
	{
		char number[32];
		const std::to_chars_result end = std::to_chars(number, number + sizeof number, values[i]);
		if (i > 0)
			text += ' ';
		text.append(number, end.ptr);
	}
	return text;
}

bool ParseFloats(const std::string& text, f32* values, int count)
{
	const char* at = text.data();
	const char* const end = at + text.size();
	for (int i = 0; i < count; ++i)
	{
		while (at < end && *at == ' ')
			++at;
		const std::from_chars_result parsed = std::from_chars(at, end, values[i]);
		if (parsed.ec != std::errc())
			return false;
		at = parsed.ptr;
	}
	return at == end;
}

std::string VectorText(const core::vector3df& v)
{
	const f32 values[3] = {v.X, v.Y, v.Z};
	return FloatsText(values, 3);
}

bool ParseVector(const std::string& text, core::vector3df& v)
{
	f32 values[3];
	if (!ParseFloats(text, values, 3))
		return false;
	v.set(values[0], values[1], values[2]);
	return true;
}

// ---------------------------------------------------------------------------
// Writing

// Takes the engine's XML writer's wide characters and keeps them as UTF-8,
// a quarter of their size. A character that stands for a raw byte (the
// engine widens a file name's bytes sign-extended) is written as that byte,
// so that a path's own UTF-8 comes back unchanged to the editor and to a
// game; the byte order mark the writer starts with is left out.
class CStringWriteFile : public io::IWriteFile
{
public:
	explicit CStringWriteFile(const io::path& name) : Name(name) {}
	s32 write(const void* buffer, u32 sizeToWrite) override
	{
		const wchar_t* text = static_cast<const wchar_t*>(buffer);
		const u32 count = sizeToWrite / sizeof(wchar_t);
		// Nearly all of a scene is ASCII, which the writer hands over a
		// few characters at a time: those bytes go in as they are.
		for (u32 i = 0; i < count; ++i)
		{
			const u32 code = static_cast<u32>(text[i]);
			if (code > 0 && code < 0x80)
				Bytes += static_cast<char>(code);
			else
				append(text[i]);
		}
		return static_cast<s32>(sizeToWrite);
	}
	bool seek(long, bool) override { return false; }
	long getPos() const override { return static_cast<long>(Bytes.size()); }
	const io::path& getFileName() const override { return Name; }

	std::string Bytes;

private:
	void append(wchar_t c)
	{
		if (c == 0xFEFF && Bytes.empty())
			return;
		const wchar_t one[2] = {c, 0};
		// Text reaches a scene checked; anything else the replacement character.
		Bytes += WideToFileName(one, Encoded) ? Encoded : "\xEF\xBF\xBD";
	}

	io::path Name;
	//! One character's bytes, kept so that encoding one allocates nothing.
	std::string Encoded;
};

std::wstring EscapedXml(const std::wstring& text)
{
	std::wstring escaped;
	for (const wchar_t c : text)
		switch (c)
		{
		case L'&': escaped += L"&amp;"; break;
		case L'<': escaped += L"&lt;"; break;
		case L'>': escaped += L"&gt;"; break;
		case L'"': escaped += L"&quot;"; break;
		default: escaped += c;
		}
	return escaped;
}

std::wstring AttributeXml(const SNodeAttributes& list)
{
	std::wstring text;
	for (const SNodeAttribute& a : list)
	{
		const std::wstring type = core::stringw(a.Type.c_str()).c_str();
		const std::wstring name = core::stringw(a.Name.c_str()).c_str();
		text += L"<" + type + L" name=\"" + EscapedXml(name) + L"\" value=\"" +
		        EscapedXml(a.Value) + L"\" />\n";
	}
	return text;
}

std::wstring AttributesXml(const SNodeAttributes& list)
{
	// Only the types node and material attributes have: a type name is an
	// element's name in the text, and no other type is read back.
	static const std::set<std::string> types = {"int",     "float",      "bool",   "string",
	                                            "enum",    "color",      "colorf", "vector3d",
	                                            "texture", "dimension2d"};
	SNodeAttributes known;
	for (const SNodeAttribute& attribute : list)
		if (types.count(attribute.Type))
			known.push_back(attribute);
	return L"<attributes>\n" + AttributeXml(known) + L"</attributes>\n";
}

std::vector<io::IAttributes*> ReadEngineAttributes(io::IFileSystem* files, const std::wstring& xml)
{
	// UTF-32 text with its byte order mark, which the engine's reader takes
	// as it is (a wchar_t is four bytes here).
	static_assert(sizeof(wchar_t) == 4, "the attribute text is read as UTF-32");
	std::wstring text = L"\xFEFF<lists>\n" + xml + L"</lists>\n";
	io::IReadFile* in = files->createMemoryReadFile(
	    &text[0], static_cast<s32>(text.size() * sizeof(wchar_t)), "attributes", false);
	io::IXMLReader* reader = in ? files->createXMLReader(in) : 0;
	if (in)
		in->drop();
	std::vector<io::IAttributes*> lists;
	while (reader && reader->read())
		if (reader->getNodeType() == io::EXN_ELEMENT &&
		    !std::wcscmp(reader->getNodeName(), L"attributes"))
		{
			lists.push_back(files->createEmptyAttributes(0));
			lists.back()->read(reader, true);
		}
	if (reader)
		reader->drop();
	return lists;
}

io::IAttributes* TypedAttributes(io::IFileSystem* files, const SNodeAttributes& list)
{
	std::vector<io::IAttributes*> lists = ReadEngineAttributes(files, AttributesXml(list));
	for (size_t i = 1; i < lists.size(); ++i)
		lists[i]->drop();
	return lists.empty() ? 0 : lists[0];
}

SNodeAttributes AttributeList(io::IAttributes* attributes)
{
	SNodeAttributes list;
	for (u32 i = 0; i < attributes->getAttributeCount(); ++i)
		list.push_back({core::stringc(attributes->getAttributeTypeString(i)).c_str(),
		                attributes->getAttributeName(i),
		                attributes->getAttributeAsStringW(i).c_str()});
	return list;
}

namespace
{
// Attributes the engine's nodes are built from without crashing: a mesh
// emitter without its mesh would read a null mesh (as in a game loading the
// file), so it is built as a point emitter, whose values it shares; a sky
// dome's rows, which the engine allocates without a limit, are kept to the
// most the editor holds.
SNodeAttributes SafeToBuild(SNodeAttributes list)
{
	const std::pair<const char*, int> rows[] = {{"HorizontalResolution", 256},
	                                            {"VerticalResolution", 128}};
	for (SNodeAttribute& attribute : list)
	{
		if (attribute.Name == "Emitter" &&
		    (attribute.Value == L"Mesh" || attribute.Value == L"AnimatedMesh"))
			attribute.Value = L"Point";
		for (const auto& most : rows)
			if (attribute.Name == most.first)
			{
				const long value = std::wcstol(attribute.Value.c_str(), 0, 10);
				attribute.Value = std::to_wstring(core::clamp<long>(value, 1, most.second));
			}
	}
	return list;
}
} // namespace

void LoadNodeAttributes(scene::ISceneManager* smgr, SSceneContent& content)
{
	// The nodes whose engine node loads no file of its own.
	static const char* const built[] = {"light",     "billBoard", "cube",
	                                    "sphere",    "camera",    "cameraMaya",
	                                    "cameraFPS", "skyDome",   "particleSystem"};
	io::IFileSystem* files = smgr->getFileSystem();
	scene::ISceneManager* scratch = smgr->createNewSceneManager(false);
	for (SForeignNode& node : content.Foreign)
	{
		if (std::find(std::begin(built), std::end(built), node.Type) == std::end(built))
			continue;
		io::IAttributes* read = TypedAttributes(files, SafeToBuild(node.Attributes));
		scene::ISceneNode* engineNode = read ? scratch->addSceneNode(node.Type.c_str()) : 0;
		if (engineNode)
		{
			engineNode->deserializeAttributes(read);
			io::IAttributes* held = files->createEmptyAttributes(0);
			engineNode->serializeAttributes(held);
			node.Loaded = AttributeList(held);
			held->drop();
			engineNode->remove();
		}
		if (read)
			read->drop();
	}
	scratch->drop();
}

bool IsHeldNodeType(const std::string& type)
{
	static const char* const held[] = {"mesh",      "animatedMesh",   "light",       "billBoard",
	                                   "cube",      "sphere",         "camera",      "cameraMaya",
	                                   "cameraFPS", "skyDome",        "empty",       "terrain",
	                                   "skyBox",    "particleSystem", "waterSurface"};
	for (const char* name : held)
		if (type == name)
			return true;
	return false;
}

namespace
{
// The engine writes file names as wide text one byte per character; these
// are the same conversions back and forth.
std::string Narrow(const wchar_t* text)
{
	return core::stringc(text).c_str();
}

bool IsFile(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Passes the engine's scene XML on, storing the "Mesh" of a node and the
// "TextureN" of a material by StoredPath.
//
// A particle system's attributes are passed on with its affectors' type
// entries ("Affector") first: the engine's reader (1.8) takes affectors
// only from a run of them at the start of the node's attributes (it reads
// each affector's values by name), and would rebuild none in the order its
// writer uses.
//
// Each node's kept XML goes in by the order the engine writes nodes in: its
// attributes before the end of the node's own attribute list (the node's
// own attributes of those names left out), the rest before the node's end.
class CPathWriter : public io::IXMLWriter
{
public:
	CPathWriter(io::IXMLWriter* out, CStringWriteFile* raw, const std::string& sceneDir,
	            std::vector<SKeptXml> kept)
	    : Out(out), Raw(raw), SceneDir(sceneDir), Kept(std::move(kept))
	{
	}
	void writeXMLHeader() override { Out->writeXMLHeader(); }
	void writeElement(const wchar_t* name, bool empty, const wchar_t* attr1Name,
	                  const wchar_t* attr1Value, const wchar_t* attr2Name,
	                  const wchar_t* attr2Value, const wchar_t* attr3Name,
	                  const wchar_t* attr3Value, const wchar_t* attr4Name,
	                  const wchar_t* attr4Value, const wchar_t* attr5Name,
	                  const wchar_t* attr5Value) override
	{
		if (namesFile(name, attr1Name, attr1Value, attr2Name))
			attr2Value = stored(attr2Value);
		if (InNodeAttributes && isAttribute(attr1Name, attr2Name) && attr1Value &&
		    replaced(attr1Value))
		{
			SkipBreak = true;
			return;
		}
		if (Holding && empty && isAttribute(attr1Name, attr2Name) && attr1Value && attr2Value)
		{
			Held.push_back({name, attr1Value, attr2Value});
			return;
		}
		Out->writeElement(name, empty, attr1Name, attr1Value, attr2Name, attr2Value, attr3Name,
		                  attr3Value, attr4Name, attr4Value, attr5Name, attr5Value);
		const bool attributes = !std::wcscmp(name, L"attributes");
		Holding = ParticlesOpened && attributes;
		if (attributes)
			InNodeAttributes = NodeOpened && !empty;
		NodeOpened = !std::wcscmp(name, L"node") && !empty;
		if (NodeOpened)
			Open.push_back(Written++);
		ParticlesOpened = !std::wcscmp(name, L"node") && attr1Name && attr1Value &&
		                  !std::wcscmp(attr1Name, L"type") &&
		                  !std::wcscmp(attr1Value, L"particleSystem");
	}
	void writeElement(const wchar_t* name, bool empty, core::array<core::stringw>& names,
	                  core::array<core::stringw>& values) override
	{
		Out->writeElement(name, empty, names, values);
	}
	void writeComment(const wchar_t* comment) override { Out->writeComment(comment); }
	void writeClosingTag(const wchar_t* name) override
	{
		if (Holding)
			releaseHeld();
		if (InNodeAttributes && !std::wcscmp(name, L"attributes"))
		{
			InNodeAttributes = false;
			writeRaw(kept().Attributes);
		}
		if (!std::wcscmp(name, L"node") && !Open.empty())
		{
			writeRaw(kept().Inside);
			Open.pop_back();
		}
		Out->writeClosingTag(name);
	}
	void writeText(const wchar_t* text) override { Out->writeText(text); }
	void writeLineBreak() override
	{
		// The break after an attribute comes with it when it is released,
		// and goes with it when a kept one replaces it.
		if (SkipBreak)
			SkipBreak = false;
		else if (!Holding || Held.empty())
			Out->writeLineBreak();
	}

private:
	struct SAttribute
	{
		std::wstring Type, Name, Value;
	};

	static bool isAttribute(const wchar_t* attr1Name, const wchar_t* attr2Name)
	{
		return attr1Name && attr2Name && !std::wcscmp(attr1Name, L"name") &&
		       !std::wcscmp(attr2Name, L"value");
	}

	// The held attributes, affector types first, one a line as the engine
	// writes them.
	void releaseHeld()
	{
		Holding = false;
		for (bool affectors : {true, false})
			for (const SAttribute& a : Held)
				if ((a.Name == L"Affector") == affectors)
				{
					Out->writeElement(a.Type.c_str(), true, L"name", a.Name.c_str(), L"value",
					                  a.Value.c_str());
					Out->writeLineBreak();
				}
		Held.clear();
	}

	static bool namesFile(const wchar_t* type, const wchar_t* attr1Name, const wchar_t* attr1Value,
	                      const wchar_t* attr2Name)
	{
		if (!type || !attr1Name || !attr1Value || !attr2Name || std::wcscmp(attr1Name, L"name") ||
		    std::wcscmp(attr2Name, L"value"))
			return false;
		return (!std::wcscmp(type, L"string") && !std::wcscmp(attr1Value, L"Mesh")) ||
		       (!std::wcscmp(type, L"texture") && !std::wcsncmp(attr1Value, L"Texture", 7));
	}

	// A file name as the scene stores it; many nodes name the same files.
	const wchar_t* stored(const wchar_t* value)
	{
		auto known = Stored.find(value);
		if (known == Stored.end())
		{
			// The engine writes an empty texture layer as "0", which its
			// loader then tries to open as a file.
			const std::string file = Narrow(value);
			const core::stringw path =
			    IsFile(file) ? core::stringw(StoredPath(SceneDir, file).c_str()) : L"";
			known = Stored.emplace(value, path.c_str()).first;
		}
		return known->second.c_str();
	}

	// The kept XML of the node being written; none for most.
	const SKeptXml& kept() const
	{
		static const SKeptXml none;
		return !Open.empty() && Open.back() < Kept.size() ? Kept[Open.back()] : none;
	}

	// Whether the node's kept attributes hold one of this name.
	bool replaced(const wchar_t* name) const
	{
		const std::wstring& text = kept().Attributes;
		return !text.empty() && text.find(L" name=\"" + EscapedXml(name) + L"\"") != text.npos;
	}

	void writeRaw(const std::wstring& text)
	{
		if (!text.empty())
			Raw->write(text.data(), static_cast<u32>(text.size() * sizeof(wchar_t)));
	}

	io::IXMLWriter* Out;
	CStringWriteFile* Raw;
	std::string SceneDir;
	std::vector<SKeptXml> Kept;
	//! The nodes written so far, and the order numbers of the open ones.
	size_t Written = 0;
	std::vector<size_t> Open;
	//! A node was just opened; its own attribute list is being written; an
	//! attribute was left out and its line break goes with it.
	bool NodeOpened = false, InNodeAttributes = false, SkipBreak = false;
	std::map<std::wstring, std::wstring> Stored;
	//! A particle system's node was opened; its attributes are being held.
	bool ParticlesOpened = false, Holding = false;
	std::vector<SAttribute> Held;
};
} // namespace

CSceneXmlWriter::CSceneXmlWriter(io::IFileSystem* files, const std::string& sceneDir,
                                 std::vector<SKeptXml> kept)
    : Out(new CStringWriteFile("scene.irr")), Xml(files->createXMLWriter(Out)),
      Paths(new CPathWriter(Xml, Out, sceneDir, std::move(kept)))
{
}

CSceneXmlWriter::~CSceneXmlWriter()
{
	Paths->drop();
	Xml->drop();
	Out->drop();
}

const std::string& CSceneXmlWriter::bytes() const
{
	return Out->Bytes;
}

// ---------------------------------------------------------------------------
// Reading

SSceneContent::~SSceneContent()
{
	for (io::IAttributes* model : Models)
		model->drop();
	if (State)
		State->drop();
}

bool CheckSlots(const SSceneContent& content, core::stringw& problem)
{
	const size_t most = 99;
	size_t models = 0;
	for (io::IAttributes* model : content.Models)
		models += model->getAttributeAsInt("Type") != 2;
	if (models > most)
	{
		problem = L"The scene names ";
		problem += static_cast<u32>(models);
		problem += L" models; the editor holds 99.";
		return false;
	}
	std::set<s32> used;
	for (io::IAttributes* model : content.Models)
	{
		// Slot 0 holds the water surface, 1 to 99 models.
		const s32 slot = model->getAttributeAsInt("Slot");
		if (!SlotFits(slot, model->getAttributeAsInt("Type") == 2) || !used.insert(slot).second)
		{
			problem = L"The scene names a model for slot ";
			problem += slot;
			problem += L", which is taken or not between 1 and 99.";
			return false;
		}
	}
	return true;
}

namespace
{

// The character width and byte order of an XML file, told by its byte order
// mark as the engine's reader tells them.
struct SXmlEncoding
{
	size_t Header;
	size_t Width;
	bool BigEndian;
};

SXmlEncoding XmlEncodingOf(const std::string& bytes)
{
	auto starts = [&bytes](const char* mark, size_t length)
	{ return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0; };
	if (starts("\x00\x00\xFE\xFF", 4))
		return {4, 4, true};
	if (starts("\xFF\xFE\x00\x00", 4))
		return {4, 4, false};
	if (starts("\xFE\xFF", 2))
		return {2, 2, true};
	if (starts("\xFF\xFE", 2))
		return {2, 2, false};
	return {0, 1, false};
}

// The engine's reader takes a file without a byte order mark one byte a
// character, so a UTF-8 file (the editor's own, or another tool's) is handed
// to it as UTF-32: decoded, with any byte that is no UTF-8 read as Latin-1,
// as the engine reads it. False when the widened text would not fit the engine's
// memory files.
bool WidenUtf8(std::string& bytes)
{
	const bool marked = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
	if (bytes.size() > (1u << 28))
		return false;
	const std::wstring text = FileNameToWide(marked ? bytes.substr(3) : bytes);
	std::string wide("\xFF\xFE\x00\x00", 4);
	wide.reserve(4 * text.size() + 4 + bytes.size() / 2);
	for (const wchar_t c : text)
	{
		// FileNameToWide keeps such a byte sign-extended.
		const u32 code = static_cast<u32>(c) >= 0xFFFFFF80u ? c & 0xFF : static_cast<u32>(c);
		wide += {char(code & 0xFF), char(code >> 8 & 0xFF), char(code >> 16 & 0xFF),
		         char(code >> 24 & 0xFF)};
	}
	bytes.swap(wide);
	return true;
}

// The engine's XML reader scans an element's name and attributes for '>',
// white space or '=' without stopping at the end of its text, and a comment
// for as many '>' as it opened '<': a file cut short inside a tag is read
// past its end, and may crash the reader. The reader gets the file's text
// with a tail that ends every such scan: " >" once more than the file has
// '<', in the file's own encoding, after its last whole character. Nothing
// after the scene's closing tag is read, so a whole file reads as before.
// False when the file cannot be read.
bool ReadGuardedXml(io::IFileSystem* files, const io::path& file, std::string& bytes)
{
	io::IReadFile* in = files->createAndOpenFile(file);
	if (!in)
		return false;
	// The engine's memory files count in s32. Room for the tail is kept from
	// the start, as a large file's buffer costs more to move than to read.
	const long size = in->getSize();
	const bool fits = size >= 0 && size <= (1L << 29);
	if (fits)
		bytes.reserve(3 * static_cast<size_t>(size) + 16);
	bytes.assign(fits ? static_cast<size_t>(size) : 0, '\0');
	const s32 length = fits ? in->read(&bytes[0], bytes.size()) : -1;
	in->drop();
	if (length < 0)
		return false;
	bytes.resize(static_cast<size_t>(length));

	if (XmlEncodingOf(bytes).Width == 1 && !WidenUtf8(bytes))
		return false;
	const SXmlEncoding encoding = XmlEncodingOf(bytes);
	bytes.resize(bytes.size() - (bytes.size() - encoding.Header) % encoding.Width);
	size_t openings = 1;
	for (const char *at = bytes.data(), *end = at + bytes.size();
	     (at = static_cast<const char*>(std::memchr(at, '<', end - at))); ++at)
		++openings;
	std::string stopper;
	for (const char letter : {' ', '>'})
	{
		std::string character(encoding.Width, '\0');
		character[encoding.BigEndian ? encoding.Width - 1 : 0] = letter;
		stopper += character;
	}
	bytes.reserve(bytes.size() + openings * stopper.size());
	for (size_t i = 0; i < openings; ++i)
		bytes += stopper;
	return true;
}
} // namespace

std::wstring SForeignNode::value(const SNodeAttributes& list, const char* name) const
{
	for (const SNodeAttribute& attribute : list)
		if (attribute.Name == name)
			return attribute.Value;
	return L"";
}

namespace
{
// The attributes of one <attributes> element, read up to its end.
SNodeAttributes ReadAttributeList(io::IXMLReader* reader)
{
	SNodeAttributes list;
	while (reader->read())
	{
		if (reader->getNodeType() == io::EXN_ELEMENT_END &&
		    !std::wcscmp(reader->getNodeName(), L"attributes"))
			break;
		if (reader->getNodeType() != io::EXN_ELEMENT)
			continue;
		const wchar_t* name = reader->getAttributeValue(L"name");
		const wchar_t* value = reader->getAttributeValue(L"value");
		list.push_back(
		    {Narrow(reader->getNodeName()), name ? Narrow(name) : "", value ? value : L""});
	}
	return list;
}

// A node's transform from its Position, Rotation and Scale ("x, y, z").
core::matrix4 LocalTransform(const SForeignNode& node)
{
	core::vector3df parts[3] = {{0, 0, 0}, {0, 0, 0}, {1, 1, 1}};
	const char* const names[3] = {"Position", "Rotation", "Scale"};
	for (int i = 0; i < 3; ++i)
	{
		std::string text = Narrow(node.value(names[i]).c_str());
		for (char& c : text)
			if (c == ',')
				c = ' ';
		ParseVector(text, parts[i]);
	}
	core::matrix4 translation, rotation, scale;
	translation.setTranslation(parts[0]);
	rotation.setRotationDegrees(parts[1]);
	scale.setScale(parts[2]);
	return translation * rotation * scale;
}

// The XML text of the element the reader is at, as the engine writes it.
std::wstring ElementXml(io::IXMLReader* reader)
{
	std::wstring text = L"<" + std::wstring(reader->getNodeName());
	for (u32 i = 0; i < reader->getAttributeCount(); ++i)
		text += L" " + std::wstring(reader->getAttributeName(i)) + L"=\"" +
		        EscapedXml(reader->getAttributeValue(i)) + L"\"";
	return text + (reader->isEmptyElement() ? L" />\n" : L">\n");
}

// Follows the nodes of a scene: what lies inside each <node> element until
// its end, its attributes and materials; children are nested nodes. The
// animators of a node, and a node of a kind the editor does not hold with
// all inside it, are taken as XML text, to be written back as they were.
class CNodeWalker
{
public:
	explicit CNodeWalker(std::vector<SForeignNode>& nodes) : Nodes(nodes) {}

	//! False for an element the walker took as kept text.
	bool element(io::IXMLReader* reader)
	{
		const wchar_t* name = reader->getNodeName();
		if (Taking)
		{
			Nodes[Taker].Kept += ElementXml(reader);
			Taking += !reader->isEmptyElement();
			return false;
		}
		if (!std::wcscmp(name, L"node"))
		{
			const wchar_t* type = reader->getAttributeValue(L"type");
			const s32 parent = Open.empty() ? -1 : static_cast<s32>(Open.back());
			Nodes.push_back(SForeignNode());
			Nodes.back().Type = type ? Narrow(type) : "";
			Nodes.back().Parent = parent;
			Nodes.back().World = worldOf(parent);
			if (!IsHeldNodeType(Nodes.back().Type))
			{
				take(reader, Nodes.size() - 1);
				return false;
			}
			Open.push_back(Nodes.size() - 1);
			Section = NONE;
		}
		else if (!std::wcscmp(name, L"materials"))
			Section = MATERIALS;
		else if (!std::wcscmp(name, L"animators") && !Open.empty())
		{
			take(reader, Open.back());
			return false;
		}
		else if (!std::wcscmp(name, L"attributes") && !Open.empty())
		{
			SForeignNode& node = Nodes[Open.back()];
			if (Section == MATERIALS)
				node.Materials.push_back(ReadAttributeList(reader));
			else if (node.Attributes.empty())
			{
				node.Attributes = ReadAttributeList(reader);
				node.World = worldOf(node.Parent) * LocalTransform(node);
			}
		}
		return true;
	}

	//! False for an end the walker took as kept text.
	bool end(io::IXMLReader* reader)
	{
		const wchar_t* name = reader->getNodeName();
		if (Taking)
		{
			Nodes[Taker].Kept += L"</" + std::wstring(name) + L">\n";
			--Taking;
			return false;
		}
		if (!std::wcscmp(name, L"node") && !Open.empty())
			Open.pop_back();
		if (!std::wcscmp(name, L"materials"))
			Section = NONE;
		return true;
	}

	//! The node whose element is being read, or null.
	const SForeignNode* current() const { return Open.empty() ? 0 : &Nodes[Open.back()]; }

private:
	core::matrix4 worldOf(s32 node) const { return node < 0 ? core::matrix4() : Nodes[node].World; }

	void take(io::IXMLReader* reader, size_t node)
	{
		Taker = node;
		Nodes[node].Kept += ElementXml(reader);
		Taking = !reader->isEmptyElement();
	}

	enum ESection
	{
		NONE,
		MATERIALS
	};
	std::vector<SForeignNode>& Nodes;
	std::vector<size_t> Open;
	ESection Section = NONE;
	//! How deep the element being taken as text is open, and whose it is.
	int Taking = 0;
	size_t Taker = 0;
};
} // namespace

bool ReadScene(io::IFileSystem* files, const io::path& file, SSceneContent& content,
               core::stringw& problem)
{
	std::string bytes;
	io::IXMLReader* reader = 0;
	if (ReadGuardedXml(files, file, bytes))
	{
		// The reader takes its own copy of the text as it is created.
		io::IReadFile* text =
		    files->createMemoryReadFile(&bytes[0], static_cast<s32>(bytes.size()), file, false);
		reader = files->createXMLReader(text);
		text->drop();
	}
	if (!reader)
	{
		problem = L"The file cannot be read.";
		return false;
	}
	bool opened = false, closed = false, foreign = false;
	CNodeWalker nodes(content.Foreign);
	while (reader->read() && !closed && !foreign)
	{
		const wchar_t* name = reader->getNodeName();
		if (reader->getNodeType() == io::EXN_ELEMENT_END && !std::wcscmp(name, L"irr_scene"))
			closed = true;
		if (reader->getNodeType() == io::EXN_ELEMENT_END && !nodes.end(reader))
			continue;
		if (reader->getNodeType() != io::EXN_ELEMENT)
			continue;
		if (opened && !nodes.element(reader))
			continue;
		if (!opened)
		{
			opened = !std::wcscmp(name, L"irr_scene");
			foreign = !opened;
			continue;
		}
		if (std::wcscmp(name, L"userData"))
			continue;
		// Read without a video driver, so that no texture is loaded.
		io::IAttributes* data = files->createEmptyAttributes(0);
		data->read(reader, false);
		if (data->getAttributeAsString("Format") == FormatMark && !content.State)
			content.State = data;
		else if (data->existsAttribute("Slot"))
		{
			// Whether a model is shown is its node's own attribute.
			const SForeignNode* node = nodes.current();
			if (node && !node->value("Visible").empty())
				data->setAttribute("Visible", node->value("Visible") != L"false");
			// So is its name: the engine keeps a name's UTF-8 bytes, which
			// a UTF-8 file gives back decoded and a UTF-32 one as bytes.
			std::string name;
			if (node && !data->existsAttribute("Name") &&
			    WideToFileName(node->value("Name").c_str(), name))
				data->addString("Name", FileNameToWide(name).c_str());
			content.Models.push_back(data);
		}
		else
			data->drop();
	}
	reader->drop();
	if (!closed)
	{
		problem = L"The file is not a scene file, or it is cut short.";
		return false;
	}
	// A scene of another tool: its nodes are what the editor opens.
	if (!content.State)
		return true;
	content.Foreign.clear();
	return CheckSlots(content, problem);
}
} // namespace scenefile
