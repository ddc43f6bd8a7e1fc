// Lights: the engine's light node, point, spot or directional, with its
// colours, range, attenuation and cone as values of its own. The editor
// draws it as a small icon and, while it is selected, its range (the
// engine's own debug drawing of a light). The editor's sun is no object.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "KindColumns.h"

namespace
{
enum ELightValue
{
	LIGHT_TYPE = 0,
	DIFFUSE = 1,
	AMBIENT = 4,
	SPECULAR = 7,
	RADIUS = 10,
	ATTENUATION = 11,
	INNER_CONE = 14,
	OUTER_CONE = 15,
	FALLOFF = 16,
	CASTS_SHADOWS = 17
};

const wchar_t* const LightTypes[] = {L"Point", L"Spot", L"Directional", 0};
const char* const LightTypeSource[] = {"ELT_POINT", "ELT_SPOT", "ELT_DIRECTIONAL"};

// The engine's own light: white, a range of 100 whose linear attenuation
// is 1 / 100, a cone of 45 degrees.
const SKindValue Rows[] = {
    {"LightType", 0, 0, 2, VALUE_CHOICE, L"Type", LightTypes},
    {"DiffuseRed", 255, 0, 255, VALUE_COLOUR, L"Diffuse colour", 0},
    {"DiffuseGreen", 255, 0, 255, VALUE_WHOLE, L"Diffuse green", 0},
    {"DiffuseBlue", 255, 0, 255, VALUE_WHOLE, L"Diffuse blue", 0},
    {"AmbientRed", 0, 0, 255, VALUE_COLOUR, L"Ambient colour", 0},
    {"AmbientGreen", 0, 0, 255, VALUE_WHOLE, L"Ambient green", 0},
    {"AmbientBlue", 0, 0, 255, VALUE_WHOLE, L"Ambient blue", 0},
    {"SpecularRed", 255, 0, 255, VALUE_COLOUR, L"Specular colour", 0},
    {"SpecularGreen", 255, 0, 255, VALUE_WHOLE, L"Specular green", 0},
    {"SpecularBlue", 255, 0, 255, VALUE_WHOLE, L"Specular blue", 0},
    {"Radius", 100, 0, 1e6f, VALUE_NUMBER, L"Radius", 0},
    {"AttenuationConstant", 0, 0, 100, VALUE_NUMBER, L"Constant attenuation", 0},
    {"AttenuationLinear", 0.01f, 0, 100, VALUE_NUMBER, L"Linear attenuation", 0},
    {"AttenuationQuadratic", 0, 0, 100, VALUE_NUMBER, L"Quadratic attenuation", 0},
    {"InnerCone", 0, 0, 180, VALUE_NUMBER, L"Inner cone, degrees", 0},
    {"OuterCone", 45, 0, 180, VALUE_NUMBER, L"Outer cone, degrees", 0},
    {"Falloff", 2, 0, 128, VALUE_NUMBER, L"Falloff", 0},
    {"CastShadows", 1, 0, 1, VALUE_CHECK, L"Casts shadows", 0},
};
const SKindColumns<sizeof Rows / sizeof Rows[0]> Columns(Rows);

s32 TypeOf(const std::vector<f32>& v)
{
	return core::clamp(static_cast<s32>(core::round_(v[LIGHT_TYPE])), 0, 2);
}

video::SLight LightOf(const std::vector<f32>& v)
{
	video::SLight light;
	light.Type = static_cast<video::E_LIGHT_TYPE>(TypeOf(v));
	light.DiffuseColor = ValueColourf(v, DIFFUSE);
	light.AmbientColor = ValueColourf(v, AMBIENT);
	light.SpecularColor = ValueColourf(v, SPECULAR);
	light.Radius = v[RADIUS];
	light.Attenuation.set(v[ATTENUATION], v[ATTENUATION + 1], v[ATTENUATION + 2]);
	light.InnerCone = v[INNER_CONE];
	light.OuterCone = v[OUTER_CONE];
	light.Falloff = v[FALLOFF];
	light.CastShadows = v[CASTS_SHADOWS] != 0;
	return light;
}

} // namespace

struct SKindLight
{
	static scene::ISceneNode* NodeOf(const CModel& light) { return light.Node; }

	static bool Build(CSceneEditor& editor, CModel& light, const SModelState&)
	{
		light.Node = editor._smgr->addLightSceneNode(0, core::vector3df(0, 0, 0),
		                                             video::SColorf(1, 1, 1), 100, ID_NONE);
		if (!light.Node)
			return false;
		AddEditorIcon(light.Node, video::SColor(255, 255, 220, 60));
		light.MODEL_TYPE = CModel::TYPE_LIGHT;
		return true;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	// The engine places and turns the light by its node (a spot or
	// directional light shines along the node's Z axis).
	static void ApplyValues(CModel& light)
	{
		if (light.Node)
			static_cast<scene::ILightSceneNode*>(light.Node)
			    ->setLightData(LightOf(KindValues(*KindOf(CModel::TYPE_LIGHT), light)));
	}

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const video::SLight light = LightOf(record.Values);
		const std::string n = std::to_string(slot), l = "Light" + n, d = "LightData" + n;
		const auto colour = [&](const char* field, u32 first)
		{
			const video::SColorf c = ValueColourf(record.Values, first);
			return "\t\t" + d + "." + field + " = SColorf(" + FixedSix(c.r) + "f, " +
			       FixedSix(c.g) + "f, " + FixedSix(c.b) + "f);\n";
		};
		source += "\n\tILightSceneNode* " + l +
		          " = _smgr->addLightSceneNode(0, vector3df(0,0,0), SColorf(1,1,1), 100, " + n +
		          ");\n";
		source += "\tModel[" + n + "] = " + l + ";\n\tif (" + l + ")\n\t{\n";
		source += ExportTransform(l, record);
		source += "\t\tSLight " + d + " = " + l + "->getLightData();\n";
		source += "\t\t" + d + ".Type = " + LightTypeSource[TypeOf(record.Values)] + ";\n";
		source += colour("DiffuseColor", DIFFUSE) + colour("AmbientColor", AMBIENT) +
		          colour("SpecularColor", SPECULAR);
		source += "\t\t" + d + ".Radius = " + FixedSix(light.Radius) + "f;\n";
		source += "\t\t" + d + ".Attenuation = " + ExportVector(light.Attenuation) + ";\n";
		source += "\t\t" + d + ".InnerCone = " + FixedSix(light.InnerCone) + "f;\n";
		source += "\t\t" + d + ".OuterCone = " + FixedSix(light.OuterCone) + "f;\n";
		source += "\t\t" + d + ".Falloff = " + FixedSix(light.Falloff) + "f;\n";
		source += "\t\t" + d + ".CastShadows = " + (light.CastShadows ? "true" : "false") + ";\n";
		source += "\t\t" + l + "->setLightData(" + d + ");\n";
		source += ExportVisibility(l, record) + "\t}\n";
		return true;
	}

	// Its values are the Properties window's; "Transform" places it.
	static gui::IGUIWindow* Window() { return 0; }

	static void FillWindow(CSceneEditor&, CModel&) {}

	static void ReadNode(io::IAttributes& in, SModelState& light)
	{
		std::vector<f32>& v = light.Values;
		const s32 type = in.getAttributeAsEnumeration("LightType", video::LightTypeNames);
		if (type >= 0)
			v[LIGHT_TYPE] = static_cast<f32>(core::min_(type, 2));
		ReadColour(in, "DiffuseColor", v, DIFFUSE);
		ReadColour(in, "AmbientColor", v, AMBIENT);
		ReadColour(in, "SpecularColor", v, SPECULAR);
		ReadNumber(in, "Radius", v[RADIUS]);
		ReadVector(in, "Attenuation", v, ATTENUATION);
		ReadNumber(in, "InnerCone", v[INNER_CONE]);
		ReadNumber(in, "OuterCone", v[OUTER_CONE]);
		ReadNumber(in, "Falloff", v[FALLOFF]);
		if (in.existsAttribute("CastShadows"))
			v[CASTS_SHADOWS] = in.getAttributeAsBool("CastShadows");
	}
};

extern const SObjectKind LightKind = {CModel::TYPE_LIGHT,
                                      L"light",
                                      SKindLight::NodeOf,
                                      SKindLight::Build,
                                      SKindLight::MeshOf,
                                      SKindLight::Export,
                                      SKindLight::Window,
                                      SKindLight::FillWindow,
                                      Columns.Names,
                                      Columns.Defaults,
                                      Columns.Count,
                                      Columns.Least,
                                      Columns.Most,
                                      0,
                                      SKindLight::ApplyValues,
                                      IconPickBox,
                                      true,
                                      Columns.Shapes,
                                      0,
                                      SKindLight::ReadNode};
