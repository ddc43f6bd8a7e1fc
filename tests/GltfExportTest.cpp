// "File", "Export glTF": the scene written as one .glb file and read back
// by a second reader (assimp), which must find every object by its name at
// its place with its vertices and triangles; what a glTF file cannot hold
// is left out and named.
#include "EditorTestSupport.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <map>

#include "EditorIds.h"
#include "FileNames.h"
#include "GltfExport.h"

namespace
{
// What a node of the file holds, in glTF's coordinates.
struct SNodeRead
{
	u32 Vertices = 0, Triangles = 0;
	core::aabbox3df Box;
	core::vector3df Position;

	void add(const core::vector3df& point)
	{
		if (Vertices == 1)
			Box.reset(point);
		else
			Box.addInternalPoint(point);
	}
};

core::vector3df Mirrored(const core::vector3df& v)
{
	return core::vector3df(v.X, v.Y, -v.Z);
}

void ReadNodes(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent,
               std::map<std::string, SNodeRead>& nodes)
{
	const aiMatrix4x4 world = parent * node.mTransformation;
	if (node.mNumMeshes)
	{
		SNodeRead& read = nodes[node.mName.C_Str()];
		read.Position = core::vector3df(world.a4, world.b4, world.c4);
		for (unsigned m = 0; m < node.mNumMeshes; ++m)
		{
			const aiMesh& mesh = *scene.mMeshes[node.mMeshes[m]];
			read.Triangles += mesh.mNumFaces;
			for (unsigned v = 0; v < mesh.mNumVertices; ++v)
			{
				const aiVector3D p = world * mesh.mVertices[v];
				++read.Vertices;
				read.add(core::vector3df(p.x, p.y, p.z));
			}
		}
	}
	for (unsigned c = 0; c < node.mNumChildren; ++c)
		ReadNodes(scene, *node.mChildren[c], world, nodes);
}

// The same figures from the engine's own buffers, as the view draws them.
SNodeRead Drawn(const scene::IMesh* mesh, const core::matrix4& world)
{
	SNodeRead drawn;
	for (u32 b = 0; b < mesh->getMeshBufferCount(); ++b)
	{
		const scene::IMeshBuffer* buffer = mesh->getMeshBuffer(b);
		drawn.Triangles += buffer->getIndexCount() / 3;
		for (u32 v = 0; v < buffer->getVertexCount(); ++v)
		{
			core::vector3df p = buffer->getPosition(v);
			world.transformVect(p);
			++drawn.Vertices;
			drawn.add(Mirrored(p));
		}
	}
	drawn.Position = Mirrored(world.getTranslation());
	return drawn;
}

SNodeRead Drawn(CModel* model)
{
	model->AnimatedNode->updateAbsolutePosition();
	return Drawn(model->AnimatedNode->getMesh()->getMesh(0),
	             model->AnimatedNode->getAbsoluteTransformation());
}
} // namespace

class GltfExportTest : public EditorTest
{
protected:
	// Exports through the menu and the window's "Ok" into the scratch
	// folder; the answer in the message box.
	std::wstring exportThroughMenu(const std::string& file)
	{
		EXPECT_TRUE(chooseMenu(ID_MENU_EXPORT_GLTF));
		EXPECT_TRUE(editor->GltfExport.Window->isVisible());
		editor->GltfExport.FileBox->setText(core::stringw(file.c_str()).c_str());
		clickButton(ID_GLTF_OK);
		EXPECT_FALSE(editor->GltfExport.Window->isVisible());
		return answer();
	}

	// Reads the file with assimp; null, failing the test, when it cannot.
	const aiScene* readBack(const std::string& file)
	{
		const aiScene* scene = Reader.ReadFile(file, 0);
		EXPECT_NE(nullptr, scene) << Reader.GetErrorString();
		if (scene)
			ReadNodes(*scene, *scene->mRootNode, aiMatrix4x4(), Nodes);
		return scene;
	}

	void expectNode(const std::string& name, const SNodeRead& drawn, f32 tolerance = 0.01f)
	{
		SCOPED_TRACE(name);
		ASSERT_EQ(1u, Nodes.count(name));
		const SNodeRead& read = Nodes[name];
		EXPECT_EQ(drawn.Vertices, read.Vertices);
		EXPECT_EQ(drawn.Triangles, read.Triangles);
		EXPECT_VEC_NEAR(drawn.Position, read.Position, tolerance);
		EXPECT_VEC_NEAR(drawn.Box.MinEdge, read.Box.MinEdge, tolerance);
		EXPECT_VEC_NEAR(drawn.Box.MaxEdge, read.Box.MaxEdge, tolerance);
	}

	void addSkyBox() { ASSERT_TRUE(LoadSampleSkyBox(editor)); }

	Assimp::Importer Reader;
	std::map<std::string, SNodeRead> Nodes;
};

TEST_F(GltfExportTest, ModelsAndTerrainComeBackWhereTheyStandAndTheSkyBoxIsNamed)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	CModel* crate = editor->SelectedModel;
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(100, 20, -300),
	                                         core::vector3df(0, 45, 0), core::vector3df(2, 1, 1)));
	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	CModel* sydney = editor->SelectedModel;
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(-50, 0, 250),
	                                         core::vector3df(10, 0, 30), core::vector3df(1, 1, 1)));
	ASSERT_TRUE(editor->LoadTerrain("samples/valley.png"));
	ASSERT_TRUE(editor->LoadTerrainTexture("samples/crate.jpg"));
	addSkyBox();
	dismissMessages();

	const std::string file = ScratchDir() + "/scene.glb";
	EXPECT_EQ(L"Export glTF: Wrote scene.glb: 3 meshes. Left out: the sky box.",
	          exportThroughMenu(file));

	const aiScene* scene = readBack(file);
	ASSERT_NE(nullptr, scene);
	EXPECT_EQ(3u, Nodes.size());
	expectNode("crate.obj", Drawn(crate));
	expectNode("sydney.md2", Drawn(sydney));
	// The terrain as drawn at full detail: 257 x 257 heights.
	SNodeRead terrain;
	terrain.Vertices = 257 * 257;
	terrain.Triangles = 256 * 256 * 2;
	const core::aabbox3df box = editor->Terrain->getBoundingBox();
	terrain.Box = core::aabbox3df(Mirrored(box.MinEdge), Mirrored(box.MaxEdge));
	terrain.Box.repair();
	expectNode("valley.png", terrain, 0.5f);

	// Both JPEG files travel as they are, each once: the crate's and the
	// terrain's are the same file.
	ASSERT_EQ(1u, scene->mNumTextures);
	const aiTexture& texture = *scene->mTextures[0];
	EXPECT_EQ(0u, texture.mHeight);
	EXPECT_EQ(ReadFile("samples/crate.jpg"),
	          std::string(reinterpret_cast<const char*>(texture.pcData), texture.mWidth));
}

TEST_F(GltfExportTest, PlaneAndWaterGoInParticlesAreNamedAndAFailedWriteSaysSo)
{
	ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
	ASSERT_TRUE(editor->CreateNewWater());
	editor->Water->setPosition(core::vector3df(-5, 2.5f, 60));
	ASSERT_TRUE(editor->SetParticlePreset("Fire"));
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	dismissMessages();
	// Hidden, the water is written all the same, marked.
	editor->Execute(
	    commands::EditObject(WATER_SLOT, [](SModelState& record) { record.Visible = false; }));

	const std::string file = ScratchDir() + "/world.glb";
	// The null driver keeps no pixels: a texture that is no PNG or JPEG file
	// cannot be encoded, and says so.
	EXPECT_EQ(L"Export glTF: Wrote world.glb: 2 meshes (1 hidden, marked as not visible). Left "
	          L"out: fire particles, the texture ground.bmp.",
	          exportThroughMenu(file));
	const aiScene* scene = readBack(file);
	ASSERT_NE(nullptr, scene);
	EXPECT_EQ(2u, Nodes.size());
	for (const char* name : {"water", "ground.obj"})
	{
		const aiNode* node = scene->mRootNode->FindNode(name);
		ASSERT_NE(nullptr, node) << name;
		bool visible = true;
		const bool marked = node->mMetaData && node->mMetaData->Get("visible", visible);
		EXPECT_EQ(std::string(name) == "water", marked && !visible) << name;
	}
	// The plane is flattened onto y = 0 and spread eight times.
	scene::IAnimatedMeshSceneNode* plane =
	    static_cast<scene::IAnimatedMeshSceneNode*>(editor->LevelPlane);
	plane->updateAbsolutePosition();
	expectNode("ground.obj",
	           Drawn(plane->getMesh()->getMesh(0), plane->getAbsoluteTransformation()));
	EXPECT_EQ(0, Nodes["ground.obj"].Box.MaxEdge.Y);
	editor->Water->Node->updateAbsolutePosition();
	expectNode("water", Drawn(static_cast<scene::IMeshSceneNode*>(editor->Water->Node)->getMesh(),
	                          editor->Water->Node->getAbsoluteTransformation()));

	// A folder that is not there: nothing is written and the box says why.
	const std::string missing = ScratchDir() + "/no-such-folder/world.glb";
	const std::wstring failed = exportThroughMenu(missing);
	EXPECT_EQ(0u, failed.find(L"Export glTF Error: Saving failed: could not write")) << failed;
	EXPECT_EQ("", ReadFile(missing));
}

TEST_F(GltfExportTest, TheFieldStartsBesideTheSceneFileAndDotsChooseItsFolderOrFile)
{
	const std::string dir = ScratchDir();
	ASSERT_TRUE(chooseMenu(ID_MENU_EXPORT_GLTF));
	EXPECT_EQ(core::stringw((WorkingDirectory() + "/scene.glb").c_str()),
	          editor->GltfExport.FileBox->getText());
	clickButton(ID_GLTF_CANCEL);
	ASSERT_TRUE(editor->SaveScene((dir + "/level.irr").c_str()));
	ASSERT_TRUE(chooseMenu(ID_MENU_EXPORT_GLTF));
	EXPECT_EQ(core::stringw((dir + "/level.glb").c_str()), editor->GltfExport.FileBox->getText());

	// A folder keeps the name typed; a .glb file chosen is taken whole.
	ASSERT_EQ(0, std::system(("mkdir -p '" + dir + "/out' && : > '" + dir + "/old.glb'").c_str()));
	clickButton(ID_GLTF_BROWSE);
	ASSERT_NE(nullptr, openDialog());
	EXPECT_STREQ(L"Choose a Folder for the glTF File", openDialog()->getText());
	typeDialogFolder(dir + "/out");
	ASSERT_TRUE(clickDialogButton(L"OK"));
	EXPECT_EQ(core::stringw((dir + "/out/level.glb").c_str()),
	          editor->GltfExport.FileBox->getText());
	clickButton(ID_GLTF_BROWSE);
	ASSERT_TRUE(chooseFile(dir + "/old.glb"));
	EXPECT_EQ(core::stringw((dir + "/old.glb").c_str()), editor->GltfExport.FileBox->getText());
	EXPECT_TRUE(editor->GltfExport.Window->isVisible());
}

TEST_F(GltfExportTest, NamesOfAnyBytesAreWrittenAsUtf8AndAnObjectWithoutTrianglesIsNamed)
{
	scene::IMesh* cube = editor->_smgr->getGeometryCreator()->createCubeMesh();
	scene::SMesh empty;
	empty.addMeshBuffer(new scene::SMeshBuffer());
	empty.getMeshBuffer(0)->drop();
	std::vector<gltf::SObject> objects(3);
	const char* const names[] = {"caf\xe9.obj", "K\xc3\xb6nig.obj", "nothing.obj"};
	for (int i = 0; i < 3; ++i)
	{
		objects[i].Name = names[i];
		objects[i].Mesh = i < 2 ? cube : &empty;
	}
	std::string bytes;
	gltf::SResult result;
	ASSERT_TRUE(
	    gltf::WriteGlb(objects, editor->_driver, editor->_device->getFileSystem(), bytes, result));
	cube->drop();
	EXPECT_EQ(2, result.Meshes);
	EXPECT_EQ(std::vector<std::string>{"nothing.obj"}, result.Empty);
	ASSERT_NE(nullptr, readBack(WriteFile("names.glb", bytes)));
	EXPECT_EQ(1u, Nodes.count("caf?.obj"));
	EXPECT_EQ(1u, Nodes.count("K\xc3\xb6nig.obj"));
	EXPECT_EQ(2u, Nodes.size());
}
