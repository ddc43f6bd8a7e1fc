// Exporting the scene as C++ source: the exact text a game compiles, names
// written as literals whose value is the name, failures reported without
// ever leaving a half-written file, and the real check: a game compiled from
// the export rebuilds the editor's scene.
#include "EditorTestSupport.h"
#include "ObjectKinds.h"

#include <array>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EditorIds.h"
#include "ParticleSettings.h"

namespace
{
// The reference texts, line by line.
const std::string Header = "#ifndef TLVN_LEVEL_H\n"
                           "#define TLVN_LEVEL_H\n"
                           "\n"
                           "#include <irrlicht.h>\n"
                           "using namespace irr; \n"
                           "using namespace core; \n"
                           "using namespace scene; \n"
                           "using namespace video; \n"
                           "using namespace io; \n"
                           "using namespace gui;\n"
                           "\n"
                           "class TLVNLevel\n"
                           "{\n"
                           "public:\n"
                           "\tTLVNLevel(IrrlichtDevice* _device);\n"
                           "\t~TLVNLevel();\n"
                           "\n"
                           "\tISceneManager* _smgr;\n"
                           "\tIVideoDriver* _driver;\n"
                           "\n"
                           "\tISceneNode* Model[100];\n"
                           "\n"
                           "\tvoid LoadModels();\n"
                           "}; \n"
                           "\n"
                           "#endif\n"
                           "\n";

const std::string Opening = "#include \"Level.h\"\n"
                            "\n"
                            "TLVNLevel::TLVNLevel(IrrlichtDevice* _device)\n"
                            "{\n"
                            "\t_smgr = _device->getSceneManager();\n"
                            "\t_driver = _device->getVideoDriver();\n"
                            "\tfor (int i = 0; i < 100; ++i)\n"
                            "\t\tModel[i] = 0;\n"
                            "\n"
                            "}\n"
                            "\n"
                            "TLVNLevel::~TLVNLevel()\n"
                            "{\n"
                            "}\n"
                            "\n"
                            "void TLVNLevel::LoadModels() \n"
                            "{\n";

const std::string Closing = "\n}\n\n";

std::string Blank(int slot)
{
	return "//Model[" + std::to_string(slot) + "] = Blank\n";
}

struct Block
{
	int slot;
	const char* file;
	float position[3], rotation[3], scale[3];
	const char* texture;
	bool lighting, wireframe;
	const char* material;
};

std::string Text(const Block& b)
{
	char text[2048];
	const int i = b.slot;
	// Without a texture name the mesh keeps its own textures: no line.
	char textureLine[512] = "";
	if (*b.texture)
		std::snprintf(textureLine, sizeof textureLine,
		              "\t\tModel[%d]->setMaterialTexture(0, _driver->getTexture(\"%s\"));\n", i,
		              b.texture);
	std::snprintf(text, sizeof text,
	              "\t\tModel[%d] = _smgr->addAnimatedMeshSceneNode(_smgr->getMesh(\"%s\"));\n"
	              "\tif (Model[%d])\n\t{\n"
	              "\tModel[%d]->setPosition(vector3df(%f,%f,%f));\n"
	              "\tModel[%d]->setRotation(vector3df(%f,%f,%f));\n"
	              "\tModel[%d]->setScale(vector3df(%f,%f,%f));\n"
	              "%s"
	              "\t\t//Model[%d]->//SHADOW (INCOMPLETE)\n"
	              "\t\tModel[%d]->setMaterialFlag(EMF_LIGHTING,%s);\n"
	              "\t\tModel[%d]->setMaterialFlag(EMF_WIREFRAME ,%s);\n"
	              "\t\tModel[%d]->setMaterialType(%s);\n\t}\n\n",
	              i, b.file, i, i, b.position[0], b.position[1], b.position[2], i, b.rotation[0],
	              b.rotation[1], b.rotation[2], i, b.scale[0], b.scale[1], b.scale[2], textureLine,
	              i, i, b.lighting ? "true" : "false", i, b.wireframe ? "true" : "false", i,
	              b.material);
	return text;
}

std::wstring Wide(const std::string& ascii)
{
	return std::wstring(ascii.begin(), ascii.end());
}

std::string NewDir(const std::string& name)
{
	const std::string dir = ScratchDir() + "/" + name;
	mkdir(dir.c_str(), 0700);
	return dir + "/";
}

bool Exists(const std::string& path)
{
	return access(path.c_str(), F_OK) == 0;
}

// Output and exit status of a shell command.
int RunCommand(const std::string& command, std::string& output)
{
	output.clear();
	FILE* pipe = popen((command + " 2>&1").c_str(), "r");
	if (!pipe)
		return -1;
	char buffer[4096];
	size_t n;
	while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
		output.append(buffer, n);
	return pclose(pipe);
}

std::string Quoted(const std::string& path)
{
	std::string quoted = "'";
	for (char c : path)
		quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
	return quoted + "'";
}
} // namespace

class ExportTest : public EditorTest
{
protected:
	// Saves to `dir` through the "Save Options" window and its "Ok" button;
	// the box that answers, as "caption: text".
	std::wstring saveTo(const std::wstring& dir)
	{
		editor->sow_editboxDir->setText(dir.c_str());
		clickButton(ID_SAVE_OPTIONS_OK);
		EXPECT_FALSE(editor->SaveOptionsWindow->isVisible());
		return answer();
	}

	const std::wstring saved = L"Saved!: Level data saved!";

	// A model at the marker, its window filled in as a user fills it.
	CModel* addModel(const std::string& mesh, const std::wstring& fileField,
	                 const std::wstring& textureField, s32 material, bool lighting, bool wireframe,
	                 const std::array<s32, 3>& scale)
	{
		EXPECT_TRUE(editor->CreateNewModel(mesh.c_str())) << mesh;
		CModel* model = editor->SelectedModel;
		editor->mpw_boxFileName->setText(fileField.c_str());
		editor->mpw_boxTexture->setText(textureField.c_str());
		editor->mpw_render_type->setSelected(material);
		editor->mpw_lightbox->setChecked(lighting);
		editor->mpw_wirebox->setChecked(wireframe);
		editor->mpw_scaleX->setPos(scale[0]);
		editor->mpw_scaleY->setPos(scale[1]);
		editor->mpw_scaleZ->setPos(scale[2]);
		frame();
		return model;
	}

	std::string exportDir = NewDir("export");
	std::string mesh = MediaFile("sydney.md2");
};

TEST_F(ExportTest, AnEmptySceneGivesTheHeaderAndNinetyNineBlankSlots)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_SAVE_CPP));
	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	EXPECT_EQ(Header, ReadFile(exportDir + "Level.h"));
	std::string source = Opening;
	for (int slot = 1; slot < 100; ++slot)
		source += Blank(slot);
	EXPECT_EQ(source + Closing, ReadFile(exportDir + "Level.cpp"));
}

TEST_F(ExportTest, ModelBlocksFollowTheSlotsAndTheModelWindow)
{
	editor->Positioner->setPosition(core::vector3df(1.5f, -2.25f, 40));
	CModel* first =
	    addModel(mesh, L"models/tree big.3ds", L"skins/bark.jpg", -1, true, false, {3, 2, 1});
	first->setRotation(core::vector3df(0, -37.5f, 0));
	addModel(mesh, L"gone.md2", L"", 0, false, false, {1, 1, 1});
	editor->DeleteSelectedModel();
	editor->Positioner->setPosition(core::vector3df(0, 0, 0));
	CModel* third = addModel(mesh, L"", L"", 14, false, true, {0, 1, 10});
	editor->Select(nullptr);
	third->MaterialType = 15; // outside the list: written as the solid material
	addModel(mesh, L"rock.obj", L"rock.png", 11, true, true, {1, 1, 1});
	ASSERT_EQ(4, editor->current_model);

	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	std::string source = Opening;
	source += Text({1,
	                "models/tree big.3ds",
	                {1.5f, -2.25f, 40},
	                {0, -37.5f, 0},
	                {3, 2, 1},
	                "skins/bark.jpg",
	                true,
	                false,
	                "EMT_SOLID"});
	source += Blank(2);
	// A scale bar at 0 stops at 1: no scale of 0.
	source += Text({3, "", {0, 0, 0}, {0, 0, 0}, {1, 1, 10}, "", false, true, "EMT_SOLID"});
	source += Text({4,
	                "rock.obj",
	                {0, 0, 0},
	                {0, 0, 0},
	                {1, 1, 1},
	                "rock.png",
	                true,
	                true,
	                "EMT_TRANSPARENT_ADD_COLOR"});
	for (int slot = 5; slot < 100; ++slot)
		source += Blank(slot);
	// Then the objects' names, each new one unlike the others.
	for (const char* named : {"1]->setName(\"sydney.md2\")", "3]->setName(\"sydney.md2 2\")",
	                          "4]->setName(\"sydney.md2 3\")"})
		source += "\tif (Model[" + std::string(named, 1) + "])\n\t\tModel[" + named + ";\n";
	EXPECT_EQ(source + Closing, ReadFile(exportDir + "Level.cpp"));
	EXPECT_EQ(Header, ReadFile(exportDir + "Level.h"));
}

TEST_F(ExportTest, NamesBecomeLiteralsWhoseValueIsTheName)
{
	addModel(mesh, L"C:\\models\\tree.3ds", L"say \"hi\"?\?/x", 0, false, false, {1, 1, 1});
	addModel(mesh, L"caf\u00e9/\u6728.md2", L"tab\there", 0, false, false, {1, 1, 1});
	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	const std::string source = ReadFile(exportDir + "Level.cpp");
	for (const char* literal :
	     {"getMesh(\"C:\\\\models\\\\tree.3ds\")", "getTexture(\"say \\\"hi\\\"?\\?/x\")",
	      "getMesh(\"caf\\303\\251/\\346\\234\\250.md2\")", "getTexture(\"tab\\011here\")"})
		EXPECT_NE(std::string::npos, source.find(literal)) << literal;
}

TEST_F(ExportTest, ADirectoryIsAPlainPrefixAndAMissingOneWritesNothing)
{
	const std::string prefix = ScratchDir() + "/out";
	ASSERT_EQ(saved, saveTo(Wide(prefix)));
	EXPECT_EQ(Header, ReadFile(prefix + "Level.h"));
	EXPECT_TRUE(Exists(prefix + "Level.cpp"));

	// A missing folder, and a Windows folder that would otherwise become
	// part of two file names here.
	for (const std::string& folder : {ScratchDir() + "/missing/", std::string("D:\\GAME\\")})
	{
		editor->sow_editboxDir->setText(Wide(folder).c_str());
		EXPECT_FALSE(editor->SaveLevel());
		EXPECT_EQ(L"Save Error: Saving failed: the folder \"" + Wide(folder) +
		              L"\" does not exist. Type an existing folder ending in \"/\".",
		          answer());
		EXPECT_FALSE(Exists(folder + "Level.h"));
	}
	EXPECT_FALSE(Exists(ScratchDir() + "/missing"));

	// The default text, "C:\FOLDER\", stands for the working directory.
	const std::string here = NewDir("here");
	char before[4096];
	ASSERT_NE(nullptr, getcwd(before, sizeof before));
	ASSERT_EQ(0, chdir(here.c_str()));
	editor->sow_editboxDir->setText(L"C:\\FOLDER\\");
	const bool written = editor->SaveLevel();
	ASSERT_EQ(0, chdir(before));
	EXPECT_TRUE(written);
	EXPECT_EQ(saved, answer());
	EXPECT_EQ(Header, ReadFile(here + "Level.h"));
}

TEST_F(ExportTest, SavingAgainReplacesBothFiles)
{
	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	const std::string empty = ReadFile(exportDir + "Level.cpp");
	addModel(mesh, L"again.md2", L"", 0, false, false, {1, 1, 1});
	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	const std::string second = ReadFile(exportDir + "Level.cpp");
	EXPECT_NE(empty, second);
	EXPECT_NE(std::string::npos, second.find("getMesh(\"again.md2\")"));
	EXPECT_EQ(Header, ReadFile(exportDir + "Level.h"));
}

TEST_F(ExportTest, AFailedWriteIsReportedAndKeepsTheEarlierExport)
{
	addModel(mesh, L"good.md2", L"", 0, false, false, {1, 1, 1});
	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	const std::string goodSource = ReadFile(exportDir + "Level.cpp");
	for (int i = 0; i < 20; ++i)
		addModel(mesh, L"a file name long enough to fill the export quickly.md2", L"", 0, false,
		         false, {1, 1, 1});

	// A file size limit makes every write past 2000 bytes fail, as a full
	// disk does; the header fits, the source does not.
	std::signal(SIGXFSZ, SIG_IGN);
	rlimit limit = {2000, RLIM_INFINITY};
	ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
	const bool written = editor->SaveLevel();
	limit.rlim_cur = RLIM_INFINITY;
	setrlimit(RLIMIT_FSIZE, &limit);

	EXPECT_FALSE(written);
	const std::wstring text = answer();
	EXPECT_EQ(0u, text.find(L"Save Error: ")) << text;
	EXPECT_NE(std::wstring::npos, text.find(L"Level.cpp")) << text;
	EXPECT_NE(std::wstring::npos, text.find(L"File too large")) << text;
	EXPECT_EQ(goodSource, ReadFile(exportDir + "Level.cpp"));
	EXPECT_EQ(Header, ReadFile(exportDir + "Level.h"));
	std::string listing;
	RunCommand("ls -A " + Quoted(exportDir), listing);
	EXPECT_EQ("Level.cpp\nLevel.h\n", listing) << "no temporary file is left";
}

TEST_F(ExportTest, NumbersKeepTheFullStopInAUserLocale)
{
	// The file-open dialog switches the process to the user's locale. The
	// tests after this one find the locale as it was, also when it fails.
	struct SLocaleKept
	{
		const bool set = getenv("LC_ALL");
		const std::string value = set ? getenv("LC_ALL") : "";
		~SLocaleKept()
		{
			if (set)
				setenv("LC_ALL", value.c_str(), 1);
			else
				unsetenv("LC_ALL");
			std::setlocale(LC_ALL, "C");
		}
	} kept;
	setenv("LC_ALL", "de_DE.UTF-8", 1);
	editor->Positioner->setPosition(core::vector3df(1.5f, 0, 0));
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_MODEL));
	ASSERT_TRUE(chooseFile(FixtureCopy("sydney.md2")));
	char probe[16];
	std::snprintf(probe, sizeof probe, "%.1f", 1.5);
	ASSERT_STREQ("1,5", probe) << "the de_DE.UTF-8 locale is needed for this test";

	ASSERT_EQ(saved, saveTo(Wide(exportDir)));
	EXPECT_NE(std::string::npos,
	          ReadFile(exportDir + "Level.cpp").find("setPosition(vector3df(1.500000,0.000000"));
}

// The real check: a game compiled from the export rebuilds every model with
// its mesh, transform, material and texture; slots whose mesh the game cannot
// find stay empty instead of crashing it.
TEST_F(ExportTest, AGameCompiledFromTheExportRebuildsTheScene)
{
	// Mesh and texture files under names a literal must escape, in a folder
	// whose name is not ASCII either.
	const std::string assets = NewDir("assets \u00e4\u00f6");
	const std::wstring wideAssets = L"" + Wide(ScratchDir()) + L"/assets \u00e4\u00f6/";
	const std::string sydney = ReadFile(mesh), skin = ReadFile(MediaFile("sydney.bmp"));
	struct Asset
	{
		const char* file;
		const wchar_t* wide;
		const std::string& bytes;
	};
	const Asset files[] = {
	    {"with space.md2", L"with space.md2", sydney},
	    {"back\\slash \"quoted\".md2", L"back\\slash \"quoted\".md2", sydney},
	    {"tri?\?=graph \u6728.md2", L"tri?\?=graph \u6728.md2", sydney},
	    {"skin \\ \"one\".bmp", L"skin \\ \"one\".bmp", skin},
	    {"vanishes.md2", L"vanishes.md2", sydney},
	};
	for (const Asset& asset : files)
		std::ofstream(assets + asset.file, std::ios::binary) << asset.bytes;
	auto path = [&](int i) { return assets + files[i].file; };
	auto widePath = [&](int i) { return wideAssets + files[i].wide; };

	editor->Positioner->setPosition(core::vector3df(12.5f, -3.25f, 40));
	addModel(path(0), widePath(0), widePath(3), 12, true, false, {2, 3, 4});
	ASSERT_TRUE(editor->LoadModelSkin(path(3).c_str()));
	editor->SelectedModel->setRotation(core::vector3df(0, 45, 0));
	// It runs once; the other models play all of their frames.
	ASSERT_TRUE(editor->EditSelected([](SModelState& r) { r.Values = {2, 40, 160, 183, 0}; }));
	addModel(path(0), L"", L"", 0, false, false, {1, 1, 1}); // no name: the game skips it
	addModel(path(1), widePath(1), L"", 5, false, true, {1, 1, 1});
	editor->DeleteSelectedModel();
	editor->Positioner->setPosition(core::vector3df(-7, 0, 0.125f));
	addModel(path(1), widePath(1), L"", 9, false, true, {5, 1, 1});
	editor->mpw_shadowbox->setChecked(true); // the shadow's line compiles too
	frame();
	addModel(path(2), widePath(2), L"", -1, true, true, {1, 1, 1});
	addModel(path(4), widePath(4), L"", 3, false, false, {1, 1, 1});
	// An OBJ that brings its texture through its material file, with no
	// texture name: the game keeps the mesh's own texture.
	for (const char* part : {"crate.obj", "crate.mtl", "crate.jpg"})
		std::ofstream(assets + part, std::ios::binary)
		    << ReadFile(std::string(TOLVANE_SOURCE_DIR) + "/samples/" + part);
	addModel(assets + "crate.obj", wideAssets + L"crate.obj", L"", 0, false, false, {1, 1, 1});
	ASSERT_NE(nullptr, editor->Model[7]->AnimatedNode->getMaterial(0).getTexture(0));
	// Water, exported after the models.
	ASSERT_TRUE(editor->CreateNewWater());
	ASSERT_TRUE(editor->LoadWaterTexture1(path(3).c_str()));
	editor->Water->setPosition(core::vector3df(3, -1.5f, 20));
	editor->Water->setRotation(core::vector3df(0, 30, 0));
	editor->Water->setMaterialType(11);
	// Particle systems after the models: fire with a texture, and a ring
	// with every affector on.
	editor->Positioner->setPosition(core::vector3df(5, 2.5f, -9));
	ASSERT_TRUE(editor->LoadParticleTexture(path(3).c_str()));
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	ASSERT_TRUE(editor->SetParticlePreset("Sparks"));
	for (s32 value : {particles::SPIN_ON, particles::ATTRACTION_ON, particles::GROW_ON})
		static_cast<gui::IGUICheckBox*>(FindElement(CSceneEditor::ParticleWindow,
		                                            gui::EGUIET_CHECK_BOX,
		                                            ID_PARTICLE_VALUES + value))
		    ->setChecked(true);
	static_cast<gui::IGUIComboBox*>(
	    FindElement(CSceneEditor::ParticleWindow, gui::EGUIET_COMBO_BOX, ID_PARTICLE_VALUES))
	    ->setSelected(particles::RING);
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	editor->SelectedModel->setRotation(core::vector3df(0, 30, 0));
	frame();
	// A turned empty that holds the crate: the game puts it in the empty.
	editor->Positioner->setPosition(core::vector3df(40, 0, 0));
	ASSERT_TRUE(editor->CreateNewEmpty());
	ASSERT_EQ(10, editor->SlotOf(editor->SelectedModel));
	ASSERT_TRUE(editor->SetSelectedTransform(core::vector3df(40, 0, 0), core::vector3df(0, 90, 0),
	                                         core::vector3df(1, 1, 1)));
	ASSERT_TRUE(editor->SetParent(7, 10));
	// One of every kind built from its values, turned, with a value of its
	// own changed; those with a material textured and lit.
	struct SKindEdit
	{
		s32 menu;
		u32 value;
		f32 to;
	};
	const SKindEdit kinds[] = {{ID_MENU_ADD_LIGHT, 0, 1},  {ID_MENU_ADD_BILLBOARD, 7, 40},
	                           {ID_MENU_ADD_CUBE, 0, 25},  {ID_MENU_ADD_SPHERE, 1, 12},
	                           {ID_MENU_ADD_CAMERA, 6, 1}, {ID_MENU_ADD_SKY_DOME, 4, 800}};
	editor->Positioner->setPosition(core::vector3df(-20, 8, 30));
	std::vector<int> kindSlots;
	for (const SKindEdit& kind : kinds)
	{
		ASSERT_TRUE(chooseMenu(kind.menu));
		kindSlots.push_back(editor->SlotOf(editor->SelectedModel));
		ASSERT_TRUE(editor->EditSelected(
		    [&](SModelState& r)
		    {
			    r.Rotation = core::vector3df(0, 20, 0);
			    r.Values[kind.value] = kind.to;
			    r.Lighting = true;
		    }));
		if (editor->NodeOfModelWindow())
		{
			ASSERT_TRUE(editor->LoadModelSkin(path(3).c_str()));
		}
	}
	frame();
	editor->Select(nullptr);

	const std::string dir = NewDir("game \u00fc");
	ASSERT_EQ(saved, saveTo(Wide(ScratchDir()) + L"/game \u00fc/"));
	ASSERT_EQ(0, unlink(path(4).c_str())) << "missing at game time";

	std::string output;
	const std::string game = dir + "game";
	const std::string compile =
	    std::string(TOLVANE_CXX) + " -std=c++17 -Wall -Wextra -Werror -isystem " +
	    IRRLICHT_INCLUDE_DIR + " -I " + Quoted(dir) + " " + Quoted(dir + "Level.cpp") + " " +
	    TOLVANE_SOURCE_DIR + "/tests/LevelGame.cpp " + IRRLICHT_LIBRARY + " -o " + Quoted(game);
	ASSERT_EQ(0, RunCommand(compile, output)) << compile << "\n" << output;
	EXPECT_EQ("", output) << "no warnings";
	ASSERT_EQ(0, RunCommand(Quoted(game), output)) << output;

	std::map<int, std::string> rebuilt;
	std::istringstream lines(output);
	for (std::string line; std::getline(lines, line);)
		rebuilt[std::stoi(line)] = line;

	std::map<int, std::string> expected;
	for (int slot : {1, 4, 5, 7, 10, 101})
	{
		scene::ISceneNode* node =
		    slot == 101 ? editor->Water->Node : ObjectNode(editor->Model[slot]);
		const std::string mesh =
		    slot == 101 || slot == 10
		        ? ""
		        : editor->_smgr->getMeshCache()
		              ->getMeshName(static_cast<scene::IAnimatedMeshSceneNode*>(node)->getMesh())
		              .getPath()
		              .c_str();
		const video::SMaterial& material = node->getMaterial(0);
		video::ITexture* texture = material.getTexture(0);
		char line[2048];
		const core::vector3df p = node->getPosition(), r = node->getRotation(),
		                      s = node->getScale();
		std::snprintf(line, sizeof line,
		              "%d|%s|%.4f %.4f %.4f|%.4f %.4f %.4f|%.4f %.4f %.4f|%d|%d|%d|%s", slot,
		              mesh.c_str(), p.X, p.Y, p.Z, r.X, r.Y, r.Z, s.X, s.Y, s.Z,
		              int(material.MaterialType), int(material.Lighting), int(material.Wireframe),
		              texture ? texture->getName().getPath().c_str() : "");
		expected[slot] = line;
		if (slot == 101 || slot == 10)
			continue;
		const auto* model = static_cast<scene::IAnimatedMeshSceneNode*>(node);
		std::snprintf(line, sizeof line, "|%d %d|%.2f|%d", model->getStartFrame(),
		              model->getEndFrame(), model->getAnimationSpeed(), int(model->getLoopMode()));
		expected[slot] += line;
	}
	EXPECT_NE(std::string::npos, expected[1].find("|160 183|40.00|0")) << "the run, once";
	std::vector<int> attributeSlots = {8, 9, 10};
	attributeSlots.insert(attributeSlots.end(), kindSlots.begin(), kindSlots.end());
	for (int slot : attributeSlots)
	{
		scene::ISceneNode* node = editor->Model[slot]->Node;
		io::IAttributes* attributes = editor->_device->getFileSystem()->createEmptyAttributes();
		node->serializeAttributes(attributes);
		std::string line =
		    std::to_string(slot) + "|" + editor->_smgr->getSceneNodeTypeName(node->getType()) + "|";
		for (u32 i = 0; i < attributes->getAttributeCount(); ++i)
			line += std::string(attributes->getAttributeName(i)) + "=" +
			        core::stringc(attributes->getAttributeAsString(i)).c_str() + ";";
		attributes->drop();
		video::ITexture* texture = node->getMaterial(0).getTexture(0);
		expected[slot] = line + "|" + std::to_string(node->getMaterial(0).MaterialType) + "|" +
		                 (texture ? texture->getName().getPath().c_str() : "");
		if (node->getType() == scene::ESNT_CAMERA)
			expected[slot] += "|" + std::to_string(int(editor->Document.Object(slot)->Values[6]));
	}
	{
		// The crate in the empty stands where it stands in the editor.
		scene::ISceneNode* crate = editor->Model[7]->AnimatedNode;
		editor->_smgr->getRootSceneNode()->OnAnimate(0);
		const core::vector3df world = crate->getAbsolutePosition();
		char line[256];
		std::snprintf(line, sizeof line, "207|in 10|%.4f %.4f %.4f", world.X, world.Y, world.Z);
		expected[207] = line;
	}
	EXPECT_NE(std::string::npos, expected[9].find("Affector=Attract")) << "every affector on";
	EXPECT_NE(std::string::npos, expected[kindSlots[0]].find("LightType=Spot;"));
	EXPECT_NE(std::string::npos, expected[kindSlots[2]].find(path(3))) << "a textured cube";
	EXPECT_EQ('1', expected[kindSlots[4]].back()) << "the active camera";
	EXPECT_EQ(expected, rebuilt);
	EXPECT_NE(std::string::npos, expected[1].find(path(0) + "|")) << "mesh from the named file";
	EXPECT_NE(std::string::npos, expected[1].find(path(3))) << "texture from the named file";
}
