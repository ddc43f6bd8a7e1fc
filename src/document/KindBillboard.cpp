// Billboards: the engine's billboard node, a rectangle that always faces
// the camera, with its size and the colours of its top and bottom edge as
// values of its own, and a material and textures as models have (edited in
// "Selected Model Properties").
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"

namespace
{
enum EBillboardValue
{
	WIDTH = 0,
	HEIGHT = 1,
	TOP = 2,
	BOTTOM = 5,
	TOP_ALPHA = 8,
	BOTTOM_ALPHA = 9
};

const SKindValue Rows[] = {
    {"Width", 10, 0.01f, 1e5f, VALUE_NUMBER, L"Width", 0},
    {"Height", 10, 0.01f, 1e5f, VALUE_NUMBER, L"Height", 0},
    {"TopRed", 255, 0, 255, VALUE_COLOUR, L"Top colour", 0},
    {"TopGreen", 255, 0, 255, VALUE_WHOLE, L"Top green", 0},
    {"TopBlue", 255, 0, 255, VALUE_WHOLE, L"Top blue", 0},
    {"BottomRed", 255, 0, 255, VALUE_COLOUR, L"Bottom colour", 0},
    {"BottomGreen", 255, 0, 255, VALUE_WHOLE, L"Bottom green", 0},
    {"BottomBlue", 255, 0, 255, VALUE_WHOLE, L"Bottom blue", 0},
    {"TopAlpha", 255, 0, 255, VALUE_WHOLE, L"Top alpha", 0},
    {"BottomAlpha", 255, 0, 255, VALUE_WHOLE, L"Bottom alpha", 0},
};
const SKindColumns<sizeof Rows / sizeof Rows[0]> Columns(Rows);

// An edge's colour with its alpha, which vertex-alpha materials show.
video::SColor EdgeColour(const std::vector<f32>& v, u32 first, u32 alpha)
{
	video::SColor colour = ValueColour(v, first);
	colour.setAlpha(static_cast<u32>(core::clamp(core::round_(v[alpha]), 0.0f, 255.0f)));
	return colour;
}

std::string Size(const std::vector<f32>& v)
{
	return "dimension2df(" + FixedSix(v[WIDTH]) + "," + FixedSix(v[HEIGHT]) + ")";
}
} // namespace

struct SKindBillboard
{
	static scene::ISceneNode* NodeOf(const CModel& billboard) { return billboard.Node; }

	static bool Build(CSceneEditor& editor, CModel& billboard, const SModelState&)
	{
		billboard.Node = editor._smgr->addBillboardSceneNode(0, core::dimension2df(10, 10),
		                                                     core::vector3df(0, 0, 0), ID_NONE);
		billboard.MODEL_TYPE = CModel::TYPE_BILLBOARD;
		return billboard.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static void ApplyValues(CModel& billboard)
	{
		scene::IBillboardSceneNode* node = static_cast<scene::IBillboardSceneNode*>(billboard.Node);
		if (!node)
			return;
		const std::vector<f32> v = KindValues(*KindOf(CModel::TYPE_BILLBOARD), billboard);
		node->setSize(core::dimension2df(v[WIDTH], v[HEIGHT]));
		node->setColor(EdgeColour(v, TOP, TOP_ALPHA), EdgeColour(v, BOTTOM, BOTTOM_ALPHA));
	}

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const std::vector<f32>& v = record.Values;
		const std::string n = std::to_string(slot), b = "Billboard" + n;
		source += "\n\tIBillboardSceneNode* " + b + " = _smgr->addBillboardSceneNode(0, " +
		          Size(v) + ", vector3df(0,0,0), " + n + ", " +
		          ExportColour(EdgeColour(v, TOP, TOP_ALPHA)) + ", " +
		          ExportColour(EdgeColour(v, BOTTOM, BOTTOM_ALPHA)) + ");\n";
		source += ExportHeld(b, slot, record, ExportSurface(b, record));
		return true;
	}

	static void ReadNode(io::IAttributes& in, SModelState& billboard)
	{
		std::vector<f32>& v = billboard.Values;
		ReadNumber(in, "Width", v[WIDTH]);
		ReadNumber(in, "Height", v[HEIGHT]);
		ReadColour(in, "Shade_Top", v, TOP, TOP_ALPHA);
		ReadColour(in, "Shade_Down", v, BOTTOM, BOTTOM_ALPHA);
	}
};

extern const SObjectKind BillboardKind = {CModel::TYPE_BILLBOARD,
                                          L"billboard",
                                          SKindBillboard::NodeOf,
                                          SKindBillboard::Build,
                                          SKindBillboard::MeshOf,
                                          SKindBillboard::Export,
                                          ModelWindow,
                                          FillModelWindow,
                                          Columns.Names,
                                          Columns.Defaults,
                                          Columns.Count,
                                          Columns.Least,
                                          Columns.Most,
                                          0,
                                          SKindBillboard::ApplyValues,
                                          0,
                                          true,
                                          Columns.Shapes,
                                          0,
                                          SKindBillboard::ReadNode};
