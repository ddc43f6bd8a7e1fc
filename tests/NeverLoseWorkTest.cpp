// Unsaved work is never lost: the quit question and its answers, the
// caption, the autosave into the recovery file, the offer of what an ended
// editor left, and saves that keep the file they replace.
#include "EditorTestSupport.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"

namespace
{
class NeverLoseWorkTest : public EditorTest
{
protected:
	//! The marker moves: a change of the scene, ended as one step.
	void change()
	{
		holdKeys({KEY_NUMPAD8}, 2);
		frame();
	}
	//! Clicks a button of the message box on screen.
	void answerBox(const wchar_t* button)
	{
		gui::IGUIElement* box =
		    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_MESSAGE_BOX);
		ASSERT_NE(nullptr, box);
		for (gui::IGUIElement* child : box->getChildren())
			if (child->getType() == gui::EGUIET_BUTTON && std::wstring(child->getText()) == button)
				return click(child);
		FAIL() << "no button " << core::stringc(button).c_str();
	}
	bool running() { return editor->Update(); }
	//! A fresh editor, as after a new start.
	void restart()
	{
		TearDown();
		SetUp();
	}
};

bool Exists(const std::string& path)
{
	return access(path.c_str(), F_OK) == 0;
}

// Writes `scene` as an editor that ended would leave it; the file's path.
std::string LeaveRecovery(const SSceneState& scene, const std::string& sceneFile)
{
	CRecovery ended;
	EXPECT_TRUE(ended.Start());
	ended.Keep(scene, sceneFile, true);
	EXPECT_TRUE(ended.WriteKept());
	const std::string path = ended.File();
	ended.Finish(true);
	return path;
}
} // namespace

TEST_F(NeverLoseWorkTest, QuittingAsksOnlyWhileTheSceneDiffersFromItsFile)
{
	const std::string scene = ScratchDir() + "/quit.irr";
	struct Row
	{
		const char* what;
		bool saved, changed, undone;
		const wchar_t* answer; // null: no question expected
		bool quits;
	};
	const Row rows[] = {
	    {"no change", false, false, false, nullptr, true},
	    {"a change undone", true, true, true, nullptr, true},
	    {"Cancel", true, true, false, L"Cancel", false},
	    {"No", true, true, false, L"No", true},
	    {"Yes", true, true, false, L"Yes", true},
	};
	for (const Row& row : rows)
	{
		SCOPED_TRACE(row.what);
		restart();
		if (row.saved)
		{
			ASSERT_TRUE(editor->SaveScene(scene.c_str()));
			dismissMessages();
		}
		if (row.changed)
			change();
		if (row.undone)
		{
			ASSERT_TRUE(postKey(KEY_KEY_Z, true, 0, true));
		}
		ASSERT_TRUE(editor->WriteRecovery() || !row.changed);
		const std::string before = ReadFile(scene);
		ASSERT_TRUE(chooseMenu(ID_MENU_QUIT));
		if (row.answer)
		{
			const std::vector<Message> shown = messages();
			ASSERT_EQ(1u, shown.size());
			EXPECT_EQ(L"Unsaved Changes", shown[0].caption);
			EXPECT_EQ(L"Save the changes to quit.irr before quitting?", shown[0].text);
			answerBox(row.answer);
		}
		else
			EXPECT_TRUE(messages().empty());
		EXPECT_EQ(!row.quits, running());
		// Yes saved the change; no other answer touched the file.
		EXPECT_EQ(row.answer && row.answer == std::wstring(L"Yes"), before != ReadFile(scene));
		if (row.quits)
		{
			EXPECT_FALSE(Exists(editor->RecoveryFile())) << "nothing is left to recover";
		}
	}
}

TEST_F(NeverLoseWorkTest, YesForANeverSavedSceneSavesThroughSaveSceneThenQuits)
{
	change();
	ASSERT_TRUE(chooseMenu(ID_MENU_QUIT));
	ASSERT_EQ(L"Save this scene before quitting?", messages().at(0).text);
	answerBox(L"Yes");
	gui::IGUIElement* save =
	    editor->_gui->getRootGUIElement()->getElementFromId(ID_SAVE_SCENE_WINDOW, true);
	ASSERT_TRUE(save && save->isVisible());
	const std::string scene = ScratchDir() + "/first.irr";
	save->getElementFromId(ID_SAVE_SCENE_FILE, true)->setText(FileNameToWide(scene).c_str());
	clickButton(ID_SAVE_SCENE_OK);
	EXPECT_FALSE(running());
	EXPECT_TRUE(Exists(scene));
}

TEST_F(NeverLoseWorkTest, TheCaptionNamesTheFileAndMarksUnsavedChanges)
{
	EXPECT_EQ(L"0.0.7", editor->WindowCaption());
	change();
	EXPECT_EQ(L"Untitled* - 0.0.7", editor->WindowCaption());
	ASSERT_TRUE(editor->SaveScene((ScratchDir() + "/castle.irr").c_str()));
	dismissMessages();
	frame();
	EXPECT_EQ(L"castle.irr - 0.0.7", editor->WindowCaption());
	change();
	EXPECT_EQ(L"castle.irr* - 0.0.7", editor->WindowCaption());
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_EQ(L"castle.irr - 0.0.7", editor->WindowCaption());
}

TEST_F(NeverLoseWorkTest, TheRecoveryFileIsWrittenThirtySecondsAfterAChangeAndGoesWithASave)
{
	double now = 1000;
	editor->Now = [&] { return now; };
	const std::string recovery = editor->RecoveryFile();
	EXPECT_EQ(ScratchDir() + "/state/tolvane/", recovery.substr(0, recovery.rfind('/') + 1));
	change();
	EXPECT_NEAR(30.0, editor->SecondsToAutosave(), 0.001);
	now += 29.9;
	frame();
	EXPECT_FALSE(Exists(recovery));
	now += 0.2;
	frame();
	ASSERT_TRUE(editor->WaitForAutosave());
	ASSERT_TRUE(Exists(recovery));
	SRecoveredScene kept;
	ASSERT_TRUE(CRecovery::Read(recovery, kept));
	EXPECT_TRUE(kept.State == editor->Document.State());
	EXPECT_LT(editor->SecondsToAutosave(), 0) << "nothing new to write";

	ASSERT_TRUE(editor->SaveScene((ScratchDir() + "/saved.irr").c_str()));
	frame();
	EXPECT_FALSE(Exists(recovery));
}

// Saves keep what they replace: a link stays a link, a private file stays
// private, and the export's pair is replaced together or not at all.
TEST_F(NeverLoseWorkTest, SavesKeepLinksPermissionsAndTheExportPair)
{
	const std::string real = WriteFile("real.irr", "old");
	const std::string link = ScratchDir() + "/link.irr";
	ASSERT_EQ(0, symlink("real.irr", link.c_str()));
	ASSERT_EQ(0, chmod(real.c_str(), 0600));
	ASSERT_TRUE(editor->SaveScene(link.c_str()));
	dismissMessages();
	struct stat info;
	ASSERT_EQ(0, lstat(link.c_str(), &info));
	EXPECT_TRUE(S_ISLNK(info.st_mode));
	EXPECT_NE("old", ReadFile(real));
	ASSERT_EQ(0, stat(real.c_str(), &info));
	EXPECT_EQ(0600u, info.st_mode & 07777);

	// Level.cpp cannot be replaced (a folder has its name): Level.h stays.
	const std::string dir = ScratchDir() + "/export/";
	mkdir(dir.c_str(), 0700);
	mkdir((dir + "Level.cpp").c_str(), 0700);
	WriteFile("export/Level.h", "earlier header");
	editor->sow_editboxDir->setText(FileNameToWide(dir).c_str());
	EXPECT_FALSE(editor->SaveLevel());
	EXPECT_EQ(L"Save Error", messages().at(0).caption);
	EXPECT_EQ("earlier header", ReadFile(dir + "Level.h"));
	std::vector<std::string> left;
	for (const auto& entry : std::filesystem::directory_iterator(dir))
		left.push_back(entry.path().filename());
	EXPECT_EQ(2u, left.size()) << "no temporary file is left";
}

// Left behind: one recovery file of an editor that ended, one of an editor
// that still runs.
class LeftWorkTest : public NeverLoseWorkTest
{
protected:
	void SetUp() override
	{
		setenv("XDG_STATE_HOME", (ScratchDir() + "/state").c_str(), 1);
		SRecoveredScene scene;
		scene.SceneFile = ScratchDir() + "/castle.irr";
		SModelState model;
		model.Mesh = MediaFile("sydney.md2");
		model.Type = CModel::TYPE_MESH;
		model.FileName = L"sydney.md2";
		model.Position = core::vector3df(10, 20, 30);
		scene.State.Models[4] = std::make_shared<const SModelState>(model);
		SWorldState world;
		world.CurrentModel = 4;
		scene.State.World = std::make_shared<const SWorldState>(world);
		Left = LeaveRecovery(scene.State, scene.SceneFile);
		ASSERT_TRUE(Running.Start());
		Running.Keep(scene.State, "", true);
		ASSERT_TRUE(Running.WriteKept());
		NeverLoseWorkTest::SetUp();
	}
	void TearDown() override
	{
		NeverLoseWorkTest::TearDown();
		EXPECT_TRUE(Exists(Running.File())) << "a running editor's file is never taken";
	}
	std::string Left;
	CRecovery Running;
};

TEST_F(LeftWorkTest, YesOpensTheLeftSceneWithUnsavedChangesUnderItsFileName)
{
	const std::vector<Message> shown = messages();
	ASSERT_EQ(1u, shown.size());
	EXPECT_EQ(L"Recover Unsaved Work", shown[0].caption);
	EXPECT_EQ(0u, shown[0].text.find(L"Tolvane ended without saving castle.irr at "));
	answerBox(L"Yes");
	frame();
	EXPECT_TRUE(messages().empty()) << "one question per left file";
	ASSERT_NE(nullptr, editor->Model[4]);
	EXPECT_VEC_NEAR(core::vector3df(10, 20, 30), editor->Model[4]->getPosition(), 0.001f);
	// A model kept before models had an animation of their own plays its mesh.
	EXPECT_EQ(std::vector<f32>({0, 25, 0, 791, 1}), editor->Document.Object(4)->Values);
	EXPECT_EQ(791, editor->Model[4]->AnimatedNode->getEndFrame());
	EXPECT_TRUE(editor->HasUnsavedChanges());
	EXPECT_EQ(L"castle.irr* - 0.0.7", editor->WindowCaption());
	EXPECT_FALSE(Exists(Left));
	EXPECT_TRUE(Exists(editor->RecoveryFile())) << "the work is this editor's to keep now";
}

TEST_F(LeftWorkTest, NoDeletesTheLeftFile)
{
	answerBox(L"No");
	frame();
	EXPECT_TRUE(messages().empty());
	EXPECT_FALSE(Exists(Left));
	EXPECT_EQ(nullptr, editor->Model[4]);
	EXPECT_FALSE(editor->HasUnsavedChanges());
}

namespace
{
f32& KindValueNamed(SModelState& record, const char* name)
{
	const SObjectKind& kind = *KindOf(record.Type);
	record.Values.assign(kind.DefaultValues, kind.DefaultValues + kind.ValueCount);
	for (u32 i = 0; i < kind.ValueCount; ++i)
		if (!std::strcmp(kind.ValueNames[i], name))
			return record.Values[i];
	ADD_FAILURE() << "no value " << name;
	return record.Values[0];
}
} // namespace

// Recovery files as a crash, a full disk or a hand could leave them: each is
// opened with what can be used of it or refused whole, the editor goes on
// (an "Add", a save and an open of the saved scene work), and the file or
// the work it holds is kept.
TEST_F(NeverLoseWorkTest, ForgedRecoveryFilesAreOpenedOrRefusedAndNeverLost)
{
	const f32 nan = std::numeric_limits<f32>::quiet_NaN();
	struct Row
	{
		const char* what;
		std::function<void(SWorldState&, SModelState& second)> forge;
		size_t cut;          // bytes cut off the end
		int opened;          // objects opened; -1: refused
		const wchar_t* told; // in the message
	};
	const Row rows[] = {
	    {"whole", [](SWorldState&, SModelState&) {}, 0, 2, L"Open what it kept?"},
	    {"one byte short", [](SWorldState&, SModelState&) {}, 1, 2, L"Open what it kept?"},
	    {"cut in its last object", [](SWorldState&, SModelState&) {}, 12, 1,
	     L"1 of 2 objects can be read"},
	    {"cut before its objects", [](SWorldState&, SModelState&) {}, 100000, -1, L"cut short"},
	    {"a negative slot counter", [](SWorldState& w, SModelState&) { w.CurrentModel = -3; }, 0,
	     -1, L"its slot counter is -3"},
	    {"a NaN marker", [&](SWorldState& w, SModelState&) { w.MarkerRotation.Y = nan; }, 0, -1,
	     L"placement marker"},
	    {"a NaN position", [&](SWorldState&, SModelState& m) { m.Position.X = nan; }, 0, -1,
	     L"model in slot 5 has a field Position"},
	    {"an infinite rotation", [](SWorldState&, SModelState& m) { m.Rotation.Z = INFINITY; }, 0,
	     -1, L"field Rotation"},
	    {"1e7 particles a second",
	     [](SWorldState&, SModelState& m)
	     {
		     m.Type = CModel::TYPE_PARTICLES;
		     KindValueNamed(m, "RateMost") = 1e7f;
	     },
	     0, -1, L"field RateMost"},
	    {"water in a model slot",
	     [](SWorldState&, SModelState& m)
	     {
		     m.Type = CModel::TYPE_WATER;
		     KindValueNamed(m, KindOf(CModel::TYPE_WATER)->ValueNames[0]);
	     },
	     0, -1, L"water is in slot 5"},
	    {"a character outside Unicode",
	     [](SWorldState&, SModelState& m) { m.FileName = L"sydney\x110000"; }, 0, -1,
	     L"a name of its model in slot 5"},
	};
	const std::string scene = ScratchDir() + "/forged.irr";
	for (const Row& row : rows)
	{
		SCOPED_TRACE(row.what);
		TearDown();
		std::filesystem::remove_all(ScratchDir() + "/state");
		SModelState first;
		first.Type = CModel::TYPE_MESH;
		first.Mesh = MediaFile("sydney.md2");
		SModelState second = first;
		second.Position = core::vector3df(50, 0, 0);
		SWorldState world;
		world.CurrentModel = 5;
		row.forge(world, second);
		SSceneState state;
		state.World = std::make_shared<const SWorldState>(world);
		state.Models[4] = std::make_shared<const SModelState>(first);
		state.Models[5] = std::make_shared<const SModelState>(second);
		const std::string left = LeaveRecovery(state, "");
		const std::string bytes = ReadFile(left);
		WriteFile(left.substr(ScratchDir().size() + 1),
		          bytes.substr(0, bytes.size() - std::min(row.cut, bytes.size() - 30)));
		SetUp();

		const std::vector<Message> shown = messages();
		ASSERT_EQ(1u, shown.size());
		EXPECT_NE(std::wstring::npos, shown[0].text.find(row.told))
		    << core::stringc(shown[0].text.c_str()).c_str();
		answerBox(row.opened < 0 ? L"OK" : L"Yes");
		frame();
		EXPECT_TRUE(messages().empty());
		int opened = 0;
		for (int slot = 1; slot < CSceneEditor::MODEL_SLOTS; ++slot)
			opened += ObjectNode(editor->Model[slot]) != nullptr;
		EXPECT_EQ(std::max(row.opened, 0), opened);
		const bool whole = row.opened == 2;
		EXPECT_EQ(whole, !Exists(left) && !Exists(left + ".damaged")) << "only adopted work goes";
		EXPECT_EQ(!whole, Exists(left + ".damaged")) << "kept beside itself";
		EXPECT_FALSE(Exists(left.substr(0, left.rfind('.')) + ".lock"));

		ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
		ASSERT_TRUE(editor->SaveScene(scene.c_str()));
		dismissMessages();
		EXPECT_TRUE(editor->OpenScene(scene.c_str())) << "what was saved opens again";
		dismissMessages();
	}
}

// A file where the recovery folder should be: the user hears of it once,
// and every later autosave tries the folder again.
TEST_F(NeverLoseWorkTest, ARecoveryFolderThatCannotBeWrittenIsToldOnceAndTriedAgain)
{
	TearDown();
	const std::string state = ScratchDir() + "/state";
	std::filesystem::remove_all(state);
	WriteFile("state", "not a folder");
	SetUp();
	double now = 1000;
	editor->Now = [&] { return now; };
	const auto autosave = [&]
	{
		change();
		now += CSceneEditor::AUTOSAVE_SECONDS + 1;
		frame();
		editor->WaitForAutosave();
		frame();
	};
	autosave();
	const std::vector<Message> shown = messages();
	ASSERT_EQ(1u, shown.size());
	EXPECT_EQ(L"Autosave Error", shown[0].caption);
	EXPECT_EQ(L"Unsaved work is not being kept: its recovery file cannot be written in " +
	              FileNameToWide(state + "/tolvane") +
	              L" (Not a directory). Save the scene to keep it.",
	          shown[0].text);
	dismissMessages();
	autosave();
	EXPECT_TRUE(messages().empty()) << "told once";

	std::filesystem::remove(state);
	autosave();
	EXPECT_TRUE(Exists(editor->RecoveryFile()));
}

TEST_F(NeverLoseWorkTest, ARecoveryFileOfTheBuildBeforeObjectsHadParentsOpens)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	dismissMessages();
	editor->Execute(commands::EditObject(1, [](SModelState& record) { record.Name = L""; }));
	ASSERT_TRUE(editor->WriteRecovery());
	// That build's records end before the parent (-1 here), the name ("")
	// and the three kept texts (""), its world before its kept text (""),
	// which stands before the count, slot and mesh name of the one record.
	std::string bytes = ReadFile(editor->RecoveryFile());
	const std::string tail("\xFF\xFF\xFF\xFF\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0END.", 24);
	ASSERT_EQ(0u, bytes.compare(bytes.size() - tail.size(), tail.size(), tail));
	bytes.erase(bytes.size() - tail.size(), 20);
	const size_t mesh = bytes.find(editor->Document.Object(1)->Mesh);
	ASSERT_NE(std::string::npos, mesh);
	ASSERT_EQ(std::string(4, '\0'), bytes.substr(mesh - 16, 4));
	bytes.erase(mesh - 16, 4);
	ASSERT_EQ(0u, bytes.compare(0, 19, "TOLVANE RECOVERY 4\n"));
	bytes[17] = '1';
	std::ofstream(editor->RecoveryFile(), std::ios::binary | std::ios::trunc) << bytes;

	SRecoveredScene recovered;
	ASSERT_TRUE(CRecovery::Read(editor->RecoveryFile(), recovered)) << recovered.Problem;
	ASSERT_TRUE(recovered.State.Models[1]);
	EXPECT_EQ(-1, recovered.State.Models[1]->Parent);
	EXPECT_NE(std::string::npos, recovered.State.Models[1]->Mesh.find("crate.obj"));
}

// The build before objects kept other tools' material settings: its records
// end one text earlier, and a billboard has no alpha values.
TEST_F(NeverLoseWorkTest, ARecoveryFileOfTheBuildBeforeKeptMaterialsOpens)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_BILLBOARD));
	ASSERT_TRUE(editor->WriteRecovery());
	std::string bytes = ReadFile(editor->RecoveryFile());
	// The last record ends with its kept material text (""), before the end.
	const std::string tail("\0\0\0\0END.", 8);
	ASSERT_EQ(0u, bytes.compare(bytes.size() - tail.size(), tail.size(), tail));
	bytes.erase(bytes.size() - tail.size(), 4);
	// Its values without the two alphas: their count and their last 8 bytes.
	const SModelState& billboard = *editor->Document.Object(1);
	ASSERT_EQ(10u, billboard.Values.size());
	std::string values(reinterpret_cast<const char*>(billboard.Values.data()), 40);
	const size_t at = bytes.find(values);
	ASSERT_NE(std::string::npos, at);
	bytes.erase(at + 32, 8);
	ASSERT_EQ(10, bytes[at - 4]);
	bytes[at - 4] = 8;
	bytes[17] = '3';
	std::ofstream(editor->RecoveryFile(), std::ios::binary | std::ios::trunc) << bytes;

	SRecoveredScene recovered;
	ASSERT_TRUE(CRecovery::Read(editor->RecoveryFile(), recovered)) << recovered.Problem;
	ASSERT_TRUE(recovered.State.Models[1]);
	EXPECT_EQ(billboard.Values, recovered.State.Models[1]->Values) << "the alphas take 255";
}
