// Mesh models: an animated mesh node over a mesh file the user chose, edited
// in "Selected Model Properties", exported as one block of engine calls in
// the slot it holds.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"

std::string ExportVector(const core::vector3df& v)
{
	return "vector3df(" + FixedSix(v.X) + "," + FixedSix(v.Y) + "," + FixedSix(v.Z) + ")";
}

// The lines every exported object ends with: its flags and material type,
// and for a hidden object that it is not drawn.
std::string ExportMaterial(const std::string& node, const SModelState& record)
{
	return "\t\t" + node + "->setMaterialFlag(EMF_LIGHTING," +
	       (record.Lighting ? "true" : "false") + ");\n" + "\t\t" + node +
	       "->setMaterialFlag(EMF_WIREFRAME ," + (record.Wireframe ? "true" : "false") + ");\n" +
	       "\t\t" + node + "->setMaterialType(" + CModel::material(record.Material).SourceName +
	       ");\n" + (record.Visible ? "" : "\t\t" + node + "->setVisible(false);\n");
}

// The transform lines, one tab deep.
std::string ExportTransform(const std::string& node, const SModelState& record)
{
	return "\t" + node + "->setPosition(" + ExportVector(record.Position) + ");\n" + "\t" + node +
	       "->setRotation(" + ExportVector(record.Rotation) + ");\n" + "\t" + node + "->setScale(" +
	       ExportVector(record.Scale) + ");\n";
}

struct SKindModel
{
	static scene::ISceneNode* NodeOf(const CModel& model) { return model.AnimatedNode; }

	static bool Build(CSceneEditor& editor, CModel& model, const SModelState& record)
	{
		scene::IAnimatedMesh* mesh = editor.LoadMeshSafely(record.Mesh.c_str());
		if (!mesh)
			return false;
		model.AnimatedNode = editor._smgr->addAnimatedMeshSceneNode(mesh, 0, ID_NONE);
		model.AnimatedNode->setMaterialFlag(video::EMF_LIGHTING, false);
		model.MODEL_TYPE = CModel::TYPE_MESH;
		return true;
	}

	static std::string MeshOf(CSceneEditor& editor, const CModel& model)
	{
		return editor.MeshFileOf(model.AnimatedNode);
	}

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		std::string file, texture;
		if (!WideToFileName(record.FileName.c_str(), file) ||
		    !WideToFileName(record.TextureName.c_str(), texture))
			return false;
		const std::string m = "Model[" + std::to_string(slot) + "]";
		source += "\t\t" + m + " = _smgr->addAnimatedMeshSceneNode(_smgr->getMesh(" +
		          CppStringLiteral(file) + "));\n";
		source += "\tif (" + m + ")\n\t{\n";
		source += ExportTransform(m, record);
		// No texture name: the textures the mesh brought itself stay.
		if (!texture.empty())
			source += "\t\t" + m + "->setMaterialTexture(0, _driver->getTexture(" +
			          CppStringLiteral(texture) + "));\n";
		source += "\t\t//" + m + "->//SHADOW (INCOMPLETE)\n";
		if (record.Shadow)
			source += "\t\tstatic_cast<IAnimatedMeshSceneNode*>(" + m +
			          ")->addShadowVolumeSceneNode();\n";
		source += ExportMaterial(m, record) + "\t}\n\n";
		return true;
	}

	static gui::IGUIWindow* Window() { return CSceneEditor::ModelPropertiesWindow; }

	static void FillWindow(CSceneEditor& editor, CModel& model)
	{
		editor.ModelProperties.Fill(model);
	}
};

extern const SObjectKind ModelKind = {CModel::TYPE_MESH,
                                      L"model",
                                      SKindModel::NodeOf,
                                      SKindModel::Build,
                                      SKindModel::MeshOf,
                                      SKindModel::Export,
                                      SKindModel::Window,
                                      SKindModel::FillWindow,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      true,
                                      0,
                                      0};
