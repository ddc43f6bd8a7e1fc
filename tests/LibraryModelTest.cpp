// glTF, FBX and Collada models, read in the helper by the Open Asset Import
// Library and handed over as plain data: drawn with their textures, kept by
// their own names in scenes, and refused with a message when damaged.
#include "EditorTestSupport.h"

#include <cstring>
#include <filesystem>

#include "FileNames.h"

namespace
{
// A square of side 1 in the xy plane, two triangles, textured with
// wall.jpg (512 x 512): inside the file (.glb) or beside it (.gltf).
std::string SquareBuffer()
{
	const float positions[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
	const float uvs[] = {0, 1, 1, 1, 1, 0, 0, 0};
	const uint16_t indices[] = {0, 1, 2, 0, 2, 3, 0, 0}; // two to pad to 4 bytes
	std::string bytes;
	bytes.append(reinterpret_cast<const char*>(positions), sizeof positions);
	bytes.append(reinterpret_cast<const char*>(uvs), sizeof uvs);
	bytes.append(reinterpret_cast<const char*>(indices), sizeof indices);
	return bytes;
}

std::string SquareJson(const std::string& image, const std::string& extraView,
                       const std::string& buffer)
{
	return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0,"TEXCOORD_0":1},"indices":2,"material":0}]}],
"materials":[{"pbrMetallicRoughness":{"baseColorTexture":{"index":0}}}],
"textures":[{"source":0}],"images":[)" +
	       image + R"(],
"accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},
{"bufferView":1,"componentType":5126,"count":4,"type":"VEC2"},
{"bufferView":2,"componentType":5123,"count":6,"type":"SCALAR"}],
"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":48},{"buffer":0,"byteOffset":48,"byteLength":32},
{"buffer":0,"byteOffset":80,"byteLength":12})" +
	       extraView + "],\"buffers\":[" + buffer + "]}";
}

void PutChunk(std::string& glb, std::string data, const char* type, char pad)
{
	data.resize((data.size() + 3) / 4 * 4, pad);
	const uint32_t length = data.size();
	glb.append(reinterpret_cast<const char*>(&length), 4);
	glb.append(type, 4);
	glb += data;
}

std::string SquareGlb()
{
	const std::string image = ReadFile(MediaFile("wall.jpg"));
	const std::string bin = SquareBuffer() + image;
	const std::string json = SquareJson(
	    R"({"bufferView":3,"mimeType":"image/jpeg"})",
	    ",{\"buffer\":0,\"byteOffset\":96,\"byteLength\":" + std::to_string(image.size()) + "}",
	    "{\"byteLength\":" + std::to_string(bin.size()) + "}");
	std::string glb("glTF\2\0\0\0\0\0\0\0", 12);
	PutChunk(glb, json, "JSON", ' ');
	PutChunk(glb, bin, "BIN\0", '\0');
	const uint32_t total = glb.size();
	std::memcpy(&glb[8], &total, 4);
	return glb;
}

std::string WriteSquareGltf()
{
	WriteFile("square.bin", SquareBuffer());
	WriteFile("wall.jpg", ReadFile(MediaFile("wall.jpg")));
	return WriteFile("square.gltf", SquareJson(R"({"uri":"wall.jpg"})", "",
	                                           R"({"byteLength":96,"uri":"square.bin"})"));
}
} // namespace

class LibraryModelTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		editor->LoadChecker.BaseSeconds = NEVER_TIMES_OUT;
	}
};

TEST_F(LibraryModelTest, AGltfModelIsDrawnWithItsTextureAndKeepsItsName)
{
	for (const std::string& file : {WriteFile("square.glb", SquareGlb()), WriteSquareGltf()})
	{
		ASSERT_TRUE(editor->CreateNewModel(file.c_str())) << file;
		EXPECT_TRUE(messages().empty()) << file;
		scene::IAnimatedMeshSceneNode* node = editor->SelectedModel->AnimatedNode;
		ASSERT_EQ(1u, node->getMesh()->getMeshBufferCount()) << file;
		const scene::IMeshBuffer* buffer = node->getMesh()->getMeshBuffer(0);
		EXPECT_EQ(4u, buffer->getVertexCount()) << file;
		EXPECT_EQ(6u, buffer->getIndexCount()) << file;
		// Mirrored in x as the engine's own loaders mirror a right-handed
		// model, its texture's origin at the top left as in the file.
		EXPECT_VEC_NEAR(core::vector3df(-1, 0, 0), buffer->getBoundingBox().MinEdge, 1e-6f);
		EXPECT_EQ(core::vector2df(0, 1), buffer->getTCoords(0)) << file;
		const video::ITexture* texture = buffer->getMaterial().getTexture(0);
		ASSERT_NE(nullptr, texture) << file;
		// The null driver's textures have no size: known by their names.
		const std::string name = texture->getName().getPath().c_str();
		EXPECT_TRUE(name == file + "#0.jpg" || name == ScratchDir() + "/wall.jpg") << name;
		EXPECT_EQ(FileNameToWide(file), editor->SelectedModel->FileName.c_str());
	}

	// A scene that names them opens them again through the helper, by name.
	const std::string scene = ScratchDir() + "/gltf.irr";
	ASSERT_TRUE(editor->SaveScene(scene.c_str()));
	editor->ClearScene();
	ASSERT_TRUE(editor->OpenScene(scene.c_str()));
	dismissMessages();
	int square = 0;
	for (int i = 1; i < CSceneEditor::MODEL_SLOTS; ++i)
		if (const SModelState* record = editor->Document.Object(i))
			square +=
			    std::wstring(record->FileName.c_str()).find(L"square.gl") != std::wstring::npos;
	EXPECT_EQ(2, square);

	// A game's engine cannot load them, and "Save C++" says so.
	editor->sow_editboxDir->setText(FileNameToWide(ScratchDir() + "/").c_str());
	ASSERT_TRUE(editor->SaveLevel());
	EXPECT_NE(std::wstring::npos, answer().find(L"A game's bare engine cannot load "));
}

TEST_F(LibraryModelTest, ASkinnedGltfModelComesWithItsJointsAndAnimation)
{
	const std::string file = "/usr/share/assimp/models/glTF2/simple_skin/simple_skin.gltf";
	ASSERT_TRUE(editor->CreateNewModel(file.c_str()));
	scene::IAnimatedMesh* mesh = editor->SelectedModel->AnimatedNode->getMesh();
	ASSERT_EQ(scene::EAMT_SKINNED, mesh->getMeshType());
	EXPECT_EQ(3u, static_cast<scene::ISkinnedMesh*>(mesh)->getJointCount());
	EXPECT_EQ(5500u, mesh->getFrameCount()); // 5.5 s at the file's 1000 ticks a second
	// Its strip, 2 high, bends over at its top joint, to +x as the model
	// is mirrored.
	const core::aabbox3df bent = mesh->getMesh(1000)->getBoundingBox();
	EXPECT_NEAR(1.5f, bent.MaxEdge.Y, 0.01f);
	EXPECT_NEAR(1.0f, bent.MaxEdge.X, 0.01f);
}

// Damaged glb files and the library's own test models: the editor never
// goes down, and what does not load is answered with a message.
TEST_F(LibraryModelTest, DamagedAndForeignModelsNeverTakeTheEditorDown)
{
	const std::string glb = SquareGlb();
	std::vector<std::string> files;
	for (size_t cut :
	     {size_t(0), size_t(11), size_t(20), size_t(200), glb.size() / 2, glb.size() - 1})
		files.push_back(WriteFile("cut" + std::to_string(cut) + ".glb", glb.substr(0, cut)));
	uint32_t seed = 12345;
	for (int i = 0; i < 24; ++i)
	{
		std::string damaged = glb;
		for (int flip = 0; flip < 1 + i % 4; ++flip)
		{
			seed = seed * 1664525u + 1013904223u;
			damaged[(seed >> 8) % (i < 12 ? 1200 : damaged.size())] ^=
			    static_cast<char>(1 << (seed % 8));
		}
		files.push_back(WriteFile("flip" + std::to_string(i) + ".glb", damaged));
	}
	for (const auto& entry :
	     std::filesystem::recursive_directory_iterator("/usr/share/assimp/models"))
	{
		std::string extension = entry.path().extension().string();
		for (char& c : extension)
			c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
		if (extension == ".gltf" || extension == ".glb" || extension == ".fbx" ||
		    extension == ".dae")
			files.push_back(entry.path().string());
	}
	ASSERT_GT(files.size(), 60u);
	int loaded = 0, refused = 0;
	for (const std::string& file : files)
	{
		if (editor->CreateNewModel(file.c_str()))
		{
			++loaded;
			const CModel* model = editor->SelectedModel;
			EXPECT_GT(model->AnimatedNode->getMesh()->getMeshBufferCount(), 0u) << file;
			dismissMessages();
			editor->ClearScene();
		}
		else
		{
			++refused;
			const std::vector<Message> shown = messages();
			ASSERT_EQ(1u, shown.size()) << file;
			EXPECT_EQ(L"Load Model Error!", shown[0].caption) << file;
			EXPECT_FALSE(shown[0].text.empty()) << file;
			dismissMessages();
		}
		ASSERT_TRUE(editor->Update()) << file;
	}
	// Most of the test models load; every cut file is refused.
	EXPECT_GT(loaded, 60);
	EXPECT_GE(refused, 6);

	// What the library says of a file it refuses is the message.
	const std::string lost =
	    WriteFile("lost.gltf",
	              SquareJson(R"({"uri":"wall.jpg"})", "", R"({"byteLength":96,"uri":"gone.bin"})"));
	EXPECT_FALSE(editor->CreateNewModel(lost.c_str()));
	const std::wstring said = answer();
	EXPECT_EQ(0u, said.find(L"Load Model Error!: The model cannot be read: ")) << said;
	EXPECT_NE(std::wstring::npos, said.find(L"gone.bin")) << said;
}
