// Sky domes: the engine's sky dome node, a half sphere around the camera
// with one texture, the second kind of sky beside the world's sky box (a
// scene holds one sky at a time). Its texture, material and flags are edited
// in "Selected Model Properties"; new values build a new dome.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"

namespace
{
enum ESkyDomeValue
{
	ACROSS = 0,
	UP = 1,
	TEXTURE_PART = 2,
	SPHERE_PART = 3,
	RADIUS = 4
};

// The engine's own defaults.
const SKindValue Rows[] = {
    {"HorizontalResolution", 16, 1, 256, VALUE_WHOLE, L"Rows around", 0},
    {"VerticalResolution", 8, 1, 128, VALUE_WHOLE, L"Rows up", 0},
    {"TexturePercentage", 0.9f, 0, 1, VALUE_NUMBER, L"Texture part used", 0},
    {"SpherePercentage", 2, 0, 2, VALUE_NUMBER, L"Sphere part, 2: whole", 0},
    {"Radius", 1000, 0.01f, 1e6f, VALUE_NUMBER, L"Radius", 0},
};
const SKindColumns<sizeof Rows / sizeof Rows[0]> Columns(Rows);

u32 Whole(f32 value)
{
	return static_cast<u32>(core::round_(core::max_(value, 1.0f)));
}
} // namespace

struct SKindSkyDome
{
	static scene::ISceneNode* NodeOf(const CModel& dome) { return dome.Node; }

	static bool Build(CSceneEditor& editor, CModel& dome, const SModelState& record)
	{
		const std::vector<f32> v = record.Values.size() == Columns.Count
		                               ? record.Values
		                               : DefaultValuesOf(*KindOf(CModel::TYPE_SKYDOME));
		dome.Node =
		    editor._smgr->addSkyDomeSceneNode(0, Whole(v[ACROSS]), Whole(v[UP]), v[TEXTURE_PART],
		                                      v[SPHERE_PART], v[RADIUS], 0, ID_NONE);
		dome.MODEL_TYPE = CModel::TYPE_SKYDOME;
		return dome.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const std::vector<f32>& v = record.Values;
		const std::string n = std::to_string(slot), d = "SkyDome" + n;
		const std::string texture = SharedName(record.Textures[0]);
		source +=
		    "\n\tISceneNode* " + d + " = _smgr->addSkyDomeSceneNode(" +
		    (texture.empty() ? "0" : "_driver->getTexture(" + CppStringLiteral(texture) + ")") +
		    ", " + std::to_string(Whole(v[ACROSS])) + ", " + std::to_string(Whole(v[UP])) + ", " +
		    FixedSix(v[TEXTURE_PART]) + "f, " + FixedSix(v[SPHERE_PART]) + "f, " +
		    FixedSix(v[RADIUS]) + "f, 0, " + n + ");\n";
		source += ExportHeld(d, slot, record, ExportMaterial(d, record));
		return true;
	}

	// The engine's own save leaves out the part of the texture used.
	static void ReadNode(io::IAttributes& in, SModelState& dome)
	{
		for (u32 i = 0; i < Columns.Count; ++i)
			ReadNumber(in, Columns.Names[i], dome.Values[i]);
	}
};

extern const SObjectKind SkyDomeKind = {CModel::TYPE_SKYDOME,
                                        L"sky dome",
                                        SKindSkyDome::NodeOf,
                                        SKindSkyDome::Build,
                                        SKindSkyDome::MeshOf,
                                        SKindSkyDome::Export,
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
                                        SKindSkyDome::ReadNode};
