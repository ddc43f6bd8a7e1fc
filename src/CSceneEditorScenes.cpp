// Scene files: "Save Scene" writes the whole scene in the engine's .irr
// format (SceneFile.h); "Open Scene" replaces the scene with a file's,
// loading every mesh and texture it names through the crash-proof path.
#include "CSceneEditor.h"

#include <functional>
#include <map>
#include <set>

#include "COrbitCamera.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "PendingFile.h"
#include "SceneFile.h"

using namespace scenefile;

namespace
{
const wchar_t* const OpenSceneError = L"Open Scene Error!";

// Writes each node's user data through a function of the editor's.
class CUserDataWriter : public scene::ISceneUserDataSerializer
{
public:
	explicit CUserDataWriter(std::function<io::IAttributes*(scene::ISceneNode*)> create)
	    : Create(create)
	{
	}
	void OnCreateNode(scene::ISceneNode*) override {}
	void OnReadUserData(scene::ISceneNode*, io::IAttributes*) override {}
	io::IAttributes* createUserData(scene::ISceneNode* node) override { return Create(node); }

private:
	std::function<io::IAttributes*(scene::ISceneNode*)> Create;
};

std::string Text(io::IAttributes* data, const c8* name)
{
	std::string text;
	WideToFileName(data->getAttributeAsStringW(name).c_str(), text);
	return text;
}

// How the scene file names the "Editor Properties" and fog colour bars, and
// the "SkyBox Setup" fields.
const c8* const ColourBarNames[6] = {"SceneRed", "SceneGreen", "SceneBlue",
                                     "FogRed",   "FogGreen",   "FogBlue"};
const c8* const SkyBoxNames[7] = {"SkyBoxDir",   "SkyBoxUp",    "SkyBoxDown", "SkyBoxLeft",
                                  "SkyBoxRight", "SkyBoxFront", "SkyBoxBack"};

std::wstring Joined(const std::set<std::string>& files)
{
	std::wstring text;
	int listed = 0;
	for (const std::string& file : files)
	{
		if (++listed > 8)
		{
			text += L"\n... and " + std::to_wstring(files.size() - 8) + L" more.";
			break;
		}
		text += L"\n" + std::wstring(FileNameToWide(file).c_str());
	}
	return text;
}
} // namespace

std::string CSceneEditor::SceneFolder(const std::string& sceneFile) const
{
	io::IFileSystem* files = _device->getFileSystem();
	return AbsolutePath(files, files->getFileDir(sceneFile.c_str()).c_str());
}

// The file an animated mesh node's mesh was loaded from.
std::string CSceneEditor::MeshFileOf(scene::ISceneNode* node) const
{
	scene::IAnimatedMesh* mesh = static_cast<scene::IAnimatedMeshSceneNode*>(node)->getMesh();
	return _smgr->getMeshCache()->getMeshName(mesh).getPath().c_str();
}

std::array<gui::IGUIEditBox*, 7> CSceneEditor::SkyBoxFields() const
{
	return {sbw_editboxDir,   sbw_editboxUp,    sbw_editboxDown, sbw_editboxLeft,
	        sbw_editboxRight, sbw_editboxFront, sbw_editboxBack};
}

std::array<gui::IGUIScrollBar*, 6> CSceneEditor::ColourBars() const
{
	return {spw_refresh_redbar,  spw_refresh_greenbar,
	        spw_refresh_bluebar, sbw_red,
	        sbw_green,           sbw_blue};
}

// ---------------------------------------------------------------------------
// Saving

void CSceneEditor::CreateSaveSceneWindow()
{
	SaveSceneWindow =
	    AddToolWindow(core::rect<s32>(150, 150, 650, 260), L"Save Scene", ID_SAVE_SCENE_WINDOW);
	AddLabel(L"File:", core::rect<s32>(10, 35, 45, 50), SaveSceneWindow);
	SaveSceneFileBox = _gui->addEditBox(L"", core::rect<s32>(50, 30, 490, 50), true,
	                                    SaveSceneWindow, ID_SAVE_SCENE_FILE);
	_gui->addButton(core::rect<s32>(340, 70, 410, 95), SaveSceneWindow, ID_SAVE_SCENE_OK, L"Ok");
	_gui->addButton(core::rect<s32>(420, 70, 490, 95), SaveSceneWindow, ID_SAVE_SCENE_CANCEL,
	                L"Cancel");
}

// The file field starts with the scene last opened or saved, else
// scene.irr in the working directory.
void CSceneEditor::ShowSaveSceneWindow()
{
	const std::string file =
	    SceneFileName.empty() ? AbsolutePath(_device->getFileSystem(), "scene.irr") : SceneFileName;
	SaveSceneFileBox->setText(FileNameToWide(file).c_str());
	SaveSceneWindow->setVisible(true);
	_gui->getRootGUIElement()->bringToFront(SaveSceneWindow);
	_gui->setFocus(SaveSceneFileBox);
}

// "Ok" of "Save Scene".
bool CSceneEditor::SaveSceneFromWindow()
{
	SaveSceneWindow->setVisible(false);
	std::string file;
	if (!WideToFileName(SaveSceneFileBox->getText(), file))
	{
		ShowMessage(L"Save Error", L"Saving failed: the file name cannot be written.");
		return false;
	}
	return SaveScene(file.c_str());
}

bool CSceneEditor::SaveScene(const char* filename)
{
	const std::string file = filename ? filename : "";
	if (file.empty() || file.back() == '/')
	{
		ShowMessage(L"Save Error", L"Saving failed: type the name of the scene file.");
		return false;
	}
	const std::string folder = SceneFolder(file);
	// The scene is written from one empty node that holds the editor state
	// and, for the time of the save, the models as its children: a game
	// gets the models and nothing else of the editor's.
	scene::ISceneNode* state = _smgr->addEmptySceneNode(0, ID_NONE);
	state->setName(core::stringc(StateNodeName).c_str());
	std::map<scene::ISceneNode*, int> slots;
	for (int i = 1; i < MODEL_SLOTS; ++i)
		if (Model[i] && Model[i]->AnimatedNode)
		{
			Model[i]->AnimatedNode->setParent(state);
			slots[Model[i]->AnimatedNode] = i;
		}
	// The selection's box is the editor's, not the scene's; the next frame
	// draws it again.
	if (SelectedModel)
		SelectedModel->setDebugDataVisible(false);
	CUserDataWriter userData(
	    [&](scene::ISceneNode* node) -> io::IAttributes*
	    {
		    if (node == state)
			    return StateUserData(folder);
		    const auto slot = slots.find(node);
		    return slot == slots.end() ? 0 : ModelUserData(slot->second, folder);
	    });
	CSceneXmlWriter xml(_device->getFileSystem(), folder);
	const bool written = _smgr->saveScene(xml.writer(), "", &userData, state);
	for (const auto& model : slots)
		model.first->setParent(_smgr->getRootSceneNode());
	state->remove();

	CPendingFile pending(file);
	pending.write(xml.bytes());
	if (!written || !pending.opened() || !pending.finish() || !pending.commit())
	{
		ShowMessage(
		    L"Save Error",
		    SaveFailure("could not write", file, pending.Error ? pending.Error : EIO).c_str());
		return false;
	}
	SceneFileName = file;
	core::stringw text(L"Scene saved to ");
	text += FileNameToWide(file).c_str();
	text += L".";
	ShowMessage(L"Saved!", text.c_str());
	return true;
}

// A file name as the scene file stores it (StoredPath), as wide text.
std::wstring CSceneEditor::StoredName(const std::string& folder, const std::string& file) const
{
	return FileNameToWide(StoredPath(_device->getFileSystem(), folder, file));
}

io::IAttributes* CSceneEditor::ModelUserData(int slot, const std::string& folder)
{
	const SModelState model = ModelStateOf(*Model[slot]);
	const auto stored = [&](const std::string& file) { return StoredName(folder, file); };
	io::IAttributes* data = _device->getFileSystem()->createEmptyAttributes(0);
	data->addInt("Slot", slot);
	data->addInt("Type", model.Type);
	data->addString("MeshFile", stored(model.Mesh).c_str());
	data->addString("Skin1File", stored(SharedName(model.Textures[0])).c_str());
	data->addString("Skin2File", stored(SharedName(model.Textures[1])).c_str());
	data->addString("FileName", model.FileName.c_str());
	data->addString("TextureName", model.TextureName.c_str());
	data->addString("TextureName2", model.TextureName2.c_str());
	data->addInt("Material", model.Material);
	data->addBool("Fog", model.Fog);
	data->addBool("Shadow", model.Shadow);
	data->addBool("Lighting", model.Lighting);
	data->addBool("Wireframe", model.Wireframe);
	data->addString("Position", VectorText(model.Position).c_str());
	data->addString("Rotation", VectorText(model.Rotation).c_str());
	data->addString("Scale", VectorText(model.Scale).c_str());
	return data;
}

io::IAttributes* CSceneEditor::StateUserData(const std::string& folder)
{
	const SWorldState world = WorldStateOf();
	const auto stored = [&](const std::string& file) { return StoredName(folder, file); };
	io::IAttributes* data = _device->getFileSystem()->createEmptyAttributes(0);
	data->addString("Format", FormatMark);
	data->addInt("Version", FormatVersion);
	data->addInt("CurrentModel", world.CurrentModel);
	for (int i = 0; i < 6; ++i)
		data->addInt(ColourBarNames[i], world.Bars[i]);
	data->addString("MarkerPosition", VectorText(world.MarkerPosition).c_str());
	data->addString("MarkerRotation", VectorText(world.MarkerRotation).c_str());
	data->addString("CameraPosition", VectorText(Camera->getPosition()).c_str());
	data->addString("CameraTarget", VectorText(Camera->getTarget()).c_str());

	const std::array<gui::IGUIEditBox*, 7> sky = SkyBoxFields();
	for (int i = 0; i < 7; ++i)
		data->addString(SkyBoxNames[i], sky[i]->getText());
	std::string dir;
	data->addBool("SkyBox", SkyBox != 0);
	// The folder of a sky box that was built moves with the scene.
	if (SkyBox && WideToFileName(sbw_editboxDir->getText(), dir))
		data->setAttribute("SkyBoxDir", stored(dir).c_str());
	// A piece of world geometry is present when it names its file.
	if (!world.Plane.File.empty())
	{
		data->addString("PlaneFile", stored(world.Plane.File).c_str());
		data->addString("PlaneTexture", stored(SharedName(world.Plane.Textures)).c_str());
	}
	if (!world.Terrain.File.empty())
	{
		data->addString("TerrainFile", stored(world.Terrain.File).c_str());
		data->addString("TerrainTexture", stored(SharedName(world.Terrain.Textures)).c_str());
	}
	if (!world.Level.File.empty())
	{
		data->addString("LevelFile", stored(world.Level.File).c_str());
		data->addString("LevelName", FileNameToWide(world.Level.Name).c_str());
	}
	return data;
}

// ---------------------------------------------------------------------------
// Opening

bool CSceneEditor::OpenScene(const char* filename)
{
	const std::string file = filename ? filename : "";
	SSceneContent content;
	core::stringw problem;
	const ELoadCheck trial = TryFile(LOADKIND_SCENE, file);
	// A file the helper refused cleanly is read here to say why.
	if ((trial != LOADCHECK_LOADS && trial != LOADCHECK_FAILS) ||
	    !ReadScene(_device->getFileSystem(), file.c_str(), content, problem))
	{
		if (problem.empty())
			problem = L"The file is not a scene file, or it is damaged.";
		ShowMessage(OpenSceneError, problem.c_str());
		return false;
	}
	const std::string folder = SceneFolder(file);
	std::set<std::string> failed;
	std::vector<std::wstring> messages;
	MessageLog = &messages;
	ClearScene();
	int opened = 0;
	for (io::IAttributes* data : content.Models)
		opened += OpenModel(data, folder, failed);
	const int world = OpenWorld(content.State, folder, failed);
	opened += world;
	MessageLog = 0;
	RestoreView(content.State);
	// The slot counter never stays below a slot that holds a model.
	current_model =
	    core::clamp(content.State->getAttributeAsInt("CurrentModel"), 0, MODEL_SLOTS - 1);
	for (io::IAttributes* data : content.Models)
		current_model = core::max_(current_model, data->getAttributeAsInt("Slot"));
	SceneFileName = file;

	const int total = static_cast<int>(content.Models.size()) + WorldObjects(content.State);
	std::wstring text = L"Opened " + std::to_wstring(opened) + L" of " + std::to_wstring(total) +
	                    L" objects from " + FileNameToWide(file).c_str() + L".";
	if (!failed.empty())
		text += L"\nThese files could not be loaded:" + Joined(failed);
	ShowMessage(L"Scene Opened", text.c_str());
	return true;
}

// One model into the slot it was saved from; false when its mesh fails.
bool CSceneEditor::OpenModel(io::IAttributes* data, const std::string& folder,
                             std::set<std::string>& failed)
{
	const std::string meshFile = ResolvedPath(folder, Text(data, "MeshFile"));
	scene::IAnimatedMesh* mesh = failed.count(meshFile) ? 0 : LoadMeshSafely(meshFile.c_str());
	if (!mesh)
	{
		failed.insert(meshFile);
		return false;
	}
	CModel* model = PlaceModel(data->getAttributeAsInt("Slot"), mesh);
	scene::IAnimatedMeshSceneNode* node = model->AnimatedNode;
	const char* const skins[2] = {"Skin1File", "Skin2File"};
	for (u32 layer = 0; layer < 2; ++layer)
	{
		const std::string skin = ResolvedPath(folder, Text(data, skins[layer]));
		if (skin.empty())
			continue;
		video::ITexture* texture = failed.count(skin) ? 0 : LoadTextureSafely(skin.c_str());
		if (texture)
			node->setMaterialTexture(layer, texture);
		else
			failed.insert(skin);
	}
	// A transform that does not read back keeps the new node's.
	SModelState state;
	state.Position = node->getPosition();
	state.Rotation = node->getRotation();
	state.Scale = node->getScale();
	ParseVector(data->getAttributeAsString("Position").c_str(), state.Position);
	ParseVector(data->getAttributeAsString("Rotation").c_str(), state.Rotation);
	ParseVector(data->getAttributeAsString("Scale").c_str(), state.Scale);
	state.Type = data->getAttributeAsInt("Type");
	state.FileName = data->getAttributeAsStringW("FileName");
	state.TextureName = data->getAttributeAsStringW("TextureName");
	state.TextureName2 = data->getAttributeAsStringW("TextureName2");
	state.Material = data->getAttributeAsInt("Material");
	state.Fog = data->getAttributeAsBool("Fog");
	state.Lighting = data->getAttributeAsBool("Lighting");
	state.Wireframe = data->getAttributeAsBool("Wireframe");
	state.Shadow = data->getAttributeAsBool("Shadow");
	ApplyModelFields(*model, state);
	return true;
}

int CSceneEditor::WorldObjects(io::IAttributes* state) const
{
	return state->existsAttribute("PlaneFile") + state->existsAttribute("TerrainFile") +
	       state->existsAttribute("LevelFile") + state->getAttributeAsBool("SkyBox");
}

// The plane, terrain, level and sky box, through the same loaders as the
// buttons (their message boxes are collected, not shown). How many loaded.
int CSceneEditor::OpenWorld(io::IAttributes* state, const std::string& folder,
                            std::set<std::string>& failed)
{
	int opened = 0;
	const auto load = [&](const c8* fileName, const c8* textureName,
	                      std::function<bool(const char*)> loadFile,
	                      std::function<bool(const char*)> loadTexture)
	{
		if (!state->existsAttribute(fileName))
			return;
		const std::string file = ResolvedPath(folder, Text(state, fileName));
		if (!loadFile(file.c_str()))
		{
			failed.insert(file);
			return;
		}
		++opened;
		const std::string texture = ResolvedPath(folder, Text(state, textureName));
		if (!texture.empty() && !loadTexture(texture.c_str()))
			failed.insert(texture);
	};
	load(
	    "PlaneFile", "PlaneTexture", [this](const char* f) { return LoadLevelPlane(f); },
	    [this](const char* f) { return LoadPlaneTexture(f); });
	load(
	    "TerrainFile", "TerrainTexture", [this](const char* f) { return LoadTerrain(f); },
	    [this](const char* f) { return LoadTerrainTexture(f); });
	const std::string levelName = Text(state, "LevelName");
	load(
	    "LevelFile", "",
	    [&](const char* f) {
		    return levelName.empty() ? LoadQ3Level(f)
		                             : LoadQ3LevelFromArchive(f, levelName.c_str());
	    },
	    [](const char*) { return true; });

	const std::array<gui::IGUIEditBox*, 7> sky = SkyBoxFields();
	for (int i = 0; i < 7; ++i)
		sky[i]->setText(state->getAttributeAsStringW(SkyBoxNames[i]).c_str());
	if (state->getAttributeAsBool("SkyBox"))
	{
		const std::string dir = ResolvedPath(folder, Text(state, "SkyBoxDir"));
		sbw_editboxDir->setText(FileNameToWide(dir).c_str());
		if (LoadSkyBox())
			++opened;
		else
			failed.insert(dir + " (sky box)");
	}
	return opened;
}

void CSceneEditor::RestoreView(io::IAttributes* state)
{
	for (int i = 0; i < 6; ++i)
		ColourBars()[i]->setPos(state->getAttributeAsInt(ColourBarNames[i]));
	core::vector3df position, rotation, target;
	if (ParseVector(state->getAttributeAsString("MarkerPosition").c_str(), position) &&
	    ParseVector(state->getAttributeAsString("MarkerRotation").c_str(), rotation))
	{
		Positioner->setPosition(position);
		Positioner->setRotation(rotation);
	}
	if (ParseVector(state->getAttributeAsString("CameraPosition").c_str(), position) &&
	    ParseVector(state->getAttributeAsString("CameraTarget").c_str(), target))
		Orbit->lookFrom(Camera, position, target);
}
