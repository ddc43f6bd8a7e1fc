// CFileLoader: the editor's side of loading through the helper process. A
// file the user chose is tried in the helper first, while the editor goes
// on drawing and shows "Loading <file>..." with a "Cancel" button; what the
// helper loaded comes back as plain data that is checked before the engine
// builds it. Meshes the engine cannot rebuild from data are read by fresh
// loaders of their own.
#ifndef TOLVANE_FILELOADER_H
#define TOLVANE_FILELOADER_H

#include <irrlicht.h>
#include <string>

#include "LoadCheck.h"
#include "LoadedData.h"

using namespace irr;

class CSceneEditor;

class CFileLoader
{
public:
	explicit CFileLoader(CSceneEditor& editor) : Editor(editor) {}

	//! The message for a file that is not what its name says, or damaged.
	static constexpr const wchar_t* WRONG_FILE = L"Wrong file format or corrupted file.";

	//! From now on the editor's window stays alive while the helper works.
	void Start();
	//! Tries a file in the helper; while that takes a while the editor goes
	//! on drawing and shows "Loading <file>..." with a "Cancel" button.
	ELoadCheck TryFile(ELoadKind kind, const std::string& file, const std::string& level = "",
	                   int* data = nullptr);
	//! Loads a file in the helper and reads back what it loaded; false when
	//! it failed there or its data does not pass the checks.
	bool AcquireFile(ELoadKind kind, const std::string& file, loaded::SContent& content,
	                 const std::string& level = "");
	//! Why the last file could not be loaded, as a message box says it.
	core::stringw LoadFailure(const std::string& file) const;
	//! The last file the helper loaded is of no use all the same (no
	//! triangles, an image too large): LoadFailure says why.
	void Refuse(const core::stringw& why) { LoadRefusal = why; }
	//! A run of tries (a scene and its files) that shares one time limit, one
	//! "Loading <file>..." window and one "Cancel"; the end says how it went.
	void BeginRun(const std::string& file);
	ELoadCheck EndRun();
	//! "Cancel" or Escape while a file is tried.
	void Cancel() { LoadCancelled = true; }

	//! Reads a mesh with loaders that have read nothing before.
	scene::IAnimatedMesh* LoadWithFreshLoaders(const io::path& filename);
	//! A scene manager of its own, whose loaders have read nothing yet.
	scene::ISceneManager* FreshLoaders();
	//! Drops the fresh loaders' scene managers (at shutdown).
	void DropFreshLoaders();

	//! Tries files in a separate process before they are loaded.
	CLoadChecker Checker;
	//! Scene managers whose fresh loaders read the user's meshes; kept until
	//! shutdown, as a mesh may point back to the manager that loaded it.
	core::array<scene::ISceneManager*> LoaderManagers;

private:
	// The editor reads Loading under its own name.
	friend class CSceneEditor;
	bool WhileLoading();
	void ShowLoadingWindow();
	void CloseLoadingWindow();

	CSceneEditor& Editor;
	//! True while a file is tried: the receiver then only takes "Cancel".
	bool Loading = false;
	core::stringw LoadRefusal;
	bool LoadCancelled = false;
	std::string LoadingFile;
	gui::IGUIWindow* LoadingWindow = 0;
};

#endif
