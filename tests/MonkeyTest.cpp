// A seeded random monkey: thousands of user events (menu commands, buttons,
// keys with and without an edit box focused, clicks in and out of camera
// mode, files chosen in the dialog, exports), with the editor's invariants
// checked after every one; then every step is undone back to the empty
// scene and redone to the end. A failure names its seed and event; set
// TOLVANE_MONKEY_SEED to replay one seed.
#include "EditorTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <sstream>
#include <unistd.h>

#include "EditorIds.h"

namespace
{
const s32 MenuCommands[] = {ID_MENU_CLEAR,      ID_MENU_FILE_PROPERTIES,   ID_MENU_SAVE_CPP,
                            ID_MENU_SCENE_INFO, ID_MENU_WORLD_PROPERTIES,  ID_MENU_SKYBOX_SETUP,
                            ID_MENU_REMOVE,     ID_MENU_OBJECT_PROPERTIES, ID_MENU_ADD_MODEL,
                            ID_MENU_ADD_WATER,  ID_MENU_PARTICLE_EDITOR,   ID_MENU_ABOUT,
                            ID_MENU_TRANSFORM,  ID_MENU_SCENE_OBJECTS};

const s32 Buttons[] = {ID_EDITOR_PROPERTIES_OK,
                       ID_WORLD_OK,
                       ID_WORLD_LOAD_TERRAIN,
                       ID_WORLD_TERRAIN_TEXTURE,
                       ID_WORLD_LOAD_PLANE,
                       ID_WORLD_PLANE_TEXTURE,
                       ID_WORLD_LOAD_Q3LEVEL,
                       ID_WORLD_DELETE_TERRAIN,
                       ID_WORLD_DELETE_PLANE,
                       ID_WORLD_DELETE_Q3LEVEL,
                       ID_SKYBOX_OK,
                       ID_SKYBOX_APPLY,
                       ID_MODEL_OK,
                       ID_MODEL_LOAD_SKIN1,
                       ID_MODEL_LOAD_SKIN2,
                       ID_WATER_OK,
                       ID_WATER_LOAD_SKIN1,
                       ID_WATER_LOAD_SKIN2,
                       ID_ABOUT_CLOSE,
                       ID_PARTICLE_ADD,
                       ID_PARTICLE_LOAD_TEXTURE,
                       ID_PARTICLE_CLOSE};

struct Key
{
	EKEY_CODE code;
	wchar_t character;
	bool control = false;
};
// Keys as X delivers them: keypad digits arrive on navigation codes.
const Key Keys[] = {{KEY_UP, 0},       {KEY_DOWN, 0},     {KEY_LEFT, 0},          {KEY_RIGHT, 0},
                    {KEY_UP, L'8'},    {KEY_DOWN, L'2'},  {KEY_LEFT, L'4'},       {KEY_RIGHT, L'6'},
                    {KEY_PRIOR, L'9'}, {KEY_NEXT, L'3'},  {KEY_LCONTROL, 0},      {KEY_RCONTROL, 0},
                    {KEY_KEY_C, L'c'}, {KEY_KEY_X, L'x'}, {KEY_NONE, 0},          {KEY_RETURN, 0},
                    {KEY_DELETE, 0},   {KEY_ESCAPE, 0},   {KEY_KEY_D, L'd', true}};
// Keys that are pressed and released at once.
const EKEY_CODE Taps[] = {KEY_KEY_C, KEY_RETURN, KEY_KEY_X, KEY_DELETE, KEY_ESCAPE, KEY_KEY_D};

int SeedFromEnvironment()
{
	const char* seed = std::getenv("TOLVANE_MONKEY_SEED");
	return seed ? std::atoi(seed) : -1;
}
} // namespace

class MonkeyTest : public EditorTest, public ::testing::WithParamInterface<int>
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		// One folder per file, so that the dialog lists it without scrolling.
		goodMesh = inFolder("mesh", "sydney.md2", ReadFile(MediaFile("sydney.md2")));
		goodTexture = inFolder("texture", "wall.jpg", ReadFile(MediaFile("wall.jpg")));
		malformed = inFolder("malformed", "malformed.obj",
		                     ReadFile("/usr/share/assimp/models/invalid/malformed.obj"));
		notAMesh = inFolder("text", "notes.3ds", "not a mesh at all");
		level = inFolder("level", "map-20kdm2.pk3", ReadFile(MediaFile("map-20kdm2.pk3")));
		exportDir = ScratchDir() + "/export/";
		mkdir(exportDir.c_str(), 0700);
		editor->sbw_editboxDir->setText(core::stringw(MediaFolder().c_str()).c_str());
	}

	std::string inFolder(const std::string& folder, const std::string& name,
	                     const std::string& bytes)
	{
		mkdir((ScratchDir() + "/" + folder).c_str(), 0700);
		return WriteFile(folder + "/" + name, bytes);
	}

	static std::string MediaFolder()
	{
		const std::string face = MediaFile("irrlicht2_up.jpg");
		return face.substr(0, face.rfind('/') + 1);
	}

	template <typename T, size_t N> const T& pick(const T (&items)[N])
	{
		return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
	}
	bool chance(double p) { return std::bernoulli_distribution(p)(random); }
	s32 coordinate(s32 limit) { return std::uniform_int_distribution<s32>(0, limit - 1)(random); }

	// One random user action; returns what it did, for the failure report.
	std::string act()
	{
		std::ostringstream did;
		switch (std::uniform_int_distribution<int>(0, 9)(random))
		{
		case 0:
		case 1:
		{
			const s32 command = pick(MenuCommands);
			did << "menu " << command;
			chooseMenu(command);
			break;
		}
		case 2:
		case 3:
		{
			const s32 button = pick(Buttons);
			did << "button " << button;
			clickButton(button);
			break;
		}
		case 4:
		case 5: did << pressOrRelease(); break;
		case 6:
		{
			const s32 x = coordinate(800), y = coordinate(600);
			if (chance(0.7))
			{
				did << "click " << x << "," << y << " camera " << editor->CameraMode;
				clickAt(x, y);
				break;
			}
			// A drag, of the handles where it starts on them.
			const s32 x2 = coordinate(800), y2 = coordinate(600);
			did << "drag " << x << "," << y << " to " << x2 << "," << y2 << " camera "
			    << editor->CameraMode;
			mouseEvent(EMIE_LMOUSE_PRESSED_DOWN, x, y, EMBSM_LEFT);
			frame();
			mouseEvent(EMIE_MOUSE_MOVED, x2, y2, EMBSM_LEFT);
			frame();
			mouseEvent(EMIE_LMOUSE_LEFT_UP, x2, y2, 0);
			break;
		}
		case 7: did << focusAnEditBox(); break;
		case 8:
		{
			const bool good = chance(0.7);
			did << "export to " << (good ? "a folder" : "a missing folder");
			editor->sow_editboxDir->setText(
			    core::stringw((good ? exportDir : ScratchDir() + "/none/").c_str()).c_str());
			clickButton(ID_SAVE_OPTIONS_OK);
			break;
		}
		case 9:
			did << "add water";
			editor->CreateNewWater();
			break;
		}
		frame();
		if (openDialog())
			did << "; " << answerDialog();
		dismissMessages();
		frame();
		return did.str();
	}

	std::string pressOrRelease()
	{
		std::ostringstream did;
		if (!held.empty() && chance(0.5))
		{
			auto it = held.begin();
			std::advance(it, std::uniform_int_distribution<size_t>(0, held.size() - 1)(random));
			did << "release " << *it;
			postKey(EKEY_CODE(*it), false);
			held.erase(it);
			return did.str();
		}
		const Key key = pick(Keys);
		did << "press " << key.code << " '" << char(key.character) << "'";
		postKey(key.code, true, key.character, key.control);
		if (std::find(std::begin(Taps), std::end(Taps), key.code) == std::end(Taps))
			held.insert(key.code);
		else
			postKey(key.code, false, key.character, key.control);
		return did.str();
	}

	std::string focusAnEditBox()
	{
		gui::IGUIEditBox* boxes[] = {editor->sow_editboxDir,   editor->sbw_editboxUp,
		                             editor->sbw_editboxDown,  editor->sbw_editboxLeft,
		                             editor->sbw_editboxRight, editor->sbw_editboxFront,
		                             editor->sbw_editboxBack,  editor->mpw_boxFileName,
		                             editor->mpw_boxTexture,   editor->mpw_boxTexture2};
		gui::IGUIEditBox* box = pick(boxes);
		box->getParent()->setVisible(true);
		editor->_gui->getRootGUIElement()->bringToFront(box->getParent());
		click(box);
		return "focus edit box " + std::to_string(box->getID());
	}

	// A user in the dialog: a good, missing or malformed file, or Cancel.
	std::string answerDialog()
	{
		const std::string* files[] = {&goodMesh, &goodTexture, &malformed, &notAMesh, &level};
		switch (std::uniform_int_distribution<int>(0, 3)(random))
		{
		case 0: clickDialogButton(L"Cancel"); return "cancel";
		case 1:
		{
			// Listed in the dialog, gone by the time "OK" is pressed.
			const std::string gone = inFolder("gone", "gone.md2", ReadFile(goodMesh));
			chooseFile(gone, [&] { unlink(gone.c_str()); });
			return "missing file";
		}
		default:
		{
			const std::string* file = pick(files);
			if (file == &level && !chance(0.2))
				file = &goodMesh; // the level is slow to load; choose it less often
			chooseFile(*file);
			return "file " + *file;
		}
		}
	}

	// Every rule the editor keeps, whatever the user did.
	void checkInvariants()
	{
		ASSERT_TRUE(editor->DocumentShowsScene()) << "an edit reached a node and not the document";
		ASSERT_GE(editor->current_model, 0);
		ASSERT_LE(editor->current_model, CSceneEditor::MODEL_SLOTS - 1);
		ASSERT_EQ(nullptr, editor->Model[0]) << "slot 0 is never used";
		std::set<scene::ISceneNode*> reachable = {editor->Camera,     editor->Positioner,
		                                          editor->LevelPlane, editor->Q3LevelNode,
		                                          editor->SkyBox,     editor->Terrain};
		bool selectionFound = editor->SelectedModel == nullptr;
		for (int i = 1; i < CSceneEditor::MODEL_SLOTS; ++i)
		{
			CModel* model = editor->Model[i];
			if (!model)
				continue;
			const bool particles = model->MODEL_TYPE == CModel::TYPE_PARTICLES;
			ASSERT_TRUE(particles || model->MODEL_TYPE == CModel::TYPE_MESH) << i;
			scene::ISceneNode* node = particles ? model->Node : model->AnimatedNode;
			if (node)
			{
				ASSERT_LE(i, editor->current_model)
				    << "a node in slot " << i << " past the counter";
				ASSERT_EQ(i, node->getID()) << "node id of slot " << i;
				reachable.insert(node);
			}
			if (model == editor->SelectedModel)
				selectionFound = node != nullptr;
		}
		if (editor->Water->Node)
		{
			reachable.insert(editor->Water->Node);
			ASSERT_EQ(ID_WATER_NODE, editor->Water->Node->getID());
		}
		if (editor->SelectedModel == editor->Water)
			selectionFound = editor->Water->Node != nullptr;
		ASSERT_TRUE(selectionFound) << "the selection is outside the table and the water";

		for (scene::ISceneNode* node : editor->_smgr->getRootSceneNode()->getChildren())
		{
			const bool light = node->getType() == scene::ESNT_LIGHT;
			ASSERT_TRUE(light || reachable.count(node))
			    << "a node of type " << node->getType() << " and id " << node->getID()
			    << " that no field or slot reaches";
		}
		for (int k = 0; k < CSceneEditor::KEY_ENTRIES && held.empty(); ++k)
			ASSERT_FALSE(editor->key[k]) << "key " << k << " stays down with no key held";
	}

	std::mt19937 random;
	std::set<int> held;
	std::string goodMesh, goodTexture, malformed, notAMesh, level, exportDir;
};

TEST_P(MonkeyTest, TheEditorKeepsItsRulesUnderRandomInput)
{
	const int seed = SeedFromEnvironment() >= 0 ? SeedFromEnvironment() : GetParam();
	random.seed(seed);
	// Nothing here hangs: the level may take what a slow machine needs.
	editor->LoadChecker.BaseSeconds = NEVER_TIMES_OUT;
	const std::string empty = DescribeScene(editor);
	const int events = 1500;
	for (int i = 0; i < events; ++i)
	{
		const std::string did = act();
		checkInvariants();
		if (HasFatalFailure() || HasFailure())
		{
			ADD_FAILURE() << "replay with TOLVANE_MONKEY_SEED=" << seed << "; event " << i << ": "
			              << did;
			return;
		}
		ASSERT_TRUE(editor->_device->run()) << "the editor closed; event " << i << ": " << did;
	}
	// Letting go of every key leaves the key table empty.
	for (int code : held)
		postKey(EKEY_CODE(code), false);
	held.clear();
	checkInvariants();

	// Every step taken back gives the empty scene again; every step brought
	// back gives the scene the monkey left.
	dismissMessages();
	frame();
	const std::string left = DescribeScene(editor);
	size_t steps = 0;
	while (editor->Undo())
		++steps;
	ASSERT_LT(steps, CSceneEditor::UNDO_STEPS) << "the history reaches back to the start";
	frame();
	EXPECT_EQ(empty, DescribeScene(editor)) << "seed " << seed << ", " << steps << " steps";
	checkInvariants();
	while (editor->Redo())
		;
	frame();
	EXPECT_EQ(left, DescribeScene(editor)) << "seed " << seed;
	checkInvariants();
}

INSTANTIATE_TEST_SUITE_P(Seeds, MonkeyTest, ::testing::Values(1, 2, 3, 4));
