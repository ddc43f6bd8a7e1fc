// CSceneFiles: the scene as a file. "Save Scene" writes the whole scene in
// the engine's .irr format (SceneFile.h); "Open Scene" replaces the scene
// with a file's, its own or another tool's, loading every mesh and texture
// it names through the helper; "Open Recent" lists the files last opened or
// saved. A scene opened in part keeps no file name, and its file is replaced
// only after a question.
#ifndef TOLVANE_SCENEFILES_H
#define TOLVANE_SCENEFILES_H

#include <irrlicht.h>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RecentScenes.h"
#include "SceneFile.h"
#include "SceneState.h"

using namespace irr;

class CSceneEditor;

class CSceneFiles
{
public:
	explicit CSceneFiles(CSceneEditor& editor) : Editor(editor) {}

	//! Builds the "Save Scene" window (hidden).
	void Create();
	//! Writes the scene; a file of which parts were left out when it was
	//! opened is first asked about, unless `replaceAnswered`.
	bool Save(const char* filename, bool replaceAnswered = false);
	//! The answer to "Replace <file>?": Yes saves over it.
	bool OnReplaceAnswered(bool yes);
	//! Replaces the scene with a scene file's.
	bool Open(const char* filename);
	//! Fills "Open Recent" from the list; files that are gone are dropped.
	void ShowRecent();
	//! An entry of "Open Recent" (its command id less ID_RECENT_SCENE_FIRST).
	bool OpenRecent(u32 entry);

	//! "File", "Save Scene": the window with the file field.
	void ShowSaveSceneWindow();
	//! "Ok" of "Save Scene".
	bool SaveSceneFromWindow();
	gui::IGUIWindow* SaveSceneWindow() const { return SaveWindow; }
	//! "..." of "Save Scene": the chosen folder, or file, goes into the field.
	void ChooseSaveSceneFolder(const std::string& chosen);
	//! The folder the field of "Save Scene" names, for its "..." dialog.
	std::string SaveSceneFolderShown() const;

	//! "File", "Open Recent": the last scene files opened or saved.
	CRecentScenes Recent;
	gui::IGUIContextMenu* RecentMenu = 0;
	//! The scene file last opened or saved.
	std::string SceneFileName;
	//! The file of the last save, named in "Scene Information" until the
	//! scene changes again.
	std::string SavedFile;

private:
	std::string SceneFolder(const std::string& sceneFile) const;
	std::wstring StoredName(const std::string& folder, const std::string& file) const;
	io::IAttributes* ModelUserData(int slot, const std::string& folder);
	io::IAttributes* StateUserData(const std::string& folder);
	bool OpenForeignScene(const scenefile::SSceneContent& content, const std::string& file,
	                      std::wstring& report);
	bool OpenForeignNode(const scenefile::SForeignNode& node, const std::string& folder,
	                     std::set<std::string>& failed);
	std::string ForeignPath(const std::string& folder, const std::wstring& written,
	                        const std::string& alsoIn = "");
	void ReadKindValues(const scenefile::SForeignNode& node, SModelState& record);
	static std::wstring KeptMaterialsXml(const std::vector<scenefile::SNodeAttributes>& materials);
	scenefile::SNodeAttributes UnknownAttributes(const scenefile::SForeignNode& node,
	                                             scene::ISceneNode& built);
	std::vector<scenefile::SKeptXml> KeptInOrder(scene::ISceneNode* top,
	                                             const std::map<scene::ISceneNode*, int>& slots);
	void KeepTexts(const std::map<int, scenefile::SKeptXml>& kept, const std::wstring& atTop);
	//! While a scene of another tool opens: the node being opened, the slots
	//! and world transforms of the nodes opened, and what each object keeps.
	int ForeignIndex = -1;
	//! The index of the file's last camera node, the one a game makes active.
	int LastForeignCamera = -1;
	std::map<int, int> ForeignSlots;
	std::map<int, core::matrix4> ForeignWorlds;
	std::map<int, scenefile::SKeptXml> ForeignKept;
	bool ReadAndOpenScene(const std::string& file, std::wstring& report);
	bool ReadSceneInHelper(const std::string& file, scenefile::SSceneContent& content);
	void RevertSceneOpen(const SSceneState& before, unsigned long long content,
	                     unsigned long long saved, const std::string& sceneFile);
	bool ReadRecords(const scenefile::SSceneContent& content, std::vector<SModelState>& records,
	                 core::stringw& problem) const;
	//! The records read, each in its slot.
	SSceneState ReadTree(const scenefile::SSceneContent& content,
	                     const std::vector<SModelState>& records) const;
	void KeepOrphansInPlace(const SSceneState& read);
	bool OpenModel(io::IAttributes* data, SModelState record, const std::string& folder,
	               std::set<std::string>& failed);
	int OpenWorld(io::IAttributes* state, const std::string& folder, std::set<std::string>& failed);
	int WorldObjects(io::IAttributes* state) const;
	//! The world pieces hidden and locked as the scene's state says.
	void OpenWorldFlags(io::IAttributes* state);
	void RestoreView(io::IAttributes* state);
	void KeepOpenedFile(const std::string& file, bool partly);
	//! Whether the document holds only values a scene file holds.
	bool SceneIsSound(core::stringw& problem) const;

	CSceneEditor& Editor;
	gui::IGUIWindow* SaveWindow = 0;
	gui::IGUIEditBox* SaveSceneFileBox = 0;
	//! The scene came from a file of which parts were left out: it keeps
	//! no file name, and that file is replaced only after a question.
	bool PartlyOpened = false;
	std::string PartlyOpenedFile;
	//! The file the replace question is about.
	std::string ReplaceAskedFor;
};

#endif
