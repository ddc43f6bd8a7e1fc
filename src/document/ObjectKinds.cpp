// The table of object kinds and the checks every record passes.
#include "ObjectKinds.h"

#include "CModel.h"
#include "FileNames.h"

#include <cmath>
#include <iterator>

extern const SObjectKind ModelKind;
extern const SObjectKind WaterKind;
extern const SObjectKind ParticleKind;
extern const SObjectKind LightKind;
extern const SObjectKind BillboardKind;
extern const SObjectKind CubeKind;
extern const SObjectKind SphereKind;
extern const SObjectKind CameraKind;
extern const SObjectKind SkyDomeKind;
extern const SObjectKind EmptyKind;

namespace
{
const SObjectKind* const KindTable[] = {&ModelKind,     &WaterKind, &ParticleKind, &LightKind,
                                        &BillboardKind, &CubeKind,  &SphereKind,   &CameraKind,
                                        &SkyDomeKind,   &EmptyKind};
} // namespace

const SKindRange ObjectKinds = {std::begin(KindTable), std::end(KindTable)};

const SObjectKind* KindOf(s32 type)
{
	for (const SObjectKind* kind : ObjectKinds)
		if (kind->Type == type)
			return kind;
	return 0;
}

scene::ISceneNode* ObjectNode(const CModel* object)
{
	const SObjectKind* kind = object ? KindOf(object->MODEL_TYPE) : 0;
	return kind ? kind->NodeOf(*object) : 0;
}

f32& KindValue(const SObjectKind& kind, CModel& object, u32 i)
{
	if (kind.ValueFields)
		return object.*kind.ValueFields[i];
	if (object.Values.size() < kind.ValueCount)
		object.Values.insert(object.Values.end(), kind.DefaultValues + object.Values.size(),
		                     kind.DefaultValues + kind.ValueCount);
	return object.Values[i];
}

f32 KindValue(const SObjectKind& kind, const CModel& object, u32 i)
{
	if (kind.ValueFields)
		return object.*kind.ValueFields[i];
	return i < object.Values.size() ? object.Values[i] : kind.DefaultValues[i];
}

std::vector<f32> KindValues(const SObjectKind& kind, const CModel& object)
{
	std::vector<f32> values(kind.ValueCount);
	for (u32 i = 0; i < kind.ValueCount; ++i)
		values[i] = KindValue(kind, object, i);
	return values;
}

std::vector<f32> DefaultValuesOf(const SObjectKind& kind)
{
	return std::vector<f32>(kind.DefaultValues, kind.DefaultValues + kind.ValueCount);
}

void KeepValuesInRange(const SObjectKind& kind, std::vector<f32>& values)
{
	for (u32 i = 0; i < kind.ValueCount && i < values.size(); ++i)
		values[i] = std::isnan(values[i])
		                ? kind.DefaultValues[i]
		                : core::clamp(values[i], kind.LeastValues[i], kind.MostValues[i]);
}

bool ReadNumber(io::IAttributes& in, s32 at, f32& value, f32 scale)
{
	if (at >= 0)
		value = in.getAttributeAsFloat(at) * scale;
	return at >= 0;
}

bool ReadVector(io::IAttributes& in, s32 at, std::vector<f32>& values, u32 first, f32 scale)
{
	if (at < 0)
		return false;
	const core::vector3df v = in.getAttributeAsVector3d(at) * scale;
	values[first] = v.X;
	values[first + 1] = v.Y;
	values[first + 2] = v.Z;
	return true;
}

bool ReadColour(io::IAttributes& in, s32 at, std::vector<f32>& values, u32 first, s32 alphaAt)
{
	if (at < 0)
		return false;
	// A light's colours are floats that may pass 1 (brighter than white).
	const video::SColorf c = in.getAttributeAsColorf(at);
	const auto channel = [](f32 part)
	{ return core::clamp(core::round_(part * 255000) / 1000, 0.0f, 255.0f); };
	values[first] = channel(c.r);
	values[first + 1] = channel(c.g);
	values[first + 2] = channel(c.b);
	if (alphaAt >= 0)
		values[alphaAt] = channel(c.a);
	return true;
}

bool ReadNumber(io::IAttributes& in, const char* name, f32& value, f32 scale)
{
	return ReadNumber(in, in.findAttribute(name), value, scale);
}

bool ReadVector(io::IAttributes& in, const char* name, std::vector<f32>& values, u32 first,
                f32 scale)
{
	return ReadVector(in, in.findAttribute(name), values, first, scale);
}

bool ReadColour(io::IAttributes& in, const char* name, std::vector<f32>& values, u32 first,
                s32 alphaAt)
{
	return ReadColour(in, in.findAttribute(name), values, first, alphaAt);
}

video::SColorf ValueColourf(const std::vector<f32>& values, u32 first)
{
	return video::SColorf(values[first] / 255, values[first + 1] / 255, values[first + 2] / 255);
}

bool ValuesMayBeLeftOut(s32 type)
{
	return type == CModel::TYPE_MESH;
}

video::SColor ValueColour(const std::vector<f32>& values, u32 first)
{
	const auto channel = [&](u32 i)
	{ return static_cast<u32>(core::clamp(core::round_(values[first + i]), 0.0f, 255.0f)); };
	return video::SColor(255, channel(0), channel(1), channel(2));
}

std::string ExportColour(const video::SColor& c)
{
	return "SColor(" + std::to_string(c.getAlpha()) + "," + std::to_string(c.getRed()) + "," +
	       std::to_string(c.getGreen()) + "," + std::to_string(c.getBlue()) + ")";
}

std::string ExportHeld(const std::string& node, int slot, const SModelState& record,
                       const std::string& settings)
{
	const std::string n = std::to_string(slot);
	return "\tModel[" + n + "] = " + node + ";\n\tif (" + node + ")\n\t{\n" +
	       ExportTransform(node, record) + settings + "\t}\n";
}

std::string ExportSurface(const std::string& node, const SModelState& record)
{
	std::string source;
	for (u32 layer = 0; layer < 2; ++layer)
	{
		const std::string texture = SharedName(record.Textures[layer]);
		if (!texture.empty())
			source += "\t\t" + node + "->setMaterialTexture(" + std::to_string(layer) +
			          ", _driver->getTexture(" + CppStringLiteral(texture) + "));\n";
	}
	return source + ExportMaterial(node, record);
}

std::string ExportVisibility(const std::string& node, const SModelState& record)
{
	return record.Visible ? "" : "\t\t" + node + "->setVisible(false);\n";
}

namespace
{
// The icon's side in world units: about a marker's size at the distances
// the editor starts at.
const f32 IconSide = 8.0f;
} // namespace

scene::ISceneNode* AddEditorIcon(scene::ISceneNode* parent, const video::SColor& colour)
{
	scene::ISceneManager* smgr = parent->getSceneManager();
	scene::IBillboardSceneNode* icon =
	    smgr->addBillboardSceneNode(parent, core::dimension2df(IconSide, IconSide),
	                                core::vector3df(0, 0, 0), -1, colour, colour);
	icon->setMaterialFlag(video::EMF_LIGHTING, false);
	// A debug object is neither written by saveScene nor picked.
	icon->setIsDebugObject(true);
	return icon;
}

core::aabbox3df IconPickBox(const CModel& object)
{
	const f32 half = IconSide / 2;
	object.Node->updateAbsolutePosition();
	const core::vector3df centre = object.Node->getAbsolutePosition();
	return core::aabbox3df(centre - core::vector3df(half, half, half),
	                       centre + core::vector3df(half, half, half));
}

bool TransformValueFits(int row, f32 value)
{
	const f32 size = std::fabs(value);
	if (row == 2)
		return size >= SmallestScale && size <= LargestScale;
	return size <= LargestCoordinate; // false for NaN
}

core::vector3df KeptInWorld(const core::vector3df& v)
{
	const auto kept = [](f32 c)
	{ return std::isnan(c) ? 0.0f : core::clamp(c, -LargestCoordinate, LargestCoordinate); };
	return core::vector3df(kept(v.X), kept(v.Y), kept(v.Z));
}

core::vector3df KeptScale(const core::vector3df& v)
{
	const auto kept = [](f32 c)
	{
		if (std::isnan(c))
			return 1.0f;
		return std::copysign(core::clamp(std::fabs(c), SmallestScale, LargestScale), c);
	};
	return core::vector3df(kept(v.X), kept(v.Y), kept(v.Z));
}

core::stringw UnsoundRecordText(int slot, s32 type, const std::string& field)
{
	const SObjectKind* kind = KindOf(type);
	core::stringw text(kind ? kind->Name : L"object");
	if (slot != WATER_SLOT)
	{
		text += L" in slot ";
		text += slot;
	}
	text += L" has a field ";
	text += field.c_str();
	text += L" that is not a number it can hold";
	return text;
}
