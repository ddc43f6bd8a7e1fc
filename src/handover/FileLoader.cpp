// Loading what the user chose through the helper process; see FileLoader.h.
#include "FileLoader.h"

#include <cmath>
#include <unistd.h>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "HalfLifeCheck.h"

void CFileLoader::Start()
{
	Checker.Waiting = [this] { return WhileLoading(); };
}

// The kinds of mesh the engine cannot rebuild from data (animated ones other
// than MD2 and skinned meshes) are still loaded here, after the helper
// loaded them without harm. The engine's mesh loaders keep state from one
// file to the next (the LightWave loader crashes on a file it reads fine in
// a fresh process), so each file is read by fresh loaders. The mesh lands
// in the mesh cache all scene managers share. Half-Life models with short
// companions are refused here: the helper's trial cannot vouch for them.
scene::IAnimatedMesh* CFileLoader::LoadWithFreshLoaders(const io::path& filename)
{
	if (!HalfLifeCompanionsComplete(Editor._device->getFileSystem(), filename))
		return 0;
	return FreshLoaders()->getMesh(filename);
}

scene::ISceneManager* CFileLoader::FreshLoaders()
{
	scene::ISceneManager* loaders = Editor._smgr->createNewSceneManager(false);
	LoaderManagers.push_back(loaders);
	return loaders;
}

void CFileLoader::DropFreshLoaders()
{
	for (u32 i = 0; i < LoaderManagers.size(); ++i)
		LoaderManagers[i]->drop();
	LoaderManagers.clear();
}

bool CFileLoader::AcquireFile(ELoadKind kind, const std::string& file, loaded::SContent& content,
                              const std::string& level)
{
	LoadRefusal = L"";
	int data = -1;
	if (TryFile(kind, file, level, &data) != LOADCHECK_LOADS)
		return false;
	const bool sound = loaded::Read(data, Editor._driver, Editor._smgr, content);
	close(data);
	return sound;
}

core::stringw CFileLoader::LoadFailure(const std::string& file) const
{
	const core::stringw name = FileNameToWide(file).c_str();
	switch (Checker.LastResult)
	{
	case LOADCHECK_TIMED_OUT:
		return core::stringw(L"Loading ") + name + L" took longer than " +
		       core::stringw(static_cast<int>(std::lround(Checker.LastSeconds))) +
		       L" s and was stopped.";
	case LOADCHECK_NOT_A_FILE: return name + L" is not a regular file.";
	case LOADCHECK_LOADS: return LoadRefusal.empty() ? core::stringw(WRONG_FILE) : LoadRefusal;
	default: return WRONG_FILE;
	}
}

ELoadCheck CFileLoader::TryFile(ELoadKind kind, const std::string& file, const std::string& level,
                                int* data)
{
	Loading = true;
	// A run of checks (a scene's files) keeps one window and one Cancel.
	const bool own = !Checker.inBatch();
	if (own)
	{
		LoadCancelled = false;
		LoadingFile = file;
	}
	const ELoadCheck result = Checker.check(kind, file, level, data);
	Loading = false;
	if (own)
		CloseLoadingWindow();
	return result;
}

void CFileLoader::BeginRun(const std::string& file)
{
	Checker.beginBatch();
	LoadCancelled = false;
	LoadingFile = file;
}

ELoadCheck CFileLoader::EndRun()
{
	const ELoadCheck stop = Checker.endBatch();
	CloseLoadingWindow();
	return stop;
}

void CFileLoader::CloseLoadingWindow()
{
	if (LoadingWindow)
		LoadingWindow->remove(); // its modal screen goes with it
	LoadingWindow = 0;
}

// Called while the helper works on a file: keeps the window alive.
bool CFileLoader::WhileLoading()
{
	if (!LoadingWindow)
		ShowLoadingWindow();
	if (!Editor._device->run())
		return false; // the window was closed: give the file up
	Editor.Render();
	Editor.RequestFrame(); // for what the load changes once it is done
	return !LoadCancelled;
}

void CFileLoader::ShowLoadingWindow()
{
	gui::IGUIEnvironment* gui = Editor._gui;
	const size_t slash = LoadingFile.rfind('/');
	core::stringw caption(L"Loading ");
	caption +=
	    FileNameToWide(LoadingFile.substr(slash == std::string::npos ? 0 : slash + 1)).c_str();
	caption += L"...";
	LoadingWindow = gui->addWindow(core::rect<s32>(250, 250, 550, 320), true, caption.c_str(), 0,
	                               ID_LOADING_WINDOW);
	LoadingWindow->getCloseButton()->setVisible(false);
	gui->addButton(core::rect<s32>(220, 35, 290, 60), LoadingWindow, ID_LOADING_CANCEL, L"Cancel");
	gui->setFocus(LoadingWindow);
}
