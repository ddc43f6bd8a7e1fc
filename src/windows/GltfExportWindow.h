// CGltfExportWindow: "File", "Export glTF". A small window with a file
// field, "...", "Ok" and "Cancel", as "Save Scene" has; "Ok" writes the
// whole scene as one .glb file (GltfExport.h) and a message box says what
// was written and what was left out.
#ifndef TOLVANE_GLTFEXPORTWINDOW_H
#define TOLVANE_GLTFEXPORTWINDOW_H

#include <irrlicht.h>
#include <string>
#include <vector>

using namespace irr;

class CSceneEditor;
namespace gltf
{
struct SObject;
}

class CGltfExportWindow
{
public:
	explicit CGltfExportWindow(CSceneEditor& editor) : Editor(editor) {}
	~CGltfExportWindow();

	//! Builds the window, hidden.
	void Create();
	//! The field starts with scene.glb beside the scene file, or in the
	//! working directory.
	void Show();
	//! "Ok", "Cancel" and Return in the field ("..." opens the receiver's
	//! file dialog).
	bool OnGuiEvent(const SEvent::SGUIEvent& event);
	//! Writes the scene; the message box says what went in and what not.
	bool Export(const std::string& file);
	//! The folder the field names, for the "..." dialog.
	std::string FolderShown() const;
	//! What "..." chose: a folder keeps the field's file name, a .glb file
	//! is taken whole, any other file gives its folder.
	void ChooseFolder(const std::string& chosen);

	gui::IGUIWindow* Window = 0;
	gui::IGUIEditBox* FileBox = 0;

private:
	//! The scene's objects and world geometry as the writer takes them; what
	//! cannot go into the file is named in `leftOut`.
	std::vector<gltf::SObject> SceneObjects(std::vector<std::wstring>& leftOut);
	//! The terrain's triangles at full detail, kept until the next export.
	const scene::IMesh* TerrainMesh();
	void Focus();

	CSceneEditor& Editor;
	scene::SMesh* Terrain = 0;
};

#endif
