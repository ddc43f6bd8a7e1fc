#include "EditorTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

void EditorTest::SetUp()
{
	// Recovery files stay in this process's own folder.
	setenv("XDG_STATE_HOME", (ScratchDir() + "/state").c_str(), 1);
	// Every test starts with no recent scenes.
	std::remove(CRecentScenes::DefaultFile().c_str());
	editor = new CSceneEditor;
	// Time passes only while the editor waits: every test runs the same at
	// any speed, and a pass at rest costs nothing.
	editor->Now = [this] { return clock; };
	editor->Sleep = [this](double seconds) { clock += seconds; };
	editor->Init(video::EDT_NULL);
	ASSERT_EQ("", editor->StartupError);
	ASSERT_NE(nullptr, editor->_device);
}

void EditorTest::TearDown()
{
	delete editor;
}

bool EditorTest::postKey(EKEY_CODE code, bool pressed, wchar_t ch, bool control, bool shift)
{
	SEvent event;
	event.EventType = EET_KEY_INPUT_EVENT;
	event.KeyInput.Key = code;
	event.KeyInput.PressedDown = pressed;
	event.KeyInput.Char = ch;
	event.KeyInput.Control = control;
	event.KeyInput.Shift = shift;
	return editor->_device->postEventFromUser(event);
}

void EditorTest::holdKeys(std::initializer_list<EKEY_CODE> codes, int frames)
{
	for (EKEY_CODE c : codes)
		postKey(c, true);
	runFor(frames / CSceneEditor::STEPS_PER_SECOND);
	for (EKEY_CODE c : codes)
		postKey(c, false);
}

void EditorTest::runFor(double seconds)
{
	const double end = clock + seconds - 1e-9;
	while (clock < end)
		editor->Update();
}

void EditorTest::frame()
{
	editor->Update();
	editor->_smgr->drawAll();
}

CModel* EditorTest::placeModel(int slot, const char* mesh)
{
	scene::IAnimatedMesh* m = editor->_smgr->getMesh(MediaFile(mesh).c_str());
	EXPECT_NE(nullptr, m) << mesh;
	CModel* model = new CModel(editor->_smgr);
	model->AnimatedNode = editor->_smgr->addAnimatedMeshSceneNode(m, 0, slot);
	model->MODEL_TYPE = CModel::TYPE_MESH;
	delete editor->Model[slot];
	editor->Model[slot] = model;
	return model;
}

std::string MediaFile(const std::string& name)
{
	const std::string packed = std::string(IRRLICHT_MEDIA_DIR) + "/" + name;
	if (access(packed.c_str(), R_OK) == 0)
		return packed;
	const std::string dir = "/tmp/tolvane-media-" + std::to_string(getuid());
	mkdir(dir.c_str(), 0700);
	const std::string unpacked = dir + "/" + name;
	if (access(unpacked.c_str(), R_OK) != 0)
	{
		const std::string tmp = unpacked + "." + std::to_string(getpid());
		const std::string command =
		    "gzip -dc '" + packed + ".gz' > '" + tmp + "' && mv '" + tmp + "' '" + unpacked + "'";
		if (std::system(command.c_str()) != 0)
			ADD_FAILURE() << "cannot unpack " << packed << ".gz";
	}
	return unpacked;
}

namespace
{
int CountBelow(scene::ISceneNode* node, scene::ESCENE_NODE_TYPE type)
{
	int count = 0;
	for (scene::ISceneNode* child : node->getChildren())
		count += (child->getType() == type) + CountBelow(child, type);
	return count;
}
} // namespace

int CountNodes(scene::ISceneManager* smgr, scene::ESCENE_NODE_TYPE type)
{
	return CountBelow(smgr->getRootSceneNode(), type);
}

::testing::AssertionResult VecNear(const core::vector3df& expected, const core::vector3df& actual,
                                   f32 tolerance)
{
	if (expected.equals(actual, tolerance))
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure()
	       << "expected (" << expected.X << ", " << expected.Y << ", " << expected.Z << "), got ("
	       << actual.X << ", " << actual.Y << ", " << actual.Z << ")";
}

namespace
{
SEvent MouseEvent(EMOUSE_INPUT_EVENT what, s32 x, s32 y, u32 buttons)
{
	SEvent event;
	event.EventType = EET_MOUSE_INPUT_EVENT;
	event.MouseInput.Event = what;
	event.MouseInput.X = x;
	event.MouseInput.Y = y;
	event.MouseInput.Wheel = 0;
	event.MouseInput.ButtonStates = buttons;
	event.MouseInput.Shift = event.MouseInput.Control = false;
	return event;
}

void Collect(gui::IGUIElement* element, gui::EGUI_ELEMENT_TYPE type,
             std::vector<gui::IGUIElement*>& found)
{
	for (gui::IGUIElement* child : element->getChildren())
	{
		if (child->getType() == type)
			found.push_back(child);
		Collect(child, type, found);
	}
}

// Finds the (sub)menu holding a command and the chain of items leading to it.
bool FindCommand(gui::IGUIContextMenu* menu, s32 commandId, std::vector<u32>& path)
{
	for (u32 i = 0; i < menu->getItemCount(); ++i)
	{
		path.push_back(i);
		if (menu->getItemCommandId(i) == commandId)
			return true;
		if (menu->getSubMenu(i) && FindCommand(menu->getSubMenu(i), commandId, path))
			return true;
		path.pop_back();
	}
	return false;
}
} // namespace

gui::IGUIElement* FindElement(gui::IGUIElement* root, gui::EGUI_ELEMENT_TYPE type, s32 id)
{
	std::vector<gui::IGUIElement*> found;
	Collect(root, type, found);
	for (gui::IGUIElement* e : found)
		if (id == -2 || e->getID() == id)
			return e;
	return nullptr;
}

void EditorTest::moveMouse(s32 x, s32 y)
{
	editor->_device->getCursorControl()->setPosition(x, y);
	editor->_device->postEventFromUser(MouseEvent(EMIE_MOUSE_MOVED, x, y, 0));
}

void EditorTest::mouseEvent(EMOUSE_INPUT_EVENT what, s32 x, s32 y, u32 buttons)
{
	editor->_device->getCursorControl()->setPosition(x, y);
	editor->_device->postEventFromUser(MouseEvent(what, x, y, buttons));
}

void EditorTest::clickAt(s32 x, s32 y)
{
	moveMouse(x, y);
	editor->_device->postEventFromUser(MouseEvent(EMIE_LMOUSE_PRESSED_DOWN, x, y, EMBSM_LEFT));
	editor->_device->postEventFromUser(MouseEvent(EMIE_LMOUSE_LEFT_UP, x, y, 0));
}

void EditorTest::click(gui::IGUIElement* element)
{
	ASSERT_NE(nullptr, element);
	const core::position2d<s32> centre = element->getAbsoluteClippingRect().getCenter();
	clickAt(centre.X, centre.Y);
}

void EditorTest::pressKey(EKEY_CODE code, wchar_t ch)
{
	postKey(code, true, ch);
	postKey(code, false, ch);
}

void EditorTest::typeText(const wchar_t* text)
{
	for (const wchar_t* c = text; *c; ++c)
		pressKey(KEY_KEY_A, *c); // edit boxes insert the character
}

bool EditorTest::chooseMenu(s32 commandId)
{
	gui::IGUIContextMenu* bar = static_cast<gui::IGUIContextMenu*>(
	    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_MENU));
	std::vector<u32> path;
	if (!bar || !FindCommand(bar, commandId, path))
		return false;
	// Open the first menu, then slide along the bar to the wanted one.
	const s32 barY = bar->getAbsolutePosition().getCenter().Y;
	clickAt(5, barY);
	for (s32 x = 5; bar->getSelectedItem() != s32(path[0]); x += 2)
	{
		if (x > bar->getAbsolutePosition().LowerRightCorner.X)
			return false;
		moveMouse(x, barY);
	}
	// Then down each submenu to the item, hovering to open nested ones.
	gui::IGUIContextMenu* menu = bar;
	core::position2d<s32> at;
	for (size_t level = 1; level < path.size(); ++level)
	{
		menu = menu->getSubMenu(path[level - 1]);
		const core::rect<s32> box = menu->getAbsolutePosition();
		bool found = false;
		for (s32 y = box.UpperLeftCorner.Y + 1; y < box.LowerRightCorner.Y && !found; ++y)
		{
			at.set(box.UpperLeftCorner.X + 10, y);
			moveMouse(at.X, at.Y);
			found = menu->getSelectedItem() == s32(path[level]);
		}
		if (!found)
			return false;
	}
	editor->_device->postEventFromUser(MouseEvent(EMIE_LMOUSE_PRESSED_DOWN, at.X, at.Y, 1));
	editor->_device->postEventFromUser(MouseEvent(EMIE_LMOUSE_LEFT_UP, at.X, at.Y, 0));
	return true;
}

void EditorTest::clickButton(s32 id)
{
	gui::IGUIElement* button =
	    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_BUTTON, id);
	ASSERT_NE(nullptr, button) << "button " << id;
	// The pointer comes first, as a user's would, before the window is raised.
	moveMouse(button->getAbsolutePosition().getCenter().X,
	          button->getAbsolutePosition().getCenter().Y);
	button->getParent()->setVisible(true);
	editor->_gui->getRootGUIElement()->bringToFront(button->getParent());
	click(button);
}

gui::IGUIFileOpenDialog* EditorTest::openDialog()
{
	return static_cast<gui::IGUIFileOpenDialog*>(
	    FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_FILE_OPEN_DIALOG));
}

gui::IGUIEditBox* EditorTest::typeDialogFolder(const std::string& folder)
{
	gui::IGUIFileOpenDialog* dialog = openDialog();
	gui::IGUIEditBox* field =
	    dialog ? static_cast<gui::IGUIEditBox*>(FindElement(dialog, gui::EGUIET_EDIT_BOX)) : 0;
	if (!field)
		return 0;
	// The click lands mid-text: clear both sides of the cursor.
	click(field);
	for (int i = 0; i < 400; ++i)
		pressKey(KEY_BACK);
	for (int i = 0; i < 400; ++i)
		pressKey(KEY_DELETE);
	typeText(core::stringw(folder.c_str()).c_str());
	pressKey(KEY_RETURN);
	return field;
}

bool EditorTest::chooseFile(const std::string& path, const std::function<void()>& beforeOk)
{
	gui::IGUIFileOpenDialog* dialog = openDialog();
	if (!dialog)
		return false;
	const std::string folder = path.substr(0, path.find_last_of('/'));
	const std::string name = path.substr(path.find_last_of('/') + 1);

	gui::IGUIEditBox* field = typeDialogFolder(folder);
	if (!field)
		return false;

	gui::IGUIListBox* list =
	    static_cast<gui::IGUIListBox*>(FindElement(dialog, gui::EGUIET_LIST_BOX));
	s32 index = -1;
	for (u32 i = 0; list && i < list->getItemCount(); ++i)
		if (core::stringw(name.c_str()) == list->getListItem(i))
			index = i;
	if (index < 0)
	{
		ADD_FAILURE() << "no " << name << " in the dialog's list of "
		              << core::stringc(dialog->getDirectoryName()).c_str() << " (path field "
		              << core::stringc(field->getText()).c_str() << ")";
		return false;
	}
	// Click the file's row, then "OK".
	const core::rect<s32> box = list->getAbsolutePosition();
	const s32 x = box.UpperLeftCorner.X + 10;
	bool clicked = false;
	for (s32 y = box.UpperLeftCorner.Y + 2; y < box.LowerRightCorner.Y && !clicked; ++y)
		if (list->getItemAt(x, y) == index)
		{
			clickAt(x, y);
			clicked = true;
		}
	if (!clicked)
	{
		ADD_FAILURE() << "cannot see " << name << " in the dialog's list without scrolling";
		return false;
	}
	if (beforeOk)
		beforeOk();
	return clickDialogButton(L"OK");
}

bool EditorTest::clickDialogButton(const wchar_t* caption)
{
	gui::IGUIFileOpenDialog* dialog = openDialog();
	for (gui::IGUIElement* child : dialog ? dialog->getChildren() : core::list<gui::IGUIElement*>())
		if (child->getType() == gui::EGUIET_BUTTON && core::stringw(caption) == child->getText())
		{
			click(child);
			return true;
		}
	return false;
}

std::vector<EditorTest::Message> EditorTest::messages()
{
	std::vector<gui::IGUIElement*> boxes;
	Collect(editor->_gui->getRootGUIElement(), gui::EGUIET_MESSAGE_BOX, boxes);
	std::vector<Message> found;
	for (gui::IGUIElement* box : boxes)
	{
		gui::IGUIElement* text = nullptr;
		for (gui::IGUIElement* child : box->getChildren())
			if (child->getType() == gui::EGUIET_STATIC_TEXT)
				text = child;
		found.push_back({box->getText(), text ? text->getText() : L""});
	}
	return found;
}

void EditorTest::dismissMessages()
{
	std::vector<gui::IGUIElement*> boxes;
	Collect(editor->_gui->getRootGUIElement(), gui::EGUIET_MESSAGE_BOX, boxes);
	for (auto it = boxes.rbegin(); it != boxes.rend(); ++it)
		for (gui::IGUIElement* child : (*it)->getChildren())
			if (child->getType() == gui::EGUIET_BUTTON)
			{
				click(child);
				break;
			}
}

namespace
{
std::string& ScratchPath()
{
	static std::string dir;
	return dir;
}

void RemoveScratchDir()
{
	std::error_code ignored;
	std::filesystem::remove_all(ScratchPath(), ignored);
	ScratchPath().clear();
}

// Every test starts with a scratch folder of its own, empty, also when the
// tests share one process: a file dialog there lists only its own files.
class CFreshScratchDir : public testing::EmptyTestEventListener
{
	void OnTestStart(const testing::TestInfo&) override { RemoveScratchDir(); }
};
const bool FreshScratchDirs =
    (testing::UnitTest::GetInstance()->listeners().Append(new CFreshScratchDir), true);
} // namespace

std::string ScratchDir()
{
	static const int removedAtExit = std::atexit(RemoveScratchDir);
	(void)removedAtExit;
	std::string& dir = ScratchPath();
	if (dir.empty())
	{
		char tmpl[] = "/tmp/tolvane-test-XXXXXX";
		dir = mkdtemp(tmpl);
	}
	return dir;
}

std::string WriteFile(const std::string& name, const std::string& bytes)
{
	const std::string path = ScratchDir() + "/" + name;
	std::ofstream(path, std::ios::binary) << bytes;
	return path;
}

std::string ReadFile(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

namespace
{
std::string BigEndian(uint32_t value, int bytes)
{
	std::string out;
	for (int i = bytes - 1; i >= 0; --i)
		out += char((value >> (8 * i)) & 0xff);
	return out;
}

std::string Chunk(const std::string& tag, const std::string& data)
{
	return tag + BigEndian(data.size(), 4) + data + (data.size() % 2 ? std::string(1, 0) : "");
}
} // namespace

std::string HangingMeshFile()
{
	// A LightWave 5 object whose surface carries an "ALPH" sub-chunk: the
	// engine's loader never leaves it.
	const std::string zero(4, 0);
	const std::string one = BigEndian(0x3f800000, 4);
	const std::string points = zero + zero + zero + one + zero + zero + zero + one + zero;
	const std::string polygons =
	    BigEndian(3, 2) + BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(2, 2) + BigEndian(1, 2);
	const std::string surface = std::string("Test\0\0", 6) + "ALPH" + BigEndian(4, 2) +
	                            BigEndian(2, 2) + BigEndian(0xff, 2);
	const std::string body = "LWOB" + Chunk("SRFS", std::string("Test\0\0", 6)) +
	                         Chunk("PNTS", points) + Chunk("POLS", polygons) +
	                         Chunk("SURF", surface);
	return WriteFile("hangs.lwo", "FORM" + BigEndian(body.size(), 4) + body);
}

std::string FixtureCopy(const std::string& media)
{
	return WriteFile(media, ReadFile(MediaFile(media)));
}

std::wstring EditorTest::answer()
{
	const std::vector<Message> shown = messages();
	dismissMessages();
	if (shown.size() != 1)
		return std::to_wstring(shown.size()) + L" message boxes";
	return shown[0].caption + L": " + shown[0].text;
}

namespace
{
std::string Vec(const core::vector3df& v)
{
	char text[100];
	std::snprintf(text, sizeof text, "(%.9g %.9g %.9g)", v.X, v.Y, v.Z);
	return text;
}

std::string Textures(scene::ISceneNode* node)
{
	std::string text;
	for (u32 i = 0; i < node->getMaterialCount(); ++i)
		for (u32 layer = 0; layer < 2; ++layer)
		{
			video::ITexture* texture = node->getMaterial(i).getTexture(layer);
			text += std::string(" ") + (texture ? texture->getName().getPath().c_str() : "-");
		}
	return text;
}
} // namespace

// Everything a step may change, as text: every model's fields, node,
// material and textures, the world geometry, the colours and the marker.
std::string DescribeScene(CSceneEditor* editor)
{
	std::ostringstream out;
	scene::IMeshCache* cache = editor->_smgr->getMeshCache();
	for (int slot = 0; slot < CSceneEditor::MODEL_SLOTS; ++slot)
	{
		CModel* model = editor->ObjectAt(slot);
		const SModelState* record = editor->Document.Object(slot);
		scene::ISceneNode* node = !model                ? 0
		                          : model->AnimatedNode ? model->AnimatedNode
		                                                : model->Node;
		if (!node)
			continue;
		const video::SMaterial& material = node->getMaterial(0);
		out << slot << " ";
		if (model->AnimatedNode)
			out << cache->getMeshName(model->AnimatedNode->getMesh()).getPath().c_str() << " ";
		else
			out << "node type " << node->getType() << " waves " << model->water_WaveHeight << " "
			    << model->water_WaveLength << " " << model->water_WaveSpeed << " ";
		out << Vec(node->getPosition()) << Vec(node->getRotation()) << Vec(node->getScale())
		    << " type " << material.MaterialType << " light " << material.Lighting << " wire "
		    << material.Wireframe << " fog " << material.FogEnable << Textures(node) << " | "
		    << model->MODEL_TYPE << " " << model->MaterialType << " " << model->Shadow << model->Fog
		    << model->Lighting << model->Wireframe << " " << core::stringc(model->FileName).c_str()
		    << "|" << core::stringc(model->TextureName).c_str() << "|"
		    << core::stringc(model->TextureName2).c_str() << " shown " << node->isVisible()
		    << " locked " << (record && record->Locked) << "\n";
	}
	for (int slot = 1; slot < CSceneEditor::MODEL_SLOTS; ++slot)
	{
		CModel* system = editor->Model[slot];
		if (!system || system->MODEL_TYPE != CModel::TYPE_PARTICLES || !system->Node)
			continue;
		out << slot << " particles " << system->Node->getID() << " " << system->MaterialType
		    << Textures(system->Node) << " |";
		for (f32 value : system->Values)
			out << " " << value;
		// The engine's emitter and affectors, as it writes them.
		io::IAttributes* a = editor->_device->getFileSystem()->createEmptyAttributes(0);
		system->Node->serializeAttributes(a);
		for (u32 i = 0; i < a->getAttributeCount(); ++i)
			if (std::string(a->getAttributeName(i)) != "DebugDataVisible")
				out << " " << a->getAttributeName(i) << "="
				    << core::stringc(a->getAttributeAsString(i)).c_str();
		a->drop();
		out << "\n";
	}
	// Whether each piece is shown, and locked.
	const SWorldState& world = editor->Document.World();
	const scene::ISceneNode* pieces[] = {editor->LevelPlane, editor->Terrain, editor->Q3LevelNode,
	                                     editor->SkyBox};
	for (const scene::ISceneNode* piece : pieces)
		out << (piece && piece->isVisible());
	out << world.Plane.Locked << world.Terrain.Locked << world.Level.Locked << world.SkyLocked
	    << "\n";
	if (editor->LevelPlane)
		out << "plane" << Textures(editor->LevelPlane) << "\n";
	if (editor->Terrain)
		out << "terrain " << Vec(editor->Terrain->getBoundingBox().MaxEdge)
		    << Textures(editor->Terrain) << "\n";
	if (editor->Q3LevelNode)
		out << "level " << editor->Q3LevelNode->getMaterialCount() << "\n";
	if (editor->SkyBox)
		out << "sky" << Textures(editor->SkyBox) << "\n";
	for (gui::IGUIScrollBar* bar :
	     {editor->spw_refresh_redbar, editor->spw_refresh_greenbar, editor->spw_refresh_bluebar,
	      editor->sbw_red, editor->sbw_green, editor->sbw_blue})
		out << bar->getPos() << " ";
	out << "marker " << Vec(editor->Positioner->getPosition())
	    << Vec(editor->Positioner->getRotation()) << " slot " << editor->current_model << "\n";
	return out.str();
}

bool LoadSampleSkyBox(CSceneEditor* editor)
{
	const std::string face = MediaFile("irrlicht2_up.jpg");
	editor->sbw_editboxDir->setText(
	    core::stringw(face.substr(0, face.rfind('/') + 1).c_str()).c_str());
	const wchar_t* const faces[] = {L"irrlicht2_up.jpg", L"irrlicht2_dn.jpg", L"irrlicht2_lf.jpg",
	                                L"irrlicht2_rt.jpg", L"irrlicht2_ft.jpg", L"irrlicht2_bk.jpg"};
	gui::IGUIEditBox* boxes[] = {editor->sbw_editboxUp,    editor->sbw_editboxDown,
	                             editor->sbw_editboxLeft,  editor->sbw_editboxRight,
	                             editor->sbw_editboxFront, editor->sbw_editboxBack};
	for (int i = 0; i < 6; ++i)
		boxes[i]->setText(faces[i]);
	return editor->LoadSkyBox();
}
