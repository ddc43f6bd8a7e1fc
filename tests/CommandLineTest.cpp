// A file named on the command line opens by its type, through the same
// operations as the menus; a file that cannot be read says why.
#include "EditorTestSupport.h"

#include "FileNames.h"

class CommandLineTest : public EditorTest
{
};

TEST_F(CommandLineTest, AFileOpensByItsTypeOrSaysWhyItCannot)
{
	const std::wstring here = FileNameToWide(WorkingDirectory());
	const std::string scene = ScratchDir() + "/crate.irr";
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->SaveScene(scene.c_str()));
	dismissMessages();
	editor->ClearScene();

	struct Row
	{
		std::string file;
		std::wstring answer;
		std::function<bool()> opened;
	};
	const Row rows[] = {
	    {"./samples/crate.obj", L"0 message boxes",
	     [&]
	     {
		     return editor->Model[1] &&
		            editor->Model[1]->FileName == (here + L"/samples/crate.obj").c_str();
	     }},
	    {scene, L"Scene Opened: Opened 1 of 1 objects from " + FileNameToWide(scene) + L".",
	     [&] { return editor->Model[1] != nullptr; }},
	    {MediaFile("map-20kdm2.pk3"), L"0 message boxes", [&] { return editor->Q3LevelNode; }},
	    {WriteFile("level.BSP", "no level"),
	     L"Load Q3 Level Error!: Wrong file format or corrupted file.",
	     {}},
	    {"samples/valley.png", L"Load Model Error!: Wrong file format or corrupted file.", {}},
	    {"samples/missing.obj",
	     L"Open Error!: Cannot open " + here + L"/samples/missing.obj: No such file or directory.",
	     {}},
	    {"samples", L"Open Error!: Cannot open " + here + L"/samples: It is a folder.", {}},
	    {"./samples//Data/../../samples/./gone.obj",
	     L"Open Error!: Cannot open " + here + L"/samples/gone.obj: No such file or directory.",
	     {}},
	};
	for (const Row& row : rows)
	{
		const bool expected = static_cast<bool>(row.opened);
		EXPECT_EQ(expected, editor->OpenFile(row.file.c_str())) << row.file;
		EXPECT_EQ(row.answer, answer()) << row.file;
		EXPECT_TRUE(!expected || row.opened()) << row.file;
	}
}
