// Cubes: the engine's cube node of a size of its own, with a material and
// textures as models have (edited in "Selected Model Properties"). A new
// size builds a new cube, as the engine builds its mesh once.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"

namespace
{
const SKindValue Rows[] = {
    {"Size", 10, 0.01f, 1e5f, VALUE_NUMBER, L"Size", 0},
};
const SKindColumns<1> Columns(Rows);
} // namespace

struct SKindCube
{
	static scene::ISceneNode* NodeOf(const CModel& cube) { return cube.Node; }

	static bool Build(CSceneEditor& editor, CModel& cube, const SModelState& record)
	{
		const f32 size = record.Values.empty() ? Columns.Defaults[0] : record.Values[0];
		cube.Node = editor._smgr->addCubeSceneNode(size, 0, ID_NONE);
		cube.MODEL_TYPE = CModel::TYPE_CUBE;
		return cube.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const std::string n = std::to_string(slot), c = "Cube" + n;
		source += "\n\tIMeshSceneNode* " + c + " = _smgr->addCubeSceneNode(" +
		          FixedSix(record.Values[0]) + "f, 0, " + n + ");\n";
		source += ExportHeld(c, slot, record, ExportSurface(c, record));
		return true;
	}

	static void ReadNode(io::IAttributes& in, SModelState& cube)
	{
		ReadNumber(in, "Size", cube.Values[0]);
	}
};

extern const SObjectKind CubeKind = {CModel::TYPE_CUBE,
                                     L"cube",
                                     SKindCube::NodeOf,
                                     SKindCube::Build,
                                     SKindCube::MeshOf,
                                     SKindCube::Export,
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
                                     SKindCube::ReadNode};
