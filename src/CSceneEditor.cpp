// The editor's start-up, frame drawing, per-frame update, tool-window
// builders, scene clearing and selection.
#include "CSceneEditor.h"

#include <unistd.h>

#include "CEventRec.h"
#include "COrbitCamera.h"
#include "EditorIds.h"
#include "XErrorGuard.h"

gui::IGUIWindow* CSceneEditor::ScenePropertiesWindow = 0;
gui::IGUIWindow* CSceneEditor::WorldMainWindow = 0;
gui::IGUIWindow* CSceneEditor::AboutWindow = 0;
gui::IGUIWindow* CSceneEditor::ModelPropertiesWindow = 0;
gui::IGUIWindow* CSceneEditor::SkyBoxWindow = 0;
gui::IGUIWindow* CSceneEditor::WaterPropertiesWindow = 0;

namespace
{
const char* const FontFile = "Data/main_font.bmp";
const char* const PositionerMeshFile = "Data/positioner.ms3d";
const char* const PositionerTextureFile = "Data/positioner_sk.bmp";

// Movement per frame.
const f32 MoveStep = 3.0f;
const f32 ClimbStep = 2.0f;
const f32 TurnStep = 2.0f;

// The keys the per-frame update reads.
const EKEY_CODE UpdateKeys[] = {KEY_NUMPAD2, KEY_NUMPAD3, KEY_NUMPAD4, KEY_NUMPAD6,
                                KEY_NUMPAD8, KEY_NUMPAD9, KEY_UP,      KEY_DOWN,
                                KEY_LEFT,    KEY_RIGHT,   KEY_CONTROL};

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

std::string WorkingDirectory()
{
	char buffer[4096];
	return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string("(unknown)");
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
      mpw_boxFileName(0), mpw_boxTexture(0), mpw_boxTexture2(0), sow_editboxDir(0)
{
	for (int i = 0; i < MODEL_SLOTS; ++i)
		Model[i] = 0;
	for (int i = 0; i < KEY_ENTRIES; ++i)
		key[i] = false;
}

// The device goes first (it releases the scene, the GUI and the window), then
// what the editor created itself.
CSceneEditor::~CSceneEditor()
{
	if (_device)
		_device->drop();
	for (int i = 0; i < MODEL_SLOTS; ++i)
		delete Model[i];
	delete Water;
	delete event_rec;
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
	CameraMode = true;

	CreateFileProperties();
	CreateWorldDialogs();
	CreateObjectDialogs();
	CreateHelpDialogs();
	CreateWaterProperties();

	for (EKEY_CODE k : UpdateKeys)
		key[k] = false;
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
	gui::IGUIFont* font = _gui->getFont(FontFile);
	if (!font)
	{
		SetStartupError(std::string("cannot load the GUI font ") + FontFile +
		                " (working directory: " + WorkingDirectory() + ")");
		return false;
	}
	_gui->getSkin()->setFont(font);
	return true;
}

void CSceneEditor::CreateMenuBar() {}

void CSceneEditor::CreateCamera()
{
	// A plain camera with an orbit animator of our own: the engine's Maya
	// animator would move it off its start position on the first frame.
	Camera = _smgr->addCameraSceneNode(0, core::vector3df(0, 0, 0), core::vector3df(0, 0, 100), -1);
	scene::ISceneNodeAnimator* orbit = new COrbitCameraAnimator(_driver, -1500.0f, 500.0f, 1500.0f);
	Camera->addAnimator(orbit);
	orbit->drop();
	Camera->setPosition(core::vector3df(100, 250, 0));
	Camera->setTarget(core::vector3df(0, 0, 0));
}

bool CSceneEditor::CreatePositioner()
{
	scene::IAnimatedMesh* mesh = _smgr->getMesh(PositionerMeshFile);
	video::ITexture* skin = mesh ? _driver->getTexture(PositionerTextureFile) : 0;
	if (!mesh || !skin)
	{
		SetStartupError(std::string("cannot load the placement marker ") +
		                (mesh ? PositionerTextureFile : PositionerMeshFile) +
		                " (working directory: " + WorkingDirectory() + ")");
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
	EditorInfoWindow = _gui->addWindow(core::rect<s32>(30, 30, 300, 110), false,
	                                   L"Scene Information", 0, ID_PLAIN);
	EditorInfoWindow->getCloseButton()->setVisible(false);
	EditorInfoText = _gui->addStaticText(L"Scene Information", core::rect<s32>(10, 30, 280, 95),
	                                     false, true, EditorInfoWindow, ID_PLAIN);
	EditorInfoWindow->setVisible(true);
}

core::stringw CSceneEditor::SceneInfoText() const
{
	core::stringw text(_driver->getName());
	text += L" - FPS:";
	text += _driver->getFPS();
	text += L"\nTriangles: ";
	text += _driver->getPrimitiveCountDrawn();
	text += L"\n";
	text += CameraMode ? L"CameraMode: On" : L"CameraMode: Off";
	return text;
}

void CSceneEditor::Render()
{
	if (!_device || !_device->isWindowActive())
		return;
	video::SColor clear(150, 50, 50, 100);
	if (spw_refresh_redbar && spw_refresh_greenbar && spw_refresh_bluebar)
		clear.set(150, spw_refresh_redbar->getPos(), spw_refresh_greenbar->getPos(),
		          spw_refresh_bluebar->getPos());
	_driver->beginScene(true, true, clear);
	_smgr->drawAll();
	_gui->drawAll();
	// Set after drawing, so the window shows the previous frame's figures.
	EditorInfoText->setText(SceneInfoText().c_str());
	_driver->endScene();
}

void CSceneEditor::ClearScene()
{
	SelectedModel = 0;
	for (int i = 0; i < MODEL_SLOTS; ++i)
		if (Model[i])
			Model[i]->remove();
	current_model = 0;
	RemoveNode(Terrain);
	RemoveNode(LevelPlane);
	RemoveNode(Q3LevelNode);
	RemoveNode(SkyBox);
}

void CSceneEditor::MovePositioner(const core::vector3df& forward)
{
	if (key[KEY_NUMPAD2])
		Positioner->setPosition(Positioner->getPosition() - forward * MoveStep);
	if (key[KEY_NUMPAD3])
		Positioner->setPosition(Positioner->getPosition() - core::vector3df(0, ClimbStep, 0));
	if (key[KEY_NUMPAD4])
		Positioner->setRotation(TurnedAboutY(Positioner->getRotation(), -TurnStep));
	if (key[KEY_NUMPAD6])
		Positioner->setRotation(TurnedAboutY(Positioner->getRotation(), TurnStep));
	if (key[KEY_NUMPAD8])
		Positioner->setPosition(Positioner->getPosition() + forward * MoveStep);
	if (key[KEY_NUMPAD9])
		Positioner->setPosition(Positioner->getPosition() + core::vector3df(0, ClimbStep, 0));
}

void CSceneEditor::MoveSelectedModel(const core::vector3df& mforward)
{
	CModel* m = SelectedModel;
	const bool control = key[KEY_CONTROL];
	if (control && key[KEY_UP])
		m->setPosition(m->getPosition() + core::vector3df(0, ClimbStep, 0));
	if (control && key[KEY_DOWN])
		m->setPosition(m->getPosition() - core::vector3df(0, ClimbStep, 0));
	if (!control && key[KEY_UP])
		m->setPosition(m->getPosition() + mforward * MoveStep);
	if (!control && key[KEY_DOWN])
		m->setPosition(m->getPosition() - mforward * MoveStep);
	if (key[KEY_LEFT])
		m->setRotation(TurnedAboutY(m->getRotation(), -TurnStep));
	if (key[KEY_RIGHT])
		m->setRotation(TurnedAboutY(m->getRotation(), TurnStep));
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
}

void CSceneEditor::ApplyFog()
{
	const s32 red = sbw_red ? sbw_red->getPos() : 0;
	const s32 green = sbw_green ? sbw_green->getPos() : 0;
	const s32 blue = sbw_blue ? sbw_blue->getPos() : 0;
	_driver->setFog(video::SColor(0, red, green, blue), video::EFT_FOG_LINEAR, 50.0f, 100.0f, 0.01f,
	                false, false);
}

bool CSceneEditor::Update()
{
	if (!_device || !StartupError.empty())
		return false;
	core::vector3df mforward(0, 0, 0);
	if (SelectedModel)
	{
		UpdateSelectedModel();
		SelectedModel->setDebugDataVisible(true);
		mforward = Heading(SelectedModel->getRotation().Y);
	}
	const core::vector3df forward = Heading(Positioner->getRotation().Y);

	MovePositioner(forward);
	if (SelectedModel)
		MoveSelectedModel(mforward);

	MakeGuiOpaque();
	Camera->setInputReceiverEnabled(CameraMode);
	UpdateValueLabels();
	ApplyFog();

	return _device->run() && _driver;
}

void CSceneEditor::CreateFileProperties() {}
void CSceneEditor::CreateWorldDialogs() {}
void CSceneEditor::CreateObjectDialogs() {}
void CSceneEditor::CreateHelpDialogs() {}
void CSceneEditor::CreateWaterProperties() {}
void CSceneEditor::UpdateSelectedModel() {}
