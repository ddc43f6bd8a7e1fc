// The table of object kinds and the checks every record passes.
#include "ObjectKinds.h"

#include "CModel.h"

extern const SObjectKind ModelKind;
extern const SObjectKind WaterKind;
extern const SObjectKind ParticleKind;
extern const SObjectKind EmptyKind;

const SObjectKind* const ObjectKinds[4] = {&ModelKind, &WaterKind, &ParticleKind, &EmptyKind};

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
