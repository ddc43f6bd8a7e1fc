// The views of the scene and their layout; see Viewports.h.
#include "Viewports.h"

#include <cmath>
#include <cstring>

#include "COrbitCamera.h"
#include "CSceneEditor.h"
#include "EditorIds.h"

const wchar_t* const CViewports::CAPTIONS[VIEW_COUNT] = {L"Perspective", L"Top", L"Front", L"Side"};

namespace
{
// How an orthographic view looks: along which direction, which way is up.
// Top looks down with Z up the screen, front along Z and side along -X,
// both with Y up; X, X and Z run to the right.
struct SLook
{
	core::vector3df along, up;
	int depthAxis;
};
const SLook Looks[VIEW_COUNT] = {{{0, 0, 1}, {0, 1, 0}, -1},
                                 {{0, -1, 0}, {0, 0, 1}, 1},
                                 {{0, 0, 1}, {0, 1, 0}, 2},
                                 {{-1, 0, 0}, {0, 1, 0}, 0}};
// An orthographic camera stands this far back from the point it looks at,
// with everything up to as far beyond it in view.
const f32 OrthographicBack = 20000.0f;
const f32 OrthographicNear = 1.0f;
const f32 MinHeight = 1.0f, MaxHeight = 100000.0f;
// One wheel notch shows this much of the height before it.
const f32 WheelFactor = 0.8f;
// The four-view layout: which view fills which quarter (top left, top
// right, bottom left, bottom right).
const EView Quarters[4] = {VIEW_TOP, VIEW_FRONT, VIEW_SIDE, VIEW_PERSPECTIVE};
const video::SColor CaptionColour(255, 230, 230, 230);
const video::SColor ActiveOutline(255, 255, 190, 40);
const video::SColor Divider(255, 70, 70, 80);
const s32 CaptionMargin = 6;

const s32 ViewCommands[VIEW_COUNT] = {ID_MENU_VIEW_PERSPECTIVE, ID_MENU_VIEW_TOP,
                                      ID_MENU_VIEW_FRONT, ID_MENU_VIEW_SIDE};
const EKEY_CODE ViewKeys[VIEW_COUNT] = {KEY_KEY_1, KEY_KEY_2, KEY_KEY_3, KEY_KEY_4};

void Mix(size_t& hash, f32 value)
{
	u32 bits;
	std::memcpy(&bits, &value, sizeof bits);
	hash = hash * 1000003u ^ bits;
}
} // namespace

// ---------------------------------------------------------------------------
// One view

int SViewport::DepthAxis() const
{
	return Looks[Kind].depthAxis;
}

core::matrix4 SViewport::ViewMatrix() const
{
	core::matrix4 view;
	view.buildCameraLookAtMatrixLH(Camera->getPosition(), Camera->getTarget(),
	                               Camera->getUpVector());
	return view;
}

core::line3df SViewport::Ray(const core::position2d<s32>& cursor) const
{
	// As the engine casts its rays, but through the view's own part of the
	// window and the camera as it stands now.
	scene::SViewFrustum frustum(Camera->getProjectionMatrix() * ViewMatrix());
	const core::vector3df farLeftUp = frustum.getFarLeftUp();
	const core::vector3df leftToRight = frustum.getFarRightUp() - farLeftUp;
	const core::vector3df upToDown = frustum.getFarLeftDown() - farLeftUp;
	const f32 dx = static_cast<f32>(cursor.X - Area.UpperLeftCorner.X) /
	               static_cast<f32>(core::max_(1, Area.getWidth()));
	const f32 dy = static_cast<f32>(cursor.Y - Area.UpperLeftCorner.Y) /
	               static_cast<f32>(core::max_(1, Area.getHeight()));
	core::vector3df start = Camera->getPosition();
	if (Orthographic())
		start += leftToRight * (dx - 0.5f) + upToDown * (dy - 0.5f);
	return core::line3df(start, farLeftUp + leftToRight * dx + upToDown * dy);
}

bool SViewport::ToScreen(const core::vector3df& point, core::position2d<s32>& at) const
{
	const core::matrix4 toView = Camera->getProjectionMatrix() * ViewMatrix();
	f32 p[4] = {point.X, point.Y, point.Z, 1.0f};
	toView.multiplyWith1x4Matrix(p);
	if (p[3] <= 0.0f)
		return false;
	const f32 halfWidth = Area.getWidth() / 2.0f, halfHeight = Area.getHeight() / 2.0f;
	at.X = Area.UpperLeftCorner.X + static_cast<s32>(halfWidth) +
	       core::round32(halfWidth * p[0] / p[3]);
	at.Y = Area.UpperLeftCorner.Y + static_cast<s32>(halfHeight) -
	       core::round32(halfHeight * p[1] / p[3]);
	return true;
}

f32 SViewport::UnitsPerPixel(const core::vector3df& point) const
{
	f32 depth = 1.0f;
	if (!Orthographic())
	{
		core::vector3df inView = point;
		ViewMatrix().transformVect(inView);
		if (inView.Z <= Camera->getNearValue())
			return 0.0f;
		depth = inView.Z;
	}
	// The projection's vertical scale: 2 over the height seen at depth 1.
	const f32 scale = Camera->getProjectionMatrix()[5];
	if (scale == 0.0f || Area.getHeight() <= 0)
		return 0.0f;
	return 2.0f * depth / (scale * Area.getHeight());
}

// ---------------------------------------------------------------------------
// The layout

void CViewports::Create()
{
	Ortho[VIEW_PERSPECTIVE].Camera = Editor.Camera;
	for (int v = VIEW_TOP; v < VIEW_COUNT; ++v)
	{
		// Kept out of the scene, which scene files, the export and the
		// document walk: a view's camera joins it only while it draws.
		Ortho[v].Camera = Editor._smgr->addCameraSceneNode(0, core::vector3df(0, 0, -1),
		                                                   core::vector3df(0, 0, 0), -1, false);
		Ortho[v].Camera->grab();
		Ortho[v].Camera->remove();
		Ortho[v].Camera->setUpVector(Looks[v].up);
	}
	ResetOrthographic();
}

CViewports::~CViewports()
{
	for (int v = VIEW_TOP; v < VIEW_COUNT; ++v)
		if (Ortho[v].Camera)
			Ortho[v].Camera->drop();
}

void CViewports::SetMenu(gui::IGUIContextMenu* viewMenu)
{
	Menu = viewMenu;
	ShowMenuState();
}

core::rect<s32> CViewports::AreaOf(EView view) const
{
	const core::dimension2d<u32> screen = Editor._driver->getScreenSize();
	const s32 width = static_cast<s32>(screen.Width), height = static_cast<s32>(screen.Height);
	if (!Four)
		return core::rect<s32>(0, 0, width, height);
	for (int q = 0; q < 4; ++q)
		if (Quarters[q] == view)
		{
			const s32 left = q % 2 ? width / 2 : 0, top = q / 2 ? height / 2 : 0;
			return core::rect<s32>(left, top, q % 2 ? width : width / 2,
			                       q / 2 ? height : height / 2);
		}
	return core::rect<s32>();
}

SViewport CViewports::View(EView view) const
{
	SViewport shown;
	shown.Kind = view;
	shown.Camera = view == VIEW_PERSPECTIVE ? Editor.Camera : Ortho[view].Camera;
	shown.Area = AreaOf(view);
	return shown;
}

std::vector<SViewport> CViewports::ShownViews() const
{
	std::vector<SViewport> shown;
	if (!Four)
		shown.push_back(ActiveView());
	else
		for (EView view : Quarters)
			shown.push_back(View(view));
	return shown;
}

SViewport CViewports::ViewAt(const core::position2d<s32>& cursor) const
{
	for (const SViewport& view : ShownViews())
		if (view.Area.isPointInside(cursor))
			return view;
	return ActiveView();
}

void CViewports::Place(EView view)
{
	if (view == VIEW_PERSPECTIVE)
		return;
	SOrthographic& ortho = Ortho[view];
	const core::rect<s32> area = AreaOf(view);
	const f32 aspect = area.getHeight() > 0
	                       ? static_cast<f32>(area.getWidth()) / static_cast<f32>(area.getHeight())
	                       : 1.0f;
	ortho.Camera->setPosition(ortho.Centre - Looks[view].along * OrthographicBack);
	ortho.Camera->setTarget(ortho.Centre);
	ortho.Camera->updateAbsolutePosition();
	core::matrix4 projection;
	projection.buildProjectionMatrixOrthoLH(ortho.Height * aspect, ortho.Height, OrthographicNear,
	                                        2.0f * OrthographicBack);
	ortho.Camera->setProjectionMatrix(projection, true);
}

void CViewports::PlaceAll()
{
	for (int v = VIEW_TOP; v < VIEW_COUNT; ++v)
		Place(static_cast<EView>(v));
}

void CViewports::Activate(EView view)
{
	ActiveKind = view;
	scene::ICameraSceneNode* camera = View(view).Camera;
	if (Editor._smgr->getActiveCamera() != camera)
		Editor._smgr->setActiveCamera(camera);
	// The orbit's drags are measured against the perspective view's size.
	const core::rect<s32> area = AreaOf(VIEW_PERSPECTIVE);
	Editor.Orbit->setViewSize(core::dimension2d<u32>(area.getWidth(), area.getHeight()));
	Editor.View.FollowWindowShape();
	ShowMenuState();
	Editor.RequestFrame();
}

void CViewports::Show(EView view)
{
	Four = false;
	PlaceAll();
	Activate(view);
}

void CViewports::SetFourViews(bool four)
{
	Four = four;
	PlaceAll();
	Activate(ActiveKind);
}

void CViewports::SetGridShown(bool shown)
{
	GridOn = shown;
	ShowMenuState();
	Editor.RequestFrame();
}

void CViewports::ShowMenuState()
{
	if (!Menu)
		return;
	const auto check = [&](s32 id, bool checked)
	{
		const s32 item = Menu->findItemWithCommandId(id);
		if (item >= 0)
			Menu->setItemChecked(static_cast<u32>(item), checked);
	};
	for (int v = 0; v < VIEW_COUNT; ++v)
		check(ViewCommands[v], v == ActiveKind);
	check(ID_MENU_FOUR_VIEWS, Four);
	check(ID_MENU_GRID, GridOn);
}

void CViewports::ResetOrthographic()
{
	for (int v = VIEW_TOP; v < VIEW_COUNT; ++v)
	{
		Ortho[v].Centre.set(0, 0, 0);
		Ortho[v].Height = START_HEIGHT;
	}
	PlaceAll();
	Editor.RequestFrame();
}

void CViewports::FrameOrthographic(const core::vector3df& target, f32 radius)
{
	for (int v = VIEW_TOP; v < VIEW_COUNT; ++v)
	{
		Ortho[v].Centre = target;
		Ortho[v].Height = core::clamp(2.2f * radius, MinHeight, MaxHeight);
	}
	PlaceAll();
	Editor.RequestFrame();
}

// ---------------------------------------------------------------------------
// Input

bool CViewports::OnMenu(s32 commandId)
{
	for (int v = 0; v < VIEW_COUNT; ++v)
		if (commandId == ViewCommands[v])
		{
			Show(static_cast<EView>(v));
			return true;
		}
	if (commandId == ID_MENU_FOUR_VIEWS)
		SetFourViews(!Four);
	else if (commandId == ID_MENU_GRID)
		SetGridShown(!GridOn);
	else
		return false;
	return true;
}

bool CViewports::OnKey(const SEvent::SKeyInput& key)
{
	if (!key.PressedDown || key.Control)
		return false;
	for (int v = 0; v < VIEW_COUNT; ++v)
		if (key.Key == ViewKeys[v])
		{
			Show(static_cast<EView>(v));
			return true;
		}
	if (key.Key != KEY_KEY_5)
		return false;
	SetFourViews(!Four);
	return true;
}

bool CViewports::OnMouse(const SEvent::SMouseInput& mouse)
{
	const core::position2d<s32> at(mouse.X, mouse.Y);
	switch (mouse.Event)
	{
	case EMIE_LMOUSE_PRESSED_DOWN:
	case EMIE_RMOUSE_PRESSED_DOWN:
	case EMIE_MMOUSE_PRESSED_DOWN:
	{
		const SViewport view = ViewAt(at);
		if (view.Kind != ActiveKind)
			Activate(view.Kind);
		if (mouse.Event != EMIE_MMOUSE_PRESSED_DOWN || !view.Orthographic())
			return false;
		Panning = true;
		PanView = view.Kind;
		PanFrom = at;
		return true;
	}
	case EMIE_MOUSE_WHEEL: Zoom(ViewAt(at), mouse); return true;
	case EMIE_MOUSE_MOVED:
		if (!Panning)
			return false;
		if (!mouse.isMiddlePressed())
			break;
		{
			// The point under the cursor stays under it.
			SOrthographic& ortho = Ortho[PanView];
			const SViewport view = View(PanView);
			const f32 perPixel = view.UnitsPerPixel(ortho.Centre);
			const core::vector3df up = Looks[PanView].up;
			const core::vector3df right = up.crossProduct(Looks[PanView].along);
			ortho.Centre += (up * static_cast<f32>(at.Y - PanFrom.Y) -
			                 right * static_cast<f32>(at.X - PanFrom.X)) *
			                perPixel;
			PanFrom = at;
			Place(PanView);
			Editor.RequestFrame();
		}
		return true;
	case EMIE_MMOUSE_LEFT_UP: break;
	default: return false;
	}
	// The middle button went up: the pan ends.
	const bool panned = Panning;
	Panning = false;
	return panned;
}

void CViewports::Zoom(const SViewport& view, const SEvent::SMouseInput& mouse)
{
	const core::line3df ray = view.Ray(core::position2d<s32>(mouse.X, mouse.Y));
	if (!view.Orthographic())
	{
		Editor.Orbit->zoomToward(Editor.Camera, ray, mouse.Wheel, Editor.SurfaceDistance(ray));
		return;
	}
	// Scaling the view about the point under the cursor keeps it there.
	SOrthographic& ortho = Ortho[view.Kind];
	const core::vector3df along = Looks[view.Kind].along;
	const core::vector3df point = ray.start + along * (ortho.Centre - ray.start).dotProduct(along);
	const f32 height =
	    core::clamp(ortho.Height * std::pow(WheelFactor, mouse.Wheel), MinHeight, MaxHeight);
	ortho.Centre = point + (ortho.Centre - point) * (height / ortho.Height);
	ortho.Height = height;
	Place(view.Kind);
	Editor.RequestFrame();
}

// ---------------------------------------------------------------------------
// Drawing

size_t CViewports::State() const
{
	size_t hash = static_cast<size_t>(Four) << 8 ^ static_cast<size_t>(ActiveKind) << 4 ^
	              static_cast<size_t>(GridOn);
	for (int v = VIEW_TOP; v < VIEW_COUNT; ++v)
	{
		Mix(hash, Ortho[v].Centre.X);
		Mix(hash, Ortho[v].Centre.Y);
		Mix(hash, Ortho[v].Centre.Z);
		Mix(hash, Ortho[v].Height);
	}
	Mix(hash, Editor.Transform.GridStep());
	return hash;
}

void CViewports::DrawView(const SViewport& view)
{
	video::IVideoDriver* driver = Editor._driver;
	scene::ISceneManager* smgr = Editor._smgr;
	driver->setViewPort(view.Area);
	smgr->setActiveCamera(view.Camera);
	// A sky box seen orthographically is one flat face: these views show
	// the scene's colour behind the scene instead.
	scene::ISceneNode* sky = view.Orthographic() ? Editor.SkyBox : 0;
	const bool skyShown = sky && sky->isVisible();
	if (skyShown)
		sky->setVisible(false);
	const f32 step = Editor.Transform.GridStep();
	if (GridOn && view.Orthographic())
	{
		driver->setTransform(video::ETS_VIEW, view.ViewMatrix());
		driver->setTransform(video::ETS_PROJECTION, view.Camera->getProjectionMatrix());
		Grid.Draw(driver, view, step);
	}
	if (view.Orthographic())
		smgr->getRootSceneNode()->addChild(view.Camera);
	smgr->drawAll();
	DrawEmpties(Editor);
	if (view.Orthographic())
		view.Camera->remove();
	if (GridOn && !view.Orthographic())
		Grid.Draw(driver, view, step);
	if (skyShown)
		sky->setVisible(true);
	// After the scene and the grid, whose depths tell where it is hidden.
	// Every selected object is outlined, the current one too.
	const std::vector<int> selected = Editor.SelectedSlots();
	for (int slot : selected)
		Outline.Draw(driver, view, Editor.ObjectAt(slot));
	if (selected.empty())
		Outline.Draw(driver, view, Editor.SelectedModel);
	Editor.Handles.Draw(view);
}

void CViewports::Draw()
{
	video::IVideoDriver* driver = Editor._driver;
	PlaceAll(); // the window may have changed its shape
	const std::vector<SViewport> shown = ShownViews();
	for (const SViewport& view : shown)
		DrawView(view);
	const core::dimension2d<u32> screen = driver->getScreenSize();
	driver->setViewPort(core::rect<s32>(0, 0, screen.Width, screen.Height));
	Editor._smgr->setActiveCamera(ActiveView().Camera);
	// The handles' squares and the frames are drawn in 2D after every
	// view's 3D: this engine release does not set its 2D projection again
	// for a 2D draw between 3D draws.
	for (const SViewport& view : shown)
		Editor.Handles.DrawMarks(view);
	if (Four)
		DrawFrames(shown);
}

void CViewports::DrawFrames(const std::vector<SViewport>& shown)
{
	video::IVideoDriver* driver = Editor._driver;
	gui::IGUIFont* font = Editor._gui->getSkin()->getFont();
	for (const SViewport& view : shown)
	{
		const core::rect<s32>& area = view.Area;
		driver->draw2DRectangleOutline(area, Divider);
		if (font)
		{
			const core::dimension2d<u32> size = font->getDimension(CAPTIONS[view.Kind]);
			const s32 left = area.UpperLeftCorner.X + CaptionMargin;
			const s32 bottom = area.LowerRightCorner.Y - CaptionMargin;
			font->draw(CAPTIONS[view.Kind],
			           core::rect<s32>(left, bottom - static_cast<s32>(size.Height),
			                           left + static_cast<s32>(size.Width), bottom),
			           CaptionColour);
		}
	}
	for (const SViewport& view : shown)
		if (view.Kind == ActiveKind)
		{
			core::rect<s32> inner = view.Area;
			for (int i = 0; i < 2; ++i)
			{
				driver->draw2DRectangleOutline(inner, ActiveOutline);
				inner.UpperLeftCorner += core::position2d<s32>(1, 1);
				inner.LowerRightCorner -= core::position2d<s32>(1, 1);
			}
		}
}
