// The water surface: the engine's water node over a hill-plane mesh, one per
// scene (entry 0 of the object table), edited in "Selected Water
// Properties", exported after the models as the calls that build the same
// surface.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"

namespace
{
// The waves, one row each: the name in scene files, the default surface's
// value, the range and where the object keeps it. Length and speed divide
// the wave's phase.
struct SWave
{
	const char* Name;
	f32 Default, Least, Most;
	f32 CModel::*Field;
};
const SWave Waves[] = {
    {"WaveHeight", 3.0f, 0.0f, 1000.0f, &CModel::water_WaveHeight},
    {"WaveLength", 20.0f, 1.0f, 10000.0f, &CModel::water_WaveLength},
    {"WaveSpeed", 300.0f, 1.0f, 100000.0f, &CModel::water_WaveSpeed},
};
const u32 WaveCount = sizeof Waves / sizeof Waves[0];

// The kind table's columns of the waves.
struct SWaveColumns
{
	const char* Names[WaveCount];
	f32 Defaults[WaveCount], Least[WaveCount], Most[WaveCount];
	f32 CModel::*Fields[WaveCount];
	SWaveColumns()
	{
		for (u32 i = 0; i < WaveCount; ++i)
		{
			Names[i] = Waves[i].Name;
			Defaults[i] = Waves[i].Default;
			Least[i] = Waves[i].Least;
			Most[i] = Waves[i].Most;
			Fields[i] = Waves[i].Field;
		}
	}
};
const SWaveColumns WaveColumns;

const SValueShape WaveShapes[WaveCount] = {
    {VALUE_NUMBER, L"Wave height", 0},
    {VALUE_NUMBER, L"Wave length", 0},
    {VALUE_NUMBER, L"Wave speed", 0},
};
} // namespace

struct SKindWater
{
	static scene::ISceneNode* NodeOf(const CModel& water) { return water.Node; }

	static bool Build(CSceneEditor&, CModel& water, const SModelState& record)
	{
		for (const SWave& wave : Waves)
			water.*wave.Field =
			    record.Values.size() == WaveCount ? record.Values[&wave - Waves] : wave.Default;
		water.addWater(water.water_WaveHeight, water.water_WaveLength, water.water_WaveSpeed);
		return water.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static bool Export(std::string& source, int, const SModelState& record)
	{
		const std::string texture = SharedName(record.Textures[0]);
		const std::string w = "Water";
		source += "\tIAnimatedMesh* WaterMesh = _smgr->addHillPlaneMesh(\"TLVNWater\", "
		          "dimension2d<f32>(20,20), dimension2d<u32>(40,40), 0, 0, "
		          "dimension2d<f32>(0,0), dimension2d<f32>(10,10));\n";
		source += "\tif (!WaterMesh)\n\t\tWaterMesh = _smgr->getMesh(\"TLVNWater\");\n";
		source += "\tISceneNode* " + w + " = WaterMesh ? _smgr->addWaterSurfaceSceneNode(" +
		          "WaterMesh->getMesh(0), " + FixedSix(record.Values[0]) + ", " +
		          FixedSix(record.Values[2]) + ", " + FixedSix(record.Values[1]) +
		          ", 0, 101) : 0;\n";
		source += "\tif (" + w + ")\n\t{\n";
		source += ExportTransform(w, record);
		if (!texture.empty())
			source += "\t\t" + w + "->setMaterialTexture(0, _driver->getTexture(" +
			          CppStringLiteral(texture) + "));\n";
		source += ExportMaterial(w, record) + "\t}\n";
		return true;
	}

	static gui::IGUIWindow* Window() { return CSceneEditor::WaterPropertiesWindow; }

	static void FillWindow(CSceneEditor& editor, CModel& water)
	{
		editor.WaterProperties.Fill(water);
	}
};

extern const SObjectKind WaterKind = {CModel::TYPE_WATER,
                                      L"water",
                                      SKindWater::NodeOf,
                                      SKindWater::Build,
                                      SKindWater::MeshOf,
                                      SKindWater::Export,
                                      SKindWater::Window,
                                      SKindWater::FillWindow,
                                      WaveColumns.Names,
                                      WaveColumns.Defaults,
                                      WaveCount,
                                      WaveColumns.Least,
                                      WaveColumns.Most,
                                      WaveColumns.Fields,
                                      0,
                                      0,
                                      false,
                                      WaveShapes,
                                      0,
                                      0};
