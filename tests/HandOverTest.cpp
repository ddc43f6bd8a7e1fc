// The helper loads a file once and hands the editor plain data: what the
// editor builds from it behaves as the engine's own load, and data that is
// out of bounds or not a number is refused with nothing of it kept.
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
		buffer->Vertices.push_back(video::S3DVertex(i, i * 2.0f, 0, 0, 1, 0,
		                                            video::SColor(255, 255, 255, 255), 0, 1));
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
	skinned->addMeshBuffer()->Vertices_Standard.push_back(video::S3DVertex());
	skinned->addWeight(skinned->addJoint(0))->vertex_id = 5;
	CWriter weight;
	Begin(weight);
	WriteMesh(weight, skinned, nullptr);
	End(weight);
	skinned->drop();

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
	    {"a NaN vertex", Triangle([](scene::SMeshBuffer& b) { b.Vertices[1].Pos.Y = NaN; }),
	     false},
	    {"an infinite texture coordinate",
	     Triangle([](scene::SMeshBuffer& b) { b.Vertices[0].TCoords.X = INFINITY; }), false},
	    {"a NaN normal", Triangle([](scene::SMeshBuffer& b) { b.Vertices[2].Normal.Z = NaN; }),
	     false},
	    {"a mesh cut short", good.substr(0, good.size() - 10), false},
	    {"an image smaller than its declared size", Image(64, 60), false},
	    {"an image whose size does not match its pixels", Image(60, 60), false},
	    {"a weight on a vertex the buffer lacks", weight.Bytes, false},
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
	for (const char* name : {"sydney.md2", "ninja.b3d"})
	{
		SCOPED_TRACE(name);
		const std::string file = MediaFile(name);
		scene::IAnimatedMesh* handed = editor->LoadMeshSafely(file.c_str());
		scene::IAnimatedMesh* own = engine->getSceneManager()->getMesh(file.c_str());
		ASSERT_TRUE(handed && own);
		EXPECT_EQ(own->getMeshType(), handed->getMeshType());
		ASSERT_EQ(own->getFrameCount(), handed->getFrameCount());
		EXPECT_EQ(own->getAnimationSpeed(), handed->getAnimationSpeed());
		for (s32 frame : {0, 13, static_cast<s32>(own->getFrameCount()) - 3})
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
	EXPECT_EQ(0u, editor->LoaderManagers.size()) << "rebuilt from data, not loaded again";
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
