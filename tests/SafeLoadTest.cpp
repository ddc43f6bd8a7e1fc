// Files that crash or hang the engine's loaders are tried in a separate
// process first and answered like any file the engine cannot load.
#include "EditorTestSupport.h"

#include <functional>

#include "EditorIds.h"

#include "EditorIds.h"
#include "HalfLifeCheck.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const std::string Corpus = "/usr/share/assimp/models/invalid/";
}

TEST(LoadCheck, TellsLoadingFailingCrashingAndHangingApart)
{
	// Files that end get all the time a slow machine needs; only the file
	// that never ends is given a short limit.
	CLoadChecker checker;
	checker.BaseSeconds = NEVER_TIMES_OUT;
	EXPECT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_MESH, MediaFile("sydney.md2")));
	EXPECT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_TEXTURE, MediaFile("wall.jpg")));
	EXPECT_EQ(LOADCHECK_FAILS, checker.check(LOADKIND_MESH, Corpus + "empty.obj"));
	EXPECT_EQ(LOADCHECK_FAILS, checker.check(LOADKIND_TEXTURE, MediaFile("sydney.md2")));
	EXPECT_EQ(LOADCHECK_CRASHED, checker.check(LOADKIND_MESH, Corpus + "malformed.obj"));
	checker.BaseSeconds = 1.0;
	EXPECT_EQ(LOADCHECK_TIMED_OUT, checker.check(LOADKIND_MESH, HangingMeshFile()));
	checker.BaseSeconds = NEVER_TIMES_OUT;
	EXPECT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_MESH, MediaFile("sydney.md2")))
	    << "the helper goes on serving after a crash and a hang";

	CLoadChecker missing;
	missing.Helper = "/nonexistent/helper";
	EXPECT_EQ(LOADCHECK_UNAVAILABLE, missing.check(LOADKIND_MESH, MediaFile("sydney.md2")));
}

// The helper server's process, a child of this one.
pid_t HelperServer()
{
	for (const auto& entry : std::filesystem::directory_iterator("/proc"))
	{
		std::ifstream stat(entry.path() / "stat");
		std::string pid, name, state;
		pid_t parent = 0;
		if (stat >> pid >> name >> state >> parent && parent == getpid() &&
		    name == "(tolvane_load_ch)")
			return std::stoi(pid);
	}
	return 0;
}

TEST(LoadCheck, AnswersEvenWhenTheHelperServerDied)
{
	CLoadChecker checker;
	ASSERT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_MESH, MediaFile("sydney.md2")));
	const pid_t server = HelperServer();
	ASSERT_GT(server, 0);
	kill(server, SIGKILL);
	EXPECT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_MESH, MediaFile("sydney.md2")))
	    << "a helper process answers for the dead server";
	EXPECT_EQ(LOADCHECK_CRASHED, checker.check(LOADKIND_MESH, Corpus + "malformed.obj"))
	    << "and a new server is started";
	EXPECT_NE(0, HelperServer());
}

TEST(LoadCheck, AllowsLargeFilesMoreTime)
{
	CLoadChecker checker;
	EXPECT_DOUBLE_EQ(LOAD_CHECK_BASE_SECONDS, checker.timeLimit(0));
	EXPECT_DOUBLE_EQ(LOAD_CHECK_BASE_SECONDS + 2 * LOAD_CHECK_SECONDS_PER_MB,
	                 checker.timeLimit(2 * 1024 * 1024));
	EXPECT_GE(LOAD_CHECK_BASE_SECONDS, 10.0);
}

class SafeLoadTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		editor->LoadChecker.BaseSeconds = NEVER_TIMES_OUT;
		ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
		ASSERT_TRUE(editor->LoadModelSkin(MediaFile("wall.jpg").c_str()));
		dismissMessages();
		model = editor->SelectedModel;
		nodes = CountNodes(editor->_smgr, scene::ESNT_ANIMATED_MESH);
	}

	// The editor still runs and its scene is as it was.
	void expectSceneIntact()
	{
		EXPECT_TRUE(editor->Update());
		EXPECT_EQ(nodes, CountNodes(editor->_smgr, scene::ESNT_ANIMATED_MESH));
		EXPECT_EQ(model, editor->SelectedModel);
		ASSERT_NE(nullptr, model->AnimatedNode);
		EXPECT_NE(nullptr, model->AnimatedNode->getMaterial(0).getTexture(0));
	}

	CModel* model = nullptr;
	int nodes = 0;
};

TEST_F(SafeLoadTest, AMeshThatCrashesTheLoaderIsAWrongFile)
{
	EXPECT_FALSE(editor->CreateNewModel((Corpus + "malformed.obj").c_str()));
	EXPECT_FALSE(editor->CreateNewModel((Corpus + "malformed2.obj").c_str()));
	const std::vector<Message> shown = messages();
	ASSERT_EQ(2u, shown.size());
	for (const Message& m : shown)
	{
		EXPECT_EQ(L"Load Model Error!", m.caption);
		EXPECT_EQ(L"Wrong file format or corrupted file.", m.text);
	}
	expectSceneIntact();
	EXPECT_EQ(1, editor->current_model) << "a refused Add uses up no slot";
}

TEST_F(SafeLoadTest, AMeshWithNoTrianglesIsRefusedAndARefusedAddChangesNothing)
{
	const std::string models = "/usr/share/assimp/models/";
	// The engine's B3D loader reads a file whose triangle chunks are
	// damaged as a mesh of none.
	std::string b3d = ReadFile(MediaFile("ninja.b3d"));
	for (size_t at = 0; (at = b3d.find("TRIS", at)) != std::string::npos;)
		b3d[at++] = 'X';
	const std::wstring none = L"The file holds no triangles to draw.";
	const struct
	{
		std::string file;
		std::wstring answer; // empty: it loads
	} rows[] = {
	    {models + "3DS/fels.3ds", none},
	    {models + "glTF2/glTF-Asset-Generator/Mesh_PrimitiveMode/Mesh_PrimitiveMode_00.gltf",
	     none}, // points only
	    {models + "LWO/LWO2/Subdivision.lwo", none},
	    {models + "MDL/MDL (HL1)/manT.mdl", none},
	    {models + "PLY/pond.0.ply", none}, // a point cloud
	    {WriteFile("damaged.b3d", b3d), none},
	    {Corpus + "malformed.obj", L"Wrong file format or corrupted file."},
	    {models + "IRRMesh/cellar.irrmesh", L""}, // wrap modes the loader could not read
	    {models + "IRRMesh/spider.irrmesh", L""},
	    {models + "Collada/cube_tristrips.dae", L""}, // strips the engine's own loader missed
	};
	frame();
	editor->Document.MarkSaved();
	for (const auto& row : rows)
	{
		SCOPED_TRACE(row.file);
		const int counter = editor->current_model;
		const unsigned long long version = editor->Document.Version;
		EXPECT_EQ(row.answer.empty(), editor->CreateNewModel(row.file.c_str()));
		if (row.answer.empty())
		{
			EXPECT_EQ(L"0 message boxes", answer());
			continue;
		}
		EXPECT_EQ(L"Load Model Error!: " + row.answer, answer());
		EXPECT_FALSE(editor->LoadLevelPlane(row.file.c_str()));
		EXPECT_EQ(L"Load Model Error!: " + row.answer, answer()) << "as the ground plane";
		frame();
		EXPECT_EQ(counter, editor->current_model);
		EXPECT_EQ(version, editor->Document.Version) << "the document did not change";
		EXPECT_FALSE(editor->HasUnsavedChanges());
		EXPECT_EQ(nullptr, editor->LevelPlane);
		expectSceneIntact();
	}

	// An image over the size limit is refused by its size.
	video::IImage* wide = editor->_driver->createImage(video::ECF_R8G8B8, {16385, 2});
	const std::string image = ScratchDir() + "/wide.png";
	ASSERT_TRUE(editor->_driver->writeImageToFile(wide, image.c_str()));
	wide->drop();
	EXPECT_FALSE(editor->LoadModelSkin(image.c_str()));
	EXPECT_EQ(L"Load Skin Error!: The image is 16385 x 2 pixels; the editor takes images of up to "
	          L"16384 pixels a side.",
	          answer());
}

TEST_F(SafeLoadTest, AMeshThatHangsTheLoaderIsStoppedAndSaysSo)
{
	const std::string file = HangingMeshFile();
	editor->LoadChecker.BaseSeconds = 1.0;
	EXPECT_FALSE(editor->CreateNewModel(file.c_str()));
	EXPECT_EQ(L"Load Model Error!: Loading " + std::wstring(file.begin(), file.end()) +
	              L" took longer than 1 s and was stopped.",
	          answer());
	expectSceneIntact();
}

TEST_F(SafeLoadTest, WhatIsNotARegularFileIsRefusedAtOnce)
{
	const std::string fifo = ScratchDir() + "/pipe.obj";
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	for (const std::string& file : {fifo, ScratchDir()})
	{
		SCOPED_TRACE(file);
		EXPECT_FALSE(editor->CreateNewModel(file.c_str()));
		EXPECT_FALSE(editor->LoadModelSkin(file.c_str()));
		EXPECT_EQ(LOADCHECK_NOT_A_FILE, editor->LoadChecker.LastResult) << "never tried";
		const std::wstring name(file.begin(), file.end());
		const std::vector<Message> shown = messages();
		ASSERT_EQ(2u, shown.size());
		EXPECT_EQ(name + L" is not a regular file.", shown[0].text);
		EXPECT_EQ(name + L" is not a regular file.", shown[1].text);
		dismissMessages();
	}
	expectSceneIntact();
}

TEST_F(SafeLoadTest, AFileThatTakesLongShowsLoadingAndCanBeCancelled)
{
	editor->LoadChecker.BaseSeconds = 60.0; // only a cancel ends these trials
	const std::function<bool()> editorWaiting = editor->LoadChecker.Waiting;
	for (bool byKey : {false, true})
	{
		SCOPED_TRACE(byKey ? "Escape" : "Cancel");
		int calls = 0;
		std::wstring caption;
		editor->LoadChecker.Waiting = [&]
		{
			const bool goOn = editorWaiting();
			gui::IGUIElement* window = FindElement(editor->_gui->getRootGUIElement(),
			                                       gui::EGUIET_WINDOW, ID_LOADING_WINDOW);
			if (++calls == 3 && window)
			{
				caption = window->getText();
				pressKey(KEY_KEY_C, L'c'); // nothing else reacts meanwhile
				if (byKey)
					pressKey(KEY_ESCAPE);
				else
					click(FindElement(window, gui::EGUIET_BUTTON, ID_LOADING_CANCEL));
			}
			return goOn;
		};
		EXPECT_FALSE(editor->CreateNewModel(HangingMeshFile().c_str()));
		EXPECT_EQ(LOADCHECK_CANCELLED, editor->LoadChecker.LastResult) << "not the time limit";
		const std::string file = HangingMeshFile();
		const std::string name = file.substr(file.rfind('/') + 1);
		EXPECT_EQ(L"Loading " + std::wstring(name.begin(), name.end()) + L"...", caption)
		    << "a loading window names the file";
		EXPECT_EQ(L"Load Model Error!: Wrong file format or corrupted file.", answer());
		EXPECT_TRUE(editor->CameraMode);
		EXPECT_EQ(nullptr, FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_WINDOW,
		                               ID_LOADING_WINDOW));
		expectSceneIntact();
	}
}

TEST_F(SafeLoadTest, MeshFilesChosenAsTexturesKeepTheLayer)
{
	editor->LoadChecker.BaseSeconds = 1.0;
	EXPECT_FALSE(editor->LoadModelSkin(HangingMeshFile().c_str()));
	EXPECT_FALSE(editor->LoadModelSkin2((Corpus + "malformed.obj").c_str()));
	ASSERT_EQ(2u, messages().size());
	EXPECT_EQ(L"Load Skin Error!", messages()[0].caption);
	expectSceneIntact();
}

TEST_F(SafeLoadTest, AHalfLifeModelWithStubCompanionsIsAWrongFile)
{
	const std::string models = "/usr/share/assimp/models/MDL/MDL (HL1)/";
	// man01.mdl, its sequence group, is a bare 76-byte header.
	EXPECT_FALSE(editor->CreateNewModel((models + "man.mdl").c_str()));
	EXPECT_EQ(L"Load Model Error!: Wrong file format or corrupted file.", answer());
	expectSceneIntact();
	EXPECT_TRUE(editor->CreateNewModel((models + "chrome_sphere.mdl").c_str()));
	EXPECT_EQ(L"0 message boxes", answer());
}

namespace
{
// A Half-Life model header with one sequence in group `group`, whose
// animation table (2 bones, one blend: 24 bytes) starts at `animIndex`.
std::string HalfLifeModel(int32_t groups, int32_t group, int32_t animIndex, int32_t textures = 1)
{
	const int32_t sequenceTable = 244, groupTable = sequenceTable + 176;
	std::string bytes(groupTable + groups * 104 + 64, '\0');
	auto put = [&bytes](size_t offset, int32_t value) { std::memcpy(&bytes[offset], &value, 4); };
	std::memcpy(&bytes[0], "IDST", 4);
	put(140, 2); // bones
	put(164, 1); // sequences
	put(168, sequenceTable);
	put(172, groups);
	put(176, groupTable);
	put(180, textures);
	put(sequenceTable + 120, 1); // blends
	put(sequenceTable + 124, animIndex);
	put(sequenceTable + 156, group);
	put(groupTable + 100, groupTable + groups * 104); // group 0's data
	return bytes;
}
} // namespace

TEST(HalfLifeCheck, CompanionsMustHoldWhatTheModelReadsFromThem)
{
	IrrlichtDevice* device = createDevice(video::EDT_NULL);
	io::IFileSystem* files = device->getFileSystem();
	auto model = [files](const std::string& name, const std::string& bytes)
	{ return HalfLifeCompanionsComplete(files, WriteFile(name, bytes).c_str()); };

	EXPECT_TRUE(model("own.mdl", HalfLifeModel(1, 0, 0))) << "animations in the model itself";
	EXPECT_FALSE(model("past.mdl", HalfLifeModel(1, 0, 64))) << "group 0 table past the end";
	EXPECT_FALSE(model("nogroup.mdl", HalfLifeModel(1, 1, 0))) << "a group the model lacks";
	EXPECT_FALSE(model("lone.mdl", HalfLifeModel(2, 1, 0))) << "companion missing";
	WriteFile("stub01.mdl", std::string(92, 'x'));
	EXPECT_FALSE(model("stub.mdl", HalfLifeModel(2, 1, 0))) << "companion shorter than a header";
	WriteFile("full01.mdl", std::string(300, 'x'));
	EXPECT_TRUE(model("full.mdl", HalfLifeModel(2, 1, 276)));
	EXPECT_FALSE(model("full.mdl", HalfLifeModel(2, 1, 277))) << "table runs past the companion";
	EXPECT_FALSE(model("many.mdl", HalfLifeModel(40, 0, 0))) << "more groups than the loader holds";
	EXPECT_FALSE(model("notex.mdl", HalfLifeModel(1, 0, 0, 0))) << "texture companion missing";
	WriteFile("notexT.mdl", std::string(244, 'x'));
	EXPECT_TRUE(model("notex.mdl", HalfLifeModel(1, 0, 0, 0)));
	EXPECT_FALSE(model("short.mdl", "IDST")) << "shorter than its header";
	EXPECT_TRUE(model("quake.mdl", "IDPO")) << "another kind of .mdl is the engine's to judge";
	EXPECT_TRUE(model("other.obj", HalfLifeModel(2, 1, 0))) << "only .mdl files";
	device->drop();
}
