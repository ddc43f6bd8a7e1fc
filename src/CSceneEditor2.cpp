// The editor's object and world operations, the text-field focus guard and
// the level export.
#include "CSceneEditor.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <sys/stat.h>
#include <unistd.h>

#include "EditorIds.h"
#include "FileNames.h"
#include "HalfLifeCheck.h"
#include "HeightMap.h"
#include "PendingFile.h"
#include "Quake3Level.h"

namespace
{
const wchar_t* const LoadModelError = L"Load Model Error!";
const wchar_t* const LoadQ3LevelError = L"Load Q3 Level Error!";
const wchar_t* const LoadSkinError = L"Load Skin Error!";
const wchar_t* const LoadTerrainError = L"Load Terrain Error!";
const wchar_t* const WrongFile = L"Wrong file format or corrupted file.";
const wchar_t* const NoModelSelected = L"No model in selection. Texture could not be loaded. ";
const wchar_t* const NoWaterSelected = L"No water in selection. Texture could not be loaded. ";
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

// ---------------------------------------------------------------------------
// Loading what the user chose

scene::IAnimatedMesh* CSceneEditor::LoadMeshSafely(const char* filename)
{
	// A mesh the engine already holds has been loaded safely before.
	if (scene::IAnimatedMesh* cached = _smgr->getMeshCache()->getMeshByName(filename))
		return cached;
	if (TryFile(LOADKIND_MESH, filename) != LOADCHECK_LOADS)
		return 0;
	return LoadWithFreshLoaders(filename);
}

// The engine's mesh loaders keep state from one file to the next (the
// LightWave loader crashes on a file it reads fine in a fresh process), so
// each file the user chooses is read by fresh loaders, as in the check. The
// mesh lands in the mesh cache all scene managers share. Half-Life models
// with short companions are refused here: the check cannot vouch for them.
scene::IAnimatedMesh* CSceneEditor::LoadWithFreshLoaders(const io::path& filename)
{
	if (!HalfLifeCompanionsComplete(_device->getFileSystem(), filename))
		return 0;
	return FreshLoaders()->getMesh(filename);
}

scene::ISceneManager* CSceneEditor::FreshLoaders()
{
	scene::ISceneManager* loaders = _smgr->createNewSceneManager(false);
	LoaderManagers.push_back(loaders);
	return loaders;
}

video::ITexture* CSceneEditor::LoadTextureSafely(const char* filename)
{
	if (video::ITexture* cached = _driver->findTexture(filename))
		return cached;
	if (TryFile(LOADKIND_TEXTURE, filename) != LOADCHECK_LOADS)
		return 0;
	return _driver->getTexture(filename);
}

ELoadCheck CSceneEditor::TryFile(ELoadKind kind, const std::string& file, const std::string& level)
{
	Loading = true;
	LoadCancelled = false;
	LoadingFile = file;
	const ELoadCheck result = LoadChecker.check(kind, file, level);
	Loading = false;
	if (LoadingWindow)
		LoadingWindow->remove(); // its modal screen goes with it
	LoadingWindow = 0;
	return result;
}

// Called while the helper works on a file: keeps the window alive.
bool CSceneEditor::WhileLoading()
{
	if (!LoadingWindow)
		ShowLoadingWindow();
	if (!_device->run())
		return false; // the window was closed: give the file up
	Render();
	RequestFrame(); // for what the load changes once it is done
	return !LoadCancelled;
}

void CSceneEditor::ShowLoadingWindow()
{
	const size_t slash = LoadingFile.rfind('/');
	core::stringw caption(L"Loading ");
	caption +=
	    FileNameToWide(LoadingFile.substr(slash == std::string::npos ? 0 : slash + 1)).c_str();
	caption += L"...";
	LoadingWindow = _gui->addWindow(core::rect<s32>(250, 250, 550, 320), true, caption.c_str(), 0,
	                                ID_LOADING_WINDOW);
	LoadingWindow->getCloseButton()->setVisible(false);
	_gui->addButton(core::rect<s32>(220, 35, 290, 60), LoadingWindow, ID_LOADING_CANCEL, L"Cancel");
	_gui->setFocus(LoadingWindow);
}

// ---------------------------------------------------------------------------
// Models and water

void CSceneEditor::Select(CModel* model)
{
	if (SelectedModel)
		SelectedModel->setDebugDataVisible(false);
	SelectedModel = model;
	SelectNewSceneNode(false);
}

// Slots are used in order while no slot after the last one used holds a
// model; after that, the lowest slot that holds no model (never filled,
// removed, or a failed load) is taken. 0 when 99 models fill the table.
int CSceneEditor::NextModelSlot() const
{
	const auto empty = [this](int i) { return !Model[i] || !Model[i]->AnimatedNode; };
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
	current_model = slot;
	scene::IAnimatedMesh* mesh = LoadMeshSafely(filename);
	if (!mesh)
	{
		ShowMessage(LoadModelError, WrongFile);
		return false;
	}
	CModel* model = PlaceModel(slot, mesh);
	// The export names the mesh by the file it came from until the user
	// types another name.
	model->FileName = FileNameToWide(filename).c_str();
	Select(model);
	return true;
}

CModel* CSceneEditor::PlaceModel(int slot, scene::IAnimatedMesh* mesh)
{
	CModel* model = new CModel(_smgr);
	delete Model[slot];
	Model[slot] = model;
	model->AnimatedNode = _smgr->addAnimatedMeshSceneNode(mesh, 0, ID_NONE);
	model->AnimatedNode->setPosition(Positioner->getPosition());
	model->AnimatedNode->setMaterialFlag(video::EMF_LIGHTING, false);
	model->AnimatedNode->setID(slot);
	model->MODEL_TYPE = CModel::TYPE_MESH;
	StateDirty = true;
	return model;
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
		ShowMessage(LoadSkinError, WrongFile);
		return false;
	}
	node->setMaterialTexture(layer, texture);
	StateDirty = true;
	return true;
}

bool CSceneEditor::LoadModelSkin(const char* filename)
{
	if (!LoadTextureInto(SelectedModel ? SelectedModel->AnimatedNode : 0, 0, filename,
	                     NoModelSelected))
		return false;
	// The export names the texture by the file it came from.
	SelectedModel->TextureName = FileNameToWide(filename).c_str();
	mpw_boxTexture->setText(SelectedModel->TextureName.c_str());
	return true;
}

bool CSceneEditor::LoadModelSkin2(const char* filename)
{
	return LoadTextureInto(SelectedModel ? SelectedModel->AnimatedNode : 0, 1, filename,
	                       NoModelSelected);
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
	SelectedModel->remove();
	SelectedModel = 0;
	StateDirty = true;
}

bool CSceneEditor::CreateNewWater()
{
	// One water surface at a time: a new one replaces the old.
	Water->removeWater();
	Water->addWater();
	if (!Water->Node)
	{
		ShowMessage(L"Water Error!", L"Water creation failed.");
		return false;
	}
	Water->Node->setID(ID_WATER_NODE);
	Select(Water);
	return true;
}

// ---------------------------------------------------------------------------
// Focus guard

bool CSceneEditor::CheckEditBoxFocus()
{
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
		ShowMessage(LoadModelError, WrongFile);
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
	StateDirty = true;
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
	StateDirty = true;
}

void CSceneEditor::DeletePlane()
{
	DeleteWorldNode(LevelPlane, L"No plane in level. ");
}

bool CSceneEditor::LoadQ3Level(const char* filename)
{
	if (!IsLevelArchive(filename))
		return PlaceQ3Level(filename, "", false);
	// One trial opens the archive and loads its level when it holds one.
	const std::vector<std::string> names =
	    TryFile(LOADKIND_LEVEL, filename) == LOADCHECK_LOADS
	        ? ArchiveLevelNames(_device->getFileSystem(), filename)
	        : std::vector<std::string>();
	if (names.empty())
	{
		ShowMessage(LoadQ3LevelError,
		            L"The archive holds no Quake 3 level (maps/*.bsp) that can be loaded.");
		return false;
	}
	if (names.size() == 1)
		return PlaceQ3Level(filename, names[0], true);
	ShowLevelChooser(filename, names);
	return false;
}

bool CSceneEditor::LoadQ3LevelFromArchive(const char* archive, const char* levelName)
{
	return PlaceQ3Level(archive, levelName ? levelName : "", false);
}

// Loads a level (the chosen .bsp, or `levelName` of the chosen archive)
// through the crash-proof path and makes it the scene's level.
bool CSceneEditor::PlaceQ3Level(const std::string& chosen, const std::string& levelName,
                                bool checked)
{
	scene::IMeshCache* cache = _smgr->getMeshCache();
	scene::IAnimatedMesh* mesh = cache->getMeshByName(LevelCacheName(chosen, levelName));
	if (!mesh && (checked || TryFile(LOADKIND_LEVEL, chosen, levelName) == LOADCHECK_LOADS))
		mesh = LoadQuake3Level(FreshLoaders(), chosen, levelName);
	if (!mesh)
	{
		ShowMessage(LoadQ3LevelError, WrongFile);
		return false;
	}
	// The engine drops every surface whose texture it cannot find.
	if (!HasTriangles(mesh))
	{
		cache->removeMesh(mesh);
		ShowMessage(LoadQ3LevelError,
		            L"The level has no surfaces to draw. Are its textures missing?");
		return false;
	}
	scene::IAnimatedMeshSceneNode* level = _smgr->addAnimatedMeshSceneNode(mesh, 0, ID_NONE);
	PlaceWorldMesh(Q3LevelNode, level);
	LevelFile = chosen;
	LevelName = levelName;
	StateDirty = true;
	KeepInView(level);
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
	LevelChooserList->setSelected(0);
	LevelChooserWindow->setVisible(true);
	_gui->getRootGUIElement()->bringToFront(LevelChooserWindow);
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
	video::IImage* image = TryFile(LOADKIND_TEXTURE, filename) == LOADCHECK_LOADS
	                           ? _driver->createImageFromFile(filename)
	                           : 0;
	if (!image)
	{
		ShowMessage(LoadTerrainError, WrongFile);
		return false;
	}
	const core::dimension2du size = image->getDimension();
	const u32 side = heightmap::TerrainSide(size);
	wchar_t text[200];
	if (core::min_(size.Width, size.Height) < 2 || side > heightmap::MaxSide)
	{
		image->drop();
		swprintf(text, 200,
		         L"The height map is %u x %u pixels; the editor draws terrains of 2 x 2 "
		         L"up to %u x %u pixels.",
		         size.Width, size.Height, heightmap::MaxSide, heightmap::MaxSide);
		ShowMessage(LoadTerrainError, text);
		return false;
	}
	const bool colour = heightmap::HasColour(image);
	video::IImage* heights = heightmap::GreySquare(_driver, image, side, colour);
	image->drop();
	scene::ITerrainSceneNode* terrain = BuildTerrain(heights);
	heights->drop();
	if (!terrain)
	{
		ShowMessage(LoadTerrainError, WrongFile);
		return false;
	}
	terrain->setMaterialFlag(video::EMF_LIGHTING, false);
	terrain->scaleTexture((side - 1) / heightmap::PixelsPerTextureTile);
	ReplaceNode(Terrain, terrain);
	TerrainFile = filename;
	StateDirty = true;
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
	StateDirty = true;
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

const char* const MaterialSource[CModel::MATERIAL_COUNT] = {
    "setMaterialType(EMT_SOLID);",
    "setMaterialType(EMT_SOLID_2_LAYER);",
    "setMaterialType(EMT_LIGHTMAP);",
    "setMaterialType(EMT_LIGHTMAP_ADD);",
    "setMaterialType(EMT_LIGHTMAP_M2);",
    "setMaterialType(EMT_LIGHTMAP_M4);",
    "setMaterialType(EMT_LIGHTMAP_LIGHTING);",
    "setMaterialType(EMT_LIGHTMAP_LIGHTING_M2);",
    "setMaterialType(EMT_LIGHTMAP_LIGHTING_M4);",
    "setMaterialType(EMT_SPHERE_MAP);",
    "setMaterialType(EMT_REFLECTION_2_LAYER);",
    "setMaterialType(EMT_TRANSPARENT_ADD_COLOR);",
    "setMaterialType(EMT_TRANSPARENT_ALPHA_CHANNEL);",
    "setMaterialType(EMT_TRANSPARENT_VERTEX_ALPHA);",
    "setMaterialType(EMT_TRANSPARENT_REFLECTION_2_LAYER);",
};

std::string Vector(const core::vector3df& v)
{
	return "vector3df(" + FixedSix(v.X) + "," + FixedSix(v.Y) + "," + FixedSix(v.Z) + ")";
}

} // namespace

bool CSceneEditor::LevelSource(std::string& source, std::string& failedName)
{
	source = LevelSourceOpening;
	for (int i = 1; i < MODEL_SLOTS; ++i)
	{
		const std::string index = std::to_string(i);
		CModel* model = Model[i];
		if (!model || !model->AnimatedNode)
		{
			source += "//Model[" + index + "] = Blank\n";
			continue;
		}
		std::string file, texture;
		if (!WideToFileName(model->FileName.c_str(), file) ||
		    !WideToFileName(model->TextureName.c_str(), texture))
		{
			failedName = "the names of model " + index;
			return false;
		}
		const std::string m = "Model[" + index + "]";
		scene::IAnimatedMeshSceneNode* node = model->AnimatedNode;
		const s32 material = model->MaterialType;
		source += "\t\t" + m + " = _smgr->addAnimatedMeshSceneNode(_smgr->getMesh(" +
		          CppStringLiteral(file) + "));\n";
		source += "\tif (" + m + ")\n\t{\n";
		source += "\t" + m + "->setPosition(" + Vector(node->getPosition()) + ");\n";
		source += "\t" + m + "->setRotation(" + Vector(node->getRotation()) + ");\n";
		source += "\t" + m + "->setScale(" + Vector(node->getScale()) + ");\n";
		// No texture name: the textures the mesh brought itself stay.
		if (!texture.empty())
			source += "\t\t" + m + "->setMaterialTexture(0, _driver->getTexture(" +
			          CppStringLiteral(texture) + "));\n";
		source += "\t\t//" + m + "->//SHADOW (INCOMPLETE)\n";
		source += "\t\t" + m + "->setMaterialFlag(EMF_LIGHTING," +
		          (model->Lighting ? "true" : "false") + ");\n";
		source += "\t\t" + m + "->setMaterialFlag(EMF_WIREFRAME ," +
		          (model->Wireframe ? "true" : "false") + ");\n";
		source +=
		    "\t\t" + m + "->" +
		    MaterialSource[material >= 0 && material < CModel::MATERIAL_COUNT ? material : 0] +
		    "\n\t}\n\n";
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
	struct stat info;
	if (!drive && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
		return true;
	core::stringw text(L"Saving failed: the folder \"");
	text += FileNameToWide(folder).c_str();
	text += L"\" does not exist. Type an existing folder ending in \"/\".";
	ShowMessage(L"Save Error", text.c_str());
	return false;
}

bool CSceneEditor::SaveLevel()
{
	std::string dir;
	if (!WideToFileName(sow_editboxDir->getText(), dir))
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
	for (CPendingFile* file : files)
		if (!file->commit())
		{
			ShowMessage(L"Save Error",
			            SaveFailure("could not replace", file->Target, file->Error).c_str());
			return false;
		}
	ShowMessage(L"Saved!", L"Level data saved!");
	return true;
}
