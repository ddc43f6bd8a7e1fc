// Mesh models: an animated mesh node over a mesh file the user chose, edited
// in "Selected Model Properties", exported as one block of engine calls in
// the slot it holds. Its own values are its animation: speed, frame range,
// looping and, for an MD2 mesh, one of the engine's named animations.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"

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

namespace
{
enum EAnimationValue
{
	NAMED_ANIMATION = 0,
	SPEED = 1,
	START_FRAME = 2,
	END_FRAME = 3,
	LOOPING = 4
};

// "(frames)", then the engine's MD2 animations in the order of
// EMD2_ANIMATION_TYPE: entry i + 1 is animation i.
// clang-format off
const wchar_t* const AnimationNames[] = {
    L"(frames)", L"stand", L"run", L"attack", L"pain_a", L"pain_b", L"pain_c", L"jump",
    L"flip", L"salute", L"fallback", L"wave", L"point", L"crouch_stand", L"crouch_walk",
    L"crouch_attack", L"crouch_pain", L"crouch_death", L"death_fallback",
    L"death_fallforward", L"death_fallbackslow", L"boom", 0};
// clang-format on

// The engine's animated mesh node starts at 25 frames a second, whatever
// its mesh says, looping over all of the mesh's frames. The frames' upper
// limit is far above any mesh's; the mesh's own count clamps them.
const f32 NodeSpeed = 25.0f;
const f32 MostFrame = 1e6f;
const SKindValue Rows[] = {
    {"Animation", 0, 0, scene::EMAT_COUNT, VALUE_CHOICE, L"Animation", AnimationNames},
    {"FramesPerSecond", NodeSpeed, 0, 1000, VALUE_NUMBER, L"Frames per second", 0},
    {"StartFrame", 0, 0, MostFrame, VALUE_WHOLE, L"Start frame", 0},
    {"EndFrame", 0, 0, MostFrame, VALUE_WHOLE, L"End frame", 0},
    {"Looping", 1, 0, 1, VALUE_CHECK, L"Looping", 0},
};
const SKindColumns<sizeof Rows / sizeof Rows[0]> Columns(Rows);

s32 LastFrame(const scene::IAnimatedMesh& mesh)
{
	return core::max_(static_cast<s32>(mesh.getFrameCount()) - 1, 0);
}

s32 WholeFrame(f32 value, s32 least, s32 most)
{
	return core::clamp(static_cast<s32>(core::round_(value)), least, most);
}

// The named animation's frames, within the mesh's, and speed; false when
// the mesh is no MD2 mesh or the entry names none.
bool NamedFrames(const scene::IAnimatedMesh& mesh, s32 entry, s32& start, s32& end, s32& speed)
{
	if (entry < 1 || entry > scene::EMAT_COUNT || mesh.getMeshType() != scene::EAMT_MD2)
		return false;
	static_cast<const scene::IAnimatedMeshMD2&>(mesh).getFrameLoop(
	    static_cast<scene::EMD2_ANIMATION_TYPE>(entry - 1), start, end, speed);
	start = core::clamp(start, 0, LastFrame(mesh));
	end = core::clamp(end, start, LastFrame(mesh));
	return true;
}
} // namespace

std::vector<f32> MeshAnimation(const scene::IAnimatedMesh& mesh)
{
	return {0, NodeSpeed, 0, static_cast<f32>(LastFrame(mesh)), 1};
}

SModelState ExportedModel(const SModelState& record, const CModel* model)
{
	SModelState exported = record;
	const scene::IAnimatedMesh* mesh =
	    model && model->AnimatedNode ? model->AnimatedNode->getMesh() : 0;
	if (mesh && SameBits(record.Values, MeshAnimation(*mesh)))
		exported.Values.clear();
	return exported;
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
		// A record without values (a new model, or one saved before models
		// had them) shows its mesh as the engine's node does.
		model.Values = MeshAnimation(*mesh);
		return true;
	}

	// The frames are kept within the mesh's, and whole. Choosing a named
	// animation brings its frames and speed; typing other frames while one
	// is chosen makes the choice "(frames)". Which of them changed shows in
	// the node, which still plays the frames applied last.
	static void ApplyValues(CModel& model)
	{
		scene::IAnimatedMeshSceneNode* node = model.AnimatedNode;
		if (!node || !node->getMesh())
			return;
		const scene::IAnimatedMesh& mesh = *node->getMesh();
		const SObjectKind& kind = *KindOf(CModel::TYPE_MESH);
		const auto value = [&](u32 i) -> f32& { return KindValue(kind, model, i); };
		const s32 last = LastFrame(mesh);
		s32 start = WholeFrame(value(START_FRAME), 0, last);
		s32 end = WholeFrame(value(END_FRAME), start, last);
		s32 entry = WholeFrame(value(NAMED_ANIMATION), 0, scene::EMAT_COUNT);
		s32 namedStart = 0, namedEnd = 0, namedSpeed = 0;
		if (!NamedFrames(mesh, entry, namedStart, namedEnd, namedSpeed))
			entry = 0;
		else if (namedStart != start || namedEnd != end)
		{
			const bool framesTyped =
			    node->getStartFrame() == namedStart && node->getEndFrame() == namedEnd;
			if (framesTyped)
				entry = 0;
			else
			{
				start = namedStart;
				end = namedEnd;
				value(SPEED) = static_cast<f32>(namedSpeed);
			}
		}
		value(START_FRAME) = static_cast<f32>(start);
		value(END_FRAME) = static_cast<f32>(end);
		value(NAMED_ANIMATION) = static_cast<f32>(entry);
		// Setting the same frames again would start them over at every
		// edit of the model.
		if (node->getStartFrame() != start || node->getEndFrame() != end)
			node->setFrameLoop(start, end);
		node->setAnimationSpeed(value(SPEED));
		node->setLoopMode(value(LOOPING) != 0);
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
		// A model that plays its mesh as the engine's node does has no
		// lines for it (ExportedModel leaves its values out).
		if (record.Values.size() == Columns.Count)
		{
			const std::string node = "static_cast<IAnimatedMeshSceneNode*>(" + m + ")";
			const std::vector<f32>& v = record.Values;
			source += "\t\t" + node + "->setFrameLoop(" +
			          std::to_string(static_cast<s32>(v[START_FRAME])) + ", " +
			          std::to_string(static_cast<s32>(v[END_FRAME])) + ");\n";
			source += "\t\t" + node + "->setAnimationSpeed(" + FixedSix(v[SPEED]) + "f);\n";
			source += "\t\t" + node + "->setLoopMode(" + (v[LOOPING] ? "true" : "false") + ");\n";
		}
		source += ExportMaterial(m, record) + "\t}\n\n";
		return true;
	}
};

extern const SObjectKind ModelKind = {CModel::TYPE_MESH,
                                      L"model",
                                      SKindModel::NodeOf,
                                      SKindModel::Build,
                                      SKindModel::MeshOf,
                                      SKindModel::Export,
                                      ModelWindow,
                                      FillModelWindow,
                                      Columns.Names,
                                      Columns.Defaults,
                                      Columns.Count,
                                      Columns.Least,
                                      Columns.Most,
                                      0,
                                      SKindModel::ApplyValues,
                                      0,
                                      true,
                                      Columns.Shapes,
                                      0,
                                      0};

gui::IGUIWindow* ModelWindow()
{
	return CSceneEditor::ModelPropertiesWindow;
}

void FillModelWindow(CSceneEditor& editor, CModel& object)
{
	editor.ModelProperties.Fill(object);
}
