// The editor's object and world operations, the text-field focus guard and
// the level export.
#include "CSceneEditor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <unistd.h>

#include "EditorIds.h"
#include "FileNames.h"
#include "HeightMap.h"
#include "InstallPaths.h"
#include "ObjectKinds.h"
#include "PendingFile.h"
#include "Quake3Level.h"
#include "TransferFormat.h"

namespace
{
const wchar_t* const LoadModelError = L"Load Model Error!";
const wchar_t* const LoadQ3LevelError = L"Load Q3 Level Error!";
const wchar_t* const LoadSkinError = L"Load Skin Error!";
const wchar_t* const LoadTerrainError = L"Load Terrain Error!";
const wchar_t* const WrongFile = CFileLoader::WRONG_FILE;
const wchar_t* const NoModelSelected = L"No model in selection. Texture could not be loaded. ";
const wchar_t* const NoWaterSelected = L"No water in selection. Texture could not be loaded. ";
// A new water surface's texture (in the data folder) and its material:
// TRANS_ADD_COLOR.
const char* const WaterTexture = "water.jpg";
const s32 WaterMaterial = 11;
const wchar_t* const NoTriangles = L"The file holds no triangles to draw.";
// The engine drops every surface of a level whose texture it cannot find.
const wchar_t* const NoSurfaces = L"The level has no surfaces to draw. Are its textures missing?";

core::stringw ImageSizeLimit(const core::dimension2du& size)
{
	wchar_t text[160];
	swprintf(text, 160,
	         L"The image is %u x %u pixels; the editor takes images of up to %u pixels a side.",
	         size.Width, size.Height, transfer::MaxImageSide);
	return text;
}
} // namespace

void CSceneEditor::ShowMessage(const wchar_t* caption, const wchar_t* text)
{
	if (MessageLog)
	{
		MessageLog->push_back(std::wstring(caption) + L": " + text);
		return;
	}
	_gui->addMessageBox(caption, text, true, gui::EMBF_OK, 0, ID_NONE);
}

// A question in a message box that has the keys: Y answers Yes, N No and
// Escape Cancel.
void CSceneEditor::Ask(const wchar_t* caption, const std::wstring& text, s32 buttons, s32 id,
                       gui::IGUIElement* parent)
{
	_gui->setFocus(_gui->addMessageBox(caption, text.c_str(), true, buttons, parent, id));
}

bool CSceneEditor::HasUnsavedChanges() const
{
	return Document.Unsaved();
}

// ---------------------------------------------------------------------------
// Loading what the user chose

scene::IAnimatedMesh* CSceneEditor::LoadMeshSafely(const char* filename)
{
	// A mesh the engine already holds has been loaded safely before.
	scene::IMeshCache* cache = _smgr->getMeshCache();
	if (scene::IAnimatedMesh* cached = cache->getMeshByName(filename))
		return cached;
	loaded::SContent content;
	if (!Loader.AcquireFile(LOADKIND_MESH, filename, content))
		return 0;
	if (!content.Refusal.empty())
	{
		core::stringw why = core::stringw(L"The model cannot be read: ") + content.Refusal.c_str();
		if (content.Refusal.back() != '.')
			why += L".";
		Loader.Refuse(why);
		return 0;
	}
	scene::IAnimatedMesh* mesh =
	    content.Keep ? Loader.LoadWithFreshLoaders(filename) : content.Mesh;
	scene::IMesh* frame = content.Keep && mesh ? mesh->getMesh(0) : 0;
	if (content.Empty || (content.Keep && mesh && !(frame && transfer::HoldsTriangles(frame))))
	{
		// Added to nothing, it would be an object nobody can see or pick.
		if (mesh && content.Keep)
			cache->removeMesh(mesh);
		Loader.Refuse(NoTriangles);
		return 0;
	}
	if (mesh && !content.Keep) // cached under the name the engine's getMesh gives it
		cache->addMesh(filename, mesh);
	return mesh;
}

// The engine's getTexture looks a texture up by its absolute path, then by
// the name it was given; a new one is entered under the name the helper's
// engine gave it.
video::ITexture* CSceneEditor::LoadTextureSafely(const char* filename)
{
	if (video::ITexture* cached =
	        _driver->findTexture(_device->getFileSystem()->getAbsolutePath(filename)))
		return cached;
	if (video::ITexture* cached = _driver->findTexture(filename))
		return cached;
	loaded::SContent content;
	if (!Loader.AcquireFile(LOADKIND_TEXTURE, filename, content) || !content.Image)
	{
		if (content.TooLarge.Width)
			Loader.Refuse(ImageSizeLimit(content.TooLarge));
		return 0;
	}
	if (video::ITexture* cached = _driver->findTexture(content.ImageName))
		return cached;
	return _driver->addTexture(content.ImageName, content.Image);
}

// ---------------------------------------------------------------------------
// Models and water

void CSceneEditor::Select(CModel* model)
{
	if (SelectedModel)
		SelectedModel->setDebugDataVisible(false);
	SelectedModel = model;
	Selection.clear();
	if (model)
		Selection.insert(SlotOf(model));
	SelectNewSceneNode(false);
}

// Slots are used in order while no slot after the last one used holds an
// object; after that, the lowest slot that holds none (never filled, or
// removed) is taken. 0 when 99 objects fill the table.
int CSceneEditor::NextModelSlot() const
{
	const auto empty = [this](int i) { return !ObjectNode(Model[i]); };
	bool emptyAfter = current_model < MODEL_SLOTS - 1;
	for (int i = current_model + 1; i < MODEL_SLOTS && emptyAfter; ++i)
		emptyAfter = empty(i);
	if (emptyAfter)
		return current_model + 1;
	for (int i = 1; i < MODEL_SLOTS; ++i)
		if (empty(i))
			return i;
	return 0;
}

bool CSceneEditor::CreateNewModel(const char* filename)
{
	const int slot = NextModelSlot();
	if (slot == 0)
	{
		ShowMessage(LoadModelError, L"The scene is full. Use File, Clear to start again.");
		return false;
	}
	// A refused file leaves the scene as it was, the slot counter too.
	scene::IAnimatedMesh* mesh = LoadMeshSafely(filename);
	if (!mesh)
	{
		ShowMessage(LoadModelError, Loader.LoadFailure(filename).c_str());
		return false;
	}
	SModelState record;
	record.Type = CModel::TYPE_MESH;
	record.Mesh = _smgr->getMeshCache()->getMeshName(mesh).getPath().c_str();
	record.Position = Positioner->getPosition();
	// The export names the mesh by the file it came from until the user
	// types another name.
	record.FileName = FileNameToWide(filename).c_str();
	CModel* model = BuildObject(slot, record);
	if (!model)
	{
		ShowMessage(LoadModelError, WrongFile);
		return false;
	}
	current_model = slot;
	Select(model);
	return true;
}

// Puts a texture the user chose into one layer of a node; a missing node
// (nothing of the right kind selected) and an unloadable file are reported.
bool CSceneEditor::LoadTextureInto(scene::ISceneNode* node, u32 layer, const char* filename,
                                   const wchar_t* noSelectionText)
{
	if (!node)
	{
		ShowMessage(LoadSkinError, noSelectionText);
		return false;
	}
	video::ITexture* texture = LoadTextureSafely(filename);
	if (!texture)
	{
		ShowMessage(LoadSkinError, Loader.LoadFailure(filename).c_str());
		return false;
	}
	node->setMaterialTexture(layer, texture);
	SceneChanged();
	return true;
}

scene::ISceneNode* CSceneEditor::NodeOfModelWindow() const
{
	const SObjectKind* kind = SelectedModel ? KindOf(SelectedModel->MODEL_TYPE) : 0;
	return kind && kind->Window() == ModelPropertiesWindow ? ObjectNode(SelectedModel) : 0;
}

bool CSceneEditor::LoadModelSkin(const char* filename)
{
	if (!LoadTextureInto(NodeOfModelWindow(), 0, filename, NoModelSelected))
		return false;
	// The export names the texture by the file it came from.
	SelectedModel->TextureName = FileNameToWide(filename).c_str();
	mpw_boxTexture->setText(SelectedModel->TextureName.c_str());
	return true;
}

bool CSceneEditor::LoadModelSkin2(const char* filename)
{
	return LoadTextureInto(NodeOfModelWindow(), 1, filename, NoModelSelected);
}

bool CSceneEditor::LoadWaterTexture1(const char* filename)
{
	return LoadTextureInto(SelectedModel ? SelectedModel->Node : 0, 0, filename, NoWaterSelected);
}

bool CSceneEditor::LoadWaterTexture2(const char* filename)
{
	return LoadTextureInto(SelectedModel ? SelectedModel->Node : 0, 1, filename, NoWaterSelected);
}

void CSceneEditor::DeleteSelectedModel()
{
	if (!SelectedModel)
	{
		ShowMessage(L"Delete Error!", L"No model in selection.");
		return;
	}
	const int slot = SlotOf(SelectedModel);
	if (slot >= 0)
	{
		// What hangs from the object goes with it, as one step.
		AdoptObject(slot);
		SCommand remove = commands::RemoveTree(slot);
		if (const SModelState* record = Document.Object(slot); record && !record->Name.empty())
			remove.What = std::wstring(L"Remove ") + record->Name.c_str();
		Execute(remove);
	}
	else
		SelectedModel->remove();
	SelectedModel = 0;
	Selection.clear();
}

bool CSceneEditor::AddAtMarker(s32 type)
{
	const SObjectKind* kind = KindOf(type);
	const int slot = NextModelSlot();
	if (!kind)
		return false;
	if (slot == 0)
	{
		ShowMessage(L"Add Error!", L"The scene is full. Use File, Clear to start again.");
		return false;
	}
	SModelState record;
	record.Type = type;
	record.Values = DefaultValuesOf(*kind);
	record.Position = Positioner->getPosition();
	if (kind->Place)
		kind->Place(*this, record);
	// Built first and then taken into the document, as a loaded model is,
	// so that the record names the node's materials as a sync reads them.
	const bool added = AsOneStep(
	    [&]
	    {
		    if (type == CModel::TYPE_SKYDOME)
			    RemoveSkies();
		    if (!BuildObject(slot, record))
			    return false;
		    current_model = slot;
		    return true;
	    });
	if (!added)
	{
		ShowMessage(L"Add Error!", L"The object could not be built.");
		return false;
	}
	Select(ObjectAt(slot));
	return true;
}

void CSceneEditor::RemoveSkies()
{
	Execute(commands::EditWorld(
	    [](SWorldState& world)
	    {
		    world.Sky.clear();
		    world.SkyHidden = world.SkyLocked = false;
	    }));
	for (int slot = 1; slot < MODEL_SLOTS; ++slot)
		if (Document.Object(slot) && Document.Object(slot)->Type == CModel::TYPE_SKYDOME)
			Execute(commands::RemoveObject(slot));
}

bool CSceneEditor::CreateNewWater()
{
	// One water surface at a time, at the marker: a new one replaces the old.
	// It covers about the ground in view around the marker, its waves just
	// above it, and shows the editor's water texture added to what lies
	// below, so that the floor stays visible through it.
	SModelState record;
	record.Type = CModel::TYPE_WATER;
	const SObjectKind& kind = *KindOf(CModel::TYPE_WATER);
	record.Values.assign(kind.DefaultValues, kind.DefaultValues + kind.ValueCount);
	record.Position = Positioner->getPosition() + core::vector3df(0, record.Values[0], 0);
	const f32 meshSide = CModel::WATER_TILE_SIDE * CModel::WATER_TILES;
	const f32 side = core::max_(Camera->getPosition().getDistanceFrom(Camera->getTarget()), 50.0f);
	record.Scale.set(side / meshSide, 1.0f, side / meshSide);
	record.Material = WaterMaterial;
	if (video::ITexture* texture = _driver->getTexture((DataFolder() + WaterTexture).c_str()))
		record.Textures[0] = {texture->getName().getPath().c_str()};
	if (!BuildObject(WATER_SLOT, record))
	{
		ShowMessage(L"Water Error!", L"Water creation failed.");
		return false;
	}
	Select(Water);
	return true;
}

// ---------------------------------------------------------------------------
// Focus guard

// A window that closed (hidden, or removed like a finished file dialog)
// leaves the focus on one of its controls; keys would then go to a field
// nobody sees. Such a focus is dropped, so that the keys belong to the scene.
void CSceneEditor::DropHiddenFocus()
{
	gui::IGUIElement* focus = _gui->getFocus();
	gui::IGUIElement* root = _gui->getRootGUIElement();
	gui::IGUIElement* shown = focus;
	while (shown && shown != root && shown->isVisible())
		shown = shown->getParent();
	if (focus && shown != root)
		_gui->removeFocus(focus);
}

bool CSceneEditor::CheckEditBoxFocus()
{
	if (ChooserWantsFocus && LevelChooserWindow->isVisible())
		_gui->setFocus(LevelChooserList);
	ChooserWantsFocus = false;
	DropHiddenFocus();
	gui::IGUIEditBox* const boxes[] = {mpw_boxFileName,  mpw_boxTexture,  mpw_boxTexture2,
	                                   sow_editboxDir,   sbw_editboxDir,  sbw_editboxUp,
	                                   sbw_editboxDown,  sbw_editboxLeft, sbw_editboxRight,
	                                   sbw_editboxFront, sbw_editboxBack};
	for (gui::IGUIEditBox* box : boxes)
		if (box && _gui->hasFocus(box))
			return true;
	// Any other edit box too, such as the file-open dialog's path field.
	gui::IGUIElement* focus = _gui->getFocus();
	return focus && focus->getType() == gui::EGUIET_EDIT_BOX;
}

// ---------------------------------------------------------------------------
// World geometry

namespace
{
// Replaces the node a field holds: the old one leaves the scene only once
// its successor exists.
template <typename Node> void ReplaceNode(Node*& field, Node* successor)
{
	if (field)
		field->remove();
	field = successor;
}

// Ground and level sit unlit at the origin, in place of their predecessor.
void PlaceWorldMesh(scene::ISceneNode*& field, scene::ISceneNode* node)
{
	ReplaceNode(field, node);
	node->setPosition(core::vector3df(0, 0, 0));
	node->setMaterialFlag(video::EMF_LIGHTING, false);
}

} // namespace

bool CSceneEditor::LoadLevelPlane(const char* filename)
{
	if (Q3LevelNode || Terrain)
	{
		ShowMessage(L"Load Plane Error!", L"Must delete Q3Mesh or Terain.");
		return false;
	}
	scene::IAnimatedMesh* mesh = LoadMeshSafely(filename);
	if (!mesh)
	{
		ShowMessage(LoadModelError, Loader.LoadFailure(filename).c_str());
		return false;
	}
	if (!PlacePlane(mesh))
	{
		ShowMessage(L"Load Plane Error!", WrongFile);
		return false;
	}
	ShowMessage(L"Plane Message", L"The plane is scaled x8. Position is 0,0,0.");
	return true;
}

bool CSceneEditor::PlacePlane(scene::IAnimatedMesh* mesh)
{
	scene::IAnimatedMeshSceneNode* plane = _smgr->addAnimatedMeshSceneNode(mesh, 0, ID_NONE);
	if (!plane)
		return false;
	PlaceWorldMesh(LevelPlane, plane);
	// Spread eight times and flattened onto y = 0.
	plane->setScale(core::vector3df(8, 0, 8));
	SceneChanged();
	return true;
}

bool CSceneEditor::LoadPlaneTexture(const char* filename)
{
	return LoadTextureInto(LevelPlane, 0, filename,
	                       L"No plane in level. Texture could not be loaded. ");
}

// The terrain, plane and level rows' "Delete": with nothing to delete,
// a message says what is missing.
template <typename Node> void CSceneEditor::DeleteWorldNode(Node*& field, const wchar_t* missing)
{
	if (!field)
	{
		ShowMessage(L"Delete Error", missing);
		return;
	}
	ReplaceNode<Node>(field, 0);
	SceneChanged();
}

void CSceneEditor::DeletePlane()
{
	DeleteWorldNode(LevelPlane, L"No plane in level. ");
}

bool CSceneEditor::LoadQ3Level(const char* filename)
{
	if (!IsLevelArchive(filename))
		return PlaceQ3Level(filename, "", nullptr);
	// One trial lists the archive's levels and loads its level when it
	// holds one.
	loaded::SContent content;
	if (!Loader.AcquireFile(LOADKIND_LEVEL, filename, content))
	{
		ShowMessage(LoadQ3LevelError,
		            LoadChecker.LastResult == LOADCHECK_FAILS
		                ? L"The archive holds no Quake 3 level (maps/*.bsp) that can be loaded."
		                : Loader.LoadFailure(filename).c_str());
		return false;
	}
	if (content.Names.size() == 1)
		return PlaceQ3Level(filename, content.Names[0], &content);
	ShowLevelChooser(filename, content.Names);
	return false;
}

bool CSceneEditor::LoadQ3LevelFromArchive(const char* archive, const char* levelName)
{
	return PlaceQ3Level(archive, levelName ? levelName : "", nullptr);
}

// The level as the helper handed it over, entered in the mesh cache under
// its own name.
scene::IAnimatedMesh* CSceneEditor::AcquireLevel(const std::string& chosen,
                                                 const std::string& levelName,
                                                 loaded::SContent* acquired)
{
	loaded::SContent own;
	loaded::SContent& content = acquired ? *acquired : own;
	if (!acquired && !Loader.AcquireFile(LOADKIND_LEVEL, chosen, content, levelName))
		return 0;
	const io::path name = LevelCacheName(chosen, levelName);
	if (content.Keep) // a texture the helper could not hand over
	{
		scene::IAnimatedMesh* own = LoadQuake3Level(Loader.FreshLoaders(), chosen, levelName);
		SLevelStart start;
		if (own && FindLevelStart(*static_cast<scene::IQ3LevelMesh*>(own), start))
			LevelStarts[name.c_str()] = start;
		return own;
	}
	if (content.Empty)
		Loader.Refuse(NoSurfaces);
	if (!content.Mesh)
		return 0;
	if (content.HasStart)
	{
		SLevelStart& start = LevelStarts[name.c_str()];
		start.Origin.set(content.Start[0], content.Start[1], content.Start[2]);
		start.Angle = content.Start[3];
	}
	_smgr->getMeshCache()->addMesh(name, content.Mesh);
	return content.Mesh;
}

// Loads a level (the chosen .bsp, or `levelName` of the chosen archive)
// through the crash-proof path and makes it the scene's level.
bool CSceneEditor::PlaceQ3Level(const std::string& chosen, const std::string& levelName,
                                loaded::SContent* acquired)
{
	scene::IMeshCache* cache = _smgr->getMeshCache();
	scene::IAnimatedMesh* mesh = cache->getMeshByName(LevelCacheName(chosen, levelName));
	if (!mesh)
		mesh = AcquireLevel(chosen, levelName, acquired);
	if (!mesh)
	{
		ShowMessage(LoadQ3LevelError, Loader.LoadFailure(chosen).c_str());
		return false;
	}
	// The engine drops every surface whose texture it cannot find.
	if (!HasTriangles(mesh))
	{
		cache->removeMesh(mesh);
		ShowMessage(LoadQ3LevelError, NoSurfaces);
		return false;
	}
	scene::IAnimatedMeshSceneNode* level = _smgr->addAnimatedMeshSceneNode(mesh, 0, ID_NONE);
	PlaceWorldMesh(Q3LevelNode, level);
	LevelFile = chosen;
	LevelName = levelName;
	SceneChanged();
	KeepInView(level);
	// Whoever asked for the level (a dialog, the command line, an undo),
	// the user sees it from where a player starts.
	View.ViewLevel();
	return true;
}

// The whole of a level or terrain stays in view from anywhere above it.
void CSceneEditor::KeepInView(scene::ISceneNode* node)
{
	const f32 diagonal = node->getTransformedBoundingBox().getExtent().getLength();
	if (Camera->getFarValue() < diagonal)
		Camera->setFarValue(diagonal);
}

void CSceneEditor::ShowLevelChooser(const std::string& archive,
                                    const std::vector<std::string>& names)
{
	ChooserArchive = archive;
	ChooserLevels = names;
	LevelChooserList->clear();
	for (const std::string& name : names)
		LevelChooserList->addItem(FileNameToWide(name).c_str());
	LevelChooserList->setItemHeight(LevelRowHeight);
	LevelChooserList->setSelected(0);
	LevelChooserWindow->setVisible(true);
	// The window sits in a modal screen of its own.
	_gui->getRootGUIElement()->bringToFront(LevelChooserWindow->getParent());
	_gui->setFocus(LevelChooserList); // typed letters pick a level
	ChooserWantsFocus = true;
}

bool CSceneEditor::LoadChosenLevel()
{
	LevelChooserWindow->setVisible(false);
	const s32 selected = LevelChooserList->getSelected();
	if (selected < 0 || selected >= static_cast<s32>(ChooserLevels.size()))
		return false;
	return LoadQ3LevelFromArchive(ChooserArchive.c_str(), ChooserLevels[selected].c_str());
}

void CSceneEditor::DeleteQ3Level()
{
	DeleteWorldNode(Q3LevelNode, L"No Q3 Level in scene. ");
}

// The height map is tried like every image the user chooses, then brought to
// the shape the engine's terrain needs (HeightMap.h).
bool CSceneEditor::LoadTerrain(const char* filename)
{
	if (LevelPlane)
	{
		ShowMessage(LoadTerrainError, L"Must delete the plane first.");
		return false;
	}
	// The helper decodes the image: the engine's BMP decoder damages the
	// heap of the process it runs in on some truncated files.
	loaded::SContent content;
	video::IImage* image =
	    Loader.AcquireFile(LOADKIND_TEXTURE, filename, content) ? content.Image : 0;
	// An image too large to hand over still tells its size.
	const core::dimension2du size = image ? image->getDimension() : content.TooLarge;
	if (!image && !size.Width)
	{
		ShowMessage(LoadTerrainError, Loader.LoadFailure(filename).c_str());
		return false;
	}
	const u32 side = heightmap::TerrainSide(size);
	wchar_t text[200];
	if (!image || core::min_(size.Width, size.Height) < 2 || side > heightmap::MaxSide)
	{
		swprintf(text, 200,
		         L"The height map is %u x %u pixels; the editor draws terrains of 2 x 2 "
		         L"up to %u x %u pixels.",
		         size.Width, size.Height, heightmap::MaxSide, heightmap::MaxSide);
		ShowMessage(LoadTerrainError, text);
		return false;
	}
	const bool colour = heightmap::HasColour(image);
	video::IImage* heights = heightmap::GreySquare(_driver, image, side, colour);
	scene::ITerrainSceneNode* terrain = BuildTerrain(heights);
	heights->drop();
	if (!terrain)
	{
		ShowMessage(LoadTerrainError, WrongFile);
		return false;
	}
	terrain->setMaterialFlag(video::EMF_LIGHTING, false);
	terrain->scaleTexture((side - 1) / heightmap::PixelsPerTextureTile);
	// A replaced terrain keeps the texture the user chose for it.
	if (Terrain)
		terrain->setMaterialTexture(0, Terrain->getMaterial(0).getTexture(0));
	ReplaceNode(Terrain, terrain);
	TerrainFile = filename;
	SceneChanged();
	KeepInView(terrain);
	if (colour || size != core::dimension2du(side, side))
	{
		swprintf(text, 200, L"The height map of %u x %u pixels was read as %u x %u grey pixels.",
		         size.Width, size.Height, side, side);
		ShowMessage(L"Terrain Message", text);
	}
	return true;
}

// The engine reads a height map only from a file: it gets this one as a BMP
// in memory, centred on the origin.
scene::ITerrainSceneNode* CSceneEditor::BuildTerrain(video::IImage* heights)
{
	const u32 side = heights->getDimension().Width;
	io::IFileSystem* files = _device->getFileSystem();
	std::vector<char> bmp(1024 + side * ((3 * side + 3) & ~3u));
	io::IWriteFile* out = files->createMemoryWriteFile(bmp.data(), bmp.size(), "heightmap.bmp");
	const bool written = _driver->writeImageToFile(heights, out);
	const long length = out->getPos();
	out->drop();
	if (!written)
		return 0;
	io::IReadFile* in = files->createMemoryReadFile(bmp.data(), length, "heightmap.bmp");
	const f32 half = (side - 1) * heightmap::PixelSpacing / 2;
	scene::ITerrainSceneNode* terrain = _smgr->addTerrainSceneNode(
	    in, 0, ID_NONE, core::vector3df(-half, 0, -half), core::vector3df(0, 0, 0),
	    core::vector3df(heightmap::PixelSpacing, heightmap::WhiteHeight / 255,
	                    heightmap::PixelSpacing),
	    video::SColor(255, 255, 255, 255), 5, scene::ETPS_17);
	in->drop();
	return terrain;
}

bool CSceneEditor::LoadTerrainTexture(const char* filename)
{
	return LoadTextureInto(Terrain, 0, filename,
	                       L"No terrain in level. Texture could not be loaded. ");
}

void CSceneEditor::DeleteTerrain()
{
	DeleteWorldNode(Terrain, L"No terrain in level. ");
}

bool CSceneEditor::LoadSkyBox()
{
	std::string dir;
	const bool dirConverted = WideToFileName(sbw_editboxDir->getText(), dir);
	gui::IGUIEditBox* const faces[6] = {sbw_editboxUp,    sbw_editboxDown,  sbw_editboxLeft,
	                                    sbw_editboxRight, sbw_editboxFront, sbw_editboxBack};
	video::ITexture* textures[6] = {};
	bool complete = dirConverted;
	for (int i = 0; i < 6; ++i)
	{
		std::string name;
		if (dirConverted && WideToFileName(faces[i]->getText(), name))
			textures[i] = LoadTextureSafely((dir + name).c_str());
		complete = complete && textures[i];
	}
	if (!complete)
	{
		ShowMessage(L"Load SkyBox Error!", L"Wrong filename or file format.");
		return false;
	}
	ReplaceNode(SkyBox,
	            _smgr->addSkyBoxSceneNode(textures[0], textures[1], textures[2], textures[3],
	                                      textures[4], textures[5], 0, ID_NONE));
	// One sky at a time: the sky box takes the place of a sky dome.
	for (int slot = 1; slot < MODEL_SLOTS; ++slot)
		if (Model[slot] && Model[slot]->MODEL_TYPE == CModel::TYPE_SKYDOME && Model[slot]->Node)
		{
			if (SelectedModel == Model[slot])
				SelectedModel = 0;
			Model[slot]->remove();
		}
	// The scene keeps the names the sky box was built from.
	KeepSkyBoxTexts();
	SceneChanged();
	return true;
}

// ---------------------------------------------------------------------------
// Level export

namespace
{
const char* const LevelHeaderText =
    "#ifndef TLVN_LEVEL_H\n"
    "#define TLVN_LEVEL_H\n"
    "\n#include <irrlicht.h>"
    "\nusing namespace irr; \nusing namespace core; \nusing namespace scene; \nusing "
    "namespace video; \nusing namespace io; \nusing namespace gui;"
    "\n\nclass TLVNLevel\n{"
    "\npublic:"
    "\n\tTLVNLevel(IrrlichtDevice* _device);\n\t~TLVNLevel();\n"
    "\n\tISceneManager* _smgr;\n"
    "\tIVideoDriver* _driver;"
    "\n\n\tISceneNode* Model[100];"
    "\n\n\tvoid LoadModels();"
    "\n}; \n\n#endif\n\n";

// The constructor clears the array and the destructor is defined, so that a
// game can test entries and destroy the object.
const char* const LevelSourceOpening = "#include \"Level.h\"\n\n"
                                       "TLVNLevel::TLVNLevel(IrrlichtDevice* _device)\n{\n"
                                       "\t_smgr = _device->getSceneManager();\n"
                                       "\t_driver = _device->getVideoDriver();\n"
                                       "\tfor (int i = 0; i < 100; ++i)\n\t\tModel[i] = 0;\n"
                                       "\n}\n\n"
                                       "TLVNLevel::~TLVNLevel()\n{\n}\n\n"
                                       "void TLVNLevel::LoadModels() \n{\n";

const char* const LevelSourceClosing = "\n}\n\n";

} // namespace

bool CSceneEditor::LevelSource(std::string& source, std::string& failedName)
{
	SyncDocument();
	source = LevelSourceOpening;
	for (int i = 1; i < MODEL_SLOTS; ++i)
	{
		const SModelState* record = Document.Object(i);
		if (!record)
			source += "//Model[" + std::to_string(i) + "] = Blank\n";
		else if (record->Type != CModel::TYPE_MESH)
			source += "//Model[" + std::to_string(i) + "] = the " +
			          core::stringc(KindOf(record->Type)->Name).c_str() + " after the models\n";
		else if (!KindOf(record->Type)->Export(source, i, ExportedModel(*record, Model[i])))
		{
			failedName = "the names of model " + std::to_string(i);
			return false;
		}
	}
	// Objects of other kinds follow the models.
	for (const SObjectKind* kind : ObjectKinds)
		for (int i = 0; i < MODEL_SLOTS && kind->Type != CModel::TYPE_MESH; ++i)
			if (Document.Object(i) && Document.Object(i)->Type == kind->Type &&
			    !kind->Export(source, i, *Document.Object(i)))
			{
				failedName = std::string("the names of the ") + core::stringc(kind->Name).c_str();
				return false;
			}
	// The names and the tree: every object made, each goes into its
	// parent's node, its transform relative to it.
	for (int i = 1; i < MODEL_SLOTS; ++i)
	{
		const SModelState* record = Document.Object(i);
		std::string name;
		if (!record || !WideToFileName(record->Name.c_str(), name))
			continue;
		const std::string node = "Model[" + std::to_string(i) + "]";
		if (!name.empty())
			source +=
			    "\tif (" + node + ")\n\t\t" + node + "->setName(" + CppStringLiteral(name) + ");\n";
		if (record->Parent > 0)
		{
			const std::string parent = "Model[" + std::to_string(record->Parent) + "]";
			source += "\tif (" + node + " && " + parent + ")\n\t\t" + node + "->setParent(" +
			          parent + ");\n";
		}
	}
	source += LevelSourceClosing;
	return true;
}

// The prefix's folder must exist. A Windows folder such as the default
// "C:\FOLDER\" would otherwise become part of two file names in the working
// directory.
bool CSceneEditor::SaveFolderUsable(const std::string& prefix)
{
	const bool drive = prefix.size() >= 3 && std::isalpha(static_cast<unsigned char>(prefix[0])) &&
	                   prefix[1] == ':' && prefix[2] == '\\';
	const size_t slash = prefix.rfind('/');
	const std::string folder = drive                        ? prefix
	                           : slash == std::string::npos ? "."
	                                                        : prefix.substr(0, slash + 1);
	if (!drive && IsFolder(folder))
		return true;
	core::stringw text(L"Saving failed: the folder \"");
	text += FileNameToWide(folder).c_str();
	text += L"\" does not exist. Type an existing folder ending in \"/\".";
	ShowMessage(L"Save Error", text.c_str());
	return false;
}

namespace
{
// The models the export names that a game's engine cannot load itself.
std::wstring BareEngineCannotLoad(const CSceneDocument& document)
{
	std::wstring names;
	for (int i = 1; i < CSceneEditor::MODEL_SLOTS; ++i)
	{
		const SModelState* record = document.Object(i);
		std::string file;
		if (record && record->Type == CModel::TYPE_MESH &&
		    WideToFileName(record->FileName.c_str(), file) && IsLibraryModel(file))
			names += (names.empty() ? L"" : L", ") + std::wstring(record->FileName.c_str());
	}
	if (names.empty())
		return names;
	return L" A game's bare engine cannot load " + names +
	       L"; the editor reads them with the Open Asset Import Library.";
}
} // namespace

bool CSceneEditor::SaveLevel()
{
	std::string dir;
	if (!ExportFolder(dir))
	{
		ShowMessage(L"Save Error", L"Saving failed: the folder's name is not a valid file name.");
		return false;
	}
	if (!SaveFolderUsable(dir))
		return false;
	std::string source, failedName;
	if (!LevelSource(source, failedName))
	{
		const core::stringw text =
		    core::stringw(L"Saving failed: ") + failedName.c_str() + L" are not valid file names.";
		ShowMessage(L"Save Error", text.c_str());
		return false;
	}

	CPendingFile header(dir + "Level.h");
	if (!header.opened())
	{
		ShowMessage(L"Save Error", L"Saving failed. Maybe the folder does not exist?");
		return false;
	}
	CPendingFile sourceFile(dir + "Level.cpp");
	CPendingFile* const files[] = {&header, &sourceFile};
	header.write(LevelHeaderText);
	sourceFile.write(source);
	for (CPendingFile* file : files)
		if (!file->finish())
		{
			ShowMessage(L"Save Error",
			            SaveFailure("could not write", file->Target, file->Error).c_str());
			return false;
		}
	// Both files are replaced, or neither: a game never gets a half-new pair.
	CPendingFile* failed = 0;
	if (!CPendingFile::commitAll({&header, &sourceFile}, failed))
	{
		ShowMessage(L"Save Error",
		            SaveFailure("could not replace", failed->Target, failed->Error).c_str());
		return false;
	}
	ShowMessage(L"Saved!", (L"Level data saved!" + BareEngineCannotLoad(Document)).c_str());
	return true;
}
