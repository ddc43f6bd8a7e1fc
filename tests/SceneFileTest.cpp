// Scene files: a scene saved and opened again is the same scene (the same
// export, the same model windows, world and view), a bare engine program
// loads its models, a moved folder opens, and bad files change nothing.
#include "EditorTestSupport.h"

#include <cstdio>
#include <cmath>
#include <fstream>
#include <functional>
#include <set>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EditorIds.h"
#include "FileNames.h"
#include "MeshTransfer.h"
#include "SceneFile.h"

namespace
{
std::string NewDir(const std::string& name)
{
	const std::string dir = ScratchDir() + "/" + name;
	std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
	return dir;
}

const std::string Crate = TOLVANE_SOURCE_DIR "/samples/crate.obj";

// A model node as a user might write it: its slot, its mesh file, then
// further attributes.
std::string ModelNode(int slot, const std::string& mesh, const std::string& attributes = "",
                      const std::string& type = "empty")
{
	return "<node type=\"" + type + "\"><userData><attributes><int name=\"Slot\" value=\"" +
	       std::to_string(slot) + "\" /><string name=\"MeshFile\" value=\"" + mesh + "\" />" +
	       attributes + "</attributes></userData></node>";
}

// A scene written by hand: the editor's state node around model nodes.
std::string HandWrittenScene(const std::string& name, const std::string& models)
{
	return WriteFile(name, "<?xml version=\"1.0\"?><irr_scene><node type=\"empty\"><userData>"
	                       "<attributes><string name=\"Format\" value=\"Tolvane scene\" />"
	                       "</attributes></userData>" +
	                           models + "</node></irr_scene>");
}

} // namespace

class SceneFileTest : public EditorTest
{
protected:
	std::string exportTo(const std::string& dir)
	{
		editor->sow_editboxDir->setText(core::stringw((dir + "/").c_str()).c_str());
		EXPECT_TRUE(editor->SaveLevel());
		dismissMessages();
		return ReadFile(dir + "/Level.h") + ReadFile(dir + "/Level.cpp");
	}

	// What the model window shows for each model, and the scene around them.
	std::vector<std::wstring> snapshot()
	{
		std::vector<std::wstring> lines;
		for (int slot = 1; slot < 100; ++slot)
		{
			CModel* model = editor->Model[slot];
			if (!model || !model->AnimatedNode)
				continue;
			editor->Select(model);
			frame();
			std::wstring line = std::to_wstring(slot) + L"|" + editor->mpw_boxFileName->getText() +
			                    L"|" + editor->mpw_boxTexture->getText() + L"|" +
			                    editor->mpw_boxTexture2->getText();
			for (gui::IGUICheckBox* box : {editor->mpw_shadowbox, editor->mpw_fogbox,
			                               editor->mpw_wirebox, editor->mpw_lightbox})
				line += box->isChecked() ? L"|1" : L"|0";
			for (gui::IGUIScrollBar* bar :
			     {editor->mpw_scaleX, editor->mpw_scaleY, editor->mpw_scaleZ})
				line += L"|" + std::to_wstring(bar->getPos());
			line += L"|" + std::to_wstring(editor->mpw_render_type->getSelected());
			for (u32 layer = 0; layer < 2; ++layer)
			{
				video::ITexture* texture = model->AnimatedNode->getMaterial(0).getTexture(layer);
				line +=
				    L"|" + std::wstring(texture ? core::stringw(texture->getName()).c_str() : L"");
			}
			lines.push_back(line);
		}
		editor->Select(nullptr);
		std::wstring world;
		for (gui::IGUIScrollBar* bar :
		     {editor->spw_refresh_redbar, editor->spw_refresh_greenbar, editor->spw_refresh_bluebar,
		      editor->sbw_red, editor->sbw_green, editor->sbw_blue})
			world += std::to_wstring(bar->getPos()) + L" ";
		for (scene::ISceneNode* node : {editor->LevelPlane, editor->Q3LevelNode, editor->SkyBox,
		                                static_cast<scene::ISceneNode*>(editor->Terrain)})
			world += node ? L"+" : L"-";
		if (scene::ISceneNode* water = editor->Water->Node)
			world += L" water " + std::to_wstring(editor->Water->water_WaveHeight) + L" " +
			         std::to_wstring(water->getPosition().Z) + L" " +
			         core::stringw(water->getMaterial(0).getTexture(0)->getName()).c_str();
		lines.push_back(world);
		return lines;
	}

	// A scene that uses every field: odd names, every material, both
	// textures, a gap in the slots, a plane, a level, a sky box, colours.
	void buildScene()
	{
		const std::string mesh = MediaFile("sydney.md2");
		const wchar_t* const names[] = {L"C:\\models\\tree.3ds", L"say \"hi\" <&>",
		                                L"caf\u00e9/\u6728.md2", L"tab\there"};
		for (int i = 0; i < 16; ++i)
		{
			editor->Positioner->setPosition(core::vector3df(0.1f * i, -1e-7f * i, 12345.678f + i));
			ASSERT_TRUE(editor->CreateNewModel(mesh.c_str()));
			CModel* model = editor->SelectedModel;
			editor->mpw_boxFileName->setText(names[i % 4]);
			editor->mpw_boxTexture->setText(names[(i + 1) % 4]);
			editor->mpw_boxTexture2->setText(names[(i + 2) % 4]);
			editor->mpw_render_type->setSelected(i % 15);
			editor->mpw_fogbox->setChecked(i % 2);
			editor->mpw_shadowbox->setChecked(i % 3 == 0);
			editor->mpw_lightbox->setChecked(i % 4 < 2);
			editor->mpw_wirebox->setChecked(i % 5 == 0);
			editor->mpw_scaleX->setPos(1 + i % 7);
			frame();
			model->setRotation(core::vector3df(0, 33.3f * i, 0));
		}
		ASSERT_TRUE(editor->LoadModelSkin(MediaFile("wall.jpg").c_str()));
		ASSERT_TRUE(editor->LoadModelSkin2(MediaFile("water.jpg").c_str()));
		editor->Select(editor->Model[2]);
		editor->DeleteSelectedModel();
		ASSERT_TRUE(editor->LoadLevelPlane("samples/ground.obj"));
		ASSERT_TRUE(editor->LoadPlaneTexture(MediaFile("wall.jpg").c_str()));
		ASSERT_TRUE(editor->LoadQ3Level(MediaFile("map-20kdm2.pk3").c_str()));
		ASSERT_TRUE(LoadSampleSkyBox(editor));
		// Water with a texture and waves of its own.
		ASSERT_TRUE(editor->CreateNewWater());
		ASSERT_TRUE(editor->LoadWaterTexture1(MediaFile("water.jpg").c_str()));
		editor->Water->setPosition(core::vector3df(-5, 2.5f, 60));
		static_cast<gui::IGUIScrollBar*>(
		    FindElement(CSceneEditor::WaterPropertiesWindow, gui::EGUIET_SCROLL_BAR))
		    ->setPos(9);
		frame();
		editor->spw_refresh_redbar->setPos(40);
		editor->sbw_blue->setPos(200);
		editor->Positioner->setPosition(core::vector3df(7, 8, 9));
		editor->Positioner->setRotation(core::vector3df(0, 123.4f, 0));
		dismissMessages();
		frame();
	}

	// Replaces the scene with something else, so that an open must bring
	// back every part.
	void scramble()
	{
		editor->ClearScene();
		ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
		editor->spw_refresh_redbar->setPos(1);
		editor->sbw_blue->setPos(2);
		editor->Positioner->setPosition(core::vector3df(0, 0, 0));
		dismissMessages();
	}
};

TEST_F(SceneFileTest, ASceneOpenedAgainExportsTheSameBytesAndShowsTheSameModels)
{
	buildScene();
	const std::string dir = NewDir("roundtrip");
	const std::string before = exportTo(dir);
	const std::vector<std::wstring> shown = snapshot();
	const core::vector3df camera = editor->Camera->getPosition();

	ASSERT_TRUE(chooseMenu(ID_MENU_SAVE_SCENE));
	gui::IGUIEditBox* field = static_cast<gui::IGUIEditBox*>(
	    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_EDIT_BOX, ID_SAVE_SCENE_FILE));
	ASSERT_NE(nullptr, field);
	const std::string file = dir + "/my scene.irr";
	field->setText(core::stringw(file.c_str()).c_str());
	clickButton(ID_SAVE_SCENE_OK);
	// A save opens nothing that takes the next key: the caption and "Scene
	// Information" say it.
	EXPECT_EQ(L"0 message boxes", answer());
	EXPECT_FALSE(editor->Document.Unsaved());
	EXPECT_NE(std::wstring::npos,
	          std::wstring(editor->SceneInfoText().c_str()).find(L"\nSaved my scene.irr"));

	scramble();
	ASSERT_TRUE(chooseMenu(ID_MENU_OPEN_SCENE));
	EXPECT_STREQ(L"Select a Scene", openDialog()->getText());
	ASSERT_TRUE(chooseFile(file));
	EXPECT_EQ(L"Scene Opened: Opened 19 of 19 objects from " +
	              std::wstring(core::stringw(file.c_str()).c_str()) + L".",
	          answer());
	EXPECT_EQ(nullptr, editor->SelectedModel);
	EXPECT_EQ(shown, snapshot());
	EXPECT_EQ(before, exportTo(dir));
	EXPECT_VEC_NEAR(core::vector3df(7, 8, 9), editor->Positioner->getPosition(), 0);
	EXPECT_VEC_NEAR(camera, editor->Camera->getPosition(), 0.001f);

	// The field now offers the scene last opened; Return in it saves.
	ASSERT_TRUE(chooseMenu(ID_MENU_SAVE_SCENE));
	EXPECT_EQ(core::stringw(file.c_str()), field->getText());
	ASSERT_EQ(0, std::remove(file.c_str()));
	pressKey(KEY_RETURN);
	EXPECT_EQ(L"0 message boxes", answer());
	EXPECT_FALSE(ReadFile(file).empty());
}

TEST_F(SceneFileTest, AMovedSceneFolderOpensAndABareEngineLoadsItsModelsFromUtf8)
{
	const std::string dir = NewDir("project");
	std::system(("mkdir -p '" + dir +
	             "/assets \u0141\u00F3d\u017A' && cp samples/crate.* samples/valley.png "
	             "samples/ground.bmp '" +
	             dir + "/assets \u0141\u00F3d\u017A/'")
	                .c_str());
	ASSERT_TRUE(editor->CreateNewModel((dir + "/assets \u0141\u00F3d\u017A/crate.obj").c_str()));
	editor->SelectedModel->setPosition(core::vector3df(10, 20, 30));
	ASSERT_TRUE(editor->LoadModelSkin((dir + "/assets \u0141\u00F3d\u017A/ground.bmp").c_str()));
	ASSERT_TRUE(editor->LoadTerrain((dir + "/assets \u0141\u00F3d\u017A/valley.png").c_str()));
	ASSERT_TRUE(
	    editor->LoadTerrainTexture((dir + "/assets \u0141\u00F3d\u017A/ground.bmp").c_str()));
	ASSERT_TRUE(editor->SaveScene((dir + "/scene.irr").c_str()));
	dismissMessages();
	// UTF-8, a byte a character for ASCII: no byte order mark, no NUL.
	const std::string bytes = ReadFile(dir + "/scene.irr");
	EXPECT_EQ(0u, bytes.find("<?xml"));
	EXPECT_EQ(std::string::npos, bytes.find('\0'));

	const std::string moved = ScratchDir() + "/moved project";
	std::system(("rm -rf '" + moved + "'").c_str());
	ASSERT_EQ(0, std::rename(dir.c_str(), moved.c_str()));
	scramble();
	ASSERT_TRUE(editor->OpenScene((moved + "/scene.irr").c_str()));
	EXPECT_EQ(std::wstring(L"Scene Opened: Opened 2 of 2 objects from ") +
	              core::stringw((moved + "/scene.irr").c_str()).c_str() + L".",
	          answer());
	ASSERT_NE(nullptr, editor->Terrain);
	EXPECT_EQ(core::stringc((moved + "/assets \u0141\u00F3d\u017A/ground.bmp").c_str()),
	          editor->Terrain->getMaterial(0).getTexture(0)->getName().getPath());
	CModel* crate = editor->Model[1];
	ASSERT_TRUE(crate && crate->AnimatedNode);
	EXPECT_EQ(core::stringc((moved + "/assets \u0141\u00F3d\u017A/crate.obj").c_str()),
	          editor->_smgr->getMeshCache()->getMeshName(crate->AnimatedNode->getMesh()).getPath());

	// A game on the engine: one loadScene from the scene's folder.
	IrrlichtDevice* game = createDevice(video::EDT_NULL);
	io::IFileSystem* files = game->getFileSystem();
	const io::path cwd = files->getWorkingDirectory();
	files->changeWorkingDirectoryTo(moved.c_str());
	ASSERT_TRUE(game->getSceneManager()->loadScene("scene.irr"));
	files->changeWorkingDirectoryTo(cwd);
	scene::ISceneNode* model = game->getSceneManager()->getSceneNodeFromId(1);
	ASSERT_NE(nullptr, model);
	ASSERT_EQ(scene::ESNT_ANIMATED_MESH, model->getType());
	EXPECT_NE(nullptr, static_cast<scene::IAnimatedMeshSceneNode*>(model)->getMesh());
	EXPECT_VEC_NEAR(core::vector3df(10, 20, 30), model->getPosition(), 0.001f);
	ASSERT_NE(nullptr, model->getMaterial(0).getTexture(0));
	EXPECT_EQ(core::stringc((moved + "/assets \u0141\u00F3d\u017A/ground.bmp").c_str()),
	          model->getMaterial(0).getTexture(0)->getName().getPath());
	game->drop();

	// The same scene as UTF-16, as another tool may keep it, opens the same.
	const std::wstring text = FileNameToWide(ReadFile(moved + "/scene.irr"));
	std::string utf16 = "\xFF\xFE";
	for (const wchar_t c : text)
		utf16 += {char(c & 0xFF), char(c >> 8 & 0xFF)};
	std::ofstream(moved + "/scene16.irr", std::ios::binary) << utf16;
	scramble();
	ASSERT_TRUE(editor->OpenScene((moved + "/scene16.irr").c_str()));
	EXPECT_EQ(std::wstring(L"Scene Opened: Opened 2 of 2 objects from ") +
	              core::stringw((moved + "/scene16.irr").c_str()).c_str() + L".",
	          answer());
}

TEST_F(SceneFileTest, FilesThatAreNoSceneOfTheEditorLeaveTheSceneUntouched)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	ASSERT_TRUE(editor->SaveScene((ScratchDir() + "/good.irr").c_str()));
	dismissMessages();
	const std::string good = ReadFile(ScratchDir() + "/good.irr");
	// A hundred models, in UTF-8 as any tool may write the format.
	std::string crowded = "<?xml version=\"1.0\"?>\n<irr_scene>\n";
	for (int slot = 1; slot <= 100; ++slot)
		crowded += "<node type=\"empty\"><userData><attributes><int name=\"Slot\" value=\"" +
		           std::to_string(slot) + "\" /></attributes></userData></node>\n";
	crowded += "<node type=\"empty\"><userData><attributes><string name=\"Format\" "
	           "value=\"Tolvane scene\" /></attributes></userData></node>\n</irr_scene>\n";
	// One model with attributes of our choice.
	const auto oneModel = [](const std::string& name, const std::string& attributes)
	{ return HandWrittenScene(name, ModelNode(3, Crate, attributes)); };
	const struct
	{
		std::string file;
		const wchar_t* text;
	} rows[] = {
	    {WriteFile("notes.irr", "just some notes"),
	     L"The file is not a scene file, or it is cut short."},
	    {WriteFile("cut.irr", good.substr(0, good.size() / 2)),
	     L"The file is not a scene file, or it is cut short."},
	    {WriteFile("crowded.irr", crowded), L"The scene names 100 models; the editor holds 99."},
	    {oneModel("nan.irr", "<string name=\"Position\" value=\"1 nan 3\" />"),
	     L"The scene's model in slot 3 has a field Position that is not a number it can hold."},
	    {oneModel("infinite.irr", "<string name=\"Scale\" value=\"1 1 inf\" />"),
	     L"The scene's model in slot 3 has a field Scale that is not a number it can hold."},
	    {oneModel("far.irr", "<string name=\"Position\" value=\"3e38 0 0\" />"),
	     L"The scene's model in slot 3 has a field Position that is not a number it can hold."},
	    {oneModel("flat.irr", "<string name=\"Scale\" value=\"1 0 1\" />"),
	     L"The scene's model in slot 3 has a field Scale that is not a number it can hold."},
	    {oneModel("material.irr", "<int name=\"Material\" value=\"15\" />"),
	     L"The scene's model in slot 3 has a field Material that is not a number it can hold."},
	    {oneModel("long.irr",
	              "<string name=\"FileName\" value=\"" + std::string(200000, 'a') + "\" />"),
	     L"The scene holds a name longer than 4096 characters (FileName)."},
	};
	for (const auto& row : rows)
	{
		SCOPED_TRACE(row.file);
		EXPECT_FALSE(editor->OpenScene(row.file.c_str()));
		EXPECT_EQ(std::wstring(L"Open Scene Error!: ") + row.text, answer());
		ASSERT_NE(nullptr, editor->Model[1]->AnimatedNode) << "the scene is untouched";
	}

	// A save that cannot be written says why.
	const std::string nowhere = ScratchDir() + "/missing/scene.irr";
	EXPECT_FALSE(editor->SaveScene(nowhere.c_str()));
	EXPECT_EQ(L"Save Error: Saving failed: could not write " +
	              std::wstring(core::stringw(nowhere.c_str()).c_str()) +
	              L" (No such file or directory).",
	          answer());

	// A mesh that crashes the engine's loader is skipped and named.
	const std::string swap = ScratchDir() + "/swap.obj", two = ScratchDir() + "/two.irr";
	std::system(("cp samples/crate.obj '" + swap + "'").c_str());
	ASSERT_TRUE(editor->CreateNewModel(swap.c_str()));
	ASSERT_TRUE(editor->SaveScene(two.c_str()));
	dismissMessages();
	editor->_smgr->getMeshCache()->removeMesh(editor->Model[2]->AnimatedNode->getMesh());
	std::system(("cp /usr/share/assimp/models/invalid/malformed.obj '" + swap + "'").c_str());
	ASSERT_TRUE(editor->OpenScene(two.c_str()));
	EXPECT_EQ(std::wstring(L"Scene Opened: Opened 1 of 2 objects from ") +
	              core::stringw(two.c_str()).c_str() + L".\nThese files could not be loaded:\n" +
	              core::stringw(swap.c_str()).c_str(),
	          answer());
	EXPECT_NE(nullptr, editor->Model[1]->AnimatedNode);
	EXPECT_EQ(nullptr, editor->Model[2]->AnimatedNode);

	// A scene written by hand, without the slot counter: it still reaches
	// the model's slot, so that the next model does not take it.
	const std::string lone = HandWrittenScene("lone.irr", ModelNode(5, Crate, "", "animatedMesh"));
	ASSERT_TRUE(editor->OpenScene(lone.c_str()));
	dismissMessages();
	ASSERT_NE(nullptr, editor->Model[5]->AnimatedNode);
	EXPECT_EQ(5, editor->current_model);
}

// The engine's XML reader runs past the end of a file cut inside a tag: any
// cut must be read safely and refused.
TEST_F(SceneFileTest, AFileCutAnywhereIsRefusedWithoutReadingPastItsEnd)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	const std::string good = ScratchDir() + "/good.irr";
	ASSERT_TRUE(editor->SaveScene(good.c_str()));
	dismissMessages();
	const std::string bytes = ReadFile(good);
	io::IFileSystem* files = editor->_device->getFileSystem();
	const auto refusal = [files](const std::string& file)
	{
		scenefile::SSceneContent content;
		core::stringw problem;
		EXPECT_FALSE(scenefile::ReadScene(files, file.c_str(), content, problem)) << file;
		return std::wstring(problem.c_str());
	};
	// Every cut in the first and the last 64 bytes before the closing tag
	// (each alignment of the file's four-byte characters there), and 300
	// spread over the rest.
	const size_t end = bytes.size() - 16;
	ASSERT_GT(end, 128u);
	std::set<size_t> lengths;
	for (size_t i = 0; i < 64; ++i)
		lengths.insert({i, end - 1 - i});
	for (size_t i = 0; i < 300; ++i)
		lengths.insert(i * end / 300);
	const std::string cut = ScratchDir() + "/cut.irr";
	for (size_t length : lengths)
	{
		std::ofstream(cut, std::ios::binary) << bytes.substr(0, length);
		ASSERT_EQ(L"The file is not a scene file, or it is cut short.", refusal(cut)) << length;
	}
	// A comment the reader counts '<' and '>' in.
	EXPECT_EQ(L"The file is not a scene file, or it is cut short.",
	          refusal(WriteFile("comment.irr", "<irr_scene><!-- <<<<<<<< <<<<")));
}

TEST_F(SceneFileTest, ValuesTheWindowsCannotShowStayExactAndFollowUndo)
{
	// A scale the bars cannot show survives selection, which is no step.
	const std::string odd = WriteFile(
	    "odd.irr",
	    "<?xml version=\"1.0\"?><irr_scene><node type=\"empty\"><userData><attributes>"
	    "<string name=\"Format\" value=\"Tolvane scene\" /></attributes></userData>"
	    "<node type=\"empty\"><userData><attributes><int name=\"Slot\" value=\"3\" />"
	    "<int name=\"Type\" value=\"1\" /><string name=\"MeshFile\" value=\"" TOLVANE_SOURCE_DIR
	    "/samples/crate.obj\" /><string name=\"Scale\" value=\"0.5 25 1\" />"
	    "</attributes></userData></node><node type=\"empty\"><userData><attributes>"
	    "<int name=\"Slot\" value=\"0\" /><int name=\"Type\" value=\"2\" />"
	    "<string name=\"WaveLength\" value=\"5000\" /></attributes></userData></node>"
	    "</node></irr_scene>");
	ASSERT_TRUE(editor->OpenScene(odd.c_str()));
	dismissMessages();
	frame();
	editor->Select(editor->Model[3]);
	frame();
	EXPECT_EQ(1, editor->mpw_scaleX->getPos());
	EXPECT_EQ(10, editor->mpw_scaleY->getPos());
	EXPECT_VEC_NEAR(core::vector3df(0.5f, 25, 1), editor->Model[3]->getScale(), 0.0f);
	EXPECT_FALSE(editor->Document.Unsaved()) << "selecting changed nothing";
	// A wave bar sets its own wave only: the length beyond its bar stays.
	editor->Select(editor->Water);
	frame();
	std::vector<gui::IGUIScrollBar*> waves;
	for (gui::IGUIElement* child : CSceneEditor::WaterPropertiesWindow->getChildren())
		if (child->getType() == gui::EGUIET_SCROLL_BAR)
			waves.push_back(static_cast<gui::IGUIScrollBar*>(child));
	ASSERT_EQ(3u, waves.size());
	EXPECT_EQ(500, waves[1]->getPos());
	waves[0]->setPos(7);
	frame();
	EXPECT_EQ((std::vector<f32>{7, 5000, 300}), editor->Document.Object(0)->Values);
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ((std::vector<f32>{3, 5000, 300}), editor->Document.Object(0)->Values);
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(nullptr, editor->Model[3]->AnimatedNode) << "the open was the last step";

	// The sky box fields and the scene file follow the sky box shown.
	const std::string face = MediaFile("irrlicht2_up.jpg");
	editor->sbw_editboxDir->setText(
	    core::stringw(face.substr(0, face.rfind('/') + 1).c_str()).c_str());
	gui::IGUIEditBox* boxes[] = {editor->sbw_editboxUp,    editor->sbw_editboxDown,
	                             editor->sbw_editboxLeft,  editor->sbw_editboxRight,
	                             editor->sbw_editboxFront, editor->sbw_editboxBack};
	for (gui::IGUIEditBox* box : boxes)
		box->setText(L"irrlicht2_up.jpg");
	clickButton(ID_SKYBOX_APPLY);
	frame();
	for (gui::IGUIEditBox* box : boxes)
		box->setText(L"irrlicht2_dn.jpg");
	clickButton(ID_SKYBOX_APPLY);
	frame();
	ASSERT_TRUE(editor->Undo());
	EXPECT_STREQ(L"irrlicht2_up.jpg", editor->sbw_editboxBack->getText());
	const std::string file = ScratchDir() + "/sky.irr";
	ASSERT_TRUE(editor->SaveScene(file.c_str()));
	dismissMessages();
	scenefile::SSceneContent content;
	core::stringw problem;
	ASSERT_TRUE(
	    scenefile::ReadScene(editor->_device->getFileSystem(), file.c_str(), content, problem));
	EXPECT_EQ(core::stringw(L"irrlicht2_up.jpg"),
	          content.State->getAttributeAsStringW("SkyBoxBack"));
}

TEST_F(SceneFileTest, ASceneSavedByTheEarlierVersionOpensUnchanged)
{
	// Saved by the version before the scene document, beside the samples
	// it names (two crates and a textured terrain).
	const std::string dir = NewDir("earlier");
	std::system(("cp samples/crate.* samples/ground.bmp samples/valley.png "
	             "tests/fixtures/old-scene.irr '" +
	             dir + "/'")
	                .c_str());
	ASSERT_TRUE(editor->OpenScene((dir + "/old-scene.irr").c_str()));
	EXPECT_EQ(std::wstring(L"Scene Opened: Opened 3 of 3 objects from ") +
	              core::stringw((dir + "/old-scene.irr").c_str()).c_str() + L".",
	          answer());
	CModel* first = editor->Model[1];
	ASSERT_TRUE(first && first->AnimatedNode);
	EXPECT_VEC_NEAR(core::vector3df(10, 0, -20), first->getPosition(), 0.0f);
	EXPECT_VEC_NEAR(core::vector3df(0, 45, 0), first->getRotation(), 0.0f);
	EXPECT_VEC_NEAR(core::vector3df(1, 3, 1), first->getScale(), 0.0f);
	EXPECT_EQ(2, first->MaterialType);
	EXPECT_TRUE(first->Fog);
	EXPECT_STREQ(L"crate.obj", first->FileName.c_str());
	ASSERT_TRUE(editor->Model[2] && editor->Model[2]->AnimatedNode);
	EXPECT_EQ(core::stringc((dir + "/ground.bmp").c_str()),
	          editor->Model[2]->AnimatedNode->getMaterial(0).getTexture(0)->getName().getPath());
	ASSERT_NE(nullptr, editor->Terrain);
	EXPECT_EQ(20, editor->spw_refresh_redbar->getPos());
	EXPECT_EQ(100, editor->sbw_green->getPos());
	EXPECT_FALSE(editor->Document.Unsaved());
}

TEST_F(SceneFileTest, ASceneMadeElsewhereOpensWhatTheEditorCanHold)
{
	// The engine's own example scene, in a folder laid out as its paths
	// ("../../media/room.3ds") expect.
	const std::string dir = NewDir("elsewhere");
	std::system(("mkdir -p '" + dir + "/a/b' '" + dir + "/media'").c_str());
	for (const char* media : {"room.3ds", "wall.jpg", "rockwall.jpg"})
		std::system(("cp '" + MediaFile(media) + "' '" + dir + "/media/'").c_str());
	const std::string file = dir + "/a/b/example.irr";
	std::system(("cp '" + MediaFile("example.irr") + "' '" + file + "'").c_str());
	ASSERT_TRUE(editor->OpenScene(file.c_str()));
	// Every node opens as its object; the textures left out are reported.
	EXPECT_EQ(L"Scene Opened: Opened 7 of 7 objects from " +
	              std::wstring(core::stringw(file.c_str()).c_str()) +
	              L".\nThese files could not be loaded:\n../../media/particlered.bmp\n"
	              L"../../media/particlewhite.bmp",
	          answer());
	CModel* room = editor->Model[1];
	ASSERT_TRUE(room && room->AnimatedNode);
	EXPECT_EQ(core::stringc((dir + "/a/b/../../media/room.3ds").c_str()),
	          editor->_smgr->getMeshCache()->getMeshName(room->AnimatedNode->getMesh()).getPath());
	EXPECT_VEC_NEAR(core::vector3df(3.048694f, -16.834227f, -3.333332f), room->getPosition(),
	                0.0001f);
	EXPECT_VEC_NEAR(core::vector3df(0.2f, 0.2f, 0.2f), room->getScale(), 0.0001f);
	EXPECT_TRUE(room->Lighting);
	ASSERT_NE(nullptr, room->AnimatedNode->getMaterial(0).getTexture(0));
	EXPECT_EQ(7, editor->current_model);

	// Opened in part, the scene is no copy of its file: it has no file name,
	// shows as unsaved, and its file is replaced only after a question.
	EXPECT_TRUE(editor->Document.Unsaved());
	ASSERT_TRUE(chooseMenu(ID_MENU_SAVE_SCENE));
	gui::IGUIElement* root = editor->_gui->getRootGUIElement();
	gui::IGUIElement* field = FindElement(root, gui::EGUIET_EDIT_BOX, ID_SAVE_SCENE_FILE);
	gui::IGUIElement* window = FindElement(root, gui::EGUIET_WINDOW, ID_SAVE_SCENE_WINDOW);
	EXPECT_EQ(core::stringw((dir + "/a/b/example-tolvane.irr").c_str()), field->getText());
	const std::string original = ReadFile(file);
	const auto answerReplace = [&](const wchar_t* button)
	{
		EXPECT_FALSE(editor->SaveScene(file.c_str()));
		const std::vector<Message> asked = messages();
		ASSERT_EQ(1u, asked.size());
		EXPECT_EQ(L"Replace " + std::wstring(core::stringw(file.c_str()).c_str()) +
		              L"? Parts of it were left out when it was opened.",
		          asked[0].text);
		gui::IGUIElement* box =
		    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_MESSAGE_BOX);
		for (gui::IGUIElement* child : box->getChildren())
			if (child->getType() == gui::EGUIET_BUTTON && std::wstring(child->getText()) == button)
				click(child);
		EXPECT_TRUE(messages().empty());
	};
	answerReplace(L"No");
	EXPECT_EQ(original, ReadFile(file));
	EXPECT_TRUE(window->isVisible()) << "back to the name";
	answerReplace(L"Yes");
	EXPECT_NE(original, ReadFile(file));
	EXPECT_FALSE(editor->Document.Unsaved());
	ASSERT_TRUE(chooseMenu(ID_MENU_SAVE_SCENE));
	EXPECT_EQ(core::stringw(file.c_str()), field->getText()) << "the file is the scene's now";
	window->setVisible(false);

	// Files named from where the scene's tool ran are found beside it.
	const std::string flat = NewDir("flat");
	for (const char* media : {"room.3ds", "wall.jpg", "example.irr"})
		std::system(("cp '" + MediaFile(media) + "' '" + flat + "/'").c_str());
	editor->Select(0);
	editor->Positioner->setPosition(core::vector3df(20000, 0, 0));
	pressKey(KEY_KEY_F); // the view far from where the scene's room stands
	ASSERT_TRUE(editor->OpenScene((flat + "/example.irr").c_str()));
	dismissMessages();
	ASSERT_TRUE(editor->Model[1] && editor->Model[1]->AnimatedNode);
	video::ITexture* wall = editor->Model[1]->AnimatedNode->getMaterial(0).getTexture(0);
	ASSERT_NE(nullptr, wall);
	EXPECT_EQ(core::stringc((flat + "/wall.jpg").c_str()), wall->getName().getPath());
	// It names no view of the editor's: what was opened comes into view.
	const core::aabbox3df box = editor->Model[1]->AnimatedNode->getTransformedBoundingBox();
	editor->Camera->updateAbsolutePosition();
	editor->Camera->render(); // its view follows the new target
	const core::position2d<s32> seen =
	    editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
	        box.getCenter(), editor->Camera);
	EXPECT_TRUE(seen.X > 0 && seen.X < 800 && seen.Y > 0 && seen.Y < 600)
	    << seen.X << "," << seen.Y;
	EXPECT_LT(editor->Camera->getPosition().getDistanceFrom(box.getCenter()),
	          2.0f * box.getExtent().getLength());
}

// A scene and every file it names share one time limit and one Cancel; a
// scene stopped half way leaves the scene as it was, saved state and all.
TEST_F(SceneFileTest, AStoppedOpenTakesNothingAndFilesThatAreNoFilesCostNoTime)
{
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	const std::string before = ScratchDir() + "/before.irr";
	ASSERT_TRUE(editor->SaveScene(before.c_str()));
	dismissMessages();
	const std::string fifo = ScratchDir() + "/scene-pipe.obj";
	std::remove(fifo.c_str());
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	const auto sceneOf = [](const std::string& name, const std::string& mesh)
	{ return HandWrittenScene(name, ModelNode(3, Crate) + ModelNode(4, mesh)); };
	const std::string slow = sceneOf("slow.irr", HangingMeshFile());
	const std::wstring slowName = core::stringw(slow.c_str()).c_str();
	const auto expectUntouched = [&]
	{
		ASSERT_NE(nullptr, editor->Model[1]->AnimatedNode);
		EXPECT_EQ(nullptr, editor->Model[3]->AnimatedNode);
		EXPECT_FALSE(editor->Document.Unsaved());
		EXPECT_EQ(nullptr, FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_WINDOW,
		                               ID_LOADING_WINDOW));
	};

	editor->LoadChecker.BaseSeconds = 1;
	editor->LoadChecker.SecondsPerMB = 0;
	EXPECT_FALSE(editor->OpenScene(slow.c_str()));
	EXPECT_EQ(L"Open Scene Error!: Loading " + slowName + L" took longer than 1 s and was stopped.",
	          answer());
	expectUntouched();

	// One window for the whole scene, and its Cancel ends the whole open.
	editor->LoadChecker.BaseSeconds = 60;
	const std::function<bool()> editorWaiting = editor->LoadChecker.Waiting;
	std::wstring caption;
	editor->LoadChecker.Waiting = [&]
	{
		const bool goOn = editorWaiting();
		gui::IGUIElement* window =
		    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_WINDOW, ID_LOADING_WINDOW);
		if (window && caption.empty())
		{
			caption = window->getText();
			click(FindElement(window, gui::EGUIET_BUTTON, ID_LOADING_CANCEL));
		}
		return goOn;
	};
	EXPECT_FALSE(editor->OpenScene(slow.c_str()));
	editor->LoadChecker.Waiting = editorWaiting;
	EXPECT_EQ(L"Loading slow.irr...", caption);
	EXPECT_EQ(L"0 message boxes", answer());
	expectUntouched();

	// A FIFO, as the scene or named in it, is refused at once, not after
	// the 60 s the scene may take.
	EXPECT_FALSE(editor->OpenScene(fifo.c_str()));
	EXPECT_EQ(L"Open Scene Error!: " + std::wstring(core::stringw(fifo.c_str()).c_str()) +
	              L" is not a regular file.",
	          answer());
	const std::string piped = sceneOf("piped.irr", fifo);
	ASSERT_TRUE(editor->OpenScene(piped.c_str()));
	EXPECT_EQ(L"Scene Opened: Opened 1 of 2 objects from " +
	              std::wstring(core::stringw(piped.c_str()).c_str()) +
	              L".\nThese files could not be loaded:\n" +
	              std::wstring(core::stringw(fifo.c_str()).c_str()),
	          answer());
	EXPECT_NE(nullptr, editor->Model[3]->AnimatedNode);
}

// What the helper hands over for a scene is checked before it is used.
TEST_F(SceneFileTest, DamagedSceneDataIsRefused)
{
	io::IFileSystem* files = editor->_device->getFileSystem();
	scenefile::SSceneContent content;
	content.Models.push_back(files->createEmptyAttributes(0));
	content.Models[0]->addInt("Slot", 7);
	content.Models[0]->addString("MeshFile", L"a\u00e9.obj");
	content.Models[0]->addBool("Fog", true);
	content.Foreign.push_back(
	    {"mesh", {{"string", "Mesh", L"room.3ds"}}, {}, core::matrix4(), -1, L"", {}});
	transfer::CWriter good;
	transfer::Begin(good);
	scenefile::WriteContent(good, true, content, L"");
	transfer::End(good);
	const auto read = [&](const std::string& bytes, scenefile::SSceneContent& back)
	{
		const int fd = memfd_create("scene", 0);
		EXPECT_EQ(static_cast<ssize_t>(bytes.size()), write(fd, bytes.data(), bytes.size()));
		bool wasRead = false;
		core::stringw problem;
		const bool sound = scenefile::ReadContent(fd, files, wasRead, back, problem);
		close(fd);
		return sound && wasRead;
	};
	scenefile::SSceneContent back;
	ASSERT_TRUE(read(good.Bytes, back));
	ASSERT_EQ(1u, back.Models.size());
	EXPECT_EQ(7, back.Models[0]->getAttributeAsInt("Slot"));
	EXPECT_EQ(core::stringw(L"a\u00e9.obj"), back.Models[0]->getAttributeAsStringW("MeshFile"));
	EXPECT_TRUE(back.Models[0]->getAttributeAsBool("Fog"));
	ASSERT_EQ(1u, back.Foreign.size());
	EXPECT_EQ(L"room.3ds", back.Foreign[0].value("Mesh"));

	const size_t world = good.Bytes.size() - 4 - 64; // the last node's matrix
	std::string notFinite = good.Bytes, cut = good.Bytes.substr(0, good.Bytes.size() - 5),
	            huge = good.Bytes;
	const f32 nan = std::nanf("");
	std::memcpy(&notFinite[world + 12 * 4], &nan, 4);
	const uint32_t count = 0x7fffffff; // the number of model lists
	std::memcpy(&huge[4 + 4 + 4 + 1 + 4 + 1], &count, 4);
	for (const std::string& bytes : {notFinite, cut, huge})
	{
		scenefile::SSceneContent refused;
		EXPECT_FALSE(read(bytes, refused));
	}

	// The helper's slots index the object table: the editor checks them.
	const struct
	{
		s32 slot, type;
		bool sound;
	} slots[] = {{99, 1, true}, {0, 2, true}, {100, 1, false}, {-5, 1, false}, {0, 1, false}};
	for (const auto& row : slots)
	{
		scenefile::SSceneContent scene;
		scene.State = files->createEmptyAttributes(0);
		scene.Models.push_back(files->createEmptyAttributes(0));
		scene.Models[0]->addInt("Slot", row.slot);
		scene.Models[0]->addInt("Type", row.type);
		transfer::CWriter out;
		transfer::Begin(out);
		scenefile::WriteContent(out, true, scene, L"");
		transfer::End(out);
		scenefile::SSceneContent back;
		EXPECT_EQ(row.sound, read(out.Bytes, back)) << "slot " << row.slot;
	}
}

// "File", "Open Recent": the last eight scene files, newest first, kept in
// the state folder; a file that is gone leaves the list.
TEST_F(SceneFileTest, OpenRecentListsTheLastEightScenes)
{
	EXPECT_EQ(ScratchDir() + "/state/tolvane/recent-scenes", CRecentScenes::DefaultFile());
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	const std::string dir = NewDir("recent");
	std::vector<std::string> saved;
	for (int i = 0; i < 9; ++i)
	{
		saved.push_back(dir + "/scene" + std::to_string(i) + ".irr");
		ASSERT_TRUE(editor->SaveScene(saved.back().c_str()));
	}
	ASSERT_TRUE(editor->SaveScene(saved[3].c_str()));
	const std::vector<std::string> newest = {saved[3], saved[8], saved[7], saved[6],
	                                         saved[5], saved[4], saved[2], saved[1]};
	EXPECT_EQ(newest, editor->RecentScenes.Files());
	ASSERT_EQ(8u, editor->RecentMenu->getItemCount());
	EXPECT_EQ(core::stringw(saved[8].c_str()), editor->RecentMenu->getItemText(1));
	CRecentScenes kept;
	kept.Load(CRecentScenes::DefaultFile());
	EXPECT_EQ(newest, kept.Files()) << "the list outlives the run";

	editor->ClearScene();
	ASSERT_TRUE(chooseMenu(ID_RECENT_SCENE_FIRST + 1));
	EXPECT_EQ(L"Scene Opened: Opened 1 of 1 objects from " +
	              std::wstring(core::stringw(saved[8].c_str()).c_str()) + L".",
	          answer());
	EXPECT_EQ(saved[8], editor->RecentScenes.Files()[0]) << "opened: newest again";

	ASSERT_EQ(0, std::remove(saved[5].c_str()));
	EXPECT_FALSE(editor->OpenRecentScene(4));
	EXPECT_EQ(L"Open Scene Error!: " + std::wstring(core::stringw(saved[5].c_str()).c_str()) +
	              L" is gone; it is taken off the list.",
	          answer());
	EXPECT_EQ(7u, editor->RecentScenes.Files().size());
	EXPECT_EQ(7u, editor->RecentMenu->getItemCount());
}
