// Empties: the engine's empty scene node, with no shape, that exists to hold
// other objects below it. The editor draws it as a small cross and picks it
// by a small box around its place; neither reaches a scene file or the
// export.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "ObjectKinds.h"

namespace
{
//! Half the length of the cross's arms, and of the side of its box.
const f32 CrossArm = 4.0f;
} // namespace

struct SKindEmpty
{
	static scene::ISceneNode* NodeOf(const CModel& empty) { return empty.Node; }

	static bool Build(CSceneEditor& editor, CModel& empty, const SModelState&)
	{
		empty.Node = editor._smgr->addEmptySceneNode(0, ID_NONE);
		empty.MODEL_TYPE = CModel::TYPE_GROUP;
		return empty.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const std::string m = "Model[" + std::to_string(slot) + "]";
		source += "\t" + m + " = _smgr->addEmptySceneNode(0, " + std::to_string(slot) + ");\n";
		source += ExportTransform(m, record);
		if (!record.Visible)
			source += "\t" + m + "->setVisible(false);\n";
		return true;
	}

	// Nothing of an empty's own is edited in a window of its kind.
	static gui::IGUIWindow* Window() { return 0; }
	static void FillWindow(CSceneEditor&, CModel&) {}

	static core::aabbox3df PickBox(const CModel& empty)
	{
		empty.Node->updateAbsolutePosition();
		const core::vector3df at = empty.Node->getAbsolutePosition();
		return core::aabbox3df(at - core::vector3df(CrossArm, CrossArm, CrossArm),
		                       at + core::vector3df(CrossArm, CrossArm, CrossArm));
	}
};

void DrawEmpties(CSceneEditor& editor)
{
	video::IVideoDriver* driver = editor._driver;
	video::SMaterial material;
	material.Lighting = false;
	driver->setMaterial(material);
	driver->setTransform(video::ETS_WORLD, core::IdentityMatrix);
	for (int slot = 1; slot < CSceneEditor::MODEL_SLOTS; ++slot)
	{
		const CModel* object = editor.ObjectAt(slot);
		scene::ISceneNode* node =
		    object && object->MODEL_TYPE == CModel::TYPE_GROUP ? object->Node : 0;
		if (!node || !node->isTrulyVisible())
			continue;
		node->updateAbsolutePosition();
		const core::vector3df at = node->getAbsolutePosition();
		const video::SColor colour = object == editor.SelectedModel
		                                 ? video::SColor(255, 255, 255, 0)
		                                 : video::SColor(255, 230, 160, 40);
		for (const core::vector3df& arm :
		     {core::vector3df(CrossArm, 0, 0), core::vector3df(0, CrossArm, 0),
		      core::vector3df(0, 0, CrossArm)})
			driver->draw3DLine(at - arm, at + arm, colour);
	}
}

extern const SObjectKind EmptyKind = {CModel::TYPE_GROUP,
                                      L"empty",
                                      SKindEmpty::NodeOf,
                                      SKindEmpty::Build,
                                      SKindEmpty::MeshOf,
                                      SKindEmpty::Export,
                                      SKindEmpty::Window,
                                      SKindEmpty::FillWindow,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      0,
                                      SKindEmpty::PickBox,
                                      true,
                                      0,
                                      0,
                                      0};
