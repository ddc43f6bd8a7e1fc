// The plain data the load-check helper hands the editor for a file it has
// loaded: a sequence of records in shared memory, written by the helper
// (MeshTransfer.h) and checked and built into engine objects by the editor
// (LoadedData.h). Both sides are built from the same engine headers on the
// same machine, so numbers and vertex structures travel as their bytes.
#ifndef TOLVANE_TRANSFERFORMAT_H
#define TOLVANE_TRANSFERFORMAT_H

#include <irrlicht.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace transfer
{
const uint32_t Magic = 0x444c5654; // "TVLD"
const uint32_t Version = 4;

//! What follows a record tag.
enum ERecord : uint32_t
{
	REC_END = 0,
	//! Names (the levels of an archive).
	REC_NAMES = 1,
	//! One image: the file's name as the texture cache holds it, then pixels.
	REC_IMAGE = 2,
	//! A mesh: its textures, then its buffers (and frames or joints).
	REC_MESH = 3,
	//! A mesh of a kind that cannot be rebuilt from data: the editor loads
	//! the file itself, as before.
	REC_KEEP = 4,
	//! Where a player starts a level: origin x, y, z and angle, as floats.
	REC_START = 5,
	//! What a scene file holds: the editor's data of its nodes, or every
	//! node of a scene another tool made (SceneTransfer.cpp).
	REC_SCENE = 6,
	//! An image a mesh that follows may use: the name the texture cache
	//! gives its file, then pixels. A mesh's textures are the numbers of
	//! these records, counted from 0 in the order they came.
	REC_PIXELS = 10,
	//! A mesh with no triangles to draw: nothing of it follows.
	REC_EMPTY = 11,
	//! An image too large for the editor (a side over MaxImageSide): its
	//! width and height only.
	REC_IMAGE_SIZE = 12,
	//! Why a model reader refused the file, as it says it: one line of
	//! text, of up to MaxRefusal bytes.
	REC_REFUSAL = 13
};

//! How a mesh is rebuilt.
enum EMeshForm : uint32_t
{
	FORM_STATIC = 0,   // buffers of one frame
	FORM_KEYFRAME = 1, // one buffer and its vertices at every key frame
	FORM_SKINNED = 2   // buffers, joints, keys and weights
};

//! Limits of what the editor accepts.
const uint32_t MaxImageSide = 16384;
const uint32_t MaxCount = 1u << 28;
const uint32_t MaxRefusal = 300;

//! Whether any buffer of a mesh has a triangle: one of none draws nothing,
//! and both sides refuse it so.
inline bool HoldsTriangles(const irr::scene::IMesh* mesh)
{
	for (irr::u32 i = 0; i < mesh->getMeshBufferCount(); ++i)
		if (mesh->getMeshBuffer(i)->getIndexCount() >= 3)
			return true;
	return false;
}

//! A material as plain values; textures are indices into the record's
//! texture table (-1: none).
struct SLayerData
{
	int32_t Texture;
	uint8_t WrapU, WrapV, Bilinear, Trilinear, Anisotropic;
	int8_t LODBias;
	uint8_t HasMatrix;
	float Matrix[16];
};

struct SMaterialData
{
	uint32_t Type;
	uint32_t Ambient, Diffuse, Emissive, Specular;
	float Shininess, Param, Param2, Thickness;
	uint8_t ZBuffer, AntiAliasing, ColorMask, ColorMaterial, BlendOperation, OffsetFactor,
	    OffsetDirection;
	//! Wireframe, point cloud, Gouraud shading, lighting, z-write, back and
	//! front face culling, fog, normalised normals, mip maps: one bit each.
	uint16_t Flags;
	SLayerData Layers[irr::video::MATERIAL_MAX_TEXTURES];
};

//! A mesh buffer's header; its vertices and indices follow as their bytes.
struct SBufferData
{
	uint32_t VertexType; // irr::video::E_VERTEX_TYPE
	uint32_t IndexType;  // irr::video::E_INDEX_TYPE
	uint32_t VertexCount, IndexCount;
	uint32_t HintVertex, HintIndex; // irr::scene::E_HARDWARE_MAPPING
};

//! Appends values to a byte string (Bytes) or, made with a shared memory
//! file, straight into that file through a mapping that grows as it fills:
//! large data is written once, in the place the editor reads it from.
class CWriter
{
public:
	std::string Bytes;

	CWriter() = default;
	explicit CWriter(int fd);
	~CWriter();
	CWriter(const CWriter&) = delete;
	CWriter& operator=(const CWriter&) = delete;

	//! Room for `size` more bytes, filled in place by the caller; valid
	//! until the next call.
	char* room(size_t size);
	void raw(const void* data, size_t size)
	{
		if (size)
			std::memcpy(room(size), data, size);
	}
	template <typename T> void put(const T& value) { raw(&value, sizeof value); }
	void text(const std::string& value)
	{
		put(static_cast<uint32_t>(value.size()));
		raw(value.data(), value.size());
	}
	//! Whether the bytes land in the shared memory file, where a forked
	//! process can fill room it was given.
	bool shared() const { return Fd >= 0 && !Failed; }
	//! Pads with zeros to a multiple of `unit` bytes from the start.
	void align(size_t unit);
	//! Bytes written so far; cut() goes back to an earlier count.
	size_t size() const { return Fd < 0 ? Bytes.size() : Used; }
	void cut(size_t size);
	//! Ends the file where the data ends; false when the data could not be
	//! written whole.
	bool finish();
	//! REC_PIXELS records written so far.
	int32_t PixelRecords = 0;

private:
	int Fd = -1;
	char* Map = nullptr;
	size_t Capacity = 0, Used = 0;
	bool Failed = false;
};
} // namespace transfer

#endif
