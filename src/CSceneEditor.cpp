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
      mpw_boxFileName(0), mpw_boxTexture(0), mpw_boxTexture2(0), sow_editboxDir(0), MessageLog(0),
      MouseButtonsHeld(0), LevelChooserWindow(0), LevelChooserList(0), WindowHadFocus(false),
      Orbit(0)
{
	for (int i = 0; i < MODEL_SLOTS; ++i)
		Model[i] = 0;
	for (int i = 0; i < KEY_ENTRIES; ++i)
		key[i] = false;
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
	Files.Create();
	Transform.Create();
	ObjectList.Create();
	Shelf.Create();
	GltfExport.Create();
	Properties.Create();
	ParticleEditor.Create();

	// The keys the per-frame update reads.
	for (EKEY_CODE k : CMovementKeys::Codes)
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
	View.Views.Create();
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
	text += View.SceneTriangles();
	text += L"\n";
	text += CameraMode ? L"CameraMode: On" : L"CameraMode: Off";
	if (!Files.SavedFile.empty() && Files.SavedFile == Files.SceneFileName && !Document.Unsaved())
	{
		text += L"\nSaved ";
		text += FileNameToWide(Files.SavedFile.substr(Files.SavedFile.rfind('/') + 1)).c_str();
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
	Selection.clear();
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

void CSceneEditor::UpdateValueLabels()
{
	WorldWindows.ShowColourNumbers();
	if (mpw_scaleZ)
	{
		SetNumberLabel(mpw_scale_x, mpw_scaleX);
		SetNumberLabel(mpw_scale_y, mpw_scaleY);
		SetNumberLabel(mpw_scale_z, mpw_scaleZ);
	}
	WaterProperties.ShowWaveNumbers();
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
	Keys.TakeDueSteps();
	// A focus left on a closed window goes, one waiting for it is given;
	// a field holding it is a typed edit going on.
	FollowEdits();

	MakeGuiOpaque();
	View.FollowWindowShape();
	// The camera always zooms, pans and flies; a left drag turns it only
	// while the mouse does not pick.
	Orbit->setLeftTurns(CameraMode);
	UpdateValueLabels();
	WorldWindows.Update();
	View.FollowDocument();
	Transform.Update();
	ObjectList.Update();
	Shelf.Update();
	Properties.Update();
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

// ---------------------------------------------------------------------------
// Menu bar and tool windows

namespace
{
typedef core::rect<s32> Rect;

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
                             {L"Assets", ID_MENU_ASSETS},
                             {L"Properties", ID_MENU_PROPERTIES},
                             {0, ID_NONE},
                             {L"Perspective", ID_MENU_VIEW_PERSPECTIVE},
                             {L"Top", ID_MENU_VIEW_TOP},
                             {L"Front", ID_MENU_VIEW_FRONT},
                             {L"Side", ID_MENU_VIEW_SIDE},
                             {L"Four Views", ID_MENU_FOUR_VIEWS},
                             {0, ID_NONE},
                             {L"Grid", ID_MENU_GRID}};
const MenuItem WorldMenu[] = {{L"SkyBox Setup", ID_MENU_SKYBOX_SETUP},
                              {L"World Properties", ID_MENU_WORLD_PROPERTIES}};
const MenuItem ObjectMenu[] = {
    {L"Remove", ID_MENU_REMOVE},       {L"Properties", ID_MENU_OBJECT_PROPERTIES},
    {L"Transform", ID_MENU_TRANSFORM}, {L"Drop to Floor", ID_MENU_DROP_TO_FLOOR},
    {L"Group", ID_MENU_GROUP},         {L"Ungroup", ID_MENU_UNGROUP}};
const MenuItem AddMenu[] = {{L"Model", ID_MENU_ADD_MODEL},   {L"Water", ID_MENU_ADD_WATER},
                            {L"Light", ID_MENU_ADD_LIGHT},   {L"Billboard", ID_MENU_ADD_BILLBOARD},
                            {L"Cube", ID_MENU_ADD_CUBE},     {L"Sphere", ID_MENU_ADD_SPHERE},
                            {L"Camera", ID_MENU_ADD_CAMERA}, {L"Sky Dome", ID_MENU_ADD_SKY_DOME},
                            {L"Empty", ID_MENU_ADD_EMPTY}};
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
	View.Views.SetMenu(menu->getSubMenu(2));
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

gui::IGUIComboBox* CSceneEditor::AddMaterialList(gui::IGUIElement* window, s32 id)
{
	gui::IGUIComboBox* list = _gui->addComboBox(Rect(10, 60, 195, 80), window, id);
	for (const CModel::SMaterialEntry& material : CModel::MATERIALS)
		list->addItem(material.ListText);
	return list;
}

void CSceneEditor::CreateFileProperties()
{
	WorldWindows.CreateEditorProperties();

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
	WorldWindows.Create();
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
	ModelProperties.Create();
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
	WaterProperties.Create();
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

// An object drawn as an icon (a light, a camera) is picked by the icon's
// box; a sky (box or dome) surrounds the camera and is never hit.
bool Pickable(const scene::ISceneNode* node, bool icon)
{
	const scene::ESCENE_NODE_TYPE type = node->getType();
	if (!node->isVisible() || node->isDebugObject())
		return false;
	return icon || (type != scene::ESNT_CAMERA && type != scene::ESNT_LIGHT &&
	                type != scene::ESNT_SKY_BOX && type != scene::ESNT_SKY_DOME &&
	                !node->getBoundingBox().getExtent().equals(core::vector3df(0, 0, 0)));
}
} // namespace

bool CSceneEditor::NodeLocked(const scene::ISceneNode* node) const
{
	const int slot = SlotOfNode(node);
	if (slot >= 0)
		return Document.Object(slot) && Document.Object(slot)->Locked;
	const SWorldState& world = Document.World();
	return (node == LevelPlane && world.Plane.Locked) ||
	       (node == Terrain && world.Terrain.Locked) ||
	       (node == Q3LevelNode && world.Level.Locked) || (node == SkyBox && world.SkyLocked);
}

// The node a ray hits: an object of the table's slots 1 to 99 (a model, a
// particle system) wins over everything else (it stands inside the box of
// the level, or over the water, around it), then the water, otherwise the
// nearest box. A hidden or locked node is passed through.
void CSceneEditor::PickAlongRay(scene::ISceneNode* parent, const core::line3df& ray,
                                SPick& best) const
{
	for (scene::ISceneNode* node : parent->getChildren())
	{
		if (!node->isVisible())
			continue;
		PickAlongRay(node, ray, best);
		const int slot = SlotOfNode(node);
		const SObjectKind* kind = slot < 0 ? 0 : KindOf(ObjectAt(slot)->MODEL_TYPE);
		// A kind with a box of its own (an icon, an empty's cross) is picked
		// by it.
		if (!Pickable(node, kind && kind->PickBox) || NodeLocked(node))
			continue;
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
	// Through the view under the cursor, with that view's camera.
	const core::position2d<s32> cursor = _device->getCursorControl()->getPosition();
	const core::line3df ray = View.Views.ViewAt(cursor).Ray(cursor);
	SPick best = {0, 0, 0.0f};
	PickAlongRay(_smgr->getRootSceneNode(), ray, best);
	return best.node;
}

void CSceneEditor::SelectNewSceneNode(bool mouse, bool toggle)
{
	if (mouse && toggle)
	{
		const int slot = SlotOfNode(NodeUnderCursor());
		if (slot >= 0)
			ToggleSelected(slot);
		CameraMode = true;
		return;
	}
	if (mouse)
	{
		// Where nothing else is hit under a sky box, the sky is (unless it
		// is hidden or locked).
		scene::ISceneNode* node = NodeUnderCursor();
		if (!node && (!SkyBox || !SkyBox->isVisible() || NodeLocked(SkyBox)))
			return;
		if (SelectedModel)
			SelectedModel->setDebugDataVisible(false);
		const int slot = SlotOfNode(node);
		if (slot >= 0)
		{
			SelectedModel = ObjectAt(slot);
			Selection = {slot};
		}
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

void CSceneEditor::UpdateSelectedModel()
{
	CModel* model = SelectedModel;
	if (!model)
		return;
	if (model->MODEL_TYPE == CModel::TYPE_WATER)
	{
		WaterProperties.Update();
		return;
	}
	if (model->MODEL_TYPE == CModel::TYPE_PARTICLES)
	{
		ParticleEditor.Update();
		return;
	}
	ModelProperties.Update();
}
