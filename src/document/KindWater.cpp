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
const char* const WaveNames[] = {"WaveHeight", "WaveLength", "WaveSpeed"};
// The default surface's waves; length and speed divide the wave's phase.
const f32 DefaultWaves[] = {3.0f, 20.0f, 300.0f};
const f32 LeastWaves[] = {0.0f, 1.0f, 1.0f};
const f32 MostWaves[] = {1000.0f, 10000.0f, 100000.0f};
f32 CModel::*const WaveFields[] = {&CModel::water_WaveHeight, &CModel::water_WaveLength,
                                   &CModel::water_WaveSpeed};
} // namespace

struct SKindWater
{
	static scene::ISceneNode* NodeOf(const CModel& water) { return water.Node; }

	static bool Build(CSceneEditor&, CModel& water, const SModelState& record)
	{
		for (u32 i = 0; i < 3; ++i)
			water.*WaveFields[i] = record.Values.size() == 3 ? record.Values[i] : DefaultWaves[i];
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

	static void FillWindow(CSceneEditor& editor, CModel& water) { editor.FillWaterWindow(water); }
};

extern const SObjectKind WaterKind = {CModel::TYPE_WATER,
                                      L"water",
                                      SKindWater::NodeOf,
                                      SKindWater::Build,
                                      SKindWater::MeshOf,
                                      SKindWater::Export,
                                      SKindWater::Window,
                                      SKindWater::FillWindow,
                                      WaveNames,
                                      DefaultWaves,
                                      3,
                                      LeastWaves,
                                      MostWaves,
                                      WaveFields,
                                      0,
                                      0,
                                      false};
