// Files that crash or hang the engine's loaders are tried in a separate
// process first and answered like any file the engine cannot load.
#include "EditorTestSupport.h"

#include "EditorIds.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
const std::string Corpus = "/usr/share/assimp/models/invalid/";
}

TEST(LoadCheck, TellsLoadingFailingCrashingAndHangingApart)
{
	CLoadChecker checker;
	checker.BaseSeconds = 2.0;
	EXPECT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_MESH, MediaFile("sydney.md2")));
	EXPECT_EQ(LOADCHECK_LOADS, checker.check(LOADKIND_TEXTURE, MediaFile("wall.jpg")));
	EXPECT_EQ(LOADCHECK_FAILS, checker.check(LOADKIND_MESH, Corpus + "empty.obj"));
	EXPECT_EQ(LOADCHECK_FAILS, checker.check(LOADKIND_TEXTURE, MediaFile("sydney.md2")));
	EXPECT_EQ(LOADCHECK_CRASHED, checker.check(LOADKIND_MESH, Corpus + "malformed.obj"));
	EXPECT_EQ(LOADCHECK_TIMED_OUT, checker.check(LOADKIND_MESH, HangingMeshFile()));
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
		editor->LoadChecker.BaseSeconds = 1.0;
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
	EXPECT_EQ(3, editor->current_model) << "each attempt used up its slot";
}

TEST_F(SafeLoadTest, AMeshThatHangsTheLoaderIsAWrongFile)
{
	EXPECT_FALSE(editor->CreateNewModel(HangingMeshFile().c_str()));
	ASSERT_EQ(1u, messages().size());
	EXPECT_EQ(L"Wrong file format or corrupted file.", messages()[0].text);
	expectSceneIntact();
}

TEST_F(SafeLoadTest, MeshFilesChosenAsTexturesKeepTheLayer)
{
	EXPECT_FALSE(editor->LoadModelSkin(HangingMeshFile().c_str()));
	EXPECT_FALSE(editor->LoadModelSkin2((Corpus + "malformed.obj").c_str()));
	ASSERT_EQ(2u, messages().size());
	EXPECT_EQ(L"Load Skin Error!", messages()[0].caption);
	expectSceneIntact();
}
