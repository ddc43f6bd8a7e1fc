#include "MeshTransfer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <map>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace irr;

namespace transfer
{
// ---------------------------------------------------------------------------
// Images

CImageRecorder::CImageRecorder(video::IVideoDriver* driver, CWriter* out) : Driver(driver), Out(out)
{
}

CImageRecorder::~CImageRecorder()
{
	for (auto it = Images.getIterator(); !it.atEnd(); it++)
		it->getValue()->drop();
}

// The engine's own loaders: every one but this.
bool CImageRecorder::isALoadableFileExtension(const io::path& filename) const
{
	for (u32 i = 0; i < Driver->getImageLoaderCount(); ++i)
	{
		video::IImageLoader* loader = Driver->getImageLoader(i);
		if (loader != this && loader->isALoadableFileExtension(filename))
			return true;
	}
	return false;
}

bool CImageRecorder::isALoadableFileFormat(io::IReadFile* file) const
{
	for (u32 i = 0; i < Driver->getImageLoaderCount(); ++i)
	{
		video::IImageLoader* loader = Driver->getImageLoader(i);
		file->seek(0);
		if (loader != this && loader->isALoadableFileFormat(file))
			return true;
	}
	return false;
}

// Decodes as the driver would (loaders by extension, the last added first,
// then by content) and keeps the result.
video::IImage* CImageRecorder::loadImage(io::IReadFile* file) const
{
	video::IImage* image = 0;
	for (int pass = 0; pass < 2 && !image; ++pass)
		for (s32 i = static_cast<s32>(Driver->getImageLoaderCount()) - 1; i >= 0 && !image; --i)
		{
			video::IImageLoader* loader = Driver->getImageLoader(i);
			if (loader == this)
				continue;
			file->seek(0);
			const bool fits = pass == 0 ? loader->isALoadableFileExtension(file->getFileName())
			                            : loader->isALoadableFileFormat(file);
			if (!fits)
				continue;
			file->seek(0);
			image = loader->loadImage(file);
		}
	const io::path& name = file->getFileName();
	if (image && Out && !Written.find(name))
		Written.insert(name, WritePixels(*Out, name, image));
	else if (image && !Out && !Images.find(name))
	{
		image->grab();
		Images.insert(name, image);
	}
	return image;
}

video::IImage* CImageRecorder::image(const io::path& name) const
{
	auto* node = Images.find(name);
	return node ? node->getValue() : 0;
}

int32_t CImageRecorder::written(const io::path& name) const
{
	auto* node = Written.find(name);
	return node ? node->getValue() : -1;
}

// ---------------------------------------------------------------------------
// Records

void Begin(CWriter& out)
{
	out.put(Magic);
	out.put(Version);
}

void End(CWriter& out)
{
	out.put(REC_END);
}

namespace
{
void PutImage(CWriter& out, video::IImage* image)
{
	const core::dimension2du size = image->getDimension();
	out.put(static_cast<uint32_t>(image->getColorFormat()));
	out.put(size.Width);
	out.put(size.Height);
	const uint64_t bytes = image->getImageDataSizeInBytes();
	out.put(bytes);
	out.raw(image->lock(), bytes);
	image->unlock();
}
} // namespace

int32_t WritePixels(CWriter& out, const io::path& name, video::IImage* image)
{
	out.put(REC_PIXELS);
	out.text(name.c_str());
	PutImage(out, image);
	return out.PixelRecords++;
}

void WriteImage(CWriter& out, const io::path& name, video::IImage* image)
{
	// The editor could not use its pixels, but tells the user its size.
	const core::dimension2du size = image->getDimension();
	if (size.Width > MaxImageSide || size.Height > MaxImageSide)
	{
		out.put(REC_IMAGE_SIZE);
		out.put(size.Width);
		out.put(size.Height);
		return;
	}
	out.put(REC_IMAGE);
	out.text(name.c_str());
	PutImage(out, image);
}

void WriteNames(CWriter& out, const std::vector<std::string>& names)
{
	out.put(REC_NAMES);
	out.put(static_cast<uint32_t>(names.size()));
	for (const std::string& name : names)
		out.text(name);
}

void WriteRefusal(CWriter& out, const std::string& why)
{
	std::string line;
	for (char c : why)
		if (line.size() < MaxRefusal)
			line += c >= ' ' && c <= '~' ? c : ' ';
	out.put(REC_REFUSAL);
	out.text(line);
}

// ---------------------------------------------------------------------------
// Meshes

namespace
{
// The textures a mesh's materials use, each as the number of the REC_PIXELS
// record that holds its pixels; pixels the recorder has not written yet are
// written here.
class CTextureTable
{
public:
	CTextureTable(CWriter& out, const CImageRecorder* images, const PixelSource& otherPixels)
	    : Out(out), Images(images), OtherPixels(otherPixels)
	{
	}

	// Collects the textures of a material; false when one has no pixels.
	bool add(const video::SMaterial& material)
	{
		for (u32 layer = 0; layer < video::MATERIAL_MAX_TEXTURES; ++layer)
		{
			video::ITexture* texture = material.getTexture(layer);
			if (!texture || Index.count(texture))
				continue;
			const io::path& name = texture->getName().getPath();
			int32_t record = Images ? Images->written(name) : -1;
			if (record < 0)
			{
				video::IImage* image = Images ? Images->image(name) : 0;
				video::IImage* made = !image && OtherPixels ? OtherPixels(name) : 0;
				if (!image && !(image = made))
					return false;
				record = WritePixels(Out, name, image);
				if (made)
					made->drop();
			}
			Index[texture] = static_cast<int32_t>(Records.size());
			Records.push_back(record);
		}
		return true;
	}

	void write(CWriter& out) const
	{
		out.put(static_cast<uint32_t>(Records.size()));
		for (int32_t record : Records)
			out.put(record);
	}

	int32_t indexOf(video::ITexture* texture) const
	{
		const auto found = Index.find(texture);
		return found == Index.end() ? -1 : found->second;
	}

private:
	CWriter& Out;
	const CImageRecorder* Images;
	PixelSource OtherPixels;
	std::map<video::ITexture*, int32_t> Index;
	std::vector<int32_t> Records;
};

SMaterialData MaterialData(const video::SMaterial& m, const CTextureTable& textures)
{
	SMaterialData d;
	std::memset(&d, 0, sizeof d);
	d.Type = m.MaterialType;
	d.Ambient = m.AmbientColor.color;
	d.Diffuse = m.DiffuseColor.color;
	d.Emissive = m.EmissiveColor.color;
	d.Specular = m.SpecularColor.color;
	d.Shininess = m.Shininess;
	d.Param = m.MaterialTypeParam;
	d.Param2 = m.MaterialTypeParam2;
	d.Thickness = m.Thickness;
	d.ZBuffer = m.ZBuffer;
	d.AntiAliasing = m.AntiAliasing;
	d.ColorMask = m.ColorMask;
	d.ColorMaterial = m.ColorMaterial;
	d.BlendOperation = m.BlendOperation;
	d.OffsetFactor = m.PolygonOffsetFactor;
	d.OffsetDirection = m.PolygonOffsetDirection;
	const bool flags[] = {m.Wireframe,        m.PointCloud,      m.GouraudShading,   m.Lighting,
	                      m.ZWriteEnable,     m.BackfaceCulling, m.FrontfaceCulling, m.FogEnable,
	                      m.NormalizeNormals, m.UseMipMaps};
	for (size_t i = 0; i < sizeof flags / sizeof flags[0]; ++i)
		d.Flags |= static_cast<uint16_t>(flags[i] << i);
	for (u32 i = 0; i < video::MATERIAL_MAX_TEXTURES; ++i)
	{
		const video::SMaterialLayer& layer = m.TextureLayer[i];
		SLayerData& l = d.Layers[i];
		l.Texture = textures.indexOf(layer.Texture);
		l.WrapU = layer.TextureWrapU;
		l.WrapV = layer.TextureWrapV;
		l.Bilinear = layer.BilinearFilter;
		l.Trilinear = layer.TrilinearFilter;
		l.Anisotropic = layer.AnisotropicFilter;
		l.LODBias = layer.LODBias;
		const core::matrix4& matrix = layer.getTextureMatrix();
		l.HasMatrix = !matrix.isIdentity();
		std::memcpy(l.Matrix, matrix.pointer(), sizeof l.Matrix);
	}
	return d;
}

size_t VertexSize(video::E_VERTEX_TYPE type)
{
	return type == video::EVT_2TCOORDS   ? sizeof(video::S3DVertex2TCoords)
	       : type == video::EVT_TANGENTS ? sizeof(video::S3DVertexTangents)
	                                     : sizeof(video::S3DVertex);
}

void PutBuffer(CWriter& out, const scene::IMeshBuffer* buffer, const CTextureTable& textures)
{
	out.put(MaterialData(buffer->getMaterial(), textures));
	SBufferData b;
	b.VertexType = buffer->getVertexType();
	b.IndexType = buffer->getIndexType();
	b.VertexCount = buffer->getVertexCount();
	b.IndexCount = buffer->getIndexCount();
	b.HintVertex = buffer->getHardwareMappingHint_Vertex();
	b.HintIndex = buffer->getHardwareMappingHint_Index();
	out.put(b);
	out.raw(buffer->getVertices(), b.VertexCount * VertexSize(buffer->getVertexType()));
	out.raw(buffer->getIndices(),
	        b.IndexCount * (b.IndexType == video::EIT_32BIT ? sizeof(u32) : sizeof(u16)));
}

// The engine's MD2 meshes interpolate this many frames per key frame.
const u32 MD2FramesPerKey = 4;

// A vertex's position and normal, side by side: the bytes a key frame moves.
static_assert(offsetof(video::S3DVertex, Normal) == sizeof(core::vector3df),
              "a vertex's normal follows its position");
const size_t Moved = 2 * sizeof(core::vector3df);

// The bytes a key frame moves, as three numbers to compare.
struct SMove
{
	uint64_t Bits[3];
	explicit SMove(const video::S3DVertex& v) { std::memcpy(Bits, &v.Pos, Moved); }
	//! Zero when both are the same, bit for bit; compared with no early
	//! exit, in registers, for speed.
	uint64_t difference(const SMove& o) const
	{
		return (Bits[0] ^ o.Bits[0]) | (Bits[1] ^ o.Bits[1]) | (Bits[2] ^ o.Bits[2]);
	}
	bool operator==(const SMove& o) const { return difference(o) == 0; }
	bool operator<(const SMove& o) const
	{
		return std::lexicographical_compare(Bits, Bits + 3, o.Bits, o.Bits + 3);
	}
};

// The engine's MD2 mesh repeats a point of the model for every triangle
// corner at it (six corners a point in sydney.md2), so a key frame is
// handed over as its points only: `point` maps each corner to its point,
// `first` each point to its first corner. Corners are grouped by equal
// position and normal in the buffer as it is now.
void GroupCorners(const video::S3DVertex* v, u32 count, std::vector<u32>& point,
                  std::vector<u32>& first)
{
	std::vector<std::pair<SMove, u32>> order;
	order.reserve(count);
	for (u32 i = 0; i < count; ++i)
		order.push_back({SMove(v[i]), i});
	std::sort(order.begin(), order.end(),
	          [](const std::pair<SMove, u32>& a, const std::pair<SMove, u32>& b)
	          { return a.first < b.first || (a.first == b.first && a.second < b.second); });
	point.assign(count, 0);
	first.clear();
	for (u32 j = 0; j < count; ++j)
	{
		if (j == 0 || !(order[j].first == order[j - 1].first))
			first.push_back(order[j].second);
		point[order[j].second] = static_cast<u32>(first.size() - 1);
	}
}

// Where the key frames go: every frame's points' positions, then their
// normals, then every frame's bounding box, so that each array is read in
// one piece (and the numbers are aligned, to be used where they are).
struct SKeyArrays
{
	char* Positions;
	char* Normals;
	char* Boxes;
};

// How the key frames are filled in: each corner to compare with its
// point's first corner, and each point's first corner.
struct SCorners
{
	std::vector<std::pair<u32, u32>> Others;
	const std::vector<u32>& First;
};

// Key frames `from` to `end`; false when two corners of one point part.
bool FillKeys(const SKeyArrays& to, scene::IAnimatedMesh* mesh, u32 from, u32 end,
              const SCorners& corners)
{
	const std::vector<u32>& first = corners.First;
	const size_t points = first.size(), vector = sizeof(core::vector3df);
	for (u32 k = from; k < end; ++k)
	{
		// A key frame's own frame interpolates nothing.
		const scene::IMeshBuffer* frame = mesh->getMesh(k * MD2FramesPerKey)->getMeshBuffer(0);
		const video::S3DVertex* v = static_cast<const video::S3DVertex*>(frame->getVertices());
		uint64_t differ = 0;
		for (const auto& pair : corners.Others)
			differ |= SMove(v[pair.first]).difference(SMove(v[pair.second]));
		if (differ)
			return false;
		std::memcpy(to.Boxes + k * sizeof(core::aabbox3df), &frame->getBoundingBox(),
		            sizeof(core::aabbox3df));
		char* positions = to.Positions + k * points * vector;
		char* normals = to.Normals + k * points * vector;
		for (size_t p = 0; p < points; ++p)
		{
			std::memcpy(positions + p * vector, &v[first[p]].Pos, vector);
			std::memcpy(normals + p * vector, &v[first[p]].Normal, vector);
		}
	}
	return true;
}

// The key frames two processes share out between them, a few at a time:
// the next to take, and whether two corners of a point parted.
struct SShared
{
	std::atomic<u32> Next{0};
	std::atomic<u32> Parted{0};
};
static_assert(std::atomic<u32>::is_always_lock_free, "shared between processes");

void TakeKeys(const SKeyArrays& to, scene::IAnimatedMesh* mesh, u32 keys, const SCorners& corners,
              SShared& work)
{
	const u32 few = 8;
	for (u32 from; !work.Parted && (from = work.Next.fetch_add(few)) < keys;)
		if (!FillKeys(to, mesh, from, std::min(keys, from + few), corners))
			work.Parted = 1;
}

// Every key frame, written in place. The engine interpolates each frame it
// is asked for, which is most of the work: when the frames go straight into
// shared memory, a forked copy of this process takes frames too, on the
// other core when one is free (and none when it gets no processor before
// this one is done). False when two corners of one point part.
bool PutKeyPoints(CWriter& out, scene::IAnimatedMesh* mesh, u32 keys, const std::vector<u32>& point,
                  const std::vector<u32>& first)
{
	const size_t boxes = keys * sizeof(core::aabbox3df);
	const size_t vectors = keys * first.size() * sizeof(core::vector3df);
	SKeyArrays to;
	out.align(alignof(core::vector3df));
	to.Positions = out.room(2 * vectors + boxes);
	to.Normals = to.Positions + vectors;
	to.Boxes = to.Normals + vectors;
	SCorners corners{{}, first};
	for (u32 i = 0; i < point.size(); ++i)
		if (first[point[i]] != i)
			corners.Others.push_back({i, first[point[i]]});

	SShared alone;
	void* page = out.shared() ? mmap(0, sizeof(SShared), PROT_READ | PROT_WRITE,
	                                 MAP_SHARED | MAP_ANONYMOUS, -1, 0)
	                          : MAP_FAILED;
	SShared& work = page == MAP_FAILED ? alone : *new (page) SShared();
	const pid_t other = page == MAP_FAILED ? -1 : fork();
	if (other == 0)
	{
		// It must not outlive this process, should that be stopped.
		prctl(PR_SET_PDEATHSIG, SIGKILL);
		TakeKeys(to, mesh, keys, corners, work);
		_exit(0);
	}
	TakeKeys(to, mesh, keys, corners, work);
	bool sound = !work.Parted;
	if (other > 0)
	{
		// Frames it took and did not finish would be missing.
		int status = 0;
		while (waitpid(other, &status, 0) < 0 && errno == EINTR)
		{
		}
		sound = !work.Parted && WIFEXITED(status) && WEXITSTATUS(status) == 0;
	}
	if (page != MAP_FAILED)
		munmap(page, sizeof(SShared));
	return sound;
}

void PutKeyframes(CWriter& out, scene::IAnimatedMesh* mesh, const CTextureTable& textures)
{
	const u32 keys = mesh->getFrameCount() / MD2FramesPerKey;
	const scene::IMeshBuffer* buffer = mesh->getMesh(0)->getMeshBuffer(0);
	PutBuffer(out, buffer, textures);
	out.put(keys);
	out.put(MD2FramesPerKey);
	out.put(mesh->getAnimationSpeed());
	const u32 count = buffer->getVertexCount();
	std::vector<u32> point, first;
	GroupCorners(static_cast<const video::S3DVertex*>(buffer->getVertices()), count, point, first);
	const size_t start = out.size();
	for (;;)
	{
		out.put(static_cast<uint32_t>(first.size()));
		out.raw(point.data(), count * sizeof(u32));
		if (PutKeyPoints(out, mesh, keys, point, first))
			break;
		// Corners that met in frame 0 part later: each is a point of its own.
		out.cut(start);
		for (u32 i = 0; i < count; ++i)
			point[i] = i;
		first = point;
	}
	// The animations the node can be told to play, by type and by name.
	scene::IAnimatedMeshMD2* md2 = static_cast<scene::IAnimatedMeshMD2*>(mesh);
	for (s32 type = 0; type < scene::EMAT_COUNT; ++type)
	{
		s32 loop[3] = {0, 0, 0};
		md2->getFrameLoop(static_cast<scene::EMD2_ANIMATION_TYPE>(type), loop[0], loop[1], loop[2]);
		out.put(loop);
	}
	const s32 named = md2->getAnimationCount();
	out.put(static_cast<uint32_t>(named));
	for (s32 i = 0; i < named; ++i)
	{
		const c8* name = md2->getAnimationName(i);
		s32 loop[3] = {0, 0, 0};
		md2->getFrameLoop(name, loop[0], loop[1], loop[2]);
		out.text(name ? name : "");
		out.put(loop);
	}
}

template <typename T> void PutArray(CWriter& out, const core::array<T>& values)
{
	out.put(static_cast<uint32_t>(values.size()));
	out.raw(values.const_pointer(), values.size() * sizeof(T));
}

void PutSkinned(CWriter& out, scene::ISkinnedMesh* mesh, const CTextureTable& textures)
{
	out.put(mesh->getAnimationSpeed());
	core::array<scene::SSkinMeshBuffer*>& buffers = mesh->getMeshBuffers();
	out.put(static_cast<uint32_t>(buffers.size()));
	for (u32 i = 0; i < buffers.size(); ++i)
		PutBuffer(out, buffers[i], textures);
	core::array<scene::ISkinnedMesh::SJoint*>& joints = mesh->getAllJoints();
	std::map<scene::ISkinnedMesh::SJoint*, uint32_t> index;
	for (u32 i = 0; i < joints.size(); ++i)
		index[joints[i]] = i;
	out.put(static_cast<uint32_t>(joints.size()));
	for (u32 i = 0; i < joints.size(); ++i)
	{
		const scene::ISkinnedMesh::SJoint* joint = joints[i];
		out.text(joint->Name.c_str());
		out.put(joint->LocalMatrix);
		out.put(joint->GlobalInversedMatrix);
		out.put(static_cast<uint32_t>(joint->Children.size()));
		for (u32 c = 0; c < joint->Children.size(); ++c)
		{
			const auto found = index.find(joint->Children[c]);
			out.put(found == index.end() ? ~0u : found->second);
		}
		PutArray(out, joint->AttachedMeshes);
		PutArray(out, joint->PositionKeys);
		PutArray(out, joint->ScaleKeys);
		PutArray(out, joint->RotationKeys);
		out.put(static_cast<uint32_t>(joint->Weights.size()));
		for (u32 w = 0; w < joint->Weights.size(); ++w)
		{
			out.put(static_cast<uint32_t>(joint->Weights[w].buffer_id));
			out.put(joint->Weights[w].vertex_id);
			out.put(joint->Weights[w].strength);
		}
	}
}
} // namespace

void WriteMesh(CWriter& out, scene::IAnimatedMesh* mesh, const CImageRecorder* images,
               const PixelSource& otherPixels)
{
	const scene::E_ANIMATED_MESH_TYPE type = mesh->getMeshType();
	EMeshForm form = FORM_STATIC;
	if (type == scene::EAMT_SKINNED)
		form = FORM_SKINNED;
	else if (type == scene::EAMT_MD2)
		form = FORM_KEYFRAME;
	// Other animated kinds (MD3, Half-Life) have no builder in the engine.
	const bool rebuildable = form != FORM_STATIC || mesh->getFrameCount() <= 1;
	// A skinned mesh's getMesh would move its vertices out of their rest
	// pose; its buffers are read as they are.
	scene::IMesh* frame = form == FORM_SKINNED ? mesh : mesh->getMesh(0);
	if (frame && !HoldsTriangles(frame))
	{
		out.put(REC_EMPTY);
		return;
	}
	CTextureTable textures(out, images, otherPixels);
	bool complete = rebuildable && frame;
	for (u32 i = 0; complete && i < frame->getMeshBufferCount(); ++i)
		complete = textures.add(frame->getMeshBuffer(i)->getMaterial());
	if (!complete)
	{
		out.put(REC_KEEP);
		return;
	}
	out.put(REC_MESH);
	textures.write(out);
	out.put(static_cast<uint32_t>(type));
	out.put(form);
	switch (form)
	{
	case FORM_STATIC:
		out.put(frame->getMeshBufferCount());
		for (u32 i = 0; i < frame->getMeshBufferCount(); ++i)
			PutBuffer(out, frame->getMeshBuffer(i), textures);
		break;
	case FORM_KEYFRAME: PutKeyframes(out, mesh, textures); break;
	case FORM_SKINNED: PutSkinned(out, static_cast<scene::ISkinnedMesh*>(mesh), textures); break;
	}
}
} // namespace transfer
