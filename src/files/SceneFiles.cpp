// Scene files: "Save Scene" writes the whole scene in the engine's .irr
// format (SceneFile.h); "Open Scene" replaces the scene with a file's,
// loading every mesh and texture it names through the crash-proof path.
#include "SceneFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

#include "CSceneEditor.h"
#include "COrbitCamera.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "RecordFields.h"
#include "PendingFile.h"
#include "SceneFile.h"
#include "SceneTree.h"

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

// How the scene file names the world pieces' flags: "PlaneHidden",
// "SkyBoxLocked"; a flag that is not set is left out.
const c8* const PieceNames[4] = {"Plane", "Terrain", "Level", "SkyBox"};

void PutPieceFlags(io::IAttributes& data, const std::string& piece, bool hidden, bool locked)
{
	if (hidden)
		data.addBool((piece + "Hidden").c_str(), true);
	if (locked)
		data.addBool((piece + "Locked").c_str(), true);
}

// Why a record cannot be written to or opened from a scene file, naming
// the object.
core::stringw Unsound(int slot, s32 type, const std::string& field)
{
	core::stringw text(L"The scene's ");
	text += UnsoundRecordText(slot, type, field);
	text += L".";
	return text;
}

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

std::string CSceneFiles::SceneFolder(const std::string& sceneFile) const
{
	io::IFileSystem* files = Editor._device->getFileSystem();
	return AbsolutePath(files->getFileDir(sceneFile.c_str()).c_str());
}

// ---------------------------------------------------------------------------
// Saving

void CSceneFiles::Create()
{
	SaveWindow = Editor.AddToolWindow(core::rect<s32>(150, 150, 650, 260), L"Save Scene",
	                                  ID_SAVE_SCENE_WINDOW);
	Editor.AddLabel(L"File:", core::rect<s32>(10, 35, 45, 50), SaveWindow);
	SaveSceneFileBox = Editor._gui->addEditBox(L"", core::rect<s32>(50, 30, 455, 50), true,
	                                           SaveWindow, ID_SAVE_SCENE_FILE);
	Editor._gui->addButton(core::rect<s32>(460, 30, 490, 50), SaveWindow, ID_SAVE_SCENE_BROWSE,
	                       L"...");
	Editor._gui->addButton(core::rect<s32>(340, 70, 410, 95), SaveWindow, ID_SAVE_SCENE_OK, L"Ok");
	Editor._gui->addButton(core::rect<s32>(420, 70, 490, 95), SaveWindow, ID_SAVE_SCENE_CANCEL,
	                       L"Cancel");
}

// The file field starts with the scene last opened or saved; for a scene
// opened in part, a new name beside its file ("example-tolvane.irr"); else
// scene.irr in the working directory.
void CSceneFiles::ShowSaveSceneWindow()
{
	std::string file = SceneFileName.empty() ? AbsolutePath("scene.irr") : SceneFileName;
	if (SceneFileName.empty() && PartlyOpened)
	{
		const size_t slash = PartlyOpenedFile.rfind('/') + 1;
		const size_t dot = PartlyOpenedFile.rfind('.');
		const size_t stem = dot == std::string::npos || dot <= slash ? std::string::npos : dot;
		file = PartlyOpenedFile.substr(0, stem) + "-tolvane.irr";
	}
	SaveSceneFileBox->setText(FileNameToWide(file).c_str());
	SaveWindow->setVisible(true);
	Editor._gui->getRootGUIElement()->bringToFront(SaveWindow);
	Editor._gui->setFocus(SaveSceneFileBox);
}

std::string CSceneFiles::SaveSceneFolderShown() const
{
	std::string file;
	if (!WideToFileName(SaveSceneFileBox->getText(), file))
		return "";
	const std::string folder = file.substr(0, file.rfind('/') + 1);
	return !folder.empty() && IsFolder(folder) ? folder : "";
}

// What "..." of "Save Scene" chose: a folder ("/" at its end) keeps the
// field's file name, a scene file is taken whole, any other file gives its
// folder.
void CSceneFiles::ChooseSaveSceneFolder(const std::string& chosen)
{
	std::string typed;
	WideToFileName(SaveSceneFileBox->getText(), typed);
	std::string name = typed.substr(typed.rfind('/') + 1);
	if (name.empty())
		name = "scene.irr";
	const size_t slash = chosen.rfind('/');
	const bool scene = chosen.size() > 4 && chosen.compare(chosen.size() - 4, 4, ".irr") == 0;
	const std::string file =
	    scene || slash == std::string::npos ? chosen : chosen.substr(0, slash + 1) + name;
	SaveSceneFileBox->setText(FileNameToWide(file).c_str());
	Editor._gui->getRootGUIElement()->bringToFront(SaveWindow);
	Editor._gui->setFocus(SaveSceneFileBox);
}

// ---------------------------------------------------------------------------
// "Open Recent"

void CSceneFiles::ShowRecent()
{
	// A file that is gone leaves the list when the list is shown.
	const std::vector<std::string> files = Recent.Files();
	for (const std::string& file : files)
		if (!Editor._device->getFileSystem()->existFile(file.c_str()))
			Recent.Remove(file);
	if (!RecentMenu)
		return;
	RecentMenu->removeAllItems();
	const std::vector<std::string>& kept = Recent.Files();
	for (size_t i = 0; i < kept.size(); ++i)
		RecentMenu->addItem(FileNameToWide(kept[i]).c_str(),
		                    ID_RECENT_SCENE_FIRST + static_cast<s32>(i));
	if (kept.empty())
		RecentMenu->addItem(L"(no scenes yet)", ID_NONE, false);
}

bool CSceneFiles::OpenRecent(u32 entry)
{
	if (entry >= Recent.Files().size())
		return false;
	const std::string file = Recent.Files()[entry];
	if (!Editor._device->getFileSystem()->existFile(file.c_str()))
	{
		Editor.ShowMessage(OpenSceneError,
		                   (FileNameToWide(file) + L" is gone; it is taken off the list.").c_str());
		Recent.Remove(file);
		ShowRecent();
		return false;
	}
	return Open(file.c_str());
}

// "Ok" of "Save Scene".
bool CSceneFiles::SaveSceneFromWindow()
{
	SaveWindow->setVisible(false);
	std::string file;
	if (!WideToFileName(SaveSceneFileBox->getText(), file))
	{
		Editor.ShowMessage(L"Save Error", L"Saving failed: the file name cannot be written.");
		return false;
	}
	return Save(file.c_str());
}

namespace
{
// Whether two names are one file: the same inode, or the same absolute path
// for a file that does not exist.
bool SameFile(const std::string& a, const std::string& b)
{
	struct stat first, second;
	if (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0)
		return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
	return AbsolutePath(a) == AbsolutePath(b);
}
} // namespace

bool CSceneFiles::Save(const char* filename, bool replaceAnswered)
{
	const std::string file = filename ? filename : "";
	if (file.empty() || file.back() == '/')
	{
		Editor.ShowMessage(L"Save Error", L"Saving failed: type the name of the scene file.");
		return false;
	}
	if (PartlyOpened && !replaceAnswered && SameFile(file, PartlyOpenedFile))
	{
		ReplaceAskedFor = file;
		Editor.Ask(L"Save Scene",
		           L"Replace " + std::wstring(FileNameToWide(file).c_str()) +
		               L"? Parts of it were left out when it was opened.",
		           gui::EMBF_YES | gui::EMBF_NO, ID_SAVE_SCENE_REPLACE);
		return false;
	}
	const std::string folder = SceneFolder(file);
	Editor.SyncDocument();
	// Nothing is written that opening would refuse.
	core::stringw unsound;
	if (!SceneIsSound(unsound))
	{
		core::stringw text(L"Saving failed: ");
		text += unsound;
		text += L" Nothing was written.";
		Editor.ShowMessage(L"Save Error", text.c_str());
		return false;
	}
	// The scene is written from one empty node that holds the editor state
	// and, for the time of the save, the models as its children: a game
	// gets the models and particle systems and nothing else of the
	// editor's. Objects of other kinds travel as empty nodes holding their
	// values.
	scene::ISceneNode* state = Editor._smgr->addEmptySceneNode(0, ID_NONE);
	state->setName(core::stringc(StateNodeName).c_str());
	// An object that hangs from another is written inside its parent's node,
	// as the engine nests children, so that a bare loadScene rebuilds the
	// tree.
	std::map<scene::ISceneNode*, int> slots;
	std::set<scene::ISceneNode*> standIns;
	for (int i = 0; i < CSceneEditor::MODEL_SLOTS; ++i)
	{
		const SModelState* record = Editor.Document.Object(i);
		if (!record)
			continue;
		scene::ISceneNode* node = ObjectNode(Editor.ObjectAt(i));
		if (!KindOf(record->Type)->SavedAsNode)
		{
			node = Editor._smgr->addEmptySceneNode(state, ID_NONE);
			node->setName(ObjectNode(Editor.ObjectAt(i))->getName());
			standIns.insert(node);
		}
		if (record->Parent < 0 || standIns.count(node))
			node->setParent(state);
		node->setVisible(record->Visible);
		slots[node] = i;
	}
	// The selection's box is the editor's, not the scene's; the next frame
	// draws it again.
	if (Editor.SelectedModel)
		Editor.SelectedModel->setDebugDataVisible(false);
	CUserDataWriter userData(
	    [&](scene::ISceneNode* node) -> io::IAttributes*
	    {
		    if (node == state)
			    return StateUserData(folder);
		    const auto slot = slots.find(node);
		    return slot == slots.end() ? 0 : ModelUserData(slot->second, folder);
	    });
	CSceneXmlWriter xml(Editor._device->getFileSystem(), folder, KeptInOrder(state, slots));
	const bool written = Editor._smgr->saveScene(xml.writer(), "", &userData, state);
	for (const auto& model : slots)
		if (!standIns.count(model.first) && model.first->getParent() == state)
			model.first->setParent(Editor._smgr->getRootSceneNode());
	state->remove();

	CPendingFile pending(file);
	pending.write(xml.bytes());
	if (!written || !pending.opened() || !pending.finish() || !pending.commit())
	{
		Editor.ShowMessage(
		    L"Save Error",
		    SaveFailure("could not write", file, pending.Error ? pending.Error : EIO).c_str());
		return false;
	}
	SceneFileName = file;
	Editor.Document.MarkSaved();
	// The caption loses its "*" and "Scene Information" names the file;
	// nothing stands in the way of the next key.
	SavedFile = file;
	PartlyOpened = false;
	Recent.Add(AbsolutePath(file));
	ShowRecent();
	return true;
}

// The kept XML of every node the engine writes below `top` (itself first),
// in the order it writes them: depth first, its debug nodes passed by.
std::vector<SKeptXml> CSceneFiles::KeptInOrder(scene::ISceneNode* top,
                                               const std::map<scene::ISceneNode*, int>& slots)
{
	std::vector<SKeptXml> kept;
	std::function<void(scene::ISceneNode*)> walk = [&](scene::ISceneNode* node)
	{
		if (node->isDebugObject())
			return;
		SKeptXml texts;
		const auto slot = slots.find(node);
		if (node == top)
			texts.Inside = Editor.Document.World().Kept.c_str();
		else if (slot != slots.end())
		{
			const SModelState& record = *Editor.Document.Object(slot->second);
			texts = {record.KeptAttributes.c_str(), record.Kept.c_str(), L""};
		}
		kept.push_back(texts);
		for (scene::ISceneNode* child : node->getChildren())
			walk(child);
	};
	walk(top);
	return kept;
}

// Yes saves over the file; No goes back to "Save Scene" for another name.
bool CSceneFiles::OnReplaceAnswered(bool yes)
{
	const std::string file = ReplaceAskedFor;
	ReplaceAskedFor.clear();
	if (yes)
		return Save(file.c_str(), true);
	ShowSaveSceneWindow();
	return false;
}

// Whether every value of the document is one a scene file holds; when not,
// which is not.
bool CSceneFiles::SceneIsSound(core::stringw& problem) const
{
	for (int slot = 0; slot < CSceneEditor::MODEL_SLOTS; ++slot)
	{
		const SModelState* record = Editor.Document.Object(slot);
		if (!record)
			continue;
		std::string field;
		if (!RecordIsSound(*record, field))
		{
			problem = Unsound(slot, record->Type, field);
			return false;
		}
		bool long_name = false;
		EachRecordField(
		    [&](const auto& field)
		    {
			    if constexpr (std::is_same_v<std::decay_t<decltype(FieldOf(*record, field))>,
			                                 core::stringw>)
				    long_name = long_name || FieldOf(*record, field).size() > LONGEST_NAME;
		    });
		if (long_name)
		{
			problem = L"A name is longer than 4096 characters.";
			return false;
		}
	}
	const SWorldState& world = Editor.Document.World();
	for (const core::vector3df* marker : {&world.MarkerPosition, &world.MarkerRotation})
		if (!(KeptInWorld(*marker) == *marker))
		{
			problem = L"The placement marker is beyond the largest coordinates.";
			return false;
		}
	return true;
}

// A file name as the scene file stores it (StoredPath), as wide text.
std::wstring CSceneFiles::StoredName(const std::string& folder, const std::string& file) const
{
	return FileNameToWide(StoredPath(folder, file));
}

namespace
{
typedef std::function<std::wstring(const std::string&)> StoredNameFn;

// How each type of field stands in a scene file's attributes: files as
// the scene stores them, vectors and the kind's values as text.
void PutField(io::IAttributes& data, const char* name, s32 value, s32, const StoredNameFn&)
{
	data.addInt(name, value);
}
void PutField(io::IAttributes& data, const char* name, bool value, s32, const StoredNameFn&)
{
	data.addBool(name, value);
}
void PutField(io::IAttributes& data, const char* name, const core::stringw& value, s32,
              const StoredNameFn&)
{
	data.addString(name, value.c_str());
}
void PutField(io::IAttributes& data, const char* name, const core::vector3df& value, s32,
              const StoredNameFn&)
{
	data.addString(name, VectorText(value).c_str());
}
void PutField(io::IAttributes& data, const char* name, const std::string& file, s32,
              const StoredNameFn& stored)
{
	data.addString(name, stored(file).c_str());
}
void PutField(io::IAttributes& data, const char* name, const TextureNames& layer, s32,
              const StoredNameFn& stored)
{
	data.addString(name, stored(SharedName(layer)).c_str());
}
void PutField(io::IAttributes& data, const char*, const std::vector<f32>& values, s32 type,
              const StoredNameFn&)
{
	const SObjectKind* kind = KindOf(type);
	for (u32 i = 0; i < kind->ValueCount; ++i)
		data.addString(kind->ValueNames[i], FloatsText(&values[i], 1).c_str());
}
} // namespace

io::IAttributes* CSceneFiles::ModelUserData(int slot, const std::string& folder)
{
	const SModelState& model = *Editor.Document.Object(slot);
	const auto stored = [&](const std::string& file) { return StoredName(folder, file); };
	io::IAttributes* data = Editor._device->getFileSystem()->createEmptyAttributes(0);
	data->addInt("Slot", slot);
	// Whether it is shown and its name are the node's own Visible and Name
	// attributes, which a game's loadScene reads too.
	EachRecordField(
	    [&](const auto& field)
	    {
		    // Kept texts (the fields named "Kept...") only where there are any.
		    bool noKept = false;
		    if constexpr (std::is_same_v<std::decay_t<decltype(FieldOf(model, field))>,
		                                 core::stringw>)
			    noKept = !std::strncmp(field.Name, "Kept", 4) && FieldOf(model, field).empty();
		    if (std::strcmp(field.Name, "Visible") && std::strcmp(field.Name, "Name") && !noKept)
			    PutField(*data, field.Name, FieldOf(model, field), model.Type, stored);
	    });
	return data;
}

io::IAttributes* CSceneFiles::StateUserData(const std::string& folder)
{
	const SWorldState& world = Editor.Document.World();
	const auto stored = [&](const std::string& file) { return StoredName(folder, file); };
	io::IAttributes* data = Editor._device->getFileSystem()->createEmptyAttributes(0);
	data->addString("Format", FormatMark);
	data->addInt("Version", FormatVersion);
	data->addInt("CurrentModel", world.CurrentModel);
	for (int i = 0; i < 6; ++i)
		data->addInt(ColourBarNames[i], world.Bars[i]);
	data->addString("MarkerPosition", VectorText(world.MarkerPosition).c_str());
	data->addString("MarkerRotation", VectorText(world.MarkerRotation).c_str());
	// A view that is no place (framing something huge) is not kept.
	const core::vector3df camera = Editor.Camera->getPosition(),
	                      target = Editor.Camera->getTarget();
	if (KeptInWorld(camera) == camera && KeptInWorld(target) == target)
	{
		data->addString("CameraPosition", VectorText(camera).c_str());
		data->addString("CameraTarget", VectorText(target).c_str());
	}

	for (int i = 0; i < 7; ++i)
		data->addString(SkyBoxNames[i], world.SkyTexts[i].c_str());
	if (!world.Kept.empty())
		data->addString("Kept", world.Kept.c_str());
	std::string dir;
	data->addBool("SkyBox", !world.Sky.empty());
	// The folder of a sky box that was built moves with the scene.
	if (!world.Sky.empty() && WideToFileName(world.SkyTexts[0].c_str(), dir))
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
	const SWorldPiece* pieces[3] = {&world.Plane, &world.Terrain, &world.Level};
	for (int i = 0; i < 3; ++i)
		if (!pieces[i]->File.empty())
			PutPieceFlags(*data, PieceNames[i], pieces[i]->Hidden, pieces[i]->Locked);
	if (!world.Sky.empty())
		PutPieceFlags(*data, PieceNames[3], world.SkyHidden, world.SkyLocked);
	return data;
}

// ---------------------------------------------------------------------------
// Opening

bool CSceneFiles::Open(const char* filename)
{
	const std::string file = filename ? filename : "";
	const SSceneState before = Editor.Document.State();
	const unsigned long long content = Editor.Document.Content,
	                         saved = Editor.Document.SavedContent;
	const std::string sceneFile = SceneFileName;
	const bool partly = PartlyOpened;
	const std::string partlyFile = PartlyOpenedFile;
	// The scene and every file it names share one time limit and one
	// "Cancel"; a scene stopped half way is taken back whole.
	Editor.Loader.BeginRun(file);
	std::wstring report;
	bool opened = ReadAndOpenScene(file, report);
	const ELoadCheck stop = Editor.Loader.EndRun();
	if (stop != LOADCHECK_LOADS)
	{
		const core::stringw why = Editor.Loader.LoadFailure(file);
		// The scene's earlier files are in the caches: nothing is loaded again.
		if (opened)
		{
			RevertSceneOpen(before, content, saved, sceneFile);
			PartlyOpened = partly;
			PartlyOpenedFile = partlyFile;
		}
		if (stop == LOADCHECK_TIMED_OUT)
			Editor.ShowMessage(OpenSceneError, why.c_str());
		return false;
	}
	if (opened)
		Editor.ShowMessage(L"Scene Opened", report.c_str());
	return opened;
}

// An opened scene keeps its file as its own, unless parts of it were left
// out (objects it cannot hold, files that did not load): then a save would
// drop them from that file. Such a scene has no file
// name, shows as unsaved, and its file is replaced only after a question.
void CSceneFiles::KeepOpenedFile(const std::string& file, bool partly)
{
	SceneFileName = partly ? "" : file;
	PartlyOpened = partly;
	PartlyOpenedFile = partly ? AbsolutePath(file) : "";
	Editor.SyncDocument();
	Recent.Add(AbsolutePath(file));
	ShowRecent();
	if (!partly)
		Editor.Document.MarkSaved();
	Editor.History.Rename(L"Open " + FileNameToWide(file.substr(file.find_last_of('/') + 1)));
}

// The scene as it was before an open that was stopped.
void CSceneFiles::RevertSceneOpen(const SSceneState& before, unsigned long long content,
                                  unsigned long long saved, const std::string& sceneFile)
{
	Editor.SyncDocument();
	Editor.ApplyState(before, Editor.Document.State());
	Editor.Document.Replace(before, content);
	Editor.Document.SavedContent = saved;
	SceneFileName = sceneFile;
	Editor.SyncDocument();
}

// The helper reads the scene file; the editor takes the values it found.
// False with the reason shown, unless the run was stopped.
bool CSceneFiles::ReadSceneInHelper(const std::string& file, SSceneContent& content)
{
	int data = -1;
	const ELoadCheck trial = Editor.Loader.TryFile(LOADKIND_SCENE, file, "", &data);
	if (trial == LOADCHECK_TIMED_OUT || trial == LOADCHECK_CANCELLED)
		return false;
	core::stringw problem;
	bool read = false;
	const bool sound = trial == LOADCHECK_LOADS &&
	                   ReadContent(data, Editor._device->getFileSystem(), read, content, problem);
	if (data >= 0)
		close(data);
	if (trial == LOADCHECK_NOT_A_FILE)
		problem = Editor.Loader.LoadFailure(file);
	else if (!sound || problem.empty())
		problem = L"The file is not a scene file, or it is damaged.";
	if (sound && read)
		return true;
	Editor.ShowMessage(OpenSceneError, problem.c_str());
	return false;
}

bool CSceneFiles::ReadAndOpenScene(const std::string& file, std::wstring& report)
{
	SSceneContent content;
	if (!ReadSceneInHelper(file, content))
		return false;
	if (!content.State)
		return OpenForeignScene(content, file, report);
	std::vector<SModelState> records;
	core::stringw problem;
	if (!ReadRecords(content, records, problem))
	{
		Editor.ShowMessage(OpenSceneError, problem.c_str());
		return false;
	}
	const std::string folder = SceneFolder(file);
	std::set<std::string> failed;
	std::vector<std::wstring> messages;
	Editor.MessageLog = &messages;
	Editor.ClearScene();
	int opened = 0;
	for (size_t i = 0; i < records.size(); ++i)
		opened += OpenModel(content.Models[i], records[i], folder, failed);
	KeepOrphansInPlace(ReadTree(content, records));
	Editor.LinkTree();
	std::map<int, SKeptXml> kept;
	for (size_t i = 0; i < records.size(); ++i)
		if (!records[i].Kept.empty() || !records[i].KeptAttributes.empty() ||
		    !records[i].KeptMaterials.empty())
			kept[content.Models[i]->getAttributeAsInt("Slot")] = {records[i].KeptAttributes.c_str(),
			                                                      records[i].Kept.c_str(),
			                                                      records[i].KeptMaterials.c_str()};
	KeepTexts(kept, content.State->getAttributeAsStringW("Kept").c_str());
	const int world = OpenWorld(content.State, folder, failed);
	opened += world;
	OpenWorldFlags(content.State);
	Editor.MessageLog = 0;
	if (Editor.LoadChecker.batchStopped())
		return true; // taken back by the caller
	RestoreView(content.State);
	// The slot counter never stays below a slot that holds a model.
	Editor.current_model = core::clamp(content.State->getAttributeAsInt("CurrentModel"), 0,
	                                   CSceneEditor::MODEL_SLOTS - 1);
	for (io::IAttributes* data : content.Models)
		Editor.current_model = core::max_(Editor.current_model, data->getAttributeAsInt("Slot"));
	const int total = static_cast<int>(content.Models.size()) + WorldObjects(content.State);
	KeepOpenedFile(file, opened < total || !failed.empty());
	report = L"Opened " + std::to_wstring(opened) + L" of " + std::to_wstring(total) +
	         L" objects from " + FileNameToWide(file).c_str() + L".";
	if (!failed.empty())
		report += L"\nThese files could not be loaded:" + Joined(failed);
	return true;
}

namespace
{
void GetField(io::IAttributes& data, const char* name, s32& value, s32, s32 missing)
{
	value = data.existsAttribute(name) ? data.getAttributeAsInt(name) : missing;
}
void GetField(io::IAttributes& data, const char* name, bool& value, s32, bool missing)
{
	value = data.existsAttribute(name) ? data.getAttributeAsBool(name) : missing;
}
void GetField(io::IAttributes& data, const char* name, core::stringw& value, s32,
              const core::stringw& missing)
{
	value = data.existsAttribute(name) ? data.getAttributeAsStringW(name) : missing;
}
void GetField(io::IAttributes& data, const char* name, core::vector3df& value, s32,
              const core::vector3df& missing)
{
	if (!data.existsAttribute(name) || !ParseVector(data.getAttributeAsString(name).c_str(), value))
		value = missing;
}
// The files are read where the model is built (OpenModel), against the
// scene's folder.
void GetField(io::IAttributes&, const char*, std::string&, s32, const std::string&) {}
void GetField(io::IAttributes&, const char*, TextureNames&, s32, const TextureNames&) {}
// The kind's own values, each by its own name.
void GetField(io::IAttributes& data, const char*, std::vector<f32>& values, s32 type,
              const std::vector<f32>&)
{
	const SObjectKind* kind = KindOf(type);
	values.clear();
	const auto saved = [&](u32 i) { return data.existsAttribute(kind->ValueNames[i]); };
	bool any = false;
	for (u32 i = 0; kind && i < kind->ValueCount; ++i)
		any = any || saved(i);
	// A model saved without them plays its mesh as the engine's node does.
	if (!any && ValuesMayBeLeftOut(type))
		return;
	for (u32 i = 0; kind && i < kind->ValueCount; ++i)
	{
		f32 value = kind->DefaultValues[i];
		if (data.existsAttribute(kind->ValueNames[i]))
			ParseFloats(data.getAttributeAsString(kind->ValueNames[i]).c_str(), &value, 1);
		values.push_back(value);
	}
}

bool NamesFit(io::IAttributes* data, core::stringw& problem)
{
	for (u32 i = 0; i < data->getAttributeCount(); ++i)
		if (std::strncmp(data->getAttributeName(i), "Kept", 4) &&
		    data->getAttributeAsStringW(i).size() > LONGEST_NAME)
		{
			problem = L"The scene holds a name longer than 4096 characters (";
			problem += data->getAttributeName(i);
			problem += L").";
			return false;
		}
	return true;
}
} // namespace

// Every object's values, checked before anything of the scene is replaced:
// numbers a scene can hold, names of a sane length.
bool CSceneFiles::ReadRecords(const SSceneContent& content, std::vector<SModelState>& records,
                              core::stringw& problem) const
{
	if (!NamesFit(content.State, problem))
		return false;
	const char* const markers[] = {"MarkerPosition", "MarkerRotation", "CameraPosition",
	                               "CameraTarget"};
	for (const char* name : markers)
	{
		core::vector3df v;
		if (ParseVector(content.State->getAttributeAsString(name).c_str(), v) && !IsFinite(v))
		{
			problem = L"The scene's editor state has a field ";
			problem += name;
			problem += L" that is not a number it can hold.";
			return false;
		}
	}
	for (io::IAttributes* data : content.Models)
	{
		if (!NamesFit(data, problem))
			return false;
		SModelState record;
		const int slot = data->getAttributeAsInt("Slot");
		// A field a model written by hand leaves out, or that does not read
		// back, keeps its default; the files are read when the model is built.
		EachRecordField(
		    [&](const auto& field)
		    { GetField(*data, field.Name, FieldOf(record, field), record.Type, field.Default); });
		std::string field;
		if (!RecordIsSound(record, field))
		{
			problem = L"The scene's ";
			problem += UnsoundRecordText(slot, record.Type, field);
			problem += L".";
			return false;
		}
		records.push_back(std::move(record));
	}
	// Every parent is an object of the scene, and none hangs from itself.
	std::wstring tree;
	if (!scenetree::TreeIsSound(ReadTree(content, records), tree))
	{
		problem = L"The scene's ";
		problem += tree.c_str();
		problem += L"; nothing was opened.";
		return false;
	}
	return true;
}

SSceneState CSceneFiles::ReadTree(const SSceneContent& content,
                                  const std::vector<SModelState>& records) const
{
	SSceneState tree;
	for (size_t i = 0; i < records.size(); ++i)
	{
		const int slot = content.Models[i]->getAttributeAsInt("Slot");
		if (slot >= 0 && slot < OBJECT_SLOTS)
			tree.Models[slot] = std::make_shared<const SModelState>(records[i]);
	}
	return tree;
}

// An object whose parent could not be opened (its file failed) stays where
// the scene put it in the world, hanging from nothing.
void CSceneFiles::KeepOrphansInPlace(const SSceneState& read)
{
	for (int slot = 1; slot < OBJECT_SLOTS; ++slot)
	{
		CModel* object = Editor.ObjectAt(slot);
		if (!ObjectNode(object) || object->Parent < 0 ||
		    ObjectNode(Editor.ObjectAt(object->Parent)))
			continue;
		SModelState placed = *read.Models[slot];
		scenetree::SetTransform(placed, scenetree::WorldTransform(read, slot));
		object->Parent = -1;
		object->setPosition(placed.Position);
		object->setRotation(placed.Rotation);
		object->setScale(placed.Scale);
	}
}

// One object into the slot it was saved from; false when its mesh fails.
bool CSceneFiles::OpenModel(io::IAttributes* data, SModelState record, const std::string& folder,
                            std::set<std::string>& failed)
{
	const int slot = data->getAttributeAsInt("Slot");
	record.Mesh = ResolvedPath(folder, Text(data, "MeshFile"));
	if (!record.Mesh.empty() && failed.count(record.Mesh))
		return false;
	// Names stay as the file has them, empty ones too.
	Editor.Applying = true;
	CModel* object = Editor.BuildObject(slot, record);
	Editor.Applying = false;
	if (!object)
	{
		failed.insert(record.Mesh);
		return false;
	}
	scene::ISceneNode* node = KindOf(record.Type)->NodeOf(*object);
	const char* const skins[2] = {"Skin1File", "Skin2File"};
	for (u32 layer = 0; layer < 2; ++layer)
	{
		const std::string skin = ResolvedPath(folder, Text(data, skins[layer]));
		if (skin.empty())
			continue;
		video::ITexture* texture = failed.count(skin) ? 0 : Editor.LoadTextureSafely(skin.c_str());
		if (texture)
			node->setMaterialTexture(layer, texture);
		else
			failed.insert(skin);
	}
	return true;
}

// ---------------------------------------------------------------------------
// Scenes made elsewhere

namespace
{
// How the result names what it left out, one and many, by engine type.
struct SLeftOutName
{
	const char* type;
	const wchar_t *one, *many;
};
const SLeftOutName LeftOutNames[] = {
    {"light", L"light", L"lights"},
    {"billBoard", L"billboard", L"billboards"},
    {"cube", L"cube", L"cubes"},
    {"sphere", L"sphere", L"spheres"},
    {"camera", L"camera", L"cameras"},
    {"cameraMaya", L"camera", L"cameras"},
    {"cameraFPS", L"camera", L"cameras"},
    {"empty", L"empty node", L"empty nodes"},
    {"particleSystem", L"particle system", L"particle systems"},
    {"billboardText", L"text", L"texts"},
    {"text", L"text", L"texts"},
};

std::wstring LeftOutText(const std::vector<std::pair<std::string, int>>& leftOut)
{
	std::wstring text;
	for (const auto& kind : leftOut)
	{
		std::wstring one = FileNameToWide(kind.first + " node"), many = one + L"s";
		for (const SLeftOutName& name : LeftOutNames)
			if (kind.first == name.type)
			{
				one = name.one;
				many = name.many;
			}
		text += (text.empty() ? L" Left out: " : L", ") + std::to_wstring(kind.second) + L" " +
		        (kind.second == 1 ? one : many);
	}
	return text.empty() ? text : text + L".";
}

// The editor's material index of an engine material type name.
s32 MaterialIndex(const std::wstring& name)
{
	const std::string type = core::stringc(name.c_str()).c_str();
	for (s32 i = 0; i < CModel::MATERIAL_COUNT; ++i)
		if (type == video::sBuiltInMaterialTypeNames[CModel::MATERIALS[i].Type])
			return i;
	return 0;
}

bool IsTrue(const std::wstring& value)
{
	return value == L"true";
}
} // namespace

// What the file held that the editor keeps unchanged, into the document.
void CSceneFiles::KeepTexts(const std::map<int, SKeptXml>& kept, const std::wstring& atTop)
{
	Editor.SyncDocument();
	for (const auto& object : kept)
		if (const SModelState* held = Editor.Document.Object(object.first))
		{
			SModelState record = *held;
			record.KeptAttributes = object.second.Attributes.c_str();
			record.Kept = object.second.Inside.c_str();
			record.KeptMaterials = object.second.Materials.c_str();
			Editor.Document.SetObject(object.first, std::move(record));
		}
	Editor.Document.EditWorld([&](SWorldState& world) { world.Kept = atTop.c_str(); });
}

namespace
{
// The kinds whose engine node the editor builds as it is, by engine type.
s32 ShapeKind(const std::string& type)
{
	const std::pair<const char*, s32> kinds[] = {
	    {"light", CModel::TYPE_LIGHT},      {"billBoard", CModel::TYPE_BILLBOARD},
	    {"cube", CModel::TYPE_CUBE},        {"sphere", CModel::TYPE_SPHERE},
	    {"camera", CModel::TYPE_CAMERA},    {"cameraMaya", CModel::TYPE_CAMERA},
	    {"cameraFPS", CModel::TYPE_CAMERA}, {"skyDome", CModel::TYPE_SKYDOME},
	    {"empty", CModel::TYPE_GROUP},      {"particleSystem", CModel::TYPE_PARTICLES}};
	for (const auto& kind : kinds)
		if (type == kind.first)
			return kind.second;
	return CModel::TYPE_EMPTY;
}
} // namespace

// A file a scene of another tool names, looked for beside the scene first:
// as written from the scene's folder, its name in that folder, its name in
// `alsoIn` (a texture beside its mesh), else as written (from the working
// directory). Such scenes name files from where their tool ran
// ("../../media/wall.jpg"), which is seldom where the scene is opened.
std::string CSceneFiles::ForeignPath(const std::string& folder, const std::wstring& written,
                                     const std::string& alsoIn)
{
	std::string path;
	if (written.empty() || !WideToFileName(written.c_str(), path))
		return "";
	const std::string name = path.substr(path.rfind('/') + 1);
	std::vector<std::string> places = {ResolvedPath(folder, path), folder + "/" + name};
	if (!alsoIn.empty())
		places.push_back(alsoIn + "/" + name);
	for (const std::string& place : places)
		if (!name.empty() && Editor._device->getFileSystem()->existFile(place.c_str()))
			return place;
	return path;
}

// Opens what the editor can hold of a scene another tool made: mesh nodes
// become models, a terrain the terrain, a sky box the sky box, a water
// surface the water; the rest is named as left out.
bool CSceneFiles::OpenForeignScene(const SSceneContent& content, const std::string& file,
                                   std::wstring& report)
{
	for (const SForeignNode& node : content.Foreign)
		for (const SNodeAttribute& attribute : node.Attributes)
			if (attribute.Value.size() > 4096)
			{
				Editor.ShowMessage(OpenSceneError,
				                   L"The scene holds a name longer than 4096 characters.");
				return false;
			}
	const std::string folder = SceneFolder(file);
	std::set<std::string> failed;
	std::vector<std::wstring> messages;
	std::vector<std::pair<std::string, int>> leftOut;
	Editor.MessageLog = &messages;
	Editor.ClearScene();
	int opened = 0;
	ForeignSlots.clear();
	ForeignWorlds.clear();
	ForeignKept.clear();
	std::wstring keptAtTop;
	ForeignIndex = -1;
	LastForeignCamera = -1;
	for (size_t i = 0; i < content.Foreign.size(); ++i)
		if (ShapeKind(content.Foreign[i].Type) == CModel::TYPE_CAMERA)
			LastForeignCamera = static_cast<int>(i);
	for (const SForeignNode& node : content.Foreign)
	{
		++ForeignIndex;
		// What the editor does not hold goes back into the file unchanged,
		// inside its parent, or at the top when that was not opened.
		if (!IsHeldNodeType(node.Type))
		{
			const auto parent = ForeignSlots.find(node.Parent);
			(parent == ForeignSlots.end() ? keptAtTop : ForeignKept[parent->second].Inside) +=
			    node.Kept;
			continue;
		}
		const bool done = OpenForeignNode(node, folder, failed);
		opened += done;
		if (done)
			continue;
		auto kind = std::find_if(leftOut.begin(), leftOut.end(),
		                         [&](const std::pair<std::string, int>& k)
		                         { return k.first == node.Type; });
		if (kind == leftOut.end())
			leftOut.push_back({node.Type, 1});
		else
			++kind->second;
	}
	Editor.MessageLog = 0;
	if (Editor.LoadChecker.batchStopped())
		return true; // taken back by the caller
	KeepTexts(ForeignKept, keptAtTop);
	// Such a scene names no view of the editor's.
	Editor.View.FrameScene();
	int held = 0;
	for (const SForeignNode& node : content.Foreign)
		held += IsHeldNodeType(node.Type);
	KeepOpenedFile(file, opened < held || !failed.empty());
	report = L"Opened " + std::to_wstring(opened) + L" of " + std::to_wstring(held) +
	         L" objects from " + FileNameToWide(file).c_str() + L"." + LeftOutText(leftOut);
	if (!failed.empty())
		report += L"\nThese files could not be loaded:" + Joined(failed);
	return true;
}

bool CSceneFiles::OpenForeignNode(const SForeignNode& node, const std::string& folder,
                                  std::set<std::string>& failed)
{
	std::string meshFolder;
	const auto texture = [&](const SNodeAttributes& material, const char* name)
	{
		const std::string path = ForeignPath(folder, node.value(material, name), meshFolder);
		if (!path.empty() && !failed.count(path) && !Editor.LoadTextureSafely(path.c_str()))
			failed.insert(path);
		return failed.count(path) ? std::string() : path;
	};
	const auto loaded = [&](const std::string& path, bool done)
	{
		if (!done)
			failed.insert(path);
		return done;
	};
	if (node.Type == "terrain")
	{
		const std::string heights = ForeignPath(folder, node.value("Heightmap"));
		if (!loaded(heights, Editor.LoadTerrain(heights.c_str())))
			return false;
		const std::string skin =
		    node.Materials.empty() ? "" : texture(node.Materials[0], "Texture1");
		if (!skin.empty())
			Editor.LoadTerrainTexture(skin.c_str());
		return true;
	}
	if (node.Type == "skyBox")
	{
		// Its materials are the front, left, back, right, top and bottom.
		video::ITexture* faces[6] = {};
		for (size_t i = 0; i < 6 && i < node.Materials.size(); ++i)
		{
			const std::string face = texture(node.Materials[i], "Texture1");
			faces[i] = face.empty() ? 0 : Editor.LoadTextureSafely(face.c_str());
		}
		if (!faces[0] || !faces[1] || !faces[2] || !faces[3] || !faces[4] || !faces[5])
			return false;
		if (Editor.SkyBox)
			Editor.SkyBox->remove();
		Editor.SkyBox = Editor._smgr->addSkyBoxSceneNode(faces[4], faces[5], faces[1], faces[3],
		                                                 faces[0], faces[2], 0, ID_NONE);
		Editor.SceneChanged();
		return true;
	}
	SModelState record;
	const bool water = node.Type == "waterSurface";
	const s32 shape = ShapeKind(node.Type);
	if (shape != CModel::TYPE_EMPTY)
	{
		record.Type = shape;
		record.Values = DefaultValuesOf(*KindOf(shape));
	}
	else if (node.Type == "mesh" || node.Type == "animatedMesh")
	{
		record.Type = CModel::TYPE_MESH;
		record.Mesh = ForeignPath(folder, node.value("Mesh"));
		meshFolder = record.Mesh.substr(0, record.Mesh.rfind('/') + 1);
		if (!meshFolder.empty())
			meshFolder.pop_back();
		record.FileName = FileNameToWide(record.Mesh).c_str();
	}
	else if (water)
	{
		record.Type = CModel::TYPE_WATER;
		const SObjectKind& kind = *KindOf(CModel::TYPE_WATER);
		for (u32 i = 0; i < kind.ValueCount; ++i)
		{
			f32 value = kind.DefaultValues[i];
			ParseFloats(core::stringc(node.value(kind.ValueNames[i]).c_str()).c_str(), &value, 1);
			record.Values.push_back(value);
		}
	}
	else
		return false;
	// Relative to its parent when that was opened, else in the world.
	core::matrix4 place = node.World;
	const auto parent = ForeignSlots.find(node.Parent);
	if (node.Parent >= 0 && parent != ForeignSlots.end() && !water)
	{
		core::matrix4 above;
		ForeignWorlds[node.Parent].getInverse(above);
		place = above * node.World;
		record.Parent = parent->second;
	}
	record.Position = place.getTranslation();
	record.Rotation = place.getRotationDegrees();
	record.Scale = place.getScale();
	if (shape != CModel::TYPE_EMPTY)
		ReadKindValues(node, record);
	// A game's loadScene makes each camera it adds the active one: the last.
	SetActiveCamera(record, ForeignIndex == LastForeignCamera);
	record.Visible = node.value("Visible") != L"false";
	std::string name;
	if (WideToFileName(node.value("Name").c_str(), name))
		record.Name = FileNameToWide(name).c_str();
	if (!node.Materials.empty())
	{
		const SNodeAttributes& first = node.Materials[0];
		record.Material = MaterialIndex(node.value(first, "Type"));
		record.Lighting = IsTrue(node.value(first, "Lighting"));
		record.Wireframe = IsTrue(node.value(first, "Wireframe"));
		record.Fog = IsTrue(node.value(first, "FogEnable"));
	}
	for (const SNodeAttributes& material : node.Materials)
	{
		record.Textures[0].push_back(texture(material, "Texture1"));
		record.Textures[1].push_back(texture(material, "Texture2"));
	}
	record.KeptMaterials = KeptMaterialsXml(node.Materials).c_str();
	// A model's texture boxes, and the export, name the texture every
	// material has.
	if (record.Type == CModel::TYPE_MESH)
	{
		record.TextureName = FileNameToWide(SharedName(record.Textures[0])).c_str();
		record.TextureName2 = FileNameToWide(SharedName(record.Textures[1])).c_str();
	}
	std::string field;
	const int slot = water ? WATER_SLOT : Editor.NextModelSlot();
	if (slot < 0 || (!water && slot == 0) || !RecordIsSound(record, field))
		return false;
	// Names stay as the file has them, empty ones too.
	Editor.Applying = true;
	CModel* object = Editor.BuildObject(slot, record);
	Editor.Applying = false;
	if (!loaded(record.Mesh, object != 0))
		return false;
	Editor.LinkTree();
	if (!water)
		Editor.current_model = slot;
	ForeignSlots[ForeignIndex] = slot;
	ForeignWorlds[ForeignIndex] = node.World;
	SKeptXml& kept = ForeignKept[slot];
	kept.Materials = record.KeptMaterials.c_str();
	kept.Inside += node.Kept;
	kept.Attributes = AttributeXml(UnknownAttributes(node, *KindOf(record.Type)->NodeOf(*object)));
	return true;
}

// Each material's settings but those the editor edits, which the record
// holds itself: its type, lighting, wireframe, fog and textures.
std::wstring CSceneFiles::KeptMaterialsXml(const std::vector<SNodeAttributes>& materials)
{
	static const std::set<std::string> edited = {"Type",     "Lighting", "Wireframe", "FogEnable",
	                                             "Texture1", "Texture2", "Texture3",  "Texture4"};
	std::wstring xml;
	for (const SNodeAttributes& material : materials)
	{
		SNodeAttributes kept;
		for (const SNodeAttribute& attribute : material)
			if (!edited.count(attribute.Name))
				kept.push_back(attribute);
		xml += AttributesXml(kept);
	}
	return xml;
}

// The values of a kind the engine builds as it is, from the node's attributes.
void CSceneFiles::ReadKindValues(const SForeignNode& node, SModelState& record)
{
	const SObjectKind& kind = *KindOf(record.Type);
	// As a game's loadScene holds them, when the helper could build the node.
	io::IAttributes* attributes =
	    kind.ReadNode ? TypedAttributes(Editor._device->getFileSystem(),
	                                    node.Loaded.empty() ? node.Attributes : node.Loaded)
	                  : 0;
	if (!attributes)
		return;
	kind.ReadNode(*attributes, record);
	attributes->drop();
	KeepValuesInRange(kind, record.Values);
}

// The attributes of a node the editor's node of its kind does not write, and
// those it writes from values the editor does not edit (its id is the slot).
SNodeAttributes CSceneFiles::UnknownAttributes(const SForeignNode& node, scene::ISceneNode& built)
{
	io::IAttributes* known = Editor._device->getFileSystem()->createEmptyAttributes(0);
	built.serializeAttributes(known);
	// What the engine's nodes hold that the editor does not edit: written
	// back as the file had it.
	static const std::set<std::string> unedited = {
	    "Id",           "AutomaticCulling", "DebugDataVisible", "ReadOnlyMaterials",
	    "IsOrthogonal", "UpVector",         "Aspect",           "Binding",
	    "ReceiveInput", "GlobalParticles",  "ParticleWidth",    "ParticleHeight"};
	SNodeAttributes unknown;
	for (const SNodeAttribute& attribute : node.Attributes)
		if (!known->existsAttribute(attribute.Name.c_str()) || unedited.count(attribute.Name))
			unknown.push_back(attribute);
	known->drop();
	return unknown;
}

int CSceneFiles::WorldObjects(io::IAttributes* state) const
{
	return state->existsAttribute("PlaneFile") + state->existsAttribute("TerrainFile") +
	       state->existsAttribute("LevelFile") + state->getAttributeAsBool("SkyBox");
}

// The plane, terrain, level and sky box, through the same loaders as the
// buttons (their message boxes are collected, not shown). How many loaded.
int CSceneFiles::OpenWorld(io::IAttributes* state, const std::string& folder,
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
	    "PlaneFile", "PlaneTexture", [this](const char* f) { return Editor.LoadLevelPlane(f); },
	    [this](const char* f) { return Editor.LoadPlaneTexture(f); });
	load(
	    "TerrainFile", "TerrainTexture", [this](const char* f) { return Editor.LoadTerrain(f); },
	    [this](const char* f) { return Editor.LoadTerrainTexture(f); });
	const std::string levelName = Text(state, "LevelName");
	load(
	    "LevelFile", "",
	    [&](const char* f)
	    {
		    return levelName.empty() ? Editor.LoadQ3Level(f)
		                             : Editor.LoadQ3LevelFromArchive(f, levelName.c_str());
	    },
	    [](const char*) { return true; });

	const std::array<gui::IGUIEditBox*, 7> sky = Editor.SkyBoxFields();
	for (int i = 0; i < 7; ++i)
		sky[i]->setText(state->getAttributeAsStringW(SkyBoxNames[i]).c_str());
	if (state->getAttributeAsBool("SkyBox"))
	{
		const std::string dir = ResolvedPath(folder, Text(state, "SkyBoxDir"));
		Editor.sbw_editboxDir->setText(FileNameToWide(dir).c_str());
		if (Editor.LoadSkyBox())
			++opened;
		else
			failed.insert(dir + " (sky box)");
	}
	// The scene keeps the sky box's names, built or not.
	Editor.KeepSkyBoxTexts();
	return opened;
}

void CSceneFiles::OpenWorldFlags(io::IAttributes* state)
{
	const auto flag = [state](int piece, const char* which)
	{ return state->getAttributeAsBool((std::string(PieceNames[piece]) + which).c_str()); };
	// The pieces just loaded reach the document first, then their flags.
	Editor.SyncDocument();
	Editor.Document.EditWorld(
	    [&](SWorldState& world)
	    {
		    SWorldPiece* pieces[3] = {&world.Plane, &world.Terrain, &world.Level};
		    for (int i = 0; i < 3; ++i)
			    if (!pieces[i]->File.empty())
			    {
				    pieces[i]->Hidden = flag(i, "Hidden");
				    pieces[i]->Locked = flag(i, "Locked");
			    }
		    world.SkyHidden = !world.Sky.empty() && flag(3, "Hidden");
		    world.SkyLocked = !world.Sky.empty() && flag(3, "Locked");
	    });
	Editor.ShowWorldFlags(Editor.Document.World());
}

void CSceneFiles::RestoreView(io::IAttributes* state)
{
	s32 bars[6];
	for (int i = 0; i < 6; ++i)
		bars[i] = state->getAttributeAsInt(ColourBarNames[i]);
	Editor.WorldWindows.ShowColourBars(bars);
	Editor.Document.EditWorld(
	    [&](SWorldState& world)
	    {
		    for (int i = 0; i < 6; ++i)
			    world.Bars[i] = Editor.WorldWindows.ShownBars[i];
	    });
	core::vector3df position, rotation, target;
	if (ParseVector(state->getAttributeAsString("MarkerPosition").c_str(), position) &&
	    ParseVector(state->getAttributeAsString("MarkerRotation").c_str(), rotation))
	{
		Editor.Positioner->setPosition(position);
		Editor.Positioner->setRotation(rotation);
	}
	if (ParseVector(state->getAttributeAsString("CameraPosition").c_str(), position) &&
	    ParseVector(state->getAttributeAsString("CameraTarget").c_str(), target))
		Editor.Orbit->lookFrom(Editor.Camera, position, target);
}
