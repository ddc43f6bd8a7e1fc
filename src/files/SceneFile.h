// Scene files in the engine's own .irr format. Models are written as the
// engine's animated-mesh nodes, so that a game rebuilds them with one
// loadScene call; what only the editor needs travels as each node's user
// data, and the scene-wide editor state as the user data of one empty node.
// Reading takes only that user data: nothing the file names is loaded here.
#ifndef TOLVANE_SCENEFILE_H
#define TOLVANE_SCENEFILE_H

#include <irrlicht.h>
#include <string>
#include <vector>

#include "TransferFormat.h"

namespace scenefile
{
using namespace irr;

//! Name of the empty node holding the editor state, and the format mark in
//! its user data.
extern const wchar_t* const StateNodeName;
extern const char* const FormatMark;
const s32 FormatVersion = 1;

//! A path as a scene stores it: relative to the scene's folder when the file
//! lies below it, else absolute. `sceneDir` is absolute, without a final "/".
std::string StoredPath(const std::string& sceneDir, const std::string& file);
//! The file a stored path names.
std::string ResolvedPath(const std::string& sceneDir, const std::string& stored);

//! Floats as text that reads back to the same bits, in any locale.
std::string FloatsText(const f32* values, int count);
bool ParseFloats(const std::string& text, f32* values, int count);
std::string VectorText(const core::vector3df& v);
bool ParseVector(const std::string& text, core::vector3df& v);

//! What is written back unchanged into one node of a scene: XML text to go
//! inside its attribute list (replacing the node's own attributes of the
//! same names), and XML text to go before the node's end.
struct SKeptXml
{
	std::wstring Attributes, Inside;
	//! The node's material settings (the node is given them, and the engine
	//! writes them with its materials).
	std::wstring Materials;
};

//! Writes the engine's scene XML into a string, with the mesh and texture
//! names of the engine's node data stored as StoredPath gives them, and each
//! node's kept XML (by the order the engine writes nodes in) put back.
class CSceneXmlWriter
{
public:
	CSceneXmlWriter(io::IFileSystem* files, const std::string& sceneDir,
	                std::vector<SKeptXml> kept = {});
	~CSceneXmlWriter();
	io::IXMLWriter* writer() { return Paths; }
	//! The bytes written so far.
	const std::string& bytes() const;

private:
	class CStringWriteFile* Out;
	io::IXMLWriter* Xml;
	io::IXMLWriter* Paths;
};

//! One attribute of a node as the engine writes it: its type ("vector3d",
//! "texture"...), name and value as text.
struct SNodeAttribute
{
	std::string Type, Name;
	std::wstring Value;
};
typedef std::vector<SNodeAttribute> SNodeAttributes;

//! Text as it stands in an XML attribute value.
std::wstring EscapedXml(const std::wstring& text);
//! Attributes as the engine writes them, one a line.
std::wstring AttributeXml(const SNodeAttributes& list);

//! Attributes as an <attributes> element, of the types the engine's nodes
//! and materials have (others are left out).
std::wstring AttributesXml(const SNodeAttributes& list);
//! Each <attributes> element of XML text as the engine's typed attributes,
//! read without a video driver; the caller drops them.
std::vector<io::IAttributes*> ReadEngineAttributes(io::IFileSystem* files, const std::wstring& xml);
//! Attributes as the engine's own typed attributes (vectors, colours and
//! enumerations read as its loadScene reads them), read without a video
//! driver, so that no texture is loaded. Null when the text is no list of
//! attributes; else the caller drops them.
io::IAttributes* TypedAttributes(io::IFileSystem* files, const SNodeAttributes& list);

//! An attribute list of the engine's as its types, names and values as text.
SNodeAttributes AttributeList(io::IAttributes* attributes);
//! Whether a node type is one the editor holds as an object or world piece.
bool IsHeldNodeType(const std::string& type);

//! A node of a scene file made by another tool: the engine's type name, its
//! attributes, its materials' attributes, and its place in the world (its
//! parents' transforms applied).
struct SForeignNode
{
	std::string Type;
	SNodeAttributes Attributes;
	std::vector<SNodeAttributes> Materials;
	core::matrix4 World;
	//! The index of the node it is a child of in the list, -1 at the top.
	s32 Parent = -1;
	//! XML text of what the editor keeps as it was: the node's animators, and
	//! for a node of a kind the editor does not hold, the whole node.
	std::wstring Kept;
	//! For a node the engine builds without loading a file (a light, a cube,
	//! a particle system...), its attributes as a game's loadScene holds them
	//! once read: the engine's own defaults where the file names none.
	//! Empty for other nodes. Filled by LoadNodeAttributes.
	SNodeAttributes Loaded;

	//! An attribute's value, empty when the node has none of that name.
	std::wstring value(const SNodeAttributes& list, const char* name) const;
	std::wstring value(const char* name) const { return value(Attributes, name); }
};

//! The editor's data of a scene file: the user data of its model nodes and
//! of its state node; for a scene another tool made (no state node), every
//! node of it instead.
struct SSceneContent
{
	SSceneContent() : State(0) {}
	~SSceneContent();
	std::vector<io::IAttributes*> Models;
	io::IAttributes* State;
	std::vector<SForeignNode> Foreign;
};

//! Fills the Loaded attributes of a scene's foreign nodes by building the
//! engine's own node of each from its attributes, in a scene manager of its
//! own made from `smgr`. For the helper process: a hostile value harms it,
//! not the editor.
void LoadNodeAttributes(scene::ISceneManager* smgr, SSceneContent& content);

//! Reads a scene file's editor data, or the nodes of a scene another tool
//! made. False, saying why, when the file is no scene, is cut short, or
//! names models the editor cannot hold (more than 99, or slots outside 1..99
//! or twice).
bool ReadScene(io::IFileSystem* files, const io::path& file, SSceneContent& content,
               core::stringw& problem);

//! Whether the models of an editor's scene fit the object table: at most
//! 99, each in a slot of its own, 1 to 99 (the water surface in 0).
bool CheckSlots(const SSceneContent& content, core::stringw& problem);

//! Writes what ReadScene gave (`read`, its content, or why it failed) as
//! plain data, for the editor that never reads a scene file itself.
void WriteContent(transfer::CWriter& out, bool read, const SSceneContent& content,
                  const core::stringw& problem);
//! Reads what WriteContent wrote into the shared memory `fd`; false when
//! the data is damaged (a count or length beyond its end, a number that is
//! not finite, models that CheckSlots refuses), and then the content is not
//! to be used.
bool ReadContent(int fd, io::IFileSystem* files, bool& read, SSceneContent& content,
                 core::stringw& problem);
} // namespace scenefile

#endif
