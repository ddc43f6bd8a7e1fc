// "Export glTF"; see GltfExportWindow.h.
#include "GltfExportWindow.h"

#include <cerrno>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "GltfExport.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"
#include "PendingFile.h"

namespace
{
const wchar_t* const ExportError = L"Export glTF Error";

std::string BaseName(const std::string& path)
{
	return path.substr(path.rfind('/') + 1);
}

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() &&
	       text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring Joined(const std::vector<std::wstring>& names)
{
	std::wstring text;
	for (size_t i = 0; i < names.size(); ++i)
		text += (i ? L", " : L"") + names[i];
	return text;
}

// A node's world transform and its own materials, one per buffer.
gltf::SObject ObjectOf(const std::string& name, scene::ISceneNode* node, const scene::IMesh* mesh)
{
	gltf::SObject object;
	object.Name = name;
	object.Mesh = mesh;
	node->updateAbsolutePosition();
	object.World = node->getAbsoluteTransformation();
	object.Hidden = !node->isTrulyVisible();
	for (u32 i = 0; i < node->getMaterialCount(); ++i)
		object.Materials.push_back(node->getMaterial(i));
	return object;
}

// An animated mesh node's mesh in the frame it shows.
const scene::IMesh* ShownMesh(scene::ISceneNode* node)
{
	scene::IAnimatedMeshSceneNode* animated = static_cast<scene::IAnimatedMeshSceneNode*>(node);
	return animated->getMesh()->getMesh(core::floor32(animated->getFrameNr()));
}
} // namespace

CGltfExportWindow::~CGltfExportWindow()
{
	if (Terrain)
		Terrain->drop();
}

void CGltfExportWindow::Create()
{
	Window =
	    Editor.AddToolWindow(core::rect<s32>(150, 150, 650, 260), L"Export glTF", ID_GLTF_WINDOW);
	Editor.AddLabel(L"File:", core::rect<s32>(10, 35, 45, 50), Window);
	FileBox =
	    Editor._gui->addEditBox(L"", core::rect<s32>(50, 30, 455, 50), true, Window, ID_GLTF_FILE);
	Editor._gui->addButton(core::rect<s32>(460, 30, 490, 50), Window, ID_GLTF_BROWSE, L"...");
	Editor._gui->addButton(core::rect<s32>(340, 70, 410, 95), Window, ID_GLTF_OK, L"Ok");
	Editor._gui->addButton(core::rect<s32>(420, 70, 490, 95), Window, ID_GLTF_CANCEL, L"Cancel");
}

void CGltfExportWindow::Show()
{
	const std::string& scene = Editor.Files.SceneFileName;
	const std::string file = EndsWith(scene, ".irr") ? scene.substr(0, scene.size() - 4) + ".glb"
	                                                 : AbsolutePath("scene.glb");
	FileBox->setText(FileNameToWide(file).c_str());
	Window->setVisible(true);
	Focus();
}

void CGltfExportWindow::Focus()
{
	Editor._gui->getRootGUIElement()->bringToFront(Window);
	Editor._gui->setFocus(FileBox);
}

bool CGltfExportWindow::OnGuiEvent(const SEvent::SGUIEvent& event)
{
	const s32 id = event.Caller ? event.Caller->getID() : ID_NONE;
	const bool ok = (event.EventType == gui::EGET_BUTTON_CLICKED && id == ID_GLTF_OK) ||
	                (event.EventType == gui::EGET_EDITBOX_ENTER && id == ID_GLTF_FILE);
	if (event.EventType == gui::EGET_BUTTON_CLICKED && id == ID_GLTF_CANCEL)
	{
		Window->setVisible(false);
		return true;
	}
	if (!ok)
		return false;
	Window->setVisible(false);
	std::string file;
	if (!WideToFileName(FileBox->getText(), file))
		Editor.ShowMessage(ExportError, L"Nothing was written: the file name cannot be written.");
	else
		Export(file);
	return true;
}

std::string CGltfExportWindow::FolderShown() const
{
	std::string file;
	if (!WideToFileName(FileBox->getText(), file))
		return "";
	const std::string folder = file.substr(0, file.rfind('/') + 1);
	return !folder.empty() && IsFolder(folder) ? folder : "";
}

void CGltfExportWindow::ChooseFolder(const std::string& chosen)
{
	std::string typed;
	WideToFileName(FileBox->getText(), typed);
	std::string name = BaseName(typed);
	if (name.empty())
		name = "scene.glb";
	const size_t slash = chosen.rfind('/');
	const std::string file = EndsWith(chosen, ".glb") || slash == std::string::npos
	                             ? chosen
	                             : chosen.substr(0, slash + 1) + name;
	FileBox->setText(FileNameToWide(file).c_str());
	Focus();
}

// The terrain node draws a buffer of its own at a detail that follows the
// camera; the file gets every triangle of the finest one, at the places the
// drawn buffer has (the node's mesh keeps them before scaling and moving).
const scene::IMesh* CGltfExportWindow::TerrainMesh()
{
	if (Terrain)
		Terrain->drop();
	Terrain = new scene::SMesh();
	scene::CDynamicMeshBuffer* buffer =
	    new scene::CDynamicMeshBuffer(video::EVT_2TCOORDS, video::EIT_32BIT);
	Editor.Terrain->getMeshBufferForLOD(*buffer, 0);
	const scene::IMeshBuffer* drawn = Editor.Terrain->getRenderBuffer();
	for (u32 i = 0; i < buffer->getVertexCount() && i < drawn->getVertexCount(); ++i)
	{
		buffer->getPosition(i) = drawn->getPosition(i);
		buffer->getNormal(i) = drawn->getNormal(i);
	}
	buffer->getMaterial() = Editor.Terrain->getMaterial(0);
	Terrain->addMeshBuffer(buffer);
	buffer->drop();
	return Terrain;
}

std::vector<gltf::SObject> CGltfExportWindow::SceneObjects(std::vector<std::wstring>& leftOut)
{
	CSceneEditor& editor = Editor;
	editor.SyncDocument();
	std::vector<gltf::SObject> objects;
	// Each named as "Scene Objects" names it: by its file, the water by its kind.
	for (int slot = 0; slot < OBJECT_SLOTS; ++slot)
	{
		const SModelState* record = editor.Document.Object(slot);
		CModel* model = editor.ObjectAt(slot);
		if (!record || !model)
			continue;
		switch (record->Type)
		{
		case CModel::TYPE_MESH:
			if (model->AnimatedNode)
				objects.push_back(ObjectOf(BaseName(record->Mesh), model->AnimatedNode,
				                           ShownMesh(model->AnimatedNode)));
			break;
		case CModel::TYPE_WATER:
			if (model->Node)
				objects.push_back(
				    ObjectOf(core::stringc(KindOf(record->Type)->Name).c_str(), model->Node,
				             static_cast<scene::IMeshSceneNode*>(model->Node)->getMesh()));
			break;
		case CModel::TYPE_PARTICLES:
			// Particles are made while the scene runs: there is no mesh.
			leftOut.push_back(particles::SystemName(record->Values, record->Material,
			                                        SharedName(record->Textures[0])));
			break;
		case CModel::TYPE_CUBE:
		case CModel::TYPE_SPHERE:
			if (model->Node)
				objects.push_back(
				    ObjectOf(core::stringc(KindOf(record->Type)->Name).c_str(), model->Node,
				             static_cast<scene::IMeshSceneNode*>(model->Node)->getMesh()));
			break;
		default:
			// Lights, cameras, billboards and sky domes have no mesh of
			// their own to write.
			if (const SObjectKind* kind = KindOf(record->Type))
				leftOut.push_back(L"the " + std::wstring(kind->Name) + L" in slot " +
				                  std::to_wstring(slot));
			break;
		}
	}
	if (editor.Q3LevelNode)
		objects.push_back(
		    ObjectOf(BaseName(editor.LevelName.empty() ? editor.LevelFile : editor.LevelName),
		             editor.Q3LevelNode, ShownMesh(editor.Q3LevelNode)));
	if (editor.Terrain)
	{
		// The terrain's buffer is placed already; its node moves nothing.
		gltf::SObject terrain =
		    ObjectOf(BaseName(editor.TerrainFile), editor.Terrain, TerrainMesh());
		terrain.World = core::IdentityMatrix;
		objects.push_back(terrain);
	}
	if (editor.LevelPlane)
		objects.push_back(ObjectOf(BaseName(editor.MeshFileOf(editor.LevelPlane)),
		                           editor.LevelPlane, ShownMesh(editor.LevelPlane)));
	// A sky box surrounds the camera wherever it is: no place in a scene.
	if (editor.SkyBox)
		leftOut.push_back(L"the sky box");
	return objects;
}

bool CGltfExportWindow::Export(const std::string& file)
{
	if (file.empty() || file.back() == '/')
	{
		Editor.ShowMessage(ExportError, L"Nothing was written: type the name of the file.");
		return false;
	}
	std::vector<std::wstring> leftOut;
	const std::vector<gltf::SObject> objects = SceneObjects(leftOut);
	std::string bytes;
	gltf::SResult result;
	const bool built =
	    gltf::WriteGlb(objects, Editor._driver, Editor._device->getFileSystem(), bytes, result);
	CPendingFile pending(file);
	if (built)
		pending.write(bytes);
	if (!built || !pending.opened() || !pending.finish() || !pending.commit())
	{
		Editor.ShowMessage(
		    ExportError,
		    SaveFailure("could not write", file, pending.Error ? pending.Error : EIO).c_str());
		return false;
	}
	for (const std::string& name : result.Empty)
		leftOut.push_back(FileNameToWide(name) + L" (no triangles)");
	for (const std::string& name : result.TexturesLeftOut)
		leftOut.push_back(L"the texture " + FileNameToWide(BaseName(name)));
	std::wstring text = L"Wrote " + FileNameToWide(BaseName(file)) + L": " +
	                    std::to_wstring(result.Meshes) +
	                    (result.Meshes == 1 ? L" mesh" : L" meshes");
	if (result.Hidden > 0)
		text += L" (" + std::to_wstring(result.Hidden) + L" hidden, marked as not visible)";
	text += L".";
	if (!leftOut.empty())
		text += L" Left out: " + Joined(leftOut) + L".";
	Editor.ShowMessage(L"Export glTF", text.c_str());
	return true;
}
