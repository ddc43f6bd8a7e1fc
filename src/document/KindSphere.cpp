// Spheres: the engine's sphere node of a radius and a polygon count of its
// own, with a material and textures as models have (edited in "Selected
// Model Properties"). New values build a new sphere, as the engine builds
// its mesh once.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"

namespace
{
enum ESphereValue
{
	RADIUS = 0,
	POLYGONS = 1
};

// The engine's own sphere; it takes 2 to 181 polygons around, and its
// meshes hold 16-bit indices.
const SKindValue Rows[] = {
    {"Radius", 5, 0.01f, 1e5f, VALUE_NUMBER, L"Radius", 0},
    {"PolyCount", 16, 2, 181, VALUE_WHOLE, L"Polygons around", 0},
};
const SKindColumns<2> Columns(Rows);

s32 Polygons(const std::vector<f32>& v)
{
	return static_cast<s32>(core::round_(v[POLYGONS]));
}
} // namespace

struct SKindSphere
{
	static scene::ISceneNode* NodeOf(const CModel& sphere) { return sphere.Node; }

	static bool Build(CSceneEditor& editor, CModel& sphere, const SModelState& record)
	{
		const std::vector<f32> v = record.Values.size() == Columns.Count
		                               ? record.Values
		                               : DefaultValuesOf(*KindOf(CModel::TYPE_SPHERE));
		sphere.Node = editor._smgr->addSphereSceneNode(v[RADIUS], Polygons(v), 0, ID_NONE);
		sphere.MODEL_TYPE = CModel::TYPE_SPHERE;
		return sphere.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const std::string n = std::to_string(slot), s = "Sphere" + n;
		source += "\n\tIMeshSceneNode* " + s + " = _smgr->addSphereSceneNode(" +
		          FixedSix(record.Values[RADIUS]) + "f, " +
		          std::to_string(Polygons(record.Values)) + ", 0, " + n + ");\n";
		source += ExportHeld(s, slot, record, ExportSurface(s, record));
		return true;
	}

	static void ReadNode(io::IAttributes& in, SModelState& sphere)
	{
		ReadNumber(in, "Radius", sphere.Values[0]);
		ReadNumber(in, "PolyCountX", sphere.Values[POLYGONS]);
	}
};

extern const SObjectKind SphereKind = {CModel::TYPE_SPHERE,
                                       L"sphere",
                                       SKindSphere::NodeOf,
                                       SKindSphere::Build,
                                       SKindSphere::MeshOf,
                                       SKindSphere::Export,
                                       ModelWindow,
                                       FillModelWindow,
                                       Columns.Names,
                                       Columns.Defaults,
                                       Columns.Count,
                                       Columns.Least,
                                       Columns.Most,
                                       0,
                                       0,
                                       0,
                                       true,
                                       Columns.Shapes,
                                       0,
                                       SKindSphere::ReadNode};
