// The editor's start-up, frame drawing, per-frame update, tool-window
// builders, scene clearing and selection.
#include "CSceneEditor.h"

#include <chrono>
#include <thread>
#include <unistd.h>

#include "CEventRec.h"
#include "COrbitCamera.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "InstallPaths.h"
#include "ModelShadow.h"
#include "ObjectKinds.h"
#include "XErrorGuard.h"
#include "XInput.h"
#include "XSession.h"

gui::IGUIWindow* CSceneEditor::ScenePropertiesWindow = 0;
gui::IGUIWindow* CSceneEditor::WorldMainWindow = 0;
const EKEY_CODE CSceneEditor::MovementKeys[10] = {
    KEY_NUMPAD2, KEY_NUMPAD3, KEY_NUMPAD4, KEY_NUMPAD6, KEY_NUMPAD8,
    KEY_NUMPAD9, KEY_UP,      KEY_DOWN,    KEY_LEFT,    KEY_RIGHT};
gui::IGUIWindow* CSceneEditor::AboutWindow = 0;
gui::IGUIWindow* CSceneEditor::ModelPropertiesWindow = 0;
gui::IGUIWindow* CSceneEditor::SkyBoxWindow = 0;
gui::IGUIWindow* CSceneEditor::WaterPropertiesWindow = 0;

namespace
{
const char* const FontFile = "main_font.bmp";
const char* const PositionerMeshFile = "positioner.ms3d";
const char* const PositionerTextureFile = "positioner_sk.bmp";
const char* const LogoFile = "logo.jpg";

// One of the editor's data files, from the working directory's Data/ or the
// installed data folder.
io::path DataFile(const char* name)
{
	return (DataFolder() + name).c_str();
}

// Movement per step (STEPS_PER_SECOND steps a second of holding a key).
const f32 MoveStep = 3.0f;
const f32 ClimbStep = 2.0f;
const f32 TurnStep = 2.0f;

// Horizontal unit heading for a rotation about Y given in degrees.
core::vector3df Heading(f32 yDegrees)
{
	const f32 a = yDegrees * 3.14159f / 180.0f;
	return core::vector3df(sinf(a), 0.0f, cosf(a));
}

core::vector3df TurnedAboutY(const core::vector3df& rotation, f32 degrees)
{
	return core::vector3df(0.0f, rotation.Y + degrees, 0.0f);
}

// The working directory as a start-up error names it.
std::string ShownWorkingDirectory()
{
	const std::string folder = WorkingDirectory();
	return folder.empty() ? "(unknown)" : folder;
}

// Takes a node out of the scene and forgets it.
template <typename Node> void RemoveNode(Node*& node)
{
	if (!node)
		return;
	node->remove();
	node = 0;
}

void SetNumberLabel(gui::IGUIStaticText* label, const gui::IGUIScrollBar* bar)
{
	if (label && bar)
		label->setText(core::stringw(bar->getPos()).c_str());
}
} // namespace

CSceneEditor::CSceneEditor()
    : event_rec(0), Camera(0), Positioner(0), Water(0), Terrain(0), LevelPlane(0), Q3LevelNode(0),
      Q3LevelMesh(0), SkyBox(0), current_model(0), SelectedModel(0), CameraMode(true), _device(0),
      _smgr(0), _driver(0), _gui(0), EditorInfoWindow(0), SaveOptionsWindow(0), EditorInfoText(0),
      mpw_render_type(0), wpw_render_type(0), mpw_shadowbox(0), mpw_fogbox(0), mpw_wirebox(0),
      mpw_lightbox(0), wmw_cameramodebox(0), sbw_editboxDir(0), sbw_editboxUp(0),
      sbw_editboxDown(0), sbw_editboxLeft(0), sbw_editboxRight(0), sbw_editboxFront(0),
      sbw_editboxBack(0), spw_refreshred(0), spw_refreshgreen(0), spw_refreshblue(0),
      spw_refresh_redbar(0), spw_refresh_greenbar(0), spw_refresh_bluebar(0), sbw_fogred(0),
      sbw_foggreen(0), sbw_fogblue(0), sbw_red(0), sbw_green(0), sbw_blue(0), mpw_scaleX(0),
      mpw_scaleY(0), mpw_scaleZ(0), mpw_scale_x(0), mpw_scale_y(0), mpw_scale_z(0),
      mpw_boxFileName(0), mpw_boxTexture(0), mpw_boxTexture2(0), sow_editboxDir(0),
      SaveSceneWindow(0), SaveSceneFileBox(0), MessageLog(0), 
      MouseButtonsHeld(0), LevelChooserWindow(0), LevelChooserList(0), WindowHadFocus(false),
      Orbit(0)
{
	for (int i = 0; i < MODEL_SLOTS; ++i)
		Model[i] = 0;
	for (int i = 0; i < KEY_ENTRIES; ++i)
		key[i] = false;
	for (SKeyHold& hold : Holds)
		hold = SKeyHold{false, 0.0, 0};
	Now = []
	{
		using namespace std::chrono;
		return duration<double>(steady_clock::now().time_since_epoch()).count();
	};
	Sleep = [](double seconds)
	{
		if (seconds > 0)
			std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
	};
}

// The device goes first (it releases the scene, the GUI and the window), then
// what the editor created itself.
CSceneEditor::~CSceneEditor()
{
	if (event_rec)
	{
		event_rec->DropClosedDialog();
		event_rec->ForgetFocusBeforeDialog();
	}
	if (_device)
		_device->drop();
	Loader.DropFreshLoaders();
	for (int i = 0; i < MODEL_SLOTS; ++i)
		delete Model[i];
	delete Water;
	delete event_rec;
	// The class-wide windows and the dialog's purpose belong to this
	// editor's GUI, which is gone: a next editor starts as the first did.
	ScenePropertiesWindow = WorldMainWindow = AboutWindow = ModelPropertiesWindow = 0;
	SkyBoxWindow = WaterPropertiesWindow = ParticleWindow = 0;
	LOAD_TYPE = LOAD_NONE;
}

void CSceneEditor::SetStartupError(const std::string& what)
{
	StartupError = what;
}

bool CSceneEditor::CreateDevice(video::E_DRIVER_TYPE driverType)
{
	InstallXErrorHandler();
	_device = createDevice(driverType, core::dimension2d<u32>(800, 600), 32, false, true, true,
	                       event_rec);
	if (_device)
		return true;
	const char* display = getenv("DISPLAY");
	if (!display || !*display)
		SetStartupError("cannot open the editor window: no X display (DISPLAY is not set)");
	else
		SetStartupError(std::string("cannot open the editor window: the X server at ") + display +
		                " or its OpenGL support is not available");
	return false;
}

void CSceneEditor::Init(video::E_DRIVER_TYPE driverType)
{
	event_rec = new CTLVEventRec(this);
	if (!CreateDevice(driverType))
		return;
	_device->setWindowCaption(L"0.0.7");
	_device->setResizable(true);
	_smgr = _device->getSceneManager();
	_driver = _device->getVideoDriver();
	_gui = _device->getGUIEnvironment();
	event_rec->SetGUIEnvironment(_gui, _device);
	Loader.Start();
	CameraMode = true;
	// The editor's own images are drawn at their size: mipmaps would only
	// cost start-up time (the software renderer compiles code for each).
	_driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, false);

	CreateFileProperties();
	CreateWorldDialogs();
	CreateObjectDialogs();
	CreateHelpDialogs();
	CreateWaterProperties();
	CreateLevelChooser();
	CreateSaveSceneWindow();
	Transform.Create();
	ObjectList.Create();
	Shelf.Create();
	GltfExport.Create();
	CreateParticleWindow();

	// The keys the per-frame update reads.
	for (EKEY_CODE k : MovementKeys)
		key[k] = false;
	key[KEY_CONTROL] = false;
	Water = new CModel(_smgr);

	MakeGuiOpaque();
	_gui->getSkin()->setColor(gui::EGDC_ACTIVE_BORDER, video::SColor(200, 25, 25, 75));
	if (!LoadGuiFont())
		return;
	CreateMenuBar();
	CreateCamera();
	if (!CreatePositioner())
		return;
	_smgr->addLightSceneNode(0, core::vector3df(1000, 5000, 300),
	                         video::SColorf(1.0f, 1.0f, 1.0f, 1.0f), 100000.0f, -1);
	CreateSceneInfoWindow();
	_driver->setTextureCreationFlag(video::ETCF_CREATE_MIP_MAPS, true);
	// The sky box fields start with the scene's names.
	KeepSkyBoxTexts();
	RecordStep(); // the empty scene, where undo stops
	Document.MarkSaved();
	// The first frame is drawn at once.
	View.DrawFirstFrameAtOnce();
	Keeper.Start();
}

// Every default colour from the darkest shadow through the window
// background gets full alpha.
void CSceneEditor::MakeGuiOpaque()
{
	gui::IGUISkin* skin = _gui->getSkin();
	for (s32 i = gui::EGDC_3D_DARK_SHADOW; i <= gui::EGDC_WINDOW; ++i)
	{
		const gui::EGUI_DEFAULT_COLOR which = static_cast<gui::EGUI_DEFAULT_COLOR>(i);
		video::SColor colour = skin->getColor(which);
		colour.setAlpha(255);
		skin->setColor(which, colour);
	}
}

bool CSceneEditor::LoadGuiFont()
{
	const io::path file = DataFile(FontFile);
	gui::IGUIFont* font = _gui->getFont(file);
	if (!font)
	{
		SetStartupError(std::string("cannot load the GUI font ") + file.c_str() +
		                " (working directory: " + ShownWorkingDirectory() + ")");
		return false;
	}
	_gui->getSkin()->setFont(font);
	return true;
}

void CSceneEditor::CreateCamera()
{
	// A plain camera with an orbit animator of our own: the engine's Maya
	// animator would move it off its start position on the first frame.
	Camera = _smgr->addCameraSceneNode(0, core::vector3df(0, 0, 0), core::vector3df(0, 0, 100), -1);
	Orbit = new COrbitCameraAnimator(_driver, -1500.0f, 500.0f);
	Camera->addAnimator(Orbit);
	Orbit->drop(); // the camera keeps it
	Camera->setPosition(CEditorView::START_POSITION);
	Camera->setTarget(CEditorView::START_TARGET);
}

bool CSceneEditor::CreatePositioner()
{
	const io::path meshFile = DataFile(PositionerMeshFile);
	const io::path textureFile = DataFile(PositionerTextureFile);
	scene::IAnimatedMesh* mesh = _smgr->getMesh(meshFile);
	video::ITexture* skin = mesh ? _driver->getTexture(textureFile) : 0;
	if (!mesh || !skin)
	{
		SetStartupError(std::string("cannot load the placement marker ") +
		                (mesh ? textureFile : meshFile).c_str() +
		                " (working directory: " + ShownWorkingDirectory() + ")");
		return false;
	}
	Positioner = _smgr->addAnimatedMeshSceneNode(
	    mesh, 0, -1, core::vector3df(0, 0, 0), core::vector3df(0, 0, 0), core::vector3df(1, 1, 1));
	Positioner->setMaterialFlag(video::EMF_LIGHTING, false);
	Positioner->setMaterialTexture(0, skin);
	Positioner->setPosition(core::vector3df(0, 0, 0));
	return true;
}

void CSceneEditor::CreateSceneInfoWindow()
{
	// Four lines: the frame statistics, the camera mode and the last save.
	EditorInfoWindow = _gui->addWindow(core::rect<s32>(30, 30, 300, 125), false,
	                                   L"Scene Information", 0, ID_PLAIN);
	EditorInfoWindow->getCloseButton()->setVisible(false);
	EditorInfoText = _gui->addStaticText(L"Scene Information", core::rect<s32>(10, 30, 280, 110),
	                                     false, true, EditorInfoWindow, ID_PLAIN);
	EditorInfoWindow->setVisible(true);
}

core::stringw CSceneEditor::SceneInfoText() const
{
	core::stringw text(_driver->getName());
	// A rate only while frames follow each other; at rest nothing is drawn.
	if (View.DrawRate() > 0)
	{
		text += L" - FPS:";
		text += View.DrawRate();
	}
	else
		text += L" - at rest";
	text += L"\nTriangles: ";
	text += _driver->getPrimitiveCountDrawn();
	text += L"\n";
	text += CameraMode ? L"CameraMode: On" : L"CameraMode: Off";
	if (!SavedFile.empty() && SavedFile == SceneFileName && !Document.Unsaved())
	{
		text += L"\nSaved ";
		text += FileNameToWide(SavedFile.substr(SavedFile.rfind('/') + 1)).c_str();
	}
	return text;
}

void CSceneEditor::Render()
{
	View.Draw();
}

video::SColor CSceneEditor::SceneColour() const
{
	const s32* bars = Document.World().Bars;
	if (!spw_refresh_redbar)
		return video::SColor(150, 50, 50, 100);
	return video::SColor(150, bars[0], bars[1], bars[2]);
}

void CSceneEditor::ClearScene()
{
	SelectedModel = 0;
	for (int slot = 0; slot < MODEL_SLOTS; ++slot)
		if (CModel* object = ObjectAt(slot))
			object->remove();
	current_model = 0;
	RemoveNode(Terrain);
	RemoveNode(LevelPlane);
	RemoveNode(Q3LevelNode);
	RemoveNode(SkyBox);
	SceneChanged();
}

void CSceneEditor::MovePositioner(const core::vector3df& forward)
{
	core::vector3df position = Positioner->getPosition();
	core::vector3df rotation = Positioner->getRotation();
	if (key[KEY_NUMPAD2])
		position -= forward * MoveStep;
	if (key[KEY_NUMPAD3])
		position.Y -= ClimbStep;
	if (key[KEY_NUMPAD4])
		rotation = TurnedAboutY(rotation, -TurnStep);
	if (key[KEY_NUMPAD6])
		rotation = TurnedAboutY(rotation, TurnStep);
	if (key[KEY_NUMPAD8])
		position += forward * MoveStep;
	if (key[KEY_NUMPAD9])
		position.Y += ClimbStep;
	Execute(commands::EditWorld(
	    [&](SWorldState& world)
	    {
		    world.MarkerPosition = KeptInWorld(position);
		    world.MarkerRotation = KeptInWorld(rotation);
	    }));
}

void CSceneEditor::TakeSteps(const int (&due)[MOVEMENT_KEYS])
{
	int steps = 0;
	for (int n : due)
		steps = core::max_(steps, n);
	if (steps == 0)
		return;
	// The step bodies read the key table: each step sees the keys that
	// still owe it, then the table is put back.
	bool held[MOVEMENT_KEYS];
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
		held[i] = key[MovementKeys[i]];
	for (int step = 0; step < steps; ++step)
	{
		for (int i = 0; i < MOVEMENT_KEYS; ++i)
			key[MovementKeys[i]] = due[i] > step;
		// A turn and a move in one step move along the heading from before.
		const core::vector3df forward = Heading(Positioner->getRotation().Y);
		const core::vector3df mforward =
		    SelectedModel ? Heading(SelectedModel->getRotation().Y) : core::vector3df(0, 0, 0);
		MovePositioner(forward);
		if (SelectedModel)
			MoveSelectedModel(mforward);
	}
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
		key[MovementKeys[i]] = held[i];
}

// A hold owes one step at once and one more for every step time it lasts
// beyond that: a tap is one step, one second of holding is
// STEPS_PER_SECOND steps, however the frames fall.
int CSceneEditor::StepsOwed(const SKeyHold& hold, double now) const
{
	// The slack keeps a clock that adds up step times from counting one
	// step too many through rounding.
	const double steps = std::ceil((now - hold.since) * STEPS_PER_SECOND - 1e-3);
	return core::max_(1, static_cast<int>(steps));
}

void CSceneEditor::TakeDueSteps()
{
	const double now = Now();
	int due[MOVEMENT_KEYS] = {};
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
		if (Holds[i].held)
		{
			due[i] = StepsOwed(Holds[i], now) - Holds[i].taken;
			Holds[i].taken += due[i];
		}
	TakeSteps(due);
}

void CSceneEditor::KeysChanged()
{
	const double now = Now();
	int due[MOVEMENT_KEYS] = {};
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
	{
		SKeyHold& hold = Holds[i];
		const bool down = key[MovementKeys[i]];
		if (down == hold.held)
			continue;
		if (down)
			hold = SKeyHold{true, now, 0};
		hold.held = down;
		// A new hold takes its first step now; an ended one what it owes.
		due[i] = StepsOwed(hold, now) - hold.taken;
		hold.taken += due[i];
	}
	// A released key is already up in the table; TakeSteps holds it down
	// for the steps it still owes. A hold is an edit: its steps are one.
	bool held = false;
	for (int i = 0; i < MOVEMENT_KEYS; ++i)
		held = held || Holds[i].held;
	if (held)
		BeginEdit(EDIT_KEYS);
	TakeSteps(due);
	if (!held)
		EndEdit(EDIT_KEYS);
}

void CSceneEditor::MoveSelectedModel(const core::vector3df& mforward)
{
	CModel* m = SelectedModel;
	const bool control = key[KEY_CONTROL];
	core::vector3df position = m->getPosition();
	core::vector3df rotation = m->getRotation();
	if (control && key[KEY_UP])
		position.Y += ClimbStep;
	if (control && key[KEY_DOWN])
		position.Y -= ClimbStep;
	if (!control && key[KEY_UP])
		position += mforward * MoveStep;
	if (!control && key[KEY_DOWN])
		position -= mforward * MoveStep;
	if (key[KEY_LEFT])
		rotation = TurnedAboutY(rotation, -TurnStep);
	if (key[KEY_RIGHT])
		rotation = TurnedAboutY(rotation, TurnStep);
	SetTransformOf(m, position, rotation, m->getScale());
}

void CSceneEditor::UpdateValueLabels()
{
	if (sbw_blue)
	{
		SetNumberLabel(sbw_fogred, sbw_red);
		SetNumberLabel(sbw_foggreen, sbw_green);
		SetNumberLabel(sbw_fogblue, sbw_blue);
	}
	if (spw_refresh_bluebar)
	{
		SetNumberLabel(spw_refreshred, spw_refresh_redbar);
		SetNumberLabel(spw_refreshgreen, spw_refresh_greenbar);
		SetNumberLabel(spw_refreshblue, spw_refresh_bluebar);
	}
	if (mpw_scaleZ)
	{
		SetNumberLabel(mpw_scale_x, mpw_scaleX);
		SetNumberLabel(mpw_scale_y, mpw_scaleY);
		SetNumberLabel(mpw_scale_z, mpw_scaleZ);
	}
	for (int i = 0; i < 3; ++i)
		SetNumberLabel(WaveLabels[i], WaveBars[i]);
}

void CSceneEditor::ApplyFog()
{
	const s32* bars = Document.World().Bars;
	_driver->setFog(video::SColor(0, bars[3], bars[4], bars[5]), video::EFT_FOG_LINEAR, 50.0f,
	                100.0f, 0.01f, false, false);
}

bool CSceneEditor::Update()
{
	if (!_device || !StartupError.empty())
		return false;
	View.WaitForWork();
	UpdateState();
	const bool running = _device->run();
	if (running && TakeCloseRequest())
		RequestQuit();
	if (!running || !_driver)
		Keeper.EndRun();
	// X sends no release for a key let go while another window has the focus.
	const bool focused = _device->isWindowFocused();
	if (WindowHadFocus && !focused)
		ReleaseAllKeys();
	WindowHadFocus = focused;
	return running && _driver;
}

void CSceneEditor::UpdateState()
{
	if (SelectedModel)
	{
		UpdateSelectedModel();
		SelectedModel->setDebugDataVisible(true);
	}
	TakeDueSteps();
	// A focus left on a closed window goes, one waiting for it is given;
	// a field holding it is a typed edit going on.
	FollowEdits();

	MakeGuiOpaque();
	View.FollowWindowShape();
	// The camera always zooms, pans and flies; a left drag turns it only
	// while the mouse does not pick.
	Orbit->setLeftTurns(CameraMode);
	UpdateValueLabels();
	UpdateColourBars();
	View.FollowDocument();
	Transform.Update();
	ObjectList.Update();
	Shelf.Update();
	Keeper.KeepWork();
	ApplyFog();
}

bool CSceneEditor::ModalWindowOpen() const
{
	const auto modal = [](gui::IGUIElement* e)
	{ return e->isVisible() && e->getType() == gui::EGUIET_MODAL_SCREEN; };
	const core::list<gui::IGUIElement*>& windows = _gui->getRootGUIElement()->getChildren();
	for (gui::IGUIElement* window : windows)
	{
		if (modal(window))
			return true;
		// A question may stand in a frame of its own (the recovery question's).
		if (window->isVisible())
			for (gui::IGUIElement* inner : window->getChildren())
				if (modal(inner))
					return true;
	}
	return false;
}

void CSceneEditor::ReleaseAllKeys()
{
	for (bool& down : key)
		down = false;
	KeysChanged();
}

// ---------------------------------------------------------------------------
// Menu bar and tool windows

namespace
{
typedef core::rect<s32> Rect;

const wchar_t* const DefaultFolder = L"C:\\FOLDER\\";

// One menu item; an id of -1 with no text is a separator.
struct MenuItem
{
	const wchar_t* text;
	s32 commandId;
	bool submenu = false;
};

const MenuItem FileMenu[] = {{L"Clear", ID_MENU_CLEAR},
                             {0, ID_NONE},
                             {L"Open Scene", ID_MENU_OPEN_SCENE},
                             {L"Open Recent", ID_MENU_OPEN_RECENT, true},
                             {L"Save Scene", ID_MENU_SAVE_SCENE},
                             {0, ID_NONE},
                             {L"Save C++", ID_MENU_SAVE_CPP},
                             {L"Export glTF", ID_MENU_EXPORT_GLTF},
                             {0, ID_NONE},
                             {L"Properties", ID_MENU_FILE_PROPERTIES},
                             {0, ID_NONE},
                             {L"Quit", ID_MENU_QUIT}};
const MenuItem EditMenuItems[] = {{L"Undo", ID_MENU_UNDO}, {L"Redo", ID_MENU_REDO}};
const MenuItem ViewMenu[] = {{L"Scene Info", ID_MENU_SCENE_INFO},
                             {L"Scene Objects", ID_MENU_SCENE_OBJECTS},
                             {L"Assets", ID_MENU_ASSETS}};
const MenuItem WorldMenu[] = {{L"SkyBox Setup", ID_MENU_SKYBOX_SETUP},
                              {L"World Properties", ID_MENU_WORLD_PROPERTIES}};
const MenuItem ObjectMenu[] = {{L"Remove", ID_MENU_REMOVE},
                               {L"Properties", ID_MENU_OBJECT_PROPERTIES},
                               {L"Transform", ID_MENU_TRANSFORM},
                               {L"Drop to Floor", ID_MENU_DROP_TO_FLOOR}};
const MenuItem AddMenu[] = {{L"Model", ID_MENU_ADD_MODEL}, {L"Water", ID_MENU_ADD_WATER}};
const MenuItem ToolsMenu[] = {{L"Particle Editor", ID_MENU_PARTICLE_EDITOR}};
const MenuItem HelpMenu[] = {{L"About", ID_MENU_ABOUT}};

template <size_t N> void AddMenuItems(gui::IGUIContextMenu* submenu, const MenuItem (&items)[N])
{
	for (const MenuItem& item : items)
		if (item.text)
			submenu->addItem(item.text, item.commandId, true, item.submenu);
		else
			submenu->addSeparator();
}
} // namespace

void CSceneEditor::CreateMenuBar()
{
	gui::IGUIContextMenu* menu = _gui->addMenu(0, ID_NONE);
	const wchar_t* const titles[] = {L"File",   L"Edit",  L"View", L"World",
	                                 L"Object", L"Tools", L"Help"};
	for (const wchar_t* title : titles)
		menu->addItem(title, ID_NONE, true, true);

	AddMenuItems(menu->getSubMenu(0), FileMenu);
	RecentMenu = menu->getSubMenu(0)->getSubMenu(
	    menu->getSubMenu(0)->findItemWithCommandId(ID_MENU_OPEN_RECENT));
	RecentScenes.Load(CRecentScenes::DefaultFile());
	ShowRecentScenes();
	EditMenu = menu->getSubMenu(1);
	AddMenuItems(EditMenu, EditMenuItems);
	ShowEditMenu();
	AddMenuItems(menu->getSubMenu(2), ViewMenu);
	AddMenuItems(menu->getSubMenu(3), WorldMenu);
	gui::IGUIContextMenu* submenu = menu->getSubMenu(4);
	submenu->addItem(L"Add", ID_NONE, true, true);
	AddMenuItems(submenu, ObjectMenu);
	AddMenuItems(submenu->getSubMenu(0), AddMenu);
	AddMenuItems(menu->getSubMenu(5), ToolsMenu);
	AddMenuItems(menu->getSubMenu(6), HelpMenu);
}

// A tool window starts hidden, and without a title-bar close button: it is
// closed only through its own buttons.
gui::IGUIWindow* CSceneEditor::AddToolWindow(const core::rect<s32>& rect, const wchar_t* caption,
                                             s32 id)
{
	gui::IGUIWindow* window = _gui->addWindow(rect, false, caption, 0, id);
	window->getCloseButton()->setVisible(false);
	window->setVisible(false);
	return window;
}

gui::IGUIStaticText* CSceneEditor::AddLabel(const wchar_t* text, const core::rect<s32>& rect,
                                            gui::IGUIElement* parent, bool wordWrap)
{
	return _gui->addStaticText(text, rect, false, wordWrap, parent, ID_PLAIN);
}

// A bordered number label that the per-frame update rewrites.
gui::IGUIStaticText* CSceneEditor::AddValueLabel(const wchar_t* text, const core::rect<s32>& rect,
                                                 gui::IGUIElement* parent)
{
	return _gui->addStaticText(text, rect, true, false, parent, ID_PLAIN);
}

// Red, green and blue bars from 0 to 255 with a label in front and a value
// label behind each, rows 20 pixels apart from `top`.
void CSceneEditor::AddColourBars(gui::IGUIElement* window, s32 top, const s32 (&barIds)[3],
                                 gui::IGUIStaticText** const (&values)[3],
                                 gui::IGUIScrollBar** const (&bars)[3])
{
	const wchar_t* const names[3] = {L"Red:", L"Green:", L"Blue:"};
	for (int i = 0; i < 3; ++i)
		*values[i] = AddValueLabel(L"0", Rect(265, top + 20 * i, 300, top + 15 + 20 * i), window);
	for (int i = 0; i < 3; ++i)
		AddLabel(names[i], Rect(10, top + 20 * i, 55, top + 15 + 20 * i), window);
	for (int i = 0; i < 3; ++i)
		*bars[i] = _gui->addScrollBar(true, Rect(60, top + 20 * i, 260, top + 15 + 20 * i), window,
		                              barIds[i]);
	for (gui::IGUIScrollBar** bar : bars)
		(*bar)->setMax(255);
}

gui::IGUIComboBox* CSceneEditor::AddMaterialList(gui::IGUIElement* window, s32 id)
{
	gui::IGUIComboBox* list = _gui->addComboBox(Rect(10, 60, 195, 80), window, id);
	for (const CModel::SMaterialEntry& material : CModel::MATERIALS)
		list->addItem(material.ListText);
	return list;
}

void CSceneEditor::CreateFileProperties()
{
	ScenePropertiesWindow =
	    AddToolWindow(Rect(30, 30, 500, 500), L"Editor Properties", ID_EDITOR_PROPERTIES_WINDOW);
	AddLabel(L"Scene Color", Rect(10, 30, 150, 45), ScenePropertiesWindow);
	AddColourBars(ScenePropertiesWindow, 50, {ID_PLAIN, ID_PLAIN, ID_PLAIN},
	              {&spw_refreshred, &spw_refreshgreen, &spw_refreshblue},
	              {&spw_refresh_redbar, &spw_refresh_greenbar, &spw_refresh_bluebar});
	_gui->addButton(Rect(405, 435, 460, 460), ScenePropertiesWindow, ID_EDITOR_PROPERTIES_OK,
	                L"Ok");

	SaveOptionsWindow = AddToolWindow(Rect(30, 30, 250, 200), L"Save Options", ID_PLAIN);
	_gui->addButton(Rect(170, 135, 215, 160), SaveOptionsWindow, ID_SAVE_OPTIONS_OK, L"Ok");
	AddLabel(L"Directory:", Rect(10, 30, 150, 45), SaveOptionsWindow);
	sow_editboxDir = _gui->addEditBox(DefaultFolder, Rect(10, 45, 180, 65), true, SaveOptionsWindow,
	                                  ID_SAVE_OPTIONS_DIR);
	// "..." chooses the folder in a file dialog; "Cancel" closes, nothing
	// written.
	_gui->addButton(Rect(185, 45, 210, 65), SaveOptionsWindow, ID_SAVE_OPTIONS_BROWSE, L"...");
	_gui->addButton(Rect(110, 135, 165, 160), SaveOptionsWindow, ID_SAVE_OPTIONS_CANCEL, L"Cancel");
}

bool CSceneEditor::ExportFolder(std::string& prefix) const
{
	// The default names a Windows folder; here it means "where I am".
	if (core::stringw(DefaultFolder) == sow_editboxDir->getText())
	{
		prefix.clear();
		return true;
	}
	return WideToFileName(sow_editboxDir->getText(), prefix);
}

void CSceneEditor::CreateWorldDialogs()
{
	WorldMainWindow = AddToolWindow(Rect(30, 30, 500, 500), L"World Properties", ID_WORLD_WINDOW);
	gui::IGUIWindow* w = WorldMainWindow;
	AddLabel(L"Level Ground", Rect(10, 30, 115, 45), w);
	_gui->addButton(Rect(405, 435, 460, 460), w, ID_WORLD_OK, L"Ok");
	_gui->addButton(Rect(10, 50, 115, 70), w, ID_WORLD_LOAD_TERRAIN, L"Load Terrain");
	_gui->addButton(Rect(120, 50, 245, 70), w, ID_WORLD_TERRAIN_TEXTURE, L"Terrain Texture");
	_gui->addButton(Rect(10, 75, 115, 95), w, ID_WORLD_LOAD_PLANE, L"Load Plane");
	_gui->addButton(Rect(120, 75, 245, 95), w, ID_WORLD_PLANE_TEXTURE, L"Plane Texture");
	_gui->addButton(Rect(10, 100, 115, 120), w, ID_WORLD_LOAD_Q3LEVEL, L"Load Q3Level");
	_gui->addButton(Rect(250, 50, 315, 70), w, ID_WORLD_DELETE_TERRAIN, L"Delete");
	_gui->addButton(Rect(250, 75, 315, 95), w, ID_WORLD_DELETE_PLANE, L"Delete");
	_gui->addButton(Rect(250, 100, 315, 120), w, ID_WORLD_DELETE_Q3LEVEL, L"Delete");

	CreateSkyBoxWindow();

	AddLabel(L"FOG", Rect(10, 145, 55, 160), w);
	AddColourBars(w, 165, {ID_WORLD_FOG_RED, ID_WORLD_FOG_GREEN, ID_WORLD_FOG_BLUE},
	              {&sbw_fogred, &sbw_foggreen, &sbw_fogblue}, {&sbw_red, &sbw_green, &sbw_blue});
	for (gui::IGUIScrollBar* bar : {sbw_red, sbw_green, sbw_blue})
		bar->setPos(0);
}

void CSceneEditor::CreateSkyBoxWindow()
{
	SkyBoxWindow = AddToolWindow(Rect(30, 30, 280, 280), L"SkyBox Setup", ID_SKYBOX_WINDOW);
	gui::IGUIWindow* w = SkyBoxWindow;
	_gui->addButton(Rect(200, 215, 245, 245), w, ID_SKYBOX_OK, L"Ok");
	const wchar_t* const rows[] = {L"Dir:",   L"Up:",    L"Down:", L"Left:",
	                               L"Right:", L"Front:", L"Back:"};
	for (int i = 0; i < 7; ++i)
		AddLabel(rows[i], Rect(10, 25 + 25 * i, 55, 45 + 25 * i), w);
	gui::IGUIEditBox** const boxes[] = {&sbw_editboxDir,  &sbw_editboxUp,    &sbw_editboxDown,
	                                    &sbw_editboxLeft, &sbw_editboxRight, &sbw_editboxFront,
	                                    &sbw_editboxBack};
	for (int i = 0; i < 7; ++i)
	{
		*boxes[i] =
		    _gui->addEditBox(i == 0 ? DefaultFolder : L"", Rect(60, 25 + 25 * i, 215, 45 + 25 * i),
		                     true, w, ID_SKYBOX_DIR + i);
		if (i == 0)
			sbw_editboxDir->setMax(100);
	}
	_gui->addButton(Rect(115, 215, 195, 245), w, ID_SKYBOX_APPLY, L"Apply");
	// "..." picks a texture file for the field beside it.
	for (int i = 0; i < 7; ++i)
		_gui->addButton(Rect(220, 25 + 25 * i, 245, 45 + 25 * i), w, ID_SKYBOX_BROWSE + i, L"...");
}

void CSceneEditor::CreateLevelChooser()
{
	// Modal: until a level is chosen or the choice cancelled, the windows
	// behind it and the scene take no clicks.
	LevelChooserWindow = _gui->addWindow(Rect(250, 150, 550, 420), true, L"Choose a Level", 0,
	                                     ID_LEVEL_CHOOSER_WINDOW);
	LevelChooserWindow->getCloseButton()->setVisible(false);
	LevelChooserWindow->setVisible(false);
	LevelChooserList =
	    _gui->addListBox(Rect(10, 30, 290, 225), LevelChooserWindow, ID_LEVEL_CHOOSER_LIST, true);
	_gui->addButton(Rect(150, 235, 215, 260), LevelChooserWindow, ID_LEVEL_CHOOSER_OK, L"Ok");
	_gui->addButton(Rect(225, 235, 290, 260), LevelChooserWindow, ID_LEVEL_CHOOSER_CANCEL,
	                L"Cancel");
}

void CSceneEditor::CreateObjectDialogs()
{
	const s32 ids[] = {ID_MODEL_WINDOW, ID_MODEL_OK, ID_MODEL_LOAD_SKIN1, ID_MODEL_LOAD_SKIN2,
	                   ID_MODEL_MATERIAL};
	ModelPropertiesWindow = AddObjectWindow(L"Selected Model Properties", ids, mpw_render_type);
	gui::IGUIWindow* w = ModelPropertiesWindow;
	mpw_shadowbox = _gui->addCheckBox(false, Rect(10, 85, 130, 100), w, ID_MODEL_SHADOW, L"Shadow");
	mpw_fogbox = _gui->addCheckBox(false, Rect(115, 85, 195, 100), w, ID_MODEL_FOG, L"Fog");
	mpw_wirebox = _gui->addCheckBox(false, Rect(10, 105, 130, 120), w, ID_PLAIN, L"WireFrame");
	mpw_lightbox = _gui->addCheckBox(false, Rect(115, 105, 210, 120), w, ID_PLAIN, L"Lighting");
	AddLabel(L"ScaleX", Rect(10, 125, 60, 140), w);
	AddLabel(L"ScaleY", Rect(10, 145, 60, 160), w);
	AddLabel(L"ScaleZ", Rect(10, 165, 60, 180), w);
	mpw_scaleX = _gui->addScrollBar(true, Rect(65, 125, 195, 140), w, ID_MODEL_SCALE_X);
	mpw_scaleY = _gui->addScrollBar(true, Rect(65, 145, 195, 160), w, ID_MODEL_SCALE_Y);
	mpw_scaleZ = _gui->addScrollBar(true, Rect(65, 165, 195, 180), w, ID_MODEL_SCALE_Z);
	gui::IGUIScrollBar* const scaleBars[] = {mpw_scaleX, mpw_scaleY, mpw_scaleZ};
	// One click on an arrow is one step (the engine's default step is 10).
	// A scale of 0 is no scale: the bars start at 1, as "Transform" refuses 0.
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setMin(1);
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setMax(10);
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setSmallStep(1);
	for (gui::IGUIScrollBar* bar : scaleBars)
		bar->setPos(1);
	mpw_scale_x = AddValueLabel(L"", Rect(200, 125, 225, 140), w);
	mpw_scale_y = AddValueLabel(L"", Rect(200, 145, 225, 160), w);
	mpw_scale_z = AddValueLabel(L"", Rect(200, 165, 225, 180), w);
	AddLabel(L"File:", Rect(10, 185, 60, 205), w, false);
	AddLabel(L"Texture:", Rect(10, 210, 80, 230), w, false);
	AddLabel(L"Texture2:", Rect(10, 235, 80, 255), w, false);
	mpw_boxFileName = _gui->addEditBox(L"", Rect(85, 185, 225, 205), true, w, ID_PLAIN);
	mpw_boxTexture = _gui->addEditBox(L"", Rect(85, 210, 225, 230), true, w, ID_PLAIN);
	mpw_boxTexture2 = _gui->addEditBox(L"", Rect(85, 235, 225, 255), true, w, ID_PLAIN);
}

void CSceneEditor::CreateHelpDialogs()
{
	AboutWindow = AddToolWindow(Rect(300, 200, 505, 355), L"About", ID_ABOUT_WINDOW);
	// Both lines fit the window's width.
	AddLabel(L"Tolvane 0.0.7 scene editor", Rect(5, 90, 200, 105), AboutWindow, false);
	AddLabel(core::stringw(L"on Irrlicht " IRRLICHT_SDK_VERSION).c_str(), Rect(5, 110, 200, 125),
	         AboutWindow, false);
	gui::IGUIImage* logo = _gui->addImage(Rect(5, 25, 195, 85), AboutWindow, ID_PLAIN, 0);
	logo->setImage(_driver->getTexture(DataFile(LogoFile)));
	_gui->addButton(Rect(40, 130, 160, 150), AboutWindow, ID_ABOUT_CLOSE, L"Close");
}

void CSceneEditor::CreateWaterProperties()
{
	const s32 ids[] = {ID_PLAIN, ID_WATER_OK, ID_WATER_LOAD_SKIN1, ID_WATER_LOAD_SKIN2, ID_PLAIN};
	WaterPropertiesWindow = AddObjectWindow(L"Selected Water Properties", ids, wpw_render_type);
	// The waves, below the window's own controls: height, length, speed.
	const wchar_t* const names[3] = {L"Wave height", L"Wave length", L"Wave speed"};
	const s32 least[3] = {0, 1, 1}, most[3] = {100, 500, 2000};
	for (int i = 0; i < 3; ++i)
	{
		const s32 top = 90 + 20 * i;
		AddLabel(names[i], Rect(10, top, 100, top + 15), WaterPropertiesWindow, false);
		WaveBars[i] = _gui->addScrollBar(true, Rect(105, top, 190, top + 15), WaterPropertiesWindow,
		                                 ID_PLAIN);
		WaveBars[i]->setMin(least[i]);
		WaveBars[i]->setMax(most[i]);
		WaveBars[i]->setSmallStep(1);
		WaveLabels[i] = AddValueLabel(L"", Rect(195, top, 235, top + 15), WaterPropertiesWindow);
	}
}

// What the model and the water windows share: "Ok", the two skin buttons and
// the material list. `ids`: window, Ok, Load Skin1, Load Skin2, material list.
gui::IGUIWindow* CSceneEditor::AddObjectWindow(const wchar_t* caption, const s32 ids[5],
                                               gui::IGUIComboBox*& materials)
{
	gui::IGUIWindow* w = AddToolWindow(Rect(40, 40, 280, 330), caption, ids[0]);
	_gui->addButton(Rect(175, 260, 235, 285), w, ids[1], L"Ok");
	_gui->addButton(Rect(10, 30, 95, 55), w, ids[2], L"Load Skin1");
	_gui->addButton(Rect(100, 30, 195, 55), w, ids[3], L"Load Skin2");
	materials = AddMaterialList(w, ids[4]);
	return w;
}

// ---------------------------------------------------------------------------
// Selection

namespace
{
// A box in the world, at least `thickness` deep along every axis, so that a
// flattened node (a ground plane of height 0) can still be hit.
core::aabbox3df Thickened(core::aabbox3df box, f32 thickness)
{
	const core::vector3df extent = box.getExtent();
	const core::vector3df grow(core::max_(0.0f, thickness - extent.X) / 2.0f,
	                           core::max_(0.0f, thickness - extent.Y) / 2.0f,
	                           core::max_(0.0f, thickness - extent.Z) / 2.0f);
	box.MinEdge -= grow;
	box.MaxEdge += grow;
	return box;
}

bool Pickable(const scene::ISceneNode* node)
{
	const scene::ESCENE_NODE_TYPE type = node->getType();
	return node->isVisible() && !node->isDebugObject() && type != scene::ESNT_CAMERA &&
	       type != scene::ESNT_LIGHT && type != scene::ESNT_SKY_BOX &&
	       !node->getBoundingBox().getExtent().equals(core::vector3df(0, 0, 0));
}
} // namespace

// The node a ray hits: an object of the table's slots 1 to 99 (a model, a
// particle system) wins over everything else (it stands inside the box of
// the level, or over the water, around it), then the water, otherwise the
// nearest box.
void CSceneEditor::PickAlongRay(scene::ISceneNode* parent, const core::line3df& ray,
                                SPick& best) const
{
	for (scene::ISceneNode* node : parent->getChildren())
	{
		if (!node->isVisible())
			continue;
		PickAlongRay(node, ray, best);
		if (!Pickable(node))
			continue;
		const int slot = SlotOfNode(node);
		const SObjectKind* kind = slot < 0 ? 0 : KindOf(ObjectAt(slot)->MODEL_TYPE);
		const core::aabbox3df box = kind && kind->PickBox ? kind->PickBox(*ObjectAt(slot))
		                                                  : node->getTransformedBoundingBox();
		if (!Thickened(box, 1.0f).intersectsWithLine(ray))
			continue;
		const int rank = slot < 0 ? 0 : slot == WATER_SLOT ? 1 : 2;
		const f32 distance = static_cast<f32>(ray.start.getDistanceFrom(box.getCenter()));
		if (!best.node || rank > best.rank || (rank == best.rank && distance < best.distance))
			best = SPick{node, rank, distance};
	}
}

scene::ISceneNode* CSceneEditor::NodeUnderCursor()
{
	const core::position2d<s32> cursor = _device->getCursorControl()->getPosition();
	const core::line3df ray =
	    _smgr->getSceneCollisionManager()->getRayFromScreenCoordinates(cursor, Camera);
	SPick best = {0, 0, 0.0f};
	PickAlongRay(_smgr->getRootSceneNode(), ray, best);
	return best.node;
}

void CSceneEditor::SelectNewSceneNode(bool mouse)
{
	if (mouse)
	{
		// Where nothing else is hit under a sky box, the sky is.
		scene::ISceneNode* node = NodeUnderCursor();
		if (!node && !SkyBox)
			return;
		if (SelectedModel)
			SelectedModel->setDebugDataVisible(false);
		const int slot = SlotOfNode(node);
		if (slot >= 0)
			SelectedModel = ObjectAt(slot);
		CameraMode = true;
	}
	const SObjectKind* kind = SelectedModel ? KindOf(SelectedModel->MODEL_TYPE) : 0;
	if (!kind)
		return;
	// The window shows the object as its node holds it, and edits the
	// document's record: code that changed the node directly hands that
	// over first.
	AdoptObject(SlotOf(SelectedModel));
	kind->FillWindow(*this, *SelectedModel);
}

namespace
{
// A scale as the nearest position a scale bar has.
s32 ScaleBarPosition(f32 scale)
{
	if (!(scale > 1.0f))
		return 1;
	return scale >= 10.0f ? 10 : static_cast<s32>(scale + 0.5f);
}
} // namespace

// The window shows the model; from then on a control the user changes is
// written back (UpdateSelectedModel), and only that control.
void CSceneEditor::FillModelWindow(CModel& model)
{
	mpw_boxTexture->setText(model.TextureName.c_str());
	mpw_boxFileName->setText(model.FileName.c_str());
	mpw_boxTexture2->setText(model.TextureName2.c_str());
	mpw_render_type->setSelected(model.MaterialType);
	mpw_fogbox->setChecked(model.Fog);
	mpw_lightbox->setChecked(model.Lighting);
	mpw_wirebox->setChecked(model.Wireframe);
	mpw_shadowbox->setChecked(model.Shadow);
	const core::vector3df scale = model.getScale();
	gui::IGUIScrollBar* const bars[3] = {mpw_scaleX, mpw_scaleY, mpw_scaleZ};
	const f32 axes[3] = {scale.X, scale.Y, scale.Z};
	for (int i = 0; i < 3; ++i)
	{
		bars[i]->setPos(ScaleBarPosition(axes[i]));
		ShownModel.Scale[i] = bars[i]->getPos();
	}
	ShownModel.Material = mpw_render_type->getSelected();
	ShownModel.Fog = model.Fog;
	ShownModel.Lighting = model.Lighting;
	ShownModel.Wireframe = model.Wireframe;
	ShownModel.Shadow = model.Shadow;
	ShownModel.Names[0] = mpw_boxFileName->getText();
	ShownModel.Names[1] = mpw_boxTexture->getText();
	ShownModel.Names[2] = mpw_boxTexture2->getText();
}

void CSceneEditor::FillWaterWindow(CModel& water)
{
	wpw_render_type->setSelected(water.MaterialType);
	ShownWaterMaterial = wpw_render_type->getSelected();
	const f32 waves[3] = {water.water_WaveHeight, water.water_WaveLength, water.water_WaveSpeed};
	for (int i = 0; i < 3; ++i)
	{
		WaveBars[i]->setPos(static_cast<s32>(waves[i] + 0.5f));
		ShownWaves[i] = WaveBars[i]->getPos();
	}
}

namespace
{
// Whether a control shows something else than it was last given; then it
// takes the new value as shown.
template <typename Value> bool ChangedByUser(Value now, Value& shown)
{
	if (now == shown)
		return false;
	shown = now;
	return true;
}
} // namespace

void CSceneEditor::UpdateSelectedModel()
{
	CModel* model = SelectedModel;
	if (!model)
		return;
	if (model->MODEL_TYPE == CModel::TYPE_WATER)
	{
		UpdateSelectedWater();
		return;
	}
	if (model->MODEL_TYPE == CModel::TYPE_PARTICLES)
	{
		UpdateSelectedParticles();
		return;
	}
	if (model->MODEL_TYPE != CModel::TYPE_MESH)
		return;
	// Each control the user changed since the window showed it becomes a
	// change of the record; the node follows the document.
	const int slot = SlotOf(model);
	AdoptObject(slot);
	if (slot < 0 || !Document.Object(slot))
		return;
	SShownModel& shown = ShownModel;
	SModelState record = *Document.Object(slot);
	if (mpw_render_type && ChangedByUser(mpw_render_type->getSelected(), shown.Material))
		record.Material = shown.Material;
	if (mpw_fogbox && ChangedByUser(mpw_fogbox->isChecked(), shown.Fog))
		record.Fog = shown.Fog;
	if (mpw_wirebox && ChangedByUser(mpw_wirebox->isChecked(), shown.Wireframe))
		record.Wireframe = shown.Wireframe;
	if (mpw_lightbox && ChangedByUser(mpw_lightbox->isChecked(), shown.Lighting))
		record.Lighting = shown.Lighting;
	if (mpw_shadowbox && ChangedByUser(mpw_shadowbox->isChecked(), shown.Shadow))
		record.Shadow = shown.Shadow;

	// A bar the user moves sets its axis; the others keep their exact scale.
	gui::IGUIScrollBar* const bars[3] = {mpw_scaleX, mpw_scaleY, mpw_scaleZ};
	f32* const axes[3] = {&record.Scale.X, &record.Scale.Y, &record.Scale.Z};
	for (int i = 0; i < 3; ++i)
		if (bars[i] && ChangedByUser(bars[i]->getPos(), shown.Scale[i]))
			*axes[i] = static_cast<f32>(shown.Scale[i]);

	gui::IGUIEditBox* const boxes[3] = {mpw_boxFileName, mpw_boxTexture, mpw_boxTexture2};
	core::stringw* const names[3] = {&record.FileName, &record.TextureName, &record.TextureName2};
	for (int i = 0; i < 3; ++i)
		if (boxes[i] && ChangedByUser(core::stringw(boxes[i]->getText()), shown.Names[i]))
			*names[i] = shown.Names[i];
	if (!(record == *Document.Object(slot)))
		Execute(commands::AddObject(slot, std::move(record)));
}

// The water window's material list and wave bars; a changed wave rebuilds
// the surface, whose mesh holds its waves.
void CSceneEditor::UpdateSelectedWater()
{
	if (wpw_render_type && ChangedByUser(wpw_render_type->getSelected(), ShownWaterMaterial))
		EditSelected([this](SModelState& record) { record.Material = ShownWaterMaterial; });
	// Only a bar the user moved sets its wave: a value beyond a bar's range
	// (a scene's WaveLength 5000) stays as it is while another bar moves.
	bool moved[3] = {}, waves = false;
	for (int i = 0; i < 3; ++i)
	{
		moved[i] = WaveBars[i] && ChangedByUser(WaveBars[i]->getPos(), ShownWaves[i]);
		waves = waves || moved[i];
	}
	if (!waves || !Water->Node || !Document.Object(WATER_SLOT))
		return;
	EditSelected(
	    [&](SModelState& record)
	    {
		    for (int i = 0; i < 3 && i < static_cast<int>(record.Values.size()); ++i)
			    if (moved[i])
				    record.Values[i] = static_cast<f32>(ShownWaves[i]);
	    });
	SelectedModel = Water;
}
