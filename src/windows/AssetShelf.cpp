// The "Assets" window; see AssetShelf.h.
#include "AssetShelf.h"

#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <sys/stat.h>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "LoadedData.h"

namespace
{
const s32 COLUMNS = 4, ROWS = 4;
const s32 CELL_WIDTH = 80, CELL_HEIGHT = 96, GRID_TOP = 60;
const video::SColor PictureBackground(255, 60, 60, 80);

// By extension, in any case: what "Object", "Add", "Model" and "Load Skin1"
// take (levels, .bsp and .pk3, belong to "World Properties").
const char* const ModelExtensions[] = {"3ds", "obj",  "x",   "b3d",     "md2",  "md3",  "ms3d",
                                       "lwo", "my3d", "dmf", "oct",     "csm",  "lmts", "ply",
                                       "stl", "mesh", "dae", "irrmesh", "gltf", "glb",  "fbx"};
const char* const ImageExtensions[] = {"bmp", "jpg", "jpeg", "png", "tga",
                                       "pcx", "psd", "ppm",  "pgm", "pbm"};

template <size_t N> bool HasExtension(const std::string& name, const char* const (&extensions)[N])
{
	const size_t dot = name.rfind('.');
	if (dot == std::string::npos)
		return false;
	std::string extension = name.substr(dot + 1);
	std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
	for (const char* known : extensions)
		if (extension == known)
			return true;
	return false;
}

core::rect<s32> CellRect(s32 cell)
{
	const s32 x = 10 + (cell % COLUMNS) * CELL_WIDTH, y = GRID_TOP + (cell / COLUMNS) * CELL_HEIGHT;
	return core::rect<s32>(x, y, x + CELL_WIDTH, y + CELL_HEIGHT);
}
} // namespace

CAssetShelf::~CAssetShelf() = default;

void CAssetShelf::Create()
{
	gui::IGUIEnvironment* gui = Editor._gui;
	Window = Editor.AddToolWindow(core::rect<s32>(430, 60, 790, 515), L"Assets", ID_ASSETS_WINDOW);
	// It stays open until its own close button is pressed.
	Window->getCloseButton()->setVisible(true);
	Editor.AddLabel(L"Folder:", core::rect<s32>(10, 33, 62, 48), Window);
	FolderBox =
	    gui->addEditBox(L"", core::rect<s32>(64, 30, 310, 50), true, Window, ID_ASSETS_FOLDER);
	gui->addButton(core::rect<s32>(315, 30, 345, 50), Window, ID_ASSETS_BROWSE, L"...");
	Rows =
	    gui->addScrollBar(false, core::rect<s32>(335, GRID_TOP, 350, GRID_TOP + ROWS * CELL_HEIGHT),
	                      Window, ID_ASSETS_ROWS);
	Rows->setMax(0);
	for (s32 i = 0; i < COLUMNS * ROWS; ++i)
	{
		const core::rect<s32> cell = CellRect(i);
		const s32 left = cell.UpperLeftCorner.X + (CELL_WIDTH - PICTURE_SIZE) / 2;
		const s32 top = cell.UpperLeftCorner.Y;
		SCell shown;
		shown.Picture = gui->addImage(
		    core::rect<s32>(left, top, left + PICTURE_SIZE, top + PICTURE_SIZE), Window, ID_PLAIN);
		shown.Picture->setUseAlphaChannel(false);
		shown.Name = gui->addStaticText(L"",
		                                core::rect<s32>(cell.UpperLeftCorner.X + 2, top + 66,
		                                                cell.LowerRightCorner.X - 2, top + 82),
		                                false, false, Window, ID_PLAIN);
		shown.Name->setTextAlignment(gui::EGUIA_CENTER, gui::EGUIA_UPPERLEFT);
		// The cells are the grid's own parts, not controls of their own.
		shown.Picture->setSubElement(true);
		shown.Name->setSubElement(true);
		Cells.push_back(shown);
	}
	ShowCells();
}

void CAssetShelf::Show()
{
	Window->setVisible(true);
	Editor._gui->getRootGUIElement()->bringToFront(Window);
	// It opens on the working directory until a folder is chosen.
	if (!FolderBox->getText()[0])
		ChooseFolder(WorkingDirectory() + "/");
}

bool CAssetShelf::ShowFolder(const std::string& folder)
{
	Listed.clear();
	std::string prefix = folder;
	if (!prefix.empty() && prefix.back() != '/')
		prefix += '/';
	DIR* dir = prefix.empty() ? 0 : opendir(prefix.c_str());
	for (dirent* item = dir ? readdir(dir) : 0; item; item = readdir(dir))
	{
		const std::string name = item->d_name;
		const bool model = HasExtension(name, ModelExtensions);
		struct stat info;
		if (name[0] == '.' || (!model && !HasExtension(name, ImageExtensions)) ||
		    stat((prefix + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
			continue;
		SEntry entry;
		entry.File = prefix + name;
		entry.Name = FileNameToWide(name);
		entry.Model = model;
		entry.Size = info.st_size;
		entry.Time = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
		Listed.push_back(entry);
	}
	if (dir)
		closedir(dir);
	std::sort(Listed.begin(), Listed.end(),
	          [](const SEntry& a, const SEntry& b) { return a.File < b.File; });
	const s32 rows = (static_cast<s32>(Listed.size()) + COLUMNS - 1) / COLUMNS;
	Rows->setMax(std::max(0, rows - ROWS));
	Rows->setSmallStep(1);
	Rows->setLargeStep(ROWS);
	Rows->setPos(0);
	FirstShown = 0;
	ShowCells();
	Editor.RequestFrame();
	return dir != 0;
}

std::string CAssetShelf::FolderShown() const
{
	std::string folder;
	return WideToFileName(FolderBox->getText(), folder) && IsFolder(folder) ? folder : "";
}

void CAssetShelf::ChooseFolder(const std::string& chosen)
{
	const std::string folder = IsFolder(chosen) ? chosen : chosen.substr(0, chosen.rfind('/') + 1);
	FolderBox->setText(FileNameToWide(folder).c_str());
	ShowFolder(folder);
}

video::ITexture* CAssetShelf::PictureOf(size_t entry) const
{
	const auto found = entry < Listed.size() ? Pictures.find(KeyOf(Listed[entry])) : Pictures.end();
	return found == Pictures.end() ? 0 : found->second.Texture;
}

size_t CAssetShelf::Pending() const
{
	size_t pending = 0;
	for (const SEntry& entry : Listed)
		pending += Pictures.count(KeyOf(entry)) ? 0 : 1;
	return pending;
}

void CAssetShelf::Update()
{
	if (!Window || !Window->isVisible() || Editor.Loading)
		return;
	// The cells in view first, then the rest of the folder; a second picture
	// only while the pass is still short (a load through the helper takes
	// a few milliseconds to tens of them).
	const double start = Editor.Now();
	int made = 0;
	for (size_t i = 0; i < Listed.size() && made < PICTURES_PER_PASS &&
	                   (made == 0 || Editor.Now() - start < PASS_SECONDS);
	     ++i)
	{
		const SEntry& entry = Listed[(FirstShown + i) % Listed.size()];
		if (Pictures.count(KeyOf(entry)))
			continue;
		MakePicture(entry);
		++made;
	}
	if (made)
		ShowCells();
	// Once every picture is made the shelf asks for nothing: the editor rests.
	if (made || Pending())
		Editor.RequestFrame();
}

void CAssetShelf::MakePicture(const SEntry& entry)
{
	// A file changed since its picture was made: the old picture goes.
	for (auto kept = Pictures.begin(); kept != Pictures.end();)
		if (std::get<0>(kept->first) == entry.File)
		{
			if (kept->second.Texture)
				Editor._driver->removeTexture(kept->second.Texture);
			kept = Pictures.erase(kept);
		}
		else
			++kept;
	SPicture picture;
	picture.Texture = entry.Model ? DrawModel(entry) : ScaleImage(entry);
	Pictures[KeyOf(entry)] = picture;
	++Made;
}

// The pictures' own scene: a camera and a light, the model placed in it
// while it is drawn. The loader keeps it with its scene managers until
// shutdown, when the engine goes.
scene::ISceneManager* CAssetShelf::Stage()
{
	if (!PictureStage)
	{
		PictureStage = Editor._smgr->createNewSceneManager(false);
		Editor.Loader.LoaderManagers.push_back(PictureStage);
		PictureStage->addCameraSceneNode();
		PictureStage->setAmbientLight(video::SColorf(0.35f, 0.35f, 0.35f));
	}
	return PictureStage;
}

video::ITexture* CAssetShelf::DrawModel(const SEntry& entry)
{
	video::IVideoDriver* driver = Editor._driver;
	// Without drawing into a texture the name alone stands for the model,
	// and the file is not even read.
	if (!driver->queryFeature(video::EVDF_RENDER_TO_TARGET))
		return 0;
	scene::IMeshCache* cache = Editor._smgr->getMeshCache();
	const bool cached = cache->getMeshByName(entry.File.c_str()) != 0;
	scene::IAnimatedMesh* mesh = Editor.LoadMeshSafely(entry.File.c_str());
	if (!mesh)
		return 0;
	const std::string name = "asset shelf " + std::to_string(Made) + " " + entry.File;
	video::ITexture* target = driver->addRenderTargetTexture(
	    core::dimension2du(PICTURE_SIZE, PICTURE_SIZE), name.c_str(), video::ECF_A8R8G8B8);
	if (target)
	{
		scene::ISceneManager* stage = Stage();
		scene::IAnimatedMeshSceneNode* node = stage->addAnimatedMeshSceneNode(mesh);
		node->setAnimationSpeed(0);
		// Seen from the front, a little from above and aside, far enough
		// back that the ball around its box fits the picture.
		const core::aabbox3df box = mesh->getMesh(0)->getBoundingBox();
		const core::vector3df centre = box.getCenter();
		const f32 radius = std::max(box.getExtent().getLength() * 0.5f, 0.001f);
		scene::ICameraSceneNode* camera = stage->getActiveCamera();
		camera->setAspectRatio(1.0f);
		const f32 distance = radius / std::sin(camera->getFOV() * 0.5f) * 1.05f;
		const core::vector3df eye =
		    centre + core::vector3df(0.6f, 0.5f, -1.0f).normalize() * distance;
		camera->setPosition(eye);
		camera->setTarget(centre);
		camera->updateAbsolutePosition();
		camera->setNearValue(std::max(distance - radius * 1.1f, distance * 0.01f));
		camera->setFarValue(distance + radius * 1.1f);
		scene::ILightSceneNode* light = stage->addLightSceneNode(
		    0, eye + core::vector3df(0, radius, 0), video::SColorf(1, 1, 1), distance * 4);
		driver->setRenderTarget(target, true, true, PictureBackground);
		stage->drawAll();
		driver->setRenderTarget(0, false, false);
		light->remove();
		node->remove();
	}
	// A model only looked at does not stay in memory; one added is loaded
	// again through the helper.
	if (!cached)
		cache->removeMesh(mesh);
	return target;
}

// The image is read through the helper and scaled down here, so that a
// folder of large textures costs the driver small pictures only.
video::ITexture* CAssetShelf::ScaleImage(const SEntry& entry)
{
	loaded::SContent content;
	if (!Editor.Loader.AcquireFile(LOADKIND_TEXTURE, entry.File, content) || !content.Image)
		return 0;
	video::IVideoDriver* driver = Editor._driver;
	const core::dimension2du size = content.Image->getDimension();
	const f32 scale = static_cast<f32>(PICTURE_SIZE) / std::max(size.Width, size.Height);
	const core::dimension2du scaled(std::max(1u, static_cast<u32>(size.Width * scale)),
	                                std::max(1u, static_cast<u32>(size.Height * scale)));
	video::IImage* small = driver->createImage(video::ECF_A8R8G8B8, scaled);
	video::IImage* square =
	    driver->createImage(video::ECF_A8R8G8B8, core::dimension2du(PICTURE_SIZE, PICTURE_SIZE));
	content.Image->copyToScaling(small);
	square->fill(PictureBackground);
	small->copyTo(square, core::position2di((PICTURE_SIZE - scaled.Width) / 2,
	                                        (PICTURE_SIZE - scaled.Height) / 2));
	const std::string name = "asset shelf " + std::to_string(Made) + " " + entry.File;
	video::ITexture* picture = driver->addTexture(name.c_str(), square);
	small->drop();
	square->drop();
	return picture;
}

void CAssetShelf::ShowCells()
{
	for (size_t i = 0; i < Cells.size(); ++i)
	{
		const size_t entry = FirstShown + i;
		const bool listed = entry < Listed.size();
		video::ITexture* picture = listed ? PictureOf(entry) : 0;
		Cells[i].Picture->setImage(picture);
		Cells[i].Picture->setVisible(picture != 0);
		Cells[i].Name->setText(listed ? Listed[entry].Name.c_str() : L"");
		Cells[i].Name->setToolTipText(listed ? FileNameToWide(Listed[entry].File).c_str() : L"");
	}
}

bool CAssetShelf::OnGuiEvent(const SEvent::SGUIEvent& event)
{
	if (!Window || !event.Caller)
		return false;
	if (event.EventType == gui::EGET_ELEMENT_CLOSED && event.Caller == Window)
	{
		Window->setVisible(false);
		return true;
	}
	if (event.EventType == gui::EGET_EDITBOX_ENTER && event.Caller == FolderBox)
	{
		std::string folder;
		if (!WideToFileName(FolderBox->getText(), folder) || !ShowFolder(folder))
			Editor.ShowMessage(L"Assets", L"The field names no folder.");
		return true;
	}
	if (event.EventType == gui::EGET_SCROLL_BAR_CHANGED && event.Caller == Rows)
	{
		FirstShown = static_cast<size_t>(Rows->getPos()) * COLUMNS;
		ShowCells();
		return true;
	}
	return false;
}

// Only where the shelf itself is on top (not under a dialog or a menu).
bool CAssetShelf::ShelfAt(const core::position2di& point) const
{
	if (!Window || !Window->isVisible())
		return false;
	gui::IGUIElement* hit = Editor._gui->getRootGUIElement()->getElementFromPoint(point);
	while (hit && hit != Window)
		hit = hit->getParent();
	return hit != 0;
}

int CAssetShelf::EntryAt(const core::position2di& point) const
{
	if (!ShelfAt(point))
		return -1;
	for (size_t i = 0; i < Cells.size(); ++i)
	{
		core::rect<s32> cell = Cells[i].Picture->getAbsolutePosition();
		cell.addInternalPoint(Cells[i].Name->getAbsolutePosition().LowerRightCorner);
		if (cell.isPointInside(point) && FirstShown + i < Listed.size())
			return static_cast<int>(FirstShown + i);
	}
	return -1;
}

bool CAssetShelf::OverView(const core::position2di& point) const
{
	gui::IGUIElement* root = Editor._gui->getRootGUIElement();
	return root->getElementFromPoint(point) == root;
}

bool CAssetShelf::OnMouse(const SEvent::SMouseInput& mouse)
{
	const core::position2di point(mouse.X, mouse.Y);
	switch (mouse.Event)
	{
	case EMIE_MOUSE_WHEEL:
		// The wheel over the shelf scrolls its rows.
		if (!ShelfAt(point))
			return false;
		Rows->setPos(Rows->getPos() - static_cast<s32>(mouse.Wheel));
		FirstShown = static_cast<size_t>(Rows->getPos()) * COLUMNS;
		ShowCells();
		return true;
	case EMIE_LMOUSE_DOUBLE_CLICK:
	{
		const int entry = EntryAt(point);
		if (entry < 0)
			return false;
		Pressed = -1;
		Dragging = false;
		Use(static_cast<size_t>(entry));
		return true;
	}
	case EMIE_LMOUSE_PRESSED_DOWN:
		// The press is the picture's, not the window's (which would move).
		Pressed = EntryAt(point);
		if (Pressed < 0)
			return false;
		PressedAt = point;
		Dragging = false;
		Editor._gui->getRootGUIElement()->bringToFront(Window);
		Editor._gui->setFocus(Window);
		return true;
	case EMIE_MOUSE_MOVED:
		if (Pressed < 0 || !(mouse.ButtonStates & EMBSM_LEFT))
			return false;
		Dragging = Dragging || point.getDistanceFromSQ(PressedAt) > 25;
		return true;
	case EMIE_LMOUSE_LEFT_UP:
	{
		if (Pressed < 0)
			return false;
		const size_t entry = static_cast<size_t>(Pressed);
		const bool dropped = Dragging && OverView(point);
		Pressed = -1;
		Dragging = false;
		if (dropped)
			DropAt(entry, point);
		return true;
	}
	default: return false;
	}
}

bool CAssetShelf::Use(size_t entry)
{
	if (entry >= Listed.size())
		return false;
	const char* file = Listed[entry].File.c_str();
	return Listed[entry].Model ? Editor.CreateNewModel(file) : Editor.LoadModelSkin(file);
}

bool CAssetShelf::DropAt(size_t entry, const core::position2di& point)
{
	if (entry >= Listed.size() || !Listed[entry].Model)
		return false;
	const core::line3df ray =
	    Editor._smgr->getSceneCollisionManager()->getRayFromScreenCoordinates(point, Editor.Camera);
	// Measured before the model is there, so that it does not meet itself.
	const f32 distance = Editor.SurfaceDistance(ray);
	const std::string file = Listed[entry].File;
	return Editor.AsOneStep(
	    [&]
	    {
		    if (!Editor.CreateNewModel(file.c_str()))
			    return false;
		    CModel* model = Editor.SelectedModel;
		    if (distance <= 0 || !model || !model->AnimatedNode)
			    return true; // nothing under the cursor: at the marker
		    const core::vector3df ground = ray.start + ray.getVector().normalize() * distance;
		    model->AnimatedNode->updateAbsolutePosition();
		    const core::aabbox3df box = model->AnimatedNode->getTransformedBoundingBox();
		    const core::vector3df foot(box.getCenter().X, box.MinEdge.Y, box.getCenter().Z);
		    // Within this step: SetSelectedTransform would make a step of its own.
		    Editor.SetTransformOf(model, model->getPosition() + (ground - foot),
		                          model->getRotation(), model->getScale());
		    Editor.SelectNewSceneNode(false);
		    return true;
	    });
}
