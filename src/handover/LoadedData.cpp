#include "LoadedData.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "Finite.h"
#include "TransferReader.h"

using namespace irr;
using namespace transfer;

namespace loaded
{
SContent::~SContent()
{
	if (Image)
		Image->drop();
	if (Mesh)
		Mesh->drop();
}

namespace
{
// What a vertex holds for drawing only (its normal, texture coordinates,
// tangent and binormal) may be no number in files the engine loads and
// draws: level compilers leave such lightmap coordinates and normals on
// some surfaces. Such a value becomes 0. A position, which the editor
// measures, frames and picks by, must be a number.
template <typename V> void ZeroUnlessFinite(V& value)
{
	if (!IsFinite(value))
		value = V();
}
bool Mend(video::S3DVertex& v)
{
	ZeroUnlessFinite(v.Normal);
	ZeroUnlessFinite(v.TCoords);
	return IsFinite(v.Pos);
}
bool Mend(video::S3DVertex2TCoords& v)
{
	ZeroUnlessFinite(v.TCoords2);
	return Mend(static_cast<video::S3DVertex&>(v));
}
bool Mend(video::S3DVertexTangents& v)
{
	ZeroUnlessFinite(v.Tangent);
	ZeroUnlessFinite(v.Binormal);
	return Mend(static_cast<video::S3DVertex&>(v));
}
template <typename V> bool MendAll(void* vertices, u32 count)
{
	V* v = static_cast<V*>(vertices);
	bool positions = true;
	for (u32 i = 0; i < count; ++i)
		positions = Mend(v[i]) && positions;
	return positions;
}
// False when a position is no number.
bool MendVertices(void* vertices, video::E_VERTEX_TYPE type, u32 count)
{
	switch (type)
	{
	case video::EVT_2TCOORDS: return MendAll<video::S3DVertex2TCoords>(vertices, count);
	case video::EVT_TANGENTS: return MendAll<video::S3DVertexTangents>(vertices, count);
	default: return MendAll<video::S3DVertex>(vertices, count);
	}
}
template <typename I> bool IndicesWithin(const void* indices, u32 count, u32 vertices)
{
	const I* index = static_cast<const I*>(indices);
	for (u32 i = 0; i < count; ++i)
		if (index[i] >= vertices)
			return false;
	return true;
}

size_t VertexSize(u32 type)
{
	return type == video::EVT_2TCOORDS   ? sizeof(video::S3DVertex2TCoords)
	       : type == video::EVT_TANGENTS ? sizeof(video::S3DVertexTangents)
	                                     : sizeof(video::S3DVertex);
}

size_t PixelSize(u32 format)
{
	switch (format)
	{
	case video::ECF_A1R5G5B5:
	case video::ECF_R5G6B5: return 2;
	case video::ECF_R8G8B8: return 3;
	case video::ECF_A8R8G8B8: return 4;
	default: return 0; // no loader of the engine makes other formats
	}
}

// An image whose declared size matches its pixels; the caller drops it.
// Lent, its pixels stay in the reader's mapping, and the image must be gone
// before the reader is.
video::IImage* ReadImage(CReader& in, video::IVideoDriver* driver, bool lent = false)
{
	uint32_t format = 0, width = 0, height = 0;
	uint64_t bytes = 0;
	if (!in.get(format) || !in.get(width) || !in.get(height) || !in.get(bytes))
		return 0;
	const size_t pixel = PixelSize(format);
	if (!pixel || width == 0 || height == 0 || width > MaxImageSide || height > MaxImageSide ||
	    bytes != static_cast<uint64_t>(width) * height * pixel || !in.fits(bytes))
		return 0;
	const video::ECOLOR_FORMAT colours = static_cast<video::ECOLOR_FORMAT>(format);
	const core::dimension2du size(width, height);
	if (lent)
	{
		char* pixels = in.lend(bytes);
		return pixels ? driver->createImageFromData(colours, size, pixels, true, false) : 0;
	}
	video::IImage* image = driver->createImage(colours, size);
	if (!image)
		return 0;
	const bool read = image->getImageDataSizeInBytes() == bytes && in.bytes(image->lock(), bytes);
	image->unlock();
	if (!read)
	{
		image->drop();
		return 0;
	}
	return image;
}

// The REC_PIXELS records of one hand-over, in the order they came, their
// pixels lent from the reader.
struct SPixels
{
	std::vector<io::path> Names;
	std::vector<video::IImage*> Images;
	~SPixels()
	{
		for (video::IImage* image : Images)
			image->drop();
	}
	bool read(CReader& in, video::IVideoDriver* driver)
	{
		std::string name;
		if (!in.text(name) || name.empty())
			return false;
		video::IImage* image = ReadImage(in, driver, true);
		if (!image)
			return false;
		Names.push_back(name.c_str());
		Images.push_back(image);
		return true;
	}
};

// A mesh's textures: names and images, entered in the driver's cache only
// once the whole mesh has passed.
struct STextures
{
	std::vector<io::path> Names;
	std::vector<video::IImage*> Images; // the pixel records'
	std::vector<video::ITexture*> Entered;
	//! Textures this mesh brought into the cache.
	std::vector<video::ITexture*>* Added = 0;
	bool read(CReader& in, const SPixels& pixels)
	{
		uint32_t n = 0;
		if (!in.count(n, 4))
			return false;
		for (uint32_t i = 0; i < n; ++i)
		{
			uint32_t record = 0;
			if (!in.get(record) || record >= pixels.Images.size())
				return false;
			Names.push_back(pixels.Names[record]);
			Images.push_back(pixels.Images[record]);
		}
		return true;
	}
	// A texture of the same name already loaded is the engine's answer too.
	void enter(video::IVideoDriver* driver)
	{
		for (size_t i = 0; i < Names.size(); ++i)
		{
			video::ITexture* texture = driver->findTexture(Names[i]);
			if (!texture && (texture = driver->addTexture(Names[i], Images[i])))
				Added->push_back(texture);
			Entered.push_back(texture);
		}
	}
};

bool MaterialSound(const SMaterialData& d, size_t textures)
{
	if (d.Type > video::EMT_ONETEXTURE_BLEND || !IsFinite(d.Shininess) || !IsFinite(d.Param) ||
	    !IsFinite(d.Param2) || !IsFinite(d.Thickness))
		return false;
	for (const SLayerData& l : d.Layers)
		if (l.Texture < -1 || l.Texture >= static_cast<int32_t>(textures) ||
		    (l.HasMatrix && !IsFinite(l.Matrix, 16)))
			return false;
	return true;
}

// The engine keeps a wrap mode in four bits. Its IrrMesh loader leaves all
// of them set for a mode it cannot read, which the drivers draw as a
// repeat: such a mode is one.
u8 WrapMode(u8 mode)
{
	return mode <= video::ETC_MIRROR_CLAMP_TO_BORDER ? mode : u8(video::ETC_REPEAT);
}

void ApplyMaterial(const SMaterialData& d, const std::vector<video::ITexture*>& textures,
                   video::SMaterial& m)
{
	m.MaterialType = static_cast<video::E_MATERIAL_TYPE>(d.Type);
	m.AmbientColor.color = d.Ambient;
	m.DiffuseColor.color = d.Diffuse;
	m.EmissiveColor.color = d.Emissive;
	m.SpecularColor.color = d.Specular;
	m.Shininess = d.Shininess;
	m.MaterialTypeParam = d.Param;
	m.MaterialTypeParam2 = d.Param2;
	m.Thickness = d.Thickness;
	m.ZBuffer = d.ZBuffer;
	m.AntiAliasing = d.AntiAliasing;
	m.ColorMask = d.ColorMask;
	m.ColorMaterial = d.ColorMaterial;
	m.BlendOperation = static_cast<video::E_BLEND_OPERATION>(d.BlendOperation);
	m.PolygonOffsetFactor = d.OffsetFactor;
	m.PolygonOffsetDirection = static_cast<video::E_POLYGON_OFFSET>(d.OffsetDirection & 1);
	const auto flag = [&d](int bit) { return ((d.Flags >> bit) & 1) != 0; };
	m.Wireframe = flag(0);
	m.PointCloud = flag(1);
	m.GouraudShading = flag(2);
	m.Lighting = flag(3);
	m.ZWriteEnable = flag(4);
	m.BackfaceCulling = flag(5);
	m.FrontfaceCulling = flag(6);
	m.FogEnable = flag(7);
	m.NormalizeNormals = flag(8);
	m.UseMipMaps = flag(9);
	for (u32 i = 0; i < video::MATERIAL_MAX_TEXTURES; ++i)
	{
		const SLayerData& l = d.Layers[i];
		video::SMaterialLayer& layer = m.TextureLayer[i];
		layer.Texture = l.Texture < 0 ? 0 : textures[l.Texture];
		layer.TextureWrapU = WrapMode(l.WrapU);
		layer.TextureWrapV = WrapMode(l.WrapV);
		layer.BilinearFilter = l.Bilinear != 0;
		layer.TrilinearFilter = l.Trilinear != 0;
		layer.AnisotropicFilter = l.Anisotropic;
		layer.LODBias = l.LODBias;
		if (l.HasMatrix)
		{
			core::matrix4 matrix;
			matrix.setM(l.Matrix);
			layer.setTextureMatrix(matrix);
		}
	}
}

// A buffer's header, vertices and indices, checked; the vertices and
// indices are read into the arrays `place` provides.
struct SBuffer
{
	SMaterialData Material;
	SBufferData Header;
};

template <typename Place>
bool ReadBuffer(CReader& in, size_t textures, SBuffer& buffer, Place place)
{
	SBufferData& b = buffer.Header;
	if (!in.get(buffer.Material) || !MaterialSound(buffer.Material, textures) || !in.get(b) ||
	    b.VertexType > video::EVT_TANGENTS || b.IndexType > video::EIT_32BIT ||
	    b.HintVertex > scene::EHM_STREAM || b.HintIndex > scene::EHM_STREAM)
		return false;
	const size_t indexSize = b.IndexType == video::EIT_32BIT ? 4 : 2;
	const uint64_t need = static_cast<uint64_t>(b.VertexCount) * VertexSize(b.VertexType) +
	                      static_cast<uint64_t>(b.IndexCount) * indexSize;
	if (b.VertexCount > MaxCount || b.IndexCount > MaxCount || !in.fits(need))
		return false;
	void* vertices = 0;
	void* indices = 0;
	if (!place(b, vertices, indices) ||
	    !in.bytes(vertices, b.VertexCount * VertexSize(b.VertexType)) ||
	    !in.bytes(indices, b.IndexCount * indexSize))
		return false;
	const video::E_VERTEX_TYPE type = static_cast<video::E_VERTEX_TYPE>(b.VertexType);
	return MendVertices(vertices, type, b.VertexCount) &&
	       (b.IndexType == video::EIT_32BIT
	            ? IndicesWithin<u32>(indices, b.IndexCount, b.VertexCount)
	            : IndicesWithin<u16>(indices, b.IndexCount, b.VertexCount));
}

void ApplyHints(const SBufferData& b, scene::IMeshBuffer& buffer)
{
	buffer.setHardwareMappingHint(static_cast<scene::E_HARDWARE_MAPPING>(b.HintVertex),
	                              scene::EBT_VERTEX);
	buffer.setHardwareMappingHint(static_cast<scene::E_HARDWARE_MAPPING>(b.HintIndex),
	                              scene::EBT_INDEX);
}

// ---------------------------------------------------------------------------
// Static meshes: buffers of one frame.

class CStaticBuild
{
public:
	~CStaticBuild()
	{
		for (scene::CDynamicMeshBuffer* buffer : Buffers)
			buffer->drop();
	}
	bool read(CReader& in, size_t textures)
	{
		uint32_t n = 0;
		if (!in.count(n, sizeof(SMaterialData) + sizeof(SBufferData)))
			return false;
		for (uint32_t i = 0; i < n; ++i)
		{
			SBuffer buffer;
			scene::CDynamicMeshBuffer* made = 0;
			const bool sound = ReadBuffer(in, textures, buffer,
			                              [&](const SBufferData& b, void*& vertices, void*& indices)
			                              {
				                              made = new scene::CDynamicMeshBuffer(
				                                  static_cast<video::E_VERTEX_TYPE>(b.VertexType),
				                                  static_cast<video::E_INDEX_TYPE>(b.IndexType));
				                              Buffers.push_back(made);
				                              made->getVertexBuffer().set_used(b.VertexCount);
				                              made->getIndexBuffer().set_used(b.IndexCount);
				                              vertices = made->getVertexBuffer().pointer();
				                              indices = made->getIndexBuffer().pointer();
				                              return true;
			                              });
			if (!sound)
				return false;
			ApplyHints(buffer.Header, *made);
			made->recalculateBoundingBox();
			Materials.push_back(buffer.Material);
		}
		return true;
	}
	scene::IAnimatedMesh* build(scene::E_ANIMATED_MESH_TYPE type,
	                            const std::vector<video::ITexture*>& textures)
	{
		scene::SMesh* mesh = new scene::SMesh();
		for (size_t i = 0; i < Buffers.size(); ++i)
		{
			ApplyMaterial(Materials[i], textures, Buffers[i]->getMaterial());
			mesh->addMeshBuffer(Buffers[i]);
		}
		mesh->recalculateBoundingBox();
		scene::SAnimatedMesh* animated = new scene::SAnimatedMesh(mesh, type);
		mesh->drop();
		return animated;
	}

private:
	std::vector<scene::CDynamicMeshBuffer*> Buffers;
	std::vector<SMaterialData> Materials;
};

// ---------------------------------------------------------------------------
// Key frame meshes: the MD2 kind, whose frames between two key frames are
// interpolated as the engine's own MD2 mesh does it, so that a node plays it
// frame for frame the same.

class CKeyframeMesh : public scene::IAnimatedMeshMD2
{
public:
	CKeyframeMesh() : Buffer(new scene::SMeshBuffer()) {}
	~CKeyframeMesh() override { Buffer->drop(); }

	bool read(CReader& in, size_t textures)
	{
		SBuffer buffer;
		uint32_t framesPerKey = 0;
		const bool sound = ReadBuffer(in, textures, buffer,
		                              [this](const SBufferData& b, void*& vertices, void*& indices)
		                              {
			                              if (b.VertexType != video::EVT_STANDARD ||
			                                  b.IndexType != video::EIT_16BIT)
				                              return false;
			                              Buffer->Vertices.set_used(b.VertexCount);
			                              Buffer->Indices.set_used(b.IndexCount);
			                              vertices = Buffer->Vertices.pointer();
			                              indices = Buffer->Indices.pointer();
			                              return true;
		                              }) &&
		                   in.get(Keys) && in.get(framesPerKey) && in.get(FramesPerSecond) &&
		                   IsFinite(FramesPerSecond) && Keys > 0 && framesPerKey > 0 &&
		                   framesPerKey <= 16 && (framesPerKey & (framesPerKey - 1)) == 0;
		if (!sound)
			return false;
		Material = buffer.Material;
		while ((1u << Shift) < framesPerKey)
			++Shift;
		// A key frame moves the model's points; each vertex follows one.
		const u32 count = Buffer->Vertices.size();
		if (!in.get(Points) || Points > count || !in.fits(static_cast<uint64_t>(count) * 4))
			return false;
		Point.resize(count);
		if (!in.bytes(Point.data(), count * sizeof(u32)))
			return false;
		for (u32 point : Point)
			if (point >= Points)
				return false;
		// Every key frame's positions, then every key frame's normals, both
		// used where they are, then every key frame's bounding box.
		const size_t frameBytes = sizeof(core::aabbox3df) + 2 * Points * sizeof(core::vector3df);
		if (!in.align(alignof(core::vector3df)) ||
		    !in.fits(static_cast<uint64_t>(Keys) * frameBytes) ||
		    static_cast<uint64_t>(Keys) * Points > MaxCount ||
		    static_cast<uint64_t>(Keys) << Shift > 0x7fffffff)
			return false;
		const size_t vectors = static_cast<size_t>(Keys) * Points;
		Mapping = in.mapping();
		Positions =
		    reinterpret_cast<const core::vector3df*>(in.lend(vectors * sizeof(core::vector3df)));
		Normals =
		    reinterpret_cast<const core::vector3df*>(in.lend(vectors * sizeof(core::vector3df)));
		Boxes.resize(Keys);
		if (!Positions || !Normals || !in.bytes(Boxes.data(), Keys * sizeof(core::aabbox3df)))
			return false;
		for (const core::aabbox3df& box : Boxes)
			if (!IsFinite(box))
				return false;
		static_assert(sizeof(core::vector3df) == 3 * sizeof(f32), "a vector is three numbers");
		if (!IsFinite(reinterpret_cast<const f32*>(Positions), 3 * vectors) ||
		    !IsFinite(reinterpret_cast<const f32*>(Normals), 3 * vectors))
			return false;
		if (!in.bytes(TypeLoops, sizeof TypeLoops))
			return false;
		uint32_t named = 0;
		if (!in.count(named, 4 + sizeof(SLoop)))
			return false;
		Named.resize(named);
		for (SNamedLoop& loop : Named)
		{
			std::string name;
			if (!in.text(name) || !in.get(loop.Loop))
				return false;
			loop.Name = name.c_str();
		}
		update(0, 0, getFrameCount());
		return true;
	}
	void applyMaterial(const std::vector<video::ITexture*>& textures)
	{
		ApplyMaterial(Material, textures, Buffer->Material);
	}

	u32 getFrameCount() const override { return Keys << Shift; }
	f32 getAnimationSpeed() const override { return FramesPerSecond; }
	void setAnimationSpeed(f32 fps) override { FramesPerSecond = fps; }
	scene::IMesh* getMesh(s32 frame, s32 detailLevel = 255, s32 startFrameLoop = -1,
	                      s32 endFrameLoop = -1) override
	{
		(void)detailLevel;
		if (static_cast<u32>(frame) > getFrameCount())
			frame = frame % getFrameCount();
		if (startFrameLoop == -1 && endFrameLoop == -1)
		{
			startFrameLoop = 0;
			endFrameLoop = getFrameCount();
		}
		update(frame, startFrameLoop, endFrameLoop);
		return this;
	}
	scene::E_ANIMATED_MESH_TYPE getMeshType() const override { return scene::EAMT_MD2; }
	u32 getMeshBufferCount() const override { return 1; }
	scene::IMeshBuffer* getMeshBuffer(u32 nr) const override { return nr == 0 ? Buffer : 0; }
	scene::IMeshBuffer* getMeshBuffer(const video::SMaterial& material) const override
	{
		return Buffer->Material == material ? Buffer : 0;
	}
	const core::aabbox3d<f32>& getBoundingBox() const override { return Buffer->BoundingBox; }
	// A box or vertices changed from outside go at the next frame asked
	// for, as the engine's MD2 mesh has them.
	void setBoundingBox(const core::aabbox3df& box) override
	{
		Buffer->BoundingBox = box;
		Interpolated = false;
	}
	void setMaterialFlag(video::E_MATERIAL_FLAG flag, bool value) override
	{
		Buffer->Material.setFlag(flag, value);
	}
	void setHardwareMappingHint(scene::E_HARDWARE_MAPPING hint,
	                            scene::E_BUFFER_TYPE buffer = scene::EBT_VERTEX_AND_INDEX) override
	{
		Buffer->setHardwareMappingHint(hint, buffer);
	}
	void setDirty(scene::E_BUFFER_TYPE buffer = scene::EBT_VERTEX_AND_INDEX) override
	{
		Buffer->setDirty(buffer);
		Interpolated = false;
	}
	void getFrameLoop(scene::EMD2_ANIMATION_TYPE type, s32& begin, s32& end,
	                  s32& fps) const override
	{
		if (type < 0 || type >= scene::EMAT_COUNT)
			return;
		begin = TypeLoops[type].Begin;
		end = TypeLoops[type].End;
		fps = TypeLoops[type].Fps;
	}
	bool getFrameLoop(const c8* name, s32& begin, s32& end, s32& fps) const override
	{
		for (const SNamedLoop& loop : Named)
			if (loop.Name == name)
			{
				begin = loop.Loop.Begin;
				end = loop.Loop.End;
				fps = loop.Loop.Fps;
				return true;
			}
		return false;
	}
	s32 getAnimationCount() const override { return static_cast<s32>(Named.size()); }
	const c8* getAnimationName(s32 nr) const override
	{
		return static_cast<u32>(nr) < Named.size() ? Named[nr].Name.c_str() : 0;
	}

private:
	// The two key frames around `frame` and the share of the second, as
	// the engine's MD2 mesh computes them.
	void update(s32 frame, s32 startFrameLoop, s32 endFrameLoop)
	{
		u32 first, second;
		f32 share;
		if (endFrameLoop - startFrameLoop == 0)
		{
			first = second = frame >> Shift;
			share = 1.0f;
		}
		else
		{
			const u32 s = startFrameLoop >> Shift, e = endFrameLoop >> Shift;
			first = frame >> Shift;
			second = first + 1 > e ? s : first + 1;
			first = core::s32_min(Keys - 1, first);
			second = core::s32_min(Keys - 1, second);
			share = (frame & ((1 << Shift) - 1)) * (1.f / (1 << Shift));
		}
		// Every node showing the mesh asks for its frame each time it is
		// drawn, most of them for the one the buffer holds already.
		if (Interpolated && first == ShownFirst && second == ShownSecond && share == ShownShare)
			return;
		Interpolated = true;
		ShownFirst = first;
		ShownSecond = second;
		ShownShare = share;
		const core::vector3df* p1 = Positions + first * Points;
		const core::vector3df* p2 = Positions + second * Points;
		const core::vector3df* n1 = Normals + first * Points;
		const core::vector3df* n2 = Normals + second * Points;
		video::S3DVertex* target = Buffer->Vertices.pointer();
		for (u32 i = 0; i < Point.size(); ++i)
		{
			const u32 p = Point[i];
			target[i].Pos = p2[p].getInterpolated(p1[p], share);
			target[i].Normal = n2[p].getInterpolated(n1[p], share);
		}
		Buffer->setBoundingBox(Boxes[second].getInterpolated(Boxes[first], share));
		Buffer->setDirty();
	}

	struct SLoop
	{
		s32 Begin, End, Fps;
	};
	struct SNamedLoop
	{
		core::stringc Name;
		SLoop Loop;
	};
	scene::SMeshBuffer* Buffer;
	//! The two key frames and the share the buffer holds now.
	bool Interpolated = false;
	u32 ShownFirst = 0, ShownSecond = 0;
	f32 ShownShare = 0;
	SMaterialData Material;
	u32 Keys = 0, Shift = 0;
	f32 FramesPerSecond = 0;
	std::vector<core::aabbox3df> Boxes;
	//! Each vertex's point; the points' positions and normals, key frame
	//! after key frame, checked once and used where the helper wrote them,
	//! in the mapping the mesh keeps.
	std::vector<u32> Point;
	u32 Points = 0;
	std::shared_ptr<const char> Mapping;
	const core::vector3df* Positions = 0;
	const core::vector3df* Normals = 0;
	SLoop TypeLoops[scene::EMAT_COUNT];
	std::vector<SNamedLoop> Named;
};

// ---------------------------------------------------------------------------
// Skinned meshes, rebuilt with the engine's skinned-mesh builder.

template <typename T> bool ReadArray(CReader& in, core::array<T>& values)
{
	uint32_t n = 0;
	if (!in.count(n, sizeof(T)))
		return false;
	values.set_used(n);
	return in.bytes(values.pointer(), n * sizeof(T));
}

class CSkinnedBuild
{
public:
	explicit CSkinnedBuild(scene::ISkinnedMesh* mesh) : Mesh(mesh) {}

	bool read(CReader& in, size_t textures)
	{
		f32 fps = 0;
		uint32_t buffers = 0;
		if (!in.get(fps) || !IsFinite(fps) ||
		    !in.count(buffers, sizeof(SMaterialData) + sizeof(SBufferData)))
			return false;
		Mesh->setAnimationSpeed(fps);
		for (uint32_t i = 0; i < buffers; ++i)
		{
			SBuffer buffer;
			scene::SSkinMeshBuffer* made = Mesh->addMeshBuffer();
			const bool sound =
			    ReadBuffer(in, textures, buffer,
			               [made](const SBufferData& b, void*& vertices, void*& indices)
			               {
				               if (b.IndexType != video::EIT_16BIT)
					               return false;
				               made->VertexType = static_cast<video::E_VERTEX_TYPE>(b.VertexType);
				               if (b.VertexType == video::EVT_2TCOORDS)
					               made->Vertices_2TCoords.set_used(b.VertexCount);
				               else if (b.VertexType == video::EVT_TANGENTS)
					               made->Vertices_Tangents.set_used(b.VertexCount);
				               else
					               made->Vertices_Standard.set_used(b.VertexCount);
				               made->Indices.set_used(b.IndexCount);
				               vertices = made->getVertices();
				               indices = made->getIndices();
				               return true;
			               });
			if (!sound)
				return false;
			ApplyHints(buffer.Header, *made);
			Materials.push_back(buffer.Material);
		}
		return readJoints(in);
	}

	void applyMaterials(const std::vector<video::ITexture*>& textures)
	{
		core::array<scene::SSkinMeshBuffer*>& buffers = Mesh->getMeshBuffers();
		for (u32 i = 0; i < buffers.size(); ++i)
			ApplyMaterial(Materials[i], textures, buffers[i]->Material);
	}

private:
	bool readJoints(CReader& in)
	{
		uint32_t count = 0;
		if (!in.count(count, 4 + 2 * sizeof(core::matrix4) + 6 * 4))
			return false;
		std::vector<scene::ISkinnedMesh::SJoint*> joints;
		for (uint32_t i = 0; i < count; ++i)
			joints.push_back(Mesh->addJoint(0));
		// Each joint has one parent at most, and following parents never
		// comes back to where it started: the engine walks the tree from
		// its roots without guarding against loops.
		std::vector<uint32_t> parent(count, ~0u);
		const core::array<scene::SSkinMeshBuffer*>& buffers = Mesh->getMeshBuffers();
		for (uint32_t i = 0; i < count; ++i)
		{
			scene::ISkinnedMesh::SJoint* joint = joints[i];
			std::string name;
			uint32_t children = 0;
			if (!in.text(name) || !in.get(joint->LocalMatrix) || !IsFinite(joint->LocalMatrix) ||
			    !in.get(joint->GlobalInversedMatrix) || !IsFinite(joint->GlobalInversedMatrix) ||
			    !in.count(children, 4))
				return false;
			joint->Name = name.c_str();
			for (uint32_t c = 0; c < children; ++c)
			{
				uint32_t child = 0;
				if (!in.get(child) || child >= count || child == i || parent[child] != ~0u)
					return false;
				parent[child] = i;
				joint->Children.push_back(joints[child]);
			}
			if (!ReadArray(in, joint->AttachedMeshes) || !ReadArray(in, joint->PositionKeys) ||
			    !ReadArray(in, joint->ScaleKeys) || !ReadArray(in, joint->RotationKeys))
				return false;
			for (u32 a = 0; a < joint->AttachedMeshes.size(); ++a)
				if (joint->AttachedMeshes[a] >= buffers.size())
					return false;
			for (u32 k = 0; k < joint->PositionKeys.size(); ++k)
				if (!IsFinite(joint->PositionKeys[k].frame) ||
				    !IsFinite(joint->PositionKeys[k].position))
					return false;
			for (u32 k = 0; k < joint->ScaleKeys.size(); ++k)
				if (!IsFinite(joint->ScaleKeys[k].frame) || !IsFinite(joint->ScaleKeys[k].scale))
					return false;
			for (u32 k = 0; k < joint->RotationKeys.size(); ++k)
				if (!IsFinite(joint->RotationKeys[k].frame) ||
				    !IsFinite(joint->RotationKeys[k].rotation))
					return false;
			uint32_t weights = 0;
			if (!in.count(weights, 12))
				return false;
			for (uint32_t w = 0; w < weights; ++w)
			{
				uint32_t buffer = 0, vertex = 0;
				f32 strength = 0;
				if (!in.get(buffer) || !in.get(vertex) || !in.get(strength) ||
				    buffer >= buffers.size() || vertex >= buffers[buffer]->getVertexCount() ||
				    !IsFinite(strength))
					return false;
				scene::ISkinnedMesh::SWeight* weight = Mesh->addWeight(joint);
				weight->buffer_id = static_cast<u16>(buffer);
				weight->vertex_id = vertex;
				weight->strength = strength;
			}
		}
		for (uint32_t i = 0; i < count; ++i)
		{
			uint32_t steps = 0;
			for (uint32_t j = parent[i]; j != ~0u; j = parent[j])
				if (++steps > count)
					return false;
		}
		return true;
	}

	scene::ISkinnedMesh* Mesh;
	std::vector<SMaterialData> Materials;
};

bool ReadMesh(CReader& in, video::IVideoDriver* driver, scene::ISceneManager* smgr,
              const SPixels& pixels, SContent& content, std::vector<video::ITexture*>& added)
{
	STextures textures;
	textures.Added = &added;
	uint32_t type = 0, form = 0;
	if (!textures.read(in, pixels) || !in.get(type) || !in.get(form) || type > scene::EAMT_SKINNED)
		return false;
	const size_t count = textures.Names.size();
	const scene::E_ANIMATED_MESH_TYPE meshType = static_cast<scene::E_ANIMATED_MESH_TYPE>(type);
	switch (form)
	{
	case FORM_STATIC:
	{
		CStaticBuild build;
		if (!build.read(in, count))
			return false;
		textures.enter(driver);
		content.Mesh = build.build(meshType, textures.Entered);
		return true;
	}
	case FORM_KEYFRAME:
	{
		CKeyframeMesh* mesh = new CKeyframeMesh();
		if (!mesh->read(in, count))
		{
			mesh->drop();
			return false;
		}
		textures.enter(driver);
		mesh->applyMaterial(textures.Entered);
		content.Mesh = mesh;
		return true;
	}
	case FORM_SKINNED:
	{
		scene::ISkinnedMesh* mesh = smgr->createSkinnedMesh();
		CSkinnedBuild build(mesh);
		if (!build.read(in, count))
		{
			mesh->drop();
			return false;
		}
		textures.enter(driver);
		build.applyMaterials(textures.Entered);
		mesh->finalize();
		content.Mesh = mesh;
		return true;
	}
	default: return false;
	}
}

// A mesh of no triangles is told apart, as the helper tells it, and nothing
// of it is kept.
void ForgetEmpty(video::IVideoDriver* driver, SContent& content,
                 std::vector<video::ITexture*>& added)
{
	content.Mesh->drop();
	content.Mesh = 0;
	content.Empty = true;
	for (video::ITexture* texture : added)
		driver->removeTexture(texture);
	added.clear();
}

bool ReadRecords(CReader& in, video::IVideoDriver* driver, scene::ISceneManager* smgr,
                 SContent& content, std::vector<video::ITexture*>& added)
{
	uint32_t record = 0;
	if (!in.begin())
		return false;
	SPixels pixels;
	while (in.get(record))
	{
		switch (record)
		{
		case REC_END: return true;
		case REC_NAMES:
		{
			uint32_t n = 0;
			if (!in.count(n, 4))
				return false;
			content.Names.resize(n);
			for (std::string& name : content.Names)
				if (!in.text(name))
					return false;
			break;
		}
		case REC_IMAGE:
		{
			std::string name;
			if (content.Image || !in.text(name) || name.empty() ||
			    !(content.Image = ReadImage(in, driver)))
				return false;
			content.ImageName = name.c_str();
			break;
		}
		case REC_MESH:
			if (content.Mesh || !ReadMesh(in, driver, smgr, pixels, content, added))
				return false;
			if (!HoldsTriangles(content.Mesh))
				ForgetEmpty(driver, content, added);
			break;
		case REC_PIXELS:
			if (!pixels.read(in, driver))
				return false;
			break;
		case REC_KEEP: content.Keep = true; break;
		case REC_EMPTY: content.Empty = true; break;
		case REC_IMAGE_SIZE:
			if (!in.get(content.TooLarge.Width) || !in.get(content.TooLarge.Height))
				return false;
			break;
		case REC_REFUSAL:
			if (!in.text(content.Refusal) || content.Refusal.size() > MaxRefusal ||
			    std::any_of(content.Refusal.begin(), content.Refusal.end(),
			                [](char c) { return c < ' ' || c > '~'; }))
				return false;
			break;
		case REC_START:
			if (!in.get(content.Start) || !IsFinite(content.Start, 4))
				return false;
			content.HasStart = true;
			break;
		default: return false;
		}
	}
	return false; // cut short: no end
}
} // namespace

bool Read(int fd, video::IVideoDriver* driver, scene::ISceneManager* smgr, SContent& content)
{
	CReader in(fd);
	std::vector<video::ITexture*> added;
	if (ReadRecords(in, driver, smgr, content, added))
		return true;
	if (content.Mesh)
		content.Mesh->drop();
	content.Mesh = 0;
	for (video::ITexture* texture : added)
		driver->removeTexture(texture);
	return false;
}
} // namespace loaded
