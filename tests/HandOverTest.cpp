// The helper loads a file once and hands the editor plain data: what the
// editor builds from it behaves as the engine's own load, and data that is
// out of bounds or not a number where the editor measures is refused with
// nothing of it kept.
#include "EditorTestSupport.h"

#include <cmath>
#include <functional>
#include <limits>
#include <sys/mman.h>
#include <unistd.h>

#include "LoadedData.h"
#include "MeshTransfer.h"

using namespace transfer;

namespace
{
// What the helper would leave in shared memory.
int SharedMemory(const std::string& bytes)
{
	const int fd = memfd_create("handover-test", MFD_CLOEXEC);
	EXPECT_EQ(static_cast<ssize_t>(bytes.size()), write(fd, bytes.data(), bytes.size()));
	return fd;
}

// One triangle, spoiled as a row asks, as the helper writes a mesh.
std::string Triangle(const std::function<void(scene::SMeshBuffer&)>& spoil)
{
	scene::SMeshBuffer* buffer = new scene::SMeshBuffer();
	for (int i = 0; i < 3; ++i)
	{
		buffer->Vertices.push_back(
		    video::S3DVertex(i, i * 2.0f, 0, 0, 1, 0, video::SColor(255, 255, 255, 255), 0, 1));
		buffer->Indices.push_back(static_cast<u16>(i));
	}
	spoil(*buffer);
	scene::SMesh* mesh = new scene::SMesh();
	mesh->addMeshBuffer(buffer);
	buffer->drop();
	scene::SAnimatedMesh* animated = new scene::SAnimatedMesh(mesh, scene::EAMT_OBJ);
	mesh->drop();
	CWriter out;
	Begin(out);
	WriteMesh(out, animated, nullptr);
	End(out);
	animated->drop();
	return out.Bytes;
}

// An image record declaring 4 x 4 pixels of 4 bytes, with `bytes` of them.
std::string Image(uint64_t declared, size_t bytes)
{
	CWriter out;
	Begin(out);
	out.put(REC_IMAGE);
	out.text("/tmp/x.png");
	out.put(static_cast<uint32_t>(video::ECF_A8R8G8B8));
	out.put(4u);
	out.put(4u);
	out.put(declared);
	out.raw(std::string(bytes, '\x7f').data(), bytes);
	End(out);
	return out.Bytes;
}

const float NaN = std::numeric_limits<float>::quiet_NaN();

// An MD2 model of four points and two key frames, whose points 0 and 3
// stand together, with one normal, in the first frame only.
std::string PartingMd2()
{
	const int32_t points = 4, triangles = 2, frames = 2, frameSize = 40 + 4 * points;
	const int32_t st = 68, tris = st + 3 * 4, first = tris + triangles * 12;
	const int32_t end = first + frames * frameSize;
	const int32_t header[17] = {0x32504449, 8,      64, 64, frameSize, 0,     points, 3,  triangles,
	                            0,          frames, st, st, tris,      first, end,    end};
	const int16_t coords[] = {0, 0, 32, 0, 0, 32};
	const uint16_t corners[] = {0, 1, 2, 0, 1, 2, 3, 2, 1, 0, 2, 1};
	std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
	bytes.append(reinterpret_cast<const char*>(coords), sizeof coords);
	bytes.append(reinterpret_cast<const char*>(corners), sizeof corners);
	for (int frame = 0; frame < frames; ++frame)
	{
		const float place[6] = {1, 1, 1, 0, 0, 0}; // scale, then translation
		bytes.append(reinterpret_cast<const char*>(place), sizeof place);
		bytes.append(frame ? "stand02" : "stand01", 8);
		bytes.append(8, '\0');
		const uint8_t at[] = {10, 10, 10, 5, 20, 10, 10, 6, 10, 20, 10, 7};
		bytes.append(reinterpret_cast<const char*>(at), sizeof at);
		const uint8_t parting[] = {uint8_t(frame ? 30 : 10), 10, 10, 5};
		bytes.append(reinterpret_cast<const char*>(parting), sizeof parting);
	}
	return bytes;
}
} // namespace

class HandOverTest : public EditorTest
{
protected:
	bool accepted(const std::string& bytes)
	{
		const int fd = SharedMemory(bytes);
		loaded::SContent content;
		const bool sound = loaded::Read(fd, editor->_driver, editor->_smgr, content);
		close(fd);
		return sound;
	}
};

TEST_F(HandOverTest, DamagedDataIsRefused)
{
	scene::ISkinnedMesh* skinned = editor->_smgr->createSkinnedMesh();
	scene::SSkinMeshBuffer* triangle = skinned->addMeshBuffer();
	for (u16 i = 0; i < 3; ++i)
	{
		triangle->Vertices_Standard.push_back(video::S3DVertex());
		triangle->Indices.push_back(i);
	}
	skinned->addWeight(skinned->addJoint(0))->vertex_id = 5;
	CWriter weight;
	Begin(weight);
	WriteMesh(weight, skinned, nullptr);
	End(weight);
	skinned->drop();

	// Key frames of the parting model, spoiled: a corner following a point
	// they lack (the number of points, which stands just before the
	// corners' points), a NaN in the first key frame's positions (after the
	// corners' points, from a multiple of 4 bytes).
	IrrlichtDevice* engine = createDevice(video::EDT_NULL);
	scene::IAnimatedMesh* md2 =
	    engine->getSceneManager()->getMesh(WriteFile("parting.md2", PartingMd2()).c_str());
	ASSERT_NE(nullptr, md2);
	CWriter frames;
	Begin(frames);
	WriteMesh(frames, md2, nullptr);
	End(frames);
	const scene::IMeshBuffer* buffer = md2->getMesh(0)->getMeshBuffer(0);
	const size_t points = 6 * 4 + sizeof(SMaterialData) + sizeof(SBufferData) +
	                      buffer->getVertexCount() * sizeof(video::S3DVertex) +
	                      buffer->getIndexCount() * sizeof(u16) + 3 * 4;
	const size_t positions = (points + 4 + buffer->getVertexCount() * 4 + 3) / 4 * 4;
	engine->drop();
	std::string strayCorner = frames.Bytes, nanFrame = frames.Bytes;
	std::memcpy(&strayCorner[points + 4], &strayCorner[points], 4);
	std::memcpy(&nanFrame[positions + 4], &NaN, 4);
	// A mesh whose texture is a pixel record that never came.
	CWriter noPixels;
	Begin(noPixels);
	noPixels.put(REC_MESH);
	noPixels.put(1u);
	noPixels.put(0u);
	End(noPixels);

	const std::string good = Triangle([](scene::SMeshBuffer&) {});
	const struct
	{
		const char* name;
		std::string bytes;
		bool sound;
	} rows[] = {
	    {"a sound triangle", good, true},
	    {"a sound image", Image(64, 64), true},
	    {"an index past the vertices", Triangle([](scene::SMeshBuffer& b) { b.Indices[2] = 3; }),
	     false},
	    {"a NaN vertex", Triangle([](scene::SMeshBuffer& b) { b.Vertices[1].Pos.Y = NaN; }), false},
	    {"an infinite texture coordinate, drawn as 0",
	     Triangle([](scene::SMeshBuffer& b) { b.Vertices[0].TCoords.X = INFINITY; }), true},
	    {"a NaN normal, drawn as 0",
	     Triangle([](scene::SMeshBuffer& b) { b.Vertices[2].Normal.Z = NaN; }), true},
	    {"a mesh cut short", good.substr(0, good.size() - 10), false},
	    {"an image smaller than its declared size", Image(64, 60), false},
	    {"an image whose size does not match its pixels", Image(60, 60), false},
	    {"a weight on a vertex the buffer lacks", weight.Bytes, false},
	    {"sound key frames", frames.Bytes, true},
	    {"a corner following a point the key frames lack", strayCorner, false},
	    {"a NaN in a key frame", nanFrame, false},
	    {"a texture whose pixels never came", noPixels.Bytes, false},
	    {"no data at all", "", false},
	};
	const u32 textures = editor->_driver->getTextureCount();
	for (const auto& row : rows)
		EXPECT_EQ(row.sound, accepted(row.bytes)) << row.name;
	EXPECT_EQ(textures, editor->_driver->getTextureCount()) << "nothing of it is kept";
}

TEST_F(HandOverTest, KeyframeAndSkinnedModelsAnimateAsTheEngineLoadsThem)
{
	IrrlichtDevice* engine = createDevice(video::EDT_NULL);
	for (const std::string& file :
	     {MediaFile("sydney.md2"), MediaFile("ninja.b3d"), WriteFile("parting.md2", PartingMd2())})
	{
		SCOPED_TRACE(file);
		scene::IAnimatedMesh* handed = editor->LoadMeshSafely(file.c_str());
		scene::IAnimatedMesh* own = engine->getSceneManager()->getMesh(file.c_str());
		ASSERT_TRUE(handed && own);
		EXPECT_EQ(own->getMeshType(), handed->getMeshType());
		ASSERT_EQ(own->getFrameCount(), handed->getFrameCount());
		EXPECT_EQ(own->getAnimationSpeed(), handed->getAnimationSpeed());
		// A frame next to the last one and one asked for again: the mesh
		// keeps the frame it holds, and must tell them apart.
		for (s32 frame : {0, 13, 14, static_cast<s32>(own->getFrameCount()) - 3, 13, 13})
		{
			scene::IMesh* a = own->getMesh(frame);
			scene::IMesh* b = handed->getMesh(frame);
			ASSERT_EQ(a->getMeshBufferCount(), b->getMeshBufferCount());
			for (u32 i = 0; i < a->getMeshBufferCount(); ++i)
			{
				const scene::IMeshBuffer* x = a->getMeshBuffer(i);
				const scene::IMeshBuffer* y = b->getMeshBuffer(i);
				ASSERT_EQ(x->getVertexCount(), y->getVertexCount());
				float worst = 0;
				for (u32 v = 0; v < x->getVertexCount(); ++v)
					worst = std::max(worst, x->getPosition(v).getDistanceFrom(y->getPosition(v)));
				EXPECT_LT(worst, 1e-3f) << "frame " << frame << ", buffer " << i;
			}
		}
	}
	EXPECT_EQ(0u, editor->Loader.LoaderManagers.size()) << "rebuilt from data, not loaded again";
	engine->drop();
}

TEST_F(HandOverTest, TruncatedBitmapsLoadedOneAfterAnotherLeaveTheEditorSound)
{
	// The engine's RLE decoder reads uninitialised memory on these files
	// and, in the process it runs in, damages the heap.
	const std::string bmp = ReadFile(MediaFile("terrain-heightmap.bmp"));
	ASSERT_FALSE(bmp.empty());
	for (int percent : {1, 10, 50, 90})
	{
		const std::string cut = WriteFile("cut" + std::to_string(percent) + ".bmp",
		                                  bmp.substr(0, bmp.size() * percent / 100));
		editor->LoadTerrain(cut.c_str());
		dismissMessages();
	}
	EXPECT_TRUE(editor->LoadTerrain(MediaFile("terrain-heightmap.bmp").c_str()));
	EXPECT_NE(nullptr, editor->Terrain);
}

// The helper writes into the shared memory file through a mapping that
// grows as it fills: what was written before the file grew stays, and the
// file ends where the data does.
TEST(SharedWriterTest, DataLargerThanTheFirstMappingArrivesWhole)
{
	const int fd = memfd_create("writer-test", MFD_CLOEXEC);
	const std::string block(1 << 20, 'x');
	{
		CWriter out(fd);
		for (uint32_t i = 0; i < 40; ++i)
		{
			out.put(i);
			out.raw(block.data(), block.size());
		}
		out.cut(out.size() - 2);
		ASSERT_TRUE(out.finish());
	}
	const size_t size = 40 * (4 + block.size()) - 2;
	ASSERT_EQ(static_cast<off_t>(size), lseek(fd, 0, SEEK_END));
	const char* map = static_cast<const char*>(mmap(0, size, PROT_READ, MAP_SHARED, fd, 0));
	ASSERT_NE(MAP_FAILED, map);
	for (uint32_t i = 0; i < 40; ++i)
	{
		uint32_t number = 0;
		std::memcpy(&number, map + i * (4 + block.size()), 4);
		EXPECT_EQ(i, number) << "block " << i;
	}
	EXPECT_EQ('x', map[size - 1]);
	munmap(const_cast<char*>(map), size);
	close(fd);
}
