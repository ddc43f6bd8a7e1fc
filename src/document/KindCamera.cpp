// Cameras: the engine's camera node, looking at a target of its own, with
// its field of view and near and far plane; one of them may be the game's
// active camera. In the editor it is a small icon and never the camera the
// editor draws through.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"
#include "SceneDocument.h"

namespace
{
enum ECameraValue
{
	TARGET = 0,
	FIELD_OF_VIEW = 3,
	NEAR_PLANE = 4,
	FAR_PLANE = 5,
	ACTIVE = 6
};

// The engine's own camera: a field of view of 72 degrees, planes at 1 and
// 3000. The target is a point in the scene, as the engine keeps it.
const SKindValue Rows[] = {
    {"TargetX", 0, -LargestCoordinate, LargestCoordinate, VALUE_NUMBER, L"Target X", 0},
    {"TargetY", 0, -LargestCoordinate, LargestCoordinate, VALUE_NUMBER, L"Target Y", 0},
    {"TargetZ", 100, -LargestCoordinate, LargestCoordinate, VALUE_NUMBER, L"Target Z", 0},
    {"FieldOfView", 72, 1, 179, VALUE_NUMBER, L"Field of view, degrees", 0},
    {"Near", 1, 0.001f, 1e6f, VALUE_NUMBER, L"Near plane", 0},
    {"Far", 3000, 0.01f, 1e7f, VALUE_NUMBER, L"Far plane", 0},
    {"Active", 0, 0, 1, VALUE_CHECK, L"Active in the game", 0},
};
const SKindColumns<sizeof Rows / sizeof Rows[0]> Columns(Rows);

core::vector3df TargetOf(const std::vector<f32>& v)
{
	return core::vector3df(v[TARGET], v[TARGET + 1], v[TARGET + 2]);
}
} // namespace

void KeepOneActiveCamera(CSceneDocument& document, int slot)
{
	const SModelState* chosen = document.Object(slot);
	if (!chosen || chosen->Type != CModel::TYPE_CAMERA || chosen->Values.size() <= ACTIVE ||
	    chosen->Values[ACTIVE] == 0)
		return;
	for (int other = 0; other < OBJECT_SLOTS; ++other)
	{
		const SModelState* camera = document.Object(other);
		if (other == slot || !camera || camera->Type != CModel::TYPE_CAMERA ||
		    camera->Values.size() <= ACTIVE || camera->Values[ACTIVE] == 0)
			continue;
		SModelState inactive = *camera;
		inactive.Values[ACTIVE] = 0;
		document.SetObject(other, std::move(inactive));
	}
}

void SetActiveCamera(SModelState& record, bool active)
{
	if (record.Type == CModel::TYPE_CAMERA && record.Values.size() > ACTIVE)
		record.Values[ACTIVE] = active;
}

void MakeCopy(SModelState& record)
{
	SetActiveCamera(record, false);
}

struct SKindCamera
{
	static scene::ISceneNode* NodeOf(const CModel& camera) { return camera.Node; }

	static bool Build(CSceneEditor& editor, CModel& camera, const SModelState&)
	{
		// Never made active: the editor goes on drawing through its own.
		camera.Node = editor._smgr->addCameraSceneNode(0, core::vector3df(0, 0, 0),
		                                               core::vector3df(0, 0, 100), ID_NONE, false);
		if (!camera.Node)
			return false;
		AddEditorIcon(camera.Node, video::SColor(255, 90, 160, 255));
		camera.MODEL_TYPE = CModel::TYPE_CAMERA;
		return true;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static void ApplyValues(CModel& camera)
	{
		scene::ICameraSceneNode* node = static_cast<scene::ICameraSceneNode*>(camera.Node);
		if (!node)
			return;
		const std::vector<f32> v = KindValues(*KindOf(CModel::TYPE_CAMERA), camera);
		node->setTarget(TargetOf(v));
		node->setFOV(v[FIELD_OF_VIEW] * core::DEGTORAD);
		node->setNearValue(v[NEAR_PLANE]);
		node->setFarValue(v[FAR_PLANE]);
	}

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const std::vector<f32>& v = record.Values;
		const std::string n = std::to_string(slot), c = "Camera" + n;
		source += "\n\tICameraSceneNode* " + c +
		          " = _smgr->addCameraSceneNode(0, vector3df(0,0,0), " + ExportVector(TargetOf(v)) +
		          ", " + n + ", " + (v[ACTIVE] ? "true" : "false") + ");\n";
		source += "\tModel[" + n + "] = " + c + ";\n\tif (" + c + ")\n\t{\n";
		source += ExportTransform(c, record);
		source += "\t\t" + c + "->setFOV(" + FixedSix(v[FIELD_OF_VIEW]) + "f * DEGTORAD);\n";
		source += "\t\t" + c + "->setNearValue(" + FixedSix(v[NEAR_PLANE]) + "f);\n";
		source += "\t\t" + c + "->setFarValue(" + FixedSix(v[FAR_PLANE]) + "f);\n";
		source += ExportVisibility(c, record) + "\t}\n";
		return true;
	}

	// Its values are the Properties window's; "Transform" places it.
	static gui::IGUIWindow* Window() { return 0; }

	static void FillWindow(CSceneEditor&, CModel&) {}

	// A new camera looks 100 units ahead of the marker, along its heading.
	static void Place(CSceneEditor& editor, SModelState& record)
	{
		core::vector3df ahead(0, 0, 100);
		core::matrix4 turn;
		turn.setRotationDegrees(editor.Positioner->getRotation());
		turn.rotateVect(ahead);
		const core::vector3df target = record.Position + ahead;
		record.Values[TARGET] = target.X;
		record.Values[TARGET + 1] = target.Y;
		record.Values[TARGET + 2] = target.Z;
	}

	// Which camera is active is no attribute: OpenForeignNode says.
	static void ReadNode(io::IAttributes& in, SModelState& camera)
	{
		std::vector<f32>& v = camera.Values;
		ReadVector(in, "Target", v, TARGET);
		ReadNumber(in, "Fovy", v[FIELD_OF_VIEW], core::RADTODEG);
		ReadNumber(in, "ZNear", v[NEAR_PLANE]);
		ReadNumber(in, "ZFar", v[FAR_PLANE]);
	}
};

extern const SObjectKind CameraKind = {CModel::TYPE_CAMERA,
                                       L"camera",
                                       SKindCamera::NodeOf,
                                       SKindCamera::Build,
                                       SKindCamera::MeshOf,
                                       SKindCamera::Export,
                                       SKindCamera::Window,
                                       SKindCamera::FillWindow,
                                       Columns.Names,
                                       Columns.Defaults,
                                       Columns.Count,
                                       Columns.Least,
                                       Columns.Most,
                                       0,
                                       SKindCamera::ApplyValues,
                                       IconPickBox,
                                       true,
                                       Columns.Shapes,
                                       SKindCamera::Place,
                                       SKindCamera::ReadNode};
