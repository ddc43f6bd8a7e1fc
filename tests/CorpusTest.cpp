// A sweep through another project's model corpus: every file the engine has
// a mesh loader for goes through "Add Model" (and a sample through the plane
// and the Quake 3 level), and the editor either loads it or answers with its
// error box, its scene intact.
#include "EditorTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace
{
const char* const Corpus = "/usr/share/assimp/models";

bool HasMeshLoader(scene::ISceneManager* smgr, const std::string& file)
{
	for (u32 i = 0; i < smgr->getMeshLoaderCount(); ++i)
		if (smgr->getMeshLoader(i)->isALoadableFileExtension(file.c_str()))
			return true;
	return false;
}

const char* OutcomeName(bool loaded, ELoadCheck check)
{
	if (loaded)
		return "loaded";
	switch (check)
	{
	case LOADCHECK_CRASHED: return "caught: loader crashed";
	case LOADCHECK_TIMED_OUT: return "caught: loader hung";
	case LOADCHECK_UNAVAILABLE: return "helper unavailable";
	default: return "failed cleanly";
	}
}
} // namespace

class CorpusTest : public EditorTest
{
protected:
	std::vector<std::string> meshFiles()
	{
		std::vector<std::string> files;
		for (const auto& entry : std::filesystem::recursive_directory_iterator(Corpus))
			if (entry.is_regular_file() && HasMeshLoader(editor->_smgr, entry.path().string()))
				files.push_back(entry.path().string());
		std::sort(files.begin(), files.end());
		return files;
	}

	// Models in the table with a node, and the number of mesh nodes in the
	// scene: both must agree with what the sweep loaded.
	int modelNodes()
	{
		int n = 0;
		for (CModel* model : editor->Model)
			n += model && model->AnimatedNode && model->AnimatedNode->getParent();
		return n;
	}
};

TEST_F(CorpusTest, EveryMeshFileIsLoadedOrAnsweredAndTheSceneStaysIntact)
{
	// Short limits keep the sweep within minutes; hanging files are known.
	editor->LoadChecker.BaseSeconds = 2;
	editor->LoadChecker.SecondsPerMB = 2;
	const std::vector<std::string> files = meshFiles();
	ASSERT_GT(files.size(), 100u) << "assimp-testmodels is needed";

	std::map<std::string, int> outcomes;
	int expectedModels = 0;
	for (size_t i = 0; i < files.size(); ++i)
	{
		SCOPED_TRACE(files[i]);
		if (editor->current_model == CSceneEditor::MODEL_SLOTS - 1)
		{
			editor->ClearScene();
			expectedModels = 0;
		}
		const int counter = editor->current_model;
		const bool loaded = editor->CreateNewModel(files[i].c_str());
		const std::wstring box = answer();
		if (loaded)
		{
			++expectedModels;
			EXPECT_EQ(L"0 message boxes", box);
		}
		else if (editor->LoadChecker.LastResult == LOADCHECK_TIMED_OUT)
			EXPECT_NE(std::wstring::npos, box.find(L" s and was stopped.")) << "a time-out says so";
		else
		{
			EXPECT_TRUE(box == L"Load Model Error!: Wrong file format or corrupted file." ||
			            box == L"Load Model Error!: The file holds no triangles to draw." ||
			            box.find(L"Load Model Error!: The model cannot be read: ") == 0)
			    << box;
		}
		EXPECT_TRUE(loaded || counter == editor->current_model) << "a refused Add uses no slot";
		++outcomes[OutcomeName(loaded, editor->LoadChecker.LastResult)];
		frame();
		ASSERT_EQ(expectedModels, modelNodes()) << "the scene lost or gained a model";

		// Every tenth file is offered as the ground plane and as a level too.
		if (i % 10 == 0)
		{
			if (editor->LoadLevelPlane(files[i].c_str()))
				EXPECT_EQ(L"Plane Message: The plane is scaled x8. Position is 0,0,0.", answer());
			else
				EXPECT_EQ(0u, answer().find(L"Load Model Error!: "));
			if (editor->LoadQ3Level(files[i].c_str()))
				editor->DeleteQ3Level();
			answer();
			EXPECT_EQ(expectedModels, modelNodes());
		}
	}
	EXPECT_EQ(0, outcomes["helper unavailable"]);
	std::printf("Corpus sweep of %zu mesh files:", files.size());
	for (const auto& outcome : outcomes)
		std::printf(" %s %d;", outcome.first.c_str(), outcome.second);
	std::printf("\n");
}
